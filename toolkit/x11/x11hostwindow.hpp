// A top-level window on a display connection of its own, made the way a host
// makes the window a plug-in's editor lives in: for the gallery, the test host's
// editor mode and the end-to-end tests. Not used inside plug-ins.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class X11HostWindow {
public:
  // [ui] A mapped window of the given size and title; null when there is no display.
  static std::unique_ptr<X11HostWindow> create(int width, int height, const std::string& title);
  ~X11HostWindow();
  X11HostWindow(const X11HostWindow&) = delete;
  X11HostWindow& operator=(const X11HostWindow&) = delete;

  // The window id, to hand to an editor as its parent.
  uintptr_t window() const { return window_; }
  // [ui] Handles the window's pending events; false once the user asked to close it.
  bool pump();
  // [ui] A host's editor loop: prints "window 0x<id>" on standard output (so scripts
  // and tests find the window), then calls `idle` every 20 ms until the window is
  // closed, SIGTERM or SIGINT arrives, or `seconds` (when above 0) have passed.
  void runIdleLoop(const std::function<void()>& idle, double seconds);

private:
  X11HostWindow(void* display, uintptr_t window, unsigned long deleteAtom)
      : display_(display), window_(window), deleteAtom_(deleteAtom) {}
  void* display_;             // Display*, ours alone
  uintptr_t window_;
  unsigned long deleteAtom_;  // WM_DELETE_WINDOW
  bool closed_ = false;
};
