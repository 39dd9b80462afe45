// Control records: one per editor control, in the engine's control table whose
// index is the control's tag. A control names what it acts on by position
// (the block's place in the rig, or the option number) rather than by pointer,
// so a command still queued for a rig that has since been replaced can be
// recognised and dropped instead of writing into freed units.
#pragma once
#include <cstdint>

// What moving a control does.
enum qvcontrolkind : int32_t {
  kKindBlockParam = 1,      // a unit's parameter: position = unit, index = parameter
  kKindOption = 15,         // a global setting: index = setting number
  kKindBypassBlock = 18,    // toggles the unit's bypass
  kKindValueDisplay = 20,
  kKindGlobalGate = 21,     // the gate reads its parameter by itself
  kKindCabSimMenu = 28,     // 1 "New Sim", 2 "Open IR File", 3 "Open IR Folder"
};

// Control classes that report a normalised position; every other class reports
// an engine value (choice buttons, menus, toggles of options).
enum qvcontrolclass : int32_t {
  kClassKnob = 1,
  kClassSlider = 2,
  kClassPushButton = 3,
  kClassToggle = 4,
  kClassMenu = 5,
};

struct qvcontrol {
  void* view = nullptr;       // the toolkit view; the editor's frame owns it
  int32_t controlClass = kClassKnob;
  float value = 0.0f;         // the last value the control reported
  int32_t position = -1;      // the block's position in the rig
  int32_t index = -1;         // the parameter or option number
  int32_t kind = 0;
  uint8_t draggable = 0;
  int32_t box = 0;            // 3 or 4 for the controls of the two pop-up boxes
  // The rig the control was made for (qvchain::rigGeneration when it was added).
  uint32_t rigGeneration = 0;
};
