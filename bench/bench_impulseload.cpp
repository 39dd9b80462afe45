// Cost of preparing an impulse: decoding a factory-sized 24-bit WAVE image and
// converting it to the host rate. Both run between audio blocks when a cab sim
// gets an impulse, so the block waits for them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "data/resample.hpp"
#include "data/wavread.hpp"

namespace {

// The longest factory impulse: 32514 samples at 96 kHz.
constexpr int kCount = 32514;

std::vector<float> decayingNoise() {
  std::vector<float> h(kCount);
  uint32_t lcg = 1;
  for (int n = 0; n < kCount; ++n) {
    lcg = lcg * 1664525u + 1013904223u;
    h[size_t(n)] = float(std::exp(-n / 3000.0) * ((lcg >> 8) / 8388608.0 - 1.0));
  }
  return h;
}

std::vector<unsigned char> wav24(const std::vector<float>& h) {
  std::vector<unsigned char> b;
  auto put = [&](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back((v >> (8 * i)) & 0xff);
  };
  auto tag = [&](const char* t) { b.insert(b.end(), t, t + 4); };
  const uint32_t data = uint32_t(h.size()) * 3;
  tag("RIFF"); put(36 + data, 4); tag("WAVE");
  tag("fmt "); put(16, 4); put(1, 2); put(1, 2); put(96000, 4); put(96000 * 3, 4); put(3, 2); put(24, 2);
  tag("data"); put(data, 4);
  for (float x : h) put(uint32_t(int32_t(std::lround(x * 8388607.0))), 3);
  return b;
}

void BM_DecodeFactoryImpulse(benchmark::State& state) {
  const std::vector<unsigned char> image = wav24(decayingNoise());
  std::vector<float> samples;
  qvwavinfo info;
  for (auto _ : state) {
    readWavMemory(image.data(), image.size(), samples, info);
    benchmark::DoNotOptimize(samples.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_DecodeFactoryImpulse)->Unit(benchmark::kMillisecond);

void BM_ResampleFactoryImpulse(benchmark::State& state) {
  const std::vector<float> source = decayingNoise();
  const float host_hz = float(state.range(0));
  std::vector<float> h;
  for (auto _ : state) {
    h = source;
    resampleImpulse(h, 96000.0f, host_hz);
    benchmark::DoNotOptimize(h.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_ResampleFactoryImpulse)->Arg(44100)->Arg(48000)->Arg(192000)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
