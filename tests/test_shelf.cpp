#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "freqresp.hpp"
#include "units/shelfdesign.hpp"

namespace {
using freqresp::kPi;

constexpr int kImpulseLength = 1 << 16;

// Butterworth shelf of order n: |H|² = G·(G + Ω^2n) / (1 + G·Ω^2n), G at Ω = 0,
// √G at Ω = 1, 1 at Ω = ∞ (the analog prototype's response).
double shelfMagnitude(double omega_abs, int n, double gain_db) {
  const double G = std::pow(10.0, gain_db / 20.0);
  const double x = std::pow(omega_abs, 2.0 * n);
  if (std::isinf(x)) return 1.0;
  return std::sqrt(G * (G + x) / (1.0 + G * x));
}

// Band edges of a band shelf, held as its transform holds them.
void bandEdges(double fc, double fw, double& lo, double& hi) {
  lo = 2 * kPi * fc - kPi * fw;
  hi = lo + 2 * kPi * fw;
  if (lo <= 1e-8) lo = 1e-8;
  if (hi >= kPi - 1e-8) hi = kPi - 1e-8;
}

// Prewarped analog frequency of a band-pass bilinear mapping with edges lo, hi:
// −1 at lo, 0 at the (warped) centre, +1 at hi.
double bandOmega(double w, double lo, double hi) {
  const double t = std::tan(w / 2), t1 = std::tan(lo / 2), t2 = std::tan(hi / 2);
  if (t == 0.0) return INFINITY;
  return (t * t - t1 * t2) / (t * (t2 - t1));
}

template <class Filter>
std::vector<double> impulseOf(Filter& f) {
  return freqresp::impulse([&f](float x) { return f.process(x); }, kImpulseLength);
}

struct EdgeShelfCase {
  bool high;
  int order;
  double rate, corner, gain_db;
};

const EdgeShelfCase kEdgeShelves[] = {
    {false, 4, 48000, 147, 12},   {false, 4, 48000, 147, -20}, {false, 3, 48000, 1000, 6},
    {false, 1, 48000, 500, -9},   {false, 4, 96000, 252, 20},  {true, 4, 48000, 8736, 12},
    {true, 4, 44100, 14976, 20},  {true, 4, 44100, 14976, -20}, {true, 3, 48000, 2000, -6},
    {true, 1, 48000, 3000, 9},    {false, 4, 48000, 147, 0},   {true, 3, 48000, 8736, 0},
};
}  // namespace

TEST(ShelfDesign, EdgeShelvesMatchTheAnalyticResponse) {
  for (const EdgeShelfCase& c : kEdgeShelves) {
    const double fc = c.corner / c.rate;
    std::vector<double> h;
    if (c.high) {
      qvhighshelf f;
      ASSERT_EQ(f.setup(c.order, c.rate, c.corner, c.gain_db), kShelfOk);
      h = impulseOf(f);
    } else {
      qvlowshelf f;
      ASSERT_EQ(f.setup(c.order, c.rate, c.corner, c.gain_db), kShelfOk);
      h = impulseOf(f);
    }
    auto analytic = [&](double w) {
      const double ratio = std::tan(w / 2) / std::tan(kPi * fc);
      return shelfMagnitude(c.high ? 1.0 / ratio : ratio, c.order, c.gain_db);
    };
    const double corner_w = 2 * kPi * fc;
    for (double w : {0.0, corner_w * 0.5, corner_w, corner_w * 1.5, 0.95 * kPi}) {
      EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, w)), freqresp::toDb(analytic(w)), 0.01)
          << (c.high ? "high" : "low") << " shelf order " << c.order << " at " << c.corner
          << " Hz, " << c.gain_db << " dB, w = " << w;
    }
    // In its band the shelf reaches the requested gain; a decade away it is 0 dB
    // (first order is too gentle for a decade).
    if (c.order < 3) continue;
    const double low_w = corner_w / 10, high_w = 10 * corner_w;
    const double in_band = c.high ? high_w : low_w;
    const double far = c.high ? low_w : high_w;
    if (in_band < 0.97 * kPi) {
      EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, in_band)), c.gain_db, 0.1)
          << "order " << c.order << " corner " << c.corner;
    }
    if (far < 0.97 * kPi) {
      EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, far)), 0.0, 0.1)
          << "order " << c.order << " corner " << c.corner;
    }
  }
}

