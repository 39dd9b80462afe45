// Presets into rigs and back: writing a rig and loading it again is a fixed point
// and sounds the same; every malformed preset is refused with its code while the
// rig that was playing keeps playing.
#include <gtest/gtest.h>

#include <functional>

#include "data/loadcodes.hpp"
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
  struct Row {
    const char* what;
    std::function<void(qvjsonnode&)> change;
    std::function<void(const qvengine&)> check;
  };
  const std::vector<Row> rows = {
      {"bgimg -5 is image 24", [](qvjsonnode& j) { j["bgimg"] = -5; },
       [](const qvengine& e) { EXPECT_EQ(e.chain.ampSlot.bgimg, 24); }},
      {"bgimg 0 is the first background", [](qvjsonnode& j) { j["bgimg"] = 0; },
       [](const qvengine& e) { EXPECT_EQ(e.chain.ampSlot.bgimg, 69); }},
      {"bgimg past the list is image 24", [](qvjsonnode& j) { j["bgimg"] = 49; },
       [](const qvengine& e) { EXPECT_EQ(e.chain.ampSlot.bgimg, 24); }},
      {"logo 24 is the next to last image", [](qvjsonnode& j) { j["logoimg"] = 24; },
       [](const qvengine& e) { EXPECT_EQ(e.chain.ampSlot.logoimg, 118); }},
      {"logo 25 is the last image", [](qvjsonnode& j) { j["logoimg"] = 25; },
       [](const qvengine& e) { EXPECT_EQ(e.chain.ampSlot.logoimg, 119); }},
      {"logo past the list is none", [](qvjsonnode& j) { j["logoimg"] = 26; },
       [](const qvengine& e) { EXPECT_EQ(e.chain.ampSlot.logoimg, -1); }},
      {"bgimg into the logos is image 24", [](qvjsonnode& j) { j["bgimg"] = 25; },
       [](const qvengine& e) { EXPECT_EQ(e.chain.ampSlot.bgimg, 24); }},
      {"logo -1 stays none", [](qvjsonnode& j) { j["logoimg"] = -1; },
       [](const qvengine& e) { EXPECT_EQ(e.chain.ampSlot.logoimg, -1); }},
      {"knob profile past the list is 1", [](qvjsonnode& j) { j["knobprof"] = 118; },
       [](const qvengine& e) { EXPECT_EQ(e.chain.ampSlot.knobprof, 1); }},
      {"slot with dataind 40 is dropped",
       [](qvjsonnode& j) { j["slots"].push_back(slotEntry(40, true, 1)); },
       [](const qvengine& e) { EXPECT_EQ(e.chain.pedalSlots.count(), 0u); }},
      {"dataind beyond the definitions means full blocks", [](qvjsonnode& j) { j["dataind"] = 28; },
       [](const qvengine& e) { EXPECT_EQ(e.chain.ampSlot.dataind, -1); }},
      {"currentconvblock lowered to the last cab", [](qvjsonnode& j) { j["currentconvblock"] = 9; },
       [](const qvengine& e) { EXPECT_EQ(e.data.currentCabBlock, 1); }},
      {"an inactive amplifier is bypassed", [](qvjsonnode& j) { j["active"] = false; },
       [](const qvengine& e) { EXPECT_TRUE(e.chain.units[0]->bypassed); }},
      {"empty name reads as X", [](qvjsonnode& j) { j["name"] = ""; },
       [](const qvengine& e) { EXPECT_EQ(e.data.currentPresetName, "X"); }},
      {"a record beyond the unit's table is dropped, a short unit keeps its defaults",
       [](qvjsonnode& j) {
         qvjsonnode& pars = j["blocks"][0]["pars"];  // Filter: 5 records
         pars[1]["pind"] = 12;
         pars.erase(pars.size() - 1);
       },
       [](const qvengine& e) {
         const qvutil& filter = *e.chain.units[0];
         ASSERT_EQ(filter.records.count(), 5u);
         ASSERT_EQ(filter.params.count(), 5u);
         EXPECT_EQ(filter.records[1]->nametag, "Cutoff");  // the table's record stayed
         EXPECT_EQ(filter.params[4]->xi, 1);               // Filter Ord at its default
       }},
  };
  TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    qvjsonnode p = factoryPreset(kFullClean);
    p["slots"] = qvjsonnode::array();
    row.change(p);
    int code = -1;
    auto e = engineWithPreset(dir, p, code);
    ASSERT_EQ(code, 0);
    row.check(*e);
  }
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

TEST(PresetIo, DefinitionIntoASlotOfTheLiveRig) {
  TempDir dir;
  int code = -1;
  auto e = engineWithPreset(dir, factoryPreset(kLayeredOD), code);
  ASSERT_EQ(code, 0);
  const uint32_t before = e->chain.units.count();
  EXPECT_EQ(e->loadPreset(e->data.pedalData[1]->node, 2, false), 0);
  EXPECT_EQ(e->chain.units.count(), before + 1);
  EXPECT_EQ(e->chain.units[before]->blockgroup, 2);
  qvjsoncursor empty;
  EXPECT_EQ(e->loadPreset(empty, 1, false), kDefinitionEmpty);
  EXPECT_EQ(e->chain.units.count(), before + 1);
}

