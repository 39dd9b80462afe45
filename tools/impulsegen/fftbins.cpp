#include "tools/impulsegen/fftbins.hpp"

#include <fftw3.h>

#include <algorithm>

#include "tools/impulsegen/detmath.hpp"

SpectrumWork::SpectrumWork(int n) : n_(n) {
  time_ = fftw_alloc_real(n);
  auto* freq = fftw_alloc_complex(n / 2 + 1);
  freq_ = freq;
  fwd_ = fftw_plan_dft_r2c_1d(n, time_, freq, FFTW_ESTIMATE);
  inv_ = fftw_plan_dft_c2r_1d(n, freq, time_, FFTW_ESTIMATE);
}

SpectrumWork::~SpectrumWork() {
  fftw_destroy_plan(static_cast<fftw_plan>(fwd_));
  fftw_destroy_plan(static_cast<fftw_plan>(inv_));
  fftw_free(freq_);
  fftw_free(time_);
}

std::vector<std::complex<double>> SpectrumWork::forward(const std::vector<double>& x) {
  std::fill(time_, time_ + n_, 0.0);
  std::copy_n(x.begin(), std::min<size_t>(x.size(), n_), time_);
  fftw_execute(static_cast<fftw_plan>(fwd_));
  auto* f = static_cast<fftw_complex*>(freq_);
  std::vector<std::complex<double>> out(bins());
  for (int k = 0; k < bins(); ++k) out[k] = {f[k][0], f[k][1]};
  return out;
}

std::vector<double> SpectrumWork::minimumPhase(const std::vector<double>& ln_mag) {
  auto* f = static_cast<fftw_complex*>(freq_);
  // Real cepstrum: the inverse transform of the (real, even) log magnitude.
  for (int k = 0; k < bins(); ++k) {
    f[k][0] = ln_mag[k];
    f[k][1] = 0.0;
  }
  fftw_execute(static_cast<fftw_plan>(inv_));
  // Fold: keep c[0] and c[n/2], double the positive quefrencies, drop the negative
  // ones. The transform of the folded cepstrum is the minimum-phase log spectrum.
  const double scale = 1.0 / n_;
  std::vector<double> folded(n_, 0.0);
  folded[0] = time_[0] * scale;
  for (int i = 1; i < n_ / 2; ++i) folded[i] = 2.0 * time_[i] * scale;
  folded[n_ / 2] = time_[n_ / 2] * scale;
  std::vector<std::complex<double>> log_spec = forward(folded);
  for (int k = 0; k < bins(); ++k) {
    const double m = detmath::exp(log_spec[k].real());
    const double ph = log_spec[k].imag();
    f[k][0] = m * detmath::cos(ph);
    f[k][1] = m * detmath::sin(ph);
  }
  fftw_execute(static_cast<fftw_plan>(inv_));
  std::vector<double> h(n_);
  for (int i = 0; i < n_; ++i) h[i] = time_[i] * scale;
  return h;
}

std::vector<double> SpectrumWork::convolve(const std::vector<double>& a, const std::vector<double>& b,
                                           size_t out_len) {
  std::vector<std::complex<double>> fa = forward(a);
  std::vector<std::complex<double>> fb = forward(b);
  auto* f = static_cast<fftw_complex*>(freq_);
  for (int k = 0; k < bins(); ++k) {
    const std::complex<double> p = fa[k] * fb[k];
    f[k][0] = p.real();
    f[k][1] = p.imag();
  }
  fftw_execute(static_cast<fftw_plan>(inv_));
  std::vector<double> out(std::min<size_t>(out_len, n_));
  for (size_t i = 0; i < out.size(); ++i) out[i] = time_[i] / n_;
  return out;
}

std::vector<double> SpectrumWork::power(const std::vector<double>& x) {
  std::vector<std::complex<double>> fx = forward(x);
  std::vector<double> p(bins());
  for (int k = 0; k < bins(); ++k) p[k] = std::norm(fx[k]);
  return p;
}
