#include "tools/gallery/artwork.hpp"

#include <cmath>

#include "tools/gallery/layout.hpp"

namespace gallery {
namespace {
constexpr double kPi = 3.14159265358979323846;

struct Canvas {
  CBitmap* bitmap;
  CairoContextPtr cr;
  Canvas(int width, int height) : bitmap(new CBitmap(width, height)), cr(cairo_create(bitmap->getSurface())) {}
  CBitmap* done() {
    cr.reset();
    cairo_surface_flush(bitmap->getSurface());
    return bitmap;
  }
};

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void drawKnob(cairo_t* cr, double side, double share) {
  const double c = side / 2;
  const double radius = side * 0.36;
  // Scale ticks around the body.
  cairo_set_source_rgb(cr, 0.75, 0.75, 0.72);
  cairo_set_line_width(cr, 1.5);
  for (int t = 0; t <= 10; ++t) {
    const double a = (-135.0 + 27.0 * t - 90.0) * kPi / 180.0;
    cairo_move_to(cr, c + std::cos(a) * (radius + 3), c + std::sin(a) * (radius + 3));
    cairo_line_to(cr, c + std::cos(a) * (radius + 7), c + std::sin(a) * (radius + 7));
  }
  cairo_stroke(cr);
  // Body: a dark cap lit from the top left.
  CairoPatternPtr body(cairo_pattern_create_radial(c - radius * 0.4, c - radius * 0.4, radius * 0.1, c, c, radius));
  cairo_pattern_add_color_stop_rgb(body.get(), 0, 0.42, 0.42, 0.45);
  cairo_pattern_add_color_stop_rgb(body.get(), 1, 0.10, 0.10, 0.12);
  cairo_arc(cr, c, c, radius, 0, 2 * kPi);
  cairo_set_source(cr, body.get());
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Pointer.
  const double a = (-135.0 + 270.0 * share - 90.0) * kPi / 180.0;
  cairo_set_source_rgb(cr, 0.95, 0.62, 0.18);
  cairo_set_line_width(cr, 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, c + std::cos(a) * radius * 0.25, c + std::sin(a) * radius * 0.25);
  cairo_line_to(cr, c + std::cos(a) * radius * 0.9, c + std::sin(a) * radius * 0.9);
  cairo_stroke(cr);
}
}  // namespace

CBitmap* drawKnobStrip(int frames, int side) {
  Canvas canvas(side, side * frames);
  for (int f = 0; f < frames; ++f) {
    cairo_save(canvas.cr.get());
    cairo_translate(canvas.cr.get(), 0, side * f);
    drawKnob(canvas.cr.get(), side, frames > 1 ? static_cast<double>(f) / (frames - 1) : 0.0);
    cairo_restore(canvas.cr.get());
  }
  return canvas.done();
}

CBitmap* drawSliderTrack(int width, int height) {
  Canvas canvas(width, height);
  cairo_t* cr = canvas.cr.get();
  roundedRect(cr, width / 2.0 - 3, 2, 6, height - 4, 3);
  cairo_set_source_rgb(cr, 0.05, 0.05, 0.06);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.35, 0.35, 0.38);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  return canvas.done();
}

CBitmap* drawSliderHandle(int width, int height) {
  Canvas canvas(width, height);
  cairo_t* cr = canvas.cr.get();
  CairoPatternPtr metal(cairo_pattern_create_linear(0, 0, 0, height));
  cairo_pattern_add_color_stop_rgb(metal.get(), 0, 0.85, 0.85, 0.88);
  cairo_pattern_add_color_stop_rgb(metal.get(), 1, 0.45, 0.45, 0.50);
  roundedRect(cr, 0.5, 0.5, width - 1, height - 1, 2);
  cairo_set_source(cr, metal.get());
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_move_to(cr, 2, height / 2.0);
  cairo_line_to(cr, width - 2, height / 2.0);
  cairo_set_source_rgb(cr, 0.95, 0.62, 0.18);
  cairo_stroke(cr);
  return canvas.done();
}

CBitmap* drawButtonStates(int width, int height) {
  Canvas canvas(width, height);
  cairo_t* cr = canvas.cr.get();
  const double half = height / 2.0;
  for (int state = 0; state < 2; ++state) {
    const double top = state * half;
    CairoPatternPtr fill(cairo_pattern_create_linear(0, top, 0, top + half));
    if (state == 0) {
      cairo_pattern_add_color_stop_rgb(fill.get(), 0, 0.32, 0.32, 0.35);
      cairo_pattern_add_color_stop_rgb(fill.get(), 1, 0.18, 0.18, 0.20);
    } else {
      cairo_pattern_add_color_stop_rgb(fill.get(), 0, 0.98, 0.70, 0.30);
      cairo_pattern_add_color_stop_rgb(fill.get(), 1, 0.80, 0.42, 0.08);
    }
    roundedRect(cr, 1.5, top + 1.5, width - 3, half - 3, 4);
    cairo_set_source(cr, fill.get());
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  return canvas.done();
}

CBitmap* drawScrollTrack(int side) {
  Canvas canvas(side, side);
  cairo_set_source_rgb(canvas.cr.get(), 0.14, 0.14, 0.16);
  cairo_paint(canvas.cr.get());
  return canvas.done();
}

CBitmap* drawScrollThumb(int side) {
  Canvas canvas(side, side);
  CairoPatternPtr fill(cairo_pattern_create_linear(0, 0, side, 0));
  cairo_pattern_add_color_stop_rgb(fill.get(), 0, 0.80, 0.55, 0.20);
  cairo_pattern_add_color_stop_rgb(fill.get(), 1, 0.55, 0.35, 0.10);
  cairo_set_source(canvas.cr.get(), fill.get());
  cairo_paint(canvas.cr.get());
  return canvas.done();
}

CBitmap* drawBackground(int width, int height) {
  Canvas canvas(width, height);
  cairo_t* cr = canvas.cr.get();
  CairoPatternPtr sky(cairo_pattern_create_linear(0, 0, 0, height));
  cairo_pattern_add_color_stop_rgb(sky.get(), 0, 0.20, 0.21, 0.24);
  cairo_pattern_add_color_stop_rgb(sky.get(), 1, 0.09, 0.09, 0.11);
  cairo_set_source(cr, sky.get());
  cairo_paint(cr);
  for (const CRect& p : kPanels) {
    roundedRect(cr, p.left + 0.5, p.top + 0.5, p.getWidth() - 1, p.getHeight() - 1, 6);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.30);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  return canvas.done();
}
}  // namespace gallery
