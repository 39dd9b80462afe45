#include "units/polefilters.hpp"

#include <cmath>

void polefilt_1lp::setfreq(float freq, float) {
  k = freq / (rate * 0.5f);
  // From k = 2 on (a corner at or above the rate, met at low host rates) the
  // recursion's pole leaves the unit circle and the output grows without bound.
  // Such a corner is far above the band: the filter passes its input.
  if (!(k >= 0.0f && k < 2.0f)) k = 1.0f;
}

float polefilt_1lp::process(float x) {
  y = (x - y) * k + y + kPoleAntiDenormal;
  return kind == 0 ? y : x - y;
}

void qvbiquadcoefs::design(int kind, float freq, float q, float rate) {
  float f = freq + 0.01f;
  // At or above half the rate the design's poles leave the unit circle (sin w
  // turns negative); such a corner, met at low host rates, is held just below it.
  if (!(f < kHighestCorner * rate)) f = kHighestCorner * rate;
  const float w = static_cast<float>(f * 6.283185307179586 / rate);
  const float cw = static_cast<float>(std::cos(static_cast<double>(w)));
  const float sw = static_cast<float>(std::sin(static_cast<double>(w)));
  const float Q = (q + 1.0f) * 0.5f;
  const float alpha = sw / (2.0f * Q);
  if (kind == 0) {
    b0 = b2 = (1.0f - cw) * 0.5f;
    b1 = 1.0f - cw;
  } else if (kind == 1) {
    b0 = b2 = (1.0f + cw) * 0.5f;
    b1 = -(1.0f + cw);
  }
  if (kind == 0 || kind == 1) {
    a0 = 1.0f + alpha;
    a1 = -2.0f * cw;
    a2 = 1.0f - alpha;
  }
  a1 /= a0;
  a2 /= a0;
  b0 /= a0;
  b1 /= a0;
  b2 /= a0;
}

float polefilt_2lpc::process(float x) {
  const float y = c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2 + kPoleAntiDenormal;
  x2 = x1;
  x1 = x;
  y2 = y1;
  y1 = y;
  return y;
}

float polefilt_4lpc::process(float x) {
  const float y = c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2;
  x2 = x1;
  x1 = x;
  y2 = y1;
  y1 = y;
  const float z = c.b0 * y + c.b1 * p1 + c.b2 * p2 - c.a1 * r1 - c.a2 * r2;
  p2 = p1;
  p1 = y;
  r2 = r1;
  r1 = z;
  return z;
}
