#include "plugin/qvaudioeffect.hpp"

#include <algorithm>
#include <cstring>

#include "platform/files.hpp"
#include "resources/resources.hpp"

namespace {

// Where the user's document lives, relative to the plug-in's folder.
constexpr const char* kSaveName = "./corvina-save.fxda";

// Copies `text` into a host buffer of `limit` + 1 bytes.
bool copyName(char* out, const char* text, size_t limit) {
  if (!out) return false;
  std::strncpy(out, text, limit);
  out[limit] = 0;
  return true;
}

}  // namespace

qvAudioEffect::qvAudioEffect(audioMasterCallback audioMaster)
    : qvAudioEffect(audioMaster, moduleFolder()) {}

qvAudioEffect::qvAudioEffect(audioMasterCallback audioMaster, const qvstring& folder)
    : AudioEffectX(audioMaster, 1, 0) {
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(vstFourCC('q', 'v', 'a', '8'));
  canProcessReplacing(true);
  programsAreChunks(true);

  // The engine finds the user's document in `folder`. The module's entry point
  // gives the effect its editor once the effect exists.
  engine = std::make_unique<qvengine>(folder, qvstring(kSaveName));
  engine->setSampleRate(getSampleRate(), false);

  qvresource factory;
  if (loadDataResource("corvina-init.fxda", factory))
    engine->data.factoryText.assign(reinterpret_cast<const char*>(factory.bytes), factory.size);
  engine->loadSystem();
}

qvAudioEffect::~qvAudioEffect() {
  // The editor reads the engine to its end: it goes first.
  setEditor(nullptr);
}

void qvAudioEffect::setSampleRate(float rate) {
  // No converter runs outside this range; below it the dynamics' time constants
  // fall under one sample and their smoothers turn unstable, and far above it the
  // impulse responses would be resampled to absurd lengths. Such a rate (0, NaN,
  // a host's uninitialised field) leaves the rig at the rate it has.
  if (!(rate >= kLowestRate && rate <= kHighestRate)) return;
  if (engine) engine->setSampleRate(rate, true);
  AudioEffectX::setSampleRate(rate);
}

void qvAudioEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  const bool connected =
      inputs && outputs && inputs[0] && inputs[1] && outputs[0] && outputs[1];
  if (sampleFrames > 0 && !connected) {
    // A channel the host left unconnected: silence on what it did connect, and
    // the rig skips the block rather than read or write through a null pointer.
    if (outputs)
      for (int c = 0; c < 2; ++c)
        if (outputs[c]) std::fill_n(outputs[c], sampleFrames, 0.0f);
    return;
  }
  engine->processReplacing(inputs, outputs, sampleFrames);
}

VstInt32 qvAudioEffect::getChunk(void** data, bool) {
  static char emptyChunk[1] = {0};
  // The audio thread changes the rig only inside a command, and it runs a
  // command only while it holds the mailbox lock (which it merely tries). Holding
  // the lock here means the rig cannot change, nor be freed, while it is written
  // out; a command that comes meanwhile waits for a later block.
  qvlock& commands = engine->mailbox.commandLock();
  commands.lock();
  engine->buildChunk();
  commands.unlock();

  const qvstring& text = engine->data.chunkText;
  *data = text.empty() ? static_cast<void*>(emptyChunk) : const_cast<char*>(text.data());
  return static_cast<VstInt32>(text.size() + 1);
}

VstInt32 qvAudioEffect::setChunk(void* data, VstInt32 byteSize, bool) {
  // A pending chunk command may be reading the buffer on the audio thread: change
  // it only under the mailbox lock. Missing bytes count as an empty chunk, which
  // fails to load and leaves the rig as it was.
  qvlock& commands = engine->mailbox.commandLock();
  commands.lock();
  qvstring& text = engine->data.chunkText;
  if (byteSize <= 0 || !data)
    text.clear();
  else
    text.assign(static_cast<const char*>(data), static_cast<size_t>(byteSize));
  commands.unlock();
  engine->applyChunk();
  return 0;
}

bool qvAudioEffect::getEffectName(char* name) {
  return copyName(name, "Corvina", kVstMaxEffectNameLen);
}

bool qvAudioEffect::getVendorString(char* text) {
  return copyName(text, "Lumbrel", kVstMaxVendorStrLen);
}

bool qvAudioEffect::getProductString(char* text) {
  return copyName(text, "Corvina", kVstMaxProductStrLen);
}
