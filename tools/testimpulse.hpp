// The impulse of the test resource set: 24-bit integer samples from integer
// arithmetic only, so the generated file has the same bytes on every build and a
// test can recompute every sample exactly. A full-scale spike, then noise whose
// amplitude halves every 512 samples, like a short cabinet response.
#pragma once
#include <cstdint>

inline constexpr int kTestImpulseRate = 96000;
inline constexpr int kTestImpulseCount = 4506;  // the shortest factory impulse's length
inline constexpr int kTestImpulseSpikeAt = 10;

// Sample n as a 24-bit signed integer.
inline int32_t testImpulseSample(int n) {
  if (n == kTestImpulseSpikeAt) return 8388607;
  uint32_t lcg = 12345u;
  for (int k = 0; k <= n; ++k) lcg = lcg * 1664525u + 1013904223u;
  int32_t amplitude = 4000000 >> (n / 512);
  return int32_t((lcg >> 8) % uint32_t(2 * amplitude + 1)) - amplitude;
}
