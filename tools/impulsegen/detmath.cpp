// Range reduction to a small interval, then a truncated series evaluated by
// Horner's rule; std::floor, std::ldexp and std::frexp are exact in IEEE arithmetic.
#include "tools/impulsegen/detmath.hpp"

#include <cmath>

namespace detmath {
namespace {

// ln 2 split so that k·kLn2Hi is exact for |k| < 2^20.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kHalfPi = kPi / 2.0;
// π/2 split the same way for the trigonometric reduction.
constexpr double kHalfPiHi = 1.57079632673412561417e+00;
constexpr double kHalfPiLo = 6.07710050650619224932e-11;

// sin and cos for |r| ≤ π/4: Taylor series to the 17th/18th power.
double sinSmall(double r) {
  const double r2 = r * r;
  double s = 1.0 / 355687428096000.0;  // 1/17!
  s = s * r2 - 1.0 / 1307674368000.0;
  s = s * r2 + 1.0 / 6227020800.0;
  s = s * r2 - 1.0 / 39916800.0;
  s = s * r2 + 1.0 / 362880.0;
  s = s * r2 - 1.0 / 5040.0;
  s = s * r2 + 1.0 / 120.0;
  s = s * r2 - 1.0 / 6.0;
  return r + r * r2 * s;
}

double cosSmall(double r) {
  const double r2 = r * r;
  double c = 1.0 / 6402373705728000.0;  // 1/18!
  c = c * r2 - 1.0 / 20922789888000.0;
  c = c * r2 + 1.0 / 87178291200.0;
  c = c * r2 - 1.0 / 479001600.0;
  c = c * r2 + 1.0 / 3628800.0;
  c = c * r2 - 1.0 / 40320.0;
  c = c * r2 + 1.0 / 720.0;
  c = c * r2 - 1.0 / 24.0;
  c = c * r2 + 0.5;
  return 1.0 - r2 * c;
}

// Quadrant q (mod 4) and remainder r in [−π/4, π/4] with x = q·π/2 + r.
double reduceQuadrant(double x, long long& q) {
  const double k = std::floor(x / kHalfPi + 0.5);
  q = static_cast<long long>(k);
  return (x - k * kHalfPiHi) - k * kHalfPiLo;
}

}  // namespace

double exp(double x) {
  if (x < -745.0) return 0.0;
  if (x > 709.0) return HUGE_VAL;
  const double k = std::floor(x / kLn2 + 0.5);
  const double r = (x - k * kLn2Hi) - k * kLn2Lo;  // |r| ≤ 0.35
  double p = 1.0 / 87178291200.0;                  // 1/14!
  const double inv_fact[] = {1.0 / 6227020800.0, 1.0 / 479001600.0, 1.0 / 39916800.0,
                             1.0 / 3628800.0,    1.0 / 362880.0,    1.0 / 40320.0,
                             1.0 / 5040.0,       1.0 / 720.0,       1.0 / 120.0,
                             1.0 / 24.0,         1.0 / 6.0,         0.5,
                             1.0,                1.0};
  for (double c : inv_fact) p = p * r + c;
  return std::ldexp(p, static_cast<int>(k));
}

double log(double x) {
  if (!(x > 0.0)) return -1e300;
  if (std::isinf(x)) return x;
  int e = 0;
  double m = std::frexp(x, &e);  // x = m·2^e, m in [0.5, 1)
  if (m < 0.70710678118654752440) {
    m *= 2.0;
    e -= 1;
  }
  // ln m = 2·atanh(s), s = (m − 1)/(m + 1), |s| ≤ 0.172.
  const double s = (m - 1.0) / (m + 1.0);
  const double s2 = s * s;
  double p = 1.0 / 23.0;
  for (int n = 21; n >= 1; n -= 2) p = p * s2 + 1.0 / n;
  return 2.0 * s * p + e * kLn2Hi + e * kLn2Lo;
}

double sin(double x) {
  long long q = 0;
  const double r = reduceQuadrant(x, q);
  switch (q & 3) {
    case 0: return sinSmall(r);
    case 1: return cosSmall(r);
    case 2: return -sinSmall(r);
    default: return -cosSmall(r);
  }
}

double cos(double x) {
  long long q = 0;
  const double r = reduceQuadrant(x, q);
  switch (q & 3) {
    case 0: return cosSmall(r);
    case 1: return -sinSmall(r);
    case 2: return -cosSmall(r);
    default: return sinSmall(r);
  }
}

}  // namespace detmath
