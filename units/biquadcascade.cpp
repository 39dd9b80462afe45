#include "units/biquadcascade.hpp"

#include <cmath>

namespace {
// A first-order pair: one real pole with one real zero, (1 − z·z⁻¹) / (1 − p·z⁻¹).
// The zero stays where the layout put it; mirrored (−z + z⁻¹) the magnitude would
// be the same but a 0 dB design would become an all-pass instead of passing its input.
qvbiquad firstOrder(qvcomplex pole, qvcomplex zero) {
  qvbiquad s;
  s.a0 = 1.0;
  s.a1 = -pole.real();
  s.a2 = 0.0;
  s.b0 = 1.0;
  s.b1 = -zero.real();
  s.b2 = 0.0;
  return s;
}

// (1 − r1·z⁻¹)(1 − r2·z⁻¹) as 1 + c1·z⁻¹ + c2·z⁻²; conjugates give real coefficients.
void quadratic(qvcomplex r1, qvcomplex r2, double& c1, double& c2) {
  if (r1.imag() != 0.0) {
    c1 = -2.0 * r1.real();
    c2 = std::norm(r1);
  } else {
    c1 = -(r1.real() + r2.real());
    c2 = r1.real() * r2.real();
  }
}

qvbiquad secondOrder(const qvzpair& p) {
  qvbiquad s;
  s.a0 = 1.0;
  quadratic(p.poles[0], p.poles[1], s.a1, s.a2);
  s.b0 = 1.0;
  quadratic(p.zeros[0], p.zeros[1], s.b1, s.b2);
  s.a1 /= s.a0;
  s.a2 /= s.a0;
  s.b0 /= s.a0;
  s.b1 /= s.a0;
  s.b2 /= s.a0;
  s.a0 = 1.0;
  return s;
}

qvcomplex sectionResponse(const qvbiquad& s, double w) {
  const qvcomplex z1 = std::polar(1.0, -w);
  const qvcomplex z2 = std::polar(1.0, -2.0 * w);
  return (s.b0 + s.b1 * z1 + s.b2 * z2) / (1.0 + s.a1 * z1 + s.a2 * z2);
}

bool finite(const qvbiquad& s) {
  return std::isfinite(s.a1) && std::isfinite(s.a2) && std::isfinite(s.b0) &&
         std::isfinite(s.b1) && std::isfinite(s.b2);
}

// Both poles strictly inside the unit circle (the stability triangle of
// 1 + a1·z⁻¹ + a2·z⁻²); a first-order section has a2 = 0.
bool stable(const qvbiquad& s) {
  return std::fabs(s.a2) < 1.0 && std::fabs(s.a1) < 1.0 + s.a2;
}
}  // namespace

int qvbiquadcascade::setlayout(const qvzplane& layout) {
  // Built aside first: a bad layout must not leave NaN in a running filter.
  qvbiquad next[kBiquadMaxSections];
  const int n = (layout.npoles + 1) / 2;
  for (int i = 0; i < n; ++i) {
    const qvzpair& p = layout.pairs[i];
    next[i] = p.single ? firstOrder(p.poles[0], p.zeros[0]) : secondOrder(p);
  }
  qvcomplex h = 1.0;
  for (int i = 0; i < n; ++i) h *= sectionResponse(next[i], layout.wn);
  const double scale = layout.gn / std::abs(h);
  if (n > 0) {
    next[0].b0 *= scale;
    next[0].b1 *= scale;
    next[0].b2 *= scale;
  }
  for (int i = 0; i < n; ++i)
    if (!finite(next[i])) return kBiquadNonFinite;
  // An unstable section would grow from any input until it overflowed, and its
  // NaN would then stay in the running state for good.
  for (int i = 0; i < n; ++i)
    if (!stable(next[i])) return kBiquadUnstable;
  for (int i = 0; i < n; ++i) sec_[i] = next[i];
  // Sections beyond the old count start from silence.
  for (int i = nsections_; i < n; ++i) st_[i] = qvbiquadstate{};
  nsections_ = n;
  return kBiquadOk;
}

void qvbiquadcascade::process(float* samples, int count) noexcept {
  for (int k = 0; k < count; ++k) samples[k] = process(samples[k]);
}

void qvbiquadcascade::reset() noexcept {
  for (qvbiquadstate& s : st_) s = qvbiquadstate{};
  d_ = kBiquadAntiDenormal;
}

qvcomplex qvbiquadcascade::response(double w) const {
  qvcomplex h = 1.0;
  for (int i = 0; i < nsections_; ++i) h *= sectionResponse(sec_[i], w);
  return h;
}
