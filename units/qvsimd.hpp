// Four floats in one SSE register (GCC/Clang vector extensions), for loops that
// handle four independent samples or bins at once. Every lane computes exactly
// what the scalar code computes: the vector operations round like the scalar
// ones, so a vectorised loop keeps the numbers of its scalar twin.
#pragma once
#include <cstdint>
#include <cstring>

using qvfloat4 = float __attribute__((vector_size(16)));
using qvint4 = int32_t __attribute__((vector_size(16)));

inline qvfloat4 loadFloat4(const float* p) noexcept {
  qvfloat4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void storeFloat4(float* p, qvfloat4 v) noexcept { std::memcpy(p, &v, sizeof v); }

inline qvfloat4 broadcastFloat4(float x) noexcept { return qvfloat4{x, x, x, x}; }
