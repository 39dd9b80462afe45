// Clipping stage: gain and bias, optional folding of the negative half-wave, a boost
// of the positive one, linear up to a threshold, a cubic soft knee up to 1 and a hard
// ceiling beyond. Memoryless and rate independent; inverts like a gain stage and
// subtracts the static output of the bias, so silence in is silence out.
#pragma once
#include "units/stageantialias.hpp"
#include "units/qvutil.hpp"

// The transfer curve with the constants update() derives; process() and the block
// loop (on a local copy) both apply it.
struct qvclipcurve {
  float T = 0.84f;   // threshold: end of the linear region
  float r = 0;       // knee scale 1/(1 − T); unused when T ≥ 1 (no knee region)
  float h = 0;       // knee height (1 − T)/s'
  float top = 0;     // ceiling T + h
  float d = 0;       // output offset: the knee's value at the bias
  float volume = 1, boost = 0, bias = 0, gain = 2, rectify = 0;
  float fold = 1;    // 1 − 2·Rectify: scale of the negative half-wave

  // [any] The knee function for y ≥ 0: linear to T, cubic to 1, then the ceiling.
  float knee(float y) const noexcept {
    if (y <= T) return y;
    if (y <= 1.0f) {
      const float u = 1.0f - (y - T) * r;
      return T - h * (u * u * u - 1.0f);
    }
    return top;
  }
  float apply(float x) const noexcept {
    x = x * gain;
    x = x + bias;
    if (rectify > 0.0f && x < 0.0f) x = x * fold;
    float y;
    const bool negative = x < 0.0f;
    if (negative) {
      y = -x;
    } else {
      y = x + boost * x;
    }
    y = knee(y);
    if (!negative) y = -y;
    return volume * (y + d);
  }
};

class qvusclip : public qvutil {
public:
  enum Param { kVolume, kSoft, kAsymBoost, kAsymBias, kGain, kRectify, kThreshold };

  qvusclip(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override {
    if (!aa_.active()) return curve_.apply(x);
    return aa_.behind(aa_.averaging() ? aa_.averagedCurve(x) : curve_.apply(x));
  }
  void processBlock(float* samples, int nframes) noexcept override {
    if (aa_.averaging()) {
      aa_.averagedCurve(samples, nframes);
    } else {
      const qvclipcurve c = curve_;
      for (int i = 0; i < nframes; ++i) samples[i] = c.apply(samples[i]);
    }
    aa_.behind(samples, nframes);
  }
  int blocktype() const override { return kBlockClipping; }
  // [between blocks] The rate only matters to the band limit option.
  void setRateMultiplier(float factor) override;
  void reset() noexcept override { aa_.reset(); }

  // [between blocks] The rig's options for its distorting stages (off: the exact
  // per-sample stage).
  void setStageOptions(const qvstageoptions& options);
  const qvstageoptions& stageOptions() const { return aa_.options(); }
  // [between blocks] The curve, input to output, as cubic pieces (stagepieces.cpp).
  // False when the gain is 0 or negative: the curve is then constant or reversed.
  bool curvePieces(qvpiecewisecubic& out) const;

  // [any] The knee function for y ≥ 0: linear to T, cubic to 1, then the ceiling.
  float knee(float y) const noexcept { return curve_.knee(y); }
  float ceiling() const { return curve_.top; }

private:
  // The pieces and the band limit after the curve or the rate changed.
  void refreshAntialias();

  qvclipcurve curve_;
  float factor_ = 1.0f;   // rate factor: only the band limit depends on it
  qvstageantialias aa_;   // the options, the curve as pieces, the band limit
};
