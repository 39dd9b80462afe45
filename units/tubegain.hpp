// Tube gain stage: gain into one of eight tube transfer curves (or a linear one),
// a bias that moves the operating point, and three level-driven effects from an
// envelope follower: sag (more drive in, less level out), shift (operating point
// drifting with level) and cross (crossover distortion around zero). Inverts.
#pragma once
#include "units/envelope.hpp"
#include "units/qvutil.hpp"
#include "units/stageantialias.hpp"
#include "units/tubecurves.hpp"

// Crossover knee: a for a ≥ 0, a + a²/2 on (−1, 0), −0.5 from −1 down.
inline float crossKnee(float a) noexcept {
  if (a >= 0.0f) return a;
  if (a > -1.0f) return a + 0.5f * a * a;
  return -0.5f;
}

// What update() derives from the parameters; process() reads only these.
struct qvtubesettings {
  bool dynamic = false;  // any of sag, shift, cross active
  float envScale = 0.4f; // envelope input scale
  float xc = 0;          // cross offset, −Cross
  float xk = 0;          // crossKnee(xc): keeps the crossover through zero
  float volume = 1, gain = 1, sag = 0, shift = 0, cross = 0;
};

class qvustubea : public qvutil {
public:
  enum Param { kVolume, kGain, kBias, kEnvAt, kSag, kShift, kCross, kMode };

  qvustubea(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override {
    if (!aa_.active()) return stage(curve_, k_, env_, x);
    return aa_.behind(stage(averaged{curve_, aa_}, k_, env_, x));
  }
  void processBlock(float* samples, int nframes) noexcept override;
  int blocktype() const override { return kBlockTubeGain; }
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
  // The curve with the antiderivative option: its mean since the previous input
  // while averaging, the exact curve otherwise.
  struct averaged {
    const qvtubecurve& curve;
    qvstageantialias& aa;
    float evaluate(float x) const noexcept { return aa.averaging() ? aa.averagedCurve(x) : curve.evaluate(x); }
  };

  // One sample through the stage: process() runs it on the members, the block
  // loop on local copies. Curve is a qvtubecurve, or averaged while an option is on.
  template <class Curve>
  static float stage(const Curve& curve, const qvtubesettings& k, qvenvfollow& env, float x) noexcept {
    x = x * k.gain;
    float y;
    if (!k.dynamic) {
      y = curve.evaluate(x);
    } else {
      const float e = env.follow(k.envScale * x);
      const double s = static_cast<double>(k.sag) * e;
      x = static_cast<float>(x * (1.0 + s));
      x = x - k.shift * e;
      y = curve.evaluate(x);
      if (k.cross != 0.0f) {
        const float sign = y >= 0.0f ? 1.0f : -1.0f;
        const float a = (y >= 0.0f ? y : -y) + k.xc;
        y = sign * (crossKnee(a) - k.xk);
      }
      float g = static_cast<float>(1.0 - 0.65 * s);
      if (g < 0.0f) g = 0.0f;
      y = g * y;
    }
    return -k.volume * y;
  }

  // The block operation with the envelope and the antiderivative option on, for
  // runs of up to kDynamicRun samples.
  static constexpr int kDynamicRun = 64;
  void averagedDynamic(float* samples, int n) noexcept;

  qvenvfollow env_;
  qvtubecurve curve_;
  qvtubesettings k_;
  qvstageantialias aa_;  // the options, the curve as pieces, the band limit
};
