// The factory document through the plug-in's own loader: every preset builds its
// rig with code 0 and writes back the positions it was read from. (The test
// resource set has only the impulse with id 2; the loader skips the other cabs.)
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
  }
}
