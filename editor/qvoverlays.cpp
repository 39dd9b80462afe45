#include "editor/qvoverlays.hpp"

#include <algorithm>
#include <cmath>

#include "toolkit/ctextlabel.hpp"
#include "toolkit/cviewcontainer.hpp"

namespace {
constexpr float kDelayRate = 1.25f;    // per second, below 0: -1 to 0 in 0.8 s
constexpr float kFadeRate = 2.0f;      // per second, in and out: 0.5 s
constexpr float kMessageRate = 0.25f;  // per second, from 1 to 2: 4 s
constexpr float kMessageEnd = 2.0f;
}  // namespace

void removeOverlay(qvoverlay& o) {
  if (o.view && o.view->getParentView()) o.view->getParentView()->removeView(o.view);
  forgetOverlayView(o);
}

void advanceOverlay(qvoverlay& o, qvoverlaykind kind, float dt) {
  if (!o.view) return;
  if (o.fadingOut) {
    o.alpha -= kFadeRate * dt;
    if (o.alpha <= 0.0f) {
      removeOverlay(o);
      return;
    }
  } else if (kind == qvoverlaykind::hint) {
    o.alpha = std::min(1.0f, o.alpha + (o.alpha < 0.0f ? kDelayRate : kFadeRate) * dt);
  } else if (o.alpha < 1.0f) {
    o.alpha = std::min(1.0f, o.alpha + kFadeRate * dt);
  } else {
    o.alpha += kMessageRate * dt;
    if (o.alpha >= kMessageEnd) o.fadingOut = true;
  }
  o.view->setAlphaValue(std::clamp(o.alpha, 0.0f, 1.0f));
}

double meterLevel(double sumOfSquares) {
  if (!(sumOfSquares > 0.00001)) return 0.0;
  return std::log10(1.0 + 29.0 * std::sqrt(sumOfSquares / 2048.0)) / std::log10(30.0);
}
