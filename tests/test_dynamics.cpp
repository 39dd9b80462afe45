// Gate and compressor: the gate's squared threshold and hysteresis band, the
// compressor's make-up and ratio gains against their formulas, and degenerate
// settings that stay finite.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/unitrig.hpp"
#include "units/dynamics.hpp"

namespace {
using Gate = UnitRig<qvusgate>;
using Comp = UnitRig<qvuscomp>;
}  // namespace

TEST(Gate, ThresholdZeroPassesAndLeavesTheStatesAlone) {
  Gate g;
  for (int k = 0; k < 1000; ++k) {
    const float x = std::sin(k * 0.37f) * (k % 7);
    ASSERT_EQ(g.unit->process(x), x);
  }
  EXPECT_EQ(g.unit->follower().L, 0.0f);
  EXPECT_FALSE(g.unit->follower().open);
}

// Threshold 0.5: open at 0.25, close at 0.2125; in between the gain is linear and
// the open state holds whichever way it was last set.
TEST(Gate, OpensAboveTheSquaredThresholdAndShutsBelowTheBand) {
  const struct { float level, gain; bool open; } rows[] = {
      {0.3f, 1.0f, true}, {0.26f, 1.0f, true}, {0.23f, (0.23f - 0.2125f) / 0.0375f, false},
      {0.2f, 0.0f, false}, {0.01f, 0.0f, false},
  };
  for (const auto& r : rows) {
    Gate g;
    g.set(qvusgate::kThreshold, 0.5f);
    EXPECT_NEAR(g.settle(r.level, 48000), r.gain, 1e-4f) << "level " << r.level;
    EXPECT_EQ(g.unit->follower().open, r.open) << "level " << r.level;
  }
  Gate g;
  g.set(qvusgate::kThreshold, 0.5f);
  const struct { float level; bool open; } walk[] = {{0.3f, true}, {0.22f, true}, {0.2f, false}, {0.24f, false}};
  for (const auto& w : walk) {
    g.settle(w.level, 48000);
    EXPECT_EQ(g.unit->follower().open, w.open) << "after " << w.level;
  }
}

TEST(Dynamics, DegenerateTimesAndRatesStayFinite) {
  for (float fs : {48000.0f, 0.0f}) {
    Gate g(fs);
    g.set(qvusgate::kTrigCoef, 0.0f);  // coef(0) would be NaN
    g.set(qvusgate::kAttack, -0.01f);  // Attack + 0.01 = 0, through an edited range
    g.set(qvusgate::kThreshold, 0.5f);
    for (int k = 0; k < 100; ++k) ASSERT_TRUE(std::isfinite(g.unit->process(0.4f))) << fs;
    EXPECT_FLOAT_EQ(g.unit->process(0.4f), 0.4f) << "a zero time follows at once";
    Comp c(fs);
    c.set(qvuscomp::kTrigCoef, 0.0f);
    for (int k = 0; k < 1000; ++k) ASSERT_TRUE(std::isfinite(c.unit->process(0.9f))) << fs;
  }
}

TEST(Compressor, SilenceGivesSilenceAndQuietInputAFixedMakeUpGain) {
  Comp c;
  c.set(qvuscomp::kDrive, 50.0f);
  c.set(qvuscomp::kThreshold, 0.0f);
  for (int k = 0; k < 1000; ++k) ASSERT_EQ(c.unit->process(0.0f), 0.0f);
  for (float drive : {0.5f, 1.0f, 3.0f}) {
    Comp d;
    d.set(qvuscomp::kThreshold, 0.5f);
    d.set(qvuscomp::kDrive, drive);
    for (int k = 0; k < 48000; ++k) {
      const float x = 0.05f * std::sin(k * 0.01f);
      ASSERT_EQ(d.unit->process(x), 1.5f * (x * drive)) << "drive " << drive << " sample " << k;
    }
  }
}

TEST(Compressor, LoudSteadyInputSettlesAtTheRatioGain) {
  const struct { float threshold, ratio, drive, amplitude; } rows[] = {
      {0.1f, 0.3f, 1.0f, 1.0f},   // defaults
      {0.4f, 0.5f, 2.0f, 0.6f},   // drive lifts the level past 1
      {0.8f, 0.9f, 10.0f, 0.5f},
      {0.0001f, 0.9f, 1.0f, 2.0f},
  };
  for (const auto& r : rows) {
    Comp c;
    c.set(qvuscomp::kThreshold, r.threshold);
    c.set(qvuscomp::kRatio, r.ratio);
    c.set(qvuscomp::kDrive, r.drive);
    const float gain = c.settle(r.amplitude, 96000) / r.drive;
    EXPECT_NEAR(gain, 1.5f - (1.0f - r.threshold) * r.ratio, 1e-4f) << "threshold " << r.threshold;
  }
}
