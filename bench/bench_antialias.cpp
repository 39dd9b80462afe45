// Cost of one oversampled range's anti-alias filters at 48 kHz: the elliptic
// low-pass that zero-stuffs the host block up by the factor and the one that
// filters and decimates it back, in blocks of 256 host samples. Orders 8 and 10,
// factors 2, 4 and 8; the third argument 0 runs the biquad cascade at the
// oversampled rate, 1 its polyphase form (what the chain runs).
// ns per host sample = 1e9 / items_per_second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "units/elliptic.hpp"

namespace {
void BM_UpDown(benchmark::State& state) {
  const int order = static_cast<int>(state.range(0));
  const int factor = static_cast<int>(state.range(1));
  const double rate = 48000.0 * factor;
  qvellipticlowpass up, down;
  up.design(order, 0.4, -2.0, rate, 20000.0);
  down.design(order, 0.4, -2.0, rate, 20000.0);
  if (state.range(2) != 0) {
    up.prepare(factor);
    down.prepare(factor);
  }
  const int block = 256;
  std::vector<float> in(block), sub(static_cast<size_t>(block) * factor), out(block);
  for (int i = 0; i < block; ++i) in[i] = 0.5f * std::sin(0.0287f * i) + 0.2f * std::sin(0.61f * i);
  for (auto _ : state) {
    up.upsample(in.data(), block, factor, sub.data());
    down.decimate(sub.data(), block * factor, factor, out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * block);
}
}  // namespace

BENCHMARK(BM_UpDown)->ArgsProduct({{8, 10}, {2, 4, 8}, {0, 1}});
BENCHMARK_MAIN();
