// The engine behind one plug-in instance: the processing state with the 18 global
// settings, the chain that plays the rig, the mailbox through which every change
// reaches the audio thread between blocks, and the persistent data model.
//
// Command codes the engine runs (editor commands 70000..79998 on the posting
// thread, rig commands 79999 and above through the mailbox).
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "data/datamodel.hpp"
#include "data/impulses.hpp"
#include "data/presetops.hpp"
#include "data/qvstring.hpp"
#include "plugin/qvchain.hpp"
#include "plugin/qvcontrol.hpp"
#include "plugin/qvmailbox.hpp"
#include "plugin/qvmessages.hpp"
#include "units/qvprocstate.hpp"

enum qvcommand : int32_t {
  kCmdAddImpulseFile = 70001,     // path in editorPath
  kCmdSavePreset = 70006,         // name in editorName when nameFieldOpen
  kCmdSavePresetAsNew = 70007,
  kCmdDeletePreset = 70008,
  kCmdSelectCategory = 70009,
  kCmdSaveCabSettings = 70012,    // name in editorName
  kCmdChooseCabBlock = 70013,
  kCmdImportFolder = 70014,       // folder in editorPath
  kCmdEditCategory = 70017,
  kCmdCommitCategory = 70018,     // name in editorName
  kCmdDeleteCategory = 70019,
  kCmdDragAndDrop = 70022,        // see qvdragdrop
  kCmdSaveDocument = 70028,
  kCmdSelectPreset = 85003,       // value: preset index, -1 the host chunk
  kCmdChooseImpulse = 85006,
  kCmdDeleteImpulse = 85007,
  kCmdRemoveCabBlock = 85008,
};

// The subfolder of the plug-in's folder that holds the user document while
// global setting 6 is on.
inline constexpr const char* kProjectFolderName = "qvproj-preset";

// The editor's model (skin catalogue, named lists, panel state): made by the
// editor, owned by the engine, so that it outlives every window the host opens.
class qvguimodelbase {
public:
  virtual ~qvguimodelbase() = default;
};

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

  // ---- documents and presets (engine_document.cpp, engine_presets.cpp) ----
  void loadSystem();                      // [stopped] start-up load
  int loadDocument(bool factory);         // [ui or between blocks] 0 or a reader code
  void saveDocument();                    // [ui or between blocks]
  void writePresetNode(const qvstring& name, bool user, int32_t categoryid, qvjsoncursor& node);
  int loadPreset(qvjsoncursor& node, int target, bool withVolumes);
  void makeUniquePresetName(qvstring& name, int32_t ownIndex);
  void buildChunk();                      // [ui] current rig into data.chunkText
  void applyChunk();                      // [ui] runs 85003 with -1 (see the effect's setChunk)
  void showMessage(const qvstring& text, int32_t level);
  // [ui or between blocks] Setting 6 chooses the project or the default save
  // path; the user document there is read again.
  void useSavePathFromSetting();
  // [between blocks] The data side of a drag and drop described by `drag`.
  void dropDragged();
  // ---- editor controls (plugin/qvcontrols.cpp) ----
  // [ui, holding mailbox.commandLock()] Appends a control made for the current
  // rig and returns its tag. The editor rebuilds the table after every rig
  // change, under the lock, so the audio thread never sees it half made.
  int32_t addControl(qvcontrol control);
  void clearControls();  // [ui, holding the command lock]

  // ---- impulses (engine_impulses.cpp) ----
  // [between blocks] Loads catalogue entry `index` into cab block `block` (-1: a
  // new block at the end, which becomes the current one). False, with the reason
  // in data.errorText, when it cannot be loaded; the block is then untouched.
  bool loadImpulse(int32_t index, int32_t block);
  // [between blocks] Every cab block loads its impulse again at the current rate.
  void reloadCabImpulses();
  // [ui for 700xx, between blocks for 850xx] Runs the catalogue and cab-block
  // commands; false for any other code.
  bool runImpulseCommand(int32_t code, float value);

  qvprocstate state;
  qvchain chain{state};
  qvmailbox mailbox{state, *this};
  qvdatamodel data;
  qvlist<qvcontrol> controls;      // the editor's control table, by tag
  qvstring pluginFolder;  // ends in the path separator
  qvstring saveName;      // file name of the user document, relative to the folder
  // What the editor hands to the commands that need text: typed names, chosen paths.
  qvstring editorName;
  bool nameFieldOpen = false;
  qvstring editorPath;
  qvdragdrop drag;                 // set by the editor before it posts 70022
  qvmessagering messages;          // for the editor's message line
  std::unique_ptr<qvguimodelbase> guiModel;  // [ui] null until an editor is made
  std::atomic<uint32_t> viewsChanged{0};  // bumped when the editor's lists must be rebuilt
  // When set, preset loads create their cab blocks through this instead of
  // loadImpulse (tests and fuzzing run without impulse files).
  std::function<bool(int32_t index, int32_t block)> impulseLoaderForTesting;
  // Decoded factory impulses; a catalogue entry's bufferIndex points here.
  std::vector<qvfactorysamples> factoryImpulses;

private:
  struct qvpost {
    int32_t code = -1;
    float value = 0.0f;
  };
  void runEditorCommandLocked(int32_t code, float value);
  // [ui, inside an editor command] Posts a rig command once the command is done.
  void deferPost(int32_t code, float value) { deferred_ = {code, value}; }
  void applySampleRate(float rate);
  // ---- preset and category commands (engine_presetcmds.cpp) ----
  void selectPresetCommand(int32_t index);
  void savePresetCommand(bool asNew);
  void deletePresetCommand();
  void selectCategoryCommand(float value);
  void editCategoryCommand(float value);
  void commitCategoryCommand();
  void deleteCategoryCommand(float value);

  qvpost deferred_;
  std::atomic<float> pendingRate_{0.0f};  // a host rate waiting for the next block, 0 none
};
