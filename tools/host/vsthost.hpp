// A small VST 2.4 host for our tests and command-line tools: loads a plug-in
// library, creates effects through its entry point with a host callback whose
// answers are set per instance, and wraps the dispatcher calls we use.
// Everything runs on the caller's thread; process() is the audio call.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vst/aeffect.h"

enum class qvhostresult {
  ok = 0,
  cannotOpen = 1,    // the library could not be loaded (see error())
  noEntryPoint = 2,  // neither VSTPluginMain nor main is exported
  noEffect = 3,      // the entry point returned null
  badMagic = 4,      // the returned record is not an AEffect
};

// One loaded plug-in library. Instances keep it loaded while they live.
class qvhostmodule {
public:
  qvhostmodule() = default;
  ~qvhostmodule();
  qvhostmodule(const qvhostmodule&) = delete;
  qvhostmodule& operator=(const qvhostmodule&) = delete;

  // Loads `path` and finds its entry point: VSTPluginMain, else main.
  qvhostresult open(const std::string& path);
  VstPluginMainProc entry() const { return entry_; }
  // The library exports `main` at the address of VSTPluginMain.
  bool mainIsEntryAlias() const { return entry_ && main_ == reinterpret_cast<void*>(entry_); }
  const std::string& error() const { return error_; }

private:
  void* handle_ = nullptr;           // dlopen handle
  VstPluginMainProc entry_ = nullptr;
  void* main_ = nullptr;             // address of `main`, if exported
  std::string error_;                // the loader's message after a failure
};

// How the host callback answers an instance.
struct qvhostoptions {
  VstIntPtr hostVersion = kVstVersion;  // audioMasterVersion; 0 plays a pre-2 host
  float sampleRate = 48000.0f;          // Hz, also audioMasterGetSampleRate
  VstInt32 blockSize = 4096;            // frames, also audioMasterGetBlockSize
};

// A text the effect wrote into a host buffer.
struct qvhosttext {
  VstIntPtr result = 0;   // the dispatcher's return value
  bool written = false;   // the effect changed the buffer at all
  std::string text;       // up to the first NUL (empty when nothing was written)
  size_t length = 0;      // bytes up to the NUL; more than the limit means an overrun
};

// One effect instance; the destructor closes it (effClose deletes the effect).
class qvhostinstance {
public:
  // Runs the entry point. On failure returns null and sets `result`.
  static std::unique_ptr<qvhostinstance> create(std::shared_ptr<qvhostmodule> module,
                                                const qvhostoptions& options,
                                                qvhostresult& result);
  ~qvhostinstance();
  qvhostinstance(const qvhostinstance&) = delete;
  qvhostinstance& operator=(const qvhostinstance&) = delete;

  AEffect* effect() const { return effect_; }
  const qvhostoptions& options() const { return options_; }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                     void* ptr = nullptr, float opt = 0.0f);

  // The usual start: effOpen, then the options' sample rate and block size.
  void open();
  void setSampleRate(float rate);
  void setBlockSize(VstInt32 frames);
  void resume();   // effMainsChanged 1
  void suspend();  // effMainsChanged 0
  // effClose: the effect is deleted; effect() is null afterwards.
  void close();

  VstIntPtr canDo(const char* capability);
  // effGetEffectName and friends: `opcode` writes into a fresh host buffer.
  qvhosttext queryText(VstInt32 opcode, VstInt32 index = 0);
  // Copies the effect's state out (empty when it gives none).
  std::vector<uint8_t> getChunk(bool isPreset = false);
  VstIntPtr setChunk(const void* data, size_t size, bool isPreset = false);
  float getParameter(VstInt32 index);
  void setParameter(VstInt32 index, float value);

  // [audio] One processReplacing call with `frames` frames (no splitting).
  void processBlock(float* const* inputs, float* const* outputs, VstInt32 frames);
  // [audio] `nframes` frames, cut into blocks of at most `block` frames (at least 1).
  // `inputs`/`outputs` hold numInputs/numOutputs channels.
  void process(const float* const* inputs, float* const* outputs, int64_t nframes,
               VstInt32 block);

  // How often the effect called the host with `opcode` (0 to 127).
  int hostCalls(VstInt32 opcode) const;

  // [any] The host callback; public for hosts that create effects themselves.
  static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                            VstIntPtr value, void* ptr, float opt);

private:
  qvhostinstance(std::shared_ptr<qvhostmodule> module, const qvhostoptions& options);
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  std::shared_ptr<qvhostmodule> module_;      // keeps the library loaded
  qvhostoptions options_;
  AEffect* effect_ = nullptr;                 // null before creation and after close
  std::array<std::atomic<int>, 128> calls_{}; // host callback calls by opcode
  std::vector<float*> in_, out_;              // per-block channel pointers of process()
};
