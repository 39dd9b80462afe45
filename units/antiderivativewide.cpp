// Built with AVX2 enabled and called only where the processor has it. Nothing
// here may call an inline function that other files also compile (it could be
// this file's copy, with AVX2 instructions in it, that the linker keeps), so the
// curve's pieces are read field by field and every helper is file-local.
#include "units/antiderivativewide.hpp"

#include <cstddef>
#include <cstdint>

// Each group a register loads at once: origin, scale, c, d; q; r.
static_assert(offsetof(qvcubicpiece, scale) == offsetof(qvcubicpiece, origin) + sizeof(double) &&
              offsetof(qvcubicpiece, c) == offsetof(qvcubicpiece, origin) + 2 * sizeof(double) &&
              offsetof(qvcubicpiece, d) == offsetof(qvcubicpiece, origin) + 3 * sizeof(double));

#if defined(__AVX2__)
#include <immintrin.h>

namespace {

constexpr int kMaxRun = 64;

// The piece of v, walked to from piece i as qvpiecewisecubic's search walks (a
// NaN walks down to piece 0).
int walkTo(const qvcubicpiece* p, int count, double v, int i) {
  while (i + 1 < count && v >= p[i + 1].start) ++i;
  while (i > 0 && !(v >= p[i].start)) --i;
  return i;
}

// Most runs span a few pieces: counting the starts each input passes among
// those between the pieces of the run's least and greatest input needs no
// branch and no input waits on the one before.
constexpr int kMaxSpan = 12;

// The piece of each of the n inputs at x (padded to a multiple of four): the
// pieces the scalar walk finds, as an input's piece does not depend on where a
// search starts. The padding lanes take the last input's piece.
void findPieces(const qvcubicpiece* p, int count, const double* x, int n, int& hint, int* piece) {
  int i = hint > 0 && hint < count ? hint : 0;
  bool counted = false;
  if (n >= 4) {
    __m256d low = _mm256_loadu_pd(x), high = low, nan = _mm256_cmp_pd(low, low, _CMP_UNORD_Q);
    for (int m = 4; m < n; m += 4) {
      const __m256d v = _mm256_loadu_pd(x + m);
      low = _mm256_min_pd(low, v);
      high = _mm256_max_pd(high, v);
      nan = _mm256_or_pd(nan, _mm256_cmp_pd(v, v, _CMP_UNORD_Q));
    }
    __m128d least = _mm_min_pd(_mm256_castpd256_pd128(low), _mm256_extractf128_pd(low, 1));
    __m128d greatest = _mm_max_pd(_mm256_castpd256_pd128(high), _mm256_extractf128_pd(high, 1));
    least = _mm_min_sd(least, _mm_unpackhi_pd(least, least));
    greatest = _mm_max_sd(greatest, _mm_unpackhi_pd(greatest, greatest));
    const int first = walkTo(p, count, _mm_cvtsd_f64(least), i);
    const int span = walkTo(p, count, _mm_cvtsd_f64(greatest), first) - first;
    if (_mm256_movemask_pd(nan) == 0 && span <= kMaxSpan) {
      __m256d starts[kMaxSpan];
      for (int j = 0; j < span; ++j) starts[j] = _mm256_set1_pd(p[first + 1 + j].start);
      const __m256d one = _mm256_set1_pd(1.0);
      const __m128i base = _mm_set1_epi32(first);
      for (int m = 0; m < n; m += 4) {
        const __m256d v = _mm256_loadu_pd(x + m);
        __m256d passed = _mm256_setzero_pd();
        for (int j = 0; j < span; ++j)
          passed = _mm256_add_pd(passed, _mm256_and_pd(_mm256_cmp_pd(v, starts[j], _CMP_GE_OQ), one));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(piece + m), _mm_add_epi32(base, _mm256_cvttpd_epi32(passed)));
      }
      i = piece[n - 1];
      counted = true;
    }
  }
  if (!counted)
    for (int m = 0; m < n; ++m) piece[m] = i = walkTo(p, count, x[m], i);
  for (int m = n; m < n + kWideRunPadding; ++m) piece[m] = i;
  hint = i;
}

// The small helpers below go inline into the run loops, whatever the compiler's
// estimate of their size (a call would spill the lanes).
#define QV_INLINE inline __attribute__((always_inline))

