// Cascade of second-order sections in direct form II, double precision, built from
// a digital pole/zero layout with the gain normalisation folded into the first
// section. Before every sample a tiny offset (±1e-8) flips sign and enters the
// first section: it keeps the recursion out of the denormal range on silence and,
// alternating, adds no DC. Shared by the shelf filters and the anti-alias filters.
#pragma once
#include <cstdint>
#include <cstring>

#include "units/zplane.hpp"

// One section: y = (b0 + b1·z⁻¹ + b2·z⁻²) / (a0 + a1·z⁻¹ + a2·z⁻²), with a0 = 1 after
// normalisation. Field order is the stored order of the design.
struct qvbiquad {
  double a0 = 1, a1 = 0, a2 = 0, b1 = 0, b2 = 0, b0 = 1;
};

// Direct-form-II delay line of one section.
struct qvbiquadstate {
  double s1 = 0, s2 = 0;
};

constexpr int kBiquadMaxSections = kZPlaneMaxPairs;

// Zero or denormal (all exponent bits clear): an interpolator's input is flushed to
// 0 then, so that no denormal enters its recursion.
inline bool isZeroOrDenormal(float x) noexcept {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return (bits & 0x7f800000u) == 0;
}
constexpr double kBiquadAntiDenormal = 1e-8;

// Result codes of setlayout.
enum : int {
  kBiquadOk = 0,
  kBiquadNonFinite = 1,  // the layout gave a non-finite coefficient; the old ones stay
  kBiquadUnstable = 2,   // a pole on or outside the unit circle; the old ones stay
};

class qvbiquadcascade {
public:
  // [between blocks] Sections from the layout's pairs (pair i → section i), scaled so
  // that the response at layout.wn has magnitude layout.gn. Keeps the state, so a
  // redesign during a sweep does not click.
  int setlayout(const qvzplane& layout);

  // [audio] Filters count samples in place, the state held in locals for the run:
  // the same numbers as count calls of process(float).
  void process(float* samples, int count) noexcept;
  // [audio] Zero-stuffing interpolator: each of the n input samples, flushed to 0
  // when zero or denormal and multiplied by m, followed by m − 1 zeros, filtered
  // into out (n · m sub-samples). The same numbers as filtering the stuffed run.
  void processUpsampled(const float* in, int n, int m, float* out) noexcept;
  // [audio] Decimator: filters count sub-samples of in and keeps every m-th output
  // (the first of each group) in out (count / m samples; count a multiple of m).
  // The outputs dropped are not computed; the state advances as for all of them.
  void processDecimated(const float* in, int count, int m, float* out) noexcept;
  // [audio] One sample. Passes the input while no layout has been set.
  float process(float x) noexcept {
    d_ = -d_;
    if (nsections_ == 0) return x;
    double y = x;
    // Only the first section sees the offset.
    double w = y - sec_[0].a1 * st_[0].s1 - sec_[0].a2 * st_[0].s2 + d_;
    y = sec_[0].b1 * st_[0].s1 + sec_[0].b0 * w + sec_[0].b2 * st_[0].s2;
    st_[0].s2 = st_[0].s1;
    st_[0].s1 = w;
    for (int i = 1; i < nsections_; ++i) {
      const qvbiquad& c = sec_[i];
      qvbiquadstate& s = st_[i];
      w = y - c.a1 * s.s1 - c.a2 * s.s2;
      y = unitZeros_ ? (w + s.s2) + c.b1 * s.s1 : c.b1 * s.s1 + c.b0 * w + c.b2 * s.s2;
      s.s2 = s.s1;
      s.s1 = w;
    }
    return static_cast<float>(y);
  }

  // [between blocks] Zero state, offset back to its start value.
  void reset() noexcept;

  // [any] Complex response at w radians per sample (no offset).
  qvcomplex response(double w) const;

  int sections() const { return nsections_; }
  // True when every section after the first has its zeros on the unit circle
  // (b0 = b2 = 1, as in an elliptic low-pass): those sections then skip the two
  // multiplications by 1.
  bool unitZeros() const { return unitZeros_; }
  const qvbiquad& section(int i) const { return sec_[i]; }
  const qvbiquadstate& state(int i) const { return st_[i]; }
  double offset() const { return d_; }

private:
  template <int N, bool UnitZeros>
  class run;
  // Calls body with a run<N> for the current section count.
  template <class Body>
  void withRun(Body&& body) noexcept;
  template <bool UnitZeros, class Body>
  void withRunOf(Body& body) noexcept;

  int nsections_ = 0;
  bool unitZeros_ = false;
  qvbiquad sec_[kBiquadMaxSections];
  qvbiquadstate st_[kBiquadMaxSections];
  double d_ = kBiquadAntiDenormal;  // flips sign before every sample
};
