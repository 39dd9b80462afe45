#include "tools/soundreport/aliasplot.hpp"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "tools/soundreport/verdict.hpp"

namespace {
constexpr double kWidth = 1100;
constexpr double kRow = 11;          // pixels per preset
constexpr double kTop = 96;          // title, legend and the upper axis
constexpr double kBottom = 40;       // the lower axis
constexpr double kNamesRight = 200;  // right edge of the preset names
constexpr double kPlotLeft = 230, kPlotRight = 1070;
constexpr double kDbLow = -150, kDbHigh = 0;  // axis range; values beyond sit at the edge

struct rgb {
  double r, g, b;
};

rgb categoryColour(const std::string& c) {
  if (c == "Clean") return {0.25, 0.50, 0.80};
  if (c == "Mellow") return {0.30, 0.65, 0.35};
  if (c == "Aggressive") return {0.95, 0.55, 0.15};
  if (c == "Extreme") return {0.80, 0.20, 0.20};
  if (c == "Weird") return {0.55, 0.35, 0.70};
  return {0.55, 0.55, 0.55};  // "Amp Starters"
}

double xOf(double db) {
  const double d = std::clamp(db, kDbLow, kDbHigh);
  return kPlotLeft + (d - kDbLow) / (kDbHigh - kDbLow) * (kPlotRight - kPlotLeft);
}

void text(cairo_t* cr, double x, double y, const std::string& s, double size, bool bold = false,
          double align = 0.0) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, s.c_str(), &e);
  cairo_move_to(cr, x - align * e.x_advance, y);
  cairo_show_text(cr, s.c_str());
}

void diamond(cairo_t* cr, double x, double y, double r) {
  cairo_move_to(cr, x, y - r);
  cairo_line_to(cr, x + r, y);
  cairo_line_to(cr, x, y + r);
  cairo_line_to(cr, x - r, y);
  cairo_close_path(cr);
}

void axis(cairo_t* cr, double y, bool labelsAbove) {
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
  for (double d = kDbLow; d <= kDbHigh + 0.5; d += 10) {
    const double x = std::round(xOf(d)) + 0.5;
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x, y + (labelsAbove ? -4 : 4));
    cairo_stroke(cr);
    if (std::fmod(-d, 30.0) == 0.0)
      text(cr, x, labelsAbove ? y - 7 : y + 15, std::to_string(static_cast<int>(d)), 10, false, 0.5);
  }
}

void targetLine(cairo_t* cr, double db, double top, double bottom, bool dashed) {
  const double x = std::round(xOf(db)) + 0.5;
  const double dash[2] = {5, 3};
  cairo_set_dash(cr, dash, dashed ? 2 : 0, 0);
  cairo_set_line_width(cr, 1.5);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  cairo_move_to(cr, x, top);
  cairo_line_to(cr, x, bottom);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_set_line_width(cr, 1.0);
}
}  // namespace

bool writeAliasPlot(const std::vector<srfigures>& all, const std::string& path, const std::string& subtitle) {
  std::vector<const srfigures*> rows;
  for (const srfigures& f : all) rows.push_back(&f);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const srfigures* a, const srfigures* b) { return a->alias3520_db > b->alias3520_db; });
  const double plotTop = kTop, plotBottom = kTop + kRow * static_cast<double>(rows.size());
  const int height = static_cast<int>(plotBottom + kBottom);

  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(kWidth), height), cairo_surface_destroy);
  std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()), cairo_destroy);
  cairo_t* cr = context.get();
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_SLIGHT);
  cairo_set_font_options(cr, fo);
  cairo_font_options_destroy(fo);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);

  // Title and legend.
  cairo_set_source_rgb(cr, 0, 0, 0);
  text(cr, 14, 24, "Aliasing of every factory preset, worst first (lower is better)", 16, true);
  text(cr, 14, 42, subtitle, 11);
  double lx = 14;
  const double ly = 62;
  for (const char* c : {"Clean", "Mellow", "Aggressive", "Extreme", "Weird", "Amp Starters"}) {
    const rgb col = categoryColour(c);
    cairo_set_source_rgb(cr, col.r, col.g, col.b);
    cairo_rectangle(cr, lx, ly - 9, 18, 9);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    text(cr, lx + 22, ly, c, 11);
    lx += 30 + 7.2 * static_cast<double>(std::string(c).size());
  }
  cairo_set_source_rgb(cr, 0, 0, 0);
  text(cr, lx + 10, ly, "bar: 3520 Hz tone, target " + std::to_string(static_cast<int>(kTarget3520_db)) +
                            " dB (solid line)", 11);
  diamond(cr, lx + 340, ly - 4, 4);
  cairo_fill(cr);
  text(cr, lx + 350, ly, "997 Hz tone, target " + std::to_string(static_cast<int>(kTarget997_db)) +
                             " dB (dashed)", 11);

  // Grid, rows, markers.
  cairo_set_line_width(cr, 1.0);
  for (double d = kDbLow; d <= kDbHigh + 0.5; d += 10) {
    const double x = std::round(xOf(d)) + 0.5;
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
    cairo_move_to(cr, x, plotTop);
    cairo_line_to(cr, x, plotBottom);
    cairo_stroke(cr);
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    const srfigures& f = *rows[i];
    const double y = plotTop + kRow * static_cast<double>(i);
    const bool miss = f.alias3520_db > kTarget3520_db || f.alias997_db > kTarget997_db;
    if (i % 2 == 0) {
      cairo_set_source_rgb(cr, 0.965, 0.965, 0.965);
      cairo_rectangle(cr, 0, y, kWidth, kRow);
      cairo_fill(cr);
    }
    const rgb col = categoryColour(f.category);
    cairo_set_source_rgb(cr, col.r, col.g, col.b);
    cairo_rectangle(cr, kPlotLeft, y + 2, xOf(f.alias3520_db) - kPlotLeft, kRow - 4);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    diamond(cr, xOf(f.alias997_db), y + kRow / 2, 3.5);
    cairo_fill(cr);
    const bool layered = f.name == kLayeredOD;
    if (layered) {
      // Its own, stricter target: a tick across its row.
      const double x = std::round(xOf(kTargetLayered3520_db)) + 0.5;
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_set_line_width(cr, 2.0);
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, x, y + kRow);
      cairo_stroke(cr);
      cairo_set_line_width(cr, 1.0);
    }
    cairo_set_source_rgb(cr, miss ? 0.75 : 0.0, 0, 0);
    text(cr, kNamesRight, y + kRow - 2, layered ? f.name + " (target -80 dB: tick)" : f.name, 9.5,
         miss || layered, 1.0);
    cairo_set_source_rgb(cr, col.r, col.g, col.b);
    cairo_rectangle(cr, kNamesRight + 6, y + 3, 8, kRow - 6);
    cairo_fill(cr);
  }
  targetLine(cr, kTarget3520_db, plotTop - 2, plotBottom + 2, false);
  targetLine(cr, kTarget997_db, plotTop - 2, plotBottom + 2, true);
  axis(cr, plotTop, true);
  axis(cr, plotBottom, false);
  cairo_set_source_rgb(cr, 0, 0, 0);
  text(cr, kPlotRight, height - 6, "non-harmonic energy relative to all output energy, dB", 10, false, 1.0);

  cairo_surface_flush(surface.get());
  return cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}
