// Presets into rigs and back: writing a rig and loading it again is a fixed point
// and sounds the same; every malformed preset is refused with its code while the
// rig that was playing keeps playing.
#include <gtest/gtest.h>

#include <functional>

#include "data/loadcodes.hpp"
#include "data/skinimages.hpp"
#include "loadsavefixture.hpp"

using namespace lsfix;

namespace {

// A preset object loaded into a fresh engine with the factory read.
std::unique_ptr<qvengine> engineWithPreset(const TempDir& dir, const qvjsonnode& preset, int& code,
                                           bool withVolumes = false) {
  auto e = engineIn(dir);
  EXPECT_EQ(e->loadDocument(true), 0);
  qvjsoncursor n;
  n.setRoot(preset);
  code = e->loadPreset(n, -1, withVolumes);
  return e;
}

qvjsonnode factoryPreset(int index) {
  TempDir dir;
  auto e = engineIn(dir);
  EXPECT_EQ(e->loadDocument(true), 0);
  return e->data.presets[index]->node.root();
}

qvjsonnode written(qvengine& e) {
  qvjsoncursor n;
  e.writePresetNode("rig", false, -1, n);
  return n.root();
}

}  // namespace

TEST(PresetIo, WriteLoadWriteIsAFixedPointAndSoundsTheSame) {
  TempDir dir;
  // Rigs of three kinds: definitions with pedals and a cab, full blocks with two
  // cabs, and the definition rig turned into full amplifier blocks.
  std::vector<qvjsonnode> presets = {factoryPreset(kLayeredOD), factoryPreset(kFullClean),
                                     factoryPreset(0)};
  {
    int code = -1;
    auto e = engineWithPreset(dir, presets[0], code);
    ASSERT_EQ(code, 0);
    e->chain.ampSlot.dataind = -1;  // the amplifier now carries its own blocks
    presets.push_back(written(*e));
  }
  for (size_t p = 0; p < presets.size(); ++p) {
    SCOPED_TRACE(p);
    int code = -1;
    auto first = engineWithPreset(dir, presets[p], code);
    ASSERT_EQ(code, 0);
    const qvjsonnode once = written(*first);
    auto second = engineWithPreset(dir, once, code);
    ASSERT_EQ(code, 0);
    const qvjsonnode twice = written(*second);
    EXPECT_EQ(writeJsonText(once), writeJsonText(twice));
    EXPECT_GT(first->chain.units.count(), 0u);
    EXPECT_EQ(render(*first), render(*second));
  }
}

TEST(PresetIo, DefinitionRigHasPedalsAroundTheAmplifierAndItsLook) {
  TempDir dir;
  int code = -1;
  auto e = engineWithPreset(dir, factoryPreset(kLayeredOD), code);
  ASSERT_EQ(code, 0);
  // Sharp Drive (before), Seventy Eight, Compa (after).
  std::vector<int> groups, types;
  for (uint32_t u = 0; u < e->chain.units.count(); ++u) {
    groups.push_back(e->chain.units[u]->blockgroup);
    types.push_back(e->chain.units[u]->blocktype());
  }
  EXPECT_EQ(groups, (std::vector<int>{1, 1, 1, 0, 0, 0, 0, 0, 2}));
  EXPECT_EQ(types, (std::vector<int>{1, 7, 6, 1, 7, 2, 7, 9, 4}));
  // The amplifier's look and brackets are the definition's, not the preset's.
  EXPECT_EQ(e->chain.ampSlot.bgimg, 69);
  EXPECT_EQ(e->chain.ampSlot.logoimg, 95);
  EXPECT_EQ(e->chain.ampSlot.knobprof, 2);
  EXPECT_EQ(e->chain.ampSlot.brackets, (std::vector<int32_t>{1, 4}));
  EXPECT_EQ(e->chain.pedalSlots[0]->bgimg, 69 + 12);
  EXPECT_EQ(e->chain.sections, (std::vector<int32_t>{1, 2, 4, 7}));
  EXPECT_EQ(e->chain.cabBlocks.count(), 1u);
  EXPECT_EQ(e->data.currentPresetName, "Layered OD");
}

