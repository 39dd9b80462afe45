// Slot record of the live rig: the amplifier slot and one per pedal. Its fields
// are what a preset stores about the slot; the units of a slot carry its number
// in their blockgroup (0 the amplifier, k the k-th pedal).
#pragma once
#include <cstdint>
#include <vector>

struct qvslot {
  int32_t dataind = -1;          // amplifier: amp-data index, -1 = own full blocks; pedal: pedal-data index
  bool active = true;            // units of an inactive slot are bypassed
  bool enableantialias = true;   // a pedal's brackets count only while set
  int32_t buttonx = 0;           // preset button position in the editor
  int32_t buttony = 0;
  int32_t bgimg = 0;             // skin image numbers, absolute in the editor's image list
  int32_t logoimg = -1;          // -1: no logo
  int32_t knobprof = 1;          // knob skin number
  int32_t positioncode = 0;      // pedal: 0 before the amplifier, 1 after it
  int32_t presethinter = 1;      // 1 or 2
  std::vector<int32_t> brackets; // pairs: first unit of an oversampled range, unit after it
};
