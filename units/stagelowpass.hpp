// Band limit behind a distorting stage that runs oversampled: a second-order
// Butterworth low-pass at kStageLowpass_hz, like the capacitance that rolls off
// every real gain stage far above the audio band. The next stage then distorts
// less ultrasonic content, which at 4× oversampling would otherwise fold back
// into the audible band. Double precision, direct form I.
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
    const double in = x;
    // The inputs' terms and the older output first: each output then waits on
    // the last one through a multiply and a subtraction only.
    const double y = ((b0_ * in + b1_ * x1_ + b0_ * x2_) - a2_ * y2_) - a1_ * y1_;  // b2 = b0
    x2_ = x1_;
    x1_ = in;
    y2_ = y1_;
    y1_ = y;
    return static_cast<float>(y);
  }
  void reset() noexcept { x1_ = x2_ = y1_ = y2_ = 0.0; }

private:
  bool active_ = false;
  double b0_ = 1, b1_ = 0, a1_ = 0, a2_ = 0;  // normalised by a0
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;  // direct form I: the last inputs and outputs
};
