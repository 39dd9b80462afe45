// The effect object the host talks to: identity 'qva8', two inputs and two
// outputs, one program whose state travels as a chunk (the current rig as JSON
// text plus a NUL), no parameters. It owns the engine and forwards audio blocks,
// sample-rate changes and chunks to it; everything else is the base's answer.
#pragma once
#include <memory>

#include "plugin/qvengine.hpp"
#include "vst/audioeffect.hpp"

class qvAudioEffect : public AudioEffectX {
public:
  // [ui] Builds the engine, passes the host rate, takes the factory document from
  // the module's resources and loads the system (the user's document, or the
  // factory rig "Layered OD" on a first run).
  explicit qvAudioEffect(audioMasterCallback audioMaster);
  // [ui] The same with the user's document in `folder` (ending in the path
  // separator) instead of beside the module: tools that run an instance in
  // process keep their documents apart.
  qvAudioEffect(audioMasterCallback audioMaster, const qvstring& folder);
  ~qvAudioEffect() override;

  // Host rates the rig follows, Hz; others are ignored.
  static constexpr float kLowestRate = 1000.0f;
  static constexpr float kHighestRate = 768000.0f;

  void resume() override { AudioEffectX::resume(); }
  // [ui] The rig follows the new rate (at once while no audio runs, otherwise
  // before the next block); during construction only the rate is recorded. A rate
  // outside [kLowestRate, kHighestRate] is ignored.
  void setSampleRate(float rate) override;
  // [audio] Runs the pending command, then the chain. A block of frames with a
  // null channel pointer outputs silence where it can and leaves the rig alone.
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

  void setParameter(VstInt32, float) override {}
  float getParameter(VstInt32) override { return 0.0f; }
  void setProgramName(char*) override {}
  void getProgramName(char*) override {}
  void getParameterLabel(VstInt32, char*) override {}
  void getParameterDisplay(VstInt32, char*) override {}
  void getParameterName(VstInt32, char*) override {}

  // [ui] The current rig as JSON text; returns text length + 1 (the NUL is part of
  // the chunk). The bytes stay valid until the next chunk call.
  VstInt32 getChunk(void** data, bool isPreset) override;
  // [ui] Loads a rig from chunk bytes. A chunk that does not load leaves the rig
  // playing as it was (the engine reports the failure). Always returns 0.
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

  float updateSampleRate() override { return AudioEffectX::updateSampleRate(); }

  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override { return 1000; }
  VstInt32 getPlugCategory() override { return kPlugCategEffect; }

  qvengine* getEngine() const { return engine.get(); }

private:
  std::unique_ptr<qvengine> engine;  // null only while the constructor runs
};
