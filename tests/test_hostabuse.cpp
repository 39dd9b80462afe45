// What a careless or hostile host can do to the plug-in through its binary
// interface: odd block sizes, sample-rate changes while playing, broken and huge
// chunks, abusive input signals for every factory preset, and dispatcher calls
// with null pointers and absurd values. The plug-in must never crash, never let a
// NaN or infinity out, and come back to ordinary sound once ordinary signal does.
#include <gtest/gtest.h>

#include <atomic>
#include <cfloat>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "tests/pluginfixture.hpp"
#include "vst/audioeffect.hpp"

namespace {

// A small deterministic generator (xorshift32): the same numbers on every run
// and every standard library.
class xorshift {
public:
  explicit xorshift(uint32_t seed) : s_(seed ? seed : 1u) {}
  uint32_t next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
  }
  // Uniform in [-1, 1).
  float uniform() { return float(next() >> 8) * (2.0f / 16777216.0f) - 1.0f; }
  // Uniform in [lo, hi].
  uint32_t between(uint32_t lo, uint32_t hi) { return lo + next() % (hi - lo + 1); }

private:
  uint32_t s_;
};

// The ordinary signal: a 220 Hz sine at −20 dBFS.
std::vector<float> toneSignal(size_t n, float rate = kRate) {
  std::vector<float> x(n);
  for (size_t i = 0; i < n; ++i)
    x[i] = float(0.1 * std::sin(2.0 * std::numbers::pi * 220.0 * double(i) / rate));
  return x;
}

// Mean square over both channels.
double meanSquare(const stereo& s) {
  return s.l.empty() ? 0.0 : energy(s) / double(2 * s.l.size());
}

stereo tail(const stereo& s, size_t n) {
  n = std::min(n, s.l.size());
  stereo t;
  t.l.assign(s.l.end() - std::ptrdiff_t(n), s.l.end());
  t.r.assign(s.r.end() - std::ptrdiff_t(n), s.r.end());
  return t;
}

// Index of the first output frame that is not finite, or -1.
long firstNonFinite(const stereo& s) {
  for (size_t i = 0; i < s.l.size(); ++i)
    if (!std::isfinite(s.l[i]) || !std::isfinite(s.r[i])) return long(i);
  return -1;
}

// Relative difference of two renderings: RMS of the difference over RMS of `b`.
double relativeDifference(const stereo& a, const stereo& b) {
  double d = 0.0;
  for (size_t i = 0; i < a.l.size(); ++i) {
    const double dl = double(a.l[i]) - b.l[i], dr = double(a.r[i]) - b.r[i];
    d += dl * dl + dr * dr;
  }
  const double e = energy(b);
  return e > 0.0 ? std::sqrt(d / e) : std::sqrt(d);
}

// Sets a chunk while an audio thread runs 0-frame blocks: the load runs at the
// start of one of them, between blocks as on a playing host, and no audio moves
// on meanwhile, so a test can compare what the rig plays before and after.
// Returns the seconds the call took.
double setChunkWhilePlaying(qvhostinstance& host, const void* data, size_t size) {
  std::atomic<bool> done{false};
  std::thread audio([&] {
    float silence[1] = {0.0f};
    float* channels[2] = {silence, silence};
    while (!done.load()) {
      host.processBlock(channels, channels, 0);
      std::this_thread::yield();
    }
  });
  const auto start = std::chrono::steady_clock::now();
  host.setChunk(data, size);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  done = true;
  audio.join();
  return took.count();
}

// ---- abusive input signals ----

float musicAt(size_t i) {
  const double t = double(i) / kRate;
  return float(0.4 * std::exp(-3.0 * std::fmod(t, 0.5)) *
               (std::sin(2 * std::numbers::pi * 110.0 * t) +
                0.5 * std::sin(2 * std::numbers::pi * 330.0 * t)));
}

