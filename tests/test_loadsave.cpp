// The data documents: first run, the user document over the factory one, reading
// and saving as a fixed point, every document reader code, and save safety.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include "data/loadcodes.hpp"
#include "loadsavefixture.hpp"
#include "platform/files.hpp"

using namespace lsfix;

namespace {

std::string savePath(const TempDir& dir) { return dir.path() + "/" + kSaveName; }

void writeFile(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(writeFileAtomic(path, bytes));
}

std::string readFile(const std::string& path) {
  qvstring bytes;
  readWholeFile(path, bytes);
  return bytes;
}

std::vector<std::string> asideFiles(const TempDir& dir) {
  std::vector<std::string> out;
  for (const auto& f : std::filesystem::directory_iterator(dir.path()))
    if (f.path().filename().string().find(".bad-") != std::string::npos) out.push_back(f.path().string());
  return out;
}

std::vector<std::string> presetNames(const qvengine& e) {
  std::vector<std::string> out;
  for (uint32_t k = 0; k < e.data.presets.count(); ++k) out.push_back(e.data.presets[k]->name);
  return out;
}

}  // namespace

TEST(LoadSave, FirstRunBuildsLayeredOdAndWritesNothing) {
  // No user file, and a user file of 20 bytes, which is no document either.
  for (const char* user : {"", "{\"settings\":[1,2,3]}"}) {
    SCOPED_TRACE(user);
    TempDir dir;
    if (*user) writeFile(savePath(dir), user);
    auto e = engineIn(dir);
    e->loadSystem();
    EXPECT_TRUE(drainMessages(*e).empty());
    EXPECT_EQ(presetNames(*e), (std::vector<std::string>{"Seventy Eight", "Utility", "Full Clean", "Layered OD"}));
    EXPECT_EQ(e->data.currentPreset, kLayeredOD);
    EXPECT_EQ(e->data.currentPresetName, "Layered OD");
    ASSERT_EQ(e->data.presetCategories.count(), 3u);  // Clean, Mellow, Amp Starters
    EXPECT_EQ(e->data.presetCategories[2]->name, "Amp Starters");
    EXPECT_EQ(e->data.currentCategory, 1);  // Mellow, the preset's category
    EXPECT_EQ(e->chain.units.count(), 9u);
    EXPECT_EQ(e->chain.cabBlocks.count(), 1u);
    EXPECT_EQ(e->data.ampData.count(), 2u);
    EXPECT_EQ(e->data.pedalData.count(), 2u);
    EXPECT_EQ(e->data.impulses.count(), 2u);
    // The document's settings, with the layout switch cleared and gains following.
    EXPECT_FLOAT_EQ(e->state.settings[kSetInputLevel]->fpos, 0.410732f);
    EXPECT_FLOAT_EQ(e->state.settings[kSetLayoutSwitch]->fpos, 0.0f);
    const float s0 = e->state.setting(0), s15 = e->state.setting(15), s17 = e->state.setting(17);
    EXPECT_FLOAT_EQ(e->state.gainLeft, (1.0f - s17) * s15 * s0);
    EXPECT_EQ(readFile(savePath(dir)), std::string(user));
    EXPECT_TRUE(asideFiles(dir).empty());
  }
}

