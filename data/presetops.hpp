// Preset and category operations on the data model alone: unique preset names,
// category names, and the data side of a drag and drop. The engine's commands
// call these and then save, post and show what is left to do.
#pragma once
#include <cstdint>

#include "data/datamodel.hpp"

constexpr size_t kMaxPresetName = 28;
constexpr size_t kMaxCategoryName = 19;

// What the editor drags before it posts 70022: a category within its list, or a
// preset or an impulse to another position of its list or onto a category.
struct qvdragdrop {
  enum class Kind { none, presetCategory, impulseCategory, preset, impulse };
  Kind kind = Kind::none;
  int32_t from = -1;        // index of the dragged entry in its list
  int32_t to = -1;          // new position in the same list, -1 when dropped on a category
  int32_t category = -1;    // index of the category dropped on (preset or impulse categories)
};

// What a drop changed: whether anything did, and, when a catalogue entry moved
// within the catalogue, from where to where (for whatever keeps its index).
struct qvdropoutcome {
  bool changed = false;
  int32_t impulseFrom = -1;
  int32_t impulseTo = -1;
};

// [any] `name` without its leading and trailing spaces ("No Name" when nothing is
// left), with a "-N" counter above every other preset's of the same base when
// another preset than `ownIndex` has the name, cut to 28 bytes.
qvstring uniquePresetName(const qvlist<qvpreset>& presets, qvstring name, int32_t ownIndex);

// [any] A category name as committed: "Unnamed Category" for an empty one, cut to
// 19 bytes.
qvstring committedCategoryName(qvstring name);

// [any] Where index `i` of a list lands when entry `from` moves to position `to`.
int32_t followMove(int32_t i, int32_t from, int32_t to);

// [ui] The data side of dropping `d`: moves a category, a preset or a catalogue
// entry within its list, or gives a preset or an entry the category dropped on;
// the current selections follow. Indices out of range change nothing.
qvdropoutcome dropOnModel(qvdatamodel& data, const qvdragdrop& d);
