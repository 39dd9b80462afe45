// What a careless or hostile host can do to the plug-in through its binary
// interface: odd block sizes, sample-rate changes while playing, broken and huge
// chunks, abusive input signals for every factory preset, and dispatcher calls
// with null pointers and absurd values. The plug-in must never crash, never let a
// NaN or infinity out, and come back to ordinary sound once ordinary signal does.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
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
  static const std::vector<float> music = testSignal(size_t(kRate));
  return music[i % music.size()];
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
  // a 10 ms step comes within 20 dB of its level on the warm-up.
  constexpr double kSoundsMs = 1e-8;
  constexpr double kBackRatio = 0.01;

  const std::vector<float> warm = toneSignal(kWarmFrames);
  const std::vector<float> tone = toneSignal(kMaxReturnFrames);
  faultlist faults;
  size_t slowestReturn = 0, sounding = 0;
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
    sounding += sounds;

    uint32_t seed = 1;
    for (const abusecase& c : kAbuse) {
      const stereo a = render(*host, abusiveSignal(c, kAbuseFrames, seed++), kBlock);
      if (const long at = firstNonFinite(a); at >= 0)
        faults.add(name + ", " + c.name + ": not finite at frame " + std::to_string(at));
      size_t done = 0;
      bool back = !sounds, finite = true;
      while (finite && done < kMaxReturnFrames) {
        const std::vector<float> slice(tone.begin() + std::ptrdiff_t(done),
                                       tone.begin() + std::ptrdiff_t(done + kStep));
        const stereo r = render(*host, slice, kBlock);
        done += kStep;
        finite = allFinite(r);
        if (!finite) faults.add(name + ", after " + c.name + ": not finite on the tone");
        if (back) break;  // a silent preset: one step shows the output is finite
        if (meanSquare(r) >= kBackRatio * level) {
          back = true;
          break;
        }
      }
      if (finite && !back)
        faults.add(name + ", after " + c.name + ": still silent after 0.5 s of tone");
      if (sounds && back && done > slowestReturn) {
        slowestReturn = done;
        slowestWhat = name + ", after " + c.name;
      }
    }
    if (host->getChunk() != loaded) faults.add(name + ": the abuse changed the rig");
  }
  EXPECT_TRUE(faults.empty()) << faults.text();
  std::printf("%zu of %zu presets sound on the tone; slowest return %.0f ms (%s)\n", sounding,
              presets.size(), 1000.0 * double(slowestReturn) / kRate, slowestWhat.c_str());
}

// ---- block sizes ----

namespace {

// A few presets spread over the factory list, so that delays, wahs, cab sims
// and oversampled ranges all take part.
std::vector<std::pair<std::string, std::string>> presetSample(size_t count) {
  const auto all = factoryPresetChunks();
  std::vector<std::pair<std::string, std::string>> out;
  for (size_t k = 0; k < count && !all.empty(); ++k) out.push_back(all[k * all.size() / count]);
  return out;
}

std::unique_ptr<qvhostinstance> startWithPreset(const PluginCopy& copy, float rate,
                                                const std::string& text) {
  auto host = startPlugin(copy, rate);
  if (!host) return host;
  const auto chunk = chunkOf(text);
  host->setChunk(chunk.data(), chunk.size());
  host->resume();
  return host;
}

}  // namespace