TEST(ShelfDesign, BandShelvesMatchTheAnalyticResponse) {
  struct Case {
    int order;
    double rate, centre, width, gain_db;
  };
  const Case cases[] = {
      {2, 48000, 840, 638.4, 12},     // a graphic EQ band
      {2, 48000, 6720, 5107.2, -20},  // its top band shelf, cut
      {2, 44100, 11520, 8755.2, 20},  // top band shelf with the grid shifted up
      {1, 48000, 6300, 9000, 5},      // presence defaults
      {1, 48000, 6300, 9000, -5},
      {1, 44100, 20000, 20000, 5},    // upper edge would pass half the rate
      {2, 48000, 100, 400, 6},        // lower edge would fall below 0
      {1, 48000, 6300, 9000, 0},      // 0 dB: transparent
  };
  for (const Case& c : cases) {
    qvbandshelf f;
    ASSERT_EQ(f.setup(c.order, c.rate, c.centre, c.width, c.gain_db), kShelfOk);
    EXPECT_EQ(f.cascade.sections(), c.order) << "order n gives 2n poles in n sections";
    const std::vector<double> h = impulseOf(f);
    double lo, hi;
    bandEdges(c.centre / c.rate, c.width / c.rate, lo, hi);
    auto analytic = [&](double w) {
      return shelfMagnitude(std::fabs(bandOmega(w, lo, hi)), c.order, c.gain_db);
    };
    const double mid = 2 * std::atan(std::sqrt(std::tan(lo / 2) * std::tan(hi / 2)));
    for (double w : {0.0, lo, mid, hi, (mid + hi) / 2, 0.95 * kPi}) {
      // An edge held at 1e-8 rad puts poles next to z = 1 whose response the
      // impulse window cannot resolve; measure above it.
      if (w >= kPi - 1e-6 || (lo < 1e-6 && w < 1e-3)) continue;
      EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, w)), freqresp::toDb(analytic(w)), 0.01)
          << "band shelf " << c.centre << " Hz / " << c.width << " Hz, " << c.gain_db
          << " dB, w = " << w;
    }
    EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, mid)), c.gain_db, 0.1)
        << "band centre reaches the requested gain";
    // Stable even with an edge held at the end of the spectrum: the tail dies away.
    double tail = 0;
    for (int k = kImpulseLength - 1000; k < kImpulseLength; ++k)
      tail = std::max(tail, std::fabs(h[static_cast<size_t>(k)]));
    EXPECT_LT(tail, 1e-6) << "band shelf " << c.centre << " Hz decays";
  }
  // Far from a narrow band the shelf is 0 dB on both sides.
  qvbandshelf f;
  ASSERT_EQ(f.setup(2, 48000, 840, 638.4, 12), kShelfOk);
  const std::vector<double> h = impulseOf(f);
  EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, freqresp::omega(20, 48000))), 0.0, 0.1);
  EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, freqresp::omega(20000, 48000))), 0.0, 0.1);
}

TEST(ShelfDesign, BadRequestsKeepTheRunningFilter) {
  qvlowshelf f;
  ASSERT_EQ(f.setup(4, 48000, 147, 12), kShelfOk);
  EXPECT_EQ(f.setup(0, 48000, 147, 12), kShelfBadOrder);
  EXPECT_EQ(f.setup(kShelfMaxOrder + 1, 48000, 147, 12), kShelfBadOrder);
  EXPECT_EQ(f.setup(4, 0, 147, 12), kShelfBadRate);
  EXPECT_EQ(f.setup(4, 48000, 147, NAN), kShelfBadDesign);
  qvbandshelf b;
  EXPECT_EQ(b.setup(kShelfMaxBandOrder + 1, 48000, 1000, 100, 3), kShelfBadOrder);
  // The filter still runs the last good design: 12 dB at low frequencies.
  float y = 0;
  for (int k = 0; k < 48000; ++k) y = f.process(0.01f);
  EXPECT_NEAR(y, 0.01f * std::pow(10.0f, 12.0f / 20.0f), 1e-5f);
}

