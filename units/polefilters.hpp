// One-, two- and four-pole low/high-pass filters, single precision. A unit holds
// one behind a qvfiltgen pointer and swaps it when the user changes the order.
// The one- and two-pole recursions carry a 1e-20 offset that keeps their state out
// of the denormal range when the input falls silent.
#pragma once
#include <cstdint>

class qvfiltgen {
public:
  virtual ~qvfiltgen() = default;
  // [audio] One sample.
  virtual float process(float x) = 0;
  // Coefficients follow at the next setfreq.
  virtual void setrate(float rate) = 0;
  // Corner in Hz and resonance q (Q = (q + 1) / 2); the one-pole ignores q.
  virtual void setfreq(float freq, float q) = 0;
  virtual void setkind(int kind) = 0;
  // [audio] Back to zero state; the coefficients stay.
  virtual void reset() noexcept = 0;

  int32_t kind = 0;  // 0 low-pass, 1 high-pass
};

// Nearest float to 1e-20, added to the recursive states.
constexpr float kPoleAntiDenormal = 1e-20f;

class polefilt_1lp : public qvfiltgen {
public:
  float process(float x) override;
  void setrate(float r) override { rate = r; }
  void setfreq(float freq, float q) override;
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
  void design(int kind, float freq, float q, float rate);
};

class polefilt_2lpc : public qvfiltgen {
public:
  float process(float x) override;
  void setrate(float r) override { rate = r; }
  void setfreq(float freq, float q) override { c.design(kind, freq, q, rate); }
  void setkind(int k) override { kind = k; }
  void reset() noexcept override { x1 = x2 = y1 = y2 = 0; }

  qvbiquadcoefs c;
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;  // last inputs and outputs
  float rate = 44100;
};

// Two identical biquads in series: the square of the two-pole response.
class polefilt_4lpc : public qvfiltgen {
public:
  explicit polefilt_4lpc(int k = 0) { kind = k; }
  float process(float x) override;
  void setrate(float r) override { rate = r; }
  void setfreq(float freq, float q) override { c.design(kind, freq, q, rate); }
  void setkind(int k) override { kind = k; }
  void reset() noexcept override { x1 = x2 = y1 = y2 = p1 = p2 = r1 = r2 = 0; }

  qvbiquadcoefs c;
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;  // first section
  float p1 = 0, p2 = 0, r1 = 0, r2 = 0;  // second section
  float rate = 44100;
};
