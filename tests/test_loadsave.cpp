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

}  // namespace

// No user file, or one of 20 bytes (no document either): the factory's presets
// with the "Amp Starters", "Layered OD" built, the document's settings with the
// layout switch cleared and the gains following, and nothing written.
TEST(LoadSave, FirstRunBuildsLayeredOdAndWritesNothing) {
  for (const char* user : {"", "{\"settings\":[1,2,3]}"}) {
    SCOPED_TRACE(user);
    TempDir dir;
    if (*user) {
      ASSERT_TRUE(writeFileAtomic(savePath(dir), std::string(user)));
    }
    auto e = engineIn(dir);
    e->loadSystem();
    EXPECT_TRUE(drainMessages(*e).empty());
    EXPECT_EQ(presetNames(*e), (std::vector<std::string>{"Seventy Eight", "Utility", "Full Clean", "Layered OD"}));
    EXPECT_EQ(e->data.currentPreset, kLayeredOD);
    ASSERT_EQ(e->data.presetCategories.count(), 3u);  // Clean, Mellow, Amp Starters
    EXPECT_EQ(e->data.presetCategories[2]->name, "Amp Starters");
    EXPECT_EQ(e->data.currentCategory, 1);  // Mellow, the preset's category
    EXPECT_EQ(e->chain.units.count(), 9u);
    EXPECT_EQ(e->chain.cabBlocks.count(), 1u);
    EXPECT_EQ(e->data.ampData.count() + e->data.pedalData.count() + e->data.impulses.count(), 6u);
    EXPECT_FLOAT_EQ(e->state.settings[kSetInputLevel]->fpos, 0.410732f);
    EXPECT_FLOAT_EQ(e->state.settings[kSetLayoutSwitch]->fpos, 0.0f);
    EXPECT_FLOAT_EQ(e->state.gainLeft, (1.0f - e->state.setting(17)) * e->state.setting(15) * e->state.setting(0));
    EXPECT_EQ(readFile(savePath(dir)), std::string(user));
    EXPECT_TRUE(asideFiles(dir).empty());
  }
}

TEST(LoadSave, ReadSaveReadSaveIsAFixedPoint) {
  TempDir dir;
  auto first = engineIn(dir);
  first->loadSystem();
  first->data.presetCategories[0]->name = "Cl\xe9" "an / \"quoted\"";
  first->data.currentCategory = 2;
  first->saveDocument();
  const std::string once = readFile(savePath(dir));
  ASSERT_GT(once.size(), 100u);
  auto second = engineIn(dir);
  second->loadSystem();
  EXPECT_TRUE(drainMessages(*second).empty());
  EXPECT_EQ(second->data.currentPreset, -1) << "the selection comes back with the host's chunk";
  EXPECT_EQ(second->chain.units.count(), 0u) << "a user document does not rebuild the rig";
  second->data.currentPreset = first->data.currentPreset;
  second->saveDocument();
  EXPECT_EQ(readFile(savePath(dir)), once);
  EXPECT_EQ(second->data.presetCategories[0]->name, first->data.presetCategories[0]->name);
  EXPECT_EQ(second->data.currentCategory, 2);
}

// Empty user lists keep the factory's; a user preset list replaces it, while
// definitions come from the factory only.
TEST(LoadSave, UserPresetsReplaceTheFactoryOnesUnlessEmpty) {
  TempDir dir;
  qvjsonnode user = factoryDocument();
  user["presets"] = qvjsonnode::array();
  ASSERT_TRUE(writeFileAtomic(savePath(dir), writeJsonText(user)));
  auto e = engineIn(dir);
  e->loadSystem();
  EXPECT_EQ(e->data.presets.count(), 4u);
  user["presets"] = qvjsonnode::array({shortPreset("Mine", 7, 1, {})});
  ASSERT_TRUE(writeFileAtomic(savePath(dir), writeJsonText(user)));
  auto f = engineIn(dir);
  f->loadSystem();
  EXPECT_EQ(presetNames(*f), std::vector<std::string>{"Mine"});
  EXPECT_EQ(f->data.ampData.count(), 2u);
  EXPECT_EQ(f->data.presetCategories.count(), 3u);  // a user's id 2 is an ordinary category
}

