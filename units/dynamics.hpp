// Dynamics units. The noise gate: a smoothed rectifier drives a gain that is fully
// open above the squared threshold, falls linearly over the band down to 0.85 of it
// and shuts below; it also serves as the chain's input gate. The compressor: the
// shared envelope follower pulls a fixed 1.5x make-up gain down above its threshold.
#pragma once
#include <cmath>

#include "units/envelope.hpp"
#include "units/qvutil.hpp"

// The gate's own follower: unlike the shared envelope follower it smooths the plain
// rectified level and its output is a gain between 0 and 1, not an envelope.
struct qvgatefollow {
  float attack = 0;   // gain coefficient while open
  float release = 0;  // gain coefficient while closed
  float level = 0;    // coefficient of the level smoother
  float to = 0;       // open threshold, Threshold²
  float tc = 0;       // close threshold, 0.85·to
  float r = 0;        // width of the closing band, to − tc
  float L = 0;        // smoothed level
  float V = 0;        // gain
  bool open = false;  // above to: attack speed; cleared only below tc

  // [audio] Gain for sample x; advances the states. With no positive threshold it
  // returns x itself and changes nothing.
  float gatefollow(float x) noexcept;
  // [audio] Level and gain back to rest.
  void reset() noexcept {
    L = V = 0;
    open = false;
  }
};

inline float qvgatefollow::gatefollow(float x) noexcept {
  if (!(to > 0.0f)) return x;
  const float a = std::fabs(x);
  if (L <= 1e-25f) L = 0.0f;
  L = L + (a - L) * level;
  float target;
  if (L > to) {
    target = 1.0f;
    open = true;
  } else {
    target = (L - tc) / r;
    if (target < 0.0f) {
      target = 0.0f;
      open = false;
    }
  }
  const float c = open ? attack : release;
  if (V <= 1e-25f) V = 0.0f;
  V = V + (target - V) * c;
  return V;
}

class qvusgate : public qvutil {
public:
  enum Param { kThreshold, kAttack, kRelease, kTrigCoef };

  qvusgate(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override;
  void processBlock(float* samples, int nframes) noexcept override;
  int blocktype() const override { return kBlockGate; }
  void reset() noexcept override { gf_.reset(); }

  const qvgatefollow& follower() const { return gf_; }

private:
  qvgatefollow gf_;
};

// [between blocks] coef(T) for a dynamics smoother, kept usable: a zero or negative
// time (reachable through edited ranges) or a zero sample rate makes the formula NaN
// or negative, which would stick in the recursive states; such a time follows at once.
float smootherCoef(float seconds, float rateFactor, float sampleRate);

class qvuscomp : public qvutil {
public:
  enum Param { kThreshold, kAttack, kRelease, kTrigCoef, kRatio, kDrive };

  qvuscomp(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override { return squeeze(env_, drive_, x); }
  void processBlock(float* samples, int nframes) noexcept override;
  int blocktype() const override { return kBlockCompression; }
  void reset() noexcept override { env_.reset(); }

  const qvenvfollow& follower() const { return env_; }

private:
  static float squeeze(qvenvfollow& env, float drive, float x) noexcept {
    x = x * drive;
    const float e = env.follow(x);
    return (1.5f - e) * x;
  }

  qvenvfollow env_;           // gain = Ratio, open at Threshold, close at half of it
  float drive_ = 1.0f;        // input gain, cached for process()
};