TEST(LoadSave, AmpStarterPresetIsTheDefinitionWithShortBlocks) {
  TempDir dir;
  auto e = engineIn(dir);
  ASSERT_EQ(e->loadDocument(true), 0);
  const qvjsonnode& starter = e->data.presets[0]->node.root();
  const qvjsonnode& def = e->data.ampData[0]->node.root();
  std::vector<std::string> keys;
  for (auto it = starter.begin(); it != starter.end(); ++it) keys.push_back(it.key());
  ASSERT_GE(keys.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(keys.end() - 3, keys.end()),
            (std::vector<std::string>{"dataind", "categoryid", "blocks"}));
  EXPECT_EQ(starter["dataind"], 0);
  EXPECT_EQ(starter["categoryid"], 2);
  // Each parameter entry keeps only a visible record's position.
  const qvjsonnode& pars = starter["blocks"][1]["pars"];  // Tube Gain
  const qvjsonnode& full = def["blocks"][1]["pars"];
  ASSERT_EQ(pars.size(), full.size());
  for (size_t k = 0; k < pars.size(); ++k) {
    if (full[k]["setvis"].get<bool>())
      EXPECT_EQ(writeJsonText(pars[k]), "{\"fpos\":" + writeJsonText(qvjsonnode::array({full[k]["fpos"]})).substr(1, writeJsonText(qvjsonnode::array({full[k]["fpos"]})).size() - 2) + "}");
    else
      EXPECT_TRUE(pars[k].empty());
  }
  // And it loads.
  EXPECT_EQ(e->loadPreset(e->data.presets[0]->node, -1, false), 0);
  EXPECT_EQ(e->chain.units.count(), 5u);
}

TEST(LoadSave, ReadSaveReadSaveIsAFixedPoint) {
  TempDir dir;
  auto first = engineIn(dir);
  first->loadSystem();
  // Some user state on top of the factory's.
  first->data.presetCategories[0]->name = "Cl\xe9" "an / \"quoted\"";
  first->data.currentCategory = 2;
  first->saveDocument();
  const std::string once = readFile(savePath(dir));
  ASSERT_GT(once.size(), 100u);

  auto second = engineIn(dir);
  second->loadSystem();
  EXPECT_TRUE(drainMessages(*second).empty());
  // The selection comes back with the host's chunk, not with the document.
  EXPECT_EQ(second->data.currentPreset, -1);
  second->data.currentPreset = first->data.currentPreset;
  second->saveDocument();
  EXPECT_EQ(readFile(savePath(dir)), once);
  EXPECT_EQ(presetNames(*second), presetNames(*first));
  EXPECT_EQ(second->data.presetCategories.count(), first->data.presetCategories.count());
  EXPECT_EQ(second->data.presetCategories[0]->name, first->data.presetCategories[0]->name);
  EXPECT_EQ(second->data.impulses.count(), 2u);
  EXPECT_EQ(second->data.impulseCategories.count(), 2u);
  EXPECT_EQ(second->data.currentCategory, 2);
  // A user document does not rebuild the rig.
  EXPECT_EQ(second->chain.units.count(), 0u);
}

TEST(LoadSave, UserPresetsReplaceTheFactoryOnesUnlessEmpty) {
  TempDir dir;
  qvjsonnode user = factoryDocument();
  user["presets"] = qvjsonnode::array();
  writeFile(savePath(dir), writeJsonText(user));
  auto e = engineIn(dir);
  e->loadSystem();
  EXPECT_EQ(e->data.presets.count(), 4u);

  user["presets"] = qvjsonnode::array({shortPreset("Mine", 7, 1, {})});
  writeFile(savePath(dir), writeJsonText(user));
  auto f = engineIn(dir);
  f->loadSystem();
  EXPECT_EQ(presetNames(*f), std::vector<std::string>{"Mine"});
  // Definitions come from the factory only.
  EXPECT_EQ(f->data.ampData.count(), 2u);
  EXPECT_EQ(f->data.presetCategories.count(), 3u);  // a user's id 2 is an ordinary category
}

