// Equalizer, tone stack, presence, graphic equalizer, filter and auto-wah: their
// responses against the analytic ones of their designs, and the rate factor.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "freqresp.hpp"
#include "tests/unitrig.hpp"
#include "units/graphiceq.hpp"
#include "units/tonestack.hpp"
#include "units/unitfactory.hpp"
#include "units/wahfilter.hpp"

namespace {
template <class U>
using Rig = UnitRig<U>;

polefilt_1lp onePole(int kind, float rate, float corner) {
  polefilt_1lp f;
  f.setkind(kind);
  f.setrate(rate);
  f.setfreq(corner, 0);
  return f;
}

}  // namespace

TEST(Equalizer, UnityGainsAreTransparent) {
  Rig<qvuseeq> eq;
  for (float x : noise(4096)) EXPECT_NEAR(eq.run(x), x, 2e-7f);
}

TEST(Equalizer, MidCutIsANotchBetweenTheCorners) {
  Rig<qvuseeq> eq;
  eq.set(qvuseeq::kMid, 0.0f);
  const auto h = freqresp::impulse([&eq](float x) { return eq.run(x); }, 1 << 15);
  // h + l of the two one-poles: 1 − LP(Treb-Hz) + LP(Bass-Hz), analytically.
  auto lp = [](double w, double corner) {
    const double k = corner / 24000.0;
    return k / (1.0 - (1.0 - k) * std::polar(1.0, -w));
  };
  for (double hz : {0.0, 50.0, 400.0, 1550.0, 6000.0, 20000.0}) {
    const double w = freqresp::omega(hz, 48000);
    const double expected = std::abs(1.0 - lp(w, 6000) + lp(w, 400));
    EXPECT_NEAR(freqresp::magnitude(h, w), expected, 1e-4) << hz << " Hz";
  }
  // The notch is real: well below unity between the corners, unity at DC.
  EXPECT_LT(freqresp::magnitude(h, freqresp::omega(1550, 48000)), 0.6);
}

TEST(Tone, ParallelModeMixesLowAndHighPass) {
  struct Case {
    float tone, volume;
  };
  for (Case c : {Case{0.0f, 2.0f}, Case{1.0f, 3.0f}, Case{0.4f, 1.0f}}) {
    Rig<qvusetone> t;
    t.set(qvusetone::kVolume, c.volume);
    t.set(qvusetone::kTone, c.tone);
    polefilt_1lp low = onePole(0, 48000, 700), high = onePole(1, 48000, 900);
    for (float x : noise(2000)) {
      const float l = low.process(x), h = high.process(x);
      const float expected = c.volume * (c.tone * h + (1.0f - c.tone) * 0.66f * l);
      EXPECT_NEAR(t.run(x), expected, 1e-6f) << "tone " << c.tone;
    }
  }
}

TEST(Tone, SeriesModeRetunesTheLowPassWithTone) {
  Rig<qvusetone> t;
  t.set(qvusetone::kMode, 1);
  t.set(qvusetone::kTone, 0.5f);  // any change retunes in series mode
  polefilt_1lp low = onePole(0, 48000, 1.5f * 700), high = onePole(1, 48000, 900);
  for (float x : noise(2000)) {
    const float l = low.process(x);
    const float h = high.process(l);
    EXPECT_NEAR(t.run(x), 0.5f * h + 0.175f * l, 1e-6f);
  }
}

TEST(Tone, RateFactorKeepsTheCornerInHz) {
  // At n = 2 the filters run at 96 kHz: a corner of 700 Hz must stay 700 Hz.
  Rig<qvusetone> t(48000.0f, 2.0f);
  polefilt_1lp low = onePole(0, 96000, 700);
  for (float x : noise(1000)) EXPECT_NEAR(t.run(x), 0.66f * low.process(x), 1e-6f);
}

TEST(Presence, ZeroDecibelPassesAndBoostReachesItsGain) {
  Rig<qvusepeak> flat;
  for (float x : noise(2048)) EXPECT_NEAR(flat.run(x), x, 1e-7f);
  Rig<qvusepeak> p;
  p.set(qvusepeak::kPresence, 5.0f);
  const auto h = freqresp::impulse([&p](float x) { return p.run(x); }, 1 << 15);
  // The band 1800..10800 Hz peaks at its warped centre at +5 dB; DC stays at 0 dB.
  const double lo = freqresp::omega(1800, 48000), hi = freqresp::omega(10800, 48000);
  const double mid = 2 * std::atan(std::sqrt(std::tan(lo / 2) * std::tan(hi / 2)));
  EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, mid)), 5.0, 0.1);
  EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, 0.0)), 0.0, 0.01);
}

