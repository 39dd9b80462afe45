#include "units/stagelowpass.hpp"

#include <cmath>

void qvstagelowpass::setRate(double rate_hz) {
  active_ = rate_hz >= kMinRate_hz;
  if (!active_) return;
  // Bilinear-transformed Butterworth, Q = 1/√2.
  const double w = 2.0 * 3.141592653589793 * kCorner_hz / rate_hz;
  const double alpha = std::sin(w) / std::sqrt(2.0);
  const double c = std::cos(w);
  const double a0 = 1.0 + alpha;
  b0_ = (1.0 - c) / 2.0 / a0;
  b1_ = (1.0 - c) / a0;
  a1_ = -2.0 * c / a0;
  a2_ = (1.0 - alpha) / a0;
}
