#include "units/delay.hpp"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kMaxDelaySeconds = 3.0;
// Corner of the echo low-pass at the effective rate.
constexpr float kToneCornerHz = 1700.0f;
// Cap on the buffer (128 MB), far above three seconds at 768 kHz × 16; keeps a
// nonsense host rate from asking for gigabytes.
constexpr double kMaxBufferSamples = 33554432.0;

// round(samples) held to [1, limit]; NaN and negative lengths give 1, so the line
// always has a sample to read and process() never leaves the buffer.
uint32_t samplesIn(double samples, double limit) {
  if (!(samples >= 1.0)) return 1;
  if (samples > limit) samples = limit;
  return static_cast<uint32_t>(std::lround(samples));
}
}  // namespace

qvusedelay::qvusedelay(const qvprocstate& state, bool withTable)
    : qvutil(state, -1), buffer_(1, 0.0f) {
  if (withTable) buildParams(paramTable(kBlockDelay));
  tone_.setkind(0);
}

void qvusedelay::update(int which) {
  const float fs = sampleRate();
  const float n = rateFactor();
  const double rate = static_cast<double>(fs) * n;
  if (!initialised_) {
    Lb_ = samplesIn(rate * kMaxDelaySeconds, kMaxBufferSamples);
    if (buffer_.size() < Lb_) buffer_.resize(Lb_);
    std::fill(buffer_.begin(), buffer_.begin() + Lb_, 0.0f);
    if (D_ > Lb_) D_ = Lb_;
    initialised_ = true;
    tone_.setrate(fs);
    tone_.setfreq(kToneCornerHz / n, 0.0f);
    // A zero rate makes the corner infinite; pass the echo rather than poison the
    // filter's state with NaN for good.
    if (!std::isfinite(tone_.k)) tone_.k = 1.0f;
  }
  if (which == kTone || which == -1) {
    gt_ = pv(kTone);
    gf_ = 1.0f - gt_;
  }
  if (which == kDelay || which == -1) D_ = samplesIn(rate * pv(kDelay), Lb_);
  level_ = pv(kLevel);
  feedback_ = pv(kFeedback);
}

void qvusedelay::reset() noexcept {
  std::fill(buffer_.begin(), buffer_.begin() + Lb_, 0.0f);
  i_ = 0;
  tone_.reset();
}

float qvusedelay::process(float x) noexcept {
  if (++i_ >= D_) i_ = 0;
  const float s = buffer_[i_];
  const float a = level_ * s;
  const float w = gf_ * tone_.process(a) + gt_ * a;
  buffer_[i_] = x + feedback_ * s;
  return x + w;
}

void qvusedelay::processBlock(float* samples, int nframes) noexcept {
  float* const line = buffer_.data();
  const uint32_t d = D_;
  uint32_t i = i_;
  polefilt_1lp tone = tone_;
  const float level = level_, feedback = feedback_, gf = gf_, gt = gt_;
  for (int k = 0; k < nframes; ++k) {
    if (++i >= d) i = 0;
    const float x = samples[k];
    const float s = line[i];
    const float a = level * s;
    const float w = gf * tone.process(a) + gt * a;
    line[i] = x + feedback * s;
    samples[k] = x + w;
  }
  i_ = i;
  tone_.y = tone.y;
}