// The chain works sample by sample: blocks of any size from 0 to 8192 frames,
// most of them larger than the 512 the host announced, processed in place
// (outputs over the inputs), play exactly what blocks of the announced size play.
TEST(HostAbuseBlocks, RandomBlockSizesPlayLikeTheAnnouncedOne) {
  constexpr size_t kFrames = 36000;
  std::vector<float> x(kFrames);
  xorshift noise(7);
  for (size_t i = 0; i < kFrames; ++i) x[i] = musicAt(i) + 0.05f * noise.uniform();

  for (const auto& [name, text] : presetSample(8)) {
    auto fixed = startWithPreset(PluginCopy::get(), kRate, text);
    auto odd = startWithPreset(PluginCopy::get(), kRate, text);
    ASSERT_TRUE(fixed && odd);
    fixed->setBlockSize(512);
    odd->setBlockSize(512);
    const stereo expect = render(*fixed, x, 512);
    ASSERT_TRUE(allFinite(expect)) << name;

    stereo got(kFrames);
    got.l = x;
    got.r = x;
    xorshift sizes(11);
    size_t blocks = 0, beyond = 0;
    for (size_t done = 0; done < kFrames; ++blocks) {
      // A quarter each: empty, tiny, up to 1024, up to 8192 frames.
      const uint32_t kind = sizes.next() % 4;
      uint32_t n = kind == 0 ? 0 : kind == 1 ? sizes.between(1, 32)
                             : kind == 2 ? sizes.between(33, 1024) : sizes.between(1025, 8192);
      n = uint32_t(std::min<size_t>(n, kFrames - done));
      if (n > 512) ++beyond;
      float* io[2] = {got.l.data() + done, got.r.data() + done};
      odd->processBlock(io, io, VstInt32(n));
      done += n;
    }
    EXPECT_GT(beyond, 4u);
    EXPECT_EQ(got, expect) << name << " over " << blocks << " blocks";
  }
}

// ---- sample rates ----

namespace {

constexpr float kRates[] = {22050.0f, 192000.0f, 44100.0f, 96000.0f, 32000.0f, 176400.0f, 88200.0f};

// A user document that is the factory one with the oversampling factor set.
std::string documentWithOversampling(int factor) {
  qvstring text;
  EXPECT_TRUE(readWholeFile(CORVINA_FACTORY_DOC, text));
  const std::string factory = "[3,0.1875]";  // stored position of factor 4
  const size_t at = text.find(factory);
  EXPECT_NE(at, std::string::npos) << "the factory oversampling setting moved";
  if (at == std::string::npos) return {};
  char position[32];
  std::snprintf(position, sizeof position, "[3,%g]", (factor - 1) / 16.0);
  return text.replace(at, factory.size(), position);
}

const PluginCopy& copyWithOversampling(int factor) {
  static PluginCopy x1(documentWithOversampling(1));
  static PluginCopy x8(documentWithOversampling(8));
  return factor == 1 ? x1 : x8;
}

struct ratecase {
  const char* what;
  const PluginCopy& (*copy)();
};

const ratecase kRateCases[] = {
    {"factory oversampling", []() -> const PluginCopy& { return PluginCopy::get(); }},
    {"no oversampling", []() -> const PluginCopy& { return copyWithOversampling(1); }},
    {"oversampling x8", []() -> const PluginCopy& { return copyWithOversampling(8); }},
};

}  // namespace

// The rate changes while the rig plays, from the dispatcher while resumed and in
// suspend / set rate / resume cycles, between 22050 and 192000 Hz. The output
// stays finite and keeps sounding; once the old audio has died away, the rig
// plays like one started at the new rate.
TEST(HostAbuseRate, RateChangesWhilePlaying) {
  constexpr double kSettleSeconds = 0.3;
  constexpr double kToneSeconds = 0.1;
  for (const ratecase& rc : kRateCases) {
    for (const auto& [name, text] : presetSample(3)) {
      auto host = startWithPreset(rc.copy(), 48000.0f, text);
      ASSERT_TRUE(host);
      const stereo first = render(*host, toneSignal(4800, 48000.0f), 256);
      ASSERT_TRUE(allFinite(first)) << rc.what << ", " << name;
      const bool sounds = meanSquare(tail(first, 2400)) > 1e-8;
      int step = 0;
      for (const float rate : kRates) {
        const bool cycle = step++ % 2 == 1;
        if (cycle) {
          host->suspend();
          host->setSampleRate(rate);
          host->resume();
        } else {
          host->setSampleRate(rate);
        }
        const std::string where = std::string(rc.what) + ", " + name + ", " +
                                  std::to_string(int(rate)) + " Hz" +
                                  (cycle ? " (suspended)" : " (playing)");
        const size_t settle = size_t(kSettleSeconds * rate), n = size_t(kToneSeconds * rate);
        // Right after the change the old tone still rings through the rig.
        const stereo right = render(*host, toneSignal(n, rate), 256);
        EXPECT_TRUE(allFinite(right)) << where;
        if (sounds) {
          EXPECT_GT(meanSquare(tail(right, n / 2)), 1e-8) << where << ": silent";
        }
        const stereo quiet = render(*host, std::vector<float>(settle, 0.0f), 333);
        const stereo played = render(*host, toneSignal(n, rate), 256);
        EXPECT_TRUE(allFinite(quiet) && allFinite(played)) << where;

        auto fresh = startWithPreset(rc.copy(), rate, text);
        ASSERT_TRUE(fresh);
        render(*fresh, std::vector<float>(settle, 0.0f), 333);
        const stereo expect = render(*fresh, toneSignal(n, rate), 256);
        EXPECT_LT(relativeDifference(played, expect), 1e-5) << where;
      }
    }
  }
}

