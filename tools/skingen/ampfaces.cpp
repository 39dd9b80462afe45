// The fourteen amplifier faces (816 x 300). Every face has the same bones: the
// input/output plate at the upper left, the logo place in the middle of the
// header, a lamp and switches on the right, and the knob band along the bottom.
// The plate and the band are mid-toned (relative luminance near 0.12) and calm,
// so white (200, 200, 200) and black captions both read on them; the header
// carries the face's character.
#include <algorithm>
#include <cmath>

#include "tools/skingen/families.hpp"

namespace {

constexpr double kW = 816, kH = 300;

using fill_fn = void (*)(cairo_t*, double x, double y, double w, double h);

void rectPath(cairo_t* cr, const qvfacerect& r, double radius) {
  roundedRect(cr, r.x, r.y, r.w, r.h, radius);
}

// An inset plate: shadow around, its own fill inside, a bevel on the edge.
void plate(cairo_t* cr, const qvfacerect& r, double radius, fill_fn fill, double lift = 0.5) {
  softShadow(cr, [&](cairo_t* c) { rectPath(c, r, radius); }, 6, 1.5, 2.5, lift);
  cairo_save(cr);
  rectPath(cr, r, radius);
  cairo_clip(cr);
  fill(cr, r.x, r.y, r.w, r.h);
  cairo_restore(cr);
  bevel(cr, r.x, r.y, r.w, r.h, radius, 0.35, 1.5);
  rectPath(cr, r, radius);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// A horizontal piping line (a thin raised cord).
void piping(cairo_t* cr, double x0, double x1, double y, rgb c, double width = 3) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, width + 1.5);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_move_to(cr, x0, y + 1.2);
  cairo_line_to(cr, x1, y + 1.2);
  cairo_stroke(cr);
  cairo_set_line_width(cr, width);
  setColour(cr, c);
  cairo_move_to(cr, x0, y);
  cairo_line_to(cr, x1, y);
  cairo_stroke(cr);
  cairo_set_line_width(cr, width * 0.35);
  setColour(cr, lighten(c, 0.5), 0.7);
  cairo_move_to(cr, x0, y - width * 0.2);
  cairo_line_to(cr, x1, y - width * 0.2);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// A jewel pilot lamp in a chrome bezel.
void jewel(cairo_t* cr, double cx, double cy, double r, rgb c) {
  softShadow(cr, [&](cairo_t* k) { circle(k, cx, cy, r + 3); }, 4, 1, 2, 0.6);
  circle(cr, cx, cy, r + 3);
  fillDome(cr, cx, cy, r + 3, rgb8(236, 236, 240), rgb8(70, 70, 76));
  glow(cr, [&](cairo_t* k) { circle(k, cx, cy, r); }, 8, c, 0.6);
  circle(cr, cx, cy, r);
  fillDome(cr, cx, cy, r, lighten(c, 0.7), darken(c, 0.45));
  for (int k = 0; k < 6; ++k) {
    double a = k * M_PI / 3;
    cairo_move_to(cr, cx, cy);
    cairo_arc(cr, cx, cy, r, a, a + M_PI / 6);
    cairo_close_path(cr);
  }
  cairo_set_source_rgba(cr, 1, 1, 1, 0.16);
  cairo_fill(cr);
  circle(cr, cx - r * 0.35, cy - r * 0.35, r * 0.28);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
  cairo_fill(cr);
}

// A chrome bat-handle toggle switch seen from the front, lever up.
void toggleSwitch(cairo_t* cr, double cx, double cy) {
  softShadow(cr, [&](cairo_t* k) { circle(k, cx, cy, 9); }, 4, 1, 2, 0.6);
  circle(cr, cx, cy, 9);
  fillDome(cr, cx, cy, 9, rgb8(230, 230, 234), rgb8(60, 60, 66));
  circle(cr, cx, cy, 5.5);
  fillDome(cr, cx, cy, 5.5, rgb8(120, 120, 126), rgb8(30, 30, 34));
  softShadow(cr, [&](cairo_t* k) { roundedRect(k, cx - 3, cy - 22, 6, 22, 3); }, 3, 3, 3, 0.55);
  roundedRect(cr, cx - 3, cy - 22, 6, 22, 3);
  fillGradient(cr, cx - 3, 0, cx + 3, 0,
               {{0, rgb8(140, 140, 148)}, {0.35, rgb8(247, 247, 250)}, {1, rgb8(89, 89, 97)}});
}

// The pilot lamp between two switches at the right of the header.
void lampAndSwitches(cairo_t* cr, rgb lamp, double r = 10, double y = 66) {
  jewel(cr, 700, y, r, lamp);
  toggleSwitch(cr, 650, y + 10);
  toggleSwitch(cr, 750, y + 10);
}

// The lamp and switches, and two screws.
void headerHardware(cairo_t* cr, rgb lamp, rgb screwMetal, bool screws = true) {
  lampAndSwitches(cr, lamp, 11);
  if (screws) {
    screw(cr, 206, 12, 4.5, 0.4, screwMetal);
    screw(cr, kW - 12, 12, 4.5, 1.2, screwMetal);
  }
}

// A vertical gradient fill over a plate, the colour's own shade at the bottom.
template <int R, int G, int B>
void flatFill(cairo_t* cr, double, double y, double, double h) {
  cairo_rectangle(cr, 0, y, kW, h);
  rgb c = rgb8(R, G, B);
  fillVertical(cr, y, h, lighten(c, 0.07), darken(c, 0.08));
}

template <int R, int G, int B, unsigned Seed>
void brushedFill(cairo_t* cr, double x, double y, double w, double h) {
  brushedMetal(cr, x, y, w, h, rgb8(R, G, B), 0.035, Seed);
}

template <int R, int G, int B, unsigned Seed>
void tolexFill(cairo_t* cr, double x, double y, double w, double h) {
  cairo_rectangle(cr, x, y, w, h);
  rgb c = rgb8(R, G, B);
  fillVertical(cr, y, h, lighten(c, 0.05), darken(c, 0.1));
  grain(cr, x, y, w, h, 0.05, 0.22, 0.08, Seed);
}

// The input/output plate and the knob band; with a pin colour, a printed pin
// line runs round each plate just inside its edge.
void standardPlates(cairo_t* cr, fill_fn fill, double radius = 6, const rgb* pin = nullptr) {
  for (const qvfacerect& r : {kAmpIoPlate, kAmpKnobBand}) {
    plate(cr, r, radius, fill);
    if (!pin) continue;
    roundedRect(cr, r.x + 5.5, r.y + 5.5, r.w - 11, r.h - 11, std::max(1.0, radius - 3));
    setColour(cr, *pin, 0.7);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
}

// ---- 1 Gold: brushed gold plate, bronze band ---------------------------------------
void gold(cairo_t* cr) {
  brushedMetal(cr, 0, 0, kW, kH, rgb8(206, 166, 84), 0.04, 101);
  const rgb pin = rgb8(236, 204, 120);
  standardPlates(cr, brushedFill<124, 94, 44, 102>, 6, &pin);
  piping(cr, 200, kW - 10, 130, rgb8(236, 204, 120), 2);
  headerHardware(cr, rgb8(230, 40, 30), rgb8(220, 190, 120));
}

// ---- 2 Panel: a plain slate panel with engraved lines ------------------------------
void engrave(cairo_t* cr, const qvfacerect& r, double radius) {
  roundedRect(cr, r.x - 5.5, r.y - 5.5, r.w + 11, r.h + 11, radius + 4);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_stroke(cr);
  roundedRect(cr, r.x - 4.5, r.y - 4.5, r.w + 9, r.h + 9, radius + 4);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
  cairo_stroke(cr);
}

void panel(cairo_t* cr) {
  cairo_rectangle(cr, 0, 0, kW, kH);
  fillVertical(cr, 0, kH, rgb8(108, 116, 124), rgb8(86, 92, 100));
  grain(cr, 0, 0, kW, kH, 0.012, 0.1, 0.05, 201, 1);
  engrave(cr, {kAmpIoPlate.x + 8, kAmpIoPlate.y + 8, kAmpIoPlate.w - 16, kAmpIoPlate.h - 16}, 4);
  engrave(cr, {kAmpKnobBand.x + 6, kAmpKnobBand.y + 6, kAmpKnobBand.w - 12, kAmpKnobBand.h - 12}, 4);
  for (double x : {206.0, kW - 12}) screw(cr, x, 12, 4.5, x * 0.03, rgb8(170, 174, 180));
  lampAndSwitches(cr, rgb8(250, 170, 40));
}

// ---- 3 Blue: blue tolex, a steel-blue control plate ---------------------------------
void blue(cairo_t* cr) {
  tolexFill<50, 80, 150, 301>(cr, 0, 0, kW, kH);
  const rgb pin = rgb8(220, 226, 236);
  standardPlates(cr, brushedFill<92, 104, 130, 302>, 6, &pin);
  piping(cr, 8, kW - 8, 134, rgb8(236, 236, 228));
  headerHardware(cr, rgb8(60, 160, 255), rgb8(200, 204, 210));
}

// ---- 4 Tough: black tread plate, gunmetal band, corner guards -----------------------
void treadPlate(cairo_t* cr, double x, double y, double w, double h) {
  cairo_rectangle(cr, x, y, w, h);
  fillVertical(cr, y, h, rgb8(48, 48, 50), rgb8(30, 30, 32));
  // Raised diagonal bars in a staggered grid, lit from the upper left.
  for (int row = 0; row * 18 < h + 18; ++row)
    for (int col = 0; col * 28 < w + 28; ++col) {
      double cx = x + col * 28 + (row % 2) * 14, cy = y + row * 18;
      double a = (row + col) % 2 ? 0.7 : -0.7;
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_rotate(cr, a);
      roundedRect(cr, -9, -2, 18, 4, 2);
      cairo_restore(cr);
      cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
      cairo_set_line_width(cr, 1.5);
      cairo_stroke_preserve(cr);
      cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
      cairo_fill(cr);
    }
}

void cornerGuard(cairo_t* cr, double cx, double cy, double sx, double sy) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, sx, sy);
  auto shape = [](cairo_t* c) {
    cairo_move_to(c, 0, 0);
    cairo_line_to(c, 46, 0);
    cairo_curve_to(c, 40, 10, 26, 14, 18, 18);
    cairo_curve_to(c, 14, 26, 10, 40, 0, 46);
    cairo_close_path(c);
  };
  softShadow(cr, shape, 5, 2, 3, 0.7);
  shape(cr);
  fillDome(cr, 12, 12, 40, rgb8(210, 212, 216), rgb8(60, 62, 66));
  cairo_restore(cr);
  screw(cr, cx + sx * 12, cy + sy * 12, 3.5, 0.8, rgb8(190, 190, 196));
}

