#include "toolkit/x11/x11hostwindow.hpp"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <time.h>

#include <atomic>
#include <cstdio>

#include "toolkit/cclock.hpp"
#include "toolkit/x11/x11errors.hpp"

namespace {
// Set by SIGTERM or SIGINT. Signals reach a process, not a window: one flag for
// the host program (never used inside a plug-in).
std::atomic<bool> g_stopRequested{false};
void requestStop(int) { g_stopRequested = true; }
}  // namespace

std::unique_ptr<X11HostWindow> X11HostWindow::create(int width, int height, const std::string& title) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  watchDisplayErrors(display);
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                                            static_cast<unsigned>(height), 0, BlackPixel(display, screen),
                                            BlackPixel(display, screen));
  XStoreName(display, window, title.c_str());
  if (XSizeHints* hints = XAllocSizeHints()) {
    hints->flags = PMinSize | PMaxSize | PPosition;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
  }
  Atom deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteAtom, 1);
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  // The editor's own connection refers to this window: it must exist on the server first.
  XSync(display, False);
  return std::unique_ptr<X11HostWindow>(new X11HostWindow(display, window, deleteAtom));
}

X11HostWindow::~X11HostWindow() {
  auto* display = static_cast<Display*>(display_);
  if (!closed_) XDestroyWindow(display, static_cast<Window>(window_));
  takeDisplayError(display);
  unwatchDisplayErrors(display);
  XCloseDisplay(display);
}

bool X11HostWindow::pump() {
  auto* display = static_cast<Display*>(display_);
  while (!closed_ && XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == ClientMessage && static_cast<unsigned long>(event.xclient.data.l[0]) == deleteAtom_)
      return false;
    if (event.type == DestroyNotify && event.xdestroywindow.window == static_cast<Window>(window_)) closed_ = true;
  }
  return !closed_;
}

void X11HostWindow::runIdleLoop(const std::function<void()>& idle, double seconds) {
  std::printf("window 0x%lx\n", static_cast<unsigned long>(window_));
  std::fflush(stdout);
  signal(SIGTERM, requestStop);
  signal(SIGINT, requestStop);
  CSystemClock clock;
  const uint32_t start = clock.now_ms();
  while (!g_stopRequested && pump()) {
    idle();
    if (seconds > 0 && clock.now_ms() - start >= seconds * 1000) break;
    const timespec tick{0, 20 * 1000 * 1000};  // a host's 50 idle calls a second
    nanosleep(&tick, nullptr);
  }
}