// Every code the document reader can give, each from one broken member of the
// good factory document. The rig playing meanwhile is left alone.
TEST(LoadSave, EveryDocumentReaderCode) {
  using Change = std::function<void(qvjsonnode&)>;
  auto erase = [](const char* key) { return [key](qvjsonnode& d) { d.erase(key); }; };
  auto ampBlock = [](qvjsonnode& d) -> qvjsonnode& { return d["presets"][0]["blocks"][1]; };
  const std::vector<std::pair<int, Change>> rows = {
      {kDocNoSettings, erase("settings")},
      {kDocNoSettings0, [](qvjsonnode& d) { d["settings"] = qvjsonnode::array(); }},
      {kDocNoSettings1, [](qvjsonnode& d) { d["settings"].erase(1); }},
      {kDocNoPair, [](qvjsonnode& d) { d["settings"][1][3] = 4; }},
      {kDocNoPairIndex, [](qvjsonnode& d) { d["settings"][1][3] = qvjsonnode::array(); }},
      {kDocBadPairIndex, [](qvjsonnode& d) { d["settings"][1][3] = qvjsonnode::array({18, 0.5}); }},
      {kDocBadPairIndex, [](qvjsonnode& d) { d["settings"][1][3] = qvjsonnode::array({-1, 0.5}); }},
      {kDocNoPairValue, [](qvjsonnode& d) { d["settings"][1][3] = qvjsonnode::array({3}); }},
      {kDocNoCategories, erase("categories")},
      {kDocNoCategory, [](qvjsonnode& d) { d["categories"][1] = "x"; }},
      {kDocNoCategoryId, [](qvjsonnode& d) { d["categories"][3].erase("id"); }},
      {kDocNoCategoryName, [](qvjsonnode& d) { d["categories"][3].erase("name"); }},
      {kDocNoPresets, erase("presets")},
      {kDocNoPreset, [](qvjsonnode& d) { d["presets"][2] = 9; }},
      {kDocNoPresetName, [](qvjsonnode& d) { d["presets"][4].erase("name"); }},
      {kDocStarterNoBlocks, [](qvjsonnode& d) { d["presets"][0].erase("blocks"); }},
      {kDocStarterNoBlock, [](qvjsonnode& d) { d["presets"][0]["blocks"][1] = 0; }},
      {kDocStarterNoSblock, [ampBlock](qvjsonnode& d) { ampBlock(d).erase("sblock"); }},
      {kDocStarterNoBlockgroup, [ampBlock](qvjsonnode& d) { ampBlock(d).erase("blockgroup"); }},
      {kDocStarterBadBlockgroup, [ampBlock](qvjsonnode& d) { ampBlock(d)["blockgroup"] = -1; }},
      {kDocStarterNoPars, [ampBlock](qvjsonnode& d) { ampBlock(d).erase("pars"); }},
      {kDocStarterNoPar, [ampBlock](qvjsonnode& d) { ampBlock(d)["pars"][0] = 1; }},
      {kDocStarterNoSetvis, [ampBlock](qvjsonnode& d) { ampBlock(d)["pars"][0].erase("setvis"); }},
      {kDocStarterNoFpos, [ampBlock](qvjsonnode& d) { ampBlock(d)["pars"][1].erase("fpos"); }},
      {kDocNoImpulseCategories, erase("impdatcategories")},
      {kDocNoImpulseCategory, [](qvjsonnode& d) { d["impdatcategories"][0] = 1; }},
      {kDocNoImpulseCategoryId, [](qvjsonnode& d) { d["impdatcategories"][1].erase("id"); }},
      {kDocNoImpulseCategoryName, [](qvjsonnode& d) { d["impdatcategories"][1].erase("name"); }},
      {kDocNoImpulses, erase("impulses")},
      {kDocNoImpulseUid, [](qvjsonnode& d) { d["impulses"][1].erase("uid"); }},
      {kDocNoImpulseCategoryid, [](qvjsonnode& d) { d["impulses"][1].erase("categoryid"); }},
      {kDocNoImpulseName, [](qvjsonnode& d) { d["impulses"][0].erase("name"); }},
  };
  TempDir dir;
  auto e = engineIn(dir);
  e->loadSystem();
  const std::string rig = rigText(*e);
  const uint32_t units = e->chain.units.count();
  for (const auto& [code, change] : rows) {
    SCOPED_TRACE(code);
    qvjsonnode doc = factoryDocument();
    change(doc);
    e->data.factoryText = writeJsonText(doc);
    EXPECT_EQ(e->loadDocument(true), code);
    EXPECT_EQ(e->chain.units.count(), units);
    EXPECT_EQ(rigText(*e), rig);
  }
  // Texts that are no document: too short, cut at a stray byte, not JSON.
  const std::vector<std::pair<int, std::string>> texts = {
      {kDocTooShort, "{\"settings\":[]}"},
      {kDocParseFailed, "{\"settings\":[{},[]],\x01\"categories\":[]}"},
      {kDocParseFailed, "this is not a data document at all"},
  };
  for (const auto& [code, text] : texts) {
    e->data.factoryText = text;
    EXPECT_EQ(e->loadDocument(true), code);
  }
  // The factory's failure is reported, and the user's.
  e->data.factoryText = "this is not a data document at all";
  writeFile(savePath(dir), "{\"categories\":[],\"presets\":[]}");
  e->loadSystem();
  EXPECT_EQ(drainMessages(*e), (std::vector<std::string>{"2:Load System Internal Failed ~ 3282",
                                                         "2:Load System Failed ~ 3293"}));
}