void tough(cairo_t* cr) {
  treadPlate(cr, 0, 0, kW, kH);
  standardPlates(cr, tolexFill<102, 104, 108, 401>, 3);
  cornerGuard(cr, 0, 0, 1, 1);
  cornerGuard(cr, kW, 0, -1, 1);
  cornerGuard(cr, 0, kH, 1, -1);
  cornerGuard(cr, kW, kH, -1, -1);
  lampAndSwitches(cr, rgb8(255, 60, 30));
}

// ---- 5 BigC: cream face with a big script area, oxblood band ------------------------
void bigC(cairo_t* cr) {
  cairo_rectangle(cr, 0, 0, kW, kH);
  fillVertical(cr, 0, kH, rgb8(238, 228, 200), rgb8(214, 202, 172));
  grain(cr, 0, 0, kW, kH, 0.015, 0.08, 0.15, 501, 1);
  // The script area: a long recessed cartouche behind the logo.
  const qvfacerect& L = kAmpLogoBox;
  roundedRect(cr, L.x - 14, L.y - 6, L.w + 28, L.h + 12, (L.h + 12) / 2);
  fillVertical(cr, L.y - 6, L.h + 12, rgb8(222, 210, 178), rgb8(232, 222, 196), true);
  cairo_set_line_width(cr, 2);
  setColour(cr, rgb8(150, 70, 56), 0.8);
  cairo_stroke(cr);
  bevel(cr, L.x - 14, L.y - 6, L.w + 28, L.h + 12, (L.h + 12) / 2, -0.3, 2);
  const rgb pin = rgb8(238, 226, 196);
  standardPlates(cr, tolexFill<158, 84, 68, 502>, 10, &pin);
  headerHardware(cr, rgb8(230, 40, 30), rgb8(200, 190, 170));
}