TEST(BiquadCascade, SilenceStaysOutOfTheDenormalRangeWithoutDc) {
  qvlowshelf f;
  ASSERT_EQ(f.setup(4, 48000, 147, -20), kShelfOk);
  EXPECT_EQ(f.cascade.offset(), 1e-8);
  std::vector<float> buf(4096);
  for (size_t k = 0; k < buf.size(); ++k) buf[k] = std::sin(0.01f * static_cast<float>(k));
  f.process(buf.data(), static_cast<int>(buf.size()));
  double sum = 0, peak = 0;
  for (int block = 0; block < 500; ++block) {
    std::fill(buf.begin(), buf.end(), 0.0f);
    f.process(buf.data(), static_cast<int>(buf.size()));
    if (block == 499)
      for (float y : buf) {
        sum += y;
        peak = std::max(peak, std::fabs(static_cast<double>(y)));
      }
  }
  for (int i = 0; i < f.cascade.sections(); ++i) {
    const qvbiquadstate& s = f.cascade.state(i);
    EXPECT_NE(std::fpclassify(s.s1), FP_SUBNORMAL);
    EXPECT_NE(std::fpclassify(s.s2), FP_SUBNORMAL);
    EXPECT_GT(std::fabs(s.s1), 1e-12) << "the offset keeps section " << i << " alive";
  }
  EXPECT_LT(peak, 1e-6) << "the offset is inaudible";
  EXPECT_LT(std::fabs(sum), 1e-3 * peak * 4096) << "alternating, it adds no DC";
}

TEST(ShelfDesign, RedesignKeepsTheRunningState) {
  // A parameter sweep redesigns between blocks; resetting the delay lines would click.
  qvbandshelf f;
  ASSERT_EQ(f.setup(2, 48000, 840, 638.4, 6), kShelfOk);
  for (int k = 0; k < 1000; ++k) f.process(std::sin(0.05f * static_cast<float>(k)));
  const qvbiquadstate s0 = f.cascade.state(0), s1 = f.cascade.state(1);
  const double d = f.cascade.offset();
  ASSERT_EQ(f.setup(2, 48000, 900, 700, -6), kShelfOk);
  EXPECT_EQ(f.cascade.state(0).s1, s0.s1);
  EXPECT_EQ(f.cascade.state(0).s2, s0.s2);
  EXPECT_EQ(f.cascade.state(1).s1, s1.s1);
  EXPECT_EQ(f.cascade.offset(), d);
  EXPECT_NE(s0.s1, 0.0);
}

// A band centred beyond half the rate (presence at 6.3 kHz on an 8 kHz host) is
// moved inside the spectrum and stays stable; a layout with a pole outside the
// unit circle is refused and the running filter kept.
TEST(ShelfDesign, BandsBeyondHalfTheRateStayStable) {
  for (double centre : {3900.0, 4000.0, 6300.0, 20000.0}) {
    for (double width : {1.0, 100.0, 9000.0}) {
      qvbandshelf f;
      ASSERT_EQ(f.setup(1, 8000, centre, width, 10.0), kShelfOk) << centre << " " << width;
      std::mt19937 rng(3);
      std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
      float peak = 0.0f;
      for (int i = 0; i < 8000; ++i) peak = std::max(peak, std::fabs(f.process(noise(rng))));
      EXPECT_LT(peak, 100.0f) << "centre " << centre << " width " << width;
    }
  }
  qvbiquadcascade c;
  qvzplane ok, outside;
  ok.addConjugatePair(std::polar(0.5, 0.3), std::polar(1.0, 2.0));
  ok.wn = 0;
  ok.gn = 1;
  outside = ok;
  outside.pairs[0].poles[0] = std::polar(1.01, 0.3);
  outside.pairs[0].poles[1] = std::polar(1.01, -0.3);
  ASSERT_EQ(c.setlayout(ok), kBiquadOk);
  const qvbiquad kept = c.section(0);
  EXPECT_EQ(c.setlayout(outside), kBiquadUnstable);
  EXPECT_EQ(c.section(0).a1, kept.a1);
  EXPECT_EQ(c.section(0).a2, kept.a2);
}
