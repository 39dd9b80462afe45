// Editing the live rig block by block and pedal by pedal: what the editor's
// block, pedal, amplifier and skin controls ask for. Each operation runs between
// blocks (inside a command), reads whatever it needs (a definition) into a draft
// first and changes the rig only once nothing can fail, then tells the chain
// (rebuildSections, setOversampling, updateCabActivity) so that the sections,
// rate multipliers and rigGeneration follow.
//
// The amplifier is stored in a preset either by its definition ("dataind") or as
// full blocks. An edit the definition cannot express (a block added, removed,
// moved or reset, a range toggled, a record or the look changed) turns the
// amplifier into one with its own full blocks, so that a saved preset loads as
// it was edited. Pedals are stored by definition only, so their block structure
// is not edited.
#pragma once
#include <cstdint>

#include "plugin/qvengine.hpp"

// Results of the rig edits; any other value is the loader's code for a
// definition that did not read (the rig is then unchanged).
enum qvrigresult : int {
  kRigChanged = 0,     // the rig changed
  kRigUnchanged = 1,   // nothing to do, or a target that is not in the rig
  kRigPedalBlock = 2,  // the block belongs to a pedal, whose structure is its definition's
};

// The group a unit position belongs to, or -1: 0 the amplifier, k pedal slot k.
int32_t unitGroup(const qvengine& e, int32_t position);
// The chain follows a changed unit list or slot record: sections, oversampling
// and rate multipliers, cab activity.
void rebuildChain(qvengine& e);
// A parameter record of unit `position` was edited: an amplifier block is then
// saved in full.
void noteRecordEdit(qvengine& e, int32_t position);

// ---- blocks, by unit position in signal order ----
int removeBlock(qvengine& e, int32_t position);
// A new unit of `blocktype` (0..11) at its defaults, after unit `after` (an
// amplifier block), or at the amplifier's end when `after` is -1.
int insertBlock(qvengine& e, int32_t blocktype, int32_t after);
// Unit `from` of the amplifier to position `to` (also an amplifier block).
int moveBlock(qvengine& e, int32_t from, int32_t to);
// A fresh unit of the same type with its default table; slot and bypass stay.
int resetBlock(qvengine& e, int32_t position);
// The unit in or out of its slot's oversampled ranges.
int toggleBlockAntiAlias(qvengine& e, int32_t position);
// Group 0 (the amplifier) or pedal slot k: every block bypassed or active, and
// the slot's active flag.
int setGroupActive(qvengine& e, int32_t group, bool active);

// ---- pedal slots, numbered from 1 ----
// Slot `slot` takes pedal definition `definition`, or leaves the rig with -1.
int setPedal(qvengine& e, int32_t slot, int32_t definition);
// A new slot with `definition`: the last before the amplifier, or the last of all.
int addPedal(qvengine& e, int32_t definition, bool afterAmp);
// The slot to the other side of the amplifier, next to it.
int routePedal(qvengine& e, int32_t slot, bool afterAmp);
// The slot to position `to` (1-based); it takes the side of its new neighbours.
int movePedal(qvengine& e, int32_t slot, int32_t to);

// ---- the amplifier and the whole rig ----
// Amplifier definition `definition` replaces the amplifier's blocks, look and
// brackets; the pedals stay.
int setAmp(qvengine& e, int32_t definition);
// An empty rig (no blocks, pedals or cab sims; no logo) with its running state
// cleared.
void clearRigAndReset(qvengine& e);
// The rig's look: a background image, a logo image (-1 none), a knob profile.
void setRigBackground(qvengine& e, int32_t image);
void setRigLogo(qvengine& e, int32_t image);
void setRigKnobProfile(qvengine& e, int32_t profile);
