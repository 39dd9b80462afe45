// The nine knob families. Each strip is 91 square frames stacked vertically; frame
// i turns the knob to -135 + 270 * i / 90 degrees from the top, clockwise. The
// light comes from the upper left and stays put while the knob turns: gradients
// are laid in the frame's fixed coordinates, and the faces of turning shapes are
// shaded by how their normals meet the light.
#include <cmath>
#include <cstring>

#include "tools/skingen/families.hpp"

namespace {

constexpr double kLightX = -0.6, kLightY = -0.8;  // towards the light

// How much a face whose outward normal points at `angle` (radians, 0 = up,
// clockwise) faces the light: -1 away, +1 straight at it.
double facing(double angle) { return std::sin(angle) * kLightX - std::cos(angle) * kLightY; }

struct frame {
  double c;      // centre, both axes
  double s;      // side
  double angle;  // radians, 0 = up, clockwise
};

// Radial ridges on a rim between r1 and r2, turning with the knob.
void knurl(cairo_t* cr, const frame& f, double r1, double r2, int count, rgb base) {
  cairo_set_line_width(cr, std::max(0.6, 2 * M_PI * r2 / count * 0.45));
  for (int k = 0; k < count; ++k) {
    double a = f.angle + 2 * M_PI * k / count;
    double lit = facing(a);
    rgb c = lit > 0 ? lighten(base, 0.35 * lit) : darken(base, -0.5 * lit);
    setColour(cr, c);
    double sx = std::sin(a), sy = -std::cos(a);
    cairo_move_to(cr, f.c + sx * r1, f.c + sy * r1);
    cairo_line_to(cr, f.c + sx * r2, f.c + sy * r2);
    cairo_stroke(cr);
  }
}

// A line from radius r1 to r2 along the knob's pointer direction.
void pointerLine(cairo_t* cr, const frame& f, double r1, double r2, double width, rgb c,
                 double alpha = 1.0) {
  double sx = std::sin(f.angle), sy = -std::cos(f.angle);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, width);
  setColour(cr, c, alpha);
  cairo_move_to(cr, f.c + sx * r1, f.c + sy * r1);
  cairo_line_to(cr, f.c + sx * r2, f.c + sy * r2);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void roundShadow(cairo_t* cr, const frame& f, double r, double lift) {
  softShadow(cr, [&](cairo_t* c) { circle(c, f.c, f.c, r); }, lift * 1.6, lift * 0.45, lift * 0.7,
             0.55);
}

// A soft specular spot on the upper left of a dome.
void specular(cairo_t* cr, const frame& f, double r, double strength) {
  double hx = f.c - 0.38 * r, hy = f.c - 0.45 * r;
  cairo_pattern_t* p = cairo_pattern_create_radial(hx, hy, 0, hx, hy, 0.55 * r);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, strength);
  cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0);
  cairo_set_source(cr, p);
  circle(cr, f.c, f.c, r);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void rimLine(cairo_t* cr, const frame& f, double r, double alpha) {
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgba(cr, 0, 0, 0, alpha);
  circle(cr, f.c, f.c, r - 0.5);
  cairo_stroke(cr);
}

// A round body lit from the upper left with a knurled rim from `inner` to r.
void knurledBody(cairo_t* cr, const frame& f, double r, double inner, int ridges, rgb lit,
                 rgb shade, rgb ridge, double lift) {
  roundShadow(cr, f, r, lift);
  circle(cr, f.c, f.c, r);
  fillDome(cr, f.c, f.c, r, lit, shade);
  knurl(cr, f, inner, r - 0.5, ridges, ridge);
  rimLine(cr, f, r, 0.8);
}

