// The engine's persistent data: catalogues, definitions, the selections the
// editor works on, the document paths and the loaders' cursors. The engine owns
// one; the 18 global settings live in its processing state. Identifier
// assignment and the lookups over the lists are here too.
#pragma once
#include <cstdint>

#include "data/jsoncursor.hpp"
#include "data/qvlist.hpp"
#include "data/qvstring.hpp"
#include "data/records.hpp"

struct qvdatamodel {
  qvlist<qvpreset> presets;               // user-visible presets, document order
  qvlist<qvcategory> presetCategories;    // document order, then "Amp Starters" (id 2) from the factory
  qvlist<qvdatarecord> ampData;           // amplifier definitions, factory document only
  qvlist<qvdatarecord> pedalData;         // pedal definitions, factory document only
  qvlist<qvimpulse> impulses;             // the impulse catalogue
  qvlist<qvcategory> impulseCategories;   // document order

  int32_t currentPreset = -1;             // index into presets ("currentpreset" writes its name)
  int32_t presetToSelect = -1;            // set while reading presets: the one named currentPresetName
  qvstring currentPresetName;             // "Layered OD" after every document read
  int32_t currentCategory = -1;           // index into presetCategories ("currentcategory")
  int32_t currentImpulseCategory = -1;    // index into impulseCategories, run-time only
  int32_t currentCabBlock = -1;           // index into the rig's cab-sim blocks ("currentconvblock")
  int32_t lastChosenImpulse = -1;         // index into impulses, run-time only
  int32_t categoryListMode = 0;           // 2 while the editor lists impulse categories
  int32_t editedCategory = -1;            // index being edited, -1 for a new category

  qvstring factoryText;                   // the factory document, read once at start-up
  qvstring pluginFolder;                  // folder of the plug-in file, ending in the separator
  qvstring savePath;                      // where the user document is written
  qvstring defaultPath;                   // the save path when no project folder is in use
  qvstring projectPath;                   // the save path inside the project subfolder
  qvstring chunkText;                     // the host chunk
  qvpreset chunkPreset;                   // scratch record for host chunks
  qvjsoncursor chunkDraft;                // the last host chunk, parsed on the host's thread
  qvjsoncursor reader;                    // the loaders' cursor
  qvjsoncursor writer;                    // the savers' cursor
  qvstring errorText;                     // the last impulse-loading error
};

// User impulses get uids from here up; factory ones carry 2..30.
constexpr int32_t kFirstUserImpulseUid = 100;

// [ui] Appends a category whose id is one above the largest in `list` (0 for an
// empty list); returns its index.
uint32_t addCategory(qvlist<qvcategory>& list, const qvstring& name);

// [between blocks] Adds a catalogue entry for the file at `path` with a uid one
// above the largest in the catalogue but at least 100, and returns its index. A
// path already in the catalogue returns that entry's index and adds nothing.
uint32_t addImpulseFile(qvdatamodel& model, const qvstring& path, int32_t categoryid, int32_t res);

// [any] The file-name part of a path: after the last '/' or '\\'.
qvstring pathFileName(const qvstring& path);

// [any] Linear lookups, first match wins; -1 when there is none.
int32_t findImpulseByUid(const qvlist<qvimpulse>& impulses, int32_t uid);
int32_t findPresetByName(const qvlist<qvpreset>& presets, const qvstring& name);
