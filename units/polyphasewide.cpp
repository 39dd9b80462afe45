// Built with AVX2 enabled and called only where the processor has it; nothing
// here calls an inline function that other files also compile (the linker could
// keep this file's copy, AVX2 instructions and all), so every helper is file-local.
#include "units/polyphasewide.hpp"

#include "units/widecode.hpp"

#if defined(__AVX2__)
#include <immintrin.h>

bool qvwideCodeBuilt() noexcept { return true; }

void qvwideDecimatorWindows(const double* reversed, int padded, const double* history, int m, int run,
                            double* v) noexcept {
  for (int g = 0; g < run; ++g) {
    const double* const window = history + g * m;
    // Lanes 0–3 hold the portable loop's pairs 0 and 1, lanes 4–7 its pairs 2 and 3.
    __m256d low = _mm256_mul_pd(_mm256_loadu_pd(reversed), _mm256_loadu_pd(window));
    __m256d high = _mm256_mul_pd(_mm256_loadu_pd(reversed + 4), _mm256_loadu_pd(window + 4));
    for (int i = 8; i < padded; i += 8) {
      low = _mm256_add_pd(low, _mm256_mul_pd(_mm256_loadu_pd(reversed + i), _mm256_loadu_pd(window + i)));
      high = _mm256_add_pd(high, _mm256_mul_pd(_mm256_loadu_pd(reversed + i + 4), _mm256_loadu_pd(window + i + 4)));
    }
    const __m128d pairs01 = _mm_add_pd(_mm256_castpd256_pd128(low), _mm256_extractf128_pd(low, 1));
    const __m128d pairs23 = _mm_add_pd(_mm256_castpd256_pd128(high), _mm256_extractf128_pd(high, 1));
    const __m128d sum = _mm_add_pd(pairs01, pairs23);
    v[g] = _mm_cvtsd_f64(sum) + _mm_cvtsd_f64(_mm_unpackhi_pd(sum, sum));
  }
}

namespace {
template <int M>
void phases(const double* taps, int ntaps, const double* low, int ring, int first, int run, float* out) {
  constexpr int kQuads = M / 4;
  for (int i = 0; i < run; ++i) {
    const double* const newest = low + ring + ((first + i) & (ring - 1));
    __m256d even[kQuads], odd[kQuads];
    const __m256d u0 = _mm256_set1_pd(newest[0]), u1 = _mm256_set1_pd(newest[-1]);
    for (int q = 0; q < kQuads; ++q) {
      even[q] = _mm256_mul_pd(_mm256_loadu_pd(taps + 4 * q), u0);
      odd[q] = _mm256_mul_pd(_mm256_loadu_pd(taps + M + 4 * q), u1);
    }
    for (int k = 2; k + 2 <= ntaps; k += 2) {
      const __m256d ue = _mm256_set1_pd(newest[-k]), uo = _mm256_set1_pd(newest[-k - 1]);
      for (int q = 0; q < kQuads; ++q) {
        even[q] = _mm256_add_pd(even[q], _mm256_mul_pd(_mm256_loadu_pd(taps + k * M + 4 * q), ue));
        odd[q] = _mm256_add_pd(odd[q], _mm256_mul_pd(_mm256_loadu_pd(taps + (k + 1) * M + 4 * q), uo));
      }
    }
    const __m256d ul = _mm256_set1_pd(newest[-(ntaps - 1)]);
    float* const sub = out + i * M;
    for (int q = 0; q < kQuads; ++q) {
      even[q] = _mm256_add_pd(even[q], _mm256_mul_pd(_mm256_loadu_pd(taps + (ntaps - 1) * M + 4 * q), ul));
      _mm_storeu_ps(sub + 4 * q, _mm256_cvtpd_ps(_mm256_add_pd(even[q], odd[q])));
    }
  }
}
}  // namespace

void qvwideInterpolatorPhases(const double* taps, int m, int ntaps, const double* low, int ring, int first,
                              int run, float* out) noexcept {
  switch (m) {
    case 4: phases<4>(taps, ntaps, low, ring, first, run, out); break;
    case 8: phases<8>(taps, ntaps, low, ring, first, run, out); break;
    default: phases<16>(taps, ntaps, low, ring, first, run, out); break;
  }
}

#else  // built without AVX2: qvwideCode() is false, and these are never called

bool qvwideCodeBuilt() noexcept { return false; }

void qvwideDecimatorWindows(const double*, int, const double*, int, int, double*) noexcept {}
void qvwideInterpolatorPhases(const double*, int, int, const double*, int, int, int, float*) noexcept {}

#endif
