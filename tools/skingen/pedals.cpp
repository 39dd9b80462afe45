// The eleven stomp-box faces (188 x 286) and the foot switch. A face is a painted
// enclosure with rounded corners on a transparent ground: a darker label strip at
// the top where the menus and the move button sit, a mid-toned control plate for
// up to four knobs (white and black captions both read on it), and room for the
// foot switch at the bottom.
#include <cmath>

#include "tools/skingen/families.hpp"

namespace {

constexpr double kW = 188, kH = 286;
constexpr double kBodyX = 3, kBodyY = 2, kBodyW = 182, kBodyH = 280, kBodyR = 16;

enum class finish { gloss, hammer, flake, brushed, matte };

struct pedalstyle {
  rgb body;     // enclosure paint
  finish kind;
  rgb plate;    // the knob plate, mid-toned
  rgb accent;   // stripes and the plate's rim
  int motif;    // the graphic behind the switch (kRings ... kPinstripes)
};

enum { kRings, kDiagonal, kChevron, kBolt, kPinstripes };

// The eleven faces, in list order: the first is the orange one.
const pedalstyle kStyles[kPedalSkinCount] = {
    {rgb8(236, 118, 28), finish::hammer, rgb8(146, 82, 38), rgb8(30, 24, 20), kRings},
    {rgb8(56, 150, 76), finish::gloss, rgb8(40, 104, 60), rgb8(236, 230, 200), kDiagonal},
    {rgb8(40, 96, 196), finish::flake, rgb8(56, 88, 150), rgb8(230, 230, 240), kChevron},
    {rgb8(196, 30, 36), finish::gloss, rgb8(156, 62, 60), rgb8(250, 220, 140), kBolt},
    {rgb8(112, 52, 150), finish::flake, rgb8(114, 82, 150), rgb8(240, 200, 255), kRings},
    {rgb8(188, 190, 194), finish::brushed, rgb8(100, 104, 110), rgb8(30, 30, 34), kPinstripes},
    {rgb8(240, 200, 40), finish::gloss, rgb8(124, 104, 40), rgb8(30, 30, 30), kDiagonal},
    {rgb8(232, 226, 208), finish::hammer, rgb8(108, 100, 88), rgb8(150, 40, 40), kPinstripes},
    {rgb8(36, 36, 40), finish::matte, rgb8(96, 98, 104), rgb8(220, 60, 60), kChevron},
    {rgb8(30, 150, 150), finish::flake, rgb8(38, 108, 110), rgb8(250, 250, 240), kRings},
    {rgb8(222, 80, 140), finish::gloss, rgb8(154, 74, 110), rgb8(40, 20, 30), kBolt},
};

void bodyPath(cairo_t* cr) { roundedRect(cr, kBodyX, kBodyY, kBodyW, kBodyH, kBodyR); }

void paintFinish(cairo_t* cr, const pedalstyle& s, uint32_t seed) {
  switch (s.kind) {
    case finish::hammer:
      hammertone(cr, 0, 0, kW, kH, s.body, seed);
      break;
    case finish::brushed:
      brushedMetal(cr, 0, 0, kW, kH, s.body, 0.05, seed);
      break;
    case finish::flake:
      cairo_rectangle(cr, 0, 0, kW, kH);
      fillVertical(cr, 0, kH, lighten(s.body, 0.12), darken(s.body, 0.2));
      grain(cr, 0, 0, kW, kH, 0.06, 0.0, 0.35, seed, 1);
      grain(cr, 0, 0, kW, kH, 0.03, 0.25, 0.0, seed + 7, 1);
      break;
    case finish::gloss:
    case finish::matte:
      cairo_rectangle(cr, 0, 0, kW, kH);
      fillVertical(cr, 0, kH, lighten(s.body, 0.1), darken(s.body, 0.18));
      if (s.kind == finish::matte) grain(cr, 0, 0, kW, kH, 0.03, 0.2, 0.05, seed, 1);
      break;
  }
  if (s.kind == finish::gloss || s.kind == finish::flake) {
    // A long window reflection down the left side.
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, kW, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.04, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 0.10, 1, 1, 1, 0.22);
    cairo_pattern_add_color_stop_rgba(p, 0.22, 1, 1, 1, 0.0);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
  }
}