// Four groups of four doubles, one from each lane's piece, turned into four
// registers that each hold one field for the four lanes.
struct Fields {
  __m256d f0, f1, f2, f3;
};
QV_INLINE Fields transpose(__m256d a, __m256d b, __m256d c, __m256d d) {
  const __m256d ab0 = _mm256_unpacklo_pd(a, b), ab1 = _mm256_unpackhi_pd(a, b);
  const __m256d cd0 = _mm256_unpacklo_pd(c, d), cd1 = _mm256_unpackhi_pd(c, d);
  return {_mm256_permute2f128_pd(ab0, cd0, 0x20), _mm256_permute2f128_pd(ab1, cd1, 0x20),
          _mm256_permute2f128_pd(ab0, cd0, 0x31), _mm256_permute2f128_pd(ab1, cd1, 0x31)};
}
QV_INLINE Fields gather(const qvcubicpiece* p, const int* piece, const double qvcubicpiece::*field) {
  return transpose(_mm256_loadu_pd(&(p[piece[0]].*field)), _mm256_loadu_pd(&(p[piece[1]].*field)),
                   _mm256_loadu_pd(&(p[piece[2]].*field)), _mm256_loadu_pd(&(p[piece[3]].*field)));
}
QV_INLINE Fields gather(const qvcubicpiece* p, const int* piece, const double (qvcubicpiece::*field)[4]) {
  return transpose(_mm256_loadu_pd(p[piece[0]].*field), _mm256_loadu_pd(p[piece[1]].*field),
                   _mm256_loadu_pd(p[piece[2]].*field), _mm256_loadu_pd(p[piece[3]].*field));
}

// The curve, F1 and F2 at four inputs, term for term as qvpiecewisecubic's value(),
// first() and second().
QV_INLINE __m256d curveValue(const qvcubicpiece* p, const int* piece, __m256d x) {
  const Fields base = gather(p, piece, &qvcubicpiece::origin);
  const Fields c = gather(p, piece, &qvcubicpiece::p);
  const __m256d t = _mm256_mul_pd(_mm256_sub_pd(x, base.f0), base.f1);
  return _mm256_add_pd(c.f0, _mm256_mul_pd(t, _mm256_add_pd(c.f1, _mm256_mul_pd(t, _mm256_add_pd(c.f2, _mm256_mul_pd(t, c.f3))))));
}
QV_INLINE __m256d firstAntiderivative(const qvcubicpiece* p, const int* piece, __m256d x) {
  const Fields base = gather(p, piece, &qvcubicpiece::origin);  // origin, scale, c, d
  const Fields q = gather(p, piece, &qvcubicpiece::q);
  const __m256d t = _mm256_mul_pd(_mm256_sub_pd(x, base.f0), base.f1);
  const __m256d t2 = _mm256_mul_pd(t, t);
  const __m256d low = _mm256_add_pd(q.f0, _mm256_mul_pd(q.f1, t));
  const __m256d high = _mm256_add_pd(q.f2, _mm256_mul_pd(q.f3, t));
  return _mm256_add_pd(base.f2, _mm256_mul_pd(t, _mm256_add_pd(low, _mm256_mul_pd(t2, high))));
}
QV_INLINE __m256d secondAntiderivative(const qvcubicpiece* p, const int* piece, __m256d x) {
  const Fields base = gather(p, piece, &qvcubicpiece::origin);
  const Fields r = gather(p, piece, &qvcubicpiece::r);
  const __m256d t = _mm256_mul_pd(_mm256_sub_pd(x, base.f0), base.f1);
  const __m256d t2 = _mm256_mul_pd(t, t);
  const __m256d low = _mm256_add_pd(r.f0, _mm256_mul_pd(r.f1, t));
  const __m256d high = _mm256_add_pd(r.f2, _mm256_mul_pd(r.f3, t));
  const __m256d line = _mm256_add_pd(base.f3, _mm256_mul_pd(base.f2, x));
  return _mm256_add_pd(line, _mm256_mul_pd(t2, _mm256_add_pd(low, _mm256_mul_pd(t2, high))));
}

// The lanes of a run of n inputs, as a bit mask.
uint64_t runLanes(int n) { return n >= 64 ? ~uint64_t(0) : (uint64_t(1) << n) - 1; }

