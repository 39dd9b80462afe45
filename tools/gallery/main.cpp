// corvina-gallery: every control of the GUI kit on one frame.
//   corvina-gallery OUT.png [--menu]     draws the gallery headless into OUT.png
//                                        (--menu: with the long menu open)
//   corvina-gallery --window [--seconds S]
//                                        shows it in a top-level window, as a host
//                                        would (the frame is a child window), until
//                                        the window is closed or S seconds passed;
//                                        prints "window 0x<id>" once it is up.
// Exit codes: 0 done, 1 no display or the file could not be written, 2 bad options.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "toolkit/headless/headless.hpp"
#include "toolkit/x11/x11hostwindow.hpp"
#include "tools/gallery/gallery.hpp"
#include "tools/gallery/layout.hpp"

namespace {
int usage() {
  std::fprintf(stderr, "usage: corvina-gallery OUT.png [--menu] | corvina-gallery --window [--seconds S]\n");
  return 2;
}

int runWindow(double seconds) {
  std::unique_ptr<X11HostWindow> host = X11HostWindow::create(gallery::kWidth, gallery::kHeight, "Corvina gallery");
  if (!host) {
    std::fprintf(stderr, "corvina-gallery: no X display\n");
    return 1;
  }
  gallery::Gallery g;
  if (!g.frame().open(reinterpret_cast<void*>(host->window()))) {
    std::fprintf(stderr, "corvina-gallery: cannot open the frame in the window\n");
    return 1;
  }
  host->runIdleLoop([&] { g.frame().idle(); }, seconds);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  bool window = false;
  bool menu = false;
  double seconds = 0;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--window") == 0) window = true;
    else if (std::strcmp(argv[i], "--menu") == 0) menu = true;
    else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) seconds = std::atof(argv[++i]);
    else if (argv[i][0] != '-' && out.empty()) out = argv[i];
    else return usage();
  }
  if (window) return runWindow(seconds);
  if (out.empty()) return usage();
  gallery::Gallery g;
  if (menu && !g.openPresetMenu()) return 1;
  if (writeFramePng(g.frame(), out) != 0) {
    std::fprintf(stderr, "corvina-gallery: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
