// Tube gain stage: gain into one of eight tube transfer curves (or a linear one),
// a bias that moves the operating point, and three level-driven effects from an
// envelope follower: sag (more drive in, less level out), shift (operating point
// drifting with level) and cross (crossover distortion around zero). Inverts.
#pragma once
#include "units/envelope.hpp"
#include "units/stageantialias.hpp"
#include "units/qvutil.hpp"
#include "units/tubecurves.hpp"

class qvustubea : public qvutil {
public:
  enum Param { kVolume, kGain, kBias, kEnvAt, kSag, kShift, kCross, kMode };

  qvustubea(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) override;
  int blocktype() const override { return kBlockTubeGain; }
  void setRateMultiplier(float factor) override;
  void reset() noexcept override {
    env_.reset();
    aa_.reset();
  }

  // [between blocks] The rig's options for its distorting stages (off: the exact
  // per-sample stage).
  void setStageOptions(const qvstageoptions& options);
  const qvstageoptions& stageOptions() const { return aa_.options(); }

  const qvtubecurve& curve() const { return curve_; }
  const qvenvfollow& follower() const { return env_; }

private:
  // The curve at x: exact, or its mean since the previous input with the option on.
  float curveAt(float x) noexcept;

  float n_ = 1.0f;            // rate factor of the oversampled range
  qvenvfollow env_;
  bool initialised_ = false;  // release/level coefficients computed for n_
  bool dynamic_ = false;      // any of sag, shift, cross active
  qvtubecurve curve_;
  float envScale_ = 0.4f;     // envelope input scale
  float xc_ = 0;              // cross offset, −Cross
  float xk_ = 0;              // knee(xc_): keeps the crossover through zero
  // Parameter values cached by update(); process() reads only these.
  float volume_ = 1, gain_ = 1, sag_ = 0, shift_ = 0, cross_ = 0;
  qvstageantialias aa_;       // the options, the curve as pieces, the band limit
};

// Crossover knee: a for a ≥ 0, a + a²/2 on (−1, 0), −0.5 from −1 down.
float crossKnee(float a);
