#include "units/clipping.hpp"

namespace {
// Softness outside (0, 100] falls back to the flattest knee.
constexpr float kMaxSoft = 100.0f;
}  // namespace

qvusclip::qvusclip(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockClipping));
}

void qvusclip::update(int) {
  qvclipcurve& c = curve_;
  c.T = pv(kThreshold);
  const float s = pv(kSoft);
  // Every threshold below 1 gets its knee scale, zero and negative ones included
  // (edited ranges reach them). At 1 and above the knee region is empty and r is
  // never used; leaving it 0 keeps 1/0 out of the offset below.
  c.r = c.T < 1.0f ? 1.0f / (1.0f - c.T) : 0.0f;
  const float soft = (s > 0.0f && s <= kMaxSoft) ? s : kMaxSoft;
  c.h = (1.0f - c.T) / soft;
  c.top = c.h + c.T;
  c.volume = pv(kVolume);
  c.boost = pv(kAsymBoost);
  c.bias = pv(kAsymBias);
  c.gain = pv(kGain);
  c.rectify = pv(kRectify);
  c.fold = 1.0f - 2.0f * c.rectify;
  if (c.T >= c.bias) {
    c.d = c.bias;
  } else {
    // The knee's cubic at the bias, without the ceiling test.
    const float u = 1.0f - (c.bias - c.T) * c.r;
    c.d = c.T - c.h * (u * u * u - 1.0f);
  }
  refreshAntialias();
}

void qvusclip::refreshAntialias() {
  aa_.refresh([this](qvpiecewisecubic& pieces) { return curvePieces(pieces); },
              static_cast<double>(sampleRate()) * factor_);
}

void qvusclip::setRateMultiplier(float factor) {
  // The curve has no rate in it; only the band limit behind it has.
  factor_ = factor;
  refreshAntialias();
}

void qvusclip::setStageOptions(const qvstageoptions& options) {
  if (!aa_.setOptions(options)) return;
  update(-1);
  aa_.restart();
}
