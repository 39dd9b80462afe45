#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "units/buffer.hpp"
#include "units/delay.hpp"
#include "units/unitfactory.hpp"

namespace {
struct Echo {
  qvprocstate st;
  qvusedelay delay{st, true};
  explicit Echo(float fs = 44100.0f, float n = 1.0f) {
    st.sampleRate = fs;
    delay.setRateMultiplier(n);
  }
  void set(int i, float value) { delay.params[i]->setValue(value); delay.update(i); }
  // Output for a unit impulse followed by silence.
  std::vector<float> impulse(int samples) {
    std::vector<float> out(samples);
    for (int k = 0; k < samples; ++k) out[k] = delay.process(k == 0 ? 1.0f : 0.0f);
    return out;
  }
};
constexpr int kEchoSamples = 15876;  // 0.36 s at 44.1 kHz
}  // namespace

TEST(Delay, EchoTrainEveryDelayScaledByFeedback) {
  Echo e;
  e.set(qvusedelay::kLevel, 0.5f);
  e.set(qvusedelay::kFeedback, 0.5f);
  ASSERT_EQ(e.delay.delayLength(), static_cast<uint32_t>(kEchoSamples));
  const std::vector<float> out = e.impulse(4 * kEchoSamples + 1);
  float expected = 0.5f;
  for (int k = 0; k < static_cast<int>(out.size()); ++k) {
    if (k == 0) {
      ASSERT_EQ(out[k], 1.0f) << "the dry signal passes at unity";
    } else if (k % kEchoSamples == 0) {
      ASSERT_FLOAT_EQ(out[k], expected) << "echo " << k / kEchoSamples;
      expected *= 0.5f;
    } else {
      ASSERT_EQ(out[k], 0.0f) << "sample " << k;
    }
  }
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

TEST(Delay, DelayBeyondThreeSecondsIsHeldAtThree) {
  Echo e;
  e.set(qvusedelay::kDelay, 5.0f);
  EXPECT_EQ(e.delay.delayLength(), 132300u);
  EXPECT_EQ(e.delay.delayLength(), e.delay.bufferLength());
  const std::vector<float> out = e.impulse(132301);
  EXPECT_EQ(out[132299], 0.0f);
  EXPECT_FLOAT_EQ(out[132300], 0.25f);
}

TEST(Delay, LevelZeroPassesTheInput) {
  Echo e;
  e.set(qvusedelay::kLevel, 0.0f);
  for (int k = 0; k < 40000; ++k) {
    const float x = std::sin(k * 0.1f);
    ASSERT_EQ(e.delay.process(x), x);
  }
}

TEST(Delay, RateChangeResizesAndClears) {
  Echo e;
  e.impulse(100);  // the impulse sits in the line
  e.delay.setRateMultiplier(2.0f);
  EXPECT_EQ(e.delay.bufferLength(), 264600u);
  EXPECT_EQ(e.delay.delayLength(), 2u * kEchoSamples);
  for (int k = 0; k < 2 * kEchoSamples; ++k) ASSERT_EQ(e.delay.process(0.0f), 0.0f) << k;
  const std::vector<float> out = e.impulse(2 * kEchoSamples + 1);
  EXPECT_FLOAT_EQ(out[2 * kEchoSamples], 0.25f) << "same time at twice the rate";
}

TEST(Delay, DegenerateLengthsStayInsideTheBuffer) {
  const struct { float fs, n, delaySeconds; } rows[] = {
      {0.0f, 1.0f, 0.36f},      // no sample rate yet
      {44100.0f, 1.0f, 0.0f},   // a zero delay through an edited range
      {44100.0f, 1.0f, -1.0f},
      {44100.0f, 0.0f, 0.36f},  // a zero rate factor
      {44100.0f, 1.0f, NAN},
  };
  for (const auto& r : rows) {
    Echo e(r.fs, r.n);
    e.set(qvusedelay::kDelay, r.delaySeconds);
    EXPECT_GE(e.delay.delayLength(), 1u);
    EXPECT_LE(e.delay.delayLength(), e.delay.bufferLength());
    for (int k = 0; k < 1000; ++k) ASSERT_TRUE(std::isfinite(e.delay.process(k == 0 ? 1.0f : 0.3f)));
  }
  qvprocstate st;
  qvusedelay bare(st, false);  // loader has not filled it yet
  EXPECT_EQ(bare.process(0.5f), 0.5f);
}

TEST(Buffer, NewBlockIsSilentUntilItsVolumeMoves) {
  qvprocstate st;
  auto unit = createUnit(kBlockBuffer, st, true, true);
  ASSERT_TRUE(unit);
  EXPECT_EQ(unit->process(0.7f), 0.0f);
  const struct { float fpos, volume; } rows[] = {{0.75f, 0.5f}, {1.0f, 1.0f}, {0.0f, -1.0f}, {0.25f, -0.5f}};
  for (const auto& r : rows) {
    unit->params[qvusebuffer::kVolume]->setNormalized(r.fpos);
    unit->update(qvusebuffer::kVolume);
    EXPECT_EQ(unit->process(0.7f), r.volume * 0.7f) << "position " << r.fpos;
  }
}
