#include "plugin/rigedit.hpp"

#include <memory>
#include <vector>

#include "data/skinimages.hpp"
#include "plugin/brackets.hpp"
#include "plugin/rigread.hpp"
#include "units/unitfactory.hpp"

namespace {

// A group's units: contiguous in signal order (orderUnits keeps them so).
struct unitrun {
  int32_t first = -1;
  int32_t count = 0;
};

unitrun groupRun(const qvchain& c, int32_t group) {
  unitrun r;
  for (uint32_t u = 0; u < c.units.count(); ++u) {
    if (c.units[u]->blockgroup == group) {
      if (r.first < 0) r.first = static_cast<int32_t>(u);
      ++r.count;
    } else if (r.first >= 0) {
      break;
    }
  }
  return r;
}

bool validUnit(const qvchain& c, int32_t position) {
  return position >= 0 && static_cast<uint32_t>(position) < c.units.count();
}

bool validSlot(const qvchain& c, int32_t slot) {
  return slot >= 1 && static_cast<uint32_t>(slot) <= c.pedalSlots.count();
}

// The amplifier no longer matches its definition: it is saved as full blocks.
void ownAmpBlocks(qvengine& e) { e.chain.ampSlot.dataind = -1; }

// Index of the first slot placed after the amplifier in `order` (old slot
// numbers), or its size.
size_t firstAfterAmp(const qvchain& c, const std::vector<int32_t>& order) {
  for (size_t k = 0; k < order.size(); ++k)
    if (c.pedalSlots[uint32_t(order[k] - 1)]->positioncode > 0) return k;
  return order.size();
}

std::vector<int32_t> slotsExcept(const qvchain& c, int32_t slot) {
  std::vector<int32_t> order;
  for (int32_t k = 1; k <= static_cast<int32_t>(c.pedalSlots.count()); ++k)
    if (k != slot) order.push_back(k);
  return order;
}

// The pedal slots in a new order: `order` lists, for each new slot, the number of
// the old slot it is, or 0 for `added`, whose units are `addedUnits`. Old slots
// not in `order` leave the rig with their units. Nothing here can fail.
void rearrangePedals(qvengine& e, const std::vector<int32_t>& order, std::unique_ptr<qvslot> added,
                     qvlist<qvutil>& addedUnits) {
  qvchain& c = e.chain;
  const int32_t n = static_cast<int32_t>(c.pedalSlots.count());
  std::vector<int32_t> renumber(size_t(n) + 1, 0);  // old slot number -> new, 0 gone
  std::vector<std::unique_ptr<qvslot>> old;
  old.reserve(size_t(n));
  for (size_t k = 0; k < order.size(); ++k)
    if (order[k] > 0) renumber[size_t(order[k])] = static_cast<int32_t>(k) + 1;

  while (!c.pedalSlots.empty()) old.push_back(c.pedalSlots.remove(0));
  int32_t addedNumber = 0;
  for (int32_t from : order) {
    if (from > 0) {
      c.pedalSlots.append(std::move(old[size_t(from - 1)]));
    } else {
      addedNumber = static_cast<int32_t>(c.pedalSlots.append(std::move(added))) + 1;
    }
  }
  for (uint32_t u = 0; u < c.units.count();) {
    qvutil& unit = *c.units[u];
    if (unit.blockgroup >= 1 && unit.blockgroup <= n) {
      if (renumber[size_t(unit.blockgroup)] == 0) {
        c.units.remove(u);
        continue;
      }
      unit.blockgroup = renumber[size_t(unit.blockgroup)];
    }
    ++u;
  }
  if (addedNumber > 0) {
    const bool active = c.pedalSlots[uint32_t(addedNumber - 1)]->active;
    while (!addedUnits.empty()) {
      std::unique_ptr<qvutil> unit = addedUnits.remove(0);
      unit->blockgroup = addedNumber;
      unit->bypassed = !active;
      c.units.append(std::move(unit));
    }
  }
  orderUnits(c.units, c.pedalSlots);
  rebuildChain(e);
}

// An edit of amplifier block `position`: `edit(brackets, n, r)` changes the
// amplifier's brackets over its n blocks (the block is its r-th) and the units.
template <class Edit>
int editAmpBlock(qvengine& e, int32_t position, Edit edit) {
  qvchain& c = e.chain;
  if (!validUnit(c, position)) return kRigUnchanged;
  if (c.units[uint32_t(position)]->blockgroup != 0) return kRigPedalBlock;
  const unitrun amp = groupRun(c, 0);
  edit(c.ampSlot.brackets, amp.count, position - amp.first);
  ownAmpBlocks(e);
  rebuildChain(e);
  return kRigChanged;
}

bool validDefinition(const qvlist<qvdatarecord>& list, int32_t index) {
  return index >= 0 && static_cast<uint32_t>(index) < list.count();
}

}  // namespace

