#include "units/zplane.hpp"

#include <cmath>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;  // 3.141592653589793

// Normalised corners are kept this far inside (0, 0.5) so the tangent stays finite
// and positive; corners within the range are used as given.
constexpr double kMinCorner = 1e-9;
constexpr double kMaxCorner = 0.5 - 1e-9;

// Width, radians per sample, of a band that had to be moved inside (0, π).
constexpr double kNarrowestBand = 1e-3;

double holdCorner(double fc) {
  if (!(fc > kMinCorner)) return kMinCorner;  // also catches NaN
  if (fc > kMaxCorner) return kMaxCorner;
  return fc;
}

// s → z for the low-pass mapping s = (z − 1) / ((z + 1) · f).
qvcomplex bilinearLow(qvcomplex c, double f) {
  if (isInfinite(c)) return -1.0;
  return (1.0 + f * c) / (1.0 - f * c);
}

// s → z for the high-pass mapping: the low-pass mapping mirrored through z = 0.
qvcomplex bilinearHigh(qvcomplex c, double f) {
  if (isInfinite(c)) return 1.0;
  return -(1.0 + f * c) / (1.0 - f * c);
}

// Shared by the one-to-one transforms: map every pair with `map`.
template <class Map>
int mapEach(qvzplane& digital, const qvzplane& analog, Map map) {
  for (int i = 0; i < analog.npairs; ++i) {
    const qvzpair& a = analog.pairs[i];
    const bool ok = a.single ? digital.addSingle(map(a.poles[0]), map(a.zeros[0]))
                             : digital.addConjugatePair(map(a.poles[0]), map(a.zeros[0]));
    if (!ok) return kZPlaneOverflow;
  }
  return kZPlaneOk;
}

// Band-pass mapping of one analog value to its two digital images.
struct bandMap {
  double a, b, a2, b2, ab2;

  void images(qvcomplex c, qvcomplex& first, qvcomplex& second) const {
    if (isInfinite(c)) {
      first = -1.0;
      second = 1.0;
      return;
    }
    const qvcomplex cz = (1.0 + c) / (1.0 - c);
    const double k1 = 4.0 * (b2 * (a2 - 1.0) + 1.0);
    const double k2 = 8.0 * (b2 * (a2 - 1.0) - 1.0);
    const qvcomplex v = std::sqrt((k1 * cz + k2) * cz + k1);
    const qvcomplex d = 2.0 * (b - 1.0) * cz + 2.0 * (1.0 + b);
    const qvcomplex u = ab2 * cz + ab2;
    first = (u - v) / d;
    second = (u + v) / d;
  }
};
}  // namespace

bool qvzplane::addConjugatePair(qvcomplex pole, qvcomplex zero) {
  return addPair(pole, std::conj(pole), zero, std::conj(zero));
}

bool qvzplane::addPair(qvcomplex p1, qvcomplex p2, qvcomplex z1, qvcomplex z2) {
  if (full()) return false;
  pairs[npairs++] = qvzpair{{p1, p2}, {z1, z2}, false};
  npoles += 2;
  return true;
}

bool qvzplane::addSingle(qvcomplex pole, qvcomplex zero) {
  if (full()) return false;
  pairs[npairs++] = qvzpair{{pole, 0.0}, {zero, 0.0}, true};
  npoles += 1;
  return true;
}

int lowPassTransform(double fc, qvzplane& digital, const qvzplane& analog) {
  digital.clear();
  const double f = std::tan(kPi * holdCorner(fc));
  const int rc = mapEach(digital, analog, [f](qvcomplex c) { return bilinearLow(c, f); });
  digital.wn = analog.wn;
  digital.gn = analog.gn;
  return rc;
}

int highPassTransform(double fc, qvzplane& digital, const qvzplane& analog) {
  digital.clear();
  const double f = 1.0 / std::tan(kPi * holdCorner(fc));
  const int rc = mapEach(digital, analog, [f](qvcomplex c) { return bilinearHigh(c, f); });
  digital.wn = kPi - analog.wn;
  digital.gn = analog.gn;
  return rc;
}

int bandPassTransform(double fc, double fw, qvzplane& digital, const qvzplane& analog) {
  digital.clear();
  const double ww = 2.0 * kPi * fw;
  double wc2 = 2.0 * kPi * fc - ww / 2.0;  // lower band edge, radians per sample
  double wc = wc2 + ww;                     // upper band edge
  if (wc2 <= 1e-8) wc2 = 1e-8;
  if (wc >= kPi - 1e-8) wc = kPi - 1e-8;
  // A band centred beyond half the rate (a high centre at a low host rate) has its
  // lower edge past the clamped upper one; the map then flips and the poles leave
  // the unit circle. The band is kept, narrow, at the top of the spectrum.
  if (!(wc2 < wc)) {
    wc2 = wc - kNarrowestBand;
    if (wc2 <= 1e-8) {  // a band of no width at the bottom: widened upwards
      wc2 = 1e-8;
      wc = wc2 + kNarrowestBand;
    }
  }

  bandMap m;
  m.a = std::cos((wc + wc2) * 0.5) / std::cos((wc - wc2) * 0.5);
  m.b = 1.0 / std::tan((wc - wc2) * 0.5);
  m.a2 = m.a * m.a;
  m.b2 = m.b * m.b;
  m.ab2 = 2.0 * m.a * m.b;

  int rc = kZPlaneOk;
  for (int i = 0; i < analog.npairs && rc == kZPlaneOk; ++i) {
    const qvzpair& a = analog.pairs[i];
    qvcomplex p1, p2, z1, z2;
    m.images(a.poles[0], p1, p2);
    m.images(a.zeros[0], z1, z2);
    if (a.single) {
      // One real value becomes two: one second-order section.
      if (!digital.addPair(p1, p2, z1, z2)) rc = kZPlaneOverflow;
    } else if (!digital.addConjugatePair(p1, z1) || !digital.addConjugatePair(p2, z2)) {
      rc = kZPlaneOverflow;
    }
  }
  const double wn = analog.wn;
  digital.wn = 2.0 * std::atan(std::sqrt(std::tan((wc + wn) * 0.5) * std::tan((wc2 + wn) * 0.5)));
  digital.gn = analog.gn;
  return rc;
}