TEST(GraphicEq, BandNamesFollowTheGrid) {
  Rig<qvusegraphiceq> g;
  const char* defaults[] = {"140 Hz", "200 Hz", "400 Hz", "800 Hz",
                            "1600 Hz", "3200 Hz", "6400 Hz", "8320 Hz"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(g.unit->records[i]->nametag, defaults[i]);
  EXPECT_EQ(g.unit->records[8]->nametag, "PHz");
  g.set(g.unit->shiftIndex, -37.5f);
  const char* shifted[] = {"90 Hz", "129 Hz", "257 Hz", "514 Hz",
                           "1029 Hz", "2057 Hz", "4114 Hz", "5349 Hz"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(g.unit->records[i]->nametag, shifted[i]);
}

TEST(GraphicEq, FlatBandsPassTheInputTimesVolume) {
  Rig<qvusegraphiceq> g;
  g.set(g.unit->volumeIndex, 2.5f);
  for (float x : noise(4096)) EXPECT_NEAR(g.run(x), 2.5f * x, 1e-6f);
}

TEST(GraphicEq, BandGainsReachTheirDecibels) {
  Rig<qvusegraphiceq> g;
  g.set(0, 12.0f);   // low shelf
  g.set(4, -9.0f);   // band shelf at 1680 Hz
  g.set(7, 6.0f);    // high shelf
  const auto h = freqresp::impulse([&g](float x) { return g.run(x); }, 1 << 16);
  EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, freqresp::omega(15, 48000))), 12.0, 0.1);
  EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, freqresp::omega(22000, 48000))), 6.0, 0.1);
  const double w = 0.76 * 105 * 16;
  const double lo = freqresp::omega(1680 - w / 2, 48000), hi = freqresp::omega(1680 + w / 2, 48000);
  const double mid = 2 * std::atan(std::sqrt(std::tan(lo / 2) * std::tan(hi / 2)));
  EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, mid)), -9.0, 0.2)
      << "the neighbouring shelves leave only a trace at the band centre";
}

TEST(Filter, TwoPoleLowPassAtTwentyKilohertzAndDry) {
  Rig<qvusewah> f;
  f.set(qvusewah::kFilterOrd, 2);
  f.set(qvusewah::kCutoff, 20000);
  polefilt_2lpc ref;
  ref.setkind(0);
  ref.setrate(48000);
  ref.setfreq(20000, 0);
  for (float x : noise(1000)) EXPECT_EQ(f.run(x), ref.process(x));
  f.set(qvusewah::kDry, 1.0f);
  for (float x : noise(500)) EXPECT_EQ(f.run(x), x) << "Dry 1 returns the input";
}

TEST(Filter, OrderChangeSwapsTheFilterFromSilence) {
  Rig<qvusewah> f;
  f.set(qvusewah::kCutoff, 800);
  for (float x : noise(500)) f.run(x);
  f.set(qvusewah::kFilterOrd, 4);
  polefilt_4lpc fresh(0);
  fresh.setrate(48000);
  fresh.setfreq(800, 0);
  for (float x : noise(200, 9)) EXPECT_EQ(f.run(x), fresh.process(x)) << "starts from zero state";
  f.set(qvusewah::kFilterOrd, 3);  // 3 and 4 are both the four-pole
  ASSERT_NE(dynamic_cast<const polefilt_4lpc*>(f.unit->filter()), nullptr);
}

TEST(GraphicEq, OversampledBandsStayAtTheirFrequencies) {
  Rig<qvusegraphiceq> g(48000.0f, 2.0f);  // runs at 96 kHz inside a 2x range
  g.set(4, -9.0f);
  const auto h = freqresp::impulse([&g](float x) { return g.run(x); }, 1 << 16);
  const double w = 0.76 * 105 * 16;
  const double lo = freqresp::omega(1680 - w / 2, 96000), hi = freqresp::omega(1680 + w / 2, 96000);
  const double mid = 2 * std::atan(std::sqrt(std::tan(lo / 2) * std::tan(hi / 2)));
  EXPECT_NEAR(freqresp::toDb(freqresp::magnitude(h, mid)), -9.0, 0.2);
}

TEST(AutoWah, RateChangeRetimesTheEnvelope) {
  Rig<qvusewahplus> a(48000.0f, 1.0f), b(48000.0f, 1.0f);
  b.unit->setRateMultiplier(4.0f);
  // Same attack time in seconds: four times the samples to reach the same envelope.
  for (int i = 0; i < 480; ++i) a.run(0.8f);
  for (int i = 0; i < 4 * 480; ++i) b.run(0.8f);
  EXPECT_NEAR(a.unit->follower().V, b.unit->follower().V, 0.02f);
}
