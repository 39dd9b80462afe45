// Undoing a command that failed half-way. The mailbox runs every command inside
// a change: beginChange() remembers the rig's scalars and settings (no allocation,
// a knob move must not allocate); the chain's own rig operations then put aside
// what they remove instead of freeing it. If the command throws, rollbackChange()
// frees what it made and puts the old rig back in its order; otherwise
// commitChange() frees what was put aside. The arrays the audio path reads stay as
// they were during the change: they are the record of the original order.
//
// What a command changes in place on an object that stays (a parameter, a cab
// block's impulse) is not undone: the object stays whole and playable.
#include <algorithm>

#include "plugin/qvchainchange.hpp"

namespace {
// Makes room for n entries in an empty list without keeping any; the list is
// empty again whether or not the room could be made.
template <class T>
void reserveList(qvlist<T>& list, uint32_t n) {
  if (!list.empty() || list.capacity() >= n) return;
  try {
    while (list.count() < n) list.append(std::unique_ptr<T>());
  } catch (...) {
    list.clear();
    throw;
  }
  list.clear();
}

// The original entries of a list, in order: origin(k) for k < count.
template <class T, class Origin>
bool isOriginal(const T* p, size_t count, Origin origin) {
  for (size_t k = 0; k < count; ++k)
    if (origin(k) == p) return true;
  return false;
}

// Puts the list's entries back as the originals were: entries the change made go
// (through drop), entries it put aside into `parked` come back, in the original
// order. Allocates nothing: `live` held the originals before, and `parked` got
// room for all of them when the first was put aside.
template <class T, class Origin, class Drop>
void restoreList(qvlist<T>& live, qvlist<T>& parked, size_t count, Origin origin,
                 Drop drop) noexcept {
  for (uint32_t i = live.count(); i-- > 0;) {
    if (isOriginal(live[i], count, origin)) continue;
    std::unique_ptr<T> made = live.remove(i);
    drop(*made);
  }
  // Nothing put aside: the originals are still the first entries, in order.
  if (parked.empty()) return;
  while (!live.empty()) parked.append(live.remove(live.count() - 1));
  for (size_t k = 0; k < count; ++k) {
    for (uint32_t i = 0; i < parked.count(); ++i) {
      if (parked[i] != origin(k)) continue;
      live.append(parked.remove(i));
      break;
    }
  }
}

void saveParam(const qvparam& p, qvparamvalue& v) {
  v.x = p.x;
  v.xi = p.xi;
  v.fpos = p.fpos;
  v.u = p.u;
}

void loadParam(qvparam& p, const qvparamvalue& v) {
  p.x = v.x;
  p.xi = v.xi;
  p.fpos = v.fpos;
  p.u = v.u;
}
}  // namespace

bool qvchain::changing() const noexcept { return change_->open && change_->undoable; }

void qvchain::beginChange() noexcept {
  changestate& c = *change_;
  if (c.open) return;
  c.open = true;
  c.rigParked = c.cabsParked = c.sectionsKept = c.filtersKept = false;
  c.ratesChanged = c.resetEngine = c.arraysStale = false;
  c.ampKept = false;
  // The arrays become the record of the rig's order; a rig that does not fit them
  // (only lists changed without a rig operation) cannot be put back.
  c.undoable = rebuildArrays(false);
  c.factor = factor;
  c.aliasOptions = aliasOptions;
  c.cabActiveCount = cabActiveCount;
  c.rigGeneration = rigGeneration;
  c.sampleRate = state_.sampleRate;
  c.inputGain = state_.inputGain;
  c.gainLeft = state_.gainLeft;
  c.gainRight = state_.gainRight;
  c.bypass = state_.bypass.load();
  c.mute = state_.mute.load();
  c.savedBypass = state_.savedBypass.load();
  const uint32_t nsettings = std::min<uint32_t>(state_.settings.count(), kSettingCount);
  for (uint32_t i = 0; i < nsettings; ++i) saveParam(*state_.settings[i], c.settings[i]);
  c.gateParamCount = std::min(gate->params.count(), changestate::kMaxGateParams);
  for (uint32_t i = 0; i < c.gateParamCount; ++i) saveParam(*gate->params[i], c.gateParams[i]);
  c.slotSerial = cabEngine->nextSerial();
}

void qvchain::parkRig() {
  changestate& c = *change_;
  keepAmpSlot();
  // Room first: a failure here leaves everything in place.
  reserveList(c.units, static_cast<uint32_t>(unitArray_.size()));
  reserveList(c.pedals, static_cast<uint32_t>(pedalArray_.size()));
  reserveList(c.cabs, static_cast<uint32_t>(cabArray_.size()));
  while (!units.empty()) {
    std::unique_ptr<qvutil> u = units.remove(units.count() - 1);
    if (isOriginal(u.get(), unitArray_.size(), [this](size_t k) { return unitArray_[k]; }))
      c.units.append(std::move(u));
  }
  while (!pedalSlots.empty()) {
    std::unique_ptr<qvslot> p = pedalSlots.remove(pedalSlots.count() - 1);
    if (isOriginal(p.get(), pedalArray_.size(), [this](size_t k) { return pedalArray_[k]; }))
      c.pedals.append(std::move(p));
  }
  while (!cabBlocks.empty()) parkCabBlock(cabBlocks.count() - 1);
  c.rigParked = true;
}

