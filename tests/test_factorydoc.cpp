// The factory data document as built: the structure the loader relies on (member
// order, definitions before presets, full records in definitions, short entries
// that line up with their definitions, cab references that resolve, the impulse
// catalogue matching the generated impulses), reproducible generation, and every
// preset loading through the plug-in's own loader and writing back the positions
// it was read from. (A source the build cannot read stops the build; sound
// figures come from tools/soundreport.)
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "data/jsontext.hpp"
#include "platform/files.hpp"
#include "plugin/qvengine.hpp"
#include "tools/factorydoc/factorybuild.hpp"
#include "units/paramtables.hpp"

namespace {

std::vector<std::string> sourcePaths() {
  std::vector<std::string> out;
  std::stringstream list(CORVINA_FACTORY_SOURCES);
  for (std::string p; std::getline(list, p, '|');) out.push_back(p);
  return out;
}

const qvjsonnode& builtDocument() {
  static qvjsonnode doc = [] {
    qvstring text;
    qvjsonnode d;
    if (!readWholeFile(CORVINA_FACTORY_DOC, text) || parseDocumentText(text, d) != kDocOk)
      ADD_FAILURE() << "cannot read " << CORVINA_FACTORY_DOC;
    return d;
  }();
  return doc;
}

std::vector<std::string> memberNames(const qvjsonnode& obj) {
  std::vector<std::string> out;
  for (auto it = obj.begin(); it != obj.end(); ++it) out.push_back(it.key());
  return out;
}

std::map<int, std::string> impulseNamesByUid(const qvjsonnode& doc) {
  std::map<int, std::string> out;
  for (const auto& imp : doc["impulses"]) out[imp["uid"].get<int>()] = imp["name"].get<std::string>();
  return out;
}

constexpr size_t kAmps = 28, kPedals = 12;

}  // namespace

// The catalogue's 29 entries are the generated impulses, in the generator's order
// and under its names (two source files that must agree).
TEST(FactoryDoc, LayoutAndTheImpulseCatalogueOfTheGeneratedFiles) {
  const qvjsonnode& doc = builtDocument();
  EXPECT_EQ(memberNames(doc),
            (std::vector<std::string>{"settings", "categories", "presets", "impdatcategories", "impulses"}));
  ASSERT_EQ(doc["settings"][1].size(), 18u);
  for (int i = 0; i < 18; ++i) EXPECT_EQ(doc["settings"][1][i][0], i);
  EXPECT_EQ(doc["presets"].size(), 143u);
  std::ifstream manifest(std::string(CORVINA_IMPULSE_DIR) + "/impulses.tsv");
  ASSERT_EQ(doc["impulses"].size(), 29u);
  for (const auto& imp : doc["impulses"]) {
    EXPECT_EQ(memberNames(imp), (std::vector<std::string>{"uid", "categoryid", "file", "path", "name", "res"}));
    EXPECT_EQ(imp["res"], imp["uid"]);
    EXPECT_EQ(imp["file"], "");
    std::string res, category, file, name;
    std::getline(manifest, res, '\t');
    std::getline(manifest, category, '\t');
    std::getline(manifest, file, '\t');
    std::getline(manifest, name);
    EXPECT_EQ(imp["uid"].get<int>(), std::stoi(res));
    EXPECT_EQ(imp["categoryid"].get<int>(), std::stoi(category));
    EXPECT_EQ(imp["name"], name);
  }
}

// Definitions first (28 amplifiers, then 12 pedals), each with full records of a
// real table; amplifiers carry a cab, pedals none; every cab of every preset
// names an impulse of the catalogue. (That user presets' short entries line up
// with their definitions is checked by loading them, below.)
TEST(FactoryDoc, DefinitionsCarryFullRecords) {
  const qvjsonnode& doc = builtDocument();
  const qvjsonnode& presets = doc["presets"];
  std::map<int, std::string> impulses = impulseNamesByUid(doc);
  const std::vector<std::string> full = {"defa", "pind", "type", "xscale", "xlow", "uscale", "ulow",
                                         "setvis", "nametag", "posmode", "posx", "posy", "fpos"};
  for (size_t d = 0; d < kAmps + kPedals; ++d) {
    const qvjsonnode& p = presets[d];
    SCOPED_TRACE(p["name"].get<std::string>());
    EXPECT_EQ(p["categoryid"], d < kAmps ? 0 : 1);
    EXPECT_EQ(p["dataind"], -1);
    EXPECT_EQ(p["slots"].size(), 0u);
    for (const auto& b : p["blocks"]) {
      EXPECT_EQ(b["blockgroup"], 0);
      ASSERT_EQ(b["pars"].size(), paramTable(b["sblock"].get<int>()).size());
      for (const auto& par : b["pars"]) EXPECT_EQ(memberNames(par), full);
      if (b["sblock"] == kBlockTubeGain) {
        EXPECT_EQ(b["pars"][7]["xscale"], 8) << "the factory's 8-step tube mode";
      }
    }
    const int bg = p["bgimg"].get<int>();
    if (d < kAmps) {
      EXPECT_TRUE(bg >= 0 && bg <= 13) << bg;
      EXPECT_GE(p["convblocks"].size(), 1u);
    } else {
      EXPECT_TRUE(bg >= 14 && bg <= 24) << bg;
      EXPECT_EQ(p["logoimg"], -1);
      EXPECT_EQ(p["convblocks"].size(), 0u);
    }
  }
  for (const auto& p : presets)
    for (const auto& cab : p["convblocks"])
      EXPECT_EQ(impulses.count(cab["sourceuid"].get<int>()), 1u) << p["name"];
}

TEST(FactoryDoc, GenerationIsByteIdenticalAndRewritesItself) {
  std::string first, second;
  ASSERT_EQ(buildFactoryDocumentFromFiles(sourcePaths(), first), "");
  ASSERT_EQ(buildFactoryDocumentFromFiles(sourcePaths(), second), "");
  EXPECT_TRUE(first == second);
  qvstring built;
  ASSERT_TRUE(readWholeFile(CORVINA_FACTORY_DOC, built));
  EXPECT_TRUE(built == first) << "the built document is not what the sources give";
  // The document's own text forms: read and written back byte for byte.
  qvjsonnode tree;
  ASSERT_EQ(parseDocumentText(first, tree), kDocOk);
  EXPECT_TRUE(writeJsonText(tree) == first);
}

// Every preset builds its rig; a user-visible preset written back from the rig
// carries the same slots and block positions it was read from.
TEST(FactoryDocLoad, EveryPresetLoadsAndWritesBackItsPositions) {
  // The test resource set has only the impulse with id 2: the loader skips the other cabs.
  qvengine eng("/nonexistent/", "./corvina-save.fxda");
  ASSERT_TRUE(readWholeFile(CORVINA_FACTORY_DOC, eng.data.factoryText));
  ASSERT_EQ(eng.loadDocument(true), 0);
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