// Broken documents at every stage of the reader (settings, categories, presets,
// "Amp Starters" blocks, impulse categories, impulses), each refused with its
// code; the rig playing meanwhile is left alone. (The document fuzz target throws
// arbitrary text at the same parser.)
TEST(LoadSave, BrokenDocumentsAreRefusedWithTheirCode) {
  using Change = std::function<void(qvjsonnode&)>;
  auto erase = [](const char* key) { return [key](qvjsonnode& d) { d.erase(key); }; };
  auto ampBlock = [](qvjsonnode& d) -> qvjsonnode& { return d["presets"][0]["blocks"][1]; };
  const std::vector<std::pair<int, Change>> rows = {
      {kDocNoSettings, erase("settings")},
      {kDocNoSettings1, [](qvjsonnode& d) { d["settings"].erase(1); }},
      {kDocNoPair, [](qvjsonnode& d) { d["settings"][1][3] = 4; }},
      {kDocBadPairIndex, [](qvjsonnode& d) { d["settings"][1][3] = qvjsonnode::array({18, 0.5}); }},
      {kDocNoPairValue, [](qvjsonnode& d) { d["settings"][1][3] = qvjsonnode::array({3}); }},
      {kDocNoCategories, erase("categories")},
      {kDocNoCategory, [](qvjsonnode& d) { d["categories"][1] = "x"; }},
      {kDocNoCategoryId, [](qvjsonnode& d) { d["categories"][3].erase("id"); }},
      {kDocNoPresets, erase("presets")},
      {kDocNoPresetName, [](qvjsonnode& d) { d["presets"][4].erase("name"); }},
      {kDocStarterNoBlocks, [](qvjsonnode& d) { d["presets"][0].erase("blocks"); }},
      {kDocStarterNoSblock, [ampBlock](qvjsonnode& d) { ampBlock(d).erase("sblock"); }},
      {kDocStarterBadBlockgroup, [ampBlock](qvjsonnode& d) { ampBlock(d)["blockgroup"] = -1; }},
      {kDocStarterNoSetvis, [ampBlock](qvjsonnode& d) { ampBlock(d)["pars"][0].erase("setvis"); }},
      {kDocStarterNoFpos, [ampBlock](qvjsonnode& d) { ampBlock(d)["pars"][1].erase("fpos"); }},
      {kDocNoImpulseCategories, erase("impdatcategories")},
      {kDocNoImpulseCategoryId, [](qvjsonnode& d) { d["impdatcategories"][1].erase("id"); }},
      {kDocNoImpulses, erase("impulses")},
      {kDocNoImpulseUid, [](qvjsonnode& d) { d["impulses"][1].erase("uid"); }},
      {kDocNoImpulseName, [](qvjsonnode& d) { d["impulses"][0].erase("name"); }},
  };
  TempDir dir;
  auto e = engineIn(dir);
  e->loadSystem();
  const std::string rig = rigText(*e);
  for (const auto& [code, change] : rows) {
    qvjsonnode doc = factoryDocument();
    change(doc);
    e->data.factoryText = writeJsonText(doc);
    EXPECT_EQ(e->loadDocument(true), code);
    EXPECT_EQ(rigText(*e), rig) << code;
  }
  // Texts that are no document: too short, cut at a stray byte, not JSON.
  const std::pair<int, const char*> texts[] = {{kDocTooShort, "{\"settings\":[]}"},
                                               {kDocParseFailed, "{\"settings\":[{},[]],\x01\"categories\":[]}"},
                                               {kDocParseFailed, "this is not a data document at all"}};
  for (const auto& [code, text] : texts) {
    e->data.factoryText = text;
    EXPECT_EQ(e->loadDocument(true), code) << text;
  }
  // The factory's failure is reported, and the user's.
  ASSERT_TRUE(writeFileAtomic(savePath(dir), std::string("{\"categories\":[],\"presets\":[]}")));
  e->loadSystem();
  EXPECT_EQ(drainMessages(*e), (std::vector<std::string>{"2:Load System Internal Failed ~ 3282",
                                                         "2:Load System Failed ~ 3293"}));
}

// A save that cannot be written warns; a preset that is no preset keeps the
// previous document; a save killed while writing leaves the previous document.
TEST(LoadSave, FailedSavesKeepThePreviousDocument) {
  TempDir dir;
  auto e = engineIn(dir);
  e->loadSystem();
  e->saveDocument();
  const std::string saved = readFile(savePath(dir));
  const std::string elsewhere = e->data.savePath;
  e->data.savePath = dir.path() + "/no-such-folder/corvina-save.fxda";
  e->saveDocument();
  EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"2:Warning: could not save " + e->data.savePath});
  e->data.savePath = elsewhere;

  qvjsonnode small = qvjsonnode::object();
  for (int k = 0; k < 5; ++k) small["m" + std::to_string(k)] = k;
  const qvjsonnode kept = e->data.presets[2]->node.root();
  e->data.presets[2]->node.setRoot(small);
  e->data.currentCategory = 0;
  e->saveDocument();
  EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"2: < 6 !! i:2 c:5"});
  EXPECT_EQ(readFile(savePath(dir)), saved);
  e->data.presets[2]->node.setRoot(kept);

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

// A user document that exists but cannot be read is copied aside before a save
// could replace it; something at the save path that is no file at all too.
TEST(LoadSave, UnreadableUserDocumentIsKeptAside) {
  {
    TempDir dir;
    const std::string garbage = "{\"settings\": this file was damaged somewhere along the way";
    ASSERT_TRUE(writeFileAtomic(savePath(dir), garbage));
    auto e = engineIn(dir);
    e->loadSystem();
    EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"2:Load System Failed ~ 3282"});
    const auto aside = asideFiles(dir);
    ASSERT_EQ(aside.size(), 1u);
    e->saveDocument();
    EXPECT_EQ(readFile(aside[0]), garbage);
  }
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