int32_t unitGroup(const qvengine& e, int32_t position) {
  return validUnit(e.chain, position) ? e.chain.units[uint32_t(position)]->blockgroup : -1;
}

void rebuildChain(qvengine& e) {
  e.chain.rebuildSections();
  e.chain.setOversampling(e.state.settingInt(kSetOversampling));
  e.chain.updateCabActivity();
}

void noteRecordEdit(qvengine& e, int32_t position) {
  if (unitGroup(e, position) == 0) ownAmpBlocks(e);
}

int removeBlock(qvengine& e, int32_t position) {
  return editAmpBlock(e, position, [&](std::vector<int32_t>& brackets, int32_t n, int32_t r) {
    removeBracketMember(brackets, n, r);
    e.chain.units.remove(uint32_t(position));
  });
}

int insertBlock(qvengine& e, int32_t blocktype, int32_t after) {
  qvchain& c = e.chain;
  if (after != -1 && !validUnit(c, after)) return kRigUnchanged;
  if (after >= 0 && unitGroup(e, after) != 0) return kRigPedalBlock;
  std::unique_ptr<qvutil> unit = createUnit(blocktype, e.state, true, true);
  if (!unit) return kRigUnchanged;
  const unitrun amp = groupRun(c, 0);
  const int32_t at = after >= 0 ? after + 1 : amp.count > 0 ? amp.first + amp.count : 0;
  insertBracketMember(c.ampSlot.brackets, amp.count, amp.count > 0 ? at - amp.first : 0);
  unit->blockgroup = 0;
  unit->bypassed = !c.ampSlot.active;
  c.units.insert(uint32_t(at), std::move(unit));
  orderUnits(c.units, c.pedalSlots);  // an amplifier made from nothing goes before the post pedals
  ownAmpBlocks(e);
  rebuildChain(e);
  return kRigChanged;
}

int moveBlock(qvengine& e, int32_t from, int32_t to) {
  qvchain& c = e.chain;
  if (!validUnit(c, from) || !validUnit(c, to) || from == to) return kRigUnchanged;
  if (unitGroup(e, from) != 0 || unitGroup(e, to) != 0) return kRigPedalBlock;
  const unitrun amp = groupRun(c, 0);
  moveBracketMember(c.ampSlot.brackets, amp.count, from - amp.first, to - amp.first);
  c.units.move(uint32_t(from), uint32_t(to));
  ownAmpBlocks(e);
  rebuildChain(e);
  return kRigChanged;
}

int resetBlock(qvengine& e, int32_t position) {
  qvchain& c = e.chain;
  if (!validUnit(c, position)) return kRigUnchanged;
  const qvutil& old = *c.units[uint32_t(position)];
  std::unique_ptr<qvutil> unit = createUnit(old.blocktype(), e.state, true, true);
  if (!unit) return kRigUnchanged;
  unit->blockgroup = old.blockgroup;
  unit->bypassed = old.bypassed;
  if (old.blockgroup == 0) ownAmpBlocks(e);
  c.units.replace(uint32_t(position), std::move(unit));
  rebuildChain(e);  // the new unit learns its rate multiplier
  return kRigChanged;
}

int toggleBlockAntiAlias(qvengine& e, int32_t position) {
  return editAmpBlock(e, position, toggleBracketMember);
}

int setGroupActive(qvengine& e, int32_t group, bool active) {
  qvchain& c = e.chain;
  if (group != 0 && !validSlot(c, group)) return kRigUnchanged;
  (group == 0 ? c.ampSlot : *c.pedalSlots[uint32_t(group - 1)]).active = active;
  for (uint32_t u = 0; u < c.units.count(); ++u)
    if (c.units[u]->blockgroup == group) c.units[u]->bypassed = !active;
  return kRigChanged;
}

int setPedal(qvengine& e, int32_t slot, int32_t definition) {
  qvchain& c = e.chain;
  if (!validSlot(c, slot)) return kRigUnchanged;
  const qvslot& current = *c.pedalSlots[uint32_t(slot - 1)];
  if (definition == current.dataind) return kRigUnchanged;
  qvlist<qvutil> units;
  if (definition == -1) {
    rearrangePedals(e, slotsExcept(c, slot), nullptr, units);
    return kRigChanged;
  }
  if (!validDefinition(e.data.pedalData, definition)) return kRigUnchanged;
  auto pedal = std::make_unique<qvslot>(current);  // keeps its side and its active flag
  pedal->dataind = definition;
  const int code = readDefinition(e.data.pedalData[uint32_t(definition)]->node, *pedal, 0, e.state, units);
  if (code != 0) return code;
  std::vector<int32_t> order;
  for (int32_t k = 1; k <= static_cast<int32_t>(c.pedalSlots.count()); ++k)
    order.push_back(k == slot ? 0 : k);
  rearrangePedals(e, order, std::move(pedal), units);
  return kRigChanged;
}

