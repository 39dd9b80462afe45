// Processing units on their own, as the chain brings them up (default table,
// update(-1), a rate factor), and the deterministic noise the unit tests feed.
#pragma once
#include <memory>
#include <random>
#include <vector>

#include "units/qvprocstate.hpp"

template <class U>
struct UnitRig {
  qvprocstate st;
  std::unique_ptr<U> unit;
  explicit UnitRig(float fs = 48000.0f, float n = 1.0f) {
    st.sampleRate = fs;
    unit = std::make_unique<U>(st, true);
    unit->update(-1);
    unit->setRateMultiplier(n);
  }
  void set(int i, float value) {
    unit->params[i]->setValue(value);
    unit->update(i);
  }
  float run(float x) { return unit->process(x); }
  // Feeds a square wave of `amplitude`; returns the last output over its input.
  float settle(float amplitude, int samples) {
    float gain = 0;
    for (int k = 0; k < samples; ++k) {
      const float x = (k & 1) ? amplitude : -amplitude;
      gain = run(x) / x;
    }
    return gain;
  }
};

// Uniform noise in [-amplitude, amplitude].
inline std::vector<float> noise(size_t n, unsigned seed = 1, float amplitude = 0.5f) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(-amplitude, amplitude);
  std::vector<float> v(n);
  for (float& x : v) x = u(rng);
  return v;
}
