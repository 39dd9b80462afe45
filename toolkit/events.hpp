// Mouse buttons, modifier keys, key codes and the results of event handlers.
#pragma once
#include <cstdint>

// Button and modifier bits of a CButtonState.
enum CButton : int32_t {
  kLButton = 1 << 1,
  kMButton = 1 << 2,
  kRButton = 1 << 3,
  kShift = 1 << 4,
  kControl = 1 << 5,
  kAlt = 1 << 6,
  kDoubleClick = 1 << 10,  // set by the frame on the second press of a double click
};

struct CButtonState {
  int32_t state = 0;
  constexpr CButtonState(int32_t s = 0) : state(s) {}
  constexpr operator int32_t() const { return state; }
  constexpr bool isLeftButton() const { return (state & kLButton) != 0; }
  constexpr bool isRightButton() const { return (state & kRButton) != 0; }
  constexpr bool isDoubleClick() const { return (state & kDoubleClick) != 0; }
  constexpr int32_t getModifierState() const { return state & (kShift | kControl | kAlt); }
};

enum CMouseEventResult {
  kMouseEventNotImplemented = 0,  // the view does not handle this kind of event
  kMouseEventHandled,             // consumed; a handled press captures the mouse until release
  kMouseEventNotHandled,          // not for this view; views below may take it
};

enum CMessageResult { kMessageUnknown = 0, kMessageNotified = 1 };
using IdStringPtr = const char*;

// Keys without a character.
enum VirtualKey : uint8_t {
  kVKeyNone = 0,
  kVKeyBack,
  kVKeyTab,
  kVKeyReturn,
  kVKeyEnter,  // the keypad's
  kVKeyEscape,
  kVKeyLeft,
  kVKeyUp,
  kVKeyRight,
  kVKeyDown,
  kVKeyHome,
  kVKeyEnd,
  kVKeyPageUp,
  kVKeyPageDown,
  kVKeyDelete,
};

// One key press: a Unicode character (0 for none) or a virtual key, with the
// modifier bits of CButton (kShift, kControl, kAlt) held at the time.
struct CKeyCode {
  int32_t character = 0;
  uint8_t virt = kVKeyNone;
  int32_t modifier = 0;
};
