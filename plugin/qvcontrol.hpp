// Control records: one per editor control, in the engine's control table whose
// index is the control's tag. A control names what it acts on by position
// (the block's place in the rig, the pedal slot, or the option number) rather
// than by pointer, so a command still queued for a rig that has since been
// replaced can be recognised and dropped instead of writing into freed units.
#pragma once
#include <cstdint>

#include "data/qvstring.hpp"

// What moving a control does. Menus report the 1-based position of the chosen
// entry; position and index say what the control acts on.
enum qvcontrolkind : int32_t {
  kKindBlockParam = 1,      // a unit's parameter: position = unit, index = parameter
  kKindValueField = 2,      // block box: the parameter's engine value typed as text
  kKindShowControl = 3,     // block box: the parameter's "setvis" (value > 0)
  kKindParamSettings = 4,   // block box: opens the parameter editor box
  kKindParamField = 5,      // parameter editor box: field `subindex` (qvparamfield) as text
  kKindBlockTitle = 6,      // opens the block box for the unit
  kKindDeleteBlock = 7,
  kKindAddBlock = 8,        // block-type menu: a new block after unit `position` (-1: the amplifier's end)
  kKindSetPedal = 11,       // "Set Pedal": position = pedal slot (1-based); "None", then the pedals
  kKindAddPedalPre = 12,    // "+Pre": position = the pedal count + 1; the pedal definitions
  kKindAddPedalPost = 13,   // "+Post"
  kKindSetAmp = 14,         // "Set Amp": the amplifier definitions
  kKindOption = 15,         // a global setting: index = setting number
  kKindDragTarget = 17,     // drops what is picked at `position` (a unit, or a pedal slot)
  kKindBypassBlock = 18,    // toggles the unit's bypass
  kKindResetBlock = 19,
  kKindValueDisplay = 20,
  kKindGlobalGate = 21,     // the global gate's parameter `index`
  kKindAntiAlias = 23,      // toggles the unit's membership of an oversampled range
  kKindRefreshBlocks = 24,  // refreshes the rig's sections and the open block box
  kKindPedalRoute = 25,     // "Rout:Pre" 1, "Rout:Post" 2 for pedal slot `position`
  kKindPedalMove = 26,      // picks pedal slot `position` for a move
  kKindGroupActive = 27,    // position: 0 the amplifier, k pedal slot k; value 0 bypasses
  kKindCabSimMenu = 28,     // 1 "New Sim", 2 "Open IR File", 3 "Open IR Folder"
  kKindPresetMenu = 29,     // 1 "Save", 2 "Save As New", 3 "Revert", 4 "Clear"
  kKindAmpSkin = 30,        // entry k: amplifier skin k - 1
  kKindPedalSkin = 31,      // entry k: pedal skin k - 1, as the rig's background
  kKindKnobStyle = 32,      // entry k: knob profile k
  kKindLogo = 33,           // entry 1 "Off", entry k: logo k - 2
  kKindCategoryName = 34,   // the category box's name field, as text
};

// What a kind-1 control's position counts.
enum class qvcontrolscope : int32_t {
  unit,      // a unit of the rig, by position in signal order
  cabBlock,  // a cab-sim block, by position in the cab list
};

// Control classes that report a normalised position; every other class reports
// an engine value (choice buttons, menus, toggles of options).
enum qvcontrolclass : int32_t {
  kClassKnob = 1,
  kClassSlider = 2,
  kClassPushButton = 3,
  kClassToggle = 4,
  kClassMenu = 5,
  kClassTextField = 11,
};

struct qvcontrol {
  void* view = nullptr;       // the toolkit view; the editor's frame owns it
  int32_t controlClass = kClassKnob;
  float value = 0.0f;         // the last value the control reported; a menu goes back to 0
  int32_t position = -1;      // the block's position in the rig, or the pedal slot
  int32_t index = -1;         // the parameter or option number
  int32_t kind = 0;
  uint8_t draggable = 0;
  int32_t box = 0;            // 3 or 4 for the controls of the two pop-up boxes
  int32_t subindex = -1;      // kind 5: the display setting the field edits
  qvcontrolscope scope = qvcontrolscope::unit;
  qvstring text;              // text fields: the last text (qvengine::postText)
  // The rig the control was made for (qvchain::rigGeneration when it was added).
  uint32_t rigGeneration = 0;
};

// [any] Whether the control reports a normalised position (knobs, sliders)
// rather than an engine value.
bool reportsPosition(const qvcontrol& c);
// [any] A menu's value as its entry, 1..entries, or 0 for no entry.
int32_t menuEntry(float value, int32_t entries);
