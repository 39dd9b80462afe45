// The engine's impulse side: loading a catalogue entry into a cab block (a new
// convolution slot, so a failed load leaves the playing block as it was), the
// reload after a rate change, and the catalogue and cab-block commands.
#include <cmath>
#include <memory>

#include "data/impulses.hpp"
#include "plugin/cabcommands.hpp"

namespace {

constexpr const char* kSavingData = "Saving Data";

bool validCabBlock(const qvengine& e, int32_t block) {
  return block >= 0 && static_cast<uint32_t>(block) < e.chain.cabBlocks.count();
}

bool validImpulse(const qvdatamodel& data, int32_t index) {
  return index >= 0 && static_cast<uint32_t>(index) < data.impulses.count();
}

// After cab blocks were removed, the current one stays within the list.
void keepCurrentCabBlockInRange(qvengine& e) {
  const int32_t count = static_cast<int32_t>(e.chain.cabBlocks.count());
  if (e.data.currentCabBlock >= count) e.data.currentCabBlock = count - 1;
}

}  // namespace

bool qvengine::loadImpulse(int32_t index, int32_t block) {
  data.errorText.clear();
  if (index < 0 || static_cast<uint32_t>(index) >= data.impulses.count()) return false;
  if (block < -1 || (block >= 0 && static_cast<uint32_t>(block) >= chain.cabBlocks.count()))
    return false;

  qvimpulse& entry = *data.impulses[static_cast<uint32_t>(index)];
  std::vector<float> samples;
  if (!readImpulseSamples(factoryImpulses, entry, state.sampleRate,
                          state.settingInt(kSetLimitImpulseFiles) == 1, samples, data.errorText))
    return false;

  const int slot = chain.cabEngine->createSlot(samples);
  if (slot < 0) {
    data.errorText = "Convolution slot could not be created.";
    return false;
  }

  if (block < 0) {
    auto cab = std::make_unique<qvusconv>(state, true);  // a "New Sim" with default parameters
    cab->slot = slot;
    cab->impulse = index;
    data.currentCabBlock = static_cast<int32_t>(chain.cabBlocks.append(std::move(cab)));
    return true;
  }
  qvusconv& cab = *chain.cabBlocks[static_cast<uint32_t>(block)];
  if (cab.slot >= 0) chain.cabEngine->releaseSlot(cab.slot);
  cab.slot = slot;
  cab.impulse = index;
  chain.cabEngine->setActive(slot, cab.params[qvusconv::kEnabled]->xi != 0);
  return true;
}

void qvengine::reloadCabImpulses() {
  for (uint32_t b = 0; b < chain.cabBlocks.count(); ++b) {
    const int32_t index = chain.cabBlocks[b]->impulse;
    // A block whose file has gone since keeps playing its impulse at the old rate
    // rather than disappearing from the rig.
    if (index >= 0) loadImpulse(index, static_cast<int32_t>(b));
  }
  chain.updateCabActivity();
}

qvcmdoutcome saveCabSettings(qvengine& e, const qvstring& name) {
  qvcmdoutcome out;
  if (!validCabBlock(e, e.data.currentCabBlock)) return out;
  const int32_t index = e.chain.cabBlocks[uint32_t(e.data.currentCabBlock)]->impulse;
  if (!validImpulse(e.data, index)) return out;
  qvimpulse& entry = *e.data.impulses[uint32_t(index)];
  entry.name = name;
  const int32_t category = e.data.currentImpulseCategory;
  if (category >= 0 && static_cast<uint32_t>(category) < e.data.impulseCategories.count())
    entry.categoryid = e.data.impulseCategories[uint32_t(category)]->id;
  out.save = true;
  out.savedText = "Saving Cab Settings";
  return out;
}

