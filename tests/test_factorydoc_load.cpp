// The factory document through the plug-in's own loader: the catalogues it gives,
// "Amp Starters" made from the amplifier definitions, every preset building a rig
// with code 0, and a loaded preset writing back the positions it was read from.
// (Built once the loader is part of the core; the test resource set has only the
// impulse with id 2, so other cab blocks are skipped as the loader skips a cab it
// cannot load.)
#ifdef CORVINA_HAVE_LOADER
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/jsontext.hpp"
#include "platform/files.hpp"
#include "plugin/qvengine.hpp"

namespace {

void loadFactory(qvengine& eng) {
  qvstring text;
  ASSERT_TRUE(readWholeFile(CORVINA_FACTORY_DOC, text));
  eng.data.factoryText = text;
  ASSERT_EQ(eng.loadDocument(true), 0);
}

}  // namespace

TEST(FactoryDocLoad, CataloguesAndAmpStarters) {
  qvengine eng("/nonexistent/", "./corvina-save.fxda");
  loadFactory(eng);
  EXPECT_EQ(eng.data.presets.count(), 131u);
  EXPECT_EQ(eng.data.ampData.count(), 28u);
  EXPECT_EQ(eng.data.pedalData.count(), 12u);
  EXPECT_EQ(eng.data.impulses.count(), 29u);
  EXPECT_EQ(eng.data.impulseCategories.count(), 2u);
  std::vector<std::pair<std::string, int>> cats;
  for (uint32_t i = 0; i < eng.data.presetCategories.count(); ++i)
    cats.emplace_back(eng.data.presetCategories[i]->name, eng.data.presetCategories[i]->id);
  EXPECT_EQ(cats, (std::vector<std::pair<std::string, int>>{
                      {"Clean", 7}, {"Mellow", 8}, {"Aggressive", 6}, {"Extreme", 3}, {"Weird", 9},
                      {"Amp Starters", 2}}));
  uint32_t starters = 0;
  for (uint32_t i = 0; i < eng.data.presets.count(); ++i) {
    const qvpreset& p = *eng.data.presets[i];
    if (p.categoryid != 2) continue;
    ASSERT_LT(starters, eng.data.ampData.count());
    EXPECT_EQ(p.name, eng.data.ampData[starters]->name);
    ++starters;
  }
  EXPECT_EQ(starters, 28u);
  ASSERT_GE(eng.data.presetToSelect, 0);
  EXPECT_EQ(eng.data.presets[eng.data.presetToSelect]->name, "Layered OD");
}

// Every preset builds its rig; a user-visible preset written back from the rig
// carries the same slots and block positions it was read from.
TEST(FactoryDocLoad, EveryPresetLoadsAndWritesBackItsPositions) {
  qvengine eng("/nonexistent/", "./corvina-save.fxda");
  loadFactory(eng);
  for (uint32_t i = 0; i < eng.data.presets.count(); ++i) {
    qvpreset& p = *eng.data.presets[i];
    SCOPED_TRACE(p.name);
    ASSERT_EQ(eng.loadPreset(p.node, -1, false), 0);
    const qvjsonnode& stored = p.node.root();
    EXPECT_EQ(eng.chain.units.count(), stored["blocks"].size());
    if (p.categoryid == 2) continue;  // "Amp Starters" keep the definition's member order
    qvjsoncursor written;
    eng.writePresetNode(p.name, false, p.categoryid, written);
    EXPECT_EQ(writeJsonText(written.root()["blocks"]), writeJsonText(stored["blocks"]));
    EXPECT_EQ(writeJsonText(written.root()["slots"]), writeJsonText(stored["slots"]));
    EXPECT_EQ(writeJsonText(written.root()["flexblocks"]), writeJsonText(stored["flexblocks"]));
    for (const char* key : {kKeyStopband, kKeyFilterOrder, kKeyAntiderivative, kKeyStageLowpass, kKeyMinFactor})
      EXPECT_EQ(written.root().value(key, qvjsonnode()), stored.value(key, qvjsonnode())) << key;
  }
}
#endif
