// Plays test signals through the plug-in's own engine with the factory document
// and the factory impulses, one preset at a time, the way a host would after the
// user picked the preset in the preset box.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "plugin/qvengine.hpp"

class srpresetrun {
public:
  // [stopped] An engine at `rate` Hz with the factory document read. Check ok().
  explicit srpresetrun(float rate);

  bool ok() const { return loadCode_ == 0; }
  int loadCode() const { return loadCode_; }
  float rate() const { return eng_.state.sampleRate; }
  uint32_t presetCount() const { return eng_.data.presets.count(); }
  std::string presetName(uint32_t index) const;
  std::string categoryName(uint32_t index) const;

  // [stopped] Loads preset `index` afresh (new units, silent state), with the
  // oversampling factor set to `factor` (0 keeps the factory setting), and plays
  // `in` on the left input (the factory's input source); out gets the left
  // output. Returns the preset loader's code.
  int render(uint32_t index, const std::vector<float>& in, std::vector<float>& out, int factor = 0);

  // [stopped] Options every later render turns on besides the preset's own.
  void forceOptions(const qvaliasoptions& options) { forced_ = options; }

  // The engine, for checks that look inside the rig after a render.
  qvengine& engine() { return eng_; }

private:
  qvengine eng_;
  int loadCode_ = -1;
  int factoryFactor_ = 1;
  qvaliasoptions forced_;
};

// [any] A sine of freq_hz at level_db (dBFS), `seconds` long at rate. The phase is
// computed in double precision: a float phase at ~2e5 samples already adds phase
// noise near -55 dB that would read as aliasing.
std::vector<float> testSine(double freq_hz, double level_db, double seconds, double rate);
