// The distorting stages' anti-aliasing options: their static curves as cubic
// pieces with exact antiderivatives, the weighted means of the curve that
// antiderivative anti-aliasing of order 1 and 2 plays, the band limit behind an
// oversampled stage, and that each option leaves the exact stage alone while off.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "freqresp.hpp"
#include "units/clipping.hpp"
#include "units/stagepieces.hpp"
#include "units/tubegain.hpp"

namespace {
struct Tube {
  qvprocstate st;
  qvustubea unit{st, true};
  explicit Tube(float mode = 1, float gain = 1, float bias = 0, float rateFactor = 1) {
    st.sampleRate = 48000.0f;
    unit.setRateMultiplier(rateFactor);
    set(qvustubea::kMode, mode);
    set(qvustubea::kGain, gain);
    set(qvustubea::kBias, bias);
  }
  void set(int i, float v) { unit.params[i]->setValue(v); unit.update(i); }
};

// Clipping settings: Volume, Soft, Asym Boost, Asym Bias, Gain, Rectify, Threshold.
struct ClipCase {
  float p[7];
};
const ClipCase kClipCases[] = {
    {{1, 3, 0, 0, 2, 0, 0.84f}},       // the defaults
    {{1.2f, 2, 0, 0, 20, 0, 0.5f}},    // a hard distortion pedal
    {{1, 4, 0, 0, 8, 1, 0.6f}},        // full-wave rectifier (octave up)
    {{1, 4, 0, 0, 8, 0.5f, 0.6f}},     // negative half-wave silenced
    {{0.7f, 1, 0.5f, 0.2f, 5, 0.3f, 0.7f}},  // asymmetric boost, bias, partial fold
    {{1, 0, 0, 0.9f, 3, 0, 0.4f}},     // soft 0 reads as 100; bias above the threshold
    {{1, 3, 0, 0, 2, 0, 1.0f}},        // threshold 1: linear, then a hard ceiling
};

struct Clip {
  qvprocstate st;
  qvusclip unit{st, true};
  explicit Clip(const ClipCase& c, float rateFactor = 1) {
    st.sampleRate = 48000.0f;
    for (int i = 0; i < 7; ++i) unit.params[i]->setValue(c.p[i]);
    unit.update(-1);
    unit.setRateMultiplier(rateFactor);
  }
};

// ∫ of f·w over [a, b] by composite Simpson on 4000 intervals.
template <class F, class W>
double integrate(F&& f, W&& w, double a, double b) {
  const int n = 4000;
  const double h = (b - a) / n;
  double s = f(a) * w(a) + f(b) * w(b);
  for (int i = 1; i < n; ++i) s += (i % 2 ? 4.0 : 2.0) * f(a + i * h) * w(a + i * h);
  return s * h / 3.0;
}

// What order 1 must play: the mean of f over [a, b]; f(a) when a = b.
template <class F>
double boxMean(F&& f, double a, double b) {
  if (a == b) return f(a);
  return integrate(f, [](double) { return 1.0; }, std::min(a, b), std::max(a, b)) / std::fabs(b - a);
}

// What order 2 must play: f weighted by the hat (the linear B-spline) over three
// distinct inputs, rising from the smallest to the middle one and falling to the
// largest, with unit area.
template <class F>
double hatMean(F&& f, double x0, double x1, double x2) {
  double k[3] = {x0, x1, x2};
  std::sort(k, k + 3);
  const double span = k[2] - k[0];
  auto up = [&](double x) { return 2.0 * (x - k[0]) / (span * (k[1] - k[0])); };
  auto down = [&](double x) { return 2.0 * (k[2] - x) / (span * (k[2] - k[1])); };
  return integrate(f, up, k[0], k[1]) + integrate(f, down, k[1], k[2]);
}

// Share (dB) of the energy of one exactly periodic run (a whole number of the
// tone's cycles in y) that lies off the tone's harmonics below a quarter of the
// rate: aliases only, no leakage. Harmonics folded from just above the Nyquist
// frequency land higher up; those far above it land here, where an averaging
// stage must have removed most of them.
double aliasShareDb(const std::vector<float>& y, int cycles) {
  const size_t n = y.size();
  double total = 0, alias = 0;
  for (size_t k = 1; k <= n / 2; ++k) {
    std::complex<double> acc = 0;
    for (size_t i = 0; i < n; ++i)
      acc += static_cast<double>(y[i]) *
             std::polar(1.0, -2.0 * freqresp::kPi * static_cast<double>((k * i) % n) / n);
    const double e = std::norm(acc);
    total += e;
    if (k < n / 4 && k % static_cast<size_t>(cycles) != 0) alias += e;
  }
  return 10.0 * std::log10(alias / total);
}

// 50 ms of a 3340 Hz sine (167 whole cycles in 2400 samples at 48 kHz, so every
// folded harmonic lands between the harmonics) after 50 ms to settle.
constexpr int kRunLength = 2400, kRunCycles = 167;
template <class Stage>
std::vector<float> periodicRun(Stage&& stage, float amplitude) {
  std::vector<float> y;
  for (int i = 0; i < 2 * kRunLength; ++i) {
    const double phase = 2.0 * freqresp::kPi * kRunCycles * (i % kRunLength) / kRunLength;
    const float out = stage(static_cast<float>(amplitude * std::sin(phase)));
    if (i >= kRunLength) y.push_back(out);
  }
  return y;
}
}  // namespace

