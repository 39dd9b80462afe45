// One-, two- and four-pole low/high-pass filters, single precision. A unit holds
// one behind a qvfiltgen pointer and swaps it when the user changes the order.
// The one- and two-pole recursions carry a 1e-20 offset that keeps their state out
// of the denormal range when the input falls silent. The inline step functions are
// the recursions themselves: process() and the block loops (here and in the units
// that run a filter inside their own loop) all go through them, so a block gives
// exactly the numbers of as many single samples.
#pragma once
#include <cstdint>

class qvfiltgen {
public:
  virtual ~qvfiltgen() = default;
  // [audio] One sample.
  virtual float process(float x) noexcept = 0;
  // [audio] nframes samples in place, state kept in locals for the run.
  virtual void processBlock(float* samples, int nframes) noexcept = 0;
  // Coefficients follow at the next setfreq.
  virtual void setrate(float rate) = 0;
  // Corner in Hz and resonance q (Q = (q + 1) / 2); the one-pole ignores q.
  virtual void setfreq(float freq, float q) noexcept = 0;
  virtual void setkind(int kind) = 0;
  // [audio] Back to zero state; the coefficients stay.
  virtual void reset() noexcept = 0;

  int32_t kind = 0;  // 0 low-pass, 1 high-pass
};

// Nearest float to 1e-20, added to the recursive states.
constexpr float kPoleAntiDenormal = 1e-20f;

class polefilt_1lp final : public qvfiltgen {
public:
  // The low-pass recursion on a state y held by the caller; returns the new state.
  static float lowStep(float x, float& y, float k) noexcept {
    y = (x - y) * k + (y + kPoleAntiDenormal);  // the offset off the recursion's chain
    return y;
  }

  float process(float x) noexcept override {
    const float lp = lowStep(x, y, k);
    return kind == 0 ? lp : x - lp;
  }
  void processBlock(float* samples, int nframes) noexcept override;
  void setrate(float r) override { rate = r; }
  void setfreq(float freq, float q) noexcept override;
  void setkind(int k) override { kind = k; }
  void reset() noexcept override { y = 0; }

  float k = 0;         // smoothing coefficient, corner / (rate / 2)
  float rate = 44100;  // Hz
  float y = 0;         // low-pass state
};

// Highest corner of a biquad, as a fraction of its rate.
constexpr float kHighestCorner = 0.49f;

// Biquad coefficients of a low- or high-pass with the corner + 0.01 Hz (held
// below kHighestCorner × rate).
struct qvbiquadcoefs {
  float a0 = 1, a1 = 0, a2 = 0, b0 = 1, b1 = 0, b2 = 0;
  void design(int kind, float freq, float q, float rate) noexcept;
};

// Last two inputs and outputs of one biquad section.
struct qvbiquadmemory {
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;

  // y = b0·x + b1·x1 + b2·x2 − a1·y1 − a2·y2 (+ offset), summed in that order.
  float step(const qvbiquadcoefs& c, float x, float offset) noexcept {
    const float y = c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2 + offset;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
  // The same without the offset term (the four-pole sections).
  float step(const qvbiquadcoefs& c, float x) noexcept {
    const float y = c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

class polefilt_2lpc final : public qvfiltgen {
public:
  float process(float x) noexcept override {
    qvbiquadmemory m{x1, x2, y1, y2};
    const float y = m.step(c, x, kPoleAntiDenormal);
    x1 = m.x1, x2 = m.x2, y1 = m.y1, y2 = m.y2;
    return y;
  }
  void processBlock(float* samples, int nframes) noexcept override;
  void setrate(float r) override { rate = r; }
  void setfreq(float freq, float q) noexcept override { c.design(kind, freq, q, rate); }
  void setkind(int k) override { kind = k; }
  void reset() noexcept override { x1 = x2 = y1 = y2 = 0; }

  qvbiquadcoefs c;
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;  // last inputs and outputs
  float rate = 44100;
};

// Two identical biquads in series: the square of the two-pole response.
class polefilt_4lpc final : public qvfiltgen {
public:
  explicit polefilt_4lpc(int k = 0) { kind = k; }
  float process(float x) noexcept override {
    qvbiquadmemory first{x1, x2, y1, y2}, second{p1, p2, r1, r2};
    const float z = second.step(c, first.step(c, x));
    x1 = first.x1, x2 = first.x2, y1 = first.y1, y2 = first.y2;
    p1 = second.x1, p2 = second.x2, r1 = second.y1, r2 = second.y2;
    return z;
  }
  void processBlock(float* samples, int nframes) noexcept override;
  void setrate(float r) override { rate = r; }
  void setfreq(float freq, float q) noexcept override { c.design(kind, freq, q, rate); }
  void setkind(int k) override { kind = k; }
  void reset() noexcept override { x1 = x2 = y1 = y2 = p1 = p2 = r1 = r2 = 0; }

  qvbiquadcoefs c;
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;  // first section
  float p1 = 0, p2 = 0, r1 = 0, r2 = 0;  // second section
  float rate = 44100;
};
