#include "units/dynamics.hpp"

#include <cmath>

float smootherCoef(float seconds, float rateFactor, float sampleRate) {
  const float c = timeCoef(seconds, rateFactor, sampleRate);
  return c > 0.0f ? c : 1.0f;  // also catches NaN
}

float qvgatefollow::gatefollow(float x) noexcept {
  if (!(to > 0.0f)) return x;
  const float a = std::fabs(x);
  if (L <= 1e-25f) L = 0.0f;
  L = L + (a - L) * level;
  float target;
  if (L > to) {
    target = 1.0f;
    open = true;
  } else {
    target = (L - tc) / r;
    if (target < 0.0f) {
      target = 0.0f;
      open = false;
    }
  }
  const float c = open ? attack : release;
  if (V <= 1e-25f) V = 0.0f;
  V = V + (target - V) * c;
  return V;
}

qvusgate::qvusgate(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockGate));
}

void qvusgate::setRateMultiplier(float factor) {
  n_ = factor;
  initialised_ = false;
  update(-1);
}

void qvusgate::update(int) {
  const float fs = sampleRate();
  gf_.attack = smootherCoef(pv(kAttack) + 0.01f, n_, fs);
  gf_.release = smootherCoef(pv(kRelease) + 0.01f, n_, fs);
  gf_.level = smootherCoef(pv(kTrigCoef), n_, fs);
  initialised_ = true;
  const float t = pv(kThreshold);
  gf_.to = t * t;
  gf_.tc = gf_.to * 0.85f;
  gf_.r = gf_.to - gf_.tc;
}

float qvusgate::process(float x) noexcept {
  // A threshold that is not positive (0, or NaN from a broken value) leaves the
  // signal and the follower's states alone.
  if (!(gf_.to > 0.0f)) return x;
  return gf_.gatefollow(x) * x;
}

qvuscomp::qvuscomp(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockCompression));
}

void qvuscomp::setRateMultiplier(float factor) {
  n_ = factor;
  initialised_ = false;
  update(-1);
}

void qvuscomp::update(int) {
  const float fs = sampleRate();
  env_.attack = smootherCoef(pv(kAttack) + 0.01f, n_, fs);
  env_.release = smootherCoef(pv(kRelease) + 0.01f, n_, fs);
  env_.level = smootherCoef(pv(kTrigCoef), n_, fs);
  initialised_ = true;
  env_.gain = pv(kRatio);
  const float threshold = pv(kThreshold);
  env_.openThr = threshold;
  env_.closeThr = threshold * 0.5f;
  drive_ = pv(kDrive);
}

float qvuscomp::process(float x) noexcept {
  x = x * drive_;
  const float e = env_.follow(x);
  return (1.5f - e) * x;
}