TEST(StageAntialias, TubePiecesFollowEveryCurveAndBias) {
  for (int mode = 1; mode <= 9; ++mode) {
    for (float bias : {-0.6f, 0.0f, 0.35f}) {
      Tube t(static_cast<float>(mode), 1, bias);
      qvpiecewisecubic pieces;
      ASSERT_TRUE(tubeCurvePieces(t.unit.curve(), pieces)) << mode;
      // Mode 8 runs out to ±190; the others saturate within a few units.
      for (double x = -250.0; x <= 250.0; x += (std::fabs(x) < 4.0 ? 0.001 : 0.37)) {
        const double want = t.unit.curve().evaluate(static_cast<float>(x));
        EXPECT_NEAR(pieces.value(x), want, 3e-6 * (1.0 + std::fabs(want)))
            << "mode " << mode << " bias " << bias << " x " << x;
      }
    }
  }
}

TEST(StageAntialias, ClippingPiecesFollowTheStage) {
  for (const ClipCase& c : kClipCases) {
    Clip clip(c);
    qvpiecewisecubic pieces;
    ASSERT_TRUE(clip.unit.curvePieces(pieces)) << "gain " << c.p[4];
    for (double x = -3.0; x <= 3.0; x += 0.0007) {
      const double want = clip.unit.process(static_cast<float>(x));
      EXPECT_NEAR(pieces.value(x), want, 2e-6 * (1.0 + std::fabs(want)))
          << "threshold " << c.p[6] << " rectify " << c.p[5] << " x " << x;
    }
  }
  Clip silent(ClipCase{{1, 3, 0, 0, 0, 0, 0.84f}});
  qvpiecewisecubic pieces;
  EXPECT_FALSE(silent.unit.curvePieces(pieces)) << "gain 0: a constant, nothing to average";
}

TEST(StageAntialias, IntegralIsTheAntiderivative) {
  Tube t(8, 1, 0.2f);
  Clip clip(kClipCases[2]);
  qvpiecewisecubic tube, clipped;
  ASSERT_TRUE(tubeCurvePieces(t.unit.curve(), tube));
  ASSERT_TRUE(clip.unit.curvePieces(clipped));
  for (const qvpiecewisecubic* f : {&tube, &clipped}) {
    EXPECT_NEAR(f->integral(0.0), 0.0, 1e-12);
    EXPECT_NEAR(f->integral2(0.0), 0.0, 1e-9);
    const double h = 1e-4;
    for (double x = -220.0; x <= 220.0; x += 0.0731) {
      const double slope1 = (f->integral(x + h) - f->integral(x - h)) / (2 * h);
      const double slope2 = (f->integral2(x + h) - f->integral2(x - h)) / (2 * h);
      EXPECT_NEAR(slope1, f->value(x), 2e-4) << "x " << x;
      EXPECT_NEAR(slope2, f->integral(x), 2e-4 * (1.0 + std::fabs(x))) << "x " << x;
    }
    // The search from the last input's piece lands where the full search does,
    // for steps up and down, jumps across the curve and a NaN.
    int hint = 0;
    for (double x : {0.0, 0.3, 0.31, -0.5, 200.0, -200.0, 1.7, 1.69, std::nan(""), 0.9, -3.0}) {
      const double a = f->integral(x, hint), b = f->integral(x);
      EXPECT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << "x " << x;
      const double a2 = f->integral2(x, hint), b2 = f->integral2(x);
      EXPECT_TRUE(a2 == b2 || (std::isnan(a2) && std::isnan(b2))) << "x " << x;
      const double v = f->value(x, hint), w = f->value(x);
      EXPECT_TRUE(v == w || (std::isnan(v) && std::isnan(w))) << "x " << x;
    }
  }
}