// ---- 6 Rust: weathered steel with rust blooms ----------------------------------------
void rustBlooms(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, double amount) {
  qvprng rng(seed);
  int n = int(w * h / 2500 * amount);
  for (int i = 0; i < n; ++i) {
    double cx = x + rng.uniform() * w, cy = y + rng.uniform() * h, r = rng.range(6, 38);
    bool dark = rng.next() % 3 == 0;
    rgb c = dark ? rgb8(70, 34, 18) : (rng.next() % 2 ? rgb8(190, 96, 40) : rgb8(150, 70, 30));
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, rng.range(0.25, 0.55));
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
}

void rustFill(cairo_t* cr, double x, double y, double w, double h) {
  cairo_rectangle(cr, x, y, w, h);
  fillVertical(cr, y, h, rgb8(140, 106, 88), rgb8(122, 92, 76));
  rustBlooms(cr, x, y, w, h, 602, 0.6);
  grain(cr, x, y, w, h, 0.02, 0.18, 0.05, 603, 1);
}

void rust(cairo_t* cr) {
  cairo_rectangle(cr, 0, 0, kW, kH);
  fillVertical(cr, 0, kH, rgb8(150, 96, 60), rgb8(120, 70, 42));
  rustBlooms(cr, 0, 0, kW, kH, 601, 2.0);
  grain(cr, 0, 0, kW, kH, 0.03, 0.25, 0.08, 604, 1);
  standardPlates(cr, rustFill, 2);
  // Rivets along the seams instead of screws.
  for (double x = 24; x < kW; x += 48) {
    circle(cr, x, 136, 3.2);
    fillDome(cr, x, 136, 3.2, rgb8(200, 150, 110), rgb8(60, 36, 20));
  }
  lampAndSwitches(cr, rgb8(255, 120, 20));
}

