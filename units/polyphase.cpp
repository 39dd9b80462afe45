#include "units/polyphase.hpp"

#include <cstdint>
#include <cstring>
#include <vector>

#include "units/polyphasewide.hpp"
#include "units/widecode.hpp"

namespace {
using qvdouble2 = double __attribute__((vector_size(16)));

qvdouble2 load2(const double* p) noexcept {
  qvdouble2 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// p · q for polynomials in z⁻¹.
std::vector<qvcomplex> times(const std::vector<qvcomplex>& p, const std::vector<qvcomplex>& q) {
  std::vector<qvcomplex> r(p.size() + q.size() - 1);
  for (size_t i = 0; i < p.size(); ++i)
    for (size_t j = 0; j < q.size(); ++j) r[i + j] += p[i] * q[j];
  return r;
}

// 1 + p·z⁻¹ + … + p^(m−1)·z^−(m−1), and p^m.
std::vector<qvcomplex> geometric(qvcomplex p, int m, qvcomplex& power) {
  std::vector<qvcomplex> c(static_cast<size_t>(m));
  qvcomplex k = 1.0;
  for (int i = 0; i < m; ++i) {
    c[static_cast<size_t>(i)] = k;
    k *= p;
  }
  power = k;
  return c;
}
}  // namespace

bool qvpolyphase::build(const qvbiquadcascade& cascade, int m) {
  factor_ = nsections_ = ntaps_ = phaseTaps_ = 0;
  const int s = cascade.sections();
  if (s < 1 || s > kBiquadMaxSections || m < 2 || m > kMaxFactor || (m & (m - 1)) != 0) return false;
  std::vector<qvcomplex> n{1.0};
  for (int j = 0; j < s; ++j) {
    const qvbiquad& c = cascade.section(j);
    // The poles: roots of z² + a1·z + a2.
    const qvcomplex root = std::sqrt(qvcomplex(c.a1 * c.a1 - 4.0 * c.a2, 0.0));
    const qvcomplex p = 0.5 * (-c.a1 + root), q = 0.5 * (-c.a1 - root);
    qvcomplex pm, qm;
    n = times(n, {c.b0, c.b1, c.b2});
    n = times(n, geometric(p, m, pm));
    n = times(n, geometric(q, m, qm));
    a1_[j] = -(pm + qm).real();
    a2_[j] = (pm * qm).real();
  }
  ntaps_ = static_cast<int>(n.size());  // 2·s·m + 1
  std::memset(n_, 0, sizeof n_);
  std::memset(reversed_, 0, sizeof reversed_);
  for (int i = 0; i < ntaps_; ++i) n_[i] = n[static_cast<size_t>(i)].real();
  // Reversed and padded at the front to a multiple of eight taps.
  const int padded = (ntaps_ + 7) / 8 * 8;
  for (int i = 0; i < ntaps_; ++i) reversed_[padded - 1 - i] = n_[i];
  phaseTaps_ = (ntaps_ + m - 1) / m;
  nsections_ = s;
  factor_ = m;
  reset();
  return true;
}

bool qvpolyphase::sameForm(const qvpolyphase& other) const {
  if (factor_ != other.factor_ || nsections_ != other.nsections_ || ntaps_ != other.ntaps_) return false;
  for (int j = 0; j < nsections_; ++j)
    if (a1_[j] != other.a1_[j] || a2_[j] != other.a2_[j]) return false;
  for (int i = 0; i < ntaps_; ++i)
    if (n_[i] != other.n_[i]) return false;
  return true;
}

void qvpolyphase::reset() noexcept {
  for (int j = 0; j < kBiquadMaxSections; ++j) s1_[j] = s2_[j] = 0.0;
  std::memset(history_, 0, sizeof history_);
  std::memset(low_, 0, sizeof low_);
  at_ = 0;
  d_ = kBiquadAntiDenormal;
}

template <int S>
class qvpolyphase::lowrate {
public:
  explicit lowrate(qvpolyphase& f) noexcept : f_(f) {
    for (int j = 0; j < S; ++j) {
      a1_[j] = f.a1_[j];
      a2_[j] = f.a2_[j];
      s1_[j] = f.s1_[j];
      s2_[j] = f.s2_[j];
    }
  }
  ~lowrate() {
    for (int j = 0; j < S; ++j) {
      f_.s1_[j] = s1_[j];
      f_.s2_[j] = s2_[j];
    }
  }
  lowrate(const lowrate&) = delete;
  lowrate& operator=(const lowrate&) = delete;