TEST(PresetIo, MendsSkinNumbersAndDropsUnknownPedals) {
  using Engine = const qvengine&;
  struct Row {
    const char* member;
    qvjsonnode value;
    int (*read)(Engine);
    int expected;
  };
  auto bg = [](Engine e) { return int(e.chain.ampSlot.bgimg); };
  auto logo = [](Engine e) { return int(e.chain.ampSlot.logoimg); };
  const Row rows[] = {
      {"bgimg", -5, bg, 24}, {"bgimg", 0, bg, 69}, {"bgimg", 49, bg, 24},  // past the list: image 24
      {"bgimg", 25, bg, 24},                                                // into the logos
      {"logoimg", 24, logo, 118}, {"logoimg", 25, logo, 119}, {"logoimg", 26, logo, -1}, {"logoimg", -1, logo, -1},
      {"knobprof", kHighestImage + 1, [](Engine e) { return int(e.chain.ampSlot.knobprof); }, 1},
      {"dataind", 28, [](Engine e) { return int(e.chain.ampSlot.dataind); }, -1},  // full blocks
      {"currentconvblock", 9, [](Engine e) { return int(e.data.currentCabBlock); }, 1},  // the last cab
      {"active", false, [](Engine e) { return int(e.chain.units[0]->bypassed); }, 1},
      {"name", "", [](Engine e) { return int(e.data.currentPresetName == "X"); }, 1},
      {"slots", qvjsonnode::array({slotEntry(40, true, 1)}),
       [](Engine e) { return int(e.chain.pedalSlots.count()); }, 0},  // unknown pedal dropped
  };
  TempDir dir;
  for (const Row& row : rows) {
    qvjsonnode p = factoryPreset(kFullClean);
    p["slots"] = qvjsonnode::array();
    p[row.member] = row.value;
    int code = -1;
    auto e = engineWithPreset(dir, p, code);
    ASSERT_EQ(code, 0) << row.member;
    EXPECT_EQ(row.read(*e), row.expected) << row.member << " " << row.value.dump();
  }
  // A record beyond the unit's table is dropped; a short unit keeps its defaults.
  qvjsonnode p = factoryPreset(kFullClean);
  p["slots"] = qvjsonnode::array();
  qvjsonnode& pars = p["blocks"][0]["pars"];  // Filter: 5 records
  pars[1]["pind"] = 12;
  pars.erase(pars.size() - 1);
  int code = -1;
  auto e = engineWithPreset(dir, p, code);
  ASSERT_EQ(code, 0);
  const qvutil& filter = *e->chain.units[0];
  ASSERT_EQ(filter.params.count(), 5u);
  EXPECT_EQ(filter.records[1]->nametag, "Cutoff");  // the table's record stayed
  EXPECT_EQ(filter.params[4]->xi, 1);               // Filter Ord at its default
}

TEST(PresetIo, VolumesAndGateOnlyWhenAsked) {
  TempDir dir;
  qvjsonnode p = factoryPreset(kLayeredOD);
  p["vol"] = 0.25;
  int code = -1;
  auto without = engineWithPreset(dir, p, code, false);
  ASSERT_EQ(code, 0);
  EXPECT_FLOAT_EQ(without->state.settings[0]->fpos, 0.5f);
  auto with = engineWithPreset(dir, p, code, true);
  ASSERT_EQ(code, 0);
  EXPECT_FLOAT_EQ(with->state.settings[0]->fpos, 0.25f);
  // Setting 10 keeps the global gate unless the load carries volumes.
  auto e = engineIn(dir);
  ASSERT_EQ(e->loadDocument(true), 0);
  e->state.settings[kSetGlobalGate]->setNormalized(1.0f);
  const float before = e->chain.gate->params[0]->fpos;
  qvjsoncursor n;
  n.setRoot(p);
  ASSERT_EQ(e->loadPreset(n, -1, false), 0);
  EXPECT_EQ(e->chain.gate->params[0]->fpos, before);
  ASSERT_EQ(e->loadPreset(n, -1, true), 0);
  EXPECT_FLOAT_EQ(e->chain.gate->params[0]->fpos, 0.1f);
}

