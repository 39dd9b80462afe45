#include "tools/skingen/paint.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

rgb mix(rgb a, rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
rgb lighten(rgb c, double t) { return mix(c, {1, 1, 1}, t); }
rgb darken(rgb c, double t) { return mix(c, {0, 0, 0}, t); }

double luminance(rgb c) {
  auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

void setColour(cairo_t* cr, rgb c, double alpha) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
  cairo_close_path(cr);
}

void circle(cairo_t* cr, double cx, double cy, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
}

void fillVertical(cairo_t* cr, double y, double h, rgb top, rgb bottom, bool preserve) {
  fillGradient(cr, 0, y, 0, y + h, {{0, top}, {1, bottom}}, preserve);
}

void fillGradient(cairo_t* cr, double x0, double y0, double x1, double y1,
                  std::initializer_list<std::pair<double, rgb>> stops, bool preserve) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  for (const auto& [at, c] : stops) cairo_pattern_add_color_stop_rgb(p, at, c.r, c.g, c.b);
  cairo_set_source(cr, p);
  preserve ? cairo_fill_preserve(cr) : cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void framedBox(cairo_t* cr, double x, double y, double w, double h, double r, rgb top,
               rgb bottom, rgb edge) {
  roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r);
  fillVertical(cr, y, h, top, bottom, true);
  setColour(cr, edge);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void dashedStroke(cairo_t* cr, rgb c, double alpha, double on, double off, double width) {
  double dash[2] = {on, off};
  cairo_set_dash(cr, dash, 2, 0);
  setColour(cr, c, alpha);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

void fillDome(cairo_t* cr, double cx, double cy, double r, rgb lit, rgb shade, bool preserve) {
  cairo_pattern_t* p =
      cairo_pattern_create_radial(cx - 0.35 * r, cy - 0.4 * r, 0.05 * r, cx, cy, 1.05 * r);
  cairo_pattern_add_color_stop_rgb(p, 0, lit.r, lit.g, lit.b);
  cairo_pattern_add_color_stop_rgb(p, 1, shade.r, shade.g, shade.b);
  cairo_set_source(cr, p);
  preserve ? cairo_fill_preserve(cr) : cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void bevel(cairo_t* cr, double x, double y, double w, double h, double r, double depth,
           double line) {
  double light = depth > 0 ? depth : -depth * 0.6;
  double dark = depth > 0 ? depth * 0.8 : -depth;
  cairo_save(cr);
  cairo_set_line_width(cr, line);
  double in = line / 2;
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w * 0.35, y + h);
  if (depth > 0) {
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, light);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, dark);
  } else {
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, dark);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, light);
  }
  cairo_set_source(cr, p);
  roundedRect(cr, x + in, y + in, w - line, h - line, std::max(0.0, r - in));
  cairo_stroke(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

namespace {

// One box-blur pass of radius r over rows (or columns) of an 8-bit plane.
void boxPass(std::vector<int>& v, int w, int h, int r, bool rows) {
  int n = rows ? w : h, lines = rows ? h : w;
  std::vector<int> src(static_cast<size_t>(n), 0);
  for (int l = 0; l < lines; ++l) {
    auto at = [&](int i) -> int& { return rows ? v[size_t(l * w + i)] : v[size_t(i * w + l)]; };
    for (int i = 0; i < n; ++i) src[size_t(i)] = at(i);
    int sum = 0;
    for (int i = -r; i <= r; ++i) sum += (i >= 0 && i < n) ? src[size_t(i)] : 0;
    for (int i = 0; i < n; ++i) {
      at(i) = sum / (2 * r + 1);
      int out = i - r, in = i + r + 1;
      if (out >= 0) sum -= src[size_t(out)];
      if (in < n) sum += src[size_t(in)];
    }
  }
}

void blurredShape(cairo_t* cr, const std::function<void(cairo_t*)>& shape, double blur, double dx,
                  double dy, rgb c, double alpha) {
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_translate(cr, dx, dy);
  shape(cr);
  double x1, y1, x2, y2;
  cairo_path_extents(cr, &x1, &y1, &x2, &y2);
  cairo_new_path(cr);
  double xs[4] = {x1, x2, x1, x2}, ys[4] = {y1, y1, y2, y2};
  double minx = 1e9, miny = 1e9, maxx = -1e9, maxy = -1e9;
  for (int i = 0; i < 4; ++i) {
    cairo_user_to_device(cr, &xs[i], &ys[i]);
    minx = std::min(minx, xs[i]), maxx = std::max(maxx, xs[i]);
    miny = std::min(miny, ys[i]), maxy = std::max(maxy, ys[i]);
  }
  int r = std::max(1, int(std::lround(blur / 2)));
  int pad = 3 * r + 2;
  int X0 = int(std::floor(minx)) - pad, Y0 = int(std::floor(miny)) - pad;
  int W = int(std::ceil(maxx)) + pad - X0, H = int(std::ceil(maxy)) + pad - Y0;
  if (W <= 0 || H <= 0 || W > 4096 || H > 4096) {
    cairo_restore(cr);
    return;
  }
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  cairo_surface_t* a8 = cairo_image_surface_create(CAIRO_FORMAT_A8, W, H);
  cairo_t* mc = cairo_create(a8);
  cairo_translate(mc, -X0, -Y0);
  cairo_transform(mc, &m);
  shape(mc);
  cairo_set_source_rgba(mc, 0, 0, 0, 1);
  cairo_fill(mc);
  cairo_destroy(mc);
  cairo_surface_flush(a8);
  unsigned char* data = cairo_image_surface_get_data(a8);
  int stride = cairo_image_surface_get_stride(a8);
  std::vector<int> v(size_t(W * H));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) v[size_t(y * W + x)] = data[y * stride + x];
  for (int pass = 0; pass < 3; ++pass) {
    boxPass(v, W, H, r, true);
    boxPass(v, W, H, r, false);
  }
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) data[y * stride + x] = (unsigned char)v[size_t(y * W + x)];
  cairo_surface_mark_dirty(a8);
  cairo_identity_matrix(cr);
  setColour(cr, c, alpha);
  cairo_mask_surface(cr, a8, X0, Y0);
  cairo_surface_destroy(a8);
  cairo_restore(cr);
}

}  // namespace

