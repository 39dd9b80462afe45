// Records of the data model. A preset is not a structure of fields: it owns the
// JSON object it is saved as, rebuilt from the live rig on save and read into the
// rig on load. The slot record lives with the chain (plugin/qvslot.hpp).
#pragma once
#include <cstdint>

#include "data/jsoncursor.hpp"
#include "data/qvstring.hpp"

// One user-visible preset.
struct qvpreset {
  qvstring name;
  uint8_t user = 0;         // 1 for the host-chunk preset, 0 for presets read from a document ("user")
  int32_t categoryid = -1;  // id (not index) of a preset category, -1 for none
  qvjsoncursor node;        // root: the preset's object; a new record holds an empty object
};

// An amplifier or pedal definition: its name and a copy of its preset object
// (full parameter records).
struct qvdatarecord {
  qvstring name;
  qvjsoncursor node;
};

// A preset category or an impulse category.
struct qvcategory {
  qvstring name;
  int32_t id = 0;
};

// One entry of the impulse catalogue. Presets refer to it only by uid.
struct qvimpulse {
  qvstring path;            // full path of a user WAV file; empty for factory impulses
  qvstring file;            // file-name part of path; empty for factory impulses
  qvstring name;            // display name
  int32_t categoryid = 0;   // id of an impulse category
  int32_t uid = 0;          // unique within the catalogue ("sourceuid" in presets)
  int32_t res = -1;         // DATA resource 2..30 of a factory impulse, -1 for a user file (deletable)
  int32_t bufferIndex = -1; // run-time only: the loaded impulse buffer, -1 after loading
};

// A message for the editor's one-line message area: 1 information, 2 warning.
struct qvmessage {
  qvstring text;
  int32_t level = 1;
};