// Every factory preset taken to 8 kHz, the lowest rate converters run at, plays
// finite audio there, and sounds if it sounded at 48 kHz just before: corners
// above half the rate, bands beyond it and cab impulses taken down twelvefold all
// stay usable. (The high end is played by the tests above and below.)
TEST(HostAbuseRate, EveryPresetAtTheLowEndOfTheRange) {
  constexpr float kLow = 8000.0f;
  constexpr size_t kFrames = 800;  // 0.1 s
  faultlist faults;
  for (const auto& [name, text] : factoryPresetChunks()) {
    auto host = startWithPreset(PluginCopy::get(), kRate, text);
    ASSERT_TRUE(host);
    const bool sounds = meanSquare(tail(render(*host, toneSignal(2400), 512), 1200)) > 1e-8;
    host->setSampleRate(kLow);
    const stereo out = render(*host, toneSignal(kFrames, kLow), 512);
    if (!allFinite(out)) {
      faults.add(name + ": not finite");
    } else if (sounds && !(meanSquare(tail(out, kFrames / 2)) > 1e-8)) {
      faults.add(name + ": silent");
    }
  }
  EXPECT_TRUE(faults.empty()) << faults.text();
}

// ---- chunks ----

namespace {

// Two instances of the same rig that have played the same audio: `hit` gets the
// bad chunks, `good` shows what the rig plays when nothing happened to it.
class chunkvictim {
public:
  explicit chunkvictim(const std::string& presetText) {
    good_ = startWithPreset(PluginCopy::get(), kRate, presetText);
    hit_ = startWithPreset(PluginCopy::get(), kRate, presetText);
    probe_ = testSignal(4096);
    if (!good_ || !hit_) return;
    render(*good_, probe_, 512);
    render(*hit_, probe_, 512);
    loaded_ = hit_->getChunk();
  }
  bool ok() const { return good_ && hit_ && !loaded_.empty(); }
  const std::vector<uint8_t>& loaded() const { return loaded_; }

  // Hands the chunk over while audio runs and returns the seconds it took.
  double offer(const void* data, size_t size) { return setChunkWhilePlaying(*hit_, data, size); }
  // What went wrong, or empty when the rig is as it was: same chunk, and the
  // next `frames` frames exactly as the untouched instance plays them.
  std::string unchanged(size_t frames = 256) {
    std::string fault;
    if (hit_->getChunk() != loaded_) fault = "the chunk changed";
    const std::vector<float> x(probe_.begin(), probe_.begin() + std::ptrdiff_t(frames));
    const stereo expect = render(*good_, x, 256);
    const stereo got = render(*hit_, x, 256);
    if (!allFinite(got)) fault += " the output is not finite";
    else if (got != expect) fault += " the audio changed";
    return fault;
  }
  qvhostinstance& hit() { return *hit_; }

private:
  std::unique_ptr<qvhostinstance> good_, hit_;
  std::vector<float> probe_;
  std::vector<uint8_t> loaded_;
};

// A rig with pedals, an amplifier and cab sims: the last factory preset.
std::string richPreset() {
  const auto presets = factoryPresetChunks();
  return presets.empty() ? std::string() : presets.back().second;
}

}  // namespace