// Malformed presets at every stage of the reader (head, slots, cabs, gate, short
// and full blocks, records), each refused with its code; after each the playing
// rig is unchanged and sounds as its untouched twin. (The chunk fuzz target
// throws arbitrary text at the same reader.)
TEST(PresetIo, MalformedPresetsAreRefusedAndTheRigPlaysOn) {
  using Change = std::function<void(qvjsonnode&)>;
  struct Row {
    int code;
    bool full;  // break the preset with full blocks (else the one on definitions)
    Change change;
  };
  auto amp = [](qvjsonnode& j) -> qvjsonnode& {  // first amplifier block
    for (auto& b : j["blocks"])
      if (b["blockgroup"] == 0) return b;
    return j["blocks"][0];
  };
  auto erase = [](const char* key) { return [key](qvjsonnode& j) { j.erase(key); }; };
  auto eraseRecord = [amp](const char* key) {
    return [amp, key](qvjsonnode& j) { amp(j)["pars"][1].erase(key); };
  };
  std::vector<Row> rows = {
      {kPresetNotObject, false, [](qvjsonnode& j) { j = qvjsonnode::array({1, 2}); }},
      {kPresetNotObject, false, [](qvjsonnode& j) { j = qvjsonnode::object(); }},
      {kPresetNoVersion, false, erase("version")},
      {kPresetNoName, false, erase("name")},
      {kPresetNoDataind, false, erase("dataind")},
      {kPresetNoSlots, false, erase("slots")},
      {kPresetNoSlot, false, [](qvjsonnode& j) { j["slots"][0] = 5; }},
      {kPresetNoSlotDataind, false, [](qvjsonnode& j) { j["slots"][1].erase("dataind"); }},
      {kPresetNoBrackets, false, erase("brackets")},
      {kPresetNoFullBlocks, true, erase("blocks")},
      {kPresetNoConvBlocks, false, erase("convblocks")},
      {kPresetNoConvBlock, false, [](qvjsonnode& j) { j["convblocks"][0] = 5; }},
      {kPresetNoSourceUid, false, [](qvjsonnode& j) { j["convblocks"][0].erase("sourceuid"); }},
      {kPresetTooManyConvPars, false,
       [](qvjsonnode& j) { j["convblocks"][0]["pars"].push_back(qvjsonnode{{"fpos", 1}}); }},
      {kPresetNoConvFpos, false, [](qvjsonnode& j) { j["convblocks"][0]["pars"][3].erase("fpos"); }},
      {kPresetNoFlexBlocks, false, erase("flexblocks")},
      {kPresetNoFlexBlock, false, [](qvjsonnode& j) { j["flexblocks"] = qvjsonnode::array(); }},
      {kPresetTooManyGatePars, false,
       [](qvjsonnode& j) { j["flexblocks"][0]["pars"].push_back(qvjsonnode::object()); }},
      {kPresetNoGateFpos, false, [](qvjsonnode& j) { j["flexblocks"][0]["pars"][2].erase("fpos"); }},
      {kPresetNoOverlayBlocks, false, erase("blocks")},
      {kOverlayNoBlock, false, [](qvjsonnode& j) { j["blocks"][0] = 5; }},
      {kOverlayNoSblock, false, [](qvjsonnode& j) { j["blocks"][0].erase("sblock"); }},
      {kOverlayBadBlockgroup, false, [](qvjsonnode& j) { j["blocks"][0]["blockgroup"] = -1; }},
      {kOverlayNoPar, false, [](qvjsonnode& j) { j["blocks"][0]["pars"] = qvjsonnode::array(); }},
      {kFullNoBlock, true, [](qvjsonnode& j) { j["blocks"][0] = 5; }},
      {kFullNoSblock, true, [amp](qvjsonnode& j) { amp(j).erase("sblock"); }},
      {kFullBadBlockgroup, true, [amp](qvjsonnode& j) { amp(j)["blockgroup"] = -2; }},
      {kFullNoUnit, true, [amp](qvjsonnode& j) { amp(j)["sblock"] = 77; }},
      {kFullNoPar, true, [amp](qvjsonnode& j) { amp(j)["pars"][0] = 1; }},
  };
  const char* recordMembers[] = {"defa", "type", "setvis", "nametag", "fpos"};
  const int recordCodes[] = {kFullNoDefa, kFullNoType, kFullNoSetvis, kFullNoNametag, kFullNoFpos};
  for (size_t k = 0; k < std::size(recordMembers); ++k)
    rows.push_back({recordCodes[k], true, eraseRecord(recordMembers[k])});

  TempDir dir;
  // The good presets: the definition rig as written, and the same with full
  // amplifier blocks; both with pedals, a cab and the gate.
  int code = -1;
  auto base = engineWithPreset(dir, factoryPreset(kLayeredOD), code);
  ASSERT_EQ(code, 0);
  const qvjsonnode onDefinitions = written(*base);
  base->chain.ampSlot.dataind = -1;
  const qvjsonnode withFull = written(*base);

  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    qvjsonnode broken = row.full ? withFull : onDefinitions;
    row.change(broken);
    auto e = engineWithPreset(dir, factoryPreset(kFullClean), code);
    ASSERT_EQ(code, 0);
    auto twin = engineWithPreset(dir, factoryPreset(kFullClean), code);
    ASSERT_EQ(code, 0);
    render(*e);
    render(*twin);
    const std::string before = rigText(*e);
    qvjsoncursor n;
    n.setRoot(broken);
    EXPECT_EQ(e->loadPreset(n, -1, true), row.code);
    EXPECT_EQ(rigText(*e), before);
    EXPECT_EQ(render(*e), render(*twin));
  }

  // A definition that is empty.
  auto e = engineIn(dir);
  ASSERT_EQ(e->loadDocument(true), 0);
  e->data.pedalData[1]->node.clearRoot();
  EXPECT_EQ(e->loadPreset(e->data.presets[kLayeredOD]->node, -1, false), kDefinitionEmpty);
  EXPECT_EQ(e->chain.units.count(), 0u);
}

