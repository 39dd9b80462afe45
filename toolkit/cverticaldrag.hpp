// The vertical mouse drag shared by knobs and sliders: moving up raises the value
// by one full range per `range_px` pixels, ten times slower while Shift is held.
// Switching Shift mid-drag re-anchors, so the value never jumps.
#pragma once
#include <algorithm>

#include "toolkit/events.hpp"
#include "toolkit/geometry.hpp"

class CVerticalDrag {
public:
  static constexpr float kFineFactor = 10.0f;   // Shift divides the speed by this
  static constexpr float kWheelStep = 0.01f;    // share of the range per wheel notch

  void begin(CCoord y, float normalized, const CButtonState& buttons) {
    active_ = true;
    anchorY_ = y;
    anchorValue_ = normalized;
    fine_ = (buttons & kShift) != 0;
  }
  bool active() const { return active_; }
  void end() { active_ = false; }

  // The normalized value (0..1) for the mouse at `y`; `current` is the value now.
  float update(CCoord y, float current, const CButtonState& buttons, CCoord range_px) {
    const bool fine = (buttons & kShift) != 0;
    if (fine != fine_) begin(y, current, buttons);
    const double scale = range_px * (fine_ ? kFineFactor : 1.0f);
    if (scale <= 0) return current;
    return std::clamp(static_cast<float>(anchorValue_ + (anchorY_ - y) / scale), 0.0f, 1.0f);
  }

  // The normalized value after `distance` wheel notches from `current`.
  static float wheel(float current, float distance, const CButtonState& buttons) {
    const float step = (buttons & kShift) ? kWheelStep / kFineFactor : kWheelStep;
    return std::clamp(current + distance * step, 0.0f, 1.0f);
  }

private:
  bool active_ = false;
  CCoord anchorY_ = 0;       // pixels
  float anchorValue_ = 0;    // normalized value at the anchor
  bool fine_ = false;
};
