#include "units/polefilters.hpp"

#include <cmath>

void polefilt_1lp::setfreq(float freq, float) noexcept {
  k = freq / (rate * 0.5f);
  // From k = 2 on (a corner at or above the rate, met at low host rates) the
  // recursion's pole leaves the unit circle and the output grows without bound.
  // Such a corner is far above the band: the filter passes its input.
  if (!(k >= 0.0f && k < 2.0f)) k = 1.0f;
}

void polefilt_1lp::processBlock(float* samples, int nframes) noexcept {
  float state = y;
  const float kk = k;
  if (kind == 0) {
    for (int i = 0; i < nframes; ++i) samples[i] = lowStep(samples[i], state, kk);
  } else {
    for (int i = 0; i < nframes; ++i) {
      const float x = samples[i];
      samples[i] = x - lowStep(x, state, kk);
    }
  }
  y = state;
}

void qvbiquadcoefs::design(int kind, float freq, float q, float rate) noexcept {
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

void polefilt_2lpc::processBlock(float* samples, int nframes) noexcept {
  const qvbiquadcoefs k = c;
  qvbiquadmemory m{x1, x2, y1, y2};
  for (int i = 0; i < nframes; ++i) samples[i] = m.step(k, samples[i], kPoleAntiDenormal);
  x1 = m.x1, x2 = m.x2, y1 = m.y1, y2 = m.y2;
}

void polefilt_4lpc::processBlock(float* samples, int nframes) noexcept {
  const qvbiquadcoefs k = c;
  qvbiquadmemory first{x1, x2, y1, y2}, second{p1, p2, r1, r2};
  for (int i = 0; i < nframes; ++i) samples[i] = second.step(k, first.step(k, samples[i]));
  x1 = first.x1, x2 = first.x2, y1 = first.y1, y2 = first.y2;
  p1 = second.x1, p2 = second.x2, r1 = second.y1, r2 = second.y2;
}
