// The FIR parts of the polyphase anti-alias filters in 256-bit registers: built
// for AVX2 and called where qvwideCode() says so. The lanes hold what the
// portable loops hold in pairs and sum in the same order, without fused
// multiply-adds, so the outputs are the portable loops' to the last bit.
#pragma once

// The decimator's windows: v[g] = Σ reversed[i] · history[g·m + i] over the
// padded taps (a multiple of eight), eight taps a step in four pairs of lanes
// summed as ((0 + 1) + (2 + 3)), then the pair's two lanes.
void qvwideDecimatorWindows(const double* reversed, int padded, const double* history, int m, int run,
                            double* v) noexcept;

// The interpolator's phases for `run` low-rate samples: the newest sample of
// input i sits at low[ring + ((first + i) & (ring − 1))] with its history before
// it; phase r of sub-sample i·m + r is Σ taps[k·m + r] · newest[−k] over the
// even and the odd k apart, then together, rounded to float into out. m is 4, 8
// or 16; taps, the taps of phase 0 (odd).
void qvwideInterpolatorPhases(const double* taps, int m, int ntaps, const double* low, int ring, int first,
                              int run, float* out) noexcept;
