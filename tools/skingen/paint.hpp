// Drawing helpers shared by every image family of the skin generator: colours, a
// fixed small random generator for textures, rounded shapes, bevels, soft
// shadows, brushed metal, tolex grain and text. Everything is deterministic: the
// same calls give the same pixels on every run.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>

struct rgb {
  double r, g, b;
};
constexpr rgb rgb8(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }
rgb mix(rgb a, rgb b, double t);          // t 0 gives a, 1 gives b
rgb lighten(rgb c, double t);             // towards white by t
rgb darken(rgb c, double t);              // towards black by t
double luminance(rgb c);                  // relative luminance of an sRGB colour
void setColour(cairo_t* cr, rgb c, double alpha = 1.0);

// xorshift32: a fixed generator, so textures are the same on every build.
struct qvprng {
  uint32_t s;
  explicit qvprng(uint32_t seed) : s(seed ? seed : 0x9e3779b9u) {}
  uint32_t next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
  double uniform() { return (next() >> 8) * (1.0 / 16777216.0); }  // [0, 1)
  double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
};

// Paths.
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void circle(cairo_t* cr, double cx, double cy, double r);

// Fills the current path with a vertical gradient from `top` to `bottom` over y..y+h.
void fillVertical(cairo_t* cr, double y, double h, rgb top, rgb bottom, bool preserve = false);
// Fills the current path with a linear gradient from (x0, y0) to (x1, y1) through
// the given stops (offset 0..1, colour).
void fillGradient(cairo_t* cr, double x0, double y0, double x1, double y1,
                  std::initializer_list<std::pair<double, rgb>> stops, bool preserve = false);
// A rounded box filled top to bottom with a gradient and outlined in `edge`.
void framedBox(cairo_t* cr, double x, double y, double w, double h, double r, rgb top,
               rgb bottom, rgb edge);
// Strokes the current path dashed (on, off pixels) and clears the dash.
void dashedStroke(cairo_t* cr, rgb c, double alpha, double on, double off, double width);
// Fills the current path with a radial gradient lit from the upper left.
void fillDome(cairo_t* cr, double cx, double cy, double r, rgb lit, rgb shade, bool preserve = false);

// A raised (or, with depth < 0, sunk) edge inside the rounded rectangle: light on
// the upper left, dark on the lower right.
void bevel(cairo_t* cr, double x, double y, double w, double h, double r, double depth,
           double line = 1.0);

// A blurred shadow of the shape that `shape` paths (it must only make a path),
// moved by dx, dy. Blur is a box blur applied three times (close to a Gaussian).
void softShadow(cairo_t* cr, const std::function<void(cairo_t*)>& shape, double blur, double dx,
                double dy, double alpha);
// A blurred glow of the shape in a colour.
void glow(cairo_t* cr, const std::function<void(cairo_t*)>& shape, double blur, rgb c, double alpha);

// Horizontal brushed metal over the rectangle: long streaks of a few tones, so
// the rows compress well.
void brushedMetal(cairo_t* cr, double x, double y, double w, double h, rgb base, double depth,
                  uint32_t seed);
// Circular brushing around cx, cy (knob caps).
void brushedDisc(cairo_t* cr, double cx, double cy, double r, rgb base, double depth, uint32_t seed);
// Sparse grain of short dark and light flecks (tolex, paint), drawn without
// antialiasing in two tones so it stays cheap to compress.
void grain(cairo_t* cr, double x, double y, double w, double h, double density, double dark,
           double light, uint32_t seed, int fleck = 2);
// A woven cloth: a small repeated tile.
void weave(cairo_t* cr, double x, double y, double w, double h, rgb base, double contrast, int cell);
// Hammered paint: overlapping shallow dimples over a gradient of `base`.
void hammertone(cairo_t* cr, double x, double y, double w, double h, rgb base, uint32_t seed);
// A screw head with a slot at `angle` radians.
void screw(cairo_t* cr, double cx, double cy, double r, double angle, rgb metal);
// Darkens the corners of a w x h image a little.
void vignette(cairo_t* cr, double w, double h, double strength);

// Text in one of the DejaVu faces (DejaVu Sans, DejaVu Serif, DejaVu Sans Mono,
// upright; slants are drawn with a matrix). Antialiasing and hinting are set
// explicitly so the pixels do not depend on the desktop's settings.
enum class qvface { sans, sansBold, serif, serifBold, mono, monoBold };
void setFont(cairo_t* cr, qvface face, double size);
// Adds the text's outline to the path, centred on cx and with its baseline at y,
// sheared by `slant` (0.2 leans right) and stretched by `xscale`.
void textPath(cairo_t* cr, const char* text, double cx, double baseline, double slant = 0.0,
              double xscale = 1.0);
// Draws the text centred on cx, cy (the middle of its ink box).
void textCentred(cairo_t* cr, const char* text, double cx, double cy);
double textWidth(cairo_t* cr, const char* text);

// An owned cairo image surface with its context.
struct qvcanvas {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  qvcanvas(int w, int h, bool opaque);
  ~qvcanvas();
  qvcanvas(const qvcanvas&) = delete;
  qvcanvas& operator=(const qvcanvas&) = delete;
};