  double operator()(double x) noexcept {
    for (int j = 0; j < S; ++j) {
      // The older state first: the newest one's product then waits on one
      // subtraction only (the recursion's chain is a multiply and a subtract).
      const double w = (x - a2_[j] * s2_[j]) - a1_[j] * s1_[j];
      s2_[j] = s1_[j];
      s1_[j] = w;
      x = w;
    }
    return x;
  }

private:
  qvpolyphase& f_;
  double a1_[S], a2_[S], s1_[S], s2_[S];
};

// Phase r of sub-sample i is Σ_k n[k·m + r] · u[i − k]: two phases a vector, the
// even and the odd k summed apart (shorter chains of additions), then together.
// A run of low-rate samples goes through the sections into the history first,
// then each one's phases are formed.
template <int M, int S>
void qvpolyphase::upsampleBy(const float* in, int n, float* out) noexcept {
  constexpr int kPairs = M / 2;
  constexpr int kTaps = 2 * S + 1;  // of phase 0; the others have one fewer
  constexpr int kRun = 32;          // with the taps' reach, within the history's ring
  static_assert(kRun + kTaps <= kLowRing);
  const float gain = static_cast<float>(M);
  const bool wide = M >= 4 && qvwideCode();
  lowrate<S> poles(*this);
  double d = d_;
  for (int at = 0; at < n; at += kRun) {
    const int run = n - at < kRun ? n - at : kRun;
    const int first = at_;
    for (int i = at; i < at + run; ++i) {
      float x = in[i];
      if (isZeroOrDenormal(x)) x = 0.0f;
      d = -d;
      low_[at_] = low_[at_ + kLowRing] = poles(static_cast<double>(x * gain) + d);
      at_ = (at_ + 1) & (kLowRing - 1);
    }
    float* const subs = out + static_cast<ptrdiff_t>(at) * M;
    if (wide) {
      qvwideInterpolatorPhases(n_, M, kTaps, low_, kLowRing, first, run, subs);
      continue;
    }
    for (int i = 0; i < run; ++i) {
      const double* const newest = low_ + kLowRing + ((first + i) & (kLowRing - 1));
      qvdouble2 even[kPairs], odd[kPairs];
      for (int p = 0; p < kPairs; ++p) {
        even[p] = load2(n_ + 2 * p) * newest[0];
        odd[p] = load2(n_ + M + 2 * p) * newest[-1];
      }
      for (int k = 2; k + 2 <= kTaps; k += 2)
        for (int p = 0; p < kPairs; ++p) {
          even[p] += load2(n_ + k * M + 2 * p) * newest[-k];
          odd[p] += load2(n_ + (k + 1) * M + 2 * p) * newest[-k - 1];
        }
      for (int p = 0; p < kPairs; ++p) even[p] += load2(n_ + (kTaps - 1) * M + 2 * p) * newest[-(kTaps - 1)];
      float* const sub = subs + i * M;
      for (int p = 0; p < kPairs; ++p) {
        const qvdouble2 y = even[p] + odd[p];
        sub[2 * p] = static_cast<float>(y[0]);
        sub[2 * p + 1] = static_cast<float>(y[1]);
      }
    }
  }
  d_ = d;
}

template <int M>
void qvpolyphase::upsampleBy(const float* in, int n, float* out) noexcept {
  static_assert(kBiquadMaxSections == 8);
  switch (nsections_) {
    case 1: upsampleBy<M, 1>(in, n, out); break;
    case 2: upsampleBy<M, 2>(in, n, out); break;
    case 3: upsampleBy<M, 3>(in, n, out); break;
    case 4: upsampleBy<M, 4>(in, n, out); break;
    case 5: upsampleBy<M, 5>(in, n, out); break;
    case 6: upsampleBy<M, 6>(in, n, out); break;
    case 7: upsampleBy<M, 7>(in, n, out); break;
    default: upsampleBy<M, 8>(in, n, out); break;
  }
}

// Factors other than 2, 4, 8 and 16 are not used by the chain; build() refuses odd ones.
void qvpolyphase::upsample(const float* in, int n, float* out) noexcept {
  switch (factor_) {
    case 2: upsampleBy<2>(in, n, out); break;
    case 4: upsampleBy<4>(in, n, out); break;
    case 8: upsampleBy<8>(in, n, out); break;
    default: upsampleBy<16>(in, n, out); break;
  }
}

// The sub-samples of a run of groups go into the history first, then each kept
// output's FIR reads its window (eight taps a step in four pairs of lanes), then
// the low-rate sections run over the run's outputs; the history's newest samples
// then move to its front.
template <int S>
void qvpolyphase::decimateWith(const float* in, int count, float* out) noexcept {
  const int m = factor_;
  const int padded = (ntaps_ + 7) / 8 * 8;
  const int held = padded - 1;  // sub-samples before a kept one that its window reads
  const int groupsPerRun = kRunSubSamples / m;
  lowrate<S> poles(*this);
  const double d = d_;
  const bool wide = qvwideCode();
  double v[kRunSubSamples / 2];  // the FIR's outputs of a run
  for (int g0 = 0, groups = count / m; g0 < groups; g0 += groupsPerRun) {
    const int run = groups - g0 < groupsPerRun ? groups - g0 : groupsPerRun;
    const float* const x = in + static_cast<ptrdiff_t>(g0) * m;
    // The offset flips every sub-sample; a run holds an even number of them.
    double* const fresh = history_ + held;
    const qvdouble2 offsets = {-d, d};
    for (int i = 0; i < run * m; i += 2) {
      const qvdouble2 pair = qvdouble2{static_cast<double>(x[i]), static_cast<double>(x[i + 1])} + offsets;
      std::memcpy(fresh + i, &pair, sizeof pair);
    }
    if (wide) {
      qvwideDecimatorWindows(reversed_, padded, history_, m, run, v);
    } else {
      for (int g = 0; g < run; ++g) {
        const double* const window = history_ + g * m;  // ends at fresh[g·m]
        qvdouble2 acc[4];
        for (int a = 0; a < 4; ++a) acc[a] = load2(reversed_ + 2 * a) * load2(window + 2 * a);
        for (int i = 8; i < padded; i += 8)
          for (int a = 0; a < 4; ++a) acc[a] += load2(reversed_ + i + 2 * a) * load2(window + i + 2 * a);
        const qvdouble2 sum = (acc[0] + acc[1]) + (acc[2] + acc[3]);
        v[g] = sum[0] + sum[1];
      }
    }
    for (int g = 0; g < run; ++g) out[g0 + g] = static_cast<float>(poles(v[g]));
    std::memmove(history_, history_ + run * m, sizeof(double) * static_cast<size_t>(held));
  }
}

void qvpolyphase::decimate(const float* in, int count, float* out) noexcept {
  switch (nsections_) {
    case 1: decimateWith<1>(in, count, out); break;
    case 2: decimateWith<2>(in, count, out); break;
    case 3: decimateWith<3>(in, count, out); break;
    case 4: decimateWith<4>(in, count, out); break;
    case 5: decimateWith<5>(in, count, out); break;
    case 6: decimateWith<6>(in, count, out); break;
    case 7: decimateWith<7>(in, count, out); break;
    default: decimateWith<8>(in, count, out); break;
  }
}
