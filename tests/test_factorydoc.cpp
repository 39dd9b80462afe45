// The factory data document: its catalogue and composition against the factory
// tables, its text forms (short and full parameter entries, valid cab
// references), reproducible generation, the source reader's errors, and sound
// sanity figures through the stand-in chain of tools/factorydoc/rigsim.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "data/jsontext.hpp"
#include "platform/files.hpp"
#include "tools/factorydoc/factorybuild.hpp"
#include "tools/factorydoc/rigsim.hpp"
#include "units/qvparam.hpp"

namespace {

struct DefinitionRow {
  const char* name;
  std::vector<int> blocks;
  std::vector<int> brackets;
  const char* cab;
};
struct PresetRow {
  const char* name;
  int categoryid;
};

// Amplifier definitions: name, block types, brackets, cab impulse.
const DefinitionRow kAmpRows[] = {
    {"Seventy Eight", {1, 1, 7, 1, 7, 2, 7, 9}, {2, 7}, "57 normal 4x12"},
    {"Adam", {1, 1, 7, 1, 7, 2, 1, 7, 9}, {2, 8}, "closed balanced 1x12"},
    {"The Standard", {1, 1, 7, 2, 1, 1, 7, 9}, {2, 7}, "closed balanced 1x12"},
    {"Fallback", {1, 1, 7, 2, 7}, {2, 5}, "57 tight normal 4x12"},
    {"Payback", {1, 2, 7, 2, 7}, {2, 5}, "big open 1x12"},
    {"Heartless", {1, 1, 7, 1, 2, 7, 9}, {2, 6}, "57 bright far 4x12"},
    {"Ocean", {2, 1, 1, 9, 2, 3, 9}, {5, 6}, "punch bright normal 4x12"},
    {"Loneman", {1, 1, 7, 6, 1, 7, 2}, {2, 6}, "big open 1x12"},
    {"Boiler", {1, 1, 7, 1, 7, 1, 2, 7, 9}, {2, 8}, "57 tight normal 4x12"},
    {"Azimuth", {1, 1, 7, 1, 1, 7, 1, 2, 7, 9}, {2, 9}, "punch bright normal 4x12"},
    {"Rhino", {1, 1, 7, 1, 1, 7, 2, 7, 9}, {2, 8}, "punch bright normal 4x12"},
    {"Tex Face", {1, 7, 1, 7, 2, 9}, {1, 4}, "classic normal 4x12"},
    {"Tex Tune", {1, 7, 2, 7, 2, 9}, {1, 4}, "closed balanced 1x12"},
    {"ValveJazz", {1, 1, 7, 1, 1, 7, 2}, {2, 6}, "closed far 1x12"},
    {"Dreamroads", {1, 2, 7, 1, 2, 7}, {2, 6}, "57 close 4x12"},
    {"Gold Crest", {1, 2, 7, 1, 7, 1, 2, 7}, {2, 8}, "punch bright normal 4x12"},
    {"SolidCore", {1, 3, 1, 3, 2, 9}, {1, 4}, "punch close 4x12"},
    {"Aura", {1, 7, 2, 7, 2, 7, 9, 9}, {1, 6}, "aura 4x12"},
    {"TeraSaur", {1, 1, 7, 1, 7, 2}, {2, 5}, "57 oa normal 4x12"},
    {"Cerberus", {1, 1, 1, 7, 1, 1, 7, 1, 1, 7, 2, 9}, {3, 10}, "punch bright normal 4x12"},
    {"Pinhead", {1, 7, 1, 7, 2}, {1, 4}, "punch normal 4x12"},
    {"Black Wolf", {1, 1, 7, 1, 1, 7, 2, 9}, {2, 6}, "heavy normal 4x12"},
    {"Shinroth", {1, 1, 7, 1, 1, 7, 1, 2, 7, 9, 9}, {2, 9}, "punch oa normal 4x12"},
    {"Rosa", {1, 7, 1, 6, 7, 1}, {1, 5}, "open normal 1x12"},
    {"Tube Kit", {1, 1, 7, 1, 1, 7, 2, 7, 9}, {2, 8}, "punch normal 4x12"},
    {"Science Fair", {1, 3, 1, 1, 3, 1, 2, 9}, {1, 5}, "aura 4x12"},
    {"Emerald", {1, 1, 7, 2, 7, 9}, {2, 5}, "57 bright far 4x12"},
    {"Utility", {0, 1, 1}, {2, 3}, "tight boosted 4x12"},
};
const DefinitionRow kPedalRows[] = {
    {"Sharp Drive", {1, 7, 6}, {1, 2}, ""},
    {"Bomber", {1, 1, 3, 6}, {2, 3}, ""},
    {"Blue OD", {1, 1, 7, 2, 1}, {2, 3}, ""},
    {"Kick Box", {1, 1, 3, 1}, {2, 3}, ""},
    {"Octa Rock", {3, 1}, {0, 1}, ""},
    {"Compa", {4}, {}, ""},
    {"AutoWah", {10, 0}, {}, ""},
    {"T-Delay", {11}, {}, ""},
    {"Para EQ", {9}, {}, ""},
    {"8 Band", {8}, {}, ""},
    {"8 Band Low", {8}, {}, ""},
    {"Classic OD Pro", {1, 3, 1, 1, 7, 6}, {1, 5}, ""},
};
const PresetRow kPresetRows[] = {
    {"Tex Compressor", 7},
    {"Sparkle", 7},
    {"Lightning Clean", 7},
    {"Single Smooth", 7},
    {"Humbucker Smooth", 7},
    {"Funky and Loud", 7},
    {"Em Clean", 7},
    {"Pedal Push", 7},
    {"Compressed Dynamcs", 7},
    {"Easy on the Wah", 7},
    {"Clean Dreams", 7},
    {"High Roller", 7},
    {"I Heart Mids", 7},
    {"Bass Heavy", 7},
    {"Clean and Blue", 7},
    {"Acoustic Style", 7},
    {"Ringing Headroom", 7},
    {"Funky Oldie", 7},
    {"High Roller Pushed", 7},
    {"Layered OD", 8},
    {"Slapback", 8},
    {"Raw Western", 8},
    {"Overloaded Clean", 8},
    {"Overloaded Jazz", 8},
    {"Pedal into Combo", 8},
    {"Thicker Than Water", 8},
    {"Sensative Amp", 8},
    {"Boiler Brightness", 8},
    {"Comp Drive Sag", 8},
    {"Blues Night", 8},
    {"Break Up Surf", 8},
    {"Anthem", 8},
    {"Big Amp Cooled", 8},
    {"Heart of Rock", 8},
    {"Black Drive", 8},
    {"Loaded Mids", 8},
    {"Glassy Crunch", 8},
    {"Crunch Rig", 8},
    {"Squashed Studio", 8},
    {"Milky Tone", 8},
    {"Cleanish Sustainer", 8},
    {"Clear Bends", 8},
    {"Easy Octave Fuzz", 8},
    {"Loose Wah", 8},
    {"Blah Wah", 8},
    {"Clean to Dirt", 8},
    {"Classic OD Gig", 8},
    {"Sonic Stacked Dirt", 8},
    {"Cyber Wah", 6},
    {"Tender Wah", 6},
    {"Vocal Tone", 6},
    {"Hyper Drive", 6},
    {"Born Metal", 6},
    {"Cutting Lead", 6},
    {"Rude Little Amp", 6},
    {"Big Cheese", 6},
    {"Garage Guitar", 6},
    {"Hazey Rock", 6},
    {"Modernized Rock", 6},
    {"Fuzzy 94", 6},
    {"Big Amp 78", 6},
    {"Treble Booster", 6},
    {"Pig Squeal", 6},
    {"Fuzz Ball", 6},
    {"No Scoops Metal", 6},
    {"Live in UK", 6},
    {"Cookin' Hot", 6},
    {"Smokin' Tubes", 6},
    {"Slow Mo Solo", 6},
    {"Monster Rock", 6},
    {"Mega Cheapie", 6},
    {"Dirt Box Engage", 6},
    {"Solid Redifined", 6},
    {"Active Metal", 3},
    {"Scooped Solid", 3},
    {"Whiplash", 3},
    {"Doomed Gain", 3},
    {"Sin Metal", 3},
    {"Black Tears", 3},
    {"Boosted Fantasy", 3},
    {"Boosted Cocked Wah", 3},
    {"Shred Voicing", 3},
    {"Mortal Fuzz", 3},
    {"Wrecking Ball", 3},
    {"Extreme Low Gain", 3},
    {"Extreme Stack", 3},
    {"Blast Engine", 3},
    {"Absolute Night", 3},
    {"Brick Wall", 3},
    {"Vintage Tone Bend", 9},
    {"Robotic", 9},
    {"The Zapper", 9},
    {"Unclear Amp", 9},
    {"Busted Integrator", 9},
    {"High Frequency Grind", 9},
    {"Bowed Harmonic", 9},
    {"Eviler Fuzz", 9},
    {"Monster Rock Crappy", 9},
    {"Effects Example A", 9},
    {"Effects Example B", 9},
    {"dUber Wah", 9},
    {"Cyber Wah Laser Mode", 9},
    {"Not Sitar", 9},
};
// 28 amps 12 pedals 103 presets

const char* const kImpulseNames[29] = {
    "big open 1x12", "closed 57 close 1x12", "closed balanced 1x12", "closed far 1x12",
    "open near room 1x12", "open normal 1x12", "open side close 1x12", "57 bright far 4x12",
    "57 close 4x12", "57 near room 4x12", "57 normal 4x12", "57 oa close 4x12",
    "57 oa normal 4x12", "57 tight normal 4x12", "aura 4x12", "back of cab 4x12",
    "classic normal 4x12", "heavy normal 4x12", "punch bright normal 4x12",
    "punch center close 4x12", "punch close 4x12", "punch normal 4x12", "punch oa close 4x12",
    "punch oa normal 4x12", "punch side far 4x12", "punch very close 4x12", "room far 4x12",
    "tight boosted 4x12", "punch cap edge 4x12"};

const char* const kFullMembers[13] = {"defa", "pind", "type", "xscale", "xlow", "uscale", "ulow",
                                      "setvis", "nametag", "posmode", "posx", "posy", "fpos"};

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

const fdSource& source() {
  static fdSource src = [] {
    fdSource s;
    std::string text;
    std::string err = buildFactoryDocumentFromFiles(sourcePaths(), text, &s);
    if (!err.empty()) ADD_FAILURE() << err;
    return s;
  }();
  return src;
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

}  // namespace

TEST(FactoryDoc, TopLevelSettingsAndCatalogues) {
  const qvjsonnode& doc = builtDocument();
  EXPECT_EQ(memberNames(doc),
            (std::vector<std::string>{"settings", "categories", "presets", "impdatcategories", "impulses"}));
  EXPECT_EQ(doc["settings"][0]["currentpreset"], "Layered OD");
  EXPECT_EQ(doc["settings"][0]["currentcategory"], 4);
  const double positions[18] = {0.5, 0.410732, 0, 0.1875, 0, 1, 0, 0, 0, 0,
                                0, 1, 0, 1, 1, 0.098389, 0.102392, 0.5};
  ASSERT_EQ(doc["settings"][1].size(), 18u);
  for (int i = 0; i < 18; ++i) {
    EXPECT_EQ(doc["settings"][1][i][0], i);
    EXPECT_NEAR(doc["settings"][1][i][1].get<double>(), positions[i], 1e-9) << "setting " << i;
  }
  std::vector<std::pair<int, std::string>> cats;
  for (const auto& c : doc["categories"]) cats.emplace_back(c["id"].get<int>(), c["name"].get<std::string>());
  EXPECT_EQ(cats, (std::vector<std::pair<int, std::string>>{{0, "*Amp"}, {1, "*Pedal"}, {2, "*Generic"},
                                                            {7, "Clean"}, {8, "Mellow"}, {6, "Aggressive"},
                                                            {3, "Extreme"}, {9, "Weird"}}));
  ASSERT_EQ(doc["impdatcategories"].size(), 2u);
  EXPECT_EQ(doc["impdatcategories"][0], (qvjsonnode{{"id", 1}, {"name", "Preset 1x12"}}));
  EXPECT_EQ(doc["impdatcategories"][1], (qvjsonnode{{"id", 2}, {"name", "Preset 4x12"}}));
  ASSERT_EQ(doc["impulses"].size(), 29u);
  for (int i = 0; i < 29; ++i) {
    const auto& imp = doc["impulses"][i];
    EXPECT_EQ(memberNames(imp), (std::vector<std::string>{"uid", "categoryid", "file", "path", "name", "res"}));
    EXPECT_EQ(imp["uid"], i + 2);
    EXPECT_EQ(imp["res"], i + 2);
    EXPECT_EQ(imp["categoryid"], i < 7 ? 1 : 2);
    EXPECT_EQ(imp["file"], "");
    EXPECT_EQ(imp["path"], "");
    EXPECT_EQ(imp["name"], kImpulseNames[i]);
  }
}

TEST(FactoryDoc, PresetNamesCategoriesAndOrder) {
  const qvjsonnode& presets = builtDocument()["presets"];
  ASSERT_EQ(presets.size(), 143u);
  size_t i = 0;
  for (const DefinitionRow& r : kAmpRows) {
    EXPECT_EQ(presets[i]["name"], r.name) << "amp definition " << i;
    EXPECT_EQ(presets[i++]["categoryid"], 0);
  }
  for (const DefinitionRow& r : kPedalRows) {
    EXPECT_EQ(presets[i]["name"], r.name) << "pedal definition " << i - 28;
    EXPECT_EQ(presets[i++]["categoryid"], 1);
  }
  for (const PresetRow& r : kPresetRows) {
    EXPECT_EQ(presets[i]["name"], r.name) << "preset " << i - 40;
    EXPECT_EQ(presets[i++]["categoryid"], r.categoryid) << r.name;
  }
  EXPECT_EQ(i, 143u);
}

TEST(FactoryDoc, DefinitionsFollowTheTables) {
  const qvjsonnode& doc = builtDocument();
  const qvjsonnode& presets = doc["presets"];
  std::map<int, std::string> impulses = impulseNamesByUid(doc);
  const std::vector<std::string> presetMembers = {
      "version", "name", "user", "categoryid", "currentconvblock", "dataind", "active",
      "bgimg", "logoimg", "knobprof", "presethinter", "buttonx", "buttony", "vol", "invol",
      "brackets", "slots", "blocks", "convblocks", "flexblocks"};
  for (size_t d = 0; d < 40; ++d) {
    const DefinitionRow& row = d < 28 ? kAmpRows[d] : kPedalRows[d - 28];
    const qvjsonnode& p = presets[d];
    SCOPED_TRACE(row.name);
    // An amplifier's anti-aliasing options follow, in the plug-in's own order.
    std::vector<std::string> members = presetMembers;
    for (const char* key : {kKeyStopband, kKeyFilterOrder, kKeyAntiderivative, kKeyStageLowpass, kKeyMinFactor})
      if (d < 28 && p.contains(key)) members.push_back(key);
    EXPECT_EQ(memberNames(p), members);
    EXPECT_EQ(p["dataind"], -1);
    EXPECT_EQ(p["slots"].size(), 0u);
    std::vector<int> blocks, brackets;
    for (const auto& b : p["blocks"]) {
      blocks.push_back(b["sblock"].get<int>());
      EXPECT_EQ(b["blockgroup"], 0);
      // Full records: every member in order, ranges of a real table.
      for (const auto& par : b["pars"]) EXPECT_EQ(memberNames(par), std::vector<std::string>(kFullMembers, kFullMembers + 13));
      if (b["sblock"] == kBlockTubeGain) {
        EXPECT_EQ(b["pars"][7]["xscale"], 8);  // the factory's 8-step tube mode
        EXPECT_EQ(b["pars"][7]["uscale"], 8);
      }
    }
    for (const auto& v : p["brackets"]) brackets.push_back(v.get<int>());
    EXPECT_EQ(blocks, row.blocks);
    EXPECT_EQ(brackets, row.brackets);
    int bg = p["bgimg"].get<int>();
    if (d < 28) {
      EXPECT_TRUE(bg >= 0 && bg <= 13) << bg;
      ASSERT_GE(p["convblocks"].size(), 1u);
      EXPECT_EQ(impulses[p["convblocks"][0]["sourceuid"].get<int>()], row.cab);
    } else {
      EXPECT_TRUE(bg >= 14 && bg <= 24) << bg;
      EXPECT_EQ(p["logoimg"], -1);
      EXPECT_EQ(p["convblocks"].size(), 0u);
    }
  }
}

// User presets: short entries that line up with the units the loader builds from
// the definitions they name ({} exactly where the definition hides a record).
TEST(FactoryDoc, UserPresetsOverlayTheirDefinitions) {
  const qvjsonnode& doc = builtDocument();
  const qvjsonnode& presets = doc["presets"];
  std::map<int, std::string> impulses = impulseNamesByUid(doc);
  for (size_t i = 40; i < presets.size(); ++i) {
    const qvjsonnode& p = presets[i];
    SCOPED_TRACE(p["name"].get<std::string>());
    int amp = p["dataind"].get<int>();
    ASSERT_TRUE(amp >= 0 && amp < 28);
    // Expected unit order: pre-amp pedals, the amp, post-amp pedals.
    std::vector<std::pair<int, const qvjsonnode*>> groups;  // (blockgroup, definition)
    bool ampPlaced = false;
    int slot = 0;
    for (const auto& s : p["slots"]) {
      ++slot;
      int ped = s["dataind"].get<int>();
      ASSERT_TRUE(ped >= 0 && ped < 12);
      EXPECT_EQ(s["enableantialias"], true);
      if (s["positioncode"] == 1 && !ampPlaced) {
        groups.emplace_back(0, &presets[amp]);
        ampPlaced = true;
      }
      EXPECT_FALSE(s["positioncode"] == 0 && ampPlaced) << "a pre-amp pedal after a post-amp one";
      groups.emplace_back(slot, &presets[28 + ped]);
    }
    if (!ampPlaced) groups.emplace_back(0, &presets[amp]);
    size_t unit = 0;
    for (const auto& [group, def] : groups) {
      for (const auto& defBlock : (*def)["blocks"]) {
        ASSERT_LT(unit, p["blocks"].size());
        const qvjsonnode& b = p["blocks"][unit++];
        EXPECT_EQ(b["sblock"], defBlock["sblock"]);
        EXPECT_EQ(b["blockgroup"], group);
        ASSERT_EQ(b["pars"].size(), defBlock["pars"].size());
        for (size_t k = 0; k < b["pars"].size(); ++k) {
          if (defBlock["pars"][k]["setvis"].get<bool>()) {
            ASSERT_TRUE(b["pars"][k].contains("fpos"));
            EXPECT_EQ(b["pars"][k].size(), 1u);
          } else {
            EXPECT_EQ(b["pars"][k], qvjsonnode::object());
          }
        }
      }
    }
    EXPECT_EQ(unit, p["blocks"].size());
    EXPECT_EQ(p["brackets"], presets[amp]["brackets"]);
    for (const auto& cab : p["convblocks"]) {
      int uid = cab["sourceuid"].get<int>();
      EXPECT_TRUE(uid >= 2 && uid <= 30 && impulses.count(uid)) << uid;
      EXPECT_EQ(cab["pars"].size(), 5u);
    }
    EXPECT_EQ(p["currentconvblock"], p["convblocks"].empty() ? -1 : 0);
    ASSERT_EQ(p["flexblocks"].size(), 1u);
    EXPECT_EQ(p["flexblocks"][0]["sblock"], kBlockGate);
  }
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

// Each bad source gives an error naming the file, the line and the fault.
TEST(FactoryDoc, SourceReaderRejectsMistakesWithTheirLine) {
  struct Case {
    const char* text;
    const char* expected;  // part of the message after "t.fxsrc:<line>: "
    int line;
  };
  const Case cases[] = {
      {"setting 18 0.5\n", "setting index must be 0..17", 1},
      {"# note\nsetting 2\n", "expected: setting", 2},
      {"category x \"A\"\n", "bad id 'x'", 1},
      {"ampdef \"A\"\n  skin 30 -1 1\n", "bgimg must be 0..24", 2},
      {"ampdef \"A\"\n  block Flanger Cutoff=3\n", "unknown block type 'Flanger'", 2},
      {"ampdef \"A\"\n  block Filter Cutoff\n", "expected Name=value", 2},
      {"ampdef \"A\"\n  brackets 1\n", "brackets come in pairs", 2},
      {"pedaldef \"A\"\n  cab \"x\"\n", "pedals have no cab", 2},
      {"preset \"A\"\n", "needs a 'presets", 1},
      {"presets \"Clean\"\npreset \"A\"\n  pedal \"X\" post\n  pedal \"Y\" pre\n", "'pre' pedals before", 4},
      {"presets \"Clean\"\npreset \"A\"\n  tweak amp 1\n", "at least one knob", 3},
      {"presets \"Clean\"\npreset \"A\"\n  vol 1.5\n", "0..1", 3},
      {"skin 1 1 1\n", "belongs inside an ampdef", 1},
      {"impulse 2 1 \"open\n", "unterminated", 1},
      {"frobnicate\n", "unknown keyword", 1},
      {"ampdef \"A\"\n  antialias order=9\n", "even, 8..16", 2},
      {"ampdef \"A\"\n  antialias antiderivative=3\n", "order must be 1 or 2", 2},
      {"ampdef \"A\"\n  antialias factor=40\n", "factor must be 2..16", 2},
      {"ampdef \"A\"\n  antialias smoothly\n", "unknown antialias option 'smoothly'", 2},
      {"pedaldef \"A\"\n  antialias stopband\n", "belongs inside an ampdef or a preset", 2},
  };
  for (const Case& c : cases) {
    fdSource src;
    std::string err = readFactorySource(c.text, "t.fxsrc", src);
    std::string where = "t.fxsrc:" + std::to_string(c.line) + ": ";
    EXPECT_EQ(err.rfind(where, 0), 0u) << c.text << " gave " << err;
    EXPECT_NE(err.find(c.expected), std::string::npos) << c.text << " gave " << err;
  }
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

// Sound sanity through the stand-in chain (no oversampling, a cabinet-like band-pass
// for each cab): finite, no clipping at the output, levels close together, and
// distortion rising with the category.
TEST(FactoryDoc, PresetsSoundSaneThroughTheStandInChain) {
  const fdSource& src = source();
  ASSERT_EQ(src.presets.size(), 103u);
  std::map<std::string, std::vector<double>> thd;
  std::vector<std::pair<double, std::string>> levels;
  for (const fdPreset& p : src.presets) {
    std::string err;
    fdSimFigures f = measurePreset(src, p, err);
    ASSERT_EQ(err, "");
    EXPECT_TRUE(f.finite) << p.name;
    EXPECT_LE(f.peak, 1.0) << p.name;
    EXPECT_GT(f.rms, 0.0) << p.name;
    thd[p.category].push_back(f.thd);
    levels.emplace_back(20 * std::log10(f.rms), p.name);
  }
  std::vector<std::pair<double, std::string>> sorted = levels;
  std::sort(sorted.begin(), sorted.end());
  double median = sorted[sorted.size() / 2].first;
  for (const auto& [db, name] : levels) EXPECT_NEAR(db, median, 9.0) << name;
  auto med = [&](const char* cat) {
    std::vector<double> v = thd[cat];
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  EXPECT_LT(med("Clean"), med("Mellow"));
  EXPECT_LT(med("Mellow"), med("Aggressive"));
  EXPECT_LT(med("Aggressive"), med("Extreme"));
}

// Presets whose names promise a pedal carry it: wahs the auto wah, the slapback a
// short single echo, the octave fuzz the rectifying Octa Rock, the compressor
// preset the Compa.
TEST(FactoryDoc, PresetNamesAndTheirPedalsAgree) {
  const qvjsonnode& presets = builtDocument()["presets"];
  auto pedalNames = [&](const qvjsonnode& p) {
    std::vector<std::string> out;
    for (const auto& s : p["slots"]) out.push_back(presets[28 + s["dataind"].get<int>()]["name"]);
    return out;
  };
  auto has = [](const std::vector<std::string>& v, const char* n) {
    return std::find(v.begin(), v.end(), n) != v.end();
  };
  int wahs = 0;
  for (size_t i = 40; i < presets.size(); ++i) {
    const std::string name = presets[i]["name"];
    std::vector<std::string> pedals = pedalNames(presets[i]);
    if (name.find("Wah") != std::string::npos) {
      EXPECT_TRUE(has(pedals, "AutoWah")) << name;
      ++wahs;
    }
    if (name == "Easy Octave Fuzz") {
      EXPECT_TRUE(has(pedals, "Octa Rock"));
    }
    if (name == "Tex Compressor") {
      EXPECT_TRUE(has(pedals, "Compa"));
    }
    if (name == "Slapback") {
      ASSERT_TRUE(has(pedals, "T-Delay"));
      // The delay's own block: its "Delay" knob (exponential, 0.001 s + 3 s of travel).
      for (const auto& b : presets[i]["blocks"])
        if (b["sblock"] == kBlockDelay) {
          float seconds = expTaper(b["pars"][1]["fpos"].get<float>()) * 3.0f + 0.001f;
          EXPECT_GT(seconds, 0.06f);
          EXPECT_LT(seconds, 0.16f);
          EXPECT_LT(b["pars"][2]["fpos"].get<float>(), 0.15f) << "one repeat: little feedback";
        }
    }
  }
  EXPECT_EQ(wahs, 8);
  // The Octa Rock pedal rectifies: its clipper's Rectify sits at 1.
  EXPECT_EQ(presets[28 + 4]["blocks"][0]["pars"][5]["fpos"], 1);
}