// ---- 7 Shop: hammertone workshop grey -------------------------------------------------
void shopBand(cairo_t* cr, double x, double y, double w, double h) {
  cairo_rectangle(cr, x, y, w, h);
  fillVertical(cr, y, h, rgb8(110, 112, 114), rgb8(96, 98, 100));
  grain(cr, x, y, w, h, 0.01, 0.12, 0.06, 702, 1);
}

void hazard(cairo_t* cr, double x, double y, double w, double h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  setColour(cr, rgb8(236, 184, 30));
  cairo_paint(cr);
  setColour(cr, rgb8(24, 24, 24));
  for (double s = x - h; s < x + w; s += 16) {
    cairo_move_to(cr, s, y + h);
    cairo_line_to(cr, s + 8, y + h);
    cairo_line_to(cr, s + 8 + h, y);
    cairo_line_to(cr, s + h, y);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
  cairo_restore(cr);
  bevel(cr, x, y, w, h, 0, -0.4);
}

void shop(cairo_t* cr) {
  hammertone(cr, 0, 0, kW, kH, rgb8(132, 138, 136), 701);
  standardPlates(cr, shopBand, 3);
  hazard(cr, 200, 0, kW - 200, 7);
  for (double x : {210.0, kW - 12}) screw(cr, x, 20, 5, 0.2 + x * 0.01, rgb8(180, 180, 176));
  lampAndSwitches(cr, rgb8(120, 255, 80));
}

// ---- 8 LowW: little combo, grille cloth above a chrome strip ---------------------------
void lowW(cairo_t* cr) {
  cairo_rectangle(cr, 0, 0, kW, kH);
  fillVertical(cr, 0, kH, rgb8(120, 80, 50), rgb8(90, 58, 36));
  // The grille cloth behind a wooden frame.
  roundedRect(cr, 206, 10, 404, 112, 10);
  cairo_save(cr);
  cairo_clip(cr);
  weave(cr, 206, 10, 404, 112, rgb8(176, 150, 104), 0.12, 3);
  cairo_restore(cr);
  bevel(cr, 206, 10, 404, 112, 10, -0.5, 2);
  const rgb pin = rgb8(230, 214, 170);
  standardPlates(cr, brushedFill<104, 106, 112, 801>, 4, &pin);
  piping(cr, 8, kW - 8, 134, rgb8(230, 214, 170), 2.5);
  headerHardware(cr, rgb8(255, 60, 40), rgb8(190, 190, 196));
}

// ---- 9 Tex: pebble-grain tolex with cream piping ---------------------------------------
void pebbles(cairo_t* cr, double x, double y, double w, double h, rgb base, uint32_t seed) {
  cairo_rectangle(cr, x, y, w, h);
  fillVertical(cr, y, h, lighten(base, 0.05), darken(base, 0.1));
  grain(cr, x, y, w, h, 0.16, 0.3, 0.0, seed, 2);
  grain(cr, x, y, w, h, 0.05, 0.0, 0.1, seed + 1, 1);
}

void texBand(cairo_t* cr, double x, double y, double w, double h) {
  pebbles(cr, x, y, w, h, rgb8(134, 102, 78), 902);
}

void tex(cairo_t* cr) {
  pebbles(cr, 0, 0, kW, kH, rgb8(64, 48, 38), 901);
  const rgb pin = rgb8(236, 224, 196);
  standardPlates(cr, texBand, 8, &pin);
  piping(cr, 8, kW - 8, 134, rgb8(236, 224, 196), 3);
  piping(cr, 8, kW - 8, 4, rgb8(236, 224, 196), 3);
  headerHardware(cr, rgb8(255, 200, 60), rgb8(200, 196, 186), false);
}

// ---- 10 Rack: a rack unit with ears, slots and screws ----------------------------------
void rackEar(cairo_t* cr, double x) {
  cairo_rectangle(cr, x, 0, 30, kH);
  fillGradient(cr, x, 0, x + 30, 0,
               {{0, rgb8(92, 94, 99)}, {0.5, rgb8(115, 117, 122)}, {1, rgb8(79, 82, 87)}});
  for (double y : {30.0, 132.0, 270.0}) {
    roundedRect(cr, x + 8, y - 5, 14, 10, 5);
    setColour(cr, rgb8(12, 12, 14));
    cairo_fill(cr);
    screw(cr, x + 15, y, 4.5, 0.3 + y * 0.01, rgb8(190, 190, 196));
  }
  bevel(cr, x, 0, 30, kH, 0, 0.35, 1.5);
}

void rack(cairo_t* cr) {
  brushedMetal(cr, 0, 0, kW, kH, rgb8(44, 46, 50), 0.03, 1001);
  rackEar(cr, 0);
  rackEar(cr, kW - 30);
  // The plates sit between the ears.
  const qvfacerect& io = kAmpIoPlate;
  const qvfacerect& band = kAmpKnobBand;
  plate(cr, {34, io.y, io.x + io.w - 34, io.h}, 2, brushedFill<104, 106, 112, 1002>);
  plate(cr, {34, band.y, int(kW) - 68, band.h}, 2, brushedFill<104, 106, 112, 1002>);
  // Ventilation slots.
  for (int k = 0; k < 8; ++k) {
    roundedRect(cr, 626 + k * 18, 100, 6, 26, 3);
    setColour(cr, rgb8(8, 8, 10));
    cairo_fill(cr);
  }
  lampAndSwitches(cr, rgb8(60, 220, 255), 9, 54);
}

// ---- 11 Can: brushed aluminium ----------------------------------------------------------
void can(cairo_t* cr) {
  brushedMetal(cr, 0, 0, kW, kH, rgb8(192, 194, 198), 0.05, 1101);
  standardPlates(cr, brushedFill<108, 110, 116, 1102>, 12);
  for (double x : {208.0, kW - 14}) screw(cr, x, 14, 4.5, 0.6 + x * 0.02, rgb8(200, 200, 204));
  lampAndSwitches(cr, rgb8(255, 40, 40));
}

// ---- 12 Deco: black lacquer with gold fans and stepped lines ---------------------------
void decoBand(cairo_t* cr, double x, double y, double w, double h) {
  cairo_rectangle(cr, x, y, w, h);
  fillVertical(cr, y, h, rgb8(52, 120, 120), rgb8(40, 104, 104));
}

void deco(cairo_t* cr) {
  cairo_rectangle(cr, 0, 0, kW, kH);
  fillVertical(cr, 0, kH, rgb8(26, 26, 30), rgb8(14, 14, 16));
  rgb gold = rgb8(214, 176, 92);
  // A sunburst fan rising behind the logo.
  cairo_save(cr);
  cairo_rectangle(cr, 196, 0, 424, 130);
  cairo_clip(cr);
  double cx = kW / 2, cy = 150;
  for (int k = 0; k <= 18; ++k) {
    double a = M_PI + M_PI * k / 18;
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + std::cos(a) * 420, cy + std::sin(a) * 420);
  }
  setColour(cr, gold, 0.35);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  for (double r : {70.0, 110.0, 150.0}) {
    cairo_arc(cr, cx, cy, r, M_PI, 2 * M_PI);
    setColour(cr, gold, 0.4);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  // Stepped lines framing the header.
  cairo_set_line_width(cr, 1.5);
  setColour(cr, gold, 0.9);
  for (int k = 0; k < 3; ++k) {
    double d = k * 5;
    cairo_move_to(cr, 200 + d, 128 - d);
    cairo_line_to(cr, 200 + d, 12 + d);
    cairo_line_to(cr, 616 - d, 12 + d);
    cairo_line_to(cr, 616 - d, 128 - d);
    cairo_stroke(cr);
  }
  plate(cr, kAmpIoPlate, 0, decoBand);
  plate(cr, kAmpKnobBand, 0, decoBand);
  for (const qvfacerect& r : {kAmpIoPlate, kAmpKnobBand}) {
    cairo_rectangle(cr, r.x + 4.5, r.y + 4.5, r.w - 9, r.h - 9);
    setColour(cr, gold, 0.85);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  // Chevrons at the ends of the band.
  for (int side = 0; side < 2; ++side) {
    double x = side ? kW - 4 : 4, s = side ? -1 : 1;
    for (int k = 0; k < 3; ++k) {
      cairo_move_to(cr, x, 150 + k * 12);
      cairo_line_to(cr, x + s * 3, 156 + k * 12);
      cairo_line_to(cr, x, 162 + k * 12);
    }
  }
  cairo_stroke(cr);
  lampAndSwitches(cr, rgb8(255, 190, 60));
}

// ---- 13 Vine: wood grain with climbing vines ---------------------------------------------
void woodGrain(cairo_t* cr, double x, double y, double w, double h, rgb base, uint32_t seed) {
  cairo_rectangle(cr, x, y, w, h);
  fillVertical(cr, y, h, lighten(base, 0.05), darken(base, 0.08));
  qvprng rng(seed);
  // Long gently waving grain lines in two tones.
  for (double gy = y - 10; gy < y + h + 10; gy += rng.range(3, 9)) {
    double amp = rng.range(1, 5), period = rng.range(180, 420), phase = rng.range(0, 6.28);
    cairo_move_to(cr, x, gy + amp * std::sin(phase));
    for (double gx = x + 8; gx <= x + w + 8; gx += 8)
      cairo_line_to(cr, gx, gy + amp * std::sin(phase + 2 * M_PI * (gx - x) / period));
    bool dark = rng.next() % 3 != 0;
    setColour(cr, dark ? darken(base, 0.35) : lighten(base, 0.2), dark ? 0.35 : 0.25);
    cairo_set_line_width(cr, rng.range(0.6, 1.6));
    cairo_stroke(cr);
  }
}

void leaf(cairo_t* cr, double x, double y, double a, double size) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, a);
  auto shape = [&](cairo_t* c) {
    cairo_move_to(c, 0, 0);
    cairo_curve_to(c, size * 0.3, -size * 0.5, size * 0.85, -size * 0.4, size, 0);
    cairo_curve_to(c, size * 0.85, size * 0.4, size * 0.3, size * 0.5, 0, 0);
  };
  softShadow(cr, shape, 3, 1, 2, 0.45);
  shape(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, -size * 0.4, 0, size * 0.4);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.45, 0.72, 0.30);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.18, 0.42, 0.14);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // The midrib.
  cairo_move_to(cr, size * 0.08, 0);
  cairo_curve_to(cr, size * 0.4, -size * 0.04, size * 0.7, -size * 0.03, size * 0.92, 0);
  cairo_set_source_rgba(cr, 0.85, 0.95, 0.6, 0.6);
  cairo_set_line_width(cr, 0.9);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// A vine along y0 from x0 to x1: a slowly waving stem with leaves on alternate
