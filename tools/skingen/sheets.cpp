// The contact sheets. skins.png lays every entry of the image list in a grid with
// its index, name and size (big images scaled down, knob strips as five of their
// frames). skins-amps.png shows each amplifier face as the editor would: a logo
// over it, the input and output knobs on the plate and a row of knobs in the
// band, captioned in the knob profile's text colour.
#include "tools/skingen/sheets.hpp"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tools/skingen/families.hpp"

namespace {

struct image {
  cairo_surface_t* s = nullptr;
  explicit image(const std::string& path) {
    s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(s);
      s = nullptr;
    }
  }
  ~image() {
    if (s) cairo_surface_destroy(s);
  }
  image(const image&) = delete;
  image& operator=(const image&) = delete;
};

std::string pathOf(const char* dir, const char* file) { return std::string(dir) + "/" + file; }

// Paints part of `src` (sx, sy, sw, sh) scaled into the box x, y, w, h.
void blit(cairo_t* cr, cairo_surface_t* src, double sx, double sy, double sw, double sh, double x,
          double y, double w, double h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, w / sw, h / sh);
  cairo_set_source_surface(cr, src, -sx, -sy);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_restore(cr);
}

bool save(cairo_surface_t* s, const std::string& path) {
  return cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool overviewSheet(const char* dir, const std::string& out) {
  constexpr int cols = 8, cellW = 172, cellH = 150, thumbH = 112, pad = 8;
  int rows = (kSkinImageCount + cols - 1) / cols;
  qvcanvas sheet(cols * cellW + pad, rows * cellH + pad + 40, true);
  cairo_t* cr = sheet.cr;
  setColour(cr, rgb8(58, 60, 64));
  cairo_paint(cr);
  setFont(cr, qvface::sansBold, 18);
  setColour(cr, kInk);
  cairo_move_to(cr, pad + 4, 28);
  cairo_show_text(cr, "Corvina skin images: index, file, stored size");
  for (const qvskinfile& f : kSkinFiles) {
    image img(pathOf(dir, f.file));
    if (!img.s) return false;
    double x = pad + (f.index % cols) * cellW, y = 40 + pad + (f.index / cols) * cellH;
    double bw = cellW - pad, bh = thumbH;
    cairo_rectangle(cr, x, y, bw, bh);
    setColour(cr, rgb8(88, 90, 96));
    cairo_fill(cr);
    if (f.frames > 1) {
      // Five frames across the sweep.
      double side = std::min(bw / 5, bh);
      for (int k = 0; k < 5; ++k) {
        int frame = k * (f.frames - 1) / 4;
        blit(cr, img.s, 0, frame * f.width, f.width, f.width, x + k * bw / 5 + (bw / 5 - side) / 2,
             y + (bh - side) / 2, side, side);
      }
    } else if (f.index >= kFirstLogoImage) {
      // A logo: its box only, over a neutral face colour.
      const qvfacerect& L = kAmpLogoBox;
      cairo_rectangle(cr, x, y, bw, bh);
      setColour(cr, rgb8(120, 110, 96));
      cairo_fill(cr);
      double scale = std::min((bw - 4) / L.w, (bh - 4) / L.h);
      double w = L.w * scale, h = L.h * scale;
      blit(cr, img.s, L.x, L.y, L.w, L.h, x + (bw - w) / 2, y + (bh - h) / 2, w, h);
    } else {
      double scale = std::min({(bw - 8) / f.width, (bh - 8) / f.height, 3.0});
      double w = f.width * scale, h = f.height * scale;
      blit(cr, img.s, 0, 0, f.width, f.height, x + (bw - w) / 2, y + (bh - h) / 2, w, h);
    }
    char line[96];
    std::snprintf(line, sizeof line, "%d  %s", f.index, f.file);
    setFont(cr, qvface::sansBold, 10.5);
    setColour(cr, kInk);
    cairo_move_to(cr, x + 2, y + bh + 14);
    cairo_show_text(cr, line);
    std::snprintf(line, sizeof line, "%d x %d%s", f.width, f.height,
                  f.frames > 1 ? "  (91 frames)" : f.states == 2 ? "  (off / on)" : "");
    setFont(cr, qvface::sans, 10);
    setColour(cr, kInk, 0.7);
    cairo_move_to(cr, x + 2, y + bh + 27);
    cairo_show_text(cr, line);
  }
  return save(sheet.surface, out);
}

// One face as the editor shows it, at full size.
bool composeFace(cairo_t* cr, const char* dir, int face, int logo, int profile) {
  const qvskinfile& fs = kSkinFiles[size_t(kFirstSkinImage + face)];
  const qvskinfile& ls = kSkinFiles[size_t(kFirstLogoImage + logo)];
  const qvknobprofiledef& p = kKnobProfiles[profile];
  const qvskinfile& ks = kSkinFiles[size_t(p.image)];
  image faceImg(pathOf(dir, fs.file)), logoImg(pathOf(dir, ls.file)), knobImg(pathOf(dir, ks.file));
  if (!faceImg.s || !logoImg.s || !knobImg.s) return false;
  cairo_set_source_surface(cr, faceImg.s, 0, 0);
  cairo_paint(cr);
  cairo_set_source_surface(cr, logoImg.s, 0, 0);
  cairo_paint(cr);
  int side = ks.width;
  rgb ink = rgb8(p.text[0], p.text[1], p.text[2]);
  auto knob = [&](double x, double y, int frame, const char* caption) {
    blit(cr, knobImg.s, 0, frame * side, side, side, x, y, side, side);
    setFont(cr, qvface::sansBold, 12);
    setColour(cr, ink);
    textCentred(cr, caption, x + side / 2.0, y + side + 9);
  };
  knob(4, 18, 45, "Input");
  knob(100, 18, 60, "Output");
  static const char* const captions[] = {"Gain", "Bass", "Middle", "Treble", "Presence", "Master"};
  static const int frames[] = {70, 40, 55, 62, 30, 50};
  const qvfacerect& b = kAmpKnobBand;
  for (int k = 0; k < 6; ++k) {
    double cx = b.x + b.w * (k + 0.5) / 6;
    knob(cx - side / 2.0, b.y + (b.h - side - 18) / 2.0, frames[k], captions[k]);
  }
  return true;
}

bool ampSheet(const char* dir, const std::string& out) {
  constexpr double scale = 0.75;
  constexpr int cols = 2, pad = 12, capH = 26;
  int cellW = int(816 * scale) + pad, cellH = int(300 * scale) + capH + pad;
  int rows = (kAmpSkinCount + cols - 1) / cols;
  qvcanvas sheet(cols * cellW + pad, rows * cellH + pad, true);
  setColour(sheet.cr, rgb8(40, 41, 45));
  cairo_paint(sheet.cr);
  for (int face = 0; face < kAmpSkinCount; ++face) {
    // Logos and knob profiles spread over the faces so each shows once or twice.
    int logo = (face * 7) % kLogoCount, profile = 1 + face % (kFirstButtonProfile - 1);
    qvcanvas full(816, 300, true);
    if (!composeFace(full.cr, dir, face, logo, profile)) return false;
    double x = pad + (face % cols) * cellW, y = pad + (face / cols) * cellH;
    blit(sheet.cr, full.surface, 0, 0, 816, 300, x, y, 816 * scale, 300 * scale);
    char line[160];
    std::snprintf(line, sizeof line, "%s  %s   logo %s   knobs %s", kSkinFiles[size_t(kFirstSkinImage + face)].file,
                  kAmpSkinNames[face], kSkinFiles[size_t(kFirstLogoImage + logo)].file,
                  kKnobProfiles[profile].name);
    setFont(sheet.cr, qvface::sans, 12);
    setColour(sheet.cr, kInk);
    cairo_move_to(sheet.cr, x, y + 300 * scale + 17);
    cairo_show_text(sheet.cr, line);
  }
  return save(sheet.surface, out);
}

}  // namespace

bool writeContactSheets(const char* imagedir, const char* docdir) {
  return overviewSheet(imagedir, pathOf(docdir, "skins.png")) &&
         ampSheet(imagedir, pathOf(docdir, "skins-amps.png"));
}
