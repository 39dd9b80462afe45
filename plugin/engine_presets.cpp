// Preset objects into the live rig and back: loadPreset, writePresetNode and the
// host chunk. A load reads the whole object into a draft first and changes the
// playing rig only once nothing can fail any more.
#include <memory>
#include <mutex>
#include <string>

#include "data/loadcodes.hpp"
#include "data/skinimages.hpp"
#include "plugin/qvengine.hpp"
#include "plugin/rigread.hpp"
#include "units/unitfactory.hpp"

namespace {

// A cab block of the preset whose impulse is in the catalogue, created once the
// load is known to succeed.
struct cabplan {
  int32_t impulse = -1;   // catalogue index
  qvpositions positions;  // visible records' positions
};

std::vector<bool> visibleRecords(const qvlist<qvparamrecord>& records) {
  std::vector<bool> v(records.count());
  for (uint32_t k = 0; k < v.size(); ++k) v[k] = records[k]->setvis;
  return v;
}

std::vector<bool> visibleInTable(int blocktype) {
  std::vector<bool> v;
  for (const qvparamspec& s : paramTable(blocktype)) v.push_back(s.vis);
  return v;
}

int readPedalSlots(qvjsoncursor& c, qvdatamodel& data, const qvprocstate& state, qvrigdraft& d) {
  if (!c.enter("slots")) return kPresetNoSlots;
  const uint32_t n = c.count();
  int code = kLoadOk;
  for (uint32_t i = 0; i < n && code == kLoadOk; ++i) {
    if (!c.enterAt(i)) {
      code = kPresetNoSlot;
      break;
    }
    auto slot = std::make_unique<qvslot>();
    if (!c.getInt("dataind", slot->dataind)) code = kPresetNoSlotDataind;
    else if (!c.getBool("active", slot->active)) code = kPresetNoSlotActive;
    else if (!c.getInt("positioncode", slot->positioncode)) code = kPresetNoSlotPosition;
    c.close();
    if (code != kLoadOk) break;
    if (slot->dataind < 0 || static_cast<uint32_t>(slot->dataind) >= data.pedalData.count())
      continue;  // a pedal this factory does not have
    slot->enableantialias = true;
    qvdatarecord& def = *data.pedalData[static_cast<uint32_t>(slot->dataind)];
    const int32_t link = static_cast<int32_t>(d.pedalSlots.append(std::move(slot))) + 1;
    code = readDefinition(def.node, *d.pedalSlots[link - 1], link, state, d.units);
  }
  c.close();
  return code;
}

int readCabPlans(qvjsoncursor& c, const qvdatamodel& data, std::vector<cabplan>& plans) {
  if (!c.enter("convblocks")) return kPresetNoConvBlocks;
  static const qvposcodes kCodes{kPresetNoConvPars, kPresetTooManyConvPars, kPresetNoConvPar,
                                 kPresetNoConvFpos};
  const std::vector<bool> visible = visibleInTable(kBlockCabSim);
  const uint32_t n = c.count();
  int code = kLoadOk;
  for (uint32_t i = 0; i < n && code == kLoadOk; ++i) {
    if (!c.enterAt(i)) {
      code = kPresetNoConvBlock;
      break;
    }
    int32_t uid = 0;
    if (!c.getInt("sourceuid", uid)) {
      code = kPresetNoSourceUid;
    } else if (const int32_t index = findImpulseByUid(data.impulses, uid); index >= 0) {
      cabplan plan;
      plan.impulse = index;
      code = readVisiblePositions(c, visible, kCodes, plan.positions);
      if (code == kLoadOk) plans.push_back(std::move(plan));
    }
    c.close();
  }
  c.close();
  return code;
}

int readGate(qvjsoncursor& c, const qvutil& gate, bool apply, qvpositions& out) {
  if (!c.enter("flexblocks")) return kPresetNoFlexBlocks;
  int code = kLoadOk;
  if (!c.enterAt(0)) {
    code = kPresetNoFlexBlock;
  } else {
    static const qvposcodes kCodes{kPresetNoGatePars, kPresetTooManyGatePars, kPresetNoGatePar,
                                   kPresetNoGateFpos};
    if (apply) code = readVisiblePositions(c, visibleRecords(gate.records), kCodes, out);
    c.close();
  }
  c.close();
  return code;
}

}  // namespace

