// Shared by the control-kind, rig-edit and editor-state tests: an engine on the
// small factory document (rig "Layered OD": pedal "Sharp Drive", amplifier
// definition 0, pedal "Compa"), controls made as the editor makes them, and the
// rig's structure as one comparable text.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "loadsavefixture.hpp"

namespace ctlfix {

using namespace lsfix;

inline constexpr int kSharpDrive = 0;  // pedal definitions
inline constexpr int kCompa = 1;

inline std::unique_ptr<qvengine> started(const TempDir& dir, const qvjsonnode& factory = factoryDocument()) {
  auto e = engineIn(dir, factory);
  e->loadSystem();
  drainMessages(*e);
  return e;
}

// A control record as the editor's factory makes it, and one added for the current rig.
inline qvcontrol made(int32_t kind, int32_t position = -1, int32_t index = -1, int32_t cls = kClassMenu) {
  qvcontrol c;
  c.controlClass = cls;
  c.kind = kind;
  c.position = position;
  c.index = index;
  return c;
}
inline int32_t control(qvengine& e, int32_t kind, int32_t position = -1, int32_t index = -1,
                       int32_t cls = kClassMenu) {
  return e.addControl(made(kind, position, index, cls));
}

// Posts to a fresh control of `kind` (the audio thread is idle: it runs at once).
inline void post(qvengine& e, int32_t kind, int32_t position, float value, int32_t index = -1) {
  e.postCommand(control(e, kind, position, index), value);
}

// Units (type, slot, bypass), sections and pedal slots (definition, side, active).
inline std::string rigShape(const qvengine& e) {
  std::string s = "units";
  for (uint32_t u = 0; u < e.chain.units.count(); ++u) {
    const qvutil& unit = *e.chain.units[u];
    (s += ' ') += std::to_string(unit.blocktype());
    (s += '/') += std::to_string(unit.blockgroup);
    if (unit.bypassed) s += 'b';
  }
  s += " | sections";
  for (int32_t k : e.chain.sections) (s += ' ') += std::to_string(k);
  s += " | pedals";
  for (uint32_t k = 0; k < e.chain.pedalSlots.count(); ++k) {
    const qvslot& p = *e.chain.pedalSlots[k];
    (s += ' ') += std::to_string(p.dataind);
    s += p.positioncode > 0 ? "post" : "pre";
    if (!p.active) s += "-off";
  }
  return s;
}

// An engine whose rig is loaded from a preset on amplifier `amp` with these slots:
// the independent picture of what an edited rig must be.
inline std::unique_ptr<qvengine> loadedRig(const TempDir& dir, int amp,
                                           const std::vector<qvjsonnode>& slots) {
  auto e = started(dir);
  qvjsoncursor node;
  node.setRoot(shortPreset("expected", 8, amp, slots));
  EXPECT_EQ(e->loadPreset(node, -1, false), 0);
  return e;
}

}  // namespace ctlfix
