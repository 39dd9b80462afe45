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
