// corvina-skingen OUTDIR [--sheets DOCDIR] [--only FILE]
//
// Draws every file of the editor's image list (editor/skinfiles.hpp) into OUTDIR
// under its lower-case name; with --sheets also the contact sheets skins.png and
// skins-amps.png into DOCDIR. --only draws one file (for work on the art).
// Returns 0 on success, 1 on bad arguments, 2 when an image has no drawer or
// cannot be written.
#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/skingen/families.hpp"
#include "tools/skingen/output.hpp"
#include "tools/skingen/sheets.hpp"

namespace {

bool drawOne(cairo_t* cr, const qvskinfile& f) {
  int n = 0;
  if (drawKnobStrip(cr, f)) return true;
  if (std::sscanf(f.file, "ampguibg%d.png", &n) == 1) return drawAmpFace(cr, n), true;
  if (std::sscanf(f.file, "pedalgui%d.png", &n) == 1) return drawPedalFace(cr, n), true;
  if (f.index >= kFirstLogoImage) return drawLogo(cr, f.index - kFirstLogoImage), true;
  if (std::strcmp(f.file, "footbutton.png") == 0) return drawFootSwitch(cr, f.width, f.height), true;
  return drawWidget(cr, f) || drawBackground(cr, f);
}

}  // namespace

cairo_surface_t* renderSkinImage(const qvskinfile& f) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, f.width, f.height);
  cairo_t* cr = cairo_create(s);
  bool ok = drawOne(cr, f);
  cairo_destroy(cr);
  if (!ok) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  return s;
}

int main(int argc, char** argv) {
  const char* outdir = nullptr;
  const char* docdir = nullptr;
  const char* only = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--sheets") == 0 && i + 1 < argc)
      docdir = argv[++i];
    else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
      only = argv[++i];
    else if (!outdir && argv[i][0] != '-')
      outdir = argv[i];
    else
      outdir = nullptr, i = argc;
  }
  if (!outdir) {
    std::fprintf(stderr, "usage: corvina-skingen OUTDIR [--sheets DOCDIR] [--only FILE]\n");
    return 1;
  }
  for (const qvskinfile& f : kSkinFiles) {
    if (only && std::strcmp(only, f.file) != 0) continue;
    // A file listed more than once is drawn once.
    bool seen = false;
    for (int j = 0; j < f.index; ++j) seen = seen || std::strcmp(kSkinFiles[size_t(j)].file, f.file) == 0;
    if (seen) continue;
    cairo_surface_t* s = renderSkinImage(f);
    if (!s) {
      std::fprintf(stderr, "corvina-skingen: no drawer for %s\n", f.file);
      return 2;
    }
    std::string path = std::string(outdir) + "/" + f.file;
    bool written = writeSkinPng(s, path.c_str());
    cairo_surface_destroy(s);
    if (!written) {
      std::fprintf(stderr, "corvina-skingen: cannot write %s\n", path.c_str());
      return 2;
    }
  }
  if (docdir && !writeContactSheets(outdir, docdir)) {
    std::fprintf(stderr, "corvina-skingen: cannot write the contact sheets into %s\n", docdir);
    return 2;
  }
  return 0;
}