// sides and now and then a curling tendril.
void vine(cairo_t* cr, double x0, double y0, double x1, uint32_t seed) {
  qvprng rng(seed);
  auto yAt = [&](double x) { return y0 + 5 * std::sin((x - x0) * 2 * M_PI / 170); };
  auto stem = [&](cairo_t* c) {
    cairo_move_to(c, x0, yAt(x0));
    for (double x = x0 + 4; x <= x1; x += 4) cairo_line_to(c, x, yAt(x));
    cairo_set_line_width(c, 3.5);
    cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
  };
  softShadow(cr, [&](cairo_t* c) {
    stem(c);
    cairo_stroke_preserve(c);
  }, 3, 1, 2, 0.5);
  stem(cr);
  setColour(cr, rgb8(70, 92, 40));
  cairo_stroke(cr);
  int k = 0;
  for (double x = x0 + 14; x < x1 - 10; x += rng.range(24, 34), ++k) {
    double side = k % 2 ? 1 : -1;
    leaf(cr, x, yAt(x), side * rng.range(0.7, 1.1) - 0.25, rng.range(15, 21));
    if (k % 3 == 1) {
      // A tendril: a short stalk ending in a spiral.
      double tx = x + 10, ty = yAt(x + 10);
      cairo_move_to(cr, tx, ty);
      for (double t = 0; t < 3.2 * M_PI; t += 0.2) {
        double r = 7 * (1 - t / (3.6 * M_PI));
        cairo_line_to(cr, tx + 6 + r * std::cos(t + M_PI), ty - side * (8 + r * std::sin(t + M_PI)));
      }
      setColour(cr, rgb8(90, 120, 50));
      cairo_set_line_width(cr, 1.2);
      cairo_stroke(cr);
    }
  }
}

