// Cost of one tube stage per sample at 48 kHz: the static curve alone, and with
// sag, shift and cross driving the envelope follower. ns per sample = 1e9 / items_per_second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "units/tubegain.hpp"

namespace {
std::vector<float> guitarLikeInput(size_t n) {
  std::vector<float> x(n);
  for (size_t i = 0; i < n; ++i) {
    const float env = std::exp(-static_cast<float>(i % 24000) / 8000.0f);
    x[i] = 0.6f * env * (std::sin(i * 0.0287f) + 0.4f * std::sin(i * 0.0861f));
  }
  return x;
}

void runTube(benchmark::State& state, bool dynamic) {
  qvprocstate st;
  st.sampleRate = 48000.0f;
  qvustubea tube(st, true);
  tube.params[qvustubea::kGain]->setValue(20.0f);
  tube.params[qvustubea::kMode]->setValue(3.0f);
  if (dynamic) {
    tube.params[qvustubea::kSag]->setValue(0.3f);
    tube.params[qvustubea::kShift]->setValue(0.2f);
    tube.params[qvustubea::kCross]->setValue(0.1f);
  }
  tube.setRateMultiplier(1.0f);
  const auto input = guitarLikeInput(48000);
  float sink = 0;
  for (auto _ : state) {
    for (float x : input) sink += tube.process(x);
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(input.size()));
}

void BM_TubeStatic(benchmark::State& state) { runTube(state, false); }
void BM_TubeSagShiftCross(benchmark::State& state) { runTube(state, true); }
}  // namespace

BENCHMARK(BM_TubeStatic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TubeSagShiftCross)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