// Broken chunks while audio runs: every prefix of a real chunk cut at a stride
// (incomplete JSON), random bytes with and without NULs, texts that parse but are
// no rig, no bytes and a null pointer. Each is refused and the rig plays on
// untouched.
TEST(HostAbuseChunk, BrokenChunksAreRefused) {
  chunkvictim v(richPreset());
  ASSERT_TRUE(v.ok());
  faultlist faults;
  auto offer = [&](const void* data, size_t size, const std::string& what) {
    v.offer(data, size);
    if (const std::string f = v.unchanged(64); !f.empty()) faults.add(what + ":" + f);
  };
  const std::vector<uint8_t>& full = v.loaded();
  const size_t text = full.size() - 1;  // the NUL follows the text
  for (size_t n = 1; n < text; n += 1 + text / 150) offer(full.data(), n, "prefix of " + std::to_string(n));
  for (size_t k = 1; k <= 3; ++k) offer(full.data(), text - k, "prefix of " + std::to_string(text - k));
  xorshift rng(99);
  for (int k = 0; k < 24; ++k) {
    std::vector<uint8_t> bytes(rng.between(1, 6000));
    for (uint8_t& b : bytes) b = uint8_t(rng.next() >> 24);
    if (k % 3 == 0) bytes.front() = '{';  // looks like an object at first sight
    offer(bytes.data(), bytes.size(), "random chunk " + std::to_string(k));
  }
  const std::string wrong[] = {
      "null", "{}", "[]", "\"rig\"", "1e999", "-0", "{\"name\":5}", "{\"blocks\":null}",
      "{\"name\":\"x\",\"blocks\":[{\"sblock\":99}]}", "{\"name\":\"x\",\"blocks\":7}",
      std::string(100000, '['), std::string(100000, '{'), "{\"a\":" + std::string(50000, '['),
  };
  for (const std::string& w : wrong) offer(w.c_str(), w.size() + 1, "\"" + w.substr(0, 40) + "\"");
  offer(full.data(), 0, "0 bytes");
  offer(nullptr, 64, "a null pointer");
  EXPECT_TRUE(faults.empty()) << faults.text();
}

// Ten megabytes of garbage, and ten megabytes of text that reads as JSON: a
// preset whose name is one huge string, one whose unit list is one huge array,
// and nesting ten megabytes deep. None may crash or hang; the garbage is refused.
TEST(HostAbuseChunk, TenMegabyteChunks) {
  constexpr size_t kSize = 10u << 20;
  // Not a speed target (a load of this size takes 0.2 to 3 s in a release build):
  // only what tells a slow load from one that never ends, also under sanitizers.
  constexpr double kHangSeconds = 60.0;
  const std::string preset = richPreset();
  ASSERT_FALSE(preset.empty());
  chunkvictim v(preset);
  ASSERT_TRUE(v.ok());

  std::vector<uint8_t> garbage(kSize);
  xorshift rng(5);
  for (uint8_t& b : garbage) b = uint8_t(rng.next() >> 24);
  double took = v.offer(garbage.data(), garbage.size());
  EXPECT_EQ(v.unchanged(), "") << "after 10 MB of random bytes";
  EXPECT_LT(took, kHangSeconds) << "seconds for 10 MB of random bytes";

  const size_t nameAt = preset.find("\"name\":\"");
  ASSERT_NE(nameAt, std::string::npos);
  const std::string longName =
      preset.substr(0, nameAt + 8) + std::string(kSize, 'n') + preset.substr(nameAt + 8);
  const std::string hugeArray = "{\"name\":\"x\",\"blocks\":[" + std::string(kSize, '7') + "]}";
  // One member of the real preset repeated until the chunk is 10 MB long.
  auto repeated = [&](const std::string& key, const std::string& item) {
    const size_t at = preset.find("\"" + key + "\":[");
    if (at == std::string::npos) return std::string();
    const size_t open = at + key.size() + 4;
    std::string many;
    while (many.size() < kSize) many += item + ",";
    return preset.substr(0, open) + many + preset.substr(open);
  };
  const struct { const char* what; std::string text; } big[] = {
      {"a 10 MB name", longName},
      {"a huge unit list", repeated("blocks", "{\"sblock\":7,\"blockgroup\":0,\"pars\":[{},{\"fpos\":0.9}]}")},
      {"a huge slot list", repeated("slots", "{\"dataind\":4,\"active\":true}")},
      {"huge parameter lists", repeated("pars", "{\"fpos\":0.5}")},
      {"a 10 MB number", hugeArray},
      {"nesting 10 MB deep", std::string(kSize, '[')},
  };
  for (const auto& b : big) {
    const auto bytes = chunkOf(b.text);
    ASSERT_GE(b.text.size(), kSize) << b.what;
    took = v.offer(bytes.data(), bytes.size());
    EXPECT_LT(took, kHangSeconds) << "seconds for " << b.what;
    // Whether or not the rig took it, it plays, and hands out a chunk that loads.
    const stereo after = render(v.hit(), testSignal(2048), 512);
    EXPECT_TRUE(allFinite(after)) << b.what;
    EXPECT_FALSE(v.hit().getChunk().empty()) << b.what;
  }
}

