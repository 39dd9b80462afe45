// Clipping stage: gain and bias, optional folding of the negative half-wave, a boost
// of the positive one, linear up to a threshold, a cubic soft knee up to 1 and a hard
// ceiling beyond. Memoryless and rate independent; inverts like a gain stage and
// subtracts the static output of the bias, so silence in is silence out.
#pragma once
#include "units/stageantialias.hpp"
#include "units/qvutil.hpp"

class qvusclip : public qvutil {
public:
  enum Param { kVolume, kSoft, kAsymBoost, kAsymBias, kGain, kRectify, kThreshold };

  qvusclip(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override;
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
  float knee(float y) const noexcept;
  float ceiling() const { return top_; }

private:
  // The exact static curve, input to output.
  float curve(float x) const noexcept;
  // The pieces and the band limit after the curve or the rate changed.
  void refreshAntialias();

  float T_ = 0.84f;  // threshold: end of the linear region
  float s_ = 3.0f;   // softness as set
  float r_ = 0;      // knee scale 1/(1 − T); unused when T ≥ 1 (no knee region)
  float h_ = 0;      // knee height (1 − T)/s'
  float top_ = 0;    // ceiling T + h
  float d_ = 0;      // output offset: the knee's value at the bias
  // Parameter values cached by update(); process() reads only these.
  float volume_ = 1, boost_ = 0, bias_ = 0, gain_ = 2, rectify_ = 0;
  float fold_ = 1;   // 1 − 2·Rectify: scale of the negative half-wave
  float n_ = 1.0f;          // rate factor: only the band limit depends on it
  qvstageantialias aa_;     // the options, the curve as pieces, the band limit
};
