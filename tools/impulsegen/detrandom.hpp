// SplitMix64: a fixed, portable sequence for a given seed (the standard library's
// distributions differ between implementations, so none are used).
#pragma once
#include <cstdint>

class DetRandom {
public:
  explicit DetRandom(uint64_t seed) : state_(seed) {}

  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1), 53 bits.
  double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  double between(double lo, double hi) { return lo + (hi - lo) * uniform(); }
  // Roughly normal, unit variance: the sum of three uniforms, rescaled.
  double noise() {
    // One statement per draw: the order of operands of + is not fixed by the language.
    double sum = uniform();
    sum += uniform();
    sum += uniform();
    return (sum - 1.5) * 2.0;
  }

private:
  uint64_t state_;
};