// ---- dispatcher calls ----

// Every opcode up to 80 (but effClose and the chunk calls, tested on their own)
// with null pointers, a zeroed buffer and out-of-range indices and values: no
// crash, and the rig plays afterwards exactly like one that never saw them.
TEST(HostAbuseDispatch, EveryOpcodeWithNullAndOddArguments) {
  auto calm = startPlugin();
  auto hit = startPlugin();
  ASSERT_TRUE(calm && hit);
  const std::vector<uint8_t> before = hit->getChunk();
  alignas(16) char zeros[4096];
  const VstInt32 indices[] = {0, -1, 1, INT_MIN, INT_MAX};
  const VstIntPtr values[] = {0, -1, 1, VstIntPtr(INT_MIN), VstIntPtr(INT_MAX)};
  for (VstInt32 op = 0; op <= 80; ++op) {
    if (op == effClose || op == effGetChunk || op == effSetChunk || op == effSetSampleRate ||
        op == effMainsChanged)
      continue;
    for (size_t k = 0; k < std::size(indices); ++k) {
      std::memset(zeros, 0, sizeof zeros);
      hit->dispatch(op, indices[k], values[k], nullptr, 0.0f);
      hit->dispatch(op, indices[k], values[k], zeros, 0.0f);
    }
  }
  void* data = nullptr;
  EXPECT_EQ(hit->dispatch(effGetChunk, 0, 0, nullptr), 0) << "no place to put the pointer";
  EXPECT_GT(hit->dispatch(effGetChunk, 1, 0, &data), 0) << "a preset chunk is the same chunk";
  hit->dispatch(effSetChunk, 0, 64, nullptr);
  hit->dispatch(effSetChunk, 0, -5, zeros);
  EXPECT_EQ(hit->getChunk(), before);

  calm->resume();
  hit->resume();
  const std::vector<float> x = testSignal(4096);
  EXPECT_EQ(render(*hit, x, 512), render(*calm, x, 512));
}

