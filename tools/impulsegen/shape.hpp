// Log-magnitude response on a uniform frequency grid, built by adding analog
// filter sections (each given by its exact |H(jω)|²). Adding in the log domain is
// multiplying the sections' responses; the result feeds the minimum-phase step.
#pragma once
#include <vector>

class LogShape {
public:
  LogShape(int bins, double bin_hz) : ln_(bins, 0.0), bin_hz_(bin_hz) {}

  void highPass2(double f0, double q);
  void lowPass2(double f0, double q);
  void highPass1(double f0);
  void lowPass1(double f0);
  void butterLowPass(double fc, int order);  // |H|² = 1/(1 + (f/fc)^(2·order))
  void bell(double f0, double gain_db, double q);
  void lowShelf(double f0, double gain_db);   // first order: gain below f0, 0 dB above
  void highShelf(double f0, double gain_db);  // first order: 0 dB below f0, gain above
  void add(const LogShape& other, double weight);
  // Keeps every bin within floor_db of the loudest, so the cepstrum stays finite.
  void limitFloor(double floor_db);

  const std::vector<double>& lnMagnitude() const { return ln_; }
  double binHz() const { return bin_hz_; }

private:
  // Adds ½·ln(num/den) at every bin; num and den get x = f/f0 and x².
  template <typename Ratio>
  void addRatio(double f0, Ratio ratio);

  std::vector<double> ln_;  // ln|H| per bin, bin k at k·bin_hz_
  double bin_hz_;
};