// ---- flat-top panel knob: black plastic, knurled side, white line ----------------
void panelKnob(cairo_t* cr, const frame& f) {
  double r = f.s * 0.40, top = r * 0.74;
  knurledBody(cr, f, r, top + 0.5, 36, rgb8(70, 70, 74), rgb8(14, 14, 16), rgb8(34, 34, 37), 3.0);
  circle(cr, f.c, f.c, top);
  fillVertical(cr, f.c - top, 2 * top, rgb8(58, 58, 62), rgb8(20, 20, 22));
  cairo_set_line_width(cr, 0.8);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
  cairo_arc(cr, f.c, f.c, top - 0.4, M_PI * 1.05, M_PI * 1.6);
  cairo_stroke(cr);
  pointerLine(cr, f, top * 0.25, r - 0.8, 2.0, rgb8(240, 238, 230));
}

// ---- chicken head: a long beak over a round base -----------------------------------
void chickenPath(cairo_t* cr, const frame& f, double len, double half, bool left, bool right) {
  // In the knob's own coordinates: the tip at (0, -len), the widest point at
  // (+-half, 0.15 len), a round tail.
  cairo_save(cr);
  cairo_translate(cr, f.c, f.c);
  cairo_rotate(cr, f.angle);
  double tail = half, ty = len * 0.28;
  cairo_new_sub_path(cr);
  cairo_move_to(cr, 0, -len);
  if (right) {
    cairo_curve_to(cr, half * 0.3, -len * 0.7, half * 1.0, -len * 0.25, half, ty);
    cairo_arc(cr, 0, ty, tail, 0, M_PI / 2);
  } else {
    cairo_line_to(cr, 0, ty + tail);
  }
  if (left) {
    cairo_arc(cr, 0, ty, tail, M_PI / 2, M_PI);
    cairo_curve_to(cr, -half * 1.0, -len * 0.25, -half * 0.3, -len * 0.7, 0, -len);
  }
  cairo_close_path(cr);
  cairo_restore(cr);
}

void chickenHead(cairo_t* cr, const frame& f, rgb body, rgb line) {
  double base = f.s * 0.3, len = f.s * 0.44, half = f.s * 0.16;
  softShadow(cr, [&](cairo_t* c) { chickenPath(c, f, len, half, true, true); }, 4.5, 1.6, 2.6,
             0.6);
  // The round collar under the beak.
  circle(cr, f.c, f.c, base);
  fillDome(cr, f.c, f.c, base, lighten(body, 0.2), darken(body, 0.55));
  rimLine(cr, f, base, 0.6);
  softShadow(cr, [&](cairo_t* c) { chickenPath(c, f, len, half, true, true); }, 2.0, 0.6, 1.0,
             0.5);
  // The beak: two halves either side of the spine, each lit by its own side.
  for (int side = 0; side < 2; ++side) {
    double normal = f.angle + (side == 0 ? -M_PI / 2 : M_PI / 2);
    double lit = facing(normal);
    rgb c = lit > 0 ? lighten(body, 0.16 * lit) : darken(body, -0.24 * lit);
    chickenPath(cr, f, len, half, side == 0, side == 1);
    fillDome(cr, f.c, f.c, len, lighten(c, 0.08), darken(c, 0.18));
  }
  chickenPath(cr, f, len, half, true, true);
  cairo_set_line_width(cr, 0.9);
  setColour(cr, darken(body, 0.6), 0.8);
  cairo_stroke(cr);
  // A rounded boss where the beak meets the collar, then the inlaid line.
  pointerLine(cr, f, -len * 0.1, len * 0.88, 2.2, line);
}

