#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "freqresp.hpp"
#include "units/elliptic.hpp"

namespace {
double analogDb(const qvzplane& a, double w) {
  qvcomplex h(1, 0), s(0, w);
  for (int i = 0; i < a.npairs; ++i)
    for (int j = 0; j < 2; ++j) h *= (s - a.pairs[i].zeros[j]) / (s - a.pairs[i].poles[j]);
  qvcomplex h0(1, 0);
  for (int i = 0; i < a.npairs; ++i)
    for (int j = 0; j < 2; ++j) h0 *= (-a.pairs[i].zeros[j]) / (-a.pairs[i].poles[j]);
  return 20 * std::log10(std::abs(h) / std::abs(h0));
}
}  // namespace

TEST(Elliptic, AnalogPrototypeIsEquiripple) {
  qvellipticlowpass f;
  ASSERT_EQ(f.design(8, 0.4, -2.0, 44100, 5512.5), 0);
  const qvzplane& a = f.analogPrototype();
  ASSERT_EQ(a.npairs, 4);
  EXPECT_NEAR(f.stopbandEdge(), 5 * std::exp(-3.0) + 1, 1e-12);
  for (int i = 0; i < 4; ++i) EXPECT_LT(a.pairs[i].poles[0].real(), 0) << "stable";
  // Passband: between 0 and +0.4 dB relative to DC (DC sits at a ripple minimum for
  // an even order), touching both ends.
  double lo = 1e9, hi = -1e9;
  for (double w = 0; w <= 1.0; w += 0.0005) {
    const double db = analogDb(a, w);
    lo = std::min(lo, db);
    hi = std::max(hi, db);
  }
  EXPECT_NEAR(lo, 0.0, 1e-6);
  EXPECT_NEAR(hi, 0.4, 0.005);
  // Stopband: equal peaks from the edge on.
  double peak = -1e9;
  for (double w = f.stopbandEdge(); w < 50; w += 0.001) peak = std::max(peak, analogDb(a, w));
  EXPECT_LT(peak, -60.0);
}

TEST(Elliptic, DigitalResponseAtTheOversampledRate) {
  // Factor 4 at 44.1 kHz: designed for 5512.5 Hz at 44100 Hz, run at 176400 Hz,
  // where the cutoff is the host's Nyquist frequency.
  qvellipticlowpass f;
  ASSERT_EQ(f.design(8, 0.4, -2.0, 44100, 44100 / 8.0), 0);
  const auto h = freqresp::impulse([&f](float x) { f.process(&x, 1); return x; }, 1 << 15);
  double lo = 1e9, hi = -1e9;
  for (double hz = 0; hz <= 22050; hz += 25) {
    const double db = freqresp::toDb(freqresp::magnitude(h, freqresp::omega(hz, 176400)));
    lo = std::min(lo, db);
    hi = std::max(hi, db);
  }
  EXPECT_GT(lo, -0.02);
  EXPECT_LT(hi, 0.42) << "passband ripple within 0.4 dB below the cutoff";
  double stop = -1e9;
  for (double hz = 1.25 * 22050; hz <= 88200; hz += 25)
    stop = std::max(stop, freqresp::toDb(freqresp::magnitude(h, freqresp::omega(hz, 176400))));
  RecordProperty("stopband_db", std::to_string(stop));
  std::printf("anti-alias stopband from 1.25 x cutoff: %.1f dB\n", stop);
  EXPECT_LT(stop, -60.0);
  EXPECT_NE(f.design(7, 0.4, -2.0, 96000, 12000), 0) << "odd orders are refused";
  EXPECT_NE(f.design(8, 0.4, -2.0, 0, 12000), 0);
}
