// Whether the audio loops that have a 256-bit twin (the files named *wide.cpp,
// built for AVX2) take it: on where the processor has AVX2. The twins compute
// the same numbers as the portable loops; tests turn them off to check that.
#pragma once

bool qvwideCode() noexcept;
// [between blocks, tests] Turns the twins off, or back on where the processor has AVX2.
void qvsetWideCode(bool on) noexcept;

// Whether the twins were built for AVX2 (they are where the compiler targets x86-64).
bool qvwideCodeBuilt() noexcept;
