// An engine with the factory document read, as the plug-in reads it, for tests
// that play factory presets in process. The test resources hold no factory
// impulses: cab blocks convolve a decaying noise of a few thousand taps instead,
// each catalogue entry its own, so the convolution's first stages all work.
#pragma once
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "platform/files.hpp"
#include "plugin/qvengine.hpp"

namespace factoryrig {

inline void useSyntheticImpulses(qvengine& e) {
  e.impulseLoaderForTesting = [eng = &e](int32_t index, int32_t) {
    std::mt19937 rng(static_cast<unsigned>(index) + 100u);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    std::vector<float> ir(static_cast<size_t>(2500 + 97 * (index % 7)));
    for (size_t k = 0; k < ir.size(); ++k) ir[k] = u(rng) * std::exp(-static_cast<float>(k) / 600.0f);
    auto b = std::make_unique<qvusconv>(eng->state, true);
    b->slot = eng->chain.cabEngine->createSlot(ir);
    if (b->slot < 0) return false;
    b->impulse = index;
    eng->data.currentCabBlock = static_cast<int32_t>(eng->chain.cabBlocks.append(std::move(b)));
    return true;
  };
}

// An engine at `rate` with the factory document read (no user document), no rig.
inline std::unique_ptr<qvengine> engineAt(float rate) {
  auto e = std::make_unique<qvengine>("/nonexistent/", "./corvina-save.fxda");
  useSyntheticImpulses(*e);
  e->setSampleRate(rate, true);
  if (!readWholeFile(CORVINA_FACTORY_DOC, e->data.factoryText) || e->loadDocument(true) != 0)
    return nullptr;
  return e;
}

// Index of the preset called `name`, or -1.
inline int32_t presetIndex(const qvengine& e, const char* name) {
  for (uint32_t i = 0; i < e.data.presets.count(); ++i)
    if (e.data.presets[i]->name == name) return static_cast<int32_t>(i);
  return -1;
}

// A plucked chord with a noisy attack, repeated every 2400 samples: level changes
// drive the envelopes, the gate and the clipping stages through their regions.
inline std::vector<float> guitarLike(int frames, float rate) {
  std::vector<float> x(static_cast<size_t>(frames));
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  const float f[3] = {110.0f, 164.8f, 220.0f};
  for (int i = 0; i < frames; ++i) {
    const float t = static_cast<float>(i % 2400) / rate;
    float v = 0.0f;
    for (float hz : f) v += std::sin(6.2831853f * hz * t) * std::exp(-6.0f * t);
    x[static_cast<size_t>(i)] = 0.3f * v + (i % 2400 < 40 ? 0.2f * u(rng) : 0.0f);
  }
  return x;
}

}  // namespace factoryrig
