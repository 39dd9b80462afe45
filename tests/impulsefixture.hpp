// An engine in a temporary plug-in folder, with helpers that write WAV files there
// and read a cab block's impulse back through the convolution engine.
#pragma once
#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

#include "plugin/qvengine.hpp"
#include "tempdir.hpp"

// Writes interleaved samples with libsndfile; false on failure.
inline bool writeSound(const std::string& path, int rate, const std::vector<float>& interleaved,
                       int channels = 1, int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  const sf_count_t n = sf_count_t(interleaved.size()) / channels;
  const bool ok = sf_writef_float(f, interleaved.data(), n) == n;
  return sf_close(f) == 0 && ok;
}

// A decaying ramp of n samples that no two positions share.
inline std::vector<float> rampImpulse(size_t n) {
  std::vector<float> x(n);
  for (size_t i = 0; i < n; ++i) x[i] = 0.5f / float(1 + i) + float(i % 7) * 1e-3f;
  return x;
}

class EngineFixture : public ::testing::Test {
protected:
  EngineFixture() : engine(dir.path() + "/", "corvina-save.fxda") {}

  // Writes `name` into the plug-in folder and returns its full path.
  std::string wav(const std::string& name, int rate, const std::vector<float>& x) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(writeSound(path, rate, x)) << path;
    return path;
  }
  int32_t addUser(const std::string& path) {
    return static_cast<int32_t>(addImpulseFile(engine.data, path, -1, -1));
  }
  int32_t addFactory(int32_t res) {
    return static_cast<int32_t>(addImpulseFile(engine.data, "", 0, res));
  }
  const qvusconv& block(uint32_t b) const { return *engine.chain.cabBlocks[b]; }
  int64_t blockLength(uint32_t b) const {
    return engine.chain.cabEngine->impulseLength(block(b).slot);
  }
  // Convolution slots in use.
  int liveSlots() const {
    int n = 0;
    for (int s = 0; s < 256; ++s) n += engine.chain.cabEngine->slotExists(s) ? 1 : 0;
    return n;
  }
  // The first n outputs of block b's slot for a unit impulse: its impulse response.
  std::vector<float> blockResponse(uint32_t b, size_t n) {
    qvconvengine& conv = *engine.chain.cabEngine;
    conv.reset();
    std::vector<float> y(n);
    for (size_t i = 0; i < n; ++i) {
      conv.process(i == 0 ? 1.0f : 0.0f);
      y[i] = conv.output(block(b).slot);
    }
    return y;
  }

  TempDir dir;
  qvengine engine;
};