TEST(StageAntialias, AntiderivativeStagesPlayWeightedMeansOfTheExactStage) {
  // Inputs with large jumps, small steps, a repeat and a return (the fallbacks
  // for close inputs) and sign changes inside one step.
  const std::vector<float> xs = {0.3f,  -0.8f, -0.8f, 2.5f,  2.5000002f, -4.0f, 0.01f, 0.012f,
                                 0.7f,  -0.05f, 0.05f, 3.0f,  -3.0f,     3.0f,  1.2f,  -0.4f};
  auto check = [&](auto& exact, auto& anti, int order, const char* what) {
    anti.setStageOptions({.antiderivative = order});
    auto f = [&](double v) { return static_cast<double>(exact.process(static_cast<float>(v))); };
    float x2 = 0.0f, x1 = 0.0f;  // a fresh stage remembers silence
    for (float x : xs) {
      const double y = anti.process(x);
      double want;
      if (order == 1) {
        want = boxMean(f, x1, x);
      } else if (std::fabs(x - x2) > 1e-3 && std::fabs(x - x1) > 1e-3 && std::fabs(x1 - x2) > 1e-3) {
        want = hatMean(f, x2, x1, x);
      } else {
        want = y;  // near-coincident inputs: only finite and bounded, below
      }
      EXPECT_NEAR(y, want, 3e-4) << what << " order " << order << ": " << x2 << ", " << x1 << ", " << x;
      EXPECT_TRUE(std::isfinite(y));
      EXPECT_LE(std::fabs(y), 1.5) << what;
      x2 = x1;
      x1 = x;
    }
  };
  for (int order : {1, 2}) {
    Tube exactTube(1, 6, 0.1f), tube(1, 6, 0.1f);
    check(exactTube.unit, tube.unit, order, "tube");
    for (const ClipCase& c : {kClipCases[1], kClipCases[2], kClipCases[4]}) {
      Clip exactClip(c), clip(c);
      check(exactClip.unit, clip.unit, order, "clipping");
    }
  }
}

TEST(StageAntialias, AntiderivativeLowersTheFoldedHarmonics) {
  // At the host rate, where a hard stage folds the most.
  const ClipCase hard = kClipCases[1], rectifier{{1, 4, 0, 0, 1.5f, 1, 0.6f}};
  auto share = [](auto& unit, int order) {
    unit.setStageOptions({.antiderivative = order});
    return aliasShareDb(periodicRun([&](float x) { return unit.process(x); }, 0.5f), kRunCycles);
  };
  const char* what[3] = {"tube", "hard clipper", "rectifier"};
  for (int stage = 0; stage < 3; ++stage) {
    double db[3];
    for (int order = 0; order <= 2; ++order) {
      Tube tube(1, 20);
      Clip clip(stage == 1 ? hard : rectifier);
      db[order] = stage == 0 ? share(tube.unit, order) : share(clip.unit, order);
    }
    EXPECT_GT(db[0], -40.0) << what[stage] << ": a hard stage at 48 kHz aliases plainly";
    EXPECT_LT(db[1], db[0] - 10.0) << what[stage] << ", order 1";
    EXPECT_LT(db[2], db[1] - 6.0) << what[stage] << ", order 2";
  }
}

TEST(StageAntialias, StageLowpassIsAButterworthAtItsCorner) {
  qvstagelowpass lp;
  lp.setRate(48000.0);
  EXPECT_FALSE(lp.active()) << "a corner of 30 kHz has no room at 48 kHz";
  const double rate = 192000.0;
  lp.setRate(rate);
  ASSERT_TRUE(lp.active());
  const std::vector<double> h = freqresp::impulse([&](float x) { return lp.process(x); }, 8192);
  const double wc = std::tan(freqresp::kPi * qvstagelowpass::kCorner_hz / rate);
  for (double hz : {100.0, 3000.0, 10000.0, 30000.0, 60000.0, 90000.0}) {
    const double w = std::tan(freqresp::kPi * hz / rate) / wc;  // warped, as the design
    const double want = -10.0 * std::log10(1.0 + std::pow(w, 4.0));
    EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, freqresp::omega(hz, rate))), want, 0.01) << hz;
  }
}

TEST(StageAntialias, OptionsLeaveTheExactStageAloneWhileOff) {
  auto run = [](auto& unit) {
    std::vector<float> y;
    for (int i = 0; i < 2000; ++i) y.push_back(unit.process(1.5f * std::sin(0.37f * i) + 0.2f));
    return y;
  };
  Tube fresh(2, 8, 0, 4), toggled(2, 8, 0, 4);
  toggled.unit.setStageOptions({.antiderivative = 2, .lowpass = true});
  run(toggled.unit);
  toggled.unit.setStageOptions({});
  toggled.unit.reset();
  EXPECT_EQ(run(toggled.unit), run(fresh.unit)) << "turned off, the stage is the exact one again";

  Tube hostRate(2, 8), banded(2, 8), oversampled(2, 8, 0, 4), bandedOversampled(2, 8, 0, 4);
  banded.unit.setStageOptions({.lowpass = true});
  bandedOversampled.unit.setStageOptions({.lowpass = true});
  EXPECT_EQ(run(banded.unit), run(hostRate.unit)) << "no band limit at the host rate";
  EXPECT_NE(run(bandedOversampled.unit), run(oversampled.unit)) << "a band limit when oversampled";

  Clip exact(kClipCases[1], 4), clip(kClipCases[1], 4);
  clip.unit.setStageOptions({.lowpass = true});
  clip.unit.setStageOptions({});
  EXPECT_EQ(run(clip.unit), run(exact.unit));
}