// Every code a preset can fail with, each from one broken member of a good
// preset. After each the playing rig is unchanged and sounds as its untouched twin.
TEST(PresetIo, EveryReaderCodeLeavesTheRigPlaying) {
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
  const std::vector<Row> rows = {
      {kPresetNotObject, false, [](qvjsonnode& j) { j = qvjsonnode::array({1, 2}); }},
      {kPresetNotObject, false, [](qvjsonnode& j) { j = qvjsonnode::object(); }},
      {kPresetNoVersion, false, erase("version")},
      {kPresetNoName, false, erase("name")},
      {kPresetNoUser, false, erase("user")},
      {kPresetNoCurrentConv, false, erase("currentconvblock")},
      {kPresetNoDataind, false, erase("dataind")},
      {kPresetNoActive, false, erase("active")},
      {kPresetNoSlots, false, erase("slots")},
      {kPresetNoSlot, false, [](qvjsonnode& j) { j["slots"][0] = 5; }},
      {kPresetNoSlotDataind, false, [](qvjsonnode& j) { j["slots"][1].erase("dataind"); }},
      {kPresetNoSlotActive, false, [](qvjsonnode& j) { j["slots"][0].erase("active"); }},
      {kPresetNoSlotPosition, false, [](qvjsonnode& j) { j["slots"][0].erase("positioncode"); }},
      {kPresetNoBrackets, false, erase("brackets")},
      {kPresetNoFullBlocks, true, erase("blocks")},
      {kPresetNoConvBlocks, false, erase("convblocks")},
      {kPresetNoConvBlock, false, [](qvjsonnode& j) { j["convblocks"][0] = 5; }},
      {kPresetNoSourceUid, false, [](qvjsonnode& j) { j["convblocks"][0].erase("sourceuid"); }},
      {kPresetNoConvPars, false, [](qvjsonnode& j) { j["convblocks"][0].erase("pars"); }},
      {kPresetTooManyConvPars, false,
       [](qvjsonnode& j) { j["convblocks"][0]["pars"].push_back(qvjsonnode{{"fpos", 1}}); }},
      {kPresetNoConvPar, false, [](qvjsonnode& j) { j["convblocks"][0]["pars"][2] = 7; }},
      {kPresetNoConvFpos, false, [](qvjsonnode& j) { j["convblocks"][0]["pars"][3].erase("fpos"); }},
      {kPresetNoFlexBlocks, false, erase("flexblocks")},
      {kPresetNoFlexBlock, false, [](qvjsonnode& j) { j["flexblocks"] = qvjsonnode::array(); }},
      {kPresetNoGatePars, false, [](qvjsonnode& j) { j["flexblocks"][0].erase("pars"); }},
      {kPresetTooManyGatePars, false,
       [](qvjsonnode& j) { j["flexblocks"][0]["pars"].push_back(qvjsonnode::object()); }},
      {kPresetNoGatePar, false, [](qvjsonnode& j) { j["flexblocks"][0]["pars"][1] = 3; }},
      {kPresetNoGateFpos, false, [](qvjsonnode& j) { j["flexblocks"][0]["pars"][2].erase("fpos"); }},
      {kPresetNoOverlayBlocks, false, erase("blocks")},
      {kOverlayNoBlock, false, [](qvjsonnode& j) { j["blocks"][0] = 5; }},
      {kOverlayNoSblock, false, [](qvjsonnode& j) { j["blocks"][0].erase("sblock"); }},
      {kOverlayNoBlockgroup, false, [](qvjsonnode& j) { j["blocks"][0].erase("blockgroup"); }},
      {kOverlayBadBlockgroup, false, [](qvjsonnode& j) { j["blocks"][0]["blockgroup"] = -1; }},
      {kOverlayNoPars, false, [](qvjsonnode& j) { j["blocks"][0].erase("pars"); }},
      {kOverlayNoPar, false, [](qvjsonnode& j) { j["blocks"][0]["pars"] = qvjsonnode::array(); }},
      {kFullNoBlock, true, [](qvjsonnode& j) { j["blocks"][0] = 5; }},
      {kFullNoSblock, true, [amp](qvjsonnode& j) { amp(j).erase("sblock"); }},
      {kFullNoBlockgroup, true, [amp](qvjsonnode& j) { amp(j).erase("blockgroup"); }},
      {kFullBadBlockgroup, true, [amp](qvjsonnode& j) { amp(j)["blockgroup"] = -2; }},
      {kFullNoUnit, true, [amp](qvjsonnode& j) { amp(j)["sblock"] = 77; }},
      {kFullNoPars, true, [amp](qvjsonnode& j) { amp(j).erase("pars"); }},
      {kFullNoPar, true, [amp](qvjsonnode& j) { amp(j)["pars"][0] = 1; }},
      {kFullNoDefa, true, eraseRecord("defa")},
      {kFullNoPind, true, eraseRecord("pind")},
      {kFullNoType, true, eraseRecord("type")},
      {kFullNoXscale, true, eraseRecord("xscale")},
      {kFullNoXlow, true, eraseRecord("xlow")},
      {kFullNoUscale, true, eraseRecord("uscale")},
      {kFullNoUlow, true, eraseRecord("ulow")},
      {kFullNoSetvis, true, eraseRecord("setvis")},
      {kFullNoNametag, true, eraseRecord("nametag")},
      {kFullNoPosmode, true, eraseRecord("posmode")},
      {kFullNoPosx, true, eraseRecord("posx")},
      {kFullNoPosy, true, eraseRecord("posy")},
      {kFullNoFpos, true, eraseRecord("fpos")},
  };

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
