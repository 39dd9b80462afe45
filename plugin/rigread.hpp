// Reading preset objects into a rig under construction. A load builds its units
// and slot records here, beside the rig that plays, and the engine swaps them in
// only when the whole object has read without error: a preset that fails to load
// leaves the playing rig untouched.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "data/jsoncursor.hpp"
#include "data/qvlist.hpp"
#include "plugin/qvslot.hpp"
#include "units/qvprocstate.hpp"
#include "units/qvutil.hpp"

struct qvrigdraft {
  qvlist<qvutil> units;       // in the order they were read, then in signal order
  qvslot ampSlot;
  qvlist<qvslot> pedalSlots;  // pedal slot k is blockgroup k + 1
};

// (record index in the unit's record list, position) pairs to apply later.
using qvpositions = std::vector<std::pair<uint32_t, float>>;

// Codes of one "pars" array read for its positions only.
struct qvposcodes {
  int noPars;     // "pars" missing
  int tooMany;    // more entries than the unit has records
  int noEntry;    // a visible record's entry missing
  int noFpos;     // its "fpos" missing (0: optional)
};

// [between blocks] "bgimg", "logoimg" and "knobprof" of the current object,
// mended into the image list, and "brackets" (required). Absent skin members
// leave the slot's values as they were.
int readSlotLook(qvjsoncursor& c, qvslot& slot);

// [between blocks] "blocks" of the current object in full form: every entry of
// blockgroup 0 becomes a unit with slot link `link`, appended to `out`. A unit
// starts from its default table, so one stored with fewer records still has
// every parameter its processing reads; records beyond the table are dropped.
int readFullBlocks(qvjsoncursor& c, const qvprocstate& state, int32_t link, qvlist<qvutil>& out);

// [between blocks] "pars" of the current object read for the positions of the
// records marked in `visible`.
int readVisiblePositions(qvjsoncursor& c, const std::vector<bool>& visible, const qvposcodes& codes,
                         qvpositions& out);

// [between blocks] Overlays "blocks" of the current object: entry i sets the
// visible positions of unit i when its blockgroup matches the unit's link.
int overlayBlocks(qvjsoncursor& c, qvlist<qvutil>& units);

// [between blocks] An amplifier or pedal definition into a slot under
// construction: its look and brackets into `slot`, its full blocks with slot
// link `link` appended to `units`. 0, or the loader's code.
int readDefinition(qvjsoncursor& def, qvslot& slot, int32_t link, const qvprocstate& state,
                   qvlist<qvutil>& units);

// [between blocks] Bypass from the slots' active flags, then signal order (see
// orderUnits).
void arrangeUnits(qvrigdraft& draft);

// [between blocks] Signal order: the pedal slots in order with the amplifier's
// units just before the first slot placed after the amplifier (at the end when
// there is none); each group keeps its own order. Units of a group beyond the
// slots go with the amplifier's.
void orderUnits(qvlist<qvutil>& units, const qvlist<qvslot>& pedalSlots);

// [any] Sets positions read by readVisiblePositions on a unit.
void applyPositions(qvutil& unit, const qvpositions& positions);