void vineBand(cairo_t* cr, double x, double y, double w, double h) {
  woodGrain(cr, x, y, w, h, rgb8(132, 92, 60), 1302);
}

void vineFace(cairo_t* cr) {
  woodGrain(cr, 0, 0, kW, kH, rgb8(168, 118, 70), 1301);
  standardPlates(cr, vineBand, 8);
  vine(cr, 200, 128, kW - 8, 1303);
  vine(cr, 200, 10, 620, 1304);
  headerHardware(cr, rgb8(120, 255, 90), rgb8(200, 180, 140));
}

// ---- 14 Emerald: green lacquer with cut stones -------------------------------------------
void emeraldBand(cairo_t* cr, double x, double y, double w, double h) {
  brushedMetal(cr, x, y, w, h, rgb8(54, 118, 84), 0.035, 1402);
}

void gem(cairo_t* cr, double cx, double cy, double r) {
  softShadow(cr, [&](cairo_t* c) { circle(c, cx, cy, r + 2); }, 4, 1, 2, 0.6);
  circle(cr, cx, cy, r + 2);
  fillDome(cr, cx, cy, r + 2, rgb8(240, 214, 130), rgb8(110, 80, 30));
  for (int k = 0; k < 8; ++k) {
    double a0 = k * M_PI / 4, a1 = a0 + M_PI / 4;
    cairo_move_to(cr, cx + std::cos(a0) * r * 0.5, cy + std::sin(a0) * r * 0.5);
    cairo_line_to(cr, cx + std::cos(a0) * r, cy + std::sin(a0) * r);
    cairo_line_to(cr, cx + std::cos(a1) * r, cy + std::sin(a1) * r);
    cairo_line_to(cr, cx + std::cos(a1) * r * 0.5, cy + std::sin(a1) * r * 0.5);
    cairo_close_path(cr);
    double lit = -std::cos((a0 + a1) / 2 + M_PI / 4);
    rgb c = lit > 0 ? rgb8(120, 240, 160) : rgb8(10, 90, 50);
    setColour(cr, mix(rgb8(30, 160, 90), c, std::fabs(lit)));
    cairo_fill(cr);
  }
  circle(cr, cx, cy, r * 0.52);
  fillDome(cr, cx, cy, r * 0.52, rgb8(170, 255, 200), rgb8(20, 130, 70));
}

void emerald(cairo_t* cr) {
  cairo_rectangle(cr, 0, 0, kW, kH);
  fillVertical(cr, 0, kH, rgb8(18, 96, 62), rgb8(8, 60, 38));
  grain(cr, 0, 0, kW, kH, 0.02, 0.2, 0.06, 1401, 1);
  const rgb pin = rgb8(224, 192, 106);
  standardPlates(cr, emeraldBand, 8, &pin);
  piping(cr, 204, 612, 128, rgb8(224, 192, 106), 2);
  piping(cr, 204, 612, 10, rgb8(224, 192, 106), 2);
  gem(cr, 660, 66, 12);
  gem(cr, 760, 66, 12);
  jewel(cr, 710, 66, 10, rgb8(120, 255, 150));
}

}  // namespace

void drawAmpFace(cairo_t* cr, int n) {
  static void (*const faces[kAmpSkinCount])(cairo_t*) = {
      gold, panel, blue, tough, bigC, rust, shop, lowW, tex, rack, can, deco, vineFace, emerald};
  if (n < 1 || n > kAmpSkinCount) return;
  faces[n - 1](cr);
  vignette(cr, kW, kH, 0.18);
}
