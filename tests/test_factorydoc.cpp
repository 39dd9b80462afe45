// The factory data document as built: the structure the loader relies on (member
// order, definitions before presets, full records in definitions, short entries
// that line up with their definitions, cab references that resolve, the impulse
// catalogue matching the generated impulses), reproducible generation, and the
// build's refusal of values the units' tables do not allow. (A source the reader
// cannot parse stops the build; sound figures come from tools/factoryreport.)
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "data/jsontext.hpp"
#include "platform/files.hpp"
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
// with their definitions is checked by loading them, test_factorydoc_load.)
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

// Faults only the unit tables reveal: parameter names, ranges, hidden knobs, block indices.
TEST(FactoryDoc, BuildRejectsBadParametersWithTheirLine) {
  const std::string base =
      "setting 0 0.5\nsetting 1 0.4\nsetting 2 0\nsetting 3 0\nsetting 4 0\nsetting 5 0\n"
      "setting 6 0\nsetting 7 0\nsetting 8 0\nsetting 9 0\nsetting 10 0\nsetting 11 0\n"
      "setting 12 0\nsetting 13 0\nsetting 14 0\nsetting 15 0.1\nsetting 16 0.1\nsetting 17 0.5\n"
      "current \"P\" 0\ncategory 7 \"Clean\"\nimpcategory 1 \"C\"\nimpulse 2 1 \"imp\"\n"
      "pedaldef \"Ped\"\n  block Delay\n";
  struct Case {
    std::string text;
    const char* expected;
  };
  const Case cases[] = {
      {"ampdef \"A\"\n  block TubeGain Gian=3\n", "has no parameter 'Gian'"},
      {"ampdef \"A\"\n  block TubeGain Gain=60\n", "Gain runs 0..50, not 60"},
      {"ampdef \"A\"\n  block TubeGain Mode=9\n", "whole numbers 1..8"},
      {"ampdef \"A\"\n  block GraphicEQ Bd=3\n", "several parameters"},
      {"ampdef \"A\"\n  block Filter\n  brackets 0 2\n", "brackets must ascend"},
      {"ampdef \"A\"\n  block Filter\n  cab \"nope\"\n", "no impulse named 'nope'"},
      {"ampdef \"A\"\n  block Filter\npresets \"Clean\"\npreset \"P\"\n  amp \"A\"\n  tweak amp 0 Reso=3\n",
       "not a knob of the definition"},
      {"ampdef \"A\"\n  block Filter\npresets \"Clean\"\npreset \"P\"\n  amp \"A\"\n  tweak amp 1 Cutoff=3\n",
       "has blocks 0..0"},
      {"ampdef \"A\"\n  block Filter\npresets \"Clean\"\npreset \"P\"\n  amp \"A\"\n  pedal \"Nope\" pre\n",
       "no pedaldef named 'Nope'"},
  };
  for (const Case& c : cases) {
    fdSource src;
    std::string err = readFactorySource(base + c.text, "t.fxsrc", src);
    if (err.empty() && src.presets.empty()) {
      // A document needs its current preset; give the definition cases one.
      err = readFactorySource("presets \"Clean\"\npreset \"P\"\n  amp \"A\"\n", "u.fxsrc", src);
    }
    ASSERT_EQ(err, "") << c.text;
    err = checkFactorySource(src);
    std::string text;
    if (err.empty()) err = buildFactoryDocument(src, text);
    EXPECT_NE(err.find(c.expected), std::string::npos) << c.text << " gave '" << err << "'";
    EXPECT_NE(err.find("t.fxsrc:"), std::string::npos) << err;
  }
}
