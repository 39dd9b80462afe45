#include "units/tubegain.hpp"

#include "units/stagepieces.hpp"

float crossKnee(float a) {
  if (a >= 0.0f) return a;
  if (a > -1.0f) return a + 0.5f * a * a;
  return -0.5f;
}

qvustubea::qvustubea(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockTubeGain));
}

void qvustubea::setRateMultiplier(float factor) {
  n_ = factor;
  initialised_ = false;
  update(-1);
}

void qvustubea::update(int which) {
  const float fs = sampleRate();
  if (!initialised_) {
    env_.release = env_.level = timeCoef(0.07f, n_, fs);
    initialised_ = true;
    env_.gain = 1.0f;
    env_.openThr = 0.17f;
    env_.closeThr = 0.153f;
  }
  if (which == kMode || which == -1) curve_.build(pvi(kMode) - 1);
  volume_ = pv(kVolume);
  gain_ = pv(kGain);
  sag_ = pv(kSag);
  shift_ = pv(kShift);
  cross_ = pv(kCross);
  dynamic_ = sag_ > 0.0f || shift_ > 0.0f || cross_ > 0.0f;
  env_.attack = timeCoef(pv(kEnvAt) + 0.01f, n_, fs);
  const float bias = pv(kBias);
  curve_.inOffset = 0.0f;
  curve_.outOffset = 0.0f;
  curve_.outOffset = -curve_.evaluate(bias);
  curve_.inOffset = bias;
  envScale_ = 0.4f;
  if (which == kCross || which == -1) {
    xc_ = -cross_;
    xk_ = crossKnee(xc_);
  }
  aa_.refresh([this](qvpiecewisecubic& pieces) { return tubeCurvePieces(curve_, pieces); },
              static_cast<double>(fs) * n_);
}

void qvustubea::setStageOptions(const qvstageoptions& options) {
  if (!aa_.setOptions(options)) return;
  update(-1);
  aa_.restart();
}

float qvustubea::curveAt(float x) noexcept {
  return aa_.averaging() ? aa_.averagedCurve(x) : curve_.evaluate(x);
}

float qvustubea::process(float x) {
  x = x * gain_;
  float y;
  if (!dynamic_) {
    y = curveAt(x);
  } else {
    const float e = env_.follow(envScale_ * x);
    const double s = static_cast<double>(sag_) * e;
    x = static_cast<float>(x * (1.0 + s));
    x = x - shift_ * e;
    y = curveAt(x);
    if (cross_ != 0.0f) {
      const float sign = y >= 0.0f ? 1.0f : -1.0f;
      const float a = (y >= 0.0f ? y : -y) + xc_;
      y = sign * (crossKnee(a) - xk_);
    }
    float g = static_cast<float>(1.0 - 0.65 * s);
    if (g < 0.0f) g = 0.0f;
    y = g * y;
  }
  return aa_.behind(-volume_ * y);
}