// ---- pointer knob: round black body with a pointed fin -------------------------------
void finPath(cairo_t* cr, const frame& f, double r, double fin) {
  cairo_save(cr);
  cairo_translate(cr, f.c, f.c);
  cairo_rotate(cr, f.angle);
  cairo_move_to(cr, -r * 0.62, -r * 0.55);
  cairo_curve_to(cr, -r * 0.35, -r * 0.9, -r * 0.12, -fin * 0.9, 0, -fin);
  cairo_curve_to(cr, r * 0.12, -fin * 0.9, r * 0.35, -r * 0.9, r * 0.62, -r * 0.55);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void pointerKnob(cairo_t* cr, const frame& f) {
  double r = f.s * 0.31, fin = f.s * 0.47;
  auto whole = [&](cairo_t* c) {
    finPath(c, f, r, fin);
    circle(c, f.c, f.c, r);
  };
  softShadow(cr, whole, 3.5, 1.2, 2.0, 0.6);
  finPath(cr, f, r, fin);
  double lit = facing(f.angle);
  setColour(cr, lit > 0 ? lighten(rgb8(40, 40, 44), 0.25 * lit) : darken(rgb8(40, 40, 44), -0.4 * lit));
  cairo_fill_preserve(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
  circle(cr, f.c, f.c, r);
  fillDome(cr, f.c, f.c, r, rgb8(88, 88, 92), rgb8(16, 16, 18));
  rimLine(cr, f, r, 0.7);
  // Brushed silver cap.
  double cap = r * 0.64;
  brushedDisc(cr, f.c, f.c, cap, rgb8(176, 178, 182), 0.06, 4);
  rimLine(cr, f, cap, 0.5);
  pointerLine(cr, f, r * 0.75, fin - 2.0, 1.8, rgb8(250, 250, 245));
  pointerLine(cr, f, cap * 0.2, cap - 1.0, 1.4, rgb8(30, 30, 30), 0.85);
}

// ---- metal top: knurled black body, brushed aluminium insert ---------------------------
void metalTopKnob(cairo_t* cr, const frame& f) {
  double r = f.s * 0.39, cap = r * 0.68;
  knurledBody(cr, f, r, cap + 1.2, 48, rgb8(74, 74, 78), rgb8(12, 12, 14), rgb8(36, 36, 39), 3.5);
  brushedDisc(cr, f.c, f.c, cap, rgb8(196, 198, 202), 0.07, 7);
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  circle(cr, f.c, f.c, cap);
  cairo_stroke(cr);
  pointerLine(cr, f, cap * 0.15, cap - 1.0, 2.2, rgb8(20, 20, 22));
  pointerLine(cr, f, cap + 2.0, r - 1.6, 2.4, rgb8(245, 245, 240));
}

// ---- skirted knob: flared skirt with a line, knurled cap ------------------------------
void skirtKnob(cairo_t* cr, const frame& f) {
  double skirt = f.s * 0.43, cap = skirt * 0.64;
  roundShadow(cr, f, skirt, 4.0);
  circle(cr, f.c, f.c, skirt);
  fillDome(cr, f.c, f.c, skirt * 1.2, rgb8(64, 64, 68), rgb8(10, 10, 12));
  // The skirt's slope catches light on its upper left.
  cairo_pattern_t* p = cairo_pattern_create_linear(f.c - skirt, f.c - skirt, f.c + skirt, f.c + skirt);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0.16);
  cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0.25);
  cairo_set_source(cr, p);
  circle(cr, f.c, f.c, skirt);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  rimLine(cr, f, skirt, 0.9);
  pointerLine(cr, f, cap + 2.5, skirt - 2.0, 2.6, rgb8(245, 244, 236));
  softShadow(cr, [&](cairo_t* c) { circle(c, f.c, f.c, cap); }, 3.0, 0.8, 1.4, 0.6);
  circle(cr, f.c, f.c, cap);
  fillDome(cr, f.c, f.c, cap, rgb8(80, 80, 84), rgb8(16, 16, 18));
  knurl(cr, f, cap * 0.8, cap - 0.4, 40, rgb8(40, 40, 44));
  circle(cr, f.c, f.c, cap * 0.78);
  fillDome(cr, f.c, f.c, cap * 0.78, rgb8(66, 66, 70), rgb8(22, 22, 24));
  specular(cr, f, cap * 0.78, 0.22);
  rimLine(cr, f, cap, 0.7);
}

