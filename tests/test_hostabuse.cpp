// What a careless or hostile host can do through the binary interface: abusive
// input, odd block sizes, rate changes while playing, broken and huge chunks, odd
// dispatcher calls. No crash, no NaN or infinity out, ordinary sound comes back.
#include <gtest/gtest.h>

#include <atomic>
#include <cfloat>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <thread>

#include "tests/pluginfixture.hpp"
#include "vst/audioeffect.hpp"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The ordinary signal: a 220 Hz sine at −20 dBFS.
std::vector<float> toneSignal(size_t n, float rate = kRate) {
  std::vector<float> x(n);
  for (size_t i = 0; i < n; ++i) x[i] = float(0.1 * std::sin(2.0 * std::numbers::pi * 220.0 * double(i) / rate));
  return x;
}

// Mean square over both channels of the last `n` frames (all of them for 0).
double lateLevel(const stereo& s, size_t n = 0) {
  n = n == 0 ? s.l.size() : std::min(n, s.l.size());
  double e = 0.0;
  for (size_t i = s.l.size() - n; i < s.l.size(); ++i) e += double(s.l[i]) * s.l[i] + double(s.r[i]) * s.r[i];
  return n ? e / double(2 * n) : 0.0;
}
constexpr double kSounds = 1e-8;  // −80 dB

// RMS of the difference of two renderings over the RMS of `b`.
double relativeDifference(const stereo& a, const stereo& b) {
  double d = 0.0;
  for (size_t i = 0; i < a.l.size(); ++i)
    d += std::pow(double(a.l[i]) - b.l[i], 2) + std::pow(double(a.r[i]) - b.r[i], 2);
  return std::sqrt(d / std::max(energy(b), 1e-30));
}

// Failures of a sweep, reported together so one run shows every one.
std::string listed(const std::vector<std::string>& faults) {
  std::string out = std::to_string(faults.size()) + " faults:";
  for (size_t i = 0; i < faults.size() && i < 40; ++i) out += "\n  " + faults[i];
  return out;
}

// Sets a chunk while an audio thread runs 0-frame blocks, so the load runs between
// blocks as on a playing host. Returns the seconds the call took.
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

// Deterministic noise in [-1, 1) and denormals of either sign.
float uniform(std::minstd_rand& rng) { return float(rng() >> 7) * (2.0f / 16777216.0f) - 1.0f; }
float denormal(std::minstd_rand& rng) {
  const uint32_t bits = (uint32_t(rng()) & 0x807fffffu) | 1u;  // exponent 0, mantissa not 0
  float x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

constexpr size_t kSpikeAt = 1000;  // where a single bad sample sits inside music

const struct {
  const char* name;
  float (*sample)(size_t i, std::minstd_rand& rng);
} kAbuse[] = {
    {"silence", [](size_t, std::minstd_rand&) { return 0.0f; }},
    {"DC +1", [](size_t, std::minstd_rand&) { return 1.0f; }},
    {"DC -1", [](size_t, std::minstd_rand&) { return -1.0f; }},
    {"small DC", [](size_t, std::minstd_rand&) { return 1e-5f; }},
    {"full-scale white noise", [](size_t, std::minstd_rand& rng) { return uniform(rng); }},
    {"full-scale square 6 kHz", [](size_t i, std::minstd_rand&) { return (i / 4) % 2 ? 1.0f : -1.0f; }},
    {"-1e30", [](size_t, std::minstd_rand&) { return -1e30f; }},
    {"noise x 1e30", [](size_t, std::minstd_rand& rng) { return 1e30f * uniform(rng); }},
    {"alternating FLT_MAX", [](size_t i, std::minstd_rand&) { return i % 2 ? FLT_MAX : -FLT_MAX; }},
    {"NaN", [](size_t, std::minstd_rand&) { return kNaN; }},
    {"+inf", [](size_t, std::minstd_rand&) { return kInf; }},
    {"-inf", [](size_t, std::minstd_rand&) { return -kInf; }},
    {"denormals", [](size_t, std::minstd_rand& rng) { return denormal(rng); }},
    {"music with one NaN", [](size_t i, std::minstd_rand&) { return i == kSpikeAt ? kNaN : musicAt(i); }},
    {"music with one FLT_MAX", [](size_t i, std::minstd_rand&) { return i == kSpikeAt ? FLT_MAX : musicAt(i); }},
    {"music and denormals", [](size_t i, std::minstd_rand& rng) { return i % 2 ? denormal(rng) : musicAt(i); }},
    {"noise with NaN bursts",
     [](size_t i, std::minstd_rand& rng) { return (i / 64) % 7 == 3 ? kNaN : uniform(rng); }},
};

}  // namespace

