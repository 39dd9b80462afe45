// Runs of antiderivative anti-aliasing four inputs at a time in 256-bit
// registers: built for AVX2 and called where qvwideCode() says so. Each lane takes
// the operations of the scalar runs in the same order, without fused
// multiply-adds, and the few inputs too close together take the scalar code's
// stand-ins, so the output is the scalar code's to the last bit.
#pragma once

#include "units/piecewisecubic.hpp"

// Room the runs need beyond their inputs (the last group of four repeats the last input).
constexpr int kWideRunPadding = 3;

// As qvantiderivative's firstRun: x[0] the held input and x[1..n] the run, f[0]
// F1 of the held input; afterwards f[1..n] holds F1 of the run where the scalar
// run computes it (in silence, at the end only), out[0..n) the values rounded to
// float and hint the last input's piece. x and f have room for n + 1 +
// kWideRunPadding values; n is at most 64. False, with nothing changed but x's
// padding, when n is out of range or the curve has no pieces.
bool qvwideFirstRun(const qvpiecewisecubic& curve, const qvcubicpiece* pieces, int count, double* x, double* f,
                    float* out, int n, int& hint) noexcept;

// As qvantiderivative's secondRun: x[0], x[1] the held inputs and x[2..n + 1] the
// run, g[0], g[1] their F2 and s[0] the held slope; afterwards g and s hold what
// the scalar run leaves in them for the state (the last two F2 and the last
// slope). x and g have room for n + 2 + kWideRunPadding values, s for n + 1 +
// kWideRunPadding. False as above, and also for a run with no secant long enough
// for its quotient that is not plain silence (the scalar run plays it).
bool qvwideSecondRun(const qvpiecewisecubic& curve, const qvcubicpiece* pieces, int count, double* x, double* g,
                     double* s, float* out, int n, int& hint) noexcept;