void qvchain::parkCabBlock(uint32_t i) {
  changestate& c = *change_;
  reserveList(c.cabs, static_cast<uint32_t>(cabArray_.size()));
  std::unique_ptr<qvusconv> block = cabBlocks.remove(i);
  if (isOriginal(block.get(), cabArray_.size(), [this](size_t k) { return cabArray_[k].block; })) {
    c.cabs.append(std::move(block));  // keeps its slot until commit
    c.cabsParked = true;
  } else if (block->slot >= 0) {
    cabEngine->releaseSlot(block->slot);
  }
}

void qvchain::keepAmpSlot() {
  changestate& c = *change_;
  if (!changing() || c.ampKept) return;
  c.ampSlot = ampSlot;
  c.ampKept = true;
}

void qvchain::keepSections() {
  changestate& c = *change_;
  if (!changing() || c.sectionsKept) return;
  c.sections.assign(sections.begin(), sections.end());
  c.sectionsKept = true;
}

void qvchain::keepFilters() {
  changestate& c = *change_;
  if (!changing() || c.filtersKept) return;
  std::copy(std::begin(aaFilters_), std::end(aaFilters_), std::begin(c.filters));
  c.filtersKept = true;
}

void qvchain::noteRatesChanged() {
  // Once the rig is put aside the units re-rated are the change's own.
  if (changing() && !change_->rigParked) change_->ratesChanged = true;
}

void qvchain::cabStageSwitchedOn() {
  if (changing()) {
    change_->resetEngine = true;  // no audio runs before commit: same as at once
  } else {
    cabEngine->reset();
  }
}

void qvchain::commitChange() {
  changestate& c = *change_;
  if (!c.open) return;
  // What can fail comes first, while the change can still be undone.
  unitArray_.reserve(units.count());
  cabArray_.reserve(cabBlocks.count());
  pedalArray_.reserve(pedalSlots.count());
  c.open = false;
  c.units.clear();
  for (uint32_t i = 0; i < c.cabs.count(); ++i)
    if (c.cabs[i]->slot >= 0) cabEngine->releaseSlot(c.cabs[i]->slot);
  c.cabs.clear();
  c.pedals.clear();
  if (c.resetEngine) cabEngine->reset();
  rebuildArrays(false);
}

void qvchain::rollbackChange() noexcept {
  changestate& c = *change_;
  if (!c.open) return;
  const bool undoable = c.undoable;
  c.open = false;  // what follows runs as plain rig operations
  if (undoable) {
    restoreList(units, c.units, unitArray_.size(), [this](size_t k) { return unitArray_[k]; },
                [](qvutil&) {});
    restoreList(pedalSlots, c.pedals, pedalArray_.size(),
                [this](size_t k) { return pedalArray_[k]; }, [](qvslot&) {});
    restoreList(cabBlocks, c.cabs, cabArray_.size(), [this](size_t k) { return cabArray_[k].block; },
                [this](qvusconv& b) {
                  if (b.slot >= 0) cabEngine->releaseSlot(b.slot);
                });
    if (c.ampKept) std::swap(ampSlot, c.ampSlot);
    if (c.sectionsKept) sections.swap(c.sections);
    if (c.filtersKept) std::copy(std::begin(c.filters), std::end(c.filters), std::begin(aaFilters_));
  }
  factor = c.factor;
  aliasOptions = c.aliasOptions;
  cabActiveCount = c.cabActiveCount;
  rigGeneration = c.rigGeneration;
  state_.sampleRate = c.sampleRate;
  state_.inputGain = c.inputGain;
  state_.gainLeft = c.gainLeft;
  state_.gainRight = c.gainRight;
  state_.bypass.store(c.bypass);
  state_.mute.store(c.mute);
  state_.savedBypass.store(c.savedBypass);
  const uint32_t nsettings = std::min<uint32_t>(state_.settings.count(), kSettingCount);
  for (uint32_t i = 0; i < nsettings; ++i) loadParam(*state_.settings[i], c.settings[i]);
  for (uint32_t i = 0; i < c.gateParamCount && i < gate->params.count(); ++i)
    loadParam(*gate->params[i], c.gateParams[i]);
  try {
    gate->update(-1);
    // Units re-rated by the command get the rates of the restored rig again.
    if (c.ratesChanged) applyRates();
  } catch (...) {
    // Neither allocates for a rig that ran at these rates before; nothing to do.
  }
  releaseSlotsOfChange();
  c.resetEngine = false;
  if (!undoable) rebuildArrays(false);
}

void qvchain::releaseSlotsOfChange() noexcept {
  const uint64_t first = change_->slotSerial;
  for (int s = 0; s < cabEngine->slotLimit(); ++s) {
    if (cabEngine->serialOf(s) < first) continue;  // older, or no slot
    bool used = false;
    for (uint32_t i = 0; i < cabBlocks.count() && !used; ++i) used = cabBlocks[i]->slot == s;
    if (!used) cabEngine->dropSlot(s);
  }
}
