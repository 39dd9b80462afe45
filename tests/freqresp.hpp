// Measuring helpers for filter tests: record an impulse response through any
// per-sample callable and take its DFT at one frequency (double precision), so a
// filter's measured magnitude can be held against the analytic one of its design.
#pragma once
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace freqresp {

constexpr double kPi = std::numbers::pi;

// Impulse response of n samples; `step` maps one float sample to one float.
template <class Step>
std::vector<double> impulse(Step&& step, int n) {
  std::vector<double> h(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) h[static_cast<size_t>(k)] = step(k == 0 ? 1.0f : 0.0f);
  return h;
}

// |Σ h[k]·e^(−jwk)|, w in radians per sample.
inline double magnitude(const std::vector<double>& h, double w) {
  std::complex<double> acc = 0.0;
  const std::complex<double> rot = std::polar(1.0, -w);
  std::complex<double> e = 1.0;
  for (size_t k = 0; k < h.size(); ++k) {
    acc += h[k] * e;
    e *= rot;
    if ((k & 1023) == 1023) e = std::polar(1.0, -w * static_cast<double>(k + 1));  // no drift
  }
  return std::abs(acc);
}

inline double omega(double hz, double rate) { return 2.0 * kPi * hz / rate; }
inline double toDb(double mag) { return 20.0 * std::log10(mag); }

}  // namespace freqresp