// Bit i set where b[i] − a[i] (i < n) lies within ±step (or is NaN), as the
// scalar code tests it: the quotient's stand-in plays there.
uint64_t closeSteps(const double* a, const double* b, int n, double step) {
  const __m256d above = _mm256_set1_pd(step), below = _mm256_set1_pd(-step);
  uint64_t close = 0;
  for (int i = 0; i < n; i += 4) {
    const __m256d d = _mm256_sub_pd(_mm256_loadu_pd(b + i), _mm256_loadu_pd(a + i));
    const __m256d far = _mm256_or_pd(_mm256_cmp_pd(d, above, _CMP_GT_OQ), _mm256_cmp_pd(d, below, _CMP_LT_OQ));
    close |= uint64_t(~_mm256_movemask_pd(far) & 0xF) << i;
  }
  return close & runLanes(n);
}

// The last group of four repeats the last input.
void padInputs(double* x, int last) {
  for (int m = 1; m <= kWideRunPadding; ++m) x[last + m] = x[last];
}

// The n values rounded to float, four at a time; the last group stores only the run's lanes.
void storeRounded(const double* y, float* out, int n) {
  int i = 0;
  for (; i + 4 <= n; i += 4) _mm_storeu_ps(out + i, _mm256_cvtpd_ps(_mm256_loadu_pd(y + i)));
  if (i == n) return;
  alignas(16) float lanes[4];
  _mm_store_ps(lanes, _mm256_cvtpd_ps(_mm256_loadu_pd(y + i)));
  for (int m = 0; i + m < n; ++m) out[i + m] = lanes[m];
}

// F1 (order 1) or F2 at the n inputs x (padded), into out.
void antiderivativesAt(const qvcubicpiece* p, int count, int order, const double* x, int n, int& hint,
                       double* out) {
  int piece[kMaxRun + kWideRunPadding];
  findPieces(p, count, x, n, hint, piece);
  for (int i = 0; i < n; i += 4) {
    const __m256d v = _mm256_loadu_pd(x + i);
    _mm256_storeu_pd(out + i, order == 2 ? secondAntiderivative(p, piece + i, v) : firstAntiderivative(p, piece + i, v));
  }
}

// out[i] = (a[i + 1] − a[i]) / (x[i + 1] − x[i]) for i < n (padded).
void differenceQuotients(const double* a, const double* x, int n, double* out) {
  for (int i = 0; i < n; i += 4) {
    const __m256d da = _mm256_sub_pd(_mm256_loadu_pd(a + 1 + i), _mm256_loadu_pd(a + i));
    const __m256d dx = _mm256_sub_pd(_mm256_loadu_pd(x + 1 + i), _mm256_loadu_pd(x + i));
    _mm256_storeu_pd(out + i, _mm256_div_pd(da, dx));
  }
}

// The curve's values at the n points (padded), into y.
void valuesAt(const qvcubicpiece* p, int count, double* at, int n, int& hint, double* y) {
  padInputs(at, n - 1);
  int piece[kMaxRun + kWideRunPadding];
  findPieces(p, count, at, n, hint, piece);
  for (int i = 0; i < n; i += 4) _mm256_storeu_pd(y + i, curveValue(p, piece + i, _mm256_loadu_pd(at + i)));
}

// F1 or F2 at one point.
double antiderivativeAt(const qvcubicpiece* p, int count, int order, double v, int& hint) {
  int piece[1 + kWideRunPadding];
  findPieces(p, count, &v, 1, hint, piece);
  const __m256d x = _mm256_set1_pd(v);
  return _mm256_cvtsd_f64(order == 2 ? secondAntiderivative(p, piece, x) : firstAntiderivative(p, piece, x));
}

// Bit i set where input i + 2 came back within the minimum step of the midpoint of
// inputs i and i + 1... as second() tests the fold: 0.5·(x[i + 2] + x[i]) − x[i + 1].
uint64_t closeFolds(const double* x, int n) {
  const double step = qvantiderivative::kMinStep2;
  const __m256d above = _mm256_set1_pd(step), below = _mm256_set1_pd(-step), half = _mm256_set1_pd(0.5);
  uint64_t close = 0;
  for (int i = 0; i < n; i += 4) {
    const __m256d mid = _mm256_mul_pd(half, _mm256_add_pd(_mm256_loadu_pd(x + i + 2), _mm256_loadu_pd(x + i)));
    const __m256d d = _mm256_sub_pd(mid, _mm256_loadu_pd(x + i + 1));
    const __m256d far = _mm256_or_pd(_mm256_cmp_pd(d, above, _CMP_GT_OQ), _mm256_cmp_pd(d, below, _CMP_LT_OQ));
    close |= uint64_t(~_mm256_movemask_pd(far) & 0xF) << i;
  }
  return close & runLanes(n);
}

}  // namespace

