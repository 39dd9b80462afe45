// What a frame needs of the window system it is shown in. The frame draws into
// its own image; the platform delivers events (by calling the frame's platformOn
// entries) and copies finished areas of the image to the screen.
#pragma once
#include <cstdint>
#include <vector>

#include "toolkit/geometry.hpp"

class IPlatformFrame {
public:
  virtual ~IPlatformFrame() = default;
  // [ui] Delivers the pending window-system events to the frame; never waits.
  virtual void pumpEvents() = 0;
  // [ui] Copies these areas (frame coordinates) of the frame's image to the window.
  virtual void present(const std::vector<CRect>& areas) = 0;
  // [ui] Asks for the keyboard (a text field was clicked).
  virtual void takeKeyboardFocus() = 0;
  // The native window (an X11 Window id).
  virtual uintptr_t nativeWindow() const = 0;
};
