// Delay and buffer units: the echo train against feedback powers, the tone's
// one-pole on the echo, the three-second limit, rate changes, degenerate lengths.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/unitrig.hpp"
#include "units/buffer.hpp"
#include "units/delay.hpp"
#include "units/unitfactory.hpp"

namespace {
struct Echo : UnitRig<qvusedelay> {
  explicit Echo(float fs = 44100.0f, float n = 1.0f) : UnitRig(fs, n) {}
  // Output for a unit impulse followed by silence.
  std::vector<float> impulse(int samples) {
    std::vector<float> out(static_cast<size_t>(samples));
    for (int k = 0; k < samples; ++k) out[size_t(k)] = run(k == 0 ? 1.0f : 0.0f);
    return out;
  }
};
constexpr int kEchoSamples = 15876;  // the default 0.36 s at 44.1 kHz
}  // namespace

TEST(Delay, EchoTrainEveryDelayScaledByFeedback) {
  Echo e;
  e.set(qvusedelay::kLevel, 0.5f);
  e.set(qvusedelay::kFeedback, 0.5f);
  const std::vector<float> out = e.impulse(4 * kEchoSamples + 1);
  float expected = 0.5f;
  for (int k = 0; k < int(out.size()); ++k) {
    if (k == 0) {
      ASSERT_EQ(out[k], 1.0f) << "the dry signal passes at unity";
    } else if (k % kEchoSamples == 0) {
      ASSERT_FLOAT_EQ(out[k], expected) << "echo " << k / kEchoSamples;
      expected *= 0.5f;
    } else {
      ASSERT_EQ(out[k], 0.0f) << "sample " << k;
    }
  }
  Echo dry;
  dry.set(qvusedelay::kLevel, 0.0f);
  for (int k = 0; k < 40000; ++k) ASSERT_EQ(dry.run(std::sin(k * 0.1f)), std::sin(k * 0.1f)) << "level 0";
}

TEST(Delay, ToneZeroLowPassesTheEcho) {
  Echo e;
  e.set(qvusedelay::kTone, 0.0f);
  e.set(qvusedelay::kFeedback, 0.0f);
  const std::vector<float> out = e.impulse(kEchoSamples + 200);
  // Impulse response of the one-pole low-pass at 1700 Hz: k·(1 − k)^j, times Level.
  const double k = 1700.0 / 22050.0;
  for (int j = 0; j < 200; ++j)
    ASSERT_NEAR(out[kEchoSamples + j], 0.25 * k * std::pow(1.0 - k, j), 1e-6) << "j " << j;
  for (int j = 1; j < kEchoSamples; ++j) ASSERT_NEAR(out[j], 0.0f, 1e-12f);
}

TEST(Delay, LengthsHeldAtThreeSecondsAndRescaledWithTheRate) {
  Echo e;
  e.set(qvusedelay::kDelay, 5.0f);
  EXPECT_EQ(e.unit->delayLength(), 132300u);
  EXPECT_EQ(e.unit->delayLength(), e.unit->bufferLength());
  EXPECT_FLOAT_EQ(e.impulse(132301)[132300], 0.25f);

  Echo r;
  r.impulse(100);  // the impulse sits in the line
  r.unit->setRateMultiplier(2.0f);
  EXPECT_EQ(r.unit->delayLength(), 2u * kEchoSamples);
  for (int k = 0; k < 2 * kEchoSamples; ++k) ASSERT_EQ(r.run(0.0f), 0.0f) << "cleared, at " << k;
  EXPECT_FLOAT_EQ(r.impulse(2 * kEchoSamples + 1)[2 * kEchoSamples], 0.25f) << "same time at twice the rate";
}

TEST(Delay, DegenerateLengthsStayInsideTheBuffer) {
  const struct { float fs, n, delaySeconds; } rows[] = {
      {0.0f, 1.0f, 0.36f},  // no sample rate yet
      {44100.0f, 1.0f, 0.0f}, {44100.0f, 1.0f, -1.0f}, {44100.0f, 0.0f, 0.36f}, {44100.0f, 1.0f, NAN},
  };
  for (const auto& r : rows) {
    Echo e(r.fs, r.n);
    e.set(qvusedelay::kDelay, r.delaySeconds);
    EXPECT_GE(e.unit->delayLength(), 1u);
    EXPECT_LE(e.unit->delayLength(), e.unit->bufferLength());
    for (int k = 0; k < 1000; ++k) ASSERT_TRUE(std::isfinite(e.run(k == 0 ? 1.0f : 0.3f)));
  }
  qvprocstate st;
  EXPECT_EQ(qvusedelay(st, false).process(0.5f), 0.5f) << "the loader has not filled it yet";
}

TEST(Buffer, NewBlockIsSilentUntilItsVolumeMoves) {
  qvprocstate st;
  auto unit = createUnit(kBlockBuffer, st, true, true);
  EXPECT_EQ(unit->process(0.7f), 0.0f);
  const struct { float fpos, volume; } rows[] = {{0.75f, 0.5f}, {1.0f, 1.0f}, {0.0f, -1.0f}, {0.25f, -0.5f}};
  for (const auto& r : rows) {
    unit->params[qvusebuffer::kVolume]->setNormalized(r.fpos);
    unit->update(qvusebuffer::kVolume);
    EXPECT_EQ(unit->process(0.7f), r.volume * 0.7f) << "position " << r.fpos;
  }
}