// The graphic in the switch area (y 204 to the bottom), in the accent colour.
void motif(cairo_t* cr, const pedalstyle& s) {
  double cx = kW / 2, cy = 254;
  setColour(cr, s.accent, 0.8);
  switch (s.motif) {
    case kRings:
      cairo_set_line_width(cr, 3);
      for (double r : {38.0, 50.0, 62.0}) {
        circle(cr, cx, cy, r);
        cairo_stroke(cr);
      }
      break;
    case kDiagonal:
      for (double x : {-40.0, -10.0})
        for (double k = 0; k < 2; ++k) {
          double x0 = x + k * 150;
          cairo_move_to(cr, x0, kH);
          cairo_line_to(cr, x0 + 18, kH);
          cairo_line_to(cr, x0 + 18 + 84, 204);
          cairo_line_to(cr, x0 + 84, 204);
          cairo_close_path(cr);
        }
      cairo_fill(cr);
      break;
    case kChevron:
      for (int k = 0; k < 3; ++k) {
        double y = 214 + k * 12;
        cairo_move_to(cr, 0, y);
        cairo_line_to(cr, cx, y + 22);
        cairo_line_to(cr, kW, y);
        cairo_line_to(cr, kW, y + 5);
        cairo_line_to(cr, cx, y + 27);
        cairo_line_to(cr, 0, y + 5);
        cairo_close_path(cr);
      }
      cairo_fill(cr);
      break;
    case kBolt:
      for (double x : {22.0, kW - 22}) {
        cairo_move_to(cr, x + 4, 210);
        cairo_line_to(cr, x - 9, 250);
        cairo_line_to(cr, x, 248);
        cairo_line_to(cr, x - 5, 280);
        cairo_line_to(cr, x + 10, 238);
        cairo_line_to(cr, x + 1, 240);
        cairo_close_path(cr);
      }
      cairo_fill(cr);
      break;
    case kPinstripes:
      for (double y : {207.0, 212.0, kH - 24.0}) {
        cairo_rectangle(cr, 0, y, kW, 1.6);
      }
      cairo_fill(cr);
      break;
  }
}

void facePath(cairo_t* cr) {
  roundedRect(cr, kBodyX + 3, kBodyY + 2, kBodyW - 6, kBodyH - 6, kBodyR - 3);
}