// ---- box knob: a rounded square body with bevelled sides and a dot ---------------------
void boxPath(cairo_t* cr, const frame& f, double half, double corner) {
  cairo_save(cr);
  cairo_translate(cr, f.c, f.c);
  cairo_rotate(cr, f.angle);
  roundedRect(cr, -half, -half, 2 * half, 2 * half, corner);
  cairo_restore(cr);
}

void boxKnob(cairo_t* cr, const frame& f) {
  double half = f.s * 0.30, corner = half * 0.36, bev = half * 0.2;
  softShadow(cr, [&](cairo_t* c) { boxPath(c, f, half, corner); }, 4.0, 1.5, 2.5, 0.6);
  // The four bevelled sides, each shaded by where it faces.
  for (int side = 0; side < 4; ++side) {
    double normal = f.angle + side * M_PI / 2;
    double lit = facing(normal);
    rgb c = lit > 0 ? lighten(rgb8(30, 30, 33), 0.3 * lit) : darken(rgb8(30, 30, 33), -0.6 * lit);
    cairo_save(cr);
    cairo_translate(cr, f.c, f.c);
    cairo_rotate(cr, normal);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, -half * 1.5, -half * 1.5);
    cairo_line_to(cr, half * 1.5, -half * 1.5);
    cairo_close_path(cr);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_clip(cr);
    boxPath(cr, f, half, corner);
    setColour(cr, c);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  boxPath(cr, f, half - bev, corner * 0.7);
  fillVertical(cr, f.c - half, 2 * half, rgb8(52, 52, 56), rgb8(20, 20, 22));
  boxPath(cr, f, half, corner);
  cairo_set_line_width(cr, 0.9);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
  cairo_stroke(cr);
  // A white line from the centre to a dot near the leading edge.
  double sx = std::sin(f.angle), sy = -std::cos(f.angle);
  double d = half - bev - 3.2;
  circle(cr, f.c + sx * d, f.c + sy * d, 2.6);
  setColour(cr, rgb8(246, 244, 236));
  cairo_fill(cr);
  pointerLine(cr, f, 0, d, 2.0, rgb8(246, 244, 236), 0.9);
}

// ---- emerald: a faceted green stone in a brass ring -----------------------------------
void emeraldKnob(cairo_t* cr, const frame& f) {
  double ring = f.s * 0.40, stone = ring * 0.78;
  knurledBody(cr, f, ring, stone + 1.0, 40, rgb8(236, 206, 120), rgb8(110, 78, 24),
              rgb8(168, 128, 52), 3.5);
  circle(cr, f.c, f.c, stone);
  fillDome(cr, f.c, f.c, stone, rgb8(120, 230, 160), rgb8(4, 70, 40));
  // Eight facets that turn with the stone: alternate light and dark by how they
  // face the light.
  int n = 8;
  double table = stone * 0.5;
  for (int k = 0; k < n; ++k) {
    double a0 = f.angle + 2 * M_PI * k / n, a1 = a0 + 2 * M_PI / n;
    double lit = facing((a0 + a1) / 2);
    cairo_move_to(cr, f.c + std::sin(a0) * table, f.c - std::cos(a0) * table);
    cairo_line_to(cr, f.c + std::sin(a0) * stone, f.c - std::cos(a0) * stone);
    cairo_arc(cr, f.c, f.c, stone, a0 - M_PI / 2, a1 - M_PI / 2);
    cairo_line_to(cr, f.c + std::sin(a1) * table, f.c - std::cos(a1) * table);
    cairo_close_path(cr);
    if (lit > 0)
      cairo_set_source_rgba(cr, 0.8, 1, 0.85, 0.22 * lit);
    else
      cairo_set_source_rgba(cr, 0, 0.1, 0.05, -0.35 * lit);
    cairo_fill(cr);
  }
  // The flat table on top.
  cairo_new_path(cr);
  for (int k = 0; k < n; ++k) {
    double a = f.angle + 2 * M_PI * k / n;
    cairo_line_to(cr, f.c + std::sin(a) * table, f.c - std::cos(a) * table);
  }
  cairo_close_path(cr);
  cairo_path_t* oct = cairo_copy_path(cr);
  fillDome(cr, f.c, f.c, table * 1.4, rgb8(150, 250, 185), rgb8(10, 110, 60));
  cairo_append_path(cr, oct);
  cairo_set_line_width(cr, 0.6);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_stroke(cr);
  cairo_path_destroy(oct);
  specular(cr, f, stone, 0.35);
  pointerLine(cr, f, table * 0.4, stone + 2.5, 2.2, rgb8(255, 226, 140));
}