float denormal(xorshift& rng) {
  const uint32_t bits = (rng.next() & 0x807fffffu) | 1u;  // exponent 0, mantissa not 0
  float x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr size_t kSpikeAt = 1000;  // where a single bad sample sits inside music

struct abusecase {
  const char* name;
  float (*sample)(size_t i, xorshift& rng);
};

const abusecase kAbuse[] = {
    {"silence", [](size_t, xorshift&) { return 0.0f; }},
    {"DC +1", [](size_t, xorshift&) { return 1.0f; }},
    {"DC -1", [](size_t, xorshift&) { return -1.0f; }},
    {"small DC", [](size_t, xorshift&) { return 1e-5f; }},
    {"full-scale white noise", [](size_t, xorshift& rng) { return rng.uniform(); }},
    {"full-scale square 100 Hz", [](size_t i, xorshift&) { return (i / 240) % 2 ? 1.0f : -1.0f; }},
    {"full-scale square 6 kHz", [](size_t i, xorshift&) { return (i / 4) % 2 ? 1.0f : -1.0f; }},
    {"+1e30", [](size_t, xorshift&) { return 1e30f; }},
    {"-1e30", [](size_t, xorshift&) { return -1e30f; }},
    {"noise x 1e30", [](size_t, xorshift& rng) { return 1e30f * rng.uniform(); }},
    {"+FLT_MAX", [](size_t, xorshift&) { return FLT_MAX; }},
    {"alternating FLT_MAX", [](size_t i, xorshift&) { return i % 2 ? FLT_MAX : -FLT_MAX; }},
    {"NaN", [](size_t, xorshift&) { return kNaN; }},
    {"+inf", [](size_t, xorshift&) { return kInf; }},
    {"-inf", [](size_t, xorshift&) { return -kInf; }},
    {"denormals", [](size_t, xorshift& rng) { return denormal(rng); }},
    {"music with one NaN", [](size_t i, xorshift&) { return i == kSpikeAt ? kNaN : musicAt(i); }},
    {"music with one -inf", [](size_t i, xorshift&) { return i == kSpikeAt ? -kInf : musicAt(i); }},
    {"music with one 1e30", [](size_t i, xorshift&) { return i == kSpikeAt ? 1e30f : musicAt(i); }},
    {"music with one FLT_MAX", [](size_t i, xorshift&) { return i == kSpikeAt ? FLT_MAX : musicAt(i); }},
    {"music and denormals", [](size_t i, xorshift& rng) { return i % 2 ? denormal(rng) : musicAt(i); }},
    {"noise with NaN bursts",
     [](size_t i, xorshift& rng) { return (i / 64) % 7 == 3 ? kNaN : rng.uniform(); }},
};

std::vector<float> abusiveSignal(const abusecase& c, size_t n, uint32_t seed) {
  xorshift rng(seed);
  std::vector<float> x(n);
  for (size_t i = 0; i < n; ++i) x[i] = c.sample(i, rng);
  return x;
}

// Collects failures of a sweep and reports them together, so one run shows
// every preset and input that misbehaves.
class faultlist {
public:
  void add(const std::string& what) { items_.push_back(what); }
  bool empty() const { return items_.empty(); }
  std::string text() const {
    std::string out = std::to_string(items_.size()) + " faults:";
    for (size_t i = 0; i < items_.size() && i < 40; ++i) out += "\n  " + items_[i];
    if (items_.size() > 40) out += "\n  ...";
    return out;
  }

private:
  std::vector<std::string> items_;
};

}  // namespace

// ---- input signals ----

// For every factory preset: warm up on the tone, then each abusive input for
// 0.05 s followed by the tone again. Nothing that is not finite ever comes out;
// a preset that sounds on the tone sounds again within 0.5 s of the tone's
// return; and the abuse leaves the rig itself as it was.
TEST(HostAbuseInput, EveryPresetSurvivesAbusiveInputAndComesBack) {
  const auto presets = factoryPresetChunks();
  ASSERT_FALSE(presets.empty());
  constexpr VstInt32 kBlock = 512;
  constexpr size_t kWarmFrames = 9600;        // 0.2 s
  constexpr size_t kAbuseFrames = 2400;       // 0.05 s
  constexpr size_t kStep = 480;               // 10 ms: how finely the return is timed
  constexpr size_t kMaxReturnFrames = 24000;  // 0.5 s
  // A preset "sounds" when the tone comes out at −80 dB or more; it is back when
  // a 10 ms step reaches a tenth of the level it had on the warm-up (−20 dB).
  constexpr double kSoundsMs = 1e-8;
  constexpr double kBackRatio = 0.01;

  const std::vector<float> warm = toneSignal(kWarmFrames);
  const std::vector<float> tone = toneSignal(kMaxReturnFrames);
  faultlist faults;
  size_t slowestReturn = 0;
  std::string slowestWhat;
  for (const auto& [name, text] : presets) {
    auto host = startPlugin();
    ASSERT_TRUE(host);
    const auto chunk = chunkOf(text);
    host->setChunk(chunk.data(), chunk.size());
    const std::vector<uint8_t> loaded = host->getChunk();
    host->resume();

    const stereo w = render(*host, warm, kBlock);
    if (!allFinite(w)) {
      faults.add(name + ": not finite on the tone");
      continue;
    }
    const double level = meanSquare(tail(w, kWarmFrames / 4));
    const bool sounds = level > kSoundsMs;

    uint32_t seed = 1;
    for (const abusecase& c : kAbuse) {
      const stereo a = render(*host, abusiveSignal(c, kAbuseFrames, seed++), kBlock);
      if (const long at = firstNonFinite(a); at >= 0)
        faults.add(name + ", " + c.name + ": not finite at frame " + std::to_string(at));
      size_t done = 0;
      bool back = !sounds;
      while (done < kMaxReturnFrames) {
        const std::vector<float> slice(tone.begin() + std::ptrdiff_t(done),
                                       tone.begin() + std::ptrdiff_t(done + kStep));
        const stereo r = render(*host, slice, kBlock);
        done += kStep;
        if (!allFinite(r)) {
          faults.add(name + ", after " + c.name + ": not finite on the tone");
          break;
        }
        if (back) break;  // a silent preset: one step shows the output is finite
        if (meanSquare(r) >= kBackRatio * level) {
          back = true;
          break;
        }
      }
      if (!back) faults.add(name + ", after " + c.name + ": still silent after 0.5 s of tone");
      if (sounds && back && done > slowestReturn) {
        slowestReturn = done;
        slowestWhat = name + ", after " + c.name;
      }
    }
    if (host->getChunk() != loaded) faults.add(name + ": the abuse changed the rig");
  }
  EXPECT_TRUE(faults.empty()) << faults.text();
  std::printf("slowest return: %.0f ms (%s)\n", 1000.0 * double(slowestReturn) / kRate,
              slowestWhat.c_str());
}