int addPedal(qvengine& e, int32_t definition, bool afterAmp) {
  qvchain& c = e.chain;
  if (!validDefinition(e.data.pedalData, definition)) return kRigUnchanged;
  auto pedal = std::make_unique<qvslot>();
  pedal->dataind = definition;
  pedal->positioncode = afterAmp ? 1 : 0;
  qvlist<qvutil> units;
  const int code = readDefinition(e.data.pedalData[uint32_t(definition)]->node, *pedal, 0, e.state, units);
  if (code != 0) return code;
  std::vector<int32_t> order = slotsExcept(c, 0);
  const size_t at = afterAmp ? order.size() : firstAfterAmp(c, order);
  order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), 0);
  rearrangePedals(e, order, std::move(pedal), units);
  return kRigChanged;
}

int routePedal(qvengine& e, int32_t slot, bool afterAmp) {
  qvchain& c = e.chain;
  if (!validSlot(c, slot)) return kRigUnchanged;
  qvslot& pedal = *c.pedalSlots[uint32_t(slot - 1)];
  if ((pedal.positioncode > 0) == afterAmp) return kRigUnchanged;
  std::vector<int32_t> order = slotsExcept(c, slot);
  // Next to the amplifier on its new side: the first after it, or the last before it.
  order.insert(order.begin() + static_cast<std::ptrdiff_t>(firstAfterAmp(c, order)), slot);
  pedal.positioncode = afterAmp ? 1 : 0;
  qvlist<qvutil> none;
  rearrangePedals(e, order, nullptr, none);
  return kRigChanged;
}

int movePedal(qvengine& e, int32_t slot, int32_t to) {
  qvchain& c = e.chain;
  if (!validSlot(c, slot) || !validSlot(c, to) || slot == to) return kRigUnchanged;
  std::vector<int32_t> order = slotsExcept(c, slot);
  order.insert(order.begin() + (to - 1), slot);
  // Slots before the amplifier stay ahead of those after it.
  qvslot& pedal = *c.pedalSlots[uint32_t(slot - 1)];
  const size_t k = size_t(to - 1);
  if (k > 0 && c.pedalSlots[uint32_t(order[k - 1] - 1)]->positioncode > 0) pedal.positioncode = 1;
  if (k + 1 < order.size() && c.pedalSlots[uint32_t(order[k + 1] - 1)]->positioncode <= 0)
    pedal.positioncode = 0;
  qvlist<qvutil> none;
  rearrangePedals(e, order, nullptr, none);
  return kRigChanged;
}

int setAmp(qvengine& e, int32_t definition) {
  qvchain& c = e.chain;
  if (!validDefinition(e.data.ampData, definition) || definition == c.ampSlot.dataind)
    return kRigUnchanged;
  qvslot look = c.ampSlot;
  qvlist<qvutil> units;
  const int code = readDefinition(e.data.ampData[uint32_t(definition)]->node, look, 0, e.state, units);
  if (code != 0) return code;
  look.dataind = definition;

  const int32_t nslots = static_cast<int32_t>(c.pedalSlots.count());
  for (uint32_t u = 0; u < c.units.count();) {
    const int32_t g = c.units[u]->blockgroup;
    if (g == 0 || g > nslots) {
      c.units.remove(u);
    } else {
      ++u;
    }
  }
  while (!units.empty()) {
    std::unique_ptr<qvutil> unit = units.remove(0);
    unit->bypassed = !look.active;
    c.units.append(std::move(unit));
  }
  c.ampSlot = std::move(look);
  orderUnits(c.units, c.pedalSlots);
  rebuildChain(e);
  return kRigChanged;
}

void clearRigAndReset(qvengine& e) {
  qvchain& c = e.chain;
  c.clearRig();
  // An empty amplifier of its own, on the first amplifier skin (what the editor
  // shows for a rig without a background), so a saved empty rig reads back the same.
  c.ampSlot = qvslot{};
  c.ampSlot.bgimg = kFirstBackgroundImage;
  c.ampSlot.logoimg = -1;
  c.ampSlot.knobprof = kFallbackKnobProfile;
  e.data.currentCabBlock = -1;
  c.gate->reset();
  c.cabEngine->reset();
  rebuildChain(e);
}

void setRigBackground(qvengine& e, int32_t image) {
  e.chain.ampSlot.bgimg = image;
  ownAmpBlocks(e);
}

void setRigLogo(qvengine& e, int32_t image) {
  e.chain.ampSlot.logoimg = image;
  ownAmpBlocks(e);
}

void setRigKnobProfile(qvengine& e, int32_t profile) {
  e.chain.ampSlot.knobprof = profile;
  ownAmpBlocks(e);
}
