#include "units/elliptic.hpp"

#include <cmath>

namespace {
constexpr int kLanden = 12;  // descending Landen steps; converges far below 1e-15 by then
constexpr double kPi = 3.141592653589793;

// Descending Landen sequence of moduli: v[0] = k, v[n] = (v[n-1] / (1 + k'))².
void landen(double k, double v[kLanden + 1]) {
  v[0] = k;
  for (int n = 1; n <= kLanden; ++n) {
    const double kp = std::sqrt(1.0 - v[n - 1] * v[n - 1]);
    const double r = v[n - 1] / (1.0 + kp);
    v[n] = r * r;
  }
}

// Complete elliptic integral of the first kind, K(k).
double ellipK(double k) {
  double v[kLanden + 1];
  landen(k, v);
  double K = kPi / 2;
  for (int n = 1; n <= kLanden; ++n) K *= 1.0 + v[n];
  return K;
}

// cd(u·K, k) for complex u, by ascending the Landen sequence from cos.
qvcomplex cde(qvcomplex u, double k) {
  double v[kLanden + 1];
  landen(k, v);
  qvcomplex w = std::cos(u * (kPi / 2));
  for (int n = kLanden; n >= 1; --n) w = (1.0 + v[n]) * w / (1.0 + v[n] * w * w);
  return w;
}

// u with sn(u·K, k) = w, for complex w.
qvcomplex asne(qvcomplex w, double k) {
  double v[kLanden + 1];
  landen(k, v);
  for (int n = 1; n <= kLanden; ++n) {
    const double v1 = v[n - 1];
    w = w / (1.0 + std::sqrt(1.0 - w * w * v1 * v1)) * 2.0 / (1.0 + v[n]);
  }
  return std::asin(w) * (2.0 / kPi);
}

// Modulus whose nome is q: k = 4√q · (Π (1 + q^2m) / (1 + q^(2m−1)))⁴.
double modulusFromNome(double q) {
  double prod = 1.0;
  for (int m = 1; m <= 30; ++m)
    prod *= (1.0 + std::pow(q, 2.0 * m)) / (1.0 + std::pow(q, 2.0 * m - 1.0));
  return 4.0 * std::sqrt(q) * std::pow(prod, 4.0);
}
}  // namespace

int qvellipticlowpass::designPrototype(int order, double rippleDb, double rolloff) {
  if (order < 2 || order > 16 || order % 2 != 0 || !(rippleDb > 0)) return 1;
  const double eps = std::sqrt(std::pow(10.0, rippleDb / 10.0) - 1.0);
  const double xi = ellipticSelectivity(rolloff);  // stopband edge over passband edge
  const double k = 1.0 / xi;
  const double kp = std::sqrt(1.0 - 1.0 / (xi * xi));
  // The order fixes the stopband level: the nome of k1 is the N-th power of k's.
  const double q = std::exp(-kPi * ellipK(kp) / ellipK(k));
  const double k1 = modulusFromNome(std::pow(q, order));
  const double v0 = (qvcomplex(0, -1.0 / order) * asne(qvcomplex(0, 1.0 / eps), k1)).real();

  analog_.clear();
  for (int i = 1; i <= order / 2; ++i) {
    const double u = (2.0 * i - 1.0) / order;
    const double zeta = cde(u, k).real();
    const qvcomplex zero(0.0, 1.0 / (k * zeta));
    qvcomplex pole = qvcomplex(0.0, 1.0) * cde(qvcomplex(u, -v0), k);
    if (pole.real() > 0) pole = -std::conj(pole);  // keep the left half plane
    if (!std::isfinite(pole.real()) || !std::isfinite(pole.imag())) return 2;
    analog_.addConjugatePair(pole, zero);
  }
  analog_.wn = 0.0;  // normalised at DC: unity gain for the bass
  analog_.gn = 1.0;
  order_ = order;
  ripple_ = rippleDb;
  rolloff_ = rolloff;
  selectivity_ = xi;
  ++designs_;
  return 0;
}

int qvellipticlowpass::design(int order, double rippleDb, double rolloff, double rate,
                              double cutoff) {
  if (order != order_ || rippleDb != ripple_ || rolloff != rolloff_) {
    const int code = designPrototype(order, rippleDb, rolloff);
    if (code != 0) return code;
  }
  if (!(rate > 0) || !(cutoff > 0)) return 3;
  qvzplane digital;
  if (lowPassTransform(cutoff / rate, digital, analog_) != kZPlaneOk) return 4;
  if (cascade_.setlayout(digital) != kBiquadOk) return 5;
  formCurrent_ = false;  // until prepare() builds the form of this response
  return 0;
}

bool qvellipticlowpass::prepare(int m) {
  qvpolyphase next;
  const bool ok = next.build(cascade_, m);
  if (!ok || !next.sameForm(polyphase_)) polyphase_ = next;
  formCurrent_ = ok;
  return ok;
}