bool qvwideFirstRun(const qvpiecewisecubic& curve, const qvcubicpiece* p, int count, double* x, double* f,
                    float* out, int n, int& hint) noexcept {
  if (n <= 0 || n > kMaxRun || count <= 0) return false;
  padInputs(x, n);
  const uint64_t close = closeSteps(x, x + 1, n, qvantiderivative::kMinStep1);
  if (close == runLanes(n)) {
    // Silence: every value is the curve at a midpoint, and F1 is needed at the end only.
    double mid[kMaxRun + kWideRunPadding], y[kMaxRun + kWideRunPadding];
    for (int i = 0; i < n; ++i) mid[i] = 0.5 * (x[i + 1] + x[i]);
    valuesAt(p, count, mid, n, hint, y);
    f[n] = antiderivativeAt(p, count, 1, x[n], hint);
    storeRounded(y, out, n);
    return true;
  }
  antiderivativesAt(p, count, 1, x + 1, n, hint, f + 1);
  double y[kMaxRun + kWideRunPadding];
  differenceQuotients(f, x, n, y);
  for (uint64_t m = close; m; m &= m - 1) {
    const int i = __builtin_ctzll(m);
    y[i] = qvantiderivative::midpointValue(curve, x[i + 1], x[i], hint);
  }
  storeRounded(y, out, n);
  return true;
}

bool qvwideSecondRun(const qvpiecewisecubic& curve, const qvcubicpiece* p, int count, double* x, double* g,
                     double* s, float* out, int n, int& hint) noexcept {
  if (n <= 0 || n > kMaxRun || count <= 0) return false;
  padInputs(x, n + 1);
  const uint64_t all = runLanes(n);
  const uint64_t closeSecant = closeSteps(x + 1, x + 2, n, qvantiderivative::kMinStep2);
  const uint64_t closeSpan = closeSteps(x, x + 2, n, qvantiderivative::kMinStep2);
  if (closeSecant == all) {
    // Silence: where every input also folds back onto the one before, every value
    // is the curve at a midpoint, and F2 and the slope are needed at the end only.
    // Any other run with no secant long enough goes to the scalar code.
    if (closeSpan != all || closeFolds(x, n) != all) return false;
    double mid[kMaxRun + kWideRunPadding], y[kMaxRun + kWideRunPadding];
    for (int i = 0; i < n; ++i) mid[i] = 0.5 * (0.5 * (x[i + 2] + x[i]) + x[i + 1]);
    valuesAt(p, count, mid, n, hint, y);
    for (int i = n >= 2 ? n - 2 : 0; i < n; ++i) g[i + 2] = antiderivativeAt(p, count, 2, x[i + 2], hint);
    s[n] = antiderivativeAt(p, count, 1, 0.5 * (x[n + 1] + x[n]), hint);
    storeRounded(y, out, n);
    return true;
  }
  antiderivativesAt(p, count, 2, x + 2, n, hint, g + 2);
  differenceQuotients(g + 1, x + 1, n, s + 1);
  for (uint64_t m = closeSecant; m; m &= m - 1) {
    const int i = __builtin_ctzll(m);
    s[i + 1] = qvantiderivative::midpointIntegral(curve, x[i + 2], x[i + 1], hint);
  }
  double y[kMaxRun + kWideRunPadding];
  const __m256d two = _mm256_set1_pd(2.0);
  for (int i = 0; i < n; i += 4) {
    const __m256d ds = _mm256_sub_pd(_mm256_loadu_pd(s + 1 + i), _mm256_loadu_pd(s + i));
    const __m256d span = _mm256_sub_pd(_mm256_loadu_pd(x + 2 + i), _mm256_loadu_pd(x + i));
    _mm256_storeu_pd(y + i, _mm256_div_pd(_mm256_mul_pd(two, ds), span));
  }
  for (uint64_t m = closeSpan; m; m &= m - 1) {
    const int i = __builtin_ctzll(m);
    y[i] = qvantiderivative::foldedValue(curve, x[i], x[i + 1], x[i + 2], g[i + 1], hint);
  }
  storeRounded(y, out, n);
  return true;
}

#else  // built without AVX2: the scalar code plays every run

bool qvwideFirstRun(const qvpiecewisecubic&, const qvcubicpiece*, int, double*, double*, float*, int,
                    int&) noexcept {
  return false;
}
bool qvwideSecondRun(const qvpiecewisecubic&, const qvcubicpiece*, int, double*, double*, double*, float*,
                     int, int&) noexcept {
  return false;
}

#endif
