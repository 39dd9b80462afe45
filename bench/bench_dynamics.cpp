// Per-sample cost of the gate, compressor, clipping, delay and buffer units at
// 48 kHz, called sample by sample through the unit interface as the chain does.
// The "per_sample" counter is the time of one process() call.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "units/unitfactory.hpp"

namespace {
constexpr int kBlockFrames = 4096;

// A decaying pluck over a little noise: crosses every threshold the units have.
std::vector<float> testSignal() {
  std::vector<float> x(kBlockFrames);
  uint32_t seed = 1;
  for (int k = 0; k < kBlockFrames; ++k) {
    seed = seed * 1664525u + 1013904223u;
    const float noise = (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * 0.01f;
    x[k] = 0.8f * std::exp(-k / 1500.0f) * std::sin(k * 0.0574f) + noise;
  }
  return x;
}

void runUnit(benchmark::State& state, int blocktype, int param, float value) {
  qvprocstate st;
  st.sampleRate = 48000.0f;
  std::unique_ptr<qvutil> unit = createUnit(blocktype, st, true, true);
  unit->setRateMultiplier(1.0f);
  if (param >= 0) {
    unit->params[param]->setValue(value);
    unit->update(param);
  }
  const std::vector<float> in = testSignal();
  std::vector<float> out(kBlockFrames);
  qvutil* u = unit.get();
  for (auto _ : state) {
    for (int k = 0; k < kBlockFrames; ++k) out[k] = u->process(in[k]);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlockFrames);
  state.counters["per_sample"] = benchmark::Counter(
      static_cast<double>(kBlockFrames), benchmark::Counter::kIsIterationInvariantRate |
                                             benchmark::Counter::kInvert);
}

// Gate with a threshold, so the follower runs (at 0 it passes the signal untouched).
void BM_Gate(benchmark::State& s) { runUnit(s, kBlockGate, 0, 0.3f); }
void BM_GateOff(benchmark::State& s) { runUnit(s, kBlockGate, -1, 0); }
void BM_Compressor(benchmark::State& s) { runUnit(s, kBlockCompression, -1, 0); }
void BM_Clipping(benchmark::State& s) { runUnit(s, kBlockClipping, 4, 20.0f); }
void BM_Delay(benchmark::State& s) { runUnit(s, kBlockDelay, 3, 0.5f); }
void BM_Buffer(benchmark::State& s) { runUnit(s, kBlockBuffer, 0, 0.8f); }
}  // namespace

BENCHMARK(BM_Gate);
BENCHMARK(BM_GateOff);
BENCHMARK(BM_Compressor);
BENCHMARK(BM_Clipping);
BENCHMARK(BM_Delay);
BENCHMARK(BM_Buffer);
BENCHMARK_MAIN();
