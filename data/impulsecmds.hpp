// The impulse catalogue's and the cab blocks' commands, each split into the change
// of the model and rig (the functions below, which say what remains to be shown
// and saved) and the engine's thin dispatcher (qvengine::runImpulseCommand), which
// shows the messages, posts the follow-up load and rewrites the user document.
#pragma once
#include <cstdint>
#include <vector>

#include "data/datamodel.hpp"
#include "plugin/qvengine.hpp"

// What a command leaves for its dispatcher, done in this order: show the messages,
// run command 85006 with chooseImpulse (when ≥ 0), rewrite the user document and
// then show savedText (level 1).
struct qvcmdoutcome {
  std::vector<qvmessage> messages;
  int32_t chooseImpulse = -1;
  bool save = false;
  qvstring savedText;
};

// [ui] 70001: adds the WAV file at `path` to the catalogue (no category).
qvcmdoutcome addImpulseFileCommand(qvdatamodel& data, const qvstring& path);
// [ui] 70014: a new impulse category named after `folder`, holding every file of
// the folder whose name ends in "wav" exactly; it becomes the current impulse
// category. A folder without such files changes nothing, not even the categories.
qvcmdoutcome importImpulseFolder(qvdatamodel& data, const qvstring& folder);
// [ui] 70012: the current cab block's impulse takes `name` and the current impulse
// category's id (when one is selected).
qvcmdoutcome saveCabSettings(qvengine& engine, const qvstring& name);
// [ui] 70013: cab block value - 1 becomes the current one, clamped to the existing
// blocks (-1 when there are none).
void chooseCabBlock(qvengine& engine, float value);
// [between blocks] 85006: loads catalogue entry `index` into the current cab block
// (a new block when there is none) and remembers it as the last chosen impulse.
qvcmdoutcome chooseImpulse(qvengine& engine, int32_t index);
// [between blocks] 85007: removes the last chosen (else the current block's) user
// impulse from the catalogue; blocks that used it fall back to the entry before it
// or are removed.
qvcmdoutcome deleteImpulse(qvengine& engine);
// [between blocks] 85008: removes the current cab block.
void removeCurrentCabBlock(qvengine& engine);

// [any] A command value as a list index: the nearest integer, -1 for values that
// name no index (NaN, infinite, negative or beyond int32).
int32_t commandIndex(float value);
