#include "units/envelope.hpp"

#include <cmath>

float timeCoef(float seconds, float rateFactor, float sampleRate) {
  // The unit runs at fs·n, so the time constant spans T·fs·n samples; this keeps
  // envelopes equally fast in and out of an oversampled range.
  double d = static_cast<double>(seconds) * rateFactor;
  d *= sampleRate;
  d = 1.0 / d;
  d *= 3.141592653589793;
  return static_cast<float>(2.0 * std::sin(d) + 1e-25);
}

float qvenvfollow::follow(float x) noexcept {
  if (!(openThr > 0.0f)) return 0.0f;
  const float a = std::fabs(x);
  float w = 1.0f;
  if (a < 1.0f) {
    const float b = 1.0f - a;
    w = 1.0f - b * std::sqrt(b);  // 1 − (1 − a)^1.5: more weight on small levels
  }
  if (L <= 1e-25f) L = 0.0f;
  L = L + (w - L) * level;
  float target = 0.0f;
  if (L > openThr) {
    open = true;
    target = (L - openThr) * gain;
  } else if (L < closeThr) {
    open = false;
  }
  const float c = open ? attack : release;
  if (V <= 1e-25f) V = 0.0f;
  V = V + (target - V) * c;
  return V;
}
