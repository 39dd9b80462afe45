// The built plug-in corvina.so loaded through our test host the way a digital
// audio workstation loads it, with helpers to feed it signals and read them back.
// Each instance runs from a copy of the library in a fresh folder, so no user
// document beside the build can change what it loads.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.hpp"
#include "plugin/qvengine.hpp"
#include "tests/tempdir.hpp"
#include "tools/host/guitarsynth.hpp"
#include "tools/host/pluginstage.hpp"
#include "tools/host/vsthost.hpp"

inline constexpr float kRate = 48000.0f;

// The plug-in staged once per process by the tools' own stage: a copy in a fresh
// folder, without a user document.
inline const pluginstage& stagedPlugin() {
  static pluginstage stage;
  static const bool made = [] {
    std::string error;
    const bool ok = stage.create(CORVINA_PLUGIN_PATH, error);
    EXPECT_TRUE(ok) << error;
    return ok;
  }();
  (void)made;
  return stage;
}

// The staged library, loaded once more (instances keep it loaded).
inline std::shared_ptr<qvhostmodule> pluginModule() {
  auto m = std::make_shared<qvhostmodule>();
  EXPECT_EQ(m->open(stagedPlugin().pluginPath()), qvhostresult::ok) << m->error();
  return m;
}

// An instance opened at `rate` (effOpen, rate, block size), not resumed.
inline std::unique_ptr<qvhostinstance> startPlugin(float rate = kRate) {
  std::string error;
  auto host = openStagedPlugin(stagedPlugin(), rate, 4096, error);
  EXPECT_TRUE(host) << error;
  return host;
}

// An instance at `rate` playing the preset `text`, resumed.
inline std::unique_ptr<qvhostinstance> startWithPreset(float rate, const std::string& text) {
  auto host = startPlugin(rate);
  if (!host) return host;
  giveChunk(*host, text);
  host->resume();
  return host;
}

inline std::vector<uint8_t> chunkOf(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

inline std::string chunkText(const std::vector<uint8_t>& chunk) {
  return chunk.empty() ? std::string() : std::string(chunk.begin(), chunk.end() - 1);
}

// `n` frames of the synthesized guitar DI at `rate`: loud enough to open the gate.
inline std::vector<float> testSignal(size_t n, float rate = kRate) {
  std::vector<float> x = synthGuitarDI(rate, double(n + 1) / rate);
  x.resize(n);
  return x;
}

struct stereo {
  std::vector<float> l, r;
  explicit stereo(size_t n = 0) : l(n), r(n) {}
  bool operator==(const stereo&) const = default;
};

// Renders `x` to both inputs in blocks of `block` frames.
inline stereo render(qvhostinstance& host, const std::vector<float>& x, VstInt32 block) {
  stereo out(x.size());
  const float* in[2] = {x.data(), x.data()};
  float* o[2] = {out.l.data(), out.r.data()};
  host.process(in, o, int64_t(x.size()), block);
  return out;
}

inline bool allFinite(const stereo& s) {
  for (size_t i = 0; i < s.l.size(); ++i)
    if (!std::isfinite(s.l[i]) || !std::isfinite(s.r[i])) return false;
  return true;
}

inline double energy(const stereo& s) {
  double e = 0.0;
  for (size_t i = 0; i < s.l.size(); ++i) e += double(s.l[i]) * s.l[i] + double(s.r[i]) * s.r[i];
  return e;
}

// The presets of the document the plug-in embeds, as (name, chunk text), read
// with the same engine code in this process.
inline std::vector<std::pair<std::string, std::string>> factoryPresetChunks() {
  std::vector<std::pair<std::string, std::string>> out;
  TempDir dir;
  qvengine engine(dir.path() + "/", "./corvina-save.fxda");
  if (!readWholeFile(CORVINA_FACTORY_DOC, engine.data.factoryText)) return out;
  engine.loadSystem();
  for (uint32_t i = 0; i < engine.data.presets.count(); ++i)
    out.emplace_back(engine.data.presets[i]->name, engine.data.presets[i]->node.text());
  return out;
}

// `count` presets spread over the factory list, so that delays, wahs, cab sims and
// oversampled ranges all take part.
inline std::vector<std::pair<std::string, std::string>> presetSample(size_t count) {
  const auto all = factoryPresetChunks();
  std::vector<std::pair<std::string, std::string>> out;
  for (size_t k = 0; k < count && !all.empty(); ++k) out.push_back(all[k * all.size() / count]);
  return out;
}
