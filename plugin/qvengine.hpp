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
#include "plugin/qveditorstate.hpp"
#include "plugin/qvmailbox.hpp"
#include "plugin/qvmessages.hpp"
#include "units/qvprocstate.hpp"

enum qvcommand : int32_t {
  kCmdAddImpulseFile = 70001,     // path in editorPath
  kCmdShowPresets = 70002,        // opens the preset box, listing presets
  kCmdCloseBox = 70003,           // closes the open box
  kCmdChangeCab = 70004,          // opens the preset box, listing impulses
  kCmdSavePreset = 70006,         // name in editorName when nameFieldOpen
  kCmdSavePresetAsNew = 70007,
  kCmdDeletePreset = 70008,
  kCmdSelectCategory = 70009,
  kCmdNameField = 70010,          // the preset box's name fields: nothing at once
  kCmdSaveCabSettings = 70012,    // name in editorName
  kCmdChooseCabBlock = 70013,
  kCmdImportFolder = 70014,       // folder in editorPath
  kCmdRebuildEditor = 70015,
  kCmdCloseBoxNumber = 70016,     // value: 3 the preset box, 1 or 4 the block box
  kCmdEditCategory = 70017,
  kCmdCommitCategory = 70018,     // name in editorName
  kCmdDeleteCategory = 70019,
  kCmdMoveRow = 70020,            // value: the preset or impulse row picked for a move
  kCmdMoveCategoryRow = 70021,    // value: the category row picked for a move
  kCmdDragAndDrop = 70022,        // see qvdragdrop
  kCmdSaveDocument = 70028,
  kCmdSelectPage = 70201,         // value: the page, rounded
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
  // [audio: true] [ui: false] Never throws: a command that fails is undone.
  void drainCommands(bool fromAudioThread) noexcept;

  // [between blocks] What follows a change of global setting `index`: gains,
  // oversampling, cab activity, bypass and mute.
  void settingChanged(int index);

  // qvcommandtarget
  ControlPost classifyControl(int32_t code, float value, int32_t& editorCode) override;
  void runEditorCommand(int32_t code, float value) override;
  void runControlCommand(int32_t code, float value) override;
  void runRigCommand(int32_t code, float value) override;
  qvchangeguard* changeGuard() override { return &chain; }
  void commandFailed(int32_t code) noexcept override;

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
  // ---- editor controls (plugin/qvcontrols.cpp, plugin/controlkinds.cpp) ----
  // [ui, holding mailbox.commandLock()] Appends a control made for the current
  // rig and returns its tag. The editor rebuilds the table after every rig
  // change, under the lock, so the audio thread never sees it half made.
  int32_t addControl(qvcontrol control);
  void clearControls();  // [ui, holding the command lock]
  // [ui] A text field's new text (kinds 2, 5 and 34): kept in its control, then
  // posted like any control.
  void postText(int32_t tag, const qvstring& text);
  // [between blocks] What a control does when its command runs: the value goes
  // into the control (and the parameter it holds), then the kind acts. Stale
  // tags, controls of an earlier rig or a closed box, non-finite values and menu
  // entries out of range do nothing.
  void applyControl(int32_t tag, float value);

  // ---- the editor's state (plugin/engine_editorcmds.cpp) ----
  // [ui] A copy of the editor state, taken under the command lock.
  qveditorstate editorState();
  // [ui] Drag mode: presses on draggable controls pick them up instead.
  void setDragMode(bool on);
  // [any, never blocks] Asks the editor to rebuild its views at its next idle.
  void requestRebuild() { viewsChanged.fetch_add(1, std::memory_order_release); }
  // [ui] True once for any number of requests since the last call. (The counter
  // only grows, so an editor may also compare it with a value it has seen.)
  bool takeRebuildRequest() {
    const uint32_t requests = viewsChanged.load(std::memory_order_acquire);
    const bool wanted = requests != rebuildsTaken_;
    rebuildsTaken_ = requests;
    return wanted;
  }

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
  // The category box's name field (a kind-34 control) writes editorName too.
  qvstring editorName;
  bool nameFieldOpen = false;
  qvstring editorPath;
  qvdragdrop drag;                 // set by the editor before it posts 70022
  qvmessagering messages;          // for the editor's message line
  std::unique_ptr<qvguimodelbase> guiModel;  // [ui] null until an editor is made
  // [ui] Set by the editor: asks the user for the path 70001 (a file) or 70014 (a
  // folder) reads from editorPath, just before the command runs, on whichever
  // route it came (button, menu). False: no command (the chooser said why).
  std::function<bool(int32_t code)> pathChooser;
  std::atomic<uint32_t> viewsChanged{0};  // counts rebuild requests (requestRebuild)
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
  // ---- editor state commands (engine_editorcmds.cpp) ----
  bool runEditorStateCommand(int32_t code, float value);
  // [ui] Drag mode's press on a draggable control: picks it; false when not picked.
  bool pickInDragMode(int32_t tag);
  void openBox(qvboxkind box, int32_t block = -1, int32_t param = -1);
  // ---- control kinds (controlkinds.cpp), between blocks ----
  void applyOption(const qvcontrol& c, float value);
  void applyValueField(const qvcontrol& c);
  void applyParamField(const qvcontrol& c);
  void applyRigKind(const qvcontrol& c, float value);  // blocks, pedals, amplifier, skins, menus
  void applyPedalMenu(const qvcontrol& c, int32_t entry);
  void applyPresetMenu(int32_t entry);
  void applyDrop(const qvcontrol& target);
  // A rig edit's result: a warning for what was refused, a rebuild for what
  // changed; a box for a block closes when the blocks moved.
  void afterRigEdit(int result, bool blocksMoved);
  // ---- preset and category commands (engine_presetcmds.cpp) ----
  void selectPresetCommand(int32_t index);
  void savePresetCommand(bool asNew);
  void deletePresetCommand();
  void selectCategoryCommand(float value);
  void editCategoryCommand(float value);
  void commitCategoryCommand();
  void deleteCategoryCommand(float value);

  qvpost deferred_;
  qveditorstate ui_;  // under the command lock
  uint32_t rebuildsTaken_ = 0;  // [ui] viewsChanged when the editor last took a request
  std::atomic<float> pendingRate_{0.0f};  // a host rate waiting for the next block, 0 none
};
