// The anti-alias filter as the chain uses it: its passband ripple and stopband
// at the oversampled rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "freqresp.hpp"
#include "units/elliptic.hpp"
#include "units/widecode.hpp"

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

// The polyphase form against the cascade it was built from, run at the oversampled
// rate: every factor and order the chain uses, the input cut into uneven calls.
// The two differ by rounding only (and by where the anti-denormal offset enters).
// The form's 256-bit loops (where the processor has AVX2) and its portable ones
// give the same outputs bit for bit.
TEST(Elliptic, PolyphaseFormMatchesTheCascade) {
  std::vector<float> in(3000);
  for (size_t i = 0; i < in.size(); ++i)
    in[i] = 0.6f * std::sin(0.031f * i) + 0.3f * std::sin(2.3f * i) * (i % 700 < 350 ? 1.0f : 0.0f);
  const int calls[] = {1, 3, 64, 1, 256, 17};
  const bool wideCode = qvwideCode();
  std::map<std::pair<int, int>, std::vector<float>> wideUp, wideDown;
  for (bool wide : {true, false}) {
    qvsetWideCode(wide);
    for (int order : {8, 10, 16})
      for (int m : {2, 4, 8, 16}) {
        qvellipticlowpass cascade, poly;
        ASSERT_EQ(cascade.design(order, 0.4, -2.0, 48000, 24000.0 / m), 0);
        ASSERT_EQ(poly.design(order, 0.4, -2.0, 48000, 24000.0 / m), 0);
        ASSERT_TRUE(poly.prepare(m));
        // Up: the cascade's zero-stuffing interpolator against the polyphase one.
        std::vector<float> a(in.size() * m), b(in.size() * m);
        cascade.upsample(in.data(), int(in.size()), m, a.data());  // not prepared: the cascade
        for (size_t at = 0, k = 0; at < in.size(); ++k) {
          const size_t n = std::min<size_t>(calls[k % std::size(calls)], in.size() - at);
          poly.upsample(in.data() + at, int(n), m, b.data() + at * m);
          at += n;
        }
        double worst = 0.0;
        for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(double(a[i]) - b[i]));
        EXPECT_LT(worst, 2e-6) << "upsampling, order " << order << ", factor " << m;
        // Down: both decimate the first one's output (a band-limited signal, so the
        // comparison sees the passband too).
        std::vector<float> c(in.size()), d(in.size());
        qvellipticlowpass cascadeDown, polyDown;
        cascadeDown.design(order, 0.4, -2.0, 48000, 24000.0 / m);
        polyDown.design(order, 0.4, -2.0, 48000, 24000.0 / m);
        ASSERT_TRUE(polyDown.prepare(m));
        cascadeDown.decimate(a.data(), int(a.size()), m, c.data());
        for (size_t at = 0, k = 0; at < in.size(); ++k) {
          const size_t n = std::min<size_t>(calls[k % std::size(calls)], in.size() - at);
          polyDown.decimate(a.data() + at * m, int(n * m), m, d.data() + at);
          at += n;
        }
        worst = 0.0;
        for (size_t i = 0; i < c.size(); ++i) worst = std::max(worst, std::fabs(double(c[i]) - d[i]));
        EXPECT_LT(worst, 2e-6) << "decimating, order " << order << ", factor " << m;
        const std::pair<int, int> key(order, m);
        if (wide) {
          wideUp[key] = b;
          wideDown[key] = d;
        } else {
          EXPECT_EQ(wideUp[key], b) << "wide and portable upsampling, order " << order << ", factor " << m;
          EXPECT_EQ(wideDown[key], d) << "wide and portable decimation, order " << order << ", factor " << m;
        }
      }
  }
  qvsetWideCode(wideCode);
  qvellipticlowpass f;
  ASSERT_EQ(f.design(8, 0.4, -2.0, 48000, 6000), 0);
  EXPECT_FALSE(f.prepare(3)) << "factors are powers of two";
  EXPECT_FALSE(f.prepare(32));
}

// A rig edit redesigns the ranges' filters: the same design and factor keep the
// running state (no click); a new factor starts its form from silence.
TEST(Elliptic, PreparingTheFormInUseKeepsItsState) {
  std::vector<float> in(512);
  for (size_t i = 0; i < in.size(); ++i) in[i] = 0.7f * std::sin(0.05f * i);
  qvellipticlowpass steady, edited, fresh;
  for (qvellipticlowpass* f : {&steady, &edited}) {
    ASSERT_EQ(f->design(8, 0.4, -2.0, 48000, 6000), 0);
    ASSERT_TRUE(f->prepare(4));
  }
  std::vector<float> a(in.size() * 4), b(in.size() * 4);
  steady.upsample(in.data(), 256, 4, a.data());
  edited.upsample(in.data(), 256, 4, b.data());
  ASSERT_EQ(edited.design(8, 0.4, -2.0, 48000, 6000), 0);
  ASSERT_TRUE(edited.prepare(4));
  steady.upsample(in.data() + 256, 256, 4, a.data() + 1024);
  edited.upsample(in.data() + 256, 256, 4, b.data() + 1024);
  EXPECT_EQ(a, b);

  ASSERT_EQ(edited.design(8, 0.4, -2.0, 48000, 3000), 0);
  ASSERT_TRUE(edited.prepare(8));
  ASSERT_EQ(fresh.design(8, 0.4, -2.0, 48000, 3000), 0);
  ASSERT_TRUE(fresh.prepare(8));
  std::vector<float> c(in.size() * 8), d(in.size() * 8);
  edited.upsample(in.data(), int(in.size()), 8, c.data());
  fresh.upsample(in.data(), int(in.size()), 8, d.data());
  EXPECT_EQ(c, d);
}
