// The 26 amplifier logos: word marks on a transparent overlay of the face size,
// centred in the logo box that every face keeps for them. Each reads the name of
// the factory amplifier its three letters stand for, in its own lettering: a
// DejaVu face bent by slant and width, filled with its own gradient, outlined
// and shadowed so that it reads on any face, some on a badge, with a swash, a
// glow or a crest.
#include <cctype>
#include <cmath>
#include <string>

#include "tools/skingen/families.hpp"

namespace {

enum class badge { none, oval, plate, shield, bar };
enum class extra { none, swash, glow, crest, wave, underline };

struct logostyle {
  const char* text;  // the amplifier's name as lettered
  qvface face;
  bool upper;        // set in capitals
  double slant;      // shear, positive leans right
  double xscale;     // width of the letters
  double spacing;    // extra space between letters, in em
  rgb top, bottom;   // fill gradient
  rgb outline;
  badge back;
  rgb backColour;
  extra deco;
};

// In the logo list's order: logoada, logoblw, ... logoeme.
const logostyle kLogos[kLogoCount] = {
    {"Adam", qvface::serifBold, false, 0.28, 1.0, 0.0, rgb8(255, 246, 220), rgb8(220, 196, 140),
     rgb8(60, 40, 20), badge::none, {}, extra::swash},
    {"Black Wolf", qvface::sansBold, true, 0.0, 0.78, 0.02, rgb8(250, 250, 252), rgb8(120, 124, 132),
     rgb8(10, 10, 12), badge::none, {}, extra::none},
    {"Boiler", qvface::monoBold, true, 0.0, 1.0, 0.1, rgb8(255, 236, 200), rgb8(255, 210, 150),
     rgb8(60, 10, 0), badge::plate, rgb8(150, 30, 20), extra::none},
    {"Fallback", qvface::sansBold, false, 0.22, 1.0, 0.0, rgb8(255, 200, 60), rgb8(230, 90, 20),
     rgb8(20, 10, 0), badge::none, {}, extra::underline},
    {"Loneman", qvface::serif, false, 0.3, 1.0, 0.0, rgb8(250, 236, 200), rgb8(226, 200, 150),
     rgb8(40, 24, 10), badge::oval, rgb8(90, 54, 30), extra::none},
    {"pinhead", qvface::monoBold, false, 0.0, 1.0, 0.0, rgb8(255, 150, 220), rgb8(255, 80, 170),
     rgb8(60, 0, 40), badge::none, {}, extra::glow},
    {"Rhino", qvface::sansBold, true, 0.0, 1.35, 0.04, rgb8(200, 204, 210), rgb8(90, 94, 100),
     rgb8(150, 20, 20), badge::none, {}, extra::none},
    {"The Standard", qvface::serif, false, 0.0, 1.0, 0.0, rgb8(255, 255, 255), rgb8(230, 230, 236),
     rgb8(20, 20, 30), badge::none, {}, extra::underline},
    {"Payback", qvface::sansBold, false, 0.25, 0.92, 0.0, rgb8(255, 240, 80), rgb8(250, 200, 20),
     rgb8(10, 10, 10), badge::bar, rgb8(20, 20, 20), extra::none},
    {"Seventy Eight", qvface::serifBold, false, 0.2, 0.95, 0.0, rgb8(255, 226, 150),
     rgb8(190, 140, 50), rgb8(50, 30, 10), badge::none, {}, extra::swash},
    {"Azimuth", qvface::sans, true, 0.0, 1.1, 0.3, rgb8(170, 240, 255), rgb8(40, 170, 230),
     rgb8(0, 30, 50), badge::none, {}, extra::glow},
    {"Shinroth", qvface::sansBold, true, 0.12, 0.72, 0.0, rgb8(255, 90, 70), rgb8(140, 0, 0),
     rgb8(230, 230, 236), badge::none, {}, extra::none},
    {"SolidCore", qvface::monoBold, false, 0.0, 1.0, 0.0, rgb8(150, 255, 150), rgb8(40, 220, 90),
     rgb8(0, 40, 10), badge::plate, rgb8(10, 20, 14), extra::none},
    {"ValveJazz", qvface::serif, false, 0.3, 1.0, 0.0, rgb8(250, 244, 226), rgb8(210, 220, 240),
     rgb8(20, 40, 100), badge::none, {}, extra::swash},
    {"Tex Face", qvface::sansBold, false, 0.2, 1.0, 0.0, rgb8(255, 255, 255), rgb8(220, 220, 220),
     rgb8(0, 0, 0), badge::oval, rgb8(20, 20, 24), extra::none},
    {"Tex Tune", qvface::serifBold, false, 0.15, 1.0, 0.0, rgb8(250, 232, 196), rgb8(220, 190, 140),
     rgb8(60, 30, 10), badge::plate, rgb8(110, 62, 36), extra::none},
    {"Science Fair", qvface::mono, false, 0.0, 1.0, 0.02, rgb8(220, 255, 120), rgb8(140, 240, 40),
     rgb8(10, 40, 0), badge::none, {}, extra::glow},
    {"Tube Kit", qvface::sansBold, false, 0.0, 1.0, 0.02, rgb8(255, 220, 140), rgb8(255, 120, 30),
     rgb8(60, 20, 0), badge::none, {}, extra::glow},
    {"Cerberus", qvface::serifBold, true, 0.0, 1.0, 0.08, rgb8(250, 214, 120), rgb8(190, 130, 40),
     rgb8(40, 0, 0), badge::shield, rgb8(120, 10, 16), extra::none},
    {"ocean", qvface::sans, false, 0.0, 1.15, 0.02, rgb8(160, 230, 255), rgb8(40, 120, 220),
     rgb8(0, 20, 50), badge::none, {}, extra::wave},
    {"Heartless", qvface::serifBold, false, 0.22, 1.0, 0.0, rgb8(255, 120, 130), rgb8(190, 10, 40),
     rgb8(30, 0, 6), badge::none, {}, extra::swash},
    {"TeraSaur", qvface::sansBold, true, -0.08, 1.2, 0.0, rgb8(170, 230, 90), rgb8(50, 130, 30),
     rgb8(10, 30, 0), badge::none, {}, extra::underline},
    {"Gold Crest", qvface::serifBold, false, 0.0, 1.0, 0.02, rgb8(255, 236, 150), rgb8(200, 150, 40),
     rgb8(50, 30, 0), badge::none, {}, extra::crest},
    {"Dreamroads", qvface::serif, false, 0.26, 1.0, 0.0, rgb8(240, 210, 255), rgb8(180, 130, 240),
     rgb8(40, 10, 70), badge::none, {}, extra::glow},
    {"Rosa", qvface::serifBold, false, 0.32, 1.1, 0.0, rgb8(255, 200, 210), rgb8(230, 90, 120),
     rgb8(60, 0, 20), badge::none, {}, extra::swash},
    {"Emerald", qvface::serif, true, 0.0, 1.0, 0.22, rgb8(160, 255, 190), rgb8(20, 150, 80),
     rgb8(200, 160, 70), badge::none, {}, extra::none},
};

// Adds the text's outline, centred on cx with its baseline at y; letters are
// placed one by one when `spacing` asks for extra room between them.
void letters(cairo_t* cr, const std::string& text, double cx, double y, const logostyle& s,
             double size) {
  if (s.spacing == 0.0) {
    textPath(cr, text.c_str(), cx, y, s.slant, s.xscale);
    return;
  }
  double gap = s.spacing * size, total = 0;
  for (char ch : text) total += textWidth(cr, std::string(1, ch).c_str()) * s.xscale + gap;
  total -= gap;
  double x = cx - total / 2;
  for (char ch : text) {
    std::string one(1, ch);
    double w = textWidth(cr, one.c_str()) * s.xscale;
    textPath(cr, one.c_str(), x + w / 2, y, s.slant, s.xscale);
    x += w + gap;
  }
}

void badgePath(cairo_t* cr, badge b, double cx, double cy, double w, double h) {
  switch (b) {
    case badge::oval:
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, w / 2, h / 2);
      circle(cr, 0, 0, 1);
      cairo_restore(cr);
      break;
    case badge::plate:
      roundedRect(cr, cx - w / 2, cy - h / 2, w, h, 8);
      break;
    case badge::bar:
      cairo_move_to(cr, cx - w / 2 + 14, cy - h / 2);
      cairo_line_to(cr, cx + w / 2 + 14, cy - h / 2);
      cairo_line_to(cr, cx + w / 2 - 14, cy + h / 2);
      cairo_line_to(cr, cx - w / 2 - 14, cy + h / 2);
      cairo_close_path(cr);
      break;
    case badge::shield:
      cairo_move_to(cr, cx - w / 2, cy - h / 2);
      cairo_line_to(cr, cx + w / 2, cy - h / 2);
      cairo_line_to(cr, cx + w / 2 - 10, cy + h / 2 - 14);
      cairo_line_to(cr, cx, cy + h / 2 + 4);
      cairo_line_to(cr, cx - w / 2 + 10, cy + h / 2 - 14);
      cairo_close_path(cr);
      break;
    case badge::none:
      break;
  }
}