// Every factory preset, each abusive input for 0.05 s between stretches of tone:
// finite output, back within 20 dB of its level within 0.5 s, the rig unchanged.
TEST(HostAbuseInput, EveryPresetSurvivesAbusiveInputAndComesBack) {
  constexpr size_t kAbuseFrames = 2400, kStep = 480, kMaxReturn = 24000;
  const std::vector<float> warm = toneSignal(9600), tone = toneSignal(kMaxReturn);
  std::vector<std::string> faults;
  size_t slowest = 0, sounding = 0;
  const auto presets = factoryPresetChunks();
  ASSERT_FALSE(presets.empty());
  for (const auto& [name, text] : presets) {
    auto host = startWithPreset(kRate, text);
    ASSERT_TRUE(host);
    const std::vector<uint8_t> loaded = host->getChunk();
    const stereo w = render(*host, warm, 512);
    if (!allFinite(w)) {
      faults.push_back(name + ": not finite on the tone");
      continue;
    }
    const double level = lateLevel(w, warm.size() / 4);
    const bool sounds = level > kSounds;
    sounding += sounds;
    std::minstd_rand rng(1);
    for (const auto& c : kAbuse) {
      std::vector<float> x(kAbuseFrames);
      for (size_t i = 0; i < x.size(); ++i) x[i] = c.sample(i, rng);
      if (!allFinite(render(*host, x, 512))) faults.push_back(name + ", " + c.name + ": not finite");
      size_t done = 0;
      bool back = false, finite = true;
      while (finite && !back && done < kMaxReturn) {
        const stereo r = render(*host, std::vector<float>(tone.begin() + std::ptrdiff_t(done),
                                                          tone.begin() + std::ptrdiff_t(done + kStep)), 512);
        done += kStep;
        finite = allFinite(r);
        back = !sounds || lateLevel(r) >= 0.01 * level;  // a silent preset: one finite step will do
      }
      if (!finite) faults.push_back(name + ", after " + c.name + ": not finite on the tone");
      if (finite && !back) faults.push_back(name + ", after " + c.name + ": silent after 0.5 s of tone");
      if (sounds) slowest = std::max(slowest, done);
    }
    if (host->getChunk() != loaded) faults.push_back(name + ": the abuse changed the rig");
  }
  EXPECT_TRUE(faults.empty()) << listed(faults);
  std::printf("%zu of %zu presets sound on the tone; slowest return %.0f ms\n", sounding, presets.size(),
              1000.0 * double(slowest) / kRate);
}

// Blocks of 0 to 8192 frames, many beyond the announced 512, in place, play exactly
// what blocks of the announced size play.
TEST(HostAbuseBlocks, RandomBlockSizesPlayLikeTheAnnouncedOne) {
  constexpr size_t kFrames = 36000;
  std::vector<float> x(kFrames);
  std::minstd_rand rng(7);
  for (size_t i = 0; i < kFrames; ++i) x[i] = musicAt(i) + 0.05f * uniform(rng);
  for (const auto& [name, text] : presetSample(8)) {
    auto fixed = startWithPreset(kRate, text);
    auto odd = startWithPreset(kRate, text);
    ASSERT_TRUE(fixed && odd);
    fixed->setBlockSize(512);
    odd->setBlockSize(512);
    const stereo expect = render(*fixed, x, 512);
    stereo got(kFrames);
    got.l = got.r = x;
    size_t beyond = 0;
    for (size_t done = 0; done < kFrames;) {
      // A quarter each: empty, up to 32, up to 1024, up to 8192 frames.
      const uint32_t top[] = {0, 32, 1024, 8192};
      uint32_t n = top[rng() % 4];
      n = uint32_t(std::min<size_t>(n ? 1 + rng() % n : 0, kFrames - done));
      beyond += n > 512;
      float* io[2] = {got.l.data() + done, got.r.data() + done};
      odd->processBlock(io, io, VstInt32(n));
      done += n;
    }
    EXPECT_GT(beyond, 4u);
    EXPECT_TRUE(allFinite(expect)) << name;
    EXPECT_EQ(got, expect) << name;
  }
}