// ---- white chicken head on a dark dial plate -------------------------------------------
void dialPlate(cairo_t* cr, const frame& f) {
  double plate = f.s * 0.47;
  circle(cr, f.c, f.c, plate);
  fillVertical(cr, f.c - plate, 2 * plate, rgb8(40, 40, 44), rgb8(16, 16, 18));
  bevel(cr, f.c - plate, f.c - plate, 2 * plate, 2 * plate, plate, -0.5);
  // Eleven fixed ticks over the 270 degrees of travel.
  cairo_set_line_width(cr, 1.2);
  for (int k = 0; k <= 10; ++k) {
    double a = (-135.0 + 27.0 * k) * M_PI / 180;
    double r1 = plate - (k % 5 == 0 ? 5.5 : 4.0), r2 = plate - 1.8;
    cairo_set_source_rgba(cr, 0.92, 0.9, 0.84, k % 5 == 0 ? 0.95 : 0.7);
    cairo_move_to(cr, f.c + std::sin(a) * r1, f.c - std::cos(a) * r1);
    cairo_line_to(cr, f.c + std::sin(a) * r2, f.c - std::cos(a) * r2);
    cairo_stroke(cr);
  }
}

void drawStrip(cairo_t* cr, int side, void (*paint)(cairo_t*, const frame&)) {
  for (int i = 0; i < kKnobFrames; ++i) {
    double deg = -kKnobSweepDeg / 2 + kKnobSweepDeg * i / (kKnobFrames - 1);
    frame f{side / 2.0, double(side), deg * M_PI / 180.0};
    cairo_save(cr);
    cairo_rectangle(cr, 0, i * side, side, side);
    cairo_clip(cr);
    cairo_translate(cr, 0, i * side);
    paint(cr, f);
    cairo_restore(cr);
  }
}

}  // namespace

bool drawKnobStrip(cairo_t* cr, const qvskinfile& f) {
  struct family {
    const char* file;
    void (*paint)(cairo_t*, const frame&);
  };
  static const family families[] = {
      {"knobpanel.png", panelKnob},
      {"knobchickblack.png",
       [](cairo_t* c, const frame& fr) { chickenHead(c, fr, rgb8(34, 33, 32), rgb8(244, 242, 232)); }},
      {"knobpoint1.png", pointerKnob},
      {"knobmetaltop.png", metalTopKnob},
      {"knobskirtblack.png", skirtKnob},
      {"knobchickwhite.png",
       [](cairo_t* c, const frame& fr) { chickenHead(c, fr, rgb8(226, 220, 200), rgb8(24, 22, 20)); }},
      {"knobboxblack.png", boxKnob},
      {"knobemerald.png", emeraldKnob},
      {"knobchickwhitedark.png",
       [](cairo_t* c, const frame& fr) {
         dialPlate(c, fr);
         chickenHead(c, fr, rgb8(236, 232, 218), rgb8(30, 28, 26));
       }},
  };
  for (const family& fam : families)
    if (std::strcmp(fam.file, f.file) == 0) {
      drawStrip(cr, f.width, fam.paint);
      return true;
    }
  return false;
}
