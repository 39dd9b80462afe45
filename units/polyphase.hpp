// A biquad cascade H(z) = Π B(z) / A(z) rewritten for a rate change by a factor M,
// the same response with the work at the low rate wherever it can be. Each pole p
// of A moves to p^M:
//   1 / (1 − p·z⁻¹) = (1 + p·z⁻¹ + … + p^(M−1)·z^−(M−1)) / (1 − p^M·z⁻ᴹ),
// so H(z) = N(z) / D(zᴹ) with N an FIR of 2·S·M + 1 taps (S sections) and D a
// cascade of S all-pole sections in zᴹ. A decimator then runs N only at the
// samples it keeps and D at the low rate; an interpolator runs D at the low rate
// before the zero-stuffing and N on the stuffed signal in M phases, each a short
// FIR over the low-rate history. The poles p^M lie further inside the unit circle
// than p, so the low-rate sections are the better conditioned ones.
//
// As in the cascade, a tiny offset (±1e-8) that flips sign every input sample keeps
// the recursion out of the denormal range on silence: a decimator adds it to the
// FIR's input, whose alternation the filter rejects; an interpolator adds it before
// its low-rate sections, where it ends up at the host rate's Nyquist frequency,
// some 150 dB down.
#pragma once
#include "units/biquadcascade.hpp"

class qvpolyphase {
public:
  static constexpr int kMaxFactor = 16;
  static constexpr int kMaxTaps = 2 * kBiquadMaxSections * kMaxFactor + 1;

  // [between blocks] The form of `cascade` for factor m (2..kMaxFactor); the state
  // starts from silence. False (and no form: factor() is 0) for a factor out of
  // range or a cascade without sections.
  bool build(const qvbiquadcascade& cascade, int m);
  // [between blocks] Silence in the state.
  void reset() noexcept;
  // [any] Whether both have the same factor and coefficients (so one's state
  // suits the other).
  bool sameForm(const qvpolyphase& other) const;
  int factor() const { return factor_; }
  int taps() const { return ntaps_; }

  // [audio] Interpolator: each of the n input samples, flushed to 0 when zero or
  // denormal and multiplied by the factor, followed by factor − 1 zeros, filtered
  // into out (n · factor sub-samples). Factors 2, 4, 8 and 16 have their own loops.
  void upsample(const float* in, int n, float* out) noexcept;
  // [audio] Decimator: filters count sub-samples (a multiple of the factor) and
  // keeps the first of each group of factor outputs in out.
  void decimate(const float* in, int count, float* out) noexcept;

private:
  // The low-rate all-pole sections, S of them, with their state in locals for a
  // run of samples (written back at the end): w = (x − a2·s2) − a1·s1.
  template <int S>
  class lowrate;
  template <int M, int S>
  void upsampleBy(const float* in, int n, float* out) noexcept;
  template <int M>
  void upsampleBy(const float* in, int n, float* out) noexcept;
  template <int S>
  void decimateWith(const float* in, int count, float* out) noexcept;

  static constexpr int kRunSubSamples = 256;  // the decimator's sub-samples per run
  static constexpr int kLowRing = 64;  // low-rate history of the interpolator (≥ taps / factor)

  int factor_ = 0;
  int nsections_ = 0;
  int ntaps_ = 0;
  int phaseTaps_ = 0;  // taps of the longest interpolator phase
  double a1_[kBiquadMaxSections] = {}, a2_[kBiquadMaxSections] = {};
  double s1_[kBiquadMaxSections] = {}, s2_[kBiquadMaxSections] = {};
  // The decimator reads N newest-last; the interpolator reads N phase by phase:
  // phase r's tap k is n_[k·factor + r], zero beyond the last tap.
  alignas(16) double reversed_[kMaxTaps + 7] = {};
  alignas(16) double n_[kMaxTaps + kMaxFactor] = {};
  // The decimator's history: the sub-samples its next window reaches back to,
  // then a run's new ones.
  alignas(16) double history_[kMaxTaps + 7 + kRunSubSamples] = {};
  // The interpolator's low-rate history, written twice (at i and i + kLowRing)
  // so that any window is contiguous.
  alignas(16) double low_[2 * kLowRing] = {};
  int at_ = 0;  // next write position in low_
  double d_ = kBiquadAntiDenormal;
};