// Rate changes between 22050 and 192000 Hz, while playing and in suspend cycles:
// finite, still sounding, and once the old audio has died away the rig plays like
// one started at the new rate.
TEST(HostAbuseRate, RateChangesWhilePlaying) {
  for (const auto& [name, text] : presetSample(4)) {
    auto host = startWithPreset(48000.0f, text);
    ASSERT_TRUE(host);
    const bool sounds = lateLevel(render(*host, toneSignal(4800, 48000.0f), 256), 2400) > kSounds;
    int step = 0;
    for (const float rate : {22050.0f, 192000.0f, 44100.0f, 96000.0f, 32000.0f, 176400.0f, 88200.0f}) {
      const bool cycle = step++ % 2 == 1;
      if (cycle) host->suspend();
      host->setSampleRate(rate);
      if (cycle) host->resume();
      const std::string where = name + ", " + std::to_string(int(rate)) + " Hz" +
                                (cycle ? " (suspended)" : " (playing)");
      const size_t settle = size_t(0.3 * rate), n = size_t(0.1 * rate);
      const stereo right = render(*host, toneSignal(n, rate), 256);  // the old tone still rings
      EXPECT_TRUE(allFinite(right)) << where;
      if (sounds) {
        EXPECT_GT(lateLevel(right, n / 2), kSounds) << where << ": silent";
      }
      const stereo quiet = render(*host, std::vector<float>(settle, 0.0f), 333);
      const stereo played = render(*host, toneSignal(n, rate), 256);
      EXPECT_TRUE(allFinite(quiet) && allFinite(played)) << where;
      auto fresh = startWithPreset(rate, text);
      render(*fresh, std::vector<float>(settle, 0.0f), 333);
      EXPECT_LT(relativeDifference(played, render(*fresh, toneSignal(n, rate), 256)), 1e-5) << where;
    }
  }
}

// Every factory preset at 8 kHz (corners and bands beyond half the rate, impulses
// taken down sixfold) plays finite audio, and sounds if it did at 48 kHz.
TEST(HostAbuseRate, EveryPresetAtTheLowEndOfTheRange) {
  std::vector<std::string> faults;
  for (const auto& [name, text] : factoryPresetChunks()) {
    auto host = startWithPreset(kRate, text);
    ASSERT_TRUE(host);
    const bool sounds = lateLevel(render(*host, toneSignal(2400), 512), 1200) > kSounds;
    host->setSampleRate(8000.0f);
    const stereo out = render(*host, toneSignal(800, 8000.0f), 512);
    if (!allFinite(out)) faults.push_back(name + ": not finite");
    else if (sounds && !(lateLevel(out, 400) > kSounds)) faults.push_back(name + ": silent");
  }
  EXPECT_TRUE(faults.empty()) << listed(faults);
}