int qvengine::loadPreset(qvjsoncursor& node, int target, bool withVolumes) {
  qvcursorrewind guard(node);
  qvjsoncursor& c = node;
  if (!c.currentIsObject() || c.count() == 0) {
    // Slots only ever take definitions.
    return target >= 0 && c.currentIsObject() ? kDefinitionEmpty : kPresetNotObject;
  }

  if (target >= 0) {
    // A definition into the amplifier slot or pedal slot `target` of the live rig.
    qvslot* live = target == 0 ? &chain.ampSlot
                   : static_cast<uint32_t>(target) <= chain.pedalSlots.count()
                       ? chain.pedalSlots[static_cast<uint32_t>(target) - 1]
                       : nullptr;
    if (!live) return kPresetNotObject;
    qvslot look = *live;
    qvlist<qvutil> units;
    int code = readSlotLook(c, look);
    if (code == kLoadOk) code = readFullBlocks(c, state, target, units);
    if (code != kLoadOk) return code;
    *live = std::move(look);
    while (!units.empty()) chain.units.append(units.remove(0));
    if (data.currentCabBlock >= static_cast<int32_t>(chain.cabBlocks.count()))
      data.currentCabBlock = static_cast<int32_t>(chain.cabBlocks.count()) - 1;
    chain.updateGains();
    return kLoadOk;
  }

  // ---- the whole preset, read into a draft ----
  qvstring name;
  int32_t currentconv = -1, dataind = -1;
  bool active = true;
  if (!c.has("version")) return kPresetNoVersion;
  if (!c.getString("name", name)) return kPresetNoName;
  if (name.empty()) name.assign(1, 'X');  // assign, not = "X": GCC 12 warns falsely (-Wrestrict)
  if (!c.has("user")) return kPresetNoUser;
  if (!c.getInt("currentconvblock", currentconv)) return kPresetNoCurrentConv;
  if (!c.getInt("dataind", dataind)) return kPresetNoDataind;
  if (!c.getBool("active", active)) return kPresetNoActive;

  qvrigdraft d;
  d.ampSlot = chain.ampSlot;  // skin members a preset leaves out keep their values
  d.ampSlot.active = active;
  c.getInt("presethinter", d.ampSlot.presethinter);
  c.getInt("buttonx", d.ampSlot.buttonx);
  c.getInt("buttony", d.ampSlot.buttony);
  float vol = 0, invol = 0;
  const bool hasVol = withVolumes && c.getNumber("vol", vol);
  const bool hasInvol = withVolumes && c.getNumber("invol", invol);
  if (dataind < 0 || static_cast<uint32_t>(dataind) >= data.ampData.count()) dataind = -1;
  d.ampSlot.dataind = dataind;
  const qvaliasoptions aliasOptions = readAliasOptions(c);

  int code = readPedalSlots(c, data, state, d);
  if (code == kLoadOk) code = readSlotLook(c, d.ampSlot);
  if (code == kLoadOk) {
    code = dataind >= 0
               ? readDefinition(data.ampData[static_cast<uint32_t>(dataind)]->node, d.ampSlot, 0,
                                state, d.units)
               : readFullBlocks(c, state, 0, d.units);
  }
  std::vector<cabplan> cabs;
  if (code == kLoadOk) code = readCabPlans(c, data, cabs);
  qvpositions gatePositions;
  const bool applyGate = state.settingInt(kSetGlobalGate) == 0 || withVolumes;
  if (code == kLoadOk) code = readGate(c, *chain.gate, applyGate, gatePositions);
  if (code == kLoadOk) {
    arrangeUnits(d);
    code = overlayBlocks(c, d.units);
  }
  if (code != kLoadOk) return code;

  // ---- nothing can fail from here: the draft becomes the rig ----
  chain.clearRig();
  chain.ampSlot = std::move(d.ampSlot);
  while (!d.pedalSlots.empty()) chain.pedalSlots.append(d.pedalSlots.remove(0));
  while (!d.units.empty()) chain.units.append(d.units.remove(0));
  for (const cabplan& plan : cabs) {
    const uint32_t before = chain.cabBlocks.count();
    const bool loaded = impulseLoaderForTesting ? impulseLoaderForTesting(plan.impulse, -1)
                                                : loadImpulse(plan.impulse, -1);
    if (!loaded || chain.cabBlocks.count() != before + 1) continue;  // skipped, as a missing impulse
    qvusconv& block = *chain.cabBlocks[before];
    applyPositions(block, plan.positions);
    block.update(-1);
  }
  chain.updateCabActivity();
  if (applyGate) {
    applyPositions(*chain.gate, gatePositions);
    chain.gate->update(-1);
  }
  if (hasVol) state.settings[kSetOutputLevel]->setNormalized(vol);
  if (hasInvol) state.settings[kSetInputLevel]->setNormalized(invol);
  data.currentPresetName = name;
  // The stored selection wins over the block each impulse load selected.
  const int32_t ncabs = static_cast<int32_t>(chain.cabBlocks.count());
  data.currentCabBlock = currentconv < -1 ? -1 : currentconv >= ncabs ? ncabs - 1 : currentconv;
  chain.aliasOptions = aliasOptions;
  chain.rebuildSections();
  chain.setOversampling(state.settingInt(kSetOversampling));
  chain.updateGains();
  return kLoadOk;
}

