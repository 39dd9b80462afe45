#include "units/clipping.hpp"

namespace {
// Softness outside (0, 100] falls back to the flattest knee.
constexpr float kMaxSoft = 100.0f;
}  // namespace

qvusclip::qvusclip(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockClipping));
}

float qvusclip::knee(float y) const noexcept {
  if (y <= T_) return y;
  if (y <= 1.0f) {
    const float u = 1.0f - (y - T_) * r_;
    return T_ - h_ * (u * u * u - 1.0f);
  }
  return top_;
}

void qvusclip::update(int) {
  T_ = pv(kThreshold);
  s_ = pv(kSoft);
  // Every threshold below 1 gets its knee scale, zero and negative ones included
  // (edited ranges reach them). At 1 and above the knee region is empty and r is
  // never used; leaving it 0 keeps 1/0 out of the offset below.
  r_ = T_ < 1.0f ? 1.0f / (1.0f - T_) : 0.0f;
  const float soft = (s_ > 0.0f && s_ <= kMaxSoft) ? s_ : kMaxSoft;
  h_ = (1.0f - T_) / soft;
  top_ = h_ + T_;
  volume_ = pv(kVolume);
  boost_ = pv(kAsymBoost);
  bias_ = pv(kAsymBias);
  gain_ = pv(kGain);
  rectify_ = pv(kRectify);
  fold_ = 1.0f - 2.0f * rectify_;
  if (T_ >= bias_) {
    d_ = bias_;
  } else {
    // The knee's cubic at the bias, without the ceiling test.
    const float u = 1.0f - (bias_ - T_) * r_;
    d_ = T_ - h_ * (u * u * u - 1.0f);
  }
  refreshAntialias();
}

void qvusclip::refreshAntialias() {
  aa_.refresh([this](qvpiecewisecubic& pieces) { return curvePieces(pieces); },
              static_cast<double>(sampleRate()) * n_);
}

void qvusclip::setRateMultiplier(float factor) {
  // The curve has no rate in it; only the band limit behind it has.
  n_ = factor;
  refreshAntialias();
}

void qvusclip::setStageOptions(const qvstageoptions& options) {
  if (!aa_.setOptions(options)) return;
  update(-1);
  aa_.restart();
}

float qvusclip::process(float x) noexcept {
  return aa_.behind(aa_.averaging() ? aa_.averagedCurve(x) : curve(x));
}

float qvusclip::curve(float x) const noexcept {
  x = x * gain_;
  x = x + bias_;
  if (rectify_ > 0.0f && x < 0.0f) x = x * fold_;
  float y;
  const bool negative = x < 0.0f;
  if (negative) {
    y = -x;
  } else {
    y = x + boost_ * x;
  }
  y = knee(y);
  if (!negative) y = -y;
  return volume_ * (y + d_);
}
