#include "toolkit/x11/x11errors.hpp"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace {
// Xlib's handler takes no user data, so the watched connections are one
// process-wide list (several editors may be open, on any host thread).
struct Watched {
  Display* display;
  int firstError;  // 0 for none since the last takeDisplayError
};

struct Registry {
  std::mutex lock;
  std::vector<Watched> displays;
  XErrorHandler previous = nullptr;
  bool installed = false;
};

Registry& registry() {
  static Registry r;
  return r;
}

int recordError(Display* display, XErrorEvent* event) {
  Registry& r = registry();
  XErrorHandler previous = nullptr;
  {
    std::lock_guard<std::mutex> hold(r.lock);
    for (Watched& w : r.displays)
      if (w.display == display) {
        if (w.firstError == 0) w.firstError = event->error_code;
        return 0;
      }
    previous = r.previous;
  }
  return previous ? previous(display, event) : 0;
}
}  // namespace

void watchDisplayErrors(Display* display) {
  Registry& r = registry();
  std::lock_guard<std::mutex> hold(r.lock);
  r.displays.push_back({display, 0});
  if (!r.installed) {
    r.previous = XSetErrorHandler(recordError);
    r.installed = true;
  }
}

void unwatchDisplayErrors(Display* display) {
  Registry& r = registry();
  std::lock_guard<std::mutex> hold(r.lock);
  r.displays.erase(std::remove_if(r.displays.begin(), r.displays.end(),
                                  [&](const Watched& w) { return w.display == display; }),
                   r.displays.end());
  if (!r.displays.empty() || !r.installed) return;
  // The last connection is gone: give the handler back, so that none points into
  // a plug-in the host may unload next. One installed after ours stays.
  const XErrorHandler current = XSetErrorHandler(r.previous);
  if (current != recordError) XSetErrorHandler(current);
  r.installed = false;
}

int takeDisplayError(Display* display) {
  XSync(display, False);
  Registry& r = registry();
  std::lock_guard<std::mutex> hold(r.lock);
  for (Watched& w : r.displays)
    if (w.display == display) return std::exchange(w.firstError, 0);
  return 0;
}
