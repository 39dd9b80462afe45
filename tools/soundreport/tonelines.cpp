#include "tools/soundreport/tonelines.hpp"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kLowest_hz = 20.0;  // below: DC and rumble, not counted

// Four-term Blackman-Harris: sidelobes at -92 dB, so a line 8 Hz away from a
// full-scale harmonic does not leak into the count.
double blackmanHarris(size_t i, size_t n) {
  const double a = 2.0 * kPi * static_cast<double>(i) / static_cast<double>(n - 1);
  return 0.35875 - 0.48829 * std::cos(a) + 0.14128 * std::cos(2 * a) - 0.01168 * std::cos(3 * a);
}

// Energy per bin 0..n/2 of the windowed signal.
std::vector<double> powerSpectrum(const std::vector<float>& y) {
  const size_t n = y.size();
  double* in = fftw_alloc_real(n);
  fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
  fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE);
  for (size_t i = 0; i < n; ++i) in[i] = static_cast<double>(y[i]) * blackmanHarris(i, n);
  fftw_execute(plan);
  std::vector<double> power(n / 2 + 1);
  for (size_t k = 0; k <= n / 2; ++k) power[k] = out[k][0] * out[k][0] + out[k][1] * out[k][1];
  fftw_destroy_plan(plan);
  fftw_free(in);
  fftw_free(out);
  return power;
}
}  // namespace

sraliasing nonHarmonicShare(const std::vector<float>& y, double freq_hz, double rate, int nlines) {
  sraliasing result;
  if (y.size() < 16 || !(freq_hz > 0)) return result;
  const std::vector<double> power = powerSpectrum(y);
  const double bin_hz = rate / static_cast<double>(y.size());
  double total = 0, other = 0;
  std::vector<bool> counted(power.size(), false);
  for (size_t k = 1; k < power.size(); ++k) {
    total += power[k];
    const double f = static_cast<double>(k) * bin_hz;
    if (f < kLowest_hz) continue;
    const double nearest = std::round(f / freq_hz) * freq_hz;
    if (std::fabs(f - nearest) > kHarmonicBand_hz) {
      other += power[k];
      counted[k] = true;
    }
  }
  if (!(total > 0)) {
    result.level_db = -300.0;
    return result;
  }
  result.level_db = 10.0 * std::log10(std::max(other, total * 1e-30) / total);
  // Lines: local maxima among the counted bins, strongest first.
  std::vector<srline> peaks;
  for (size_t k = 1; k + 1 < power.size(); ++k) {
    if (!counted[k] || power[k] < power[k - 1] || power[k] < power[k + 1]) continue;
    peaks.push_back({static_cast<double>(k) * bin_hz, 10.0 * std::log10(power[k] / total + 1e-300)});
  }
  std::sort(peaks.begin(), peaks.end(),
            [](const srline& a, const srline& b) { return a.level_db > b.level_db; });
  if (peaks.size() > static_cast<size_t>(std::max(nlines, 0))) peaks.resize(std::max(nlines, 0));
  result.strongest = std::move(peaks);
  return result;
}

double toneDistortion(const std::vector<float>& y, double freq_hz, double rate) {
  const size_t from = y.size() / 2;
  if (y.size() - from < 2) return 0.0;
  double dc = 0;
  for (size_t i = from; i < y.size(); ++i) dc += y[i];
  dc /= static_cast<double>(y.size() - from);
  // Sine, cosine and constant are close to orthogonal over many periods, so two
  // projections after removing the mean are the least-squares fit.
  double ss = 0, sc = 0, s2 = 0, c2 = 0;
  for (size_t i = from; i < y.size(); ++i) {
    const double ph = 2 * kPi * freq_hz * static_cast<double>(i) / rate;
    const double s = std::sin(ph), c = std::cos(ph);
    ss += (y[i] - dc) * s;
    sc += (y[i] - dc) * c;
    s2 += s * s;
    c2 += c * c;
  }
  const double a = ss / s2, b = sc / c2;
  double resid = 0, tone = 0;
  for (size_t i = from; i < y.size(); ++i) {
    const double ph = 2 * kPi * freq_hz * static_cast<double>(i) / rate;
    const double fit = a * std::sin(ph) + b * std::cos(ph);
    const double r = y[i] - dc - fit;
    resid += r * r;
    tone += fit * fit;
  }
  return tone > 0 ? std::sqrt(resid / tone) : 0.0;
}
