// CPU cost of one second of 48 kHz audio in runs of 64 samples, as the chain feeds
// the cab stage a chunk at a time: our zero-latency engine against zita-convolver
// (partition 64, period 64, so 64 samples of latency) and, for 4096 taps, a
// direct FIR.
// Times are process CPU time (CLOCK_PROCESS_CPUTIME_ID), which includes the
// worker threads zita-convolver runs its larger partitions on; "Time" is that CPU
// time per second of audio.
#include <benchmark/benchmark.h>
#include <zita-convolver.h>

#include <cstring>
#include <random>
#include <sched.h>
#include <thread>
#include <vector>

#include "tools/host/cputime.hpp"
#include "units/convengine.hpp"

namespace {
constexpr int kRate = 48000;

std::vector<float> noise(size_t n, unsigned seed, float decay_length = 0) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  std::vector<float> v(n);
  for (size_t k = 0; k < n; ++k)
    v[k] = u(rng) * (decay_length > 0 ? std::exp(-float(k) / decay_length) : 1.0f);
  return v;
}

std::vector<float> impulse(int64_t taps, unsigned seed) { return noise(taps, seed, taps / 3.0f); }

const std::vector<float>& input() {
  static const std::vector<float> x = noise(kRate, 1);
  return x;
}

// One iteration is one second of audio, so the reported time per iteration in ms,
// divided by 10, is the share of one core in percent.
void report(benchmark::State& state, double cpu) { state.SetIterationTime(cpu); }

// args: impulse length, slot count
void BM_Engine(benchmark::State& state) {
  const int64_t taps = state.range(0);
  const int nslots = static_cast<int>(state.range(1));
  qvconvengine eng;
  std::vector<int> slots;
  for (int s = 0; s < nslots; ++s) slots.push_back(eng.createSlot(impulse(taps, 10 + s)));
  const std::vector<float>& x = input();
  float sink = 0;
  constexpr int kRun = 64;
  for (auto _ : state) {
    const double t0 = processCpuSeconds();
    for (size_t at = 0; at + kRun <= x.size(); at += kRun) {
      eng.process(x.data() + at, kRun);
      for (int slot : slots) {
        const float* y = eng.outputs(slot);
        for (int i = 0; i < kRun; ++i) sink += y[i];
      }
    }
    report(state, processCpuSeconds() - t0);
  }
  benchmark::DoNotOptimize(sink);
}

void BM_Zita(benchmark::State& state) {
  const int64_t taps = state.range(0);
  const int nslots = static_cast<int>(state.range(1));
  constexpr int kPeriod = 64;
  Convproc conv;
  if (conv.configure(1, nslots, static_cast<uint32_t>(taps), kPeriod, kPeriod, Convproc::MAXPART,
                     0.0f) != 0) {
    state.SkipWithError("zita configure failed");
    return;
  }
  for (int s = 0; s < nslots; ++s) {
    std::vector<float> h = impulse(taps, 10 + s);
    conv.impdata_create(0, s, 1, h.data(), 0, static_cast<int32_t>(taps));
  }
  if (conv.start_process(0, SCHED_OTHER) != 0) {
    state.SkipWithError("zita start failed");
    return;
  }
  const std::vector<float>& x = input();
  float sink = 0;
  int fill = 0;
  for (auto _ : state) {
    const double t0 = processCpuSeconds();
    for (float s : x) {
      // Sample by sample through zita's period buffers: one period of latency.
      conv.inpdata(0)[fill] = s;
      for (int o = 0; o < nslots; ++o) sink += conv.outdata(o)[fill];
      if (++fill == kPeriod) {
        fill = 0;
        conv.process(true);  // sync: wait for the worker levels instead of dropping them
      }
    }
    report(state, processCpuSeconds() - t0);
  }
  benchmark::DoNotOptimize(sink);
  conv.stop_process();
  while (!conv.check_stop()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  conv.cleanup();
}

using v4f = float __attribute__((vector_size(16)));

void BM_DirectFir(benchmark::State& state) {
  const int taps = static_cast<int>(state.range(0));
  const std::vector<float> h = impulse(taps, 10);
  std::vector<float> reversed(h.rbegin(), h.rend());
  std::vector<float> hist(2 * taps, 0.0f);  // each sample written twice: no wrap in the sum
  const std::vector<float>& x = input();
  int w = 0;
  float sink = 0;
  for (auto _ : state) {
    const double t0 = processCpuSeconds();
    for (float s : x) {
      hist[w] = hist[w + taps] = s;
      const float* a = reversed.data();
      const float* b = hist.data() + w + 1;  // oldest .. newest
      v4f acc0{}, acc1{};
      for (int i = 0; i < taps; i += 8) {
        v4f a0, a1, b0, b1;
        std::memcpy(&a0, a + i, 16);
        std::memcpy(&a1, a + i + 4, 16);
        std::memcpy(&b0, b + i, 16);
        std::memcpy(&b1, b + i + 4, 16);
        acc0 += a0 * b0;
        acc1 += a1 * b1;
      }
      const v4f acc = acc0 + acc1;
      sink += acc[0] + acc[1] + acc[2] + acc[3];
      if (++w == taps) w = 0;
    }
    report(state, processCpuSeconds() - t0);
  }
  benchmark::DoNotOptimize(sink);
}

void convolutionArgs(benchmark::internal::Benchmark* b) {
  for (int64_t taps : {4096, 16384, 65536, 480000})
    for (int64_t slots : {1, 2}) b->Args({taps, slots});
  b->UseManualTime()->Unit(benchmark::kMillisecond);
}
}  // namespace

BENCHMARK(BM_Engine)->Apply(convolutionArgs);
BENCHMARK(BM_Zita)->Apply(convolutionArgs);
BENCHMARK(BM_DirectFir)->Arg(4096)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