void chooseCabBlock(qvengine& e, float value) {
  const int32_t count = static_cast<int32_t>(e.chain.cabBlocks.count());
  if (count == 0) {
    e.data.currentCabBlock = -1;
    return;
  }
  if (!std::isfinite(value)) return;
  const double block = std::nearbyint(static_cast<double>(value)) - 1.0;
  e.data.currentCabBlock =
      block < 0.0 ? 0 : block >= double(count) ? count - 1 : static_cast<int32_t>(block);
}

qvcmdoutcome chooseImpulse(qvengine& e, int32_t index) {
  qvcmdoutcome out;
  if (!validImpulse(e.data, index)) return out;
  e.data.lastChosenImpulse = index;
  const int32_t block = validCabBlock(e, e.data.currentCabBlock) ? e.data.currentCabBlock : -1;
  const bool loaded = e.loadImpulse(index, block);
  e.chain.updateCabActivity();
  if (!loaded) out.messages.push_back({e.data.errorText, 2});
  return out;
}

qvcmdoutcome deleteImpulse(qvengine& e) {
  qvcmdoutcome out;
  if (!validCabBlock(e, e.data.currentCabBlock)) return out;
  int32_t index = e.data.lastChosenImpulse;
  if (!validImpulse(e.data, index))
    index = e.chain.cabBlocks[uint32_t(e.data.currentCabBlock)]->impulse;
  if (!validImpulse(e.data, index)) return out;
  if (e.data.impulses[uint32_t(index)]->res != -1) {
    out.messages.push_back({"This item cannot be deleted.", 2});
    return out;
  }

  // Blocks playing the entry fall back to the one before it; without one, gone.
  for (uint32_t b = 0; b < e.chain.cabBlocks.count();) {
    if (e.chain.cabBlocks[b]->impulse != index ||
        (index > 0 && e.loadImpulse(index - 1, static_cast<int32_t>(b)))) {
      ++b;
      continue;
    }
    e.chain.removeCabBlock(b);
  }
  keepCurrentCabBlockInRange(e);
  e.chain.updateCabActivity();

  e.data.impulses.remove(uint32_t(index));
  for (uint32_t b = 0; b < e.chain.cabBlocks.count(); ++b) {
    if (e.chain.cabBlocks[b]->impulse > index) --e.chain.cabBlocks[b]->impulse;
  }
  e.data.lastChosenImpulse = -1;
  out.save = true;
  out.savedText = kSavingData;
  return out;
}

void removeCurrentCabBlock(qvengine& e) {
  if (!validCabBlock(e, e.data.currentCabBlock)) return;
  e.chain.removeCabBlock(uint32_t(e.data.currentCabBlock));
  keepCurrentCabBlockInRange(e);
  e.chain.updateCabActivity();
}

bool qvengine::runImpulseCommand(int32_t code, float value) {
  qvcmdoutcome out;
  switch (code) {
    case kCmdAddImpulseFile: out = addImpulseFileCommand(data, editorPath); break;
    case kCmdImportFolder: out = importImpulseFolder(data, editorPath); break;
    case kCmdSaveCabSettings: out = saveCabSettings(*this, editorName); break;
    case kCmdChooseCabBlock:
      chooseCabBlock(*this, value);
      requestRebuild();
      return true;
    case kCmdChooseImpulse: out = chooseImpulse(*this, commandIndex(value)); break;
    case kCmdDeleteImpulse: out = deleteImpulse(*this); break;
    case kCmdRemoveCabBlock: removeCurrentCabBlock(*this); break;
    default: return false;
  }
  // Cab blocks may have gone: controls made for the later ones are stale.
  if (code == kCmdDeleteImpulse || code == kCmdRemoveCabBlock) ++chain.rigGeneration;
  requestRebuild();
  for (const qvmessage& m : out.messages) showMessage(m.text, m.level);
  // The load touches the rig, so it goes through the mailbox like any rig change,
  // once the editor command has let go of the command lock.
  if (out.chooseImpulse >= 0) deferPost(kCmdChooseImpulse, static_cast<float>(out.chooseImpulse));
  if (out.save) {
    saveDocument();
    showMessage(out.savedText, 1);
  }
  return true;
}
