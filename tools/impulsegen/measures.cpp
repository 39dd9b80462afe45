#include "tools/impulsegen/measures.hpp"

#include <algorithm>
#include <cmath>

#include "tools/impulsegen/fftbins.hpp"

namespace {

constexpr int kMeasureFft = 65536;

double toDb(double ratio) { return 10.0 * std::log10(std::max(ratio, 1e-30)); }

}  // namespace

ImpulseMeasures measureImpulse(const std::vector<double>& x, double rate) {
  ImpulseMeasures m;
  m.length = static_cast<int>(x.size());
  size_t peak_at = 0;
  for (size_t i = 0; i < x.size(); ++i)
    if (std::fabs(x[i]) > std::fabs(x[peak_at])) peak_at = i;
  if (x.empty()) return m;
  m.peak = x[peak_at];
  m.peak_ms = 1000.0 * peak_at / rate;
  // Onset: the first sample within 20 dB of the peak.
  size_t onset = 0;
  while (onset < x.size() && std::fabs(x[onset]) < 0.1 * std::fabs(m.peak)) ++onset;
  double total = 0, after2 = 0, after5 = 0;
  const size_t at2 = onset + static_cast<size_t>(0.002 * rate), at5 = onset + static_cast<size_t>(0.005 * rate);
  for (size_t i = 0; i < x.size(); ++i) {
    const double e = x[i] * x[i];
    total += e;
    if (i >= at2) after2 += e;
    if (i >= at5) after5 += e;
  }
  m.late2 = total > 0 ? after2 / total : 0;
  const std::vector<double> head(x.begin(), x.begin() + std::min(at2, x.size()));
  m.late5 = total > 0 ? after5 / total : 0;

  SpectrumWork work(kMeasureFft);
  const std::vector<double> p = work.power(x);
  const double bin_hz = work.binHz(rate);
  auto bandEnergy = [&](double lo, double hi) {
    double e = 0;
    for (int k = 1; k < work.bins(); ++k) {
      const double f = k * bin_hz;
      if (f >= lo && f < hi) e += p[k];
    }
    return e;
  };
  const double whole = bandEnergy(kBandEdgesHz[0], kBandEdgesHz[kMeasureBands]);
  for (int b = 0; b < kMeasureBands; ++b)
    m.band_db[b] = toDb(bandEnergy(kBandEdgesHz[b], kBandEdgesHz[b + 1]) / whole);
  {
    const std::vector<double> ph = work.power(head);
    double high = 0;
    for (int k = 1; k < work.bins(); ++k)
      if (k * bin_hz >= 3000) high += ph[k];
    m.direct_high_db = toDb(high / whole);
  }
  m.loudness_db = toDb(bandEnergy(100, 6000) * 2.0 / kMeasureFft);
  for (int t = 0; t < kThirdOctaves; ++t) {
    const double centre = 63.0 * std::pow(2.0, t / 3.0);
    m.third_db[t] = toDb(bandEnergy(centre * std::pow(2.0, -1.0 / 6), centre * std::pow(2.0, 1.0 / 6)) / whole);
  }
  return m;
}

double spectralDistanceDb(const ImpulseMeasures& a, const ImpulseMeasures& b) {
  double sum = 0;
  for (int t = 0; t < kThirdOctaves; ++t) {
    const double d = std::max(a.third_db[t], -60.0) - std::max(b.third_db[t], -60.0);
    sum += d * d;
  }
  return std::sqrt(sum / kThirdOctaves);
}

double highShareDb(const ImpulseMeasures& m) {
  double share = 0;
  for (int b = 3; b < kMeasureBands; ++b) share += std::pow(10.0, m.band_db[b] / 10.0);
  return toDb(share);
}
