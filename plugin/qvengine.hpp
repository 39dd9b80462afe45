// The engine behind one plug-in instance: the processing state with the 18 global
// settings, the chain that plays the rig, and the mailbox through which every
// change reaches the audio thread between blocks.
#pragma once
#include <atomic>
#include <cstdint>

#include "data/qvstring.hpp"
#include "plugin/qvchain.hpp"
#include "plugin/qvmailbox.hpp"
#include "plugin/qvprocstate.hpp"

class qvengine : public qvcommandtarget {
public:
  qvengine(const qvstring& pluginFolder, const qvstring& saveName);
  ~qvengine() override;
  qvengine(const qvengine&) = delete;
  qvengine& operator=(const qvengine&) = delete;

  // [ui] Stores the host rate. With reset, the rate-dependent rig (anti-alias
  // filters, units, cab sims) follows it: at once while no audio thread runs,
  // otherwise at the start of the next block.
  void setSampleRate(float rate, bool reset);
  // [audio] One host block: runs the pending command, then the chain, with
  // denormals flushed.
  void processReplacing(float** inputs, float** outputs, int sampleFrames) noexcept;
  // [ui] Hands a command to the engine (see qvmailbox).
  void postCommand(int32_t code, float value) { mailbox.postCommand(code, value); }
  // [audio: true] [ui: false]
  void drainCommands(bool fromAudioThread);

  // [between blocks] What follows a change of global setting `index`: gains,
  // oversampling, cab activity, bypass and mute.
  void settingChanged(int index);

  // qvcommandtarget
  ControlPost classifyControl(int32_t code, float value, int32_t& editorCode) override;
  void runEditorCommand(int32_t code, float value) override;
  void runControlCommand(int32_t code, float value) override;
  void runRigCommand(int32_t code, float value) override;

  qvprocstate state;
  qvchain chain{state};
  qvmailbox mailbox{state, *this};
  qvstring pluginFolder;  // ends in the path separator
  qvstring saveName;      // file name of the user document, relative to the folder

private:
  void applySampleRate(float rate);

  std::atomic<float> pendingRate_{0.0f};  // a host rate waiting for the next block, 0 none
};