namespace {
// Two instances of the last factory preset (pedals, amplifier, cab sims): `hit`
// gets the bad chunks, `good` shows what the rig plays untouched.
class chunkvictim {
public:
  chunkvictim() {
    const auto presets = factoryPresetChunks();
    if (presets.empty()) return;
    good_ = startWithPreset(kRate, presets.back().second);
    hit_ = startWithPreset(kRate, presets.back().second);
    probe_ = testSignal(4096);
    if (!good_ || !hit_) return;
    render(*good_, probe_, 512);
    render(*hit_, probe_, 512);
    loaded_ = hit_->getChunk();
  }
  bool ok() const { return good_ && hit_ && !loaded_.empty(); }
  const std::vector<uint8_t>& loaded() const { return loaded_; }
  std::string text() const { return chunkText(loaded_); }
  // Hands the chunk over while audio runs and returns the seconds it took.
  double offer(const void* data, size_t size) { return setChunkWhilePlaying(*hit_, data, size); }
  // What went wrong, or empty when the rig is as it was: same chunk, and the
  // next frames exactly as the untouched instance plays them.
  std::string unchanged() {
    std::string fault;
    if (hit_->getChunk() != loaded_) fault = " the chunk changed";
    const std::vector<float> x(probe_.begin(), probe_.begin() + 64);
    const stereo expect = render(*good_, x, 256), got = render(*hit_, x, 256);
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
}  // namespace

// Broken chunks while audio runs (prefixes of a real one, random bytes, JSON that
// is no rig, no bytes, a null pointer) are refused and the rig plays on untouched.
TEST(HostAbuseChunk, BrokenChunksAreRefused) {
  chunkvictim v;
  ASSERT_TRUE(v.ok());
  std::vector<std::string> faults;
  auto offer = [&](const void* data, size_t size, const std::string& what) {
    v.offer(data, size);
    if (const std::string f = v.unchanged(); !f.empty()) faults.push_back(what + ":" + f);
  };
  const std::vector<uint8_t>& full = v.loaded();
  const size_t text = full.size() - 1;  // the NUL follows the text
  for (size_t n = 1; n < text; n += 1 + text / 150) offer(full.data(), n, "prefix of " + std::to_string(n));
  offer(full.data(), text - 1, "all but the last byte");
  std::minstd_rand rng(99);
  for (int k = 0; k < 24; ++k) {
    std::vector<uint8_t> bytes(1 + rng() % 6000);
    for (uint8_t& b : bytes) b = uint8_t(rng() >> 23);
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
  EXPECT_TRUE(faults.empty()) << listed(faults);
}

// Ten megabytes of garbage, and of JSON (a huge name, member lists, number and
// nesting): no crash, no hang, the garbage refused.
TEST(HostAbuseChunk, TenMegabyteChunks) {
  constexpr size_t kSize = 10u << 20;
  // Not a speed target (a load of this size takes 0.2 to 3 s in a release build):
  // only what tells a slow load from one that never ends, also under sanitizers.
  constexpr double kHangSeconds = 60.0;
  chunkvictim v;
  ASSERT_TRUE(v.ok());
  const std::string preset = v.text();
  std::vector<uint8_t> garbage(kSize);
  std::minstd_rand rng(5);
  for (uint8_t& b : garbage) b = uint8_t(rng() >> 23);
  EXPECT_LT(v.offer(garbage.data(), garbage.size()), kHangSeconds) << "seconds for 10 MB of random bytes";
  EXPECT_EQ(v.unchanged(), "") << "after 10 MB of random bytes";

  // One member of the real preset repeated until the chunk is 10 MB long.
  auto repeated = [&](const std::string& key, const std::string& item) {
    const size_t open = preset.find("\"" + key + "\":[") + key.size() + 4;
    std::string many;
    while (many.size() < kSize) many += item + ",";
    return preset.substr(0, open) + many + preset.substr(open);
  };
  const size_t nameAt = preset.find("\"name\":\"") + 8;
  const struct { const char* what; std::string text; } big[] = {
      {"a 10 MB name", preset.substr(0, nameAt) + std::string(kSize, 'n') + preset.substr(nameAt)},
      {"a huge unit list", repeated("blocks", "{\"sblock\":7,\"blockgroup\":0,\"pars\":[{},{\"fpos\":0.9}]}")},
      {"a huge slot list", repeated("slots", "{\"dataind\":4,\"active\":true}")},
      {"huge parameter lists", repeated("pars", "{\"fpos\":0.5}")},
      {"a 10 MB number", "{\"name\":\"x\",\"blocks\":[" + std::string(kSize, '7') + "]}"},
      {"nesting 10 MB deep", std::string(kSize, '[')},
  };
  for (const auto& b : big) {
    const auto bytes = chunkOf(b.text);
    EXPECT_LT(v.offer(bytes.data(), bytes.size()), kHangSeconds) << "seconds for " << b.what;
    // Whether or not the rig took it, it plays, and hands out a chunk.
    EXPECT_TRUE(allFinite(render(v.hit(), testSignal(2048), 512))) << b.what;
    EXPECT_FALSE(v.hit().getChunk().empty()) << b.what;
  }
}

// Every opcode up to 80 with null pointers, a zeroed buffer and out-of-range
// arguments: no crash, and the rig plays on exactly as one that never saw them.
TEST(HostAbuseDispatch, EveryOpcodeWithNullAndOddArguments) {
  auto calm = startPlugin();
  auto hit = startPlugin();
  ASSERT_TRUE(calm && hit);
  const std::vector<uint8_t> before = hit->getChunk();
  alignas(16) char zeros[4096];
  const VstInt32 indices[] = {0, -1, 1, INT_MIN, INT_MAX};
  const VstIntPtr values[] = {0, -1, 1, VstIntPtr(INT_MIN), VstIntPtr(INT_MAX)};
  for (VstInt32 op = 0; op <= 80; ++op) {
    if (op == effClose || op == effGetChunk || op == effSetChunk || op == effSetSampleRate || op == effMainsChanged)
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
  hit->dispatch(effSetChunk, 0, -5, zeros);
  EXPECT_EQ(hit->getChunk(), before);
  calm->resume();
  hit->resume();
  const std::vector<float> x = testSignal(4096);
  EXPECT_EQ(render(*hit, x, 512), render(*calm, x, 512));
}

// Values that are no rate (0, negative, NaN, infinite, below 1 kHz, above 768 kHz)
// are ignored, playing or suspended.
TEST(HostAbuseDispatch, NonsenseSampleRatesAreIgnored) {
  const std::vector<float> x = testSignal(4800);
  for (const float rate : {0.0f, -48000.0f, 999.0f, 1e7f, kNaN, kInf, -kInf}) {
    auto calm = startPlugin();
    auto hit = startPlugin();
    ASSERT_TRUE(calm && hit);
    calm->resume();
    hit->resume();
    hit->setSampleRate(rate);
    EXPECT_EQ(render(*hit, x, 512), render(*calm, x, 512)) << rate << " Hz";
    hit->suspend();
    hit->setSampleRate(rate);
    hit->resume();
    EXPECT_EQ(render(*hit, x, 512), render(*calm, x, 512)) << rate << " Hz while suspended";
  }
}

// processReplacing without buffers, with a channel missing or a negative count:
// silence where it can write, and no trace afterwards.
TEST(HostAbuseDispatch, ProcessWithMissingBuffers) {
  auto calm = startPlugin();
  auto hit = startPlugin();
  ASSERT_TRUE(calm && hit);
  calm->resume();
  hit->resume();
  const std::vector<float> x = testSignal(2048);
  EXPECT_EQ(render(*hit, x, 256), render(*calm, x, 256));
  std::vector<float> in(512, 0.25f), outL(512, 7.0f), outR(512, 7.0f);
  const std::vector<float> silence(512, 0.0f);
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
  EXPECT_EQ(outL, silence) << "no inputs: silence";
  outL.assign(512, 7.0f);
  hit->processBlock(oneIn, outputs, 512);
  EXPECT_EQ(outR, silence) << "one input missing: silence";
  hit->processBlock(inputs, oneOut, 512);
  EXPECT_EQ(outL, silence) << "one output missing: silence on the other";
  hit->processBlock(inputs, nullptr, 512);
  hit->processBlock(inputs, none, 512);
  EXPECT_EQ(render(*hit, x, 256), render(*calm, x, 256)) << "the skipped blocks left no trace";
}

// effClose in every state a host may leave the instance in: never opened,
// resumed and playing, suspended, right after a chunk load and a second resume.
TEST(HostAbuseDispatch, CloseInAnyState) {
  qvhostresult result = qvhostresult::cannotOpen;
  auto unopened = qvhostinstance::create(pluginModule(), {}, result);
  ASSERT_TRUE(unopened);
  unopened->close();
  EXPECT_EQ(unopened->effect(), nullptr);
  for (int state = 0; state < 3; ++state) {
    auto host = startPlugin();
    ASSERT_TRUE(host);
    host->resume();
    render(*host, testSignal(1024), 256);
    if (state == 1) host->suspend();
    if (state == 2) {
      const auto chunk = host->getChunk();
      setChunkWhilePlaying(*host, chunk.data(), chunk.size());
      host->resume();
    }
    host->close();
    EXPECT_EQ(host->effect(), nullptr) << state;
  }
}
