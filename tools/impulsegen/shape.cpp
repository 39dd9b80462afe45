#include "tools/impulsegen/shape.hpp"

#include <algorithm>

#include "tools/impulsegen/detmath.hpp"

namespace {
// Below this |H|² a section counts as a zero (DC of a high-pass); the floor limit
// then sets the final depth.
constexpr double kTiny = 1e-30;
}  // namespace

template <typename Ratio>
void LogShape::addRatio(double f0, Ratio ratio) {
  for (size_t k = 0; k < ln_.size(); ++k) {
    const double x = k * bin_hz_ / f0;
    const double h2 = ratio(x, x * x);
    ln_[k] += 0.5 * detmath::log(h2 > kTiny ? h2 : kTiny);
  }
}

void LogShape::highPass2(double f0, double q) {
  addRatio(f0, [q](double x, double x2) {
    const double a = 1.0 - x2, b = x / q;
    return x2 * x2 / (a * a + b * b);
  });
}

void LogShape::lowPass2(double f0, double q) {
  addRatio(f0, [q](double x, double x2) {
    const double a = 1.0 - x2, b = x / q;
    return 1.0 / (a * a + b * b);
  });
}

void LogShape::highPass1(double f0) {
  addRatio(f0, [](double, double x2) { return x2 / (1.0 + x2); });
}

void LogShape::lowPass1(double f0) {
  addRatio(f0, [](double, double x2) { return 1.0 / (1.0 + x2); });
}

void LogShape::butterLowPass(double fc, int order) {
  addRatio(fc, [order](double, double x2) {
    double p = 1.0;
    for (int i = 0; i < order; ++i) p *= x2;
    return 1.0 / (1.0 + p);
  });
}

void LogShape::bell(double f0, double gain_db, double q) {
  // H(s) = (s² + s·A/Q + 1) / (s² + s/(A·Q) + 1), A = 10^(gain/40): gain_db at f0.
  const double a = detmath::dbToGain(gain_db * 0.5);
  addRatio(f0, [a, q](double x, double x2) {
    const double r = 1.0 - x2, num = x * a / q, den = x / (a * q);
    return (r * r + num * num) / (r * r + den * den);
  });
}

void LogShape::lowShelf(double f0, double gain_db) {
  // H(s) = (s + G) / (s + 1) in s/ω0.
  const double g = detmath::dbToGain(gain_db);
  addRatio(f0, [g](double, double x2) { return (x2 + g * g) / (x2 + 1.0); });
}

void LogShape::highShelf(double f0, double gain_db) {
  // H(s) = (G·s + 1) / (s + 1) in s/ω0.
  const double g = detmath::dbToGain(gain_db);
  addRatio(f0, [g](double, double x2) { return (g * g * x2 + 1.0) / (x2 + 1.0); });
}

void LogShape::add(const LogShape& other, double weight) {
  for (size_t k = 0; k < ln_.size(); ++k) ln_[k] += weight * other.ln_[k];
}

void LogShape::limitFloor(double floor_db) {
  const double top = *std::max_element(ln_.begin(), ln_.end());
  const double lowest = top - detmath::dbToLn(floor_db);
  for (double& v : ln_) v = std::max(v, lowest);
}
