// The clipping unit: worked values at its defaults, a knee that is continuous
// and rising for any threshold, rectify and asymmetry, and silence in giving
// silence out with the output bounded for any threshold and bias.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/unitrig.hpp"
#include "units/clipping.hpp"

namespace {
struct Clip : UnitRig<qvusclip> {
  qvusclip& clip = *unit;
};
}  // namespace

TEST(Clipping, DefaultsWorkedValues) {
  Clip c;
  const float top = 0.84f + 0.16f / 3.0f;
  const struct { float in, out, tol; } rows[] = {
      {0.1f, -0.2f, 1e-7f},    // linear region, gain 2, inverted
      {-0.1f, 0.2f, 1e-7f},
      {1.0f, -top, 1e-6f},     // gain 2 drives past 1: the ceiling
      {-1.0f, top, 1e-6f},
      {0.0f, 0.0f, 0.0f},
  };
  for (const auto& r : rows) EXPECT_NEAR(c.clip.process(r.in), r.out, r.tol) << "in " << r.in;
  EXPECT_NEAR(c.clip.process(1.0f), -0.8933333f, 1e-6f);
}

TEST(Clipping, KneeIsContinuousAndRisingForAnyThreshold) {
  Clip c;
  for (float t : {-0.5f, 0.0f, 0.3f, 0.84f, 0.99f, 1.0f}) {
    c.set(qvusclip::kThreshold, t);
    float prev = -1.0f;
    for (int k = 0; k <= 1200; ++k) {
      const float y = 1.2f * k / 1200.0f;
      const float v = c.clip.knee(y);
      ASSERT_TRUE(std::isfinite(v)) << "T " << t << " y " << y;
      EXPECT_GE(v, prev - 1e-6f) << "T " << t << " y " << y;
      if (k > 0) {
        EXPECT_LE(std::fabs(v - prev), 0.002f) << "no jump at T " << t << " y " << y;
      }
      prev = v;
    }
    EXPECT_NEAR(c.clip.knee(1.0f), c.clip.ceiling(), 1e-6f) << "the cubic meets the ceiling at 1";
    EXPECT_NEAR(c.clip.knee(2.0f), c.clip.ceiling(), 0.0f);
  }
}

TEST(Clipping, RectifyOneIsAFullWaveRectifier) {
  Clip c;
  c.set(qvusclip::kRectify, 1.0f);
  c.set(qvusclip::kGain, 0.5f);  // stay in the linear region
  for (int k = 0; k < 64; ++k) {
    const float x = std::sin(2.0f * static_cast<float>(M_PI) * k / 64.0f);
    EXPECT_NEAR(c.clip.process(x), -0.5f * std::fabs(x), 1e-6f) << "sample " << k;
  }
  c.set(qvusclip::kRectify, 0.5f);
  EXPECT_EQ(c.clip.process(-0.8f), 0.0f) << "Rectify 0.5 silences the negative half-wave";
}

// Silence in gives silence out, and the output stays bounded, for a threshold
// of zero or below and for a bias that moves the operating point into the knee.
TEST(Clipping, SilenceStaysSilentAndTheOutputBoundedForAnyThresholdAndBias) {
  Clip c;
  for (float t : {0.84f, 0.0f, -0.4f}) {
    c.set(qvusclip::kThreshold, t);
    for (float bias : {0.0f, 0.3f, 0.5f, 0.9f, 0.99f}) {
      c.set(qvusclip::kAsymBias, bias);
      EXPECT_NEAR(c.clip.process(0.0f), 0.0f, 1e-6f) << "T " << t << " bias " << bias;
      for (float x : {-2.0f, -0.3f, 0.2f, 3.0f}) {
        const float y = c.clip.process(x);
        EXPECT_TRUE(std::isfinite(y));
        EXPECT_LE(std::fabs(y), 2.0f * std::fmax(std::fabs(t), std::fabs(c.clip.ceiling())) + 1e-6f);
      }
    }
  }
  // Threshold 1: linear up to a hard clip; a bias beyond the empty knee divides by
  // nothing (1 / (1 - T)) and must not turn silence into NaN.
  c.set(qvusclip::kThreshold, 1.0f);
  c.set(qvusclip::kAsymBias, 0.0f);
  c.set(qvusclip::kGain, 1.0f);
  for (float x : {0.5f, 0.999f, 1.5f, -7.0f}) EXPECT_EQ(c.clip.process(x), -std::fmax(-1.0f, std::fmin(1.0f, x)));
  c.set(qvusclip::kAsymBias, 1.2f);
  EXPECT_EQ(c.clip.process(0.0f), 0.0f);
  c.set(qvusclip::kThreshold, 0.84f);
  c.set(qvusclip::kAsymBias, 0.0f);
  c.set(qvusclip::kAsymBoost, 1.0f);
  c.set(qvusclip::kGain, 0.1f);
  EXPECT_NEAR(c.clip.process(1.0f), -0.2f, 1e-6f) << "the boost doubles the positive half-wave";
  EXPECT_NEAR(c.clip.process(-1.0f), 0.1f, 1e-6f) << "and leaves the negative one";
}