TEST(LoadSave, UnwritableSavePathIsReported) {
  TempDir dir;
  auto e = engineIn(dir);
  e->loadSystem();
  e->data.savePath = dir.path() + "/no-such-folder/corvina-save.fxda";
  e->saveDocument();
  EXPECT_EQ(drainMessages(*e),
            std::vector<std::string>{"2:Warning: could not save " + e->data.savePath});
}

TEST(LoadSave, PresetThatIsNoPresetBlocksTheSave) {
  TempDir dir;
  auto e = engineIn(dir);
  e->loadSystem();
  e->saveDocument();
  const std::string saved = readFile(savePath(dir));
  qvjsonnode small = qvjsonnode::object();
  for (int k = 0; k < 5; ++k) small["m" + std::to_string(k)] = k;
  e->data.presets[2]->node.setRoot(small);
  e->data.currentCategory = 0;
  e->saveDocument();
  EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"2: < 6 !! i:2 c:5"});
  EXPECT_EQ(readFile(savePath(dir)), saved);
}

TEST(LoadSave, SaveKilledWhileWritingLeavesThePreviousDocument) {
  TempDir dir;
  auto e = engineIn(dir);
  e->loadSystem();
  e->saveDocument();
  const std::string saved = readFile(savePath(dir));
  // The process dies part way through writing a larger document.
  for (int k = 0; k < 40; ++k) addCategory(e->data.presetCategories, "Category number " + std::to_string(k));
  const rlim_t limit = saved.size() + 16;
  auto saveWithinLimit = [&] {
    rlimit rl{limit, limit};
    setrlimit(RLIMIT_FSIZE, &rl);
    e->saveDocument();
    std::_Exit(0);
  };
  EXPECT_EXIT(saveWithinLimit(), testing::KilledBySignal(SIGXFSZ), "");
  EXPECT_EQ(readFile(savePath(dir)), saved);
  auto again = engineIn(dir);
  again->loadSystem();
  EXPECT_TRUE(drainMessages(*again).empty());
}

TEST(LoadSave, UnreadableUserDocumentIsKeptAside) {
  {
    TempDir dir;
    const std::string garbage = "{\"settings\": this file was damaged somewhere along the way";
    writeFile(savePath(dir), garbage);
    auto e = engineIn(dir);
    e->loadSystem();
    EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"2:Load System Failed ~ 3282"});
    const auto aside = asideFiles(dir);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readFile(aside[0]), garbage);
    e->saveDocument();  // the next save may now replace it
    EXPECT_EQ(readFile(aside[0]), garbage);
  }
  {
    // Something at the save path that cannot be read as a file at all.
    TempDir dir;
    std::filesystem::create_directory(savePath(dir));
    std::ofstream(savePath(dir) + "/inside") << "kept";
    auto e = engineIn(dir);
    e->loadSystem();
    EXPECT_EQ(e->data.currentPreset, kLayeredOD);  // the first-run case
    const auto aside = asideFiles(dir);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readFile(aside[0] + "/inside"), "kept");
  }
}
