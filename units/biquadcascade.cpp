#include "units/biquadcascade.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

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
  // Zeros on the unit circle come out of the design a rounding away from it
  // (|z|² = 1 ± 1 ulp): such sections are set to exactly 1 there.
  bool unit = n > 1;
  for (int i = 1; i < n; ++i)
    unit = unit && next[i].b0 == 1.0 && std::fabs(next[i].b2 - 1.0) <= 1e-12;
  if (unit)
    for (int i = 1; i < n; ++i) next[i].b2 = 1.0;
  for (int i = 0; i < n; ++i) sec_[i] = next[i];
  unitZeros_ = unit;
  // Sections beyond the old count start from silence.
  for (int i = nsections_; i < n; ++i) st_[i] = qvbiquadstate{};
  nsections_ = n;
  return kBiquadOk;
}

// The cascade with N sections, its coefficients, state and offset copied into
// locals for a run of samples and written back at the end. The arithmetic is that
// of process(float), term for term; UnitZeros as unitZeros().
template <int N, bool UnitZeros>
class qvbiquadcascade::run {
public:
  explicit run(qvbiquadcascade& f) noexcept : f_(f), d_(f.d_) {
    for (int j = 0; j < N; ++j) {
      c_[j] = f.sec_[j];
      s1_[j] = f.st_[j].s1;
      s2_[j] = f.st_[j].s2;
    }
  }
  ~run() {
    for (int j = 0; j < N; ++j) {
      f_.st_[j].s1 = s1_[j];
      f_.st_[j].s2 = s2_[j];
    }
    f_.d_ = d_;
  }
  run(const run&) = delete;
  run& operator=(const run&) = delete;

  // One sample through every section.
  float tick(float x) noexcept {
    d_ = -d_;
    double y = x;
    for (int j = 0; j < N; ++j) y = section(j, y);
    return static_cast<float>(y);
  }
  // tick(0.0f), one operation shorter: the first section's (0 − a1·s1 − a2·s2) + d
  // is d − (a1·s1 + a2·s2) to the last bit (negation is exact and rounding
  // symmetric; where a zero's sign differs, adding d ≠ 0 erases it).
  float tickZero() noexcept {
    d_ = -d_;
    if constexpr (N == 0) {
      return 0.0f;
    } else {
      const double w = d_ - (c_[0].a1 * s1_[0] + c_[0].a2 * s2_[0]);
      double y = c_[0].b1 * s1_[0] + c_[0].b0 * w + c_[0].b2 * s2_[0];
      s2_[0] = s1_[0];
      s1_[0] = w;
      for (int j = 1; j < N; ++j) y = section(j, y);
      return static_cast<float>(y);
    }
  }
  // One sample whose output is not wanted: the last section only advances its state.
  void advance(float x) noexcept {
    d_ = -d_;
    double y = x;
    for (int j = 0; j + 1 < N; ++j) y = section(j, y);
    if constexpr (N > 0) {
      const double w = entry(N - 1, y);
      s2_[N - 1] = s1_[N - 1];
      s1_[N - 1] = w;
    }
  }

private:
  // Direct form II: w enters the delay line, y leaves the section.
  double entry(int j, double y) const noexcept {
    double w = y - c_[j].a1 * s1_[j] - c_[j].a2 * s2_[j];
    if (j == 0) w = w + d_;  // only the first section sees the offset
    return w;
  }
  double section(int j, double y) noexcept {
    const double w = entry(j, y);
    if (UnitZeros && N > 1 && j > 0)
      y = (w + s2_[j]) + c_[j].b1 * s1_[j];
    else
      y = c_[j].b1 * s1_[j] + c_[j].b0 * w + c_[j].b2 * s2_[j];
    s2_[j] = s1_[j];
    s1_[j] = w;
    return y;
  }

  qvbiquadcascade& f_;
  qvbiquad c_[N > 0 ? N : 1];
  double s1_[N > 0 ? N : 1] = {}, s2_[N > 0 ? N : 1] = {};
  double d_;
};

template <class Body>
void qvbiquadcascade::withRun(Body&& body) noexcept {
  if (unitZeros_)
    withRunOf<true>(body);
  else
    withRunOf<false>(body);
}

template <bool UnitZeros, class Body>
void qvbiquadcascade::withRunOf(Body& body) noexcept {
  static_assert(kBiquadMaxSections == 8);
  switch (nsections_) {
    case 1: { run<1, UnitZeros> r(*this); body(r); break; }
    case 2: { run<2, UnitZeros> r(*this); body(r); break; }
    case 3: { run<3, UnitZeros> r(*this); body(r); break; }
    case 4: { run<4, UnitZeros> r(*this); body(r); break; }
    case 5: { run<5, UnitZeros> r(*this); body(r); break; }
    case 6: { run<6, UnitZeros> r(*this); body(r); break; }
    case 7: { run<7, UnitZeros> r(*this); body(r); break; }
    case 8: { run<8, UnitZeros> r(*this); body(r); break; }
    default: { run<0, UnitZeros> r(*this); body(r); break; }
  }
}

void qvbiquadcascade::process(float* samples, int count) noexcept {
  withRun([&](auto& r) {
    for (int k = 0; k < count; ++k) samples[k] = r.tick(samples[k]);
  });
}

void qvbiquadcascade::processUpsampled(const float* in, int n, int m, float* out) noexcept {
  withRun([&](auto& r) {
    const float gain = static_cast<float>(m);
    for (int i = 0; i < n; ++i) {
      float x = in[i];
      if (isZeroOrDenormal(x)) x = 0.0f;
      float* sub = out + static_cast<ptrdiff_t>(i) * m;
      sub[0] = r.tick(x * gain);
      for (int j = 1; j < m; ++j) sub[j] = r.tickZero();
    }
  });
}

void qvbiquadcascade::processDecimated(const float* in, int count, int m, float* out) noexcept {
  withRun([&](auto& r) {
    for (int k = 0, g = 0; k < count; k += m, ++g) {
      out[g] = r.tick(in[k]);
      for (int j = 1; j < m; ++j) r.advance(in[k + j]);
    }
  });
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