void drawBadge(cairo_t* cr, const logostyle& s, double cx, double cy, double w, double h) {
  auto path = [&](cairo_t* c) { badgePath(c, s.back, cx, cy, w, h); };
  softShadow(cr, path, 6, 2, 3, 0.6);
  path(cr);
  fillVertical(cr, cy - h / 2, h, lighten(s.backColour, 0.15), darken(s.backColour, 0.25), true);
  setColour(cr, s.top, 0.9);
  cairo_set_line_width(cr, 2.5);
  cairo_stroke(cr);
  cairo_save(cr);
  path(cr);
  cairo_clip(cr);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
  badgePath(cr, s.back, cx, cy + 1, w - 8, h - 8);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void decoration(cairo_t* cr, const logostyle& s, double cx, double baseline, double w,
                double size) {
  switch (s.deco) {
    case extra::swash: {
      // A tapering stroke under the name, rising at its end.
      double x0 = cx - w / 2, x1 = cx + w / 2, y = baseline + size * 0.16;
      cairo_move_to(cr, x0 + w * 0.05, y + 2);
      cairo_curve_to(cr, x0 + w * 0.35, y + 10, x1 - w * 0.2, y + 4, x1 + 6, y - size * 0.22);
      cairo_curve_to(cr, x1 - w * 0.22, y + 1, x0 + w * 0.35, y + 5, x0 + w * 0.05, y + 2);
      cairo_close_path(cr);
      break;
    }
    case extra::underline:
      roundedRect(cr, cx - w / 2, baseline + size * 0.12, w, size * 0.09, size * 0.04);
      break;
    case extra::wave: {
      double y = baseline + size * 0.2;
      cairo_move_to(cr, cx - w / 2, y);
      for (double x = cx - w / 2; x < cx + w / 2; x += 4)
        cairo_line_to(cr, x + 4, y + 4 * std::sin((x - cx) / 10));
      cairo_line_to(cr, cx + w / 2, y + 4);
      for (double x = cx + w / 2; x > cx - w / 2; x -= 4)
        cairo_line_to(cr, x - 4, y + 4 + 4 * std::sin((x - cx) / 10));
      cairo_close_path(cr);
      break;
    }
    case extra::crest: {
      // A three-pointed crest over the name, as wide as a third of it.
      double y = baseline - size * 0.8 - 5, u = std::min(w / 6, size * 0.45);
      cairo_move_to(cr, cx - u * 1.5, y);
      cairo_line_to(cr, cx - u * 1.2, y - u * 0.8);
      cairo_line_to(cr, cx - u * 0.55, y - u * 0.3);
      cairo_line_to(cr, cx, y - u * 1.1);
      cairo_line_to(cr, cx + u * 0.55, y - u * 0.3);
      cairo_line_to(cr, cx + u * 1.2, y - u * 0.8);
      cairo_line_to(cr, cx + u * 1.5, y);
      cairo_close_path(cr);
      break;
    }
    case extra::none:
    case extra::glow:
      break;
  }
}

void logo(cairo_t* cr, const logostyle& s) {
  std::string text = s.text;
  if (s.upper)
    for (char& ch : text) ch = char(std::toupper((unsigned char)ch));
  const qvfacerect& box = kAmpLogoBox;
  double cx = box.x + box.w / 2.0;
  bool badged = s.back != badge::none;
  bool below = s.deco == extra::swash || s.deco == extra::underline || s.deco == extra::wave;
  bool above = s.deco == extra::crest;
  // The largest size at which the name fits the box (with room for a badge or
  // a decoration).
  double maxW = box.w - (badged ? 64 : 16), maxH = box.h * (badged ? 0.5 : above ? 0.5 : below ? 0.62 : 0.74);
  setFont(cr, s.face, 100);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  double width100 = e.width * s.xscale + std::fabs(s.slant) * e.height + s.spacing * 100 * (text.size() - 1);
  double size = std::min(100 * maxW / width100, 100 * maxH / e.height);
  setFont(cr, s.face, size);
  cairo_text_extents(cr, text.c_str(), &e);
  double inkW = e.width * s.xscale + s.spacing * size * (text.size() - 1);
  double cy = box.y + box.h / 2.0 + (above ? 12 : 0) - (below ? 6 : 0);
  double baseline = cy - (e.y_bearing + e.height / 2);
  if (badged) drawBadge(cr, s, cx, cy, inkW + 56, e.height + 30);

  auto word = [&](cairo_t* c) {
    setFont(c, s.face, size);
    letters(c, text, cx, baseline, s, size);
    decoration(c, s, cx, baseline, inkW, size);
  };
  if (s.deco == extra::glow) glow(cr, word, 12, s.bottom, 0.9);
  if (!badged) softShadow(cr, word, 4, 2, 3, 0.75);
  // Outline first (wide), then the fill over it.
  word(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, std::max(2.5, size * 0.07));
  setColour(cr, s.outline);
  cairo_stroke(cr);
  word(cr);
  double top = baseline + e.y_bearing;
  fillVertical(cr, top, e.height, s.top, s.bottom, true);
  // A thin bright line along the upper edges of the letters.
  cairo_save(cr);
  cairo_clip(cr);
  word(cr);
  cairo_set_line_width(cr, 1.2);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace

void drawLogo(cairo_t* cr, int n) {
  if (n >= 0 && n < kLogoCount) logo(cr, kLogos[n]);
}
