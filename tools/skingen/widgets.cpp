// Buttons, toggles, icons, fields, menus, meters, tabs, scroll bars, the slider,
// the jack and plug, the hover highlights and the two small word marks. One
// visual language: graphite faces with a soft bevel, warm ink for symbols, amber
// for what is on, lit or hovered. Two-state images hold off above on.
#include <cmath>
#include <cstring>

#include "tools/skingen/families.hpp"

namespace {

using state_fn = void (*)(cairo_t*, double w, double h, bool on);

// Runs `paint` for the off state in the upper half and the on state in the lower.
void twoStates(cairo_t* cr, int w, int h, const std::function<void(double, double, bool)>& paint) {
  for (int on = 0; on < 2; ++on) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, on * h / 2, w, h / 2);
    cairo_clip(cr);
    cairo_translate(cr, 0, on * h / 2);
    paint(w, h / 2.0, on == 1);
    cairo_restore(cr);
  }
}

// A graphite button face: raised when up, sunk and darker when pressed.
void buttonFace(cairo_t* cr, double w, double h, bool pressed, double radius = 4) {
  double x = 0.5, y = 0.5, bw = w - 1, bh = h - 1;
  roundedRect(cr, x, y, bw, bh, radius);
  if (pressed)
    fillVertical(cr, y, bh, darken(kPanelBottom, 0.3), kPanelBottom, true);
  else
    fillVertical(cr, y, bh, lighten(kPanelTop, 0.1), kPanelBottom, true);
  setColour(cr, kEdgeDark, 0.9);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  bevel(cr, x + 0.5, y + 0.5, bw - 1, bh - 1, radius - 0.5, pressed ? -0.35 : 0.3);
}