void softShadow(cairo_t* cr, const std::function<void(cairo_t*)>& shape, double blur, double dx,
                double dy, double alpha) {
  blurredShape(cr, shape, blur, dx, dy, {0, 0, 0}, alpha);
}

void glow(cairo_t* cr, const std::function<void(cairo_t*)>& shape, double blur, rgb c,
          double alpha) {
  blurredShape(cr, shape, blur, 0, 0, c, alpha);
}

void brushedMetal(cairo_t* cr, double x, double y, double w, double h, rgb base, double depth,
                  uint32_t seed) {
  qvprng rng(seed);
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  setColour(cr, base);
  cairo_paint(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  // Row tones from five levels: a faint streak per row, with a few short ones.
  static const double levels[5] = {-1.0, -0.5, 0.0, 0.5, 1.0};
  for (int row = 0; row < int(h); ++row) {
    double t = levels[rng.next() % 5] * depth;
    if (t != 0.0) {
      setColour(cr, t > 0 ? rgb{1, 1, 1} : rgb{0, 0, 0}, std::fabs(t));
      cairo_rectangle(cr, x, y + row, w, 1);
      cairo_fill(cr);
    }
    if (rng.next() % 4 == 0) {
      double len = rng.range(w * 0.1, w * 0.5), at = rng.range(-len * 0.5, w);
      setColour(cr, rng.next() % 2 ? rgb{1, 1, 1} : rgb{0, 0, 0}, depth * 1.2);
      cairo_rectangle(cr, std::floor(x + at), y + row, std::floor(len), 1);
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);
  // A broad sheen across the plate.
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w, y + h * 0.3);
  cairo_pattern_add_color_stop_rgba(p, 0.0, 1, 1, 1, 0.0);
  cairo_pattern_add_color_stop_rgba(p, 0.35, 1, 1, 1, 0.10);
  cairo_pattern_add_color_stop_rgba(p, 0.6, 0, 0, 0, 0.04);
  cairo_pattern_add_color_stop_rgba(p, 1.0, 1, 1, 1, 0.05);
  cairo_set_source(cr, p);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void brushedDisc(cairo_t* cr, double cx, double cy, double r, rgb base, double depth,
                 uint32_t seed) {
  qvprng rng(seed);
  circle(cr, cx, cy, r);
  setColour(cr, base);
  cairo_fill(cr);
  cairo_save(cr);
  cairo_set_line_width(cr, 0.7);
  for (double rr = 0.7; rr < r; rr += 0.8) {
    double t = rng.range(-depth, depth);
    setColour(cr, t > 0 ? rgb{1, 1, 1} : rgb{0, 0, 0}, std::fabs(t));
    circle(cr, cx, cy, rr);
    cairo_stroke(cr);
  }
  // The light catches the rings on two opposite sides.
  cairo_pattern_t* p = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
  cairo_pattern_add_color_stop_rgba(p, 0.0, 1, 1, 1, 0.35);
  cairo_pattern_add_color_stop_rgba(p, 0.3, 1, 1, 1, 0.0);
  cairo_pattern_add_color_stop_rgba(p, 0.5, 0, 0, 0, 0.15);
  cairo_pattern_add_color_stop_rgba(p, 0.7, 1, 1, 1, 0.0);
  cairo_pattern_add_color_stop_rgba(p, 1.0, 1, 1, 1, 0.25);
  cairo_set_source(cr, p);
  circle(cr, cx, cy, r);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

void grain(cairo_t* cr, double x, double y, double w, double h, double density, double dark,
           double light, uint32_t seed, int fleck) {
  qvprng rng(seed);
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  long count = long(w * h * density / fleck);
  for (int pass = 0; pass < 2; ++pass) {
    setColour(cr, pass == 0 ? rgb{0, 0, 0} : rgb{1, 1, 1}, pass == 0 ? dark : light);
    long n = pass == 0 ? count : count / 2;
    for (long i = 0; i < n; ++i) {
      double px = std::floor(x + rng.uniform() * w), py = std::floor(y + rng.uniform() * h);
      bool across = rng.next() % 2;
      cairo_rectangle(cr, px, py, across ? fleck : 1, across ? 1 : fleck);
    }
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void weave(cairo_t* cr, double x, double y, double w, double h, rgb base, double contrast,
           int cell) {
  int side = cell * 2;
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, side, side);
  cairo_t* t = cairo_create(tile);
  setColour(t, base);
  cairo_paint(t);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) {
      bool warp = (i + j) % 2 == 0;
      double cx = i * cell, cy = j * cell;
      cairo_pattern_t* p = warp ? cairo_pattern_create_linear(cx, 0, cx + cell, 0)
                                : cairo_pattern_create_linear(0, cy, 0, cy + cell);
      rgb hi = lighten(base, contrast), lo = darken(base, contrast * 1.6);
      cairo_pattern_add_color_stop_rgb(p, 0, lo.r, lo.g, lo.b);
      cairo_pattern_add_color_stop_rgb(p, 0.45, hi.r, hi.g, hi.b);
      cairo_pattern_add_color_stop_rgb(p, 1, lo.r, lo.g, lo.b);
      cairo_set_source(t, p);
      cairo_rectangle(t, cx, cy, cell, cell);
      cairo_fill(t);
      cairo_pattern_destroy(p);
    }
  cairo_destroy(t);
  cairo_save(cr);
  cairo_pattern_t* pat = cairo_pattern_create_for_surface(tile);
  cairo_pattern_set_extend(pat, CAIRO_EXTEND_REPEAT);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, -x, -y);
  cairo_pattern_set_matrix(pat, &m);
  cairo_set_source(cr, pat);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  cairo_pattern_destroy(pat);
  cairo_surface_destroy(tile);
  cairo_restore(cr);
}

void hammertone(cairo_t* cr, double x, double y, double w, double h, rgb base, uint32_t seed) {
  cairo_rectangle(cr, x, y, w, h);
  fillVertical(cr, y, h, lighten(base, 0.06), darken(base, 0.06));
  qvprng rng(seed);
  // Overlapping shallow dimples: a dark lower right and a light upper left each.
  for (double py = y; py < y + h + 10; py += 11)
    for (double px = x + (int(py) % 22 ? 5.5 : 0); px < x + w + 10; px += 11) {
      double cx = px + rng.range(-2, 2), cy = py + rng.range(-2, 2), r = rng.range(4, 7);
      cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, 0, cx, cy, r);
      cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.10);
      cairo_pattern_add_color_stop_rgba(p, 0.7, 1, 1, 1, 0.0);
      cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0.07);
      cairo_set_source(cr, p);
      cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
      cairo_fill(cr);
      cairo_pattern_destroy(p);
    }
}

