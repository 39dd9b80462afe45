// Band limit behind a distorting stage that runs oversampled: a second-order
// Butterworth low-pass at kStageLowpass_hz, like the capacitance that rolls off
// every real gain stage far above the audio band. The next stage then distorts
// less ultrasonic content, which at 4× oversampling would otherwise fold back
// into the audible band. Double precision, direct form II transposed.
#pragma once

class qvstagelowpass {
public:
  static constexpr double kCorner_hz = 30000.0;
  // Below this rate the corner would crowd the Nyquist frequency: the stage is
  // then left as it is.
  static constexpr double kMinRate_hz = 2.5 * kCorner_hz;

  // [between blocks] For a stage running at rate_hz; off below kMinRate_hz.
  void setRate(double rate_hz);
  bool active() const { return active_; }
  // [audio]
  float process(float x) noexcept {
    const double y = b0_ * x + s1_;
    s1_ = b1_ * x - a1_ * y + s2_;
    s2_ = b0_ * x - a2_ * y;  // b2 = b0 for a low-pass
    return static_cast<float>(y);
  }
  void reset() noexcept { s1_ = s2_ = 0.0; }

private:
  bool active_ = false;
  double b0_ = 1, b1_ = 0, a1_ = 0, a2_ = 0;  // normalised by a0
  double s1_ = 0, s2_ = 0;                    // transposed direct-form-II state
};
