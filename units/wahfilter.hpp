// Resonant filter units on the pole filters: the static Filter (input and output
// band limiters of the amplifiers) and the Auto Wah, whose corner follows the playing
// level through an envelope follower. Both pick order and kind from stepped
// parameters, replace the filter when either changes, and mix in the dry input.
#pragma once
#include <cstdint>

#include "units/envelope.hpp"
#include "units/polefilters.hpp"
#include "units/qvutil.hpp"

// What both units share: the filter of the chosen order and kind, and the mix.
struct qvwahcore {
  qvlist<qvfiltgen> filters;    // holds the current filter as its only entry
  qvfiltgen* filter = nullptr;  // that entry, for the per-sample path
  int32_t poles = 0;            // the filter's class: 1, 2 or 4 poles (0 before the first)
  float gw = 1.0f;              // wet gain, 1 − Dry
  float gd = 0.0f;              // dry gain, Dry
  int32_t k = -1;               // filter kind in use
  int32_t o = -1;               // filter order in use

  // [between blocks] Clears `initialised` when kind or order changed; while it is
  // clear, starts the filter afresh (zero state; a new object only when the order
  // needs another class) and tunes it for rate fs · n. Returns true when it did.
  bool choose(int32_t kind, int32_t order, float fs, float cutoff_hz, float reso, float n,
              bool& initialised);
  // [audio] Wet/dry mix of the filtered sample y with the input x.
  float mix(float y, float x) const noexcept { return gd != 0.0f ? gw * y + gd * x : y; }
};

class qvusewah : public qvutil {
public:
  enum Param { kDry, kCutoff, kReso, kFilterCon, kFilterOrd };

  qvusewah(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override { return core_.mix(core_.filter->process(x), x); }
  void processBlock(float* samples, int nframes) noexcept override;
  // Pairs with a following Filter (band limiters come in pairs).
  bool processPairBlock(qvutil& next, float* samples, int nframes) noexcept override;
  int blocktype() const override { return kBlockFilter; }
  void reset() noexcept override {
    if (core_.filter) core_.filter->reset();
  }

  // [between blocks] The filter in use (null before the first update).
  const qvfiltgen* filter() const { return core_.filter; }

private:
  qvwahcore core_;
};

class qvusewahplus : public qvutil {
public:
  enum Param { kDry, kCutoff, kReso, kFilterCon, kFilterOrd, kDrive, kAttack, kWidth };

  qvusewahplus(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override;
  void processBlock(float* samples, int nframes) noexcept override;
  int blocktype() const override { return kBlockAutoWah; }
  // The corner is swept back from the rested envelope at the next sample.
  void reset() noexcept override {
    if (core_.filter) core_.filter->reset();
    env_.reset();
    untilSweep_ = 0;
  }

  const qvfiltgen* filter() const { return core_.filter; }
  const qvenvfollow& follower() const { return env_; }
  // [between blocks] The swept corner in force, Hz (before the rate factor).
  float lastCorner() const { return corner_; }
  // The envelope moves every sample; the filter follows it every other one (each
  // new corner is a full biquad design, and the envelope barely moves in between;
  // every fourth sample, the corner's steps showed in the folded products).
  static constexpr int kSweepPeriod = 2;

private:
  template <class F>
  void sweep(F& f, float* samples, int nframes) noexcept;

  qvwahcore core_;
  qvenvfollow env_;
  // Parameter values cached by update(); process() reads only these.
  float cutoff_ = 330, reso_ = 18, drive_ = 2, width_ = 1500;
  float corner_ = 330;  // swept corner in force, Hz
  int untilSweep_ = 0;  // samples until the corner next follows the envelope
};
