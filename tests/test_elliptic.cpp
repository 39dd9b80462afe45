// The anti-alias filter as the chain uses it: its passband ripple and stopband
// at the oversampled rate.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "freqresp.hpp"
#include "units/elliptic.hpp"

TEST(Elliptic, DigitalResponseAtTheOversampledRate) {
  // Factor 4 at 44.1 kHz: designed for 5512.5 Hz at 44100 Hz, run at 176400 Hz,
  // where the cutoff is the host's Nyquist frequency.
  qvellipticlowpass f;
  ASSERT_EQ(f.design(8, 0.4, -2.0, 44100, 44100 / 8.0), 0);
  EXPECT_TRUE(f.cascade().unitZeros()) << "the response below is that of the shorter sections";
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
