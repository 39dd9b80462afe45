// Cost of giving a cab sim a new impulse from a user file: probe, decode, convert
// to the host rate, partition into a fresh convolution slot, release the old one.
// Command 85006 does this between two audio blocks, so the block waits for it.
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "plugin/qvengine.hpp"

namespace {

// Writes decaying noise of `count` samples at 96 kHz as 24-bit PCM.
bool writeImpulse(const std::string& path, int count) {
  std::vector<float> h(static_cast<size_t>(count));
  uint32_t lcg = 1;
  for (int n = 0; n < count; ++n) {
    lcg = lcg * 1664525u + 1013904223u;
    h[size_t(n)] = float(std::exp(-n / 3000.0) * ((lcg >> 8) / 8388608.0 - 1.0) * 0.9);
  }
  SF_INFO info{};
  info.samplerate = 96000;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  const bool ok = sf_writef_float(f, h.data(), count) == count;
  return sf_close(f) == 0 && ok;
}

// range(0): samples in the file; range(1): host rate.
void BM_LoadUserImpulseIntoCabBlock(benchmark::State& state) {
  std::string folder = (std::filesystem::temp_directory_path() / "corvina-bench-XXXXXX").string();
  if (!mkdtemp(folder.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = folder + "/impulse.wav";
  if (!writeImpulse(path, int(state.range(0)))) {
    state.SkipWithError("could not write the impulse");
    return;
  }
  {
    qvengine engine(folder + "/", "corvina-save.fxda");
    engine.setSampleRate(float(state.range(1)), false);
    engine.state.settings[kSetLimitImpulseFiles]->setValue(0.0f);
    const int32_t entry = int32_t(addImpulseFile(engine.data, path, -1, -1));
    if (!engine.loadImpulse(entry, -1)) state.SkipWithError("load failed");
    for (auto _ : state) benchmark::DoNotOptimize(engine.loadImpulse(entry, 0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
  }
  std::filesystem::remove_all(folder);
}
// The longest factory impulse's length, and a file at the optional size limit.
BENCHMARK(BM_LoadUserImpulseIntoCabBlock)
    ->Args({32514, 44100})
    ->Args({32514, 96000})
    ->Args({200000, 48000})
    ->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