// Rates at the ends of what converters run at are followed: the rig stays finite
// and, back at an ordinary rate, plays like a fresh one. Values that are no rate
// at all (0, negative, NaN, infinite, below 1 kHz, far above 768 kHz) are
// ignored: the rig plays exactly as if the call had not come.
TEST(HostAbuseDispatch, OddSampleRates) {
  const std::vector<float> x = testSignal(4800);
  const std::vector<float> quiet(24000, 0.0f);
  for (const float rate : {8000.0f, 11025.0f, 384000.0f, 768000.0f}) {
    auto host = startPlugin();
    ASSERT_TRUE(host);
    host->resume();
    render(*host, x, 512);
    host->setSampleRate(rate);
    const stereo played = render(*host, testSignal(size_t(rate / 10), rate), 512);
    EXPECT_TRUE(allFinite(played)) << rate << " Hz";
    EXPECT_GT(meanSquare(tail(played, played.l.size() / 2)), 1e-8) << rate << " Hz";
    host->setSampleRate(kRate);
    render(*host, quiet, 512);
    auto fresh = startPlugin();
    ASSERT_TRUE(fresh);
    fresh->resume();
    render(*fresh, quiet, 512);
    const stereo back = render(*host, x, 512);
    EXPECT_LT(relativeDifference(back, render(*fresh, x, 512)), 1e-5) << "back from " << rate;
  }
  const float nonsense[] = {0.0f, -48000.0f, 1.0f, 100.0f, 999.0f, 1e7f, 1e30f,
                            std::numeric_limits<float>::quiet_NaN(), kInf, -kInf};
  for (const float rate : nonsense) {
    auto calm = startPlugin();
    auto hit = startPlugin();
    ASSERT_TRUE(calm && hit);
    calm->resume();
    hit->resume();
    EXPECT_EQ(render(*hit, x, 512), render(*calm, x, 512));
    hit->setSampleRate(rate);
    EXPECT_EQ(render(*hit, x, 512), render(*calm, x, 512)) << rate << " Hz";
    hit->suspend();
    hit->setSampleRate(rate);
    hit->resume();
    EXPECT_EQ(render(*hit, x, 512), render(*calm, x, 512)) << rate << " Hz while suspended";
  }
}

// A host may call processReplacing with no frames and no buffers, with a channel
// it did not connect, or with a negative count. The plug-in writes silence where
// it can and plays on as if the block had not been.
TEST(HostAbuseDispatch, ProcessWithMissingBuffers) {
  auto calm = startPlugin();
  auto hit = startPlugin();
  ASSERT_TRUE(calm && hit);
  calm->resume();
  hit->resume();
  const std::vector<float> x = testSignal(2048);
  EXPECT_EQ(render(*hit, x, 256), render(*calm, x, 256));

  std::vector<float> in(512, 0.25f), outL(512, 7.0f), outR(512, 7.0f);
  float* none[2] = {nullptr, nullptr};
  float* inputs[2] = {in.data(), in.data()};
  float* oneIn[2] = {in.data(), nullptr};
  float* outputs[2] = {outL.data(), outR.data()};
  float* oneOut[2] = {outL.data(), nullptr};
  hit->processBlock(nullptr, nullptr, 0);
  hit->processBlock(none, none, 0);
  hit->processBlock(inputs, outputs, -1);
  hit->processBlock(inputs, outputs, INT_MIN);
  hit->processBlock(nullptr, outputs, 512);
  EXPECT_EQ(outL, std::vector<float>(512, 0.0f)) << "no inputs: silence";
  outL.assign(512, 7.0f);
  hit->processBlock(oneIn, outputs, 512);
  EXPECT_EQ(outR, std::vector<float>(512, 0.0f)) << "one input missing: silence";
  hit->processBlock(inputs, oneOut, 512);
  EXPECT_EQ(outL, std::vector<float>(512, 0.0f)) << "one output missing: silence on the other";
  hit->processBlock(inputs, nullptr, 512);
  hit->processBlock(inputs, none, 512);
  EXPECT_EQ(render(*hit, x, 256), render(*calm, x, 256)) << "the skipped blocks left no trace";
}

// effClose in every state a host may leave the instance in: never opened,
// resumed and playing, suspended, in the middle of a chunk load's aftermath.
TEST(HostAbuseDispatch, CloseInAnyState) {
  const std::vector<float> x = testSignal(1024);
  {
    qvhostresult result = qvhostresult::cannotOpen;
    auto host = qvhostinstance::create(PluginCopy::get().module(), {}, result);
    ASSERT_TRUE(host);
    host->close();  // no effOpen
    EXPECT_EQ(host->effect(), nullptr);
  }
  for (int state = 0; state < 3; ++state) {
    auto host = startPlugin();
    ASSERT_TRUE(host);
    host->resume();
    render(*host, x, 256);
    if (state == 1) host->suspend();
    if (state == 2) {
      const auto chunk = host->getChunk();
      setChunkWhilePlaying(*host, chunk.data(), chunk.size());
      host->resume();  // a second resume without a suspend
    }
    host->close();
    EXPECT_EQ(host->effect(), nullptr) << state;
  }
}
