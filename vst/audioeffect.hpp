// Effect base classes over the AEffect interface: AudioEffect holds the AEffect
// record and turns the host's dispatcher, process and parameter calls into virtual
// methods; AudioEffectX adds the 2.x inquiries (names, category, capabilities).
// Every default is the plain answer a host expects from an effect that does not
// implement the feature. An effect object is created by the entry point and
// deleted by the host's effClose.
#pragma once
#include <cstdint>

#include "vst/aeffect.h"

class AudioEffect;

// Four-character code as the host reads it: 'qva8' -> 0x71766138.
constexpr VstInt32 vstFourCC(char a, char b, char c, char d) {
  return static_cast<VstInt32>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                               (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                               (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                               static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

// The plug-in's editor window as the base class sees it. A concrete editor
// registers itself with setEditor(); from then on the effect owns it.
class AEffEditor {
public:
  explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
  virtual ~AEffEditor() = default;
  AEffEditor(const AEffEditor&) = delete;
  AEffEditor& operator=(const AEffEditor&) = delete;

  // [ui] *rect receives the editor's size, owned by the editor; false when unknown.
  virtual bool getRect(ERect** rect) { *rect = nullptr; return false; }
  // [ui] Builds the window inside the host's `parentWindow`; false on failure.
  virtual bool open(void* parentWindow) { (void)parentWindow; return false; }
  // [ui] Tears the window down; the editor object stays.
  virtual void close() {}
  // [ui] Periodic call from the host's user-interface loop.
  virtual void idle() {}
  // [ui] A key the host passes on (hosts that keep the keyboard themselves); true
  // when the editor used it.
  virtual bool onKeyDown(const VstKeyCode& key) { (void)key; return false; }
  virtual bool onKeyUp(const VstKeyCode& key) { (void)key; return false; }

protected:
  AudioEffect* effect;  // the owning effect, may be null in tests
};

class AudioEffect {
public:
  // [ui] `audioMaster` is the host callback (kept for the life of the effect).
  AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  // Deletes the editor the effect holds.
  virtual ~AudioEffect();
  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  // [ui] One host request; the static entry in the AEffect forwards here, except
  // effClose, which it handles by calling close() and deleting the effect.
  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);

  // [ui] Lifecycle. effMainsChanged(1) calls resume(), effMainsChanged(0) suspend().
  virtual void open() {}
  virtual void close() {}
  virtual void suspend() {}
  virtual void resume() {}

  // [ui] Rate in Hz and largest block the host will pass; recorded only.
  virtual void setSampleRate(float rate) { sampleRate = rate; }
  virtual void setBlockSize(VstInt32 size) { blockSize = size; }
  float getSampleRate() const { return sampleRate; }
  VstInt32 getBlockSize() const { return blockSize; }

  // [ui] Programs. The dispatcher passes only program numbers within [0, numPrograms).
  virtual void setProgram(VstInt32 program) { curProgram = program; }
  virtual VstInt32 getProgram() { return curProgram; }
  // `name` is the host's buffer of kVstMaxProgNameLen + 1 bytes; the defaults write nothing.
  virtual void setProgramName(char* name) { (void)name; }
  virtual void getProgramName(char* name) { (void)name; }

  // [any] Parameters, normalised to [0, 1]. `text` is the host's buffer of at least
  // kVstMaxParamStrLen + 1 bytes; the defaults write nothing.
  virtual void setParameter(VstInt32 index, float value) { (void)index; (void)value; }
  virtual float getParameter(VstInt32 index) { (void)index; return 0.0f; }
  virtual void getParameterLabel(VstInt32 index, char* text) { (void)index; (void)text; }
  virtual void getParameterDisplay(VstInt32 index, char* text) { (void)index; (void)text; }
  virtual void getParameterName(VstInt32 index, char* text) { (void)index; (void)text; }

  // [ui] State as one opaque block (used when programsAreChunks(true)). getChunk sets
  // *data to bytes the effect owns until the next chunk call and returns their size.
  virtual VstInt32 getChunk(void** data, bool isPreset) { (void)data; (void)isPreset; return 0; }
  virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) {
    (void)data; (void)byteSize; (void)isPreset; return 0;
  }

  // [audio] Output replaces the output buffers; they may alias the inputs.
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  // [audio] Only called when canDoubleReplacing(true) was declared; default does nothing.
  virtual void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
    (void)inputs; (void)outputs; (void)sampleFrames;
  }

  // [ui] Identity and layout, set by the effect's constructor.
  void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
  void setNumInputs(VstInt32 n) { cEffect.numInputs = n; }
  void setNumOutputs(VstInt32 n) { cEffect.numOutputs = n; }
  void setInitialDelay(VstInt32 frames) { cEffect.initialDelay = frames; }
  void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
  void canDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }
  void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }

  // [ui] Takes ownership of `editor` (null: none), deleting the one held before,
  // and tells the host whether there is one.
  void setEditor(AEffEditor* newEditor);
  AEffEditor* getEditor() const { return editor; }

  AEffect* getAeffect() { return &cEffect; }
  audioMasterCallback getAudioMaster() const { return audioMaster; }
  // [ui] The host's interface version (audioMasterVersion); 0 for an old or absent host.
  VstInt32 hostVersion();

protected:
  void setFlag(VstInt32 flag, bool state);

  audioMasterCallback audioMaster;  // host callback, may be null only in tests
  AEffEditor* editor = nullptr;     // owned; null until an editor registers
  float sampleRate = 44100.0f;      // Hz, as last set by the host
  VstInt32 blockSize = 1024;        // largest block the host announced, samples
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 curProgram = 0;
  AEffect cEffect;                  // what the host holds; object points back here
};

class AudioEffectX : public AudioEffect {
public:
  AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
      : AudioEffect(audioMaster, numPrograms, numParams) {}

  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt) override;

  // [audio] Events for the next block; the return value is ignored by 2.4 hosts.
  virtual VstInt32 processEvents(VstEvents* events) { (void)events; return 0; }
  // [ui] No parameter is automatable unless the effect says so.
  virtual bool canParameterBeAutomated(VstInt32 index) { (void)index; return false; }
  virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) {
    (void)category; (void)index; (void)text; return false;
  }

  // [ui] Inquiries. The string calls write into the host's buffer (limits in aeffect.h)
  // and return true when they did; the defaults write nothing.
  virtual VstInt32 getPlugCategory();
  virtual bool getEffectName(char* name) { (void)name; return false; }
  virtual bool getVendorString(char* text) { (void)text; return false; }
  virtual bool getProductString(char* text) { (void)text; return false; }
  virtual VstInt32 getVendorVersion() { return 0; }
  // 1 can, -1 cannot, 0 unknown capability.
  virtual VstIntPtr canDo(char* text) { (void)text; return 0; }
  virtual VstInt32 getGetTailSize() { return 0; }
  virtual VstInt32 getVstVersion() { return kVstVersion; }
  // true only for an effect that bypasses itself softly when asked.
  virtual bool setBypass(bool onOff) { (void)onOff; return false; }
  virtual VstInt32 startProcess() { return 0; }
  virtual VstInt32 stopProcess() { return 0; }

  // [ui] Ask the host for its current rate and block size; kept when the host answers > 0.
  virtual float updateSampleRate();
  virtual VstInt32 updateBlockSize();

  void isSynth(bool state) { setFlag(effFlagsIsSynth, state); }
};