void qvengine::writePresetNode(const qvstring& name, bool user, int32_t categoryid,
                               qvjsoncursor& w) {
  w.clearRoot();
  const qvslot& amp = chain.ampSlot;
  w.addInt("version", 1);
  w.addString("name", name);
  w.addBool("user", user);
  w.addInt("categoryid", categoryid);
  w.addInt("currentconvblock", data.currentCabBlock);
  w.addInt("dataind", amp.dataind);
  w.addBool("active", amp.active);
  w.addInt("bgimg", amp.bgimg - kFirstBackgroundImage);
  w.addInt("logoimg", amp.logoimg < 0 ? -1 : amp.logoimg - kFirstLogoImage);
  w.addInt("knobprof", amp.knobprof);
  w.addInt("presethinter", amp.presethinter);
  w.addInt("buttonx", amp.buttonx);
  w.addInt("buttony", amp.buttony);
  w.addNumber("vol", state.settings[kSetOutputLevel]->fpos);
  w.addNumber("invol", state.settings[kSetInputLevel]->fpos);
  w.openArray("brackets");
  for (int32_t b : amp.brackets) w.addInt(nullptr, b);
  w.close();
  w.openArray("slots");
  for (uint32_t k = 0; k < chain.pedalSlots.count(); ++k) {
    const qvslot& s = *chain.pedalSlots[k];
    w.openObject(nullptr);
    w.addInt("dataind", s.dataind);
    w.addBool("active", s.active);
    w.addBool("enableantialias", s.enableantialias);
    w.addInt("positioncode", s.positioncode);
    w.close();
  }
  w.close();
  w.openArray("blocks");
  for (uint32_t u = 0; u < chain.units.count(); ++u) {
    const qvutil& unit = *chain.units[u];
    w.openObject(nullptr);
    unit.serialise(w, amp.dataind == -1 && unit.blockgroup == 0);
    w.close();
  }
  w.close();
  w.openArray("convblocks");
  for (uint32_t k = 0; k < chain.cabBlocks.count(); ++k) {
    const qvusconv& block = *chain.cabBlocks[k];
    // A block whose entry has gone could not be loaded again; leave it out.
    if (block.impulse < 0 || static_cast<uint32_t>(block.impulse) >= data.impulses.count()) continue;
    w.openObject(nullptr);
    block.serialiseconv(w, data.impulses[static_cast<uint32_t>(block.impulse)]->uid);
    w.close();
  }
  w.close();
  w.openArray("flexblocks");
  w.openObject(nullptr);
  chain.gate->serialise(w, false);
  w.close();
  w.close();
  writeAliasOptions(w, chain.aliasOptions);
  w.rewind();
}

void qvengine::buildChunk() {
  const int32_t cur = data.currentPreset;
  const qvstring name = cur >= 0 && static_cast<uint32_t>(cur) < data.presets.count()
                            ? data.presets[static_cast<uint32_t>(cur)]->name
                            : qvstring();
  writePresetNode(name, true, -1, data.chunkPreset.node);
  data.chunkText.clear();
  data.chunkText.reserve(1024);
  data.chunkText = data.chunkPreset.node.text();
}

void qvengine::applyChunk() {
  {
    // Parsed here, on the host's thread: a chunk of megabytes must not hold up the
    // audio thread, which only swaps the rig in. Under the command lock, since a
    // command pending from an earlier chunk may be reading the draft.
    std::lock_guard<qvlock> hold(mailbox.commandLock());
    // A chunk that does not read must not bring back the one read before it.
    if (data.chunkDraft.parse(data.chunkText) != kDocOk) data.chunkDraft.clearRoot();
  }
  if (state.audioIdle.load(std::memory_order_acquire) == 1) {
    // No audio thread drains the mailbox: load here while the callback, should
    // one start, outputs silence.
    state.rigReady.store(0, std::memory_order_seq_cst);
    mailbox.waitForBlockEnd();
    runRigCommand(kCmdSelectPreset, -1.0f);
    state.rigReady.store(1, std::memory_order_release);
  } else {
    postCommand(kCmdSelectPreset, -1.0f);
  }
}

void qvengine::showMessage(const qvstring& text, int32_t level) { messages.post(text, level); }
