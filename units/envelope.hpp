// Shared dynamics: the time coefficient of every smoother and the envelope
// follower of the tube stage, the compressor and the auto-wah.
#pragma once
#include <cmath>

// coef(T) = 2·sin(π / (T·fs·n)) + 1e-25: one-pole smoothing coefficient for a time
// constant of T seconds in a unit running at fs·n. Computed in double, stored as float.
float timeCoef(float seconds, float rateFactor, float sampleRate);

// Rectify, shape and smooth the level, open above one threshold and close below a
// lower one (hysteresis), and glide an envelope towards (level − open) · gain.
struct qvenvfollow {
  float attack = 0;     // coefficient while open
  float release = 0;    // coefficient while closed
  float level = 0;      // coefficient of the level smoother
  float gain = 0;       // output gain of the envelope
  float openThr = 0;    // level above which the follower opens
  float closeThr = 0;   // level below which it closes
  float L = 0;          // smoothed level
  float V = 0;          // envelope
  bool open = false;

  // [audio] Envelope of sample x; advances the states.
  float follow(float x) noexcept;
  // [audio] Level and envelope back to rest.
  void reset() noexcept {
    L = V = 0;
    open = false;
  }
};

inline float qvenvfollow::follow(float x) noexcept {
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
