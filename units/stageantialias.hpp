// What a distorting stage (tube gain, clipping) needs for its anti-aliasing
// options (units/stageoptions.hpp): its static curve as cubic pieces with the
// antiderivative state that averages it, and the band limit behind the stage.
// The stage supplies the pieces and the rate; everything else is here.
#pragma once
#include "units/piecewisecubic.hpp"
#include "units/stagelowpass.hpp"
#include "units/stageoptions.hpp"

class qvstageantialias {
public:
  // [between blocks] New options; false when they are the ones in force (the
  // stage then keeps its history). After true: refresh(), then restart().
  bool setOptions(const qvstageoptions& options) {
    if (options == options_) return false;
    options_ = options;
    useAdaa_ = false;
    return true;
  }
  const qvstageoptions& options() const { return options_; }

  // [between blocks] After the stage's curve or rate changed. build(pieces) fills
  // the pieces and returns false when the curve has none (the exact curve plays).
  template <class Build>
  void refresh(Build&& build, double rate_hz) {
    if (options_.antiderivative > 0) {
      useAdaa_ = build(pieces_);
      adaa_.follow(pieces_);
    }
    lowpass_.setRate(rate_hz);
    useLowpass_ = options_.lowpass && lowpass_.active();
  }
  // [between blocks] After new options: the history starts from silence.
  void restart() noexcept {
    adaa_.setOrder(options_.antiderivative, pieces_);
    lowpass_.reset();
  }
  // [audio] Clears the running state.
  void reset() noexcept {
    adaa_.reset(pieces_);
    lowpass_.reset();
  }

  // [audio] True while any option changes the stage: its exact fast path is off.
  bool active() const { return useAdaa_ || useLowpass_; }
  // [audio] True while the stage must take its curve from averagedCurve().
  bool averaging() const { return useAdaa_; }
  float averagedCurve(float x) noexcept { return static_cast<float>(adaa_.process(pieces_, x)); }
  // [audio] averagedCurve() of n inputs in place.
  void averagedCurve(float* samples, int n) noexcept { adaa_.process(pieces_, samples, n); }
  // [audio] The stage's output through the band limit, when it runs.
  float behind(float y) noexcept { return useLowpass_ ? lowpass_.process(y) : y; }
  // [audio] behind() of n outputs in place.
  void behind(float* samples, int n) noexcept {
    if (!useLowpass_) return;
    for (int i = 0; i < n; ++i) samples[i] = lowpass_.process(samples[i]);
  }

private:
  qvstageoptions options_;
  bool useAdaa_ = false;     // antiderivative on, and the curve has pieces
  bool useLowpass_ = false;  // band limit on, and the rate leaves it room
  qvpiecewisecubic pieces_;  // the curve, rebuilt by refresh() while averaging
  qvantiderivative adaa_;
  qvstagelowpass lowpass_;
};
