// The impulse catalogue's commands over the data model alone (adding a file,
// importing a folder), each saying what remains for the engine to show, load and
// save. The commands that also touch the cab blocks are the engine's
// (plugin/cabcommands.hpp).
#pragma once
#include <cstdint>
#include <vector>

#include "data/datamodel.hpp"

// What a command leaves for its dispatcher, done in this order: show the messages,
// run command 85006 with chooseImpulse (when >= 0), rewrite the user document and
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

// [any] A command value as a list index: the nearest integer, -1 for values that
// name no index (NaN, infinite, negative or beyond int32).
int32_t commandIndex(float value);