void screw(cairo_t* cr, double cx, double cy, double r, double angle, rgb metal) {
  softShadow(cr, [&](cairo_t* c) { circle(c, cx, cy, r); }, 2, 0.8, 1.2, 0.5);
  circle(cr, cx, cy, r);
  fillDome(cr, cx, cy, r, lighten(metal, 0.6), darken(metal, 0.45));
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  cairo_set_line_width(cr, std::max(1.0, r * 0.28));
  cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
  cairo_move_to(cr, -r * 0.72, 0);
  cairo_line_to(cr, r * 0.72, 0);
  cairo_stroke(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_set_line_width(cr, 0.6);
  cairo_move_to(cr, -r * 0.7, r * 0.2);
  cairo_line_to(cr, r * 0.7, r * 0.2);
  cairo_stroke(cr);
  cairo_restore(cr);
  circle(cr, cx, cy, r - 0.3);
  cairo_set_line_width(cr, 0.6);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_stroke(cr);
}

void vignette(cairo_t* cr, double w, double h, double strength) {
  double r = std::hypot(w, h) / 2;
  cairo_pattern_t* p = cairo_pattern_create_radial(w / 2, h / 2, r * 0.45, w / 2, h / 2, r);
  cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, strength);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

void setFont(cairo_t* cr, qvface face, double size) {
  const char* family = "DejaVu Sans";
  if (face == qvface::serif || face == qvface::serifBold) family = "DejaVu Serif";
  if (face == qvface::mono || face == qvface::monoBold) family = "DejaVu Sans Mono";
  bool bold = face == qvface::sansBold || face == qvface::serifBold || face == qvface::monoBold;
  cairo_select_font_face(cr, family, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_font_options_t* o = cairo_font_options_create();
  cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_subpixel_order(o, CAIRO_SUBPIXEL_ORDER_DEFAULT);
  cairo_set_font_options(cr, o);
  cairo_font_options_destroy(o);
}

double textWidth(cairo_t* cr, const char* text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text, &e);
  return e.x_advance;
}

void textPath(cairo_t* cr, const char* text, double cx, double baseline, double slant,
              double xscale) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text, &e);
  cairo_save(cr);
  cairo_translate(cr, cx, baseline);
  cairo_matrix_t m;
  cairo_matrix_init(&m, xscale, 0, -slant, 1, 0, 0);
  cairo_transform(cr, &m);
  cairo_move_to(cr, -(e.x_bearing + e.width / 2), 0);
  cairo_text_path(cr, text);
  cairo_restore(cr);
}

void textCentred(cairo_t* cr, const char* text, double cx, double cy) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text, &e);
  cairo_move_to(cr, cx - (e.x_bearing + e.width / 2), cy - (e.y_bearing + e.height / 2));
  cairo_show_text(cr, text);
}

qvcanvas::qvcanvas(int w, int h, bool opaque) {
  surface = cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, w, h);
  cr = cairo_create(surface);
}

qvcanvas::~qvcanvas() {
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
