#include "tools/snapshot/editorinstance.hpp"

#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "plugin/qvengine.hpp"

namespace {

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

}  // namespace

qveditorinstance::qveditorinstance(const std::string& folder) : folder_(folder) {
  if (folder_.empty()) {
    char pattern[] = "/tmp/corvina-editor-XXXXXX";
    if (mkdtemp(pattern)) folder_ = pattern;
    ownFolder_ = true;
  }
  effect_ = std::make_unique<qvAudioEffect>(hostCallback, folder_ + "/");
  editor_ = new qveditor(effect_.get(), effect_->getEngine());
  effect_->setEditor(editor_);
  effect_->setSampleRate(48000.0f);
}

qveditorinstance::~qveditorinstance() {
  effect_.reset();
  std::error_code ignored;
  if (ownFolder_ && !folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

bool qveditorinstance::selectPreset(const std::string& name) {
  const int32_t index = findPresetByName(engine().data.presets, name);
  if (index < 0) return false;
  engine().postCommand(kCmdSelectPreset, static_cast<float>(index));
  return engine().data.currentPreset == index;
}

void qveditorinstance::idleFor(double seconds) {
  const int calls = std::max(1, static_cast<int>(std::lround(seconds * 25.0)));
  for (int k = 0; k < calls; ++k) {
    clock_.advance(40);
    editor_->idle();
  }
}

void qveditorinstance::play(int frames, bool noise) {
  std::vector<float> in(static_cast<size_t>(frames)), left(in.size()), right(in.size());
  uint32_t seed = 2463534242u;
  for (float& v : in) {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    v = noise ? static_cast<float>(seed >> 8) / 8388608.0f - 1.0f : 0.0f;
  }
  for (int at = 0; at < frames; at += 256) {
    const int n = std::min(256, frames - at);
    float* ins[2] = {in.data() + at, in.data() + at};
    float* outs[2] = {left.data() + at, right.data() + at};
    effect_->processReplacing(ins, outs, n);
  }
  // No audio thread drains the engine's commands between these calls: the
  // editor's posts run on its own thread again.
  engine().state.audioIdle.store(1);
}
