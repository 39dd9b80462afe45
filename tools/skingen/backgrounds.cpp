// Backgrounds: the frame, the block strip and its boxes, the gate, cab-sim and
// options panels, the flat panel, the button row, dividers and the brackets that
// mark an oversampled range. Large areas are smooth gradients and a few lines,
// which cost little in a PNG.
#include <cmath>
#include <string_view>

#include "tools/skingen/families.hpp"

namespace {

// A slate panel (mid-toned, for knobs) with a bevel, on the frame's colour.
void slatePanel(cairo_t* cr, double x, double y, double w, double h, double radius) {
  framedBox(cr, x, y, w, h, radius, kPlateTop, kPlateBottom, kEdgeDark);
  bevel(cr, x + 1, y + 1, w - 2, h - 2, radius - 0.5, 0.3, 1.5);
}

// A groove: a dark line with a light one beside it.
void groove(cairo_t* cr, double x0, double y0, double x1, double y1) {
  bool vertical = x0 == x1;
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
  cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
  cairo_stroke(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.14);
  cairo_move_to(cr, x0 + (vertical ? 1.5 : 0.5), y0 + (vertical ? 0.5 : 1.5));
  cairo_line_to(cr, x1 + (vertical ? 1.5 : 0.5), y1 + (vertical ? 0.5 : 1.5));
  cairo_stroke(cr);
}

// A small engraved heading at the top left of a panel.
void heading(cairo_t* cr, double x, double y, const char* text) {
  setFont(cr, qvface::sansBold, 9);
  cairo_move_to(cr, x, y + 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
  cairo_show_text(cr, text);
  cairo_move_to(cr, x, y);
  setColour(cr, rgb8(30, 32, 36), 0.9);
  cairo_show_text(cr, text);
}

void screen(cairo_t* cr, double w, double h) {
  cairo_rectangle(cr, 0, 0, w, h);
  fillVertical(cr, 0, h, lighten(kFrameBg, 0.04), darken(kFrameBg, 0.25));
  // The tab rail on the left edge and the title bar along the top.
  cairo_rectangle(cr, 0, 0, 22, h);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
  cairo_fill(cr);
  groove(cr, 22, 0, 22, h);
  cairo_rectangle(cr, 0, 0, w, 20);
  fillVertical(cr, 0, 20, rgb8(46, 47, 52), rgb8(30, 31, 34));
  groove(cr, 0, 19, w, 19);
  // The lower strip under the amplifier's menu row.
  groove(cr, 22, 344, w, 344);
  vignette(cr, w, h, 0.25);
}

void blockStrip(cairo_t* cr, double w, double h) {
  cairo_rectangle(cr, 0, 0, w, h);
  fillVertical(cr, 0, h, rgb8(22, 23, 26), rgb8(16, 16, 18));
  // Two rows of rails, like a pedal board, each under a row of block boxes.
  for (double y : {112.0, 226.0}) {
    cairo_rectangle(cr, 0, y, w, 5);
    fillVertical(cr, y, 5, rgb8(70, 72, 78), rgb8(30, 31, 34));
    for (double x = 20; x < w; x += 140) screw(cr, x, y + 2.5, 2, x * 0.01, kSteel);
  }
  groove(cr, 0, 0, w, 0);
}

void blockBox(cairo_t* cr, double w, double h) {
  softShadow(cr, [&](cairo_t* k) { roundedRect(k, 2, 2, w - 4, h - 4, 6); }, 3, 0, 1, 0.7);
  slatePanel(cr, 2, 2, w - 4, h - 4, 6);
  // The header under the title and the block's icons.
  cairo_save(cr);
  roundedRect(cr, 3, 3, w - 6, h - 6, 5);
  cairo_clip(cr);
  cairo_rectangle(cr, 0, 0, w, 21);
  fillVertical(cr, 0, 21, rgb8(50, 52, 58), rgb8(36, 37, 42));
  cairo_restore(cr);
  groove(cr, 3, 21, w - 4, 21);
}

void emptySlot(cairo_t* cr, double w, double h) {
  roundedRect(cr, 4, 4, w - 8, h - 8, 8);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
  cairo_fill_preserve(cr);
  dashedStroke(cr, kInk, 0.3, 6, 4, 1.5);
  cairo_set_line_width(cr, 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, w / 2, h / 2 - 12);
  cairo_line_to(cr, w / 2, h / 2 + 12);
  cairo_move_to(cr, w / 2 - 12, h / 2);
  cairo_line_to(cr, w / 2 + 12, h / 2);
  setColour(cr, kInk, 0.22);
  cairo_stroke(cr);
}

void bracket(cairo_t* cr, double w, double h, bool left) {
  auto shape = [&](cairo_t* k) {
    double x0 = left ? w - 2 : 2, x1 = left ? 3 : w - 3;
    cairo_move_to(k, x0, 3);
    cairo_line_to(k, x1, 3);
    cairo_line_to(k, x1, h - 3);
    cairo_line_to(k, x0, h - 3);
    cairo_set_line_width(k, 2.5);
    cairo_set_line_join(k, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(k, CAIRO_LINE_CAP_ROUND);
  };
  glow(cr, [&](cairo_t* k) {
    shape(k);
    cairo_stroke_preserve(k);
  }, 4, kAmber, 0.6);
  shape(cr);
  setColour(cr, kAmber);
  cairo_stroke(cr);
}

void divider(cairo_t* cr, double w, double h) {
  groove(cr, std::floor(w / 2) - 1, 4, std::floor(w / 2) - 1, h - 4);
  for (double y : {3.0, h - 3.0}) {
    circle(cr, w / 2, y, 2);
    setColour(cr, kSteel, 0.6);
    cairo_fill(cr);
  }
}

void gatePanel(cairo_t* cr, double w, double h) {
  slatePanel(cr, 0, 0, w, h, 6);
  heading(cr, 10, 14, "NOISE GATE");
  groove(cr, 8, 19, w - 9, 19);
}

void cabPanel(cairo_t* cr, double w, double h) {
  slatePanel(cr, 0, 0, w, h, 6);
  heading(cr, 10, 14, "CAB SIM");
  groove(cr, 8, 19, 158, 19);
  // The impulse's file area on the right, set off by a groove.
  groove(cr, 160, 10, 160, h - 10);
  // A faint speaker at the bottom right, under the file captions.
  double cx = w - 42, cy = h - 38;
  for (double r : {26.0, 18.0, 8.0}) {
    circle(cr, cx, cy, r);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.10);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  }
}

void optionsPanel(cairo_t* cr, double w, double h) {
  slatePanel(cr, 0, 0, w, h, 8);
  heading(cr, 18, 18, "OPTIONS");
  groove(cr, 12, 24, w - 13, 24);
  groove(cr, 440, 34, 440, h - 14);
}

void flatPanel(cairo_t* cr, double w, double h) { slatePanel(cr, 0, 0, w, h, 6); }

void buttonRow(cairo_t* cr, double w, double h) {
  cairo_rectangle(cr, 0, 0, w, h);
  fillVertical(cr, 0, h, rgb8(44, 45, 50), rgb8(28, 29, 32));
  groove(cr, 0, 0, w, 0);
  cairo_rectangle(cr, 0, h - 1, w, 1);
  setColour(cr, kEdgeDark);
  cairo_fill(cr);
}

}  // namespace

bool drawBackground(cairo_t* cr, const qvskinfile& f) {
  std::string_view n = f.file;
  double w = f.width, h = f.height;
  if (n == "screenbg.png") return screen(cr, w, h), true;
  if (n == "boxbg.png") return blockStrip(cr, w, h), true;
  if (n == "blockbg.png") return blockBox(cr, w, h), true;
  if (n == "emptybg.png") return emptySlot(cr, w, h), true;
  if (n == "bracketl.png") return bracket(cr, w, h, true), true;
  if (n == "bracketr.png") return bracket(cr, w, h, false), true;
  if (n == "divider.png") return divider(cr, w, h), true;
  if (n == "panelnoise.png") return gatePanel(cr, w, h), true;
  if (n == "panelcab.png") return cabPanel(cr, w, h), true;
  if (n == "paneloptions.png") return optionsPanel(cr, w, h), true;
  if (n == "flatbg.png") return flatPanel(cr, w, h), true;
  if (n == "buttonfillline.png") return buttonRow(cr, w, h), true;
  return false;
}