void pedal(cairo_t* cr, int n) {
  const pedalstyle& s = kStyles[n - 1];
  uint32_t seed = 2000u + 17u * uint32_t(n);
  softShadow(cr, bodyPath, 4, 0, 2, 0.7);
  // The enclosure's side wall shows as a darker rim below and to the right.
  bodyPath(cr);
  cairo_pattern_t* wall = cairo_pattern_create_linear(0, 0, kW * 0.4, kH);
  rgb lo = darken(s.body, 0.55), hi = darken(s.body, 0.15);
  cairo_pattern_add_color_stop_rgb(wall, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(wall, 1, lo.r, lo.g, lo.b);
  cairo_set_source(cr, wall);
  cairo_fill(cr);
  cairo_pattern_destroy(wall);
  cairo_save(cr);
  facePath(cr);
  cairo_clip(cr);
  paintFinish(cr, s, seed);
  // Label strip at the top, under the menus and the move button.
  cairo_rectangle(cr, 0, 0, kW, 62);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.32);
  cairo_fill(cr);
  cairo_rectangle(cr, 0, 61, kW, 1.5);
  setColour(cr, s.accent, 0.5);
  cairo_fill(cr);
  motif(cr, s);
  cairo_restore(cr);
  bevel(cr, kBodyX + 3, kBodyY + 2, kBodyW - 6, kBodyH - 6, kBodyR - 3, 0.5, 1.5);
  // The knob plate: a recessed panel with a pin line.
  const qvfacerect& P = kPedalKnobPlate;
  roundedRect(cr, P.x, P.y, P.w, P.h, 10);
  fillVertical(cr, P.y, P.h, lighten(s.plate, 0.06), darken(s.plate, 0.08));
  bevel(cr, P.x, P.y, P.w, P.h, 10, -0.45, 2);
  roundedRect(cr, P.x + 4.5, P.y + 4.5, P.w - 9, P.h - 9, 7);
  setColour(cr, s.accent, 0.45);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Bottom-plate screws at the lower corners (the menus cover the upper ones),
  // and the enclosure's outline.
  for (double x : {14.0, kW - 14}) screw(cr, x, kH - 16, 3.6, 0.5 + x * 0.02, rgb8(200, 200, 204));
  bodyPath(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// An LED in a small chrome bezel, lit or dark.
void led(cairo_t* cr, double cx, double cy, double r, rgb c, bool lit) {
  circle(cr, cx, cy, r + 2);
  fillDome(cr, cx, cy, r + 2, rgb8(230, 230, 234), rgb8(70, 70, 76));
  if (lit) glow(cr, [&](cairo_t* k) { circle(k, cx, cy, r + 1); }, 10, c, 0.9);
  circle(cr, cx, cy, r);
  rgb body = lit ? lighten(c, 0.3) : darken(c, 0.7);
  fillDome(cr, cx, cy, r, lighten(body, 0.5), darken(body, 0.3));
  circle(cr, cx - r * 0.3, cy - r * 0.35, r * 0.3);
  cairo_set_source_rgba(cr, 1, 1, 1, lit ? 0.9 : 0.45);
  cairo_fill(cr);
}

// One state of the foot switch in a 142 x 81 cell: a hex nut and a chrome
// button, pressed down when on, and the status LED above it.
void footState(cairo_t* cr, double w, bool on) {
  double cx = w / 2, cy = 47;
  // Hex nut.
  auto hex = [&](cairo_t* c) {
    for (int k = 0; k < 6; ++k) {
      double a = M_PI / 6 + k * M_PI / 3;
      cairo_line_to(c, cx + std::cos(a) * 28, cy + std::sin(a) * 28);
    }
    cairo_close_path(c);
  };
  softShadow(cr, hex, 5, 1.5, 3, 0.65);
  hex(cr);
  fillDome(cr, cx, cy, 30, rgb8(220, 222, 226), rgb8(80, 82, 88));
  hex(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Threaded collar.
  circle(cr, cx, cy, 21);
  fillDome(cr, cx, cy, 21, rgb8(150, 152, 158), rgb8(40, 42, 46));
  // The button: lower and a little smaller when pressed.
  double r = on ? 15.5 : 16.5, dy = on ? 1.0 : -1.5;
  if (!on) softShadow(cr, [&](cairo_t* k) { circle(k, cx, cy + dy, r); }, 3, 1.5, 3, 0.6);
  circle(cr, cx, cy + dy, r);
  fillDome(cr, cx, cy + dy, r, on ? rgb8(210, 212, 216) : rgb8(250, 250, 252),
           on ? rgb8(90, 92, 98) : rgb8(120, 122, 128));
  circle(cr, cx, cy + dy, r * 0.62);
  cairo_set_source_rgba(cr, 0, 0, 0, on ? 0.16 : 0.08);
  cairo_fill(cr);
  led(cr, cx, 9, 4.5, rgb8(255, 40, 30), on);
}

}  // namespace

void drawPedalFace(cairo_t* cr, int n) {
  if (n >= 1 && n <= kPedalSkinCount) pedal(cr, n);
}

void drawFootSwitch(cairo_t* cr, int w, int h) {
  for (int state = 0; state < 2; ++state) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, state * h / 2, w, h / 2);
    cairo_clip(cr);
    cairo_translate(cr, 0, state * h / 2);
    footState(cr, w, state == 1);
    cairo_restore(cr);
  }
}
