// Per-sample cost of the tone-shaping and filter units at 48 kHz, one process()
// call per sample as the chain makes them. Each unit is timed on a signal and on
// silence that follows several seconds of silence after the signal: without the
// anti-denormal offsets the silent case would slow down as the filter states
// decay into the denormal range. No flush-to-zero mode is set here, so the
// figures show what the units' own offsets achieve; the "silence_ftz" cases repeat
// the silent run with flush-to-zero and denormals-are-zero set, as the plug-in's
// block entry sets them.
#include <benchmark/benchmark.h>
#include <xmmintrin.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "units/unitfactory.hpp"

namespace {
constexpr float kRate = 48000.0f;
constexpr int kBlock = 4800;           // samples per timed iteration (100 ms)
constexpr int kSilenceBefore = 240000; // 5 s of silence before the silent case is timed

struct Setting {
  int index;
  float value;
};

struct UnitCase {
  const char* name;
  int blocktype;
  std::vector<Setting> settings;
};

const std::vector<UnitCase>& unitCases() {
  static const std::vector<UnitCase> cases = {
      {"Filter/1pole", kBlockFilter, {{1, 800}}},
      {"Filter/4pole", kBlockFilter, {{4, 4}, {1, 800}, {2, 5}}},
      {"Filter/2pole", kBlockFilter, {{4, 2}, {1, 800}, {2, 5}}},
      {"Equalizer", kBlockEqualizer, {{2, 0.4f}}},
      {"Tone/parallel", kBlockTone, {{1, 0.5f}}},
      {"Tone/series", kBlockTone, {{5, 1}, {1, 0.5f}}},
      {"Presence", kBlockPresence, {{0, 4}}},
      {"GraphicEq", kBlockGraphicEq, {{0, 6}, {2, -4}, {4, 8}, {6, -6}, {7, 3}}},
      {"AutoWah", kBlockAutoWah, {}},
      {"AutoWah/4pole", kBlockAutoWah, {{4, 4}}},
  };
  return cases;
}

std::vector<float> guitarLikeSignal(int n) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> u(-0.05f, 0.05f);
  std::vector<float> v(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) {
    const float t = static_cast<float>(k) / kRate;
    const float decay = std::exp(-3.0f * std::fmod(t, 1.0f));  // a pluck every second
    v[static_cast<size_t>(k)] = decay * (0.6f * std::sin(2.0f * 3.14159265f * 196.0f * t) +
                                         0.2f * std::sin(2.0f * 3.14159265f * 587.0f * t)) +
                                u(rng);
  }
  return v;
}

struct Bench {
  qvprocstate state;
  std::unique_ptr<qvutil> unit;
  explicit Bench(const UnitCase& c) {
    state.sampleRate = kRate;
    unit = createUnit(c.blocktype, state, true, true);
    unit->setRateMultiplier(1.0f);
    for (const Setting& s : c.settings) {
      unit->params[s.index]->setValue(s.value);
      unit->update(s.index);
    }
  }
};

void runSignal(benchmark::State& st, const UnitCase* c) {
  Bench b(*c);
  const std::vector<float> in = guitarLikeSignal(static_cast<int>(kRate));
  size_t pos = 0;
  for (auto _ : st) {
    float acc = 0;
    for (int k = 0; k < kBlock; ++k) {
      acc += b.unit->process(in[pos]);
      pos = pos + 1 == in.size() ? 0 : pos + 1;
    }
    benchmark::DoNotOptimize(acc);
  }
  st.counters["ns_per_sample"] = benchmark::Counter(static_cast<double>(st.iterations()) * kBlock,
                                                    benchmark::Counter::kIsRate |
                                                        benchmark::Counter::kInvert);
}

// Flush-to-zero and denormals-are-zero for the life of the guard, as the plug-in's
// block entry sets them; restores the caller's mode.
class FlushDenormals {
public:
  explicit FlushDenormals(bool on) : saved_(_mm_getcsr()) {
    if (on) _mm_setcsr(saved_ | 0x8040);  // FTZ (bit 15) | DAZ (bit 6)
  }
  ~FlushDenormals() { _mm_setcsr(saved_); }

private:
  unsigned saved_;
};

void runSilence(benchmark::State& st, const UnitCase* c, bool flush) {
  FlushDenormals mode(flush);
  Bench b(*c);
  const std::vector<float> in = guitarLikeSignal(static_cast<int>(kRate));
  for (float x : in) benchmark::DoNotOptimize(b.unit->process(x));
  for (int k = 0; k < kSilenceBefore; ++k) benchmark::DoNotOptimize(b.unit->process(0.0f));
  for (auto _ : st) {
    float acc = 0;
    for (int k = 0; k < kBlock; ++k) acc += b.unit->process(0.0f);
    benchmark::DoNotOptimize(acc);
  }
  st.counters["ns_per_sample"] = benchmark::Counter(static_cast<double>(st.iterations()) * kBlock,
                                                    benchmark::Counter::kIsRate |
                                                        benchmark::Counter::kInvert);
}

const int kRegistered = [] {
  for (const UnitCase& c : unitCases()) {
    benchmark::RegisterBenchmark((std::string(c.name) + "/signal").c_str(), runSignal, &c);
    benchmark::RegisterBenchmark((std::string(c.name) + "/silence").c_str(), runSilence, &c,
                                 false);
    benchmark::RegisterBenchmark((std::string(c.name) + "/silence_ftz").c_str(), runSilence, &c,
                                 true);
  }
  return 0;
}();
}  // namespace

BENCHMARK_MAIN();