// An LED dot, amber (or the given colour) when lit.
void ledDot(cairo_t* cr, double cx, double cy, double r, bool lit, rgb c = kAmber) {
  if (lit) glow(cr, [&](cairo_t* k) { circle(k, cx, cy, r); }, 5, c, 0.9);
  circle(cr, cx, cy, r);
  rgb body = lit ? lighten(c, 0.25) : darken(c, 0.72);
  fillDome(cr, cx, cy, r, lighten(body, 0.45), darken(body, 0.25));
  circle(cr, cx, cy, r + 0.5);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// ---- icons (16 x 16 per state) ---------------------------------------------------------

// Strokes and fills the current path in ink (off) or amber (on), over a dark
// shadow one pixel down.
void inkPath(cairo_t* cr, bool on, bool fill, double width = 1.6) {
  cairo_path_t* p = cairo_copy_path(cr);
  cairo_new_path(cr);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  if (on) {
    glow(cr, [&](cairo_t* k) {
      cairo_append_path(k, p);
      cairo_set_line_width(k, width + 1.5);
      cairo_stroke_preserve(k);
    }, 3, kAmber, 0.7);
  }
  cairo_save(cr);
  cairo_translate(cr, 0, 1);
  cairo_append_path(cr, p);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
  fill ? cairo_fill(cr) : cairo_stroke(cr);
  cairo_restore(cr);
  cairo_append_path(cr, p);
  setColour(cr, on ? kAmber : kInk, on ? 1.0 : 0.85);
  fill ? cairo_fill(cr) : cairo_stroke(cr);
  cairo_path_destroy(p);
}

void iconDelete(cairo_t* cr, bool on) {
  cairo_move_to(cr, 4.5, 4.5);
  cairo_line_to(cr, 11.5, 11.5);
  cairo_move_to(cr, 11.5, 4.5);
  cairo_line_to(cr, 4.5, 11.5);
  inkPath(cr, on, false, 2.0);
}

void iconPower(cairo_t* cr, bool on) {
  cairo_arc(cr, 8, 8.5, 5, -M_PI / 2 + 0.7, 1.5 * M_PI - 0.7);
  cairo_move_to(cr, 8, 2.5);
  cairo_line_to(cr, 8, 8);
  inkPath(cr, on, false);
}

void iconBypass(cairo_t* cr, bool on) {
  // The signal line hops over a block.
  cairo_move_to(cr, 1.5, 11);
  cairo_line_to(cr, 4, 11);
  cairo_curve_to(cr, 5, 3, 11, 3, 12, 11);
  cairo_line_to(cr, 14.5, 11);
  inkPath(cr, on, false);
  cairo_rectangle(cr, 6, 9, 4, 4);
  inkPath(cr, on, false, 1.0);
}

void iconReset(cairo_t* cr, bool on) {
  cairo_arc(cr, 8, 8.5, 5, -M_PI * 0.3, M_PI * 1.45);
  inkPath(cr, on, false);
  cairo_move_to(cr, 13.8, 2.6);
  cairo_line_to(cr, 13.6, 7.2);
  cairo_line_to(cr, 9.4, 5.6);
  cairo_close_path(cr);
  inkPath(cr, on, true);
}

void iconTool(cairo_t* cr, bool on) {
  // A spanner: a handle and an open jaw.
  cairo_move_to(cr, 3.5, 12.5);
  cairo_line_to(cr, 8.8, 7.2);
  inkPath(cr, on, false, 2.4);
  cairo_arc(cr, 10.8, 5.2, 3.2, M_PI * 0.95, M_PI * 2.55);
  inkPath(cr, on, false, 1.6);
}

void iconStar(cairo_t* cr, bool on) {
  for (int k = 0; k < 10; ++k) {
    double a = -M_PI / 2 + k * M_PI / 5, r = k % 2 ? 2.8 : 6.5;
    cairo_line_to(cr, 8 + std::cos(a) * r, 8.6 + std::sin(a) * r);
  }
  cairo_close_path(cr);
  inkPath(cr, on, true);
}

void iconTrash(cairo_t* cr, bool on) {
  cairo_move_to(cr, 3, 4.5);
  cairo_line_to(cr, 13, 4.5);
  cairo_move_to(cr, 6.5, 4.5);
  cairo_line_to(cr, 6.5, 2.8);
  cairo_line_to(cr, 9.5, 2.8);
  cairo_line_to(cr, 9.5, 4.5);
  cairo_move_to(cr, 4.5, 6);
  cairo_line_to(cr, 5.3, 13.5);
  cairo_line_to(cr, 10.7, 13.5);
  cairo_line_to(cr, 11.5, 6);
  cairo_move_to(cr, 8, 7);
  cairo_line_to(cr, 8, 12);
  inkPath(cr, on, false, 1.4);
}

void iconArrow(cairo_t* cr, bool on, bool left) {
  double s = left ? -1 : 1;
  cairo_move_to(cr, 8 + s * 4.5, 8);
  cairo_line_to(cr, 8 - s * 3, 3);
  cairo_line_to(cr, 8 - s * 3, 13);
  cairo_close_path(cr);
  inkPath(cr, on, true);
}

void iconCirclePlus(cairo_t* cr, bool on) {
  circle(cr, 8, 8, 6);
  cairo_move_to(cr, 8, 5);
  cairo_line_to(cr, 8, 11);
  cairo_move_to(cr, 5, 8);
  cairo_line_to(cr, 11, 8);
  inkPath(cr, on, false, 1.5);
}

void iconCircle(cairo_t* cr, bool on) {
  circle(cr, 8, 8, 5.5);
  inkPath(cr, on, false, 1.8);
}

void iconNoDrop(cairo_t* cr, bool on) {
  circle(cr, 8, 8, 5.8);
  cairo_move_to(cr, 4, 12);
  cairo_line_to(cr, 12, 4);
  inkPath(cr, on, false, 1.8);
}

bool drawIcon(cairo_t* cr, const qvskinfile& f) {
  struct icon {
    const char* file;
    void (*paint)(cairo_t*, bool);
  };
  static const icon icons[] = {
      {"boxdelete.png", iconDelete},
      {"boxtoggle.png", iconPower},
      {"boxbypass.png", iconBypass},
      {"boxreset.png", iconReset},
      {"boxtool.png", iconTool},
      {"boxstar.png", iconStar},
      {"boxtrash.png", iconTrash},
      {"boxleftarrow.png", [](cairo_t* c, bool on) { iconArrow(c, on, true); }},
      {"boxrightarrow.png", [](cairo_t* c, bool on) { iconArrow(c, on, false); }},
      {"circleplus.png", iconCirclePlus},
      {"circleo.png", iconCircle},
      {"dragnone.png", iconNoDrop},
  };
  for (const icon& i : icons)
    if (std::strcmp(i.file, f.file) == 0) {
      twoStates(cr, f.width, f.height, [&](double, double, bool on) { i.paint(cr, on); });
      return true;
    }
  return false;
}

// ---- buttons and toggles ----------------------------------------------------------------

void pushButton(cairo_t* cr, const qvskinfile& f, int glyph) {
  twoStates(cr, f.width, f.height, [&](double w, double h, bool on) {
    buttonFace(cr, w, h, on);
    if (on) {
      // A lit line along the bottom edge of a pressed button.
      cairo_rectangle(cr, 4, h - 2.5, w - 8, 1);
      setColour(cr, kAmber, 0.8);
      cairo_fill(cr);
    }
    if (glyph == 1) {  // a plus for "add pedal"
      cairo_move_to(cr, 10, h / 2 - 4);
      cairo_line_to(cr, 10, h / 2 + 4);
      cairo_move_to(cr, 6, h / 2);
      cairo_line_to(cr, 14, h / 2);
      inkPath(cr, on, false, 1.8);
    } else if (glyph == 2) {  // a folder for categories
      cairo_move_to(cr, 5, h / 2 - 4);
      cairo_line_to(cr, 9, h / 2 - 4);
      cairo_line_to(cr, 10.5, h / 2 - 2.5);
      cairo_line_to(cr, 16, h / 2 - 2.5);
      cairo_line_to(cr, 16, h / 2 + 4.5);
      cairo_line_to(cr, 5, h / 2 + 4.5);
      cairo_close_path(cr);
      inkPath(cr, on, false, 1.3);
    }
  });
}

// A toggle with an LED at its left end; `invert` lights the LED in the off state.
void ledToggle(cairo_t* cr, const qvskinfile& f, rgb offColour, rgb onColour, bool invert) {
  twoStates(cr, f.width, f.height, [&](double w, double h, bool on) {
    buttonFace(cr, w, h, on);
    bool lit = invert ? !on : on;
    ledDot(cr, 9, h / 2, 3, lit || (offColour.r != onColour.r && !on), on ? onColour : offColour);
  });
}

// ---- fields, menus, highlights ------------------------------------------------------------

void recessedField(cairo_t* cr, double w, double h, double radius) {
  framedBox(cr, 0, 0, w, h, radius, rgb8(14, 14, 16), rgb8(26, 27, 30), kEdgeDark);
  // Inner shadow along the top, a light lip along the bottom.
  cairo_rectangle(cr, 2, 1.5, w - 4, 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_fill(cr);
  cairo_rectangle(cr, 2, h - 1, w - 4, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
  cairo_fill(cr);
}

void menuField(cairo_t* cr, double w, double h) {
  framedBox(cr, 0, 0, w, h, 3, rgb8(44, 45, 50), rgb8(30, 31, 34), kEdgeDark);
  bevel(cr, 1, 1, w - 2, h - 2, 2.5, 0.18);
  // The right end, where the menu arrow sits, set off by a groove.
  cairo_rectangle(cr, w - 13, 3, 1, h - 6);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_fill(cr);
  cairo_rectangle(cr, w - 12, 3, 1, h - 6);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.08);
  cairo_fill(cr);
}

// A hover highlight: an amber rim and a faint wash, transparent elsewhere.
void hilite(cairo_t* cr, double w, double h, double radius) {
  glow(cr, [&](cairo_t* k) { roundedRect(k, 1.5, 1.5, w - 3, h - 3, radius); }, 3, kAmber, 0.18);
  roundedRect(cr, 1, 1, w - 2, h - 2, radius);
  setColour(cr, kAmber, 0.10);
  cairo_fill_preserve(cr);
  setColour(cr, kAmber, 0.85);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

void dashedOverlay(cairo_t* cr, double w, double h) {
  roundedRect(cr, 1, 1, w - 2, h - 2, 4);
  setColour(cr, kAmber, 0.22);
  cairo_fill_preserve(cr);
  dashedStroke(cr, kAmber, 0.95, 4, 3, 1.5);
}

// ---- meters, slider, scroll bar, tabs ------------------------------------------------------

void meter(cairo_t* cr, double w, double h, bool full) {
  cairo_rectangle(cr, 0, 0, w, h);
  setColour(cr, rgb8(10, 10, 12));
  cairo_fill(cr);
  int n = 18;
  double seg = (h - 2) / n;
  for (int k = 0; k < n; ++k) {
    double y = h - 1 - (k + 1) * seg;
    rgb c = k >= n - 3 ? rgb8(255, 60, 40) : k >= n - 7 ? kAmber : rgb8(110, 230, 90);
    cairo_rectangle(cr, 2, y + 1, w - 4, seg - 1.5);
    if (full) {
      fillVertical(cr, y, seg, lighten(c, 0.3), c);
    } else {
      setColour(cr, darken(c, 0.82));
      cairo_fill(cr);
    }
  }
  cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
  setColour(cr, kEdgeDark);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void sliderTrack(cairo_t* cr, double w, double h) {
  // Scale ticks either side of a dark slot.
  for (int k = 0; k <= 10; ++k) {
    double y = 8.5 + (h - 17) * k / 10;
    cairo_rectangle(cr, 0, std::floor(y), k % 5 ? 3 : 4, 1);
    cairo_rectangle(cr, w - (k % 5 ? 3 : 4), std::floor(y), k % 5 ? 3 : 4, 1);
  }
  setColour(cr, kInk, 0.5);
  cairo_fill(cr);
  roundedRect(cr, w / 2 - 2.5, 2, 5, h - 4, 2.5);
  fillVertical(cr, 0, h, rgb8(6, 6, 8), rgb8(24, 24, 28), true);
  setColour(cr, kEdgeDark);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void sliderHandle(cairo_t* cr, double w, double h) {
  softShadow(cr, [&](cairo_t* k) { roundedRect(k, 1, 1, w - 2, h - 3, 2.5); }, 2, 0, 1, 0.6);
  roundedRect(cr, 1, 1, w - 2, h - 3, 2.5);
  fillVertical(cr, 1, h - 3, rgb8(210, 210, 214), rgb8(110, 110, 116), true);
  setColour(cr, kEdgeDark);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_rectangle(cr, 2, std::floor(h / 2) - 1, w - 4, 1.5);
  setColour(cr, kAmber);
  cairo_fill(cr);
}

void scrollThumb(cairo_t* cr, double w, double h) {
  roundedRect(cr, 2, 1, w - 4, h - 2, (w - 4) / 2);
  fillGradient(cr, 2, 0, w - 2, 0,
               {{0, rgb8(158, 158, 163)}, {0.4, rgb8(128, 128, 135)}, {1, rgb8(87, 87, 94)}}, true);
  setColour(cr, kEdgeDark, 0.8);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void scrollTrack(cairo_t* cr, double w, double h) {
  // The same in every row, so the track can be stretched or tiled vertically.
  cairo_rectangle(cr, 0, 0, w, h);
  fillGradient(cr, 0, 0, w, 0,
               {{0, rgb8(13, 13, 15)}, {0.5, rgb8(26, 26, 28)}, {1, rgb8(36, 36, 38)}});
}

void tab(cairo_t* cr, const qvskinfile& f, const char* label) {
  twoStates(cr, f.width, f.height, [&](double w, double h, bool on) {
    // Square on the window's edge, rounded towards the page.
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 1);
    cairo_arc(cr, w - 6, 7, 6, -M_PI / 2, 0);
    cairo_arc(cr, w - 6, h - 7, 6, 0, M_PI / 2);
    cairo_line_to(cr, 0, h - 1);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, 0);
    rgb a = on ? lighten(kPanelTop, 0.08) : rgb8(30, 31, 34), b = on ? kPanelTop : rgb8(22, 23, 25);
    cairo_pattern_add_color_stop_rgb(p, 0, a.r, a.g, a.b);
    cairo_pattern_add_color_stop_rgb(p, 1, b.r, b.g, b.b);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    setColour(cr, kEdgeDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (on) {
      cairo_rectangle(cr, 1, 8, 2.5, h - 16);
      setColour(cr, kAmber);
      cairo_fill(cr);
    }
    // The page name, reading upwards.
    cairo_save(cr);
    cairo_translate(cr, w / 2 + 1, h / 2);
    cairo_rotate(cr, -M_PI / 2);
    setFont(cr, qvface::sansBold, 10);
    double tw = textWidth(cr, label) + 2.0 * (std::strlen(label) - 1);
    double x = -tw / 2;
    for (const char* c = label; *c; ++c) {
      char one[2] = {*c, 0};
      cairo_move_to(cr, x, 3.5);
      setColour(cr, on ? kAmber : kInk, on ? 1.0 : 0.6);
      cairo_show_text(cr, one);
      x += textWidth(cr, one) + 2.0;
    }
    cairo_restore(cr);
  });
}

// ---- jack, plug, word marks -----------------------------------------------------------------

void inputJack(cairo_t* cr, double w, double h) {
  framedBox(cr, 0, 0, w, h, 3, rgb8(60, 60, 66), rgb8(28, 28, 32), kEdgeDark);
  double cx = w / 2, cy = h / 2;
  circle(cr, cx, cy, 7.5);
  fillDome(cr, cx, cy, 7.5, rgb8(240, 240, 244), rgb8(90, 90, 96));
  circle(cr, cx, cy, 4);
  fillVertical(cr, cy - 4, 8, rgb8(0, 0, 0), rgb8(40, 40, 44));
  screw(cr, cx, 4.5, 2, 0.3, kSteel);
  screw(cr, cx, h - 4.5, 2, 1.1, kSteel);
}

void jackPlug(cairo_t* cr, double h) {
  double cy = h / 2;
  // The cable, curving in from the lower left.
  auto cable = [&](cairo_t* c) {
    cairo_move_to(c, 0, h - 6);
    cairo_curve_to(c, 10, h - 6, 8, cy, 18, cy);
    cairo_set_line_width(c, 7);
    cairo_stroke_preserve(c);
  };
  softShadow(cr, cable, 3, 1, 2, 0.5);
  cable(cr);
  cairo_set_line_width(cr, 7);
  setColour(cr, rgb8(20, 20, 22));
  cairo_stroke(cr);
  auto body = [&](cairo_t* c) {
    roundedRect(c, 16, cy - 10, 26, 20, 4);
    cairo_rectangle(c, 40, cy - 8, 14, 16);
    cairo_rectangle(c, 52, cy - 3.5, 18, 7);
  };
  softShadow(cr, body, 4, 1.5, 3, 0.6);
  // Strain relief and handle.
  roundedRect(cr, 16, cy - 10, 26, 20, 4);
  fillVertical(cr, cy - 10, 20, rgb8(70, 70, 74), rgb8(12, 12, 14));
  for (double x = 20; x < 40; x += 4) {
    cairo_rectangle(cr, x, cy - 10, 1.2, 20);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_fill(cr);
  }
  // Chrome barrel, sleeve, insulator ring and tip.
  auto chrome = [&](double x, double y, double bw, double bh) {
    cairo_rectangle(cr, x, y, bw, bh);
    fillGradient(cr, 0, y, 0, y + bh,
                 {{0, rgb8(140, 143, 153)}, {0.3, rgb8(250, 250, 255)}, {0.65, rgb8(115, 117, 128)},
                  {1, rgb8(179, 179, 189)}});
  };
  chrome(40, cy - 8, 14, 16);
  chrome(54, cy - 3.5, 12, 7);
  cairo_rectangle(cr, 66, cy - 3.5, 2.5, 7);
  setColour(cr, rgb8(10, 10, 10));
  cairo_fill(cr);
  cairo_move_to(cr, 68.5, cy - 3.5);
  cairo_line_to(cr, 72, cy - 3.5);
  cairo_curve_to(cr, 75, cy - 3, 75, cy + 3, 72, cy + 3.5);
  cairo_line_to(cr, 68.5, cy + 3.5);
  cairo_close_path(cr);
  fillVertical(cr, cy - 3.5, 7, rgb8(250, 250, 252), rgb8(120, 120, 126));
}

void wordMark(cairo_t* cr, double w, double h, const char* text, double spacing, bool emblem) {
  double x = emblem ? h + 2 : 2;
  if (emblem) {
    // A small round badge with a stylised fin.
    circle(cr, h / 2, h / 2, h / 2 - 1);
    fillDome(cr, h / 2, h / 2, h / 2 - 1, lighten(kAmber, 0.3), darken(kAmber, 0.4));
    cairo_move_to(cr, h * 0.25, h * 0.68);
    cairo_curve_to(cr, h * 0.4, h * 0.2, h * 0.62, h * 0.2, h * 0.78, h * 0.3);
    cairo_curve_to(cr, h * 0.6, h * 0.4, h * 0.5, h * 0.55, h * 0.25, h * 0.68);
    setColour(cr, rgb8(30, 20, 10));
    cairo_fill(cr);
  }
  setFont(cr, qvface::sansBold, h * 0.72);
  double total = 0;
  for (const char* c = text; *c; ++c) {
    char one[2] = {*c, 0};
    total += textWidth(cr, one) + spacing;
  }
  double scale = std::min(1.0, (w - x - 2) / (total - spacing));
  cairo_save(cr);
  cairo_translate(cr, x, h * 0.78);
  cairo_scale(cr, scale, 1);
  double cx = 0;
  for (const char* c = text; *c; ++c) {
    char one[2] = {*c, 0};
    cairo_move_to(cr, cx, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_show_text(cr, one);
    cairo_move_to(cr, cx, 0);
    setColour(cr, c == text && !emblem ? kAmber : kInk);
    cairo_show_text(cr, one);
    cx += textWidth(cr, one) + spacing;
  }
  cairo_restore(cr);
}

}  // namespace

bool drawWidget(cairo_t* cr, const qvskinfile& f) {
  std::string_view n = f.file;
  double w = f.width, h = f.height;
  if (drawIcon(cr, f)) return true;
  if (n == "uclickall.png" || n == "uclick2.png") return pushButton(cr, f, 0), true;
  if (n == "uclickpre.png") return pushButton(cr, f, 1), true;
  if (n == "uclickcategory.png") return pushButton(cr, f, 2), true;
  if (n == "utoggleall.png") return ledToggle(cr, f, kAmber, kAmber, false), true;
  if (n == "utoggleinvert.png") return ledToggle(cr, f, kAmber, kAmber, true), true;
  if (n == "utoggleact.png")
    return ledToggle(cr, f, rgb8(200, 40, 30), rgb8(90, 230, 80), false), true;
  if (n == "uclickclose.png") {
    buttonFace(cr, w, h, false);
    cairo_translate(cr, w - 18, h / 2 - 8);
    iconDelete(cr, false);
    return true;
  }
  if (n == "buttonhilite.png" || n == "buttonhilite2.png" || n == "utoggleallhilite.png" ||
      n == "fieldhilite.png")
    return hilite(cr, w, h, 4), true;
  if (n == "boxhilite.png") return hilite(cr, w, h, 3), true;
  if (n == "longfield.png") return recessedField(cr, w, h, 3), true;
  if (n == "bordmenu.png" || n == "bordmenumini.png") return menuField(cr, w, h), true;
  if (n == "menuicon1.png") {
    cairo_move_to(cr, 1, h / 2 - 2);
    cairo_line_to(cr, w - 1, h / 2 - 2);
    cairo_line_to(cr, w / 2, h / 2 + 2.5);
    cairo_close_path(cr);
    inkPath(cr, false, true);
    return true;
  }
  if (n == "dragicon.png") {
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 2; ++c) circle(cr, 5.5 + c * 5, 3.5 + r * 4.5, 1.3);
    inkPath(cr, false, true);
    return true;
  }
  if (n == "dragoverlay.png" || n == "dragoverlayped.png") return dashedOverlay(cr, w, h), true;
  if (n == "ampmeterblank.png") return meter(cr, w, h, false), true;
  if (n == "ampmeterfull.png") return meter(cr, w, h, true), true;
  if (n == "uslider1.png") return sliderTrack(cr, w, h), true;
  if (n == "usliderh1.png") return sliderHandle(cr, w, h), true;
  if (n == "scrollbarver.png") return scrollThumb(cr, w, h), true;
  if (n == "scrollbarbgver.png") return scrollTrack(cr, w, h), true;
  if (n == "tabamp.png") return tab(cr, f, "AMP"), true;
  if (n == "tabfloor.png") return tab(cr, f, "PEDALS"), true;
  if (n == "tabopt.png") return tab(cr, f, "OPTIONS"), true;
  if (n == "ampin.png") return inputJack(cr, w, h), true;
  if (n == "ampplug.png") return jackPlug(cr, h), true;
  if (n == "corvinasmall.png") return wordMark(cr, w, h, "CORVINA", 2.0, false), true;
  if (n == "lumbrelsmall.png") return wordMark(cr, w, h, "LUMBREL", 1.5, true), true;
  return false;
}
