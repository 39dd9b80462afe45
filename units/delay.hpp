// Echo: a feedback delay line of up to three seconds. Echoes pass a one-pole
// low-pass (fixed 1700 Hz corner) on their way out, mixed with the unfiltered echo
// by Tone; the feedback path re-circulates the unfiltered delayed sample. The dry
// signal always passes at unity.
#pragma once
#include <cstdint>
#include <vector>

#include "units/polefilters.hpp"
#include "units/qvutil.hpp"

class qvusedelay : public qvutil {
public:
  enum Param { kLevel, kDelay, kFeedback, kTone };

  qvusedelay(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override;
  void processBlock(float* samples, int nframes) noexcept override;
  int blocktype() const override { return kBlockDelay; }
  // Clears the line as far as it is in use (up to three seconds at the effective rate).
  void reset() noexcept override;

  uint32_t delayLength() const { return D_; }
  uint32_t bufferLength() const { return Lb_; }

private:
  // The buffer is sized and cleared only when the rate changes (update with the flag
  // clear); process() reads and writes within [0, D) with 1 ≤ D ≤ Lb ≤ size.
  std::vector<float> buffer_;
  uint32_t Lb_ = 1;           // used length: three seconds at the effective rate
  uint32_t D_ = 1;            // delay, samples
  uint32_t i_ = 0;            // read/write index
  polefilt_1lp tone_;         // low-pass on the echo path
  float gt_ = 1.0f;           // share of the unfiltered echo, Tone
  float gf_ = 0.0f;           // share of the low-passed echo, 1 − Tone
  // Parameter values cached by update(); process() reads only these.
  float level_ = 0, feedback_ = 0;
};
