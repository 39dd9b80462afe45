// Cost of one tube stage at 48 kHz: the static curve alone, with sag, shift and
// cross driving the envelope follower, and with antiderivative anti-aliasing of
// order 1 and 2, in blocks of 256. ns per sample = 1e9 / items_per_second.
#include <benchmark/benchmark.h>

#include <algorithm>
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

void runTube(benchmark::State& state, bool dynamic, int antiderivative = 0) {
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
  qvstageoptions options;
  options.antiderivative = antiderivative;
  tube.setStageOptions(options);
  const auto input = guitarLikeInput(48000);
  std::vector<float> block(256);
  for (auto _ : state) {
    for (size_t at = 0; at < input.size(); at += block.size()) {
      const size_t n = std::min(block.size(), input.size() - at);
      std::copy_n(input.begin() + std::ptrdiff_t(at), n, block.begin());
      tube.processBlock(block.data(), int(n));
      benchmark::DoNotOptimize(block.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(input.size()));
}

void BM_TubeStatic(benchmark::State& state) { runTube(state, false); }
void BM_TubeSagShiftCross(benchmark::State& state) { runTube(state, true); }
void BM_TubeAntiderivative1(benchmark::State& state) { runTube(state, false, 1); }
void BM_TubeAntiderivative2(benchmark::State& state) { runTube(state, false, 2); }
}  // namespace

BENCHMARK(BM_TubeStatic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TubeSagShiftCross)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TubeAntiderivative1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TubeAntiderivative2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
