// FFT work space for the response designer: one real transform size with its own
// buffers and FFTW plans (estimated, never measured, so the plan and therefore the
// arithmetic is the same on every run), minimum-phase reconstruction from a log
// magnitude, and linear convolution.
#pragma once
#include <complex>
#include <vector>

class SpectrumWork {
public:
  // [any] n is a power of two ≥ 64. FFTW's planner is not thread-safe: create work
  // spaces from one thread at a time (the generator and the tests are single-threaded).
  explicit SpectrumWork(int n);
  ~SpectrumWork();
  SpectrumWork(const SpectrumWork&) = delete;
  SpectrumWork& operator=(const SpectrumWork&) = delete;

  int size() const { return n_; }
  int bins() const { return n_ / 2 + 1; }
  double binHz(double rate) const { return rate / n_; }

  // Minimum-phase impulse response (n samples) whose magnitude is exp(ln_mag[k]) on
  // the bins 0 to n/2, by folding the real cepstrum onto positive quefrencies.
  std::vector<double> minimumPhase(const std::vector<double>& ln_mag);

  // Linear convolution of a and b, truncated to out_len samples; the inputs'
  // lengths must add up to no more than n.
  std::vector<double> convolve(const std::vector<double>& a, const std::vector<double>& b, size_t out_len);

  // Power |X(k)|² of x (zero-padded to n) on the bins 0 to n/2.
  std::vector<double> power(const std::vector<double>& x);

private:
  std::vector<std::complex<double>> forward(const std::vector<double>& x);

  int n_;
  double* time_;   // n real samples (fftw_malloc)
  void* freq_;     // n/2+1 complex bins (fftw_complex)
  void* fwd_;      // r2c plan on time_ → freq_
  void* inv_;      // c2r plan on freq_ → time_ (overwrites freq_)
};
