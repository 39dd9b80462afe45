#include "units/dynamics.hpp"

#include <cmath>

float smootherCoef(float seconds, float rateFactor, float sampleRate) {
  const float c = timeCoef(seconds, rateFactor, sampleRate);
  return c > 0.0f ? c : 1.0f;  // also catches NaN
}

qvusgate::qvusgate(const qvprocstate& state, bool withTable) : qvutil(state, -1) {
  if (withTable) buildParams(paramTable(kBlockGate));
}

void qvusgate::update(int) {
  const float fs = sampleRate();
  const float n = rateFactor();
  gf_.attack = smootherCoef(pv(kAttack) + 0.01f, n, fs);
  gf_.release = smootherCoef(pv(kRelease) + 0.01f, n, fs);
  gf_.level = smootherCoef(pv(kTrigCoef), n, fs);
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

void qvusgate::processBlock(float* samples, int nframes) noexcept {
  if (!(gf_.to > 0.0f)) return;
  qvgatefollow g = gf_;
  for (int i = 0; i < nframes; ++i) samples[i] = g.gatefollow(samples[i]) * samples[i];
  gf_ = g;
}

qvuscomp::qvuscomp(const qvprocstate& state, bool withTable) : qvutil(state, -1) {
  if (withTable) buildParams(paramTable(kBlockCompression));
}

void qvuscomp::update(int) {
  const float fs = sampleRate();
  const float n = rateFactor();
  env_.attack = smootherCoef(pv(kAttack) + 0.01f, n, fs);
  env_.release = smootherCoef(pv(kRelease) + 0.01f, n, fs);
  env_.level = smootherCoef(pv(kTrigCoef), n, fs);
  initialised_ = true;
  env_.gain = pv(kRatio);
  const float threshold = pv(kThreshold);
  env_.openThr = threshold;
  env_.closeThr = threshold * 0.5f;
  drive_ = pv(kDrive);
}

void qvuscomp::processBlock(float* samples, int nframes) noexcept {
  qvenvfollow env = env_;
  const float drive = drive_;
  for (int i = 0; i < nframes; ++i) samples[i] = squeeze(env, drive, samples[i]);
  env_ = env;
}