TEST(PresetIo, HostChunkRestoresTheRigWithVolumes) {
  TempDir dir;
  int code = -1;
  auto a = engineWithPreset(dir, factoryPreset(kLayeredOD), code);
  ASSERT_EQ(code, 0);
  a->state.settings[kSetOutputLevel]->setNormalized(0.3f);
  a->settingChanged(kSetOutputLevel);
  a->buildChunk();
  const qvstring chunk = a->data.chunkText;

  auto b = engineIn(dir);
  ASSERT_EQ(b->loadDocument(true), 0);
  b->data.chunkText = chunk;
  b->applyChunk();
  EXPECT_EQ(b->state.rigReady.load(), 1);
  EXPECT_FLOAT_EQ(b->state.settings[kSetOutputLevel]->fpos, 0.3f);
  b->buildChunk();
  EXPECT_EQ(b->data.chunkText, chunk);
  EXPECT_EQ(render(*a), render(*b));
  EXPECT_TRUE(drainMessages(*b).empty());

  // A chunk that does not read reports its failure and keeps the rig, even after
  // a good chunk was read before.
  b->data.chunkText = "{\"version\":1,\"name\":\"cut off";
  b->applyChunk();
  EXPECT_EQ(drainMessages(*b), std::vector<std::string>{"2:Warning: loadpreset failed ~ 3508"});
  b->buildChunk();
  EXPECT_EQ(b->data.chunkText, chunk);
}
