#include "plugin/qvengine.hpp"

#include <charconv>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/files.hpp"
#include "plugin/denormalguard.hpp"

qvengine::qvengine(const qvstring& folder, const qvstring& save)
    : pluginFolder(folder), saveName(save) {
  data.pluginFolder = folder;
  data.savePath = folder + save;
  data.defaultPath = data.savePath;
  data.projectPath = folder + kProjectFolderName + kPathSeparator + save;
  data.currentPresetName = "Layered OD";
  chain.updateGains();
}

qvengine::~qvengine() = default;

void qvengine::setSampleRate(float rate, bool reset) {
  if (!reset) {
    state.sampleRate = rate;
    return;
  }
  if (state.audioIdle.load(std::memory_order_acquire) == 1) {
    // No audio thread drains commands: apply here, with processing held off.
    state.bypass.store(true, std::memory_order_seq_cst);
    mailbox.waitForBlockEnd();
    applySampleRate(rate);
    state.bypass.store(state.savedBypass.load(), std::memory_order_release);
  } else {
    pendingRate_.store(rate, std::memory_order_release);
  }
}

void qvengine::applySampleRate(float rate) {
  if (!(rate > 0.0f)) return;
  state.sampleRate = rate;
  chain.setOversampling(chain.factor);
  // The cab sims' impulses were converted for the old rate.
  if (!chain.cabBlocks.empty()) reloadCabImpulses();
}

void qvengine::drainCommands(bool fromAudioThread) noexcept {
  // A rate change reloads the cab sims from the catalogue, which editor commands
  // change under the command lock on their own thread: only with the lock, and
  // at a later block when it is busy. Like a command, a failure leaves the rig
  // at the old rate, playing.
  if (pendingRate_.load(std::memory_order_acquire) > 0.0f && mailbox.commandLock().try_lock()) {
    const float rate = pendingRate_.exchange(0.0f, std::memory_order_acq_rel);
    if (rate > 0.0f) {
      chain.beginChange();
      try {
        applySampleRate(rate);
        chain.commitChange();
      } catch (...) {
        chain.rollbackChange();
        messages.post("Warning: sample rate change failed", 2);
      }
    }
    mailbox.commandLock().unlock();
  }
  mailbox.drainCommands(fromAudioThread);
}

void qvengine::commandFailed(int32_t code) noexcept {
  // Built in place: the audio thread posts it, and the ring never waits.
  char text[64] = "Warning: command failed ~ ";
  const size_t head = std::strlen(text);
  const auto end = std::to_chars(text + head, text + sizeof text, code).ptr;
  messages.post(std::string_view(text, static_cast<size_t>(end - text)), 2);
}

void qvengine::processReplacing(float** inputs, float** outputs, int sampleFrames) noexcept {
  qvdenormalguard guard;
  drainCommands(true);
  mailbox.beginBlock();
  chain.process(inputs, outputs, sampleFrames);
  mailbox.endBlock();
}

void qvengine::settingChanged(int index) {
  switch (index) {
    case kSetOutputLevel:
    case kSetInputLevel:
    case kSetVolumeScale:
    case kSetInputScale:
    case kSetBalance: chain.updateGains(); break;
    case kSetOversampling: chain.setOversampling(state.settingInt(kSetOversampling)); break;
    case kSetInputSource:
    case kSetDisableCabSims: chain.updateCabActivity(); break;
    case kSetProjectFolder: useSavePathFromSetting(); break;
    case kSetBypassOrMute: {
      const int32_t v = state.settingInt(kSetBypassOrMute);
      state.bypass.store(v != 0);
      state.mute.store(v == 2);
      state.savedBypass.store(v != 0);  // what bypass returns to after an off-thread command
      break;
    }
    default: break;
  }
}

void qvengine::runEditorCommand(int32_t code, float value) {
  // Editor commands change the catalogues and read the rig on the editor's
  // thread. Holding the command lock keeps the audio thread from running a rig
  // command meanwhile (it only tries the lock, so it plays on); a rig command an
  // editor command asks for is posted once the lock is free again.
  deferred_ = {};
  // The chooser is modal: it runs before the lock, so the audio thread keeps
  // draining commands while the user looks for a file.
  if ((code == kCmdAddImpulseFile || code == kCmdImportFolder) && pathChooser && !pathChooser(code)) return;
  {
    std::lock_guard<qvlock> hold(mailbox.commandLock());
    runEditorCommandLocked(code, value);
  }
  if (deferred_.code >= 0) postCommand(deferred_.code, deferred_.value);
}

void qvengine::runEditorCommandLocked(int32_t code, float value) {
  if (runImpulseCommand(code, value) || runEditorStateCommand(code, value)) return;
  switch (code) {
    // ---- presets and categories (engine_presetcmds.cpp) ----
    case kCmdSavePreset: savePresetCommand(false); break;
    case kCmdSavePresetAsNew: savePresetCommand(true); break;
    case kCmdDeletePreset: deletePresetCommand(); break;
    case kCmdSelectCategory: selectCategoryCommand(value); break;
    case kCmdEditCategory: editCategoryCommand(value); break;
    case kCmdCommitCategory: commitCategoryCommand(); break;
    case kCmdDeleteCategory: deleteCategoryCommand(value); break;
    case kCmdDragAndDrop: dropDragged(); break;
    case kCmdSaveDocument:
      saveDocument();
      showMessage("Saving", 1);
      break;
    default: break;
  }
}

void qvengine::runRigCommand(int32_t code, float value) {
  if (runImpulseCommand(code, value)) return;
  switch (code) {
    // ---- presets (engine_presetcmds.cpp) ----
    case kCmdSelectPreset: selectPresetCommand(truncToInt(value)); break;
    default: break;
  }
}
