// The chain at 48 kHz running a typical amplifier (Filter, Filter, Tube Gain,
// Filter, Tube Gain, Equalizer, Tube Gain, Presence) with its range [2, 7]
// oversampled at factor 1, 2, 4 and 8, without and with the anti-aliasing options. ns per host sample = 1e9 / items_per_second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "plugin/qvchain.hpp"
#include "units/unitfactory.hpp"

namespace {
// range(1): the rig's anti-aliasing options: 0 none, 1 the stopband with
// first-order antiderivatives, 2 order-10 filters, second-order antiderivatives
// and the stage band limit.
void BM_ChainAmplifier(benchmark::State& state) {
  const int factor = static_cast<int>(state.range(0));
  const int options = static_cast<int>(state.range(1));
  qvprocstate st;
  st.sampleRate = 48000.0f;
  st.audioIdle = 0;
  qvchain chain(st);
  const int types[] = {kBlockFilter, kBlockFilter, kBlockTubeGain, kBlockFilter,
                       kBlockTubeGain, kBlockEqualizer, kBlockTubeGain, kBlockPresence};
  for (int t : types) chain.units.append(createUnit(t, st, true, true));
  chain.units[2]->params[1]->setValue(20.0f);  // some drive
  chain.units[4]->params[1]->setValue(10.0f);
  for (uint32_t u = 0; u < chain.units.count(); ++u) chain.units[u]->update(-1);
  chain.ampSlot.brackets = {2, 7};
  chain.aliasOptions.stopband = options > 0;
  chain.aliasOptions.stages.antiderivative = options;
  chain.aliasOptions.filterOrder = options > 1 ? 10 : 8;
  chain.aliasOptions.stages.lowpass = options > 1;
  chain.rebuildSections();
  st.settings[kSetOversampling]->setValue(static_cast<float>(factor));
  chain.setOversampling(factor);

  constexpr int kBlock = 256;
  std::vector<float> in(kBlock), zero(kBlock, 0.0f), outL(kBlock), outR(kBlock);
  int64_t t = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i, ++t)
      in[i] = 0.3f * std::sin(0.0287f * static_cast<float>(t)) *
              std::exp(-static_cast<float>(t % 24000) / 9000.0f);
    float* ins[2] = {in.data(), zero.data()};
    float* outs[2] = {outL.data(), outR.data()};
    chain.process(ins, outs, kBlock);
    benchmark::DoNotOptimize(outL.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
}  // namespace

BENCHMARK(BM_ChainAmplifier)->ArgsProduct({{1, 2, 4, 8}, {0, 1, 2}});
BENCHMARK_MAIN();
