// What the engine keeps for the editor between rebuilds and while the window is
// closed: the page, the open pop-up box and what it is for, and the drag state.
// The editor's views are made from it at every rebuild; the commands that change
// it only ask for a rebuild (qvengine::requestRebuild).
//
// Threads: written by commands (editor commands on the editor's thread, control
// kinds where the mailbox is drained), always under the command lock; the editor
// reads a copy through qvengine::editorState(). Other selections the editor shows
// live in the data model: the shown cab sim (currentCabBlock), the open category
// (currentCategory or currentImpulseCategory, by categoryListMode), the preset
// being edited (currentPreset) and the category being edited (editedCategory).
#pragma once
#include <cstdint>

// The pop-up boxes. The controls of the preset box (and the category box over
// it) carry box 3, those of the block and parameter boxes box 4.
enum class qvboxkind : int32_t {
  none,
  presets,      // the preset box, listing presets or impulses (categoryListMode)
  category,     // the category box over the preset box ("New Category" / "Category Edit")
  blockParams,  // "Block Params" for unit boxBlock
  paramEditor,  // the parameter editor box for parameter boxParam of unit boxBlock
};

// The box number a box kind's controls carry (qvcontrol::box).
constexpr int32_t boxNumber(qvboxkind k) {
  return k == qvboxkind::none ? 0 : (k == qvboxkind::presets || k == qvboxkind::category) ? 3 : 4;
}

enum class qvdragphase : int32_t {
  none,
  picked,       // a draggable control was pressed in drag mode (pickedTag)
  pickedBlock,  // the same for a block title: the block at pickedPosition
  movingPedal,  // a pedal's move button was pressed: pedal slot pickedPosition
  movingRow,    // a preset, impulse or category row was picked (qvengine::drag)
};

// The parameter editor box's fields, in their order, and the keys they are
// stored under.
enum qvparamfield : int32_t {
  kFieldRange, kFieldMin, kFieldShownRange, kFieldShownMin, kFieldX, kFieldY, kFieldName,
  kParamFieldCount
};
inline constexpr const char* kParamFieldKeys[kParamFieldCount] = {
    "range", "min", "shown range", "shown min", "x", "y", "name"};

struct qveditorstate {
  int32_t page = 0;               // 0 amplifier, 1 pedal floor, 2 options
  qvboxkind box = qvboxkind::none;
  int32_t boxBlock = -1;          // unit position the block or parameter box is for
  int32_t boxParam = -1;          // parameter index the parameter box is for
  bool dragMode = false;          // presses on draggable controls pick them up
  qvdragphase drag = qvdragphase::none;
  int32_t pickedTag = -1;         // the control picked in drag mode
  int32_t pickedKind = 0;         // its kind
  int32_t pickedPosition = -1;    // the unit or pedal slot being moved
};
