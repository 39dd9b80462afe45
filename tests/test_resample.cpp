#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>

#include "data/resample.hpp"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A cabinet-like impulse at `rate`: a spike at `peak_s` seconds, then three decaying
// resonances. Its spectrum has no deep notches, so a relative error in dB means
// something at every frequency.
std::vector<float> cabinetImpulse(double rate, double peak_s, int count) {
  std::vector<float> h(size_t(count), 0.0f);
  const int at = int(std::lround(peak_s * rate));
  h[size_t(at)] = 1.0f;
  const double tau_s = 0.012;
  for (int n = at + 1; n < count; ++n) {
    double t = (n - at) / rate;
    double decay = std::exp(-t / tau_s);
    h[size_t(n)] = float(decay * (0.05 * std::sin(2 * kPi * 120 * t) +
                                  0.03 * std::sin(2 * kPi * 2500 * t) +
                                  0.02 * std::sin(2 * kPi * 9000 * t)));
  }
  return h;
}

// |H(f)| of the sampled filter: its discrete-time Fourier transform at f Hz.
double magnitudeAt(const std::vector<float>& h, double rate, double f) {
  const std::complex<double> step = std::polar(1.0, -2 * kPi * f / rate);
  std::complex<double> phasor = 1.0, sum = 0.0;
  for (float v : h) {
    sum += double(v) * phasor;
    phasor *= step;
  }
  return std::abs(sum);
}

size_t peakIndex(const std::vector<float>& h) {
  size_t best = 0;
  for (size_t i = 1; i < h.size(); ++i)
    if (std::fabs(h[i]) > std::fabs(h[best])) best = i;
  return best;
}

}  // namespace

TEST(Resample, KeepsMagnitudeResponseAndPeakTime) {
  struct Row {
    double from_hz, to_hz;
  } rows[] = {{96000, 48000}, {96000, 44100}, {44100, 96000}, {48000, 44100}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(int(row.from_hz)) + " -> " + std::to_string(int(row.to_hz)));
    const double peak_s = 0.01;
    const std::vector<float> source = cabinetImpulse(row.from_hz, peak_s, int(0.3 * row.from_hz));
    std::vector<float> h = source;
    ASSERT_EQ(resampleImpulse(h, float(row.from_hz), float(row.to_hz)), kResampled);

    // Both rates describe the same filter below the lower Nyquist frequency.
    const double band_hz = 0.9 * 0.5 * std::min(row.from_hz, row.to_hz);
    double worst_db = 0;
    for (int k = 0; k <= 120; ++k) {
      double f = band_hz * k / 120;
      double db = 20 * std::log10(magnitudeAt(h, row.to_hz, f) / magnitudeAt(source, row.from_hz, f));
      worst_db = std::max(worst_db, std::fabs(db));
    }
    EXPECT_LT(worst_db, 0.1);

    // No added delay: the spike stays at 10 ms.
    EXPECT_LE(std::fabs(double(peakIndex(h)) - peak_s * row.to_hz), 1.0);
  }
}

// A conversion keeps the impulse's DC gain (the sum of its taps, since each output
// is scaled by r), also for short impulses taken down by large ratios, where the
// converter's filter is longer than the impulse and everything it returns comes
// from draining it.
TEST(Resample, ShortImpulsesKeepTheirGainAtEveryRatio) {
  const struct { int count; float to_hz; } rows[] = {
      {1000, 8000}, {1000, 11025}, {4000, 8000}, {4000, 22050}, {12000, 8000},
      {12000, 9000}, {1000, 44100}, {1000, 192000},
  };
  for (const auto& row : rows) {
    // A smooth decay (2 ms) whose content lies far below every Nyquist frequency here.
    std::vector<float> h(size_t(row.count));
    double sum = 0.0;
    for (size_t j = 0; j < h.size(); ++j) sum += h[j] = float(std::exp(-double(j) / 192.0));
    ASSERT_EQ(resampleImpulse(h, 96000.0f, row.to_hz), kResampled);
    double got = 0.0;
    for (float v : h) got += v;
    EXPECT_NEAR(got, sum, 0.02 * sum) << row.count << " samples to " << row.to_hz << " Hz";
  }
}

TEST(Resample, BadRatesAndEmptyLists) {
  const std::vector<float> source(1000, 0.5f);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Row {
    float from_hz, to_hz;
  } rows[] = {{0, 48000}, {96000, 0}, {-96000, 48000}, {nan, 48000}, {96000, inf},
              {1, 384000}};  // a forged 1 Hz file: billions of samples at the host rate
  for (const Row& row : rows) {
    std::vector<float> h = source;
    EXPECT_EQ(resampleImpulse(h, row.from_hz, row.to_hz), kResampleFailed)
        << row.from_hz << " -> " << row.to_hz;
    EXPECT_EQ(h, source);
  }
  std::vector<float> empty;
  EXPECT_EQ(resampleImpulse(empty, 96000.0f, 48000.0f), kResampled);
  EXPECT_TRUE(empty.empty()) << "nothing converts to nothing";
}
