// Impulses in the engine: the catalogue commands (add a file, import a folder,
// delete, choose, cab blocks) and loading into cab blocks (factory resources from
// one decode at the host rate, the size limit, failures that keep the block, rate
// changes). Resource 2 of the test set is the impulse of fixtures/testimpulse.hpp.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "plugin/cabcommands.hpp"
#include "platform/files.hpp"
#include "tests/fixtures/testimpulse.hpp"
#include "tests/impulsefixture.hpp"

using ImpulseCatalogue = EngineFixture;

namespace {

std::vector<std::string> texts(const qvcmdoutcome& out) {
  std::vector<std::string> t;
  for (const qvmessage& m : out.messages) t.push_back(std::to_string(m.level) + " " + m.text);
  return t;
}

}  // namespace

TEST_F(ImpulseCatalogue, AddFileChecksThePathAndWarnsOnCase) {
  const std::string upper = wav("CAB.WAV", 44100, rampImpulse(100));
  const std::string lower = wav("room.wav", 44100, rampImpulse(100));
  const struct {
    std::string path;
    std::vector<std::string> messages;
    bool added;
  } rows[] = {
      {"noseparator.wav", {"2 Warning: No file..."}, false},
      {"/a.w", {"2 Warning: No file..."}, false},  // four characters
      {upper, {"2 Warning: only wav format is supported..."}, true},
      {lower, {}, true},
  };
  for (const auto& row : rows) {
    const uint32_t before = engine.data.impulses.count();
    const qvcmdoutcome out = addImpulseFileCommand(engine.data, row.path);
    EXPECT_EQ(texts(out), row.messages) << row.path;
    EXPECT_EQ(engine.data.impulses.count(), before + (row.added ? 1 : 0)) << row.path;
    EXPECT_EQ(out.save, row.added);
    if (!row.added) {
      EXPECT_EQ(out.chooseImpulse, -1);
      continue;
    }
    EXPECT_EQ(out.chooseImpulse, int32_t(before));
    EXPECT_EQ(out.savedText, "Saving Data");
    const qvimpulse& e = *engine.data.impulses[before];
    EXPECT_EQ(e.path, row.path);
    EXPECT_EQ(e.res, -1);
    EXPECT_EQ(e.categoryid, -1);
  }
  EXPECT_EQ(engine.data.impulses[0]->name, "CAB");
  EXPECT_EQ(engine.data.impulses[0]->uid, 100);
}

TEST_F(ImpulseCatalogue, FolderImportTakesExactWavNamesUnderANewCategory) {
  const std::string folder = dir.file("Greenbacks");
  std::filesystem::create_directory(folder);
  for (const char* name : {"b-4x12.wav", "a-2x12.wav", "LOUD.WAV", "mixed.Wav", ".wav", "notes.txt"})
    ASSERT_TRUE(writeSound(folder + "/" + name, 44100, rampImpulse(10))) << name;
  addCategory(engine.data.impulseCategories, "Mine");  // id 0
  const int32_t existing = static_cast<int32_t>(
      addImpulseFile(engine.data, folder + "/b-4x12.wav", 0, -1));

  const qvcmdoutcome out = importImpulseFolder(engine.data, folder + "/");
  EXPECT_TRUE(out.save);
  EXPECT_EQ(out.savedText, "Saving Data");
  EXPECT_TRUE(out.messages.empty());
  ASSERT_EQ(engine.data.impulseCategories.count(), 2u);
  EXPECT_EQ(engine.data.impulseCategories[1]->name, "Greenbacks");
  EXPECT_EQ(engine.data.impulseCategories[1]->id, 1);
  EXPECT_EQ(engine.data.currentImpulseCategory, 1);

  ASSERT_EQ(engine.data.impulses.count(), 2u) << "only a-2x12.wav is new";
  const qvimpulse& added = *engine.data.impulses[1];
  EXPECT_EQ(added.path, folder + "/a-2x12.wav");
  EXPECT_EQ(added.name, "a-2x12");
  EXPECT_EQ(added.categoryid, 1);
  EXPECT_EQ(engine.data.impulses[uint32_t(existing)]->categoryid, 1)
      << "a file imported before joins the new category";

  // Nothing to import: no category, nothing to save.
  const std::string empty = dir.file("Empty");
  std::filesystem::create_directory(empty);
  ASSERT_TRUE(writeSound(empty + "/UPPER.WAV", 44100, rampImpulse(10)));
  for (const std::string& f : {empty, dir.file("missing-folder")}) {
    const qvcmdoutcome none = importImpulseFolder(engine.data, f);
    EXPECT_FALSE(none.save) << f;
    EXPECT_EQ(engine.data.impulseCategories.count(), 2u) << f;
    EXPECT_EQ(engine.data.impulses.count(), 2u) << f;
    EXPECT_EQ(engine.data.currentImpulseCategory, 1) << f;
  }
}

// Deleting an entry: blocks that play it fall back to the entry before it (the
// first entry's blocks go) and later indices follow; without a chosen entry the
// current block's own goes; factory entries stay, with a message.
TEST_F(ImpulseCatalogue, DeletingEntries) {
  const int32_t first = addUser(wav("one.wav", 44100, rampImpulse(50)));   // index 0
  const int32_t factory = addFactory(2);                                  // index 1
  const int32_t later = addUser(wav("two.wav", 44100, rampImpulse(70)));  // index 2
  for (int32_t entry : {first, factory, first, later}) ASSERT_TRUE(engine.loadImpulse(entry, -1));
  engine.data.lastChosenImpulse = first;
  qvcmdoutcome out = deleteImpulse(engine);
  EXPECT_TRUE(out.save);
  EXPECT_EQ(out.savedText, "Saving Data");
  ASSERT_EQ(engine.chain.cabBlocks.count(), 2u) << "both blocks of the first entry are gone";
  EXPECT_EQ(block(0).impulse, 0) << "the factory entry moved down to index 0";
  EXPECT_EQ(engine.data.impulses[1]->file, "two.wav");
  EXPECT_EQ(block(1).impulse, 1);
  EXPECT_EQ(engine.data.currentCabBlock, 1) << "moved down from beyond the end";
  EXPECT_EQ(engine.data.lastChosenImpulse, -1);
  EXPECT_EQ(liveSlots(), 2);

  EXPECT_TRUE(deleteImpulse(engine).save) << "nothing chosen: the current block's own entry";
  EXPECT_EQ(block(1).impulse, 0) << "falls back to the entry before it";
  EXPECT_EQ(engine.chain.cabActiveCount, 2);

  engine.data.lastChosenImpulse = 0;
  out = deleteImpulse(engine);
  EXPECT_EQ(texts(out), std::vector<std::string>{"2 This item cannot be deleted."});
  EXPECT_FALSE(out.save);
  EXPECT_EQ(engine.data.impulses.count(), 1u);
  engine.data.currentCabBlock = -1;  // no current block: nothing to do
  EXPECT_FALSE(deleteImpulse(engine).save);
}

TEST_F(ImpulseCatalogue, ChooseImpulseThroughTheMailbox) {
  const int32_t a = addUser(wav("a.wav", 44100, rampImpulse(50)));
  const int32_t missing = addUser(dir.file("missing.wav"));

  engine.postCommand(kCmdChooseImpulse, float(a));
  ASSERT_EQ(engine.chain.cabBlocks.count(), 1u) << "no current block: a new one";
  EXPECT_EQ(engine.data.currentCabBlock, 0);
  engine.postCommand(kCmdChooseImpulse, float(a));
  EXPECT_EQ(engine.chain.cabBlocks.count(), 1u) << "the current block is replaced";
  EXPECT_EQ(engine.chain.cabActiveCount, 1);
  const int slot = block(0).slot;

  const qvcmdoutcome out = chooseImpulse(engine, missing);
  EXPECT_EQ(texts(out), std::vector<std::string>{
                            "2 " + dir.file("missing.wav") +
                            "\n - Could not open file: File or path not found. "});
  EXPECT_EQ(engine.data.lastChosenImpulse, missing);
  EXPECT_EQ(block(0).slot, slot);
  EXPECT_EQ(block(0).impulse, a);

  EXPECT_TRUE(chooseImpulse(engine, 7).messages.empty()) << "no such entry: nothing";
  EXPECT_EQ(engine.data.lastChosenImpulse, missing);
}

TEST_F(ImpulseCatalogue, CabBlockSelectionRemovalAndSettings) {
  chooseCabBlock(engine, 3.0f);
  EXPECT_EQ(engine.data.currentCabBlock, -1) << "no blocks";

  const int32_t a = addUser(wav("a.wav", 44100, rampImpulse(50)));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(engine.loadImpulse(a, -1));
  const struct {
    float value;
    int32_t current;
  } rows[] = {{1.0f, 0}, {3.0f, 2}, {2.0f, 1}, {9.0f, 2}, {0.0f, 0}, {-4.0f, 0}};
  for (const auto& row : rows) {
    engine.postCommand(kCmdChooseCabBlock, row.value);
    EXPECT_EQ(engine.data.currentCabBlock, row.current) << row.value;
  }

  // 70012: the current block's impulse takes the typed name and the category.
  addCategory(engine.data.impulseCategories, "Old");
  addCategory(engine.data.impulseCategories, "Vintage");  // id 1
  engine.data.currentImpulseCategory = 1;
  const qvcmdoutcome saved = saveCabSettings(engine, "My Cab");
  EXPECT_TRUE(saved.save);
  EXPECT_EQ(saved.savedText, "Saving Cab Settings");
  EXPECT_EQ(engine.data.impulses[uint32_t(a)]->name, "My Cab");
  EXPECT_EQ(engine.data.impulses[uint32_t(a)]->categoryid, 1);
  engine.data.currentImpulseCategory = -1;
  EXPECT_TRUE(saveCabSettings(engine, "Renamed").save);
  EXPECT_EQ(engine.data.impulses[uint32_t(a)]->categoryid, 1) << "no category selected";

  // 85008 removes the current block; the selection moves down past the end.
  engine.postCommand(kCmdChooseCabBlock, 3.0f);
  const int removed_slot = block(2).slot;
  engine.postCommand(kCmdRemoveCabBlock, 0.0f);
  EXPECT_EQ(engine.chain.cabBlocks.count(), 2u);
  EXPECT_EQ(engine.data.currentCabBlock, 1);
  EXPECT_FALSE(engine.chain.cabEngine->slotExists(removed_slot));
  EXPECT_EQ(engine.chain.cabActiveCount, 2);
  engine.postCommand(kCmdRemoveCabBlock, 0.0f);
  engine.postCommand(kCmdRemoveCabBlock, 0.0f);
  EXPECT_TRUE(engine.chain.cabBlocks.empty());
  EXPECT_EQ(engine.data.currentCabBlock, -1);
  EXPECT_EQ(engine.chain.cabActiveCount, 0);
  EXPECT_FALSE(saveCabSettings(engine, "x").save) << "no block, nothing to save";
}

using ImpulseLoad = EngineFixture;

TEST_F(ImpulseLoad, FactoryImpulseAtTheHostRateFromOneCachedDecode) {
  const int32_t entry = addFactory(2);
  engine.setSampleRate(96000.0f, false);
  ASSERT_TRUE(engine.loadImpulse(entry, -1)) << engine.data.errorText;
  ASSERT_EQ(engine.chain.cabBlocks.count(), 1u);
  EXPECT_EQ(engine.data.currentCabBlock, 0);
  EXPECT_EQ(block(0).impulse, entry);
  EXPECT_TRUE(engine.chain.cabEngine->isActive(block(0).slot));
  EXPECT_FLOAT_EQ(block(0).params[qvusconv::kVolume]->getValue(), 0.18f) << "a New Sim's table";

  // At the file's own rate the slot plays the decoded samples themselves.
  ASSERT_EQ(blockLength(0), kTestImpulseCount);
  const std::vector<float> y = blockResponse(0, kTestImpulseCount);
  for (int n = 0; n < kTestImpulseCount; ++n)
    ASSERT_NEAR(y[size_t(n)], float(testImpulseSample(n)) / 8388608.0f, 2e-6f) << n;

  // Half the rate: count/2 + 1 samples, converted from the file-rate original.
  engine.setSampleRate(48000.0f, false);
  ASSERT_TRUE(engine.loadImpulse(entry, 0));
  EXPECT_EQ(blockLength(0), kTestImpulseCount / 2 + 1);
  // A catalogue rebuilt by a document load (bufferIndex -1) finds the same decode.
  const int32_t again = addFactory(2);
  ASSERT_TRUE(engine.loadImpulse(again, -1));
  EXPECT_EQ(engine.factoryImpulses.size(), 1u) << "decoded once";
  EXPECT_EQ(blockLength(1), kTestImpulseCount / 2 + 1);
}

TEST_F(ImpulseLoad, MissingFactoryResourceFails) {
  const int32_t entry = addFactory(17);  // the test set holds only resource 2
  EXPECT_FALSE(engine.loadImpulse(entry, -1));
  EXPECT_EQ(engine.data.errorText, "Resource not loaded.");
  EXPECT_TRUE(engine.chain.cabBlocks.empty());
  // Bad indices fail without touching anything.
  EXPECT_FALSE(engine.loadImpulse(entry + 1, -1));
  EXPECT_FALSE(engine.loadImpulse(-1, -1));
  EXPECT_FALSE(engine.loadImpulse(addFactory(2), 0)) << "no block 0 yet";
  EXPECT_TRUE(engine.data.errorText.empty()) << "cleared by every load";
  EXPECT_TRUE(engine.chain.cabBlocks.empty());
}

TEST_F(ImpulseLoad, SizeLimitAppliesToTheConvertedLength) {
  engine.setSampleRate(48000.0f, false);
  // 96000 Hz → 48000 Hz gives count/2 + 1 samples.
  const int32_t over = addUser(wav("over.wav", 96000, rampImpulse(200000)));     // 100001
  const int32_t at = addUser(wav("at.wav", 96000, rampImpulse(199998)));         // 100000
  ASSERT_EQ(engine.state.settingInt(kSetLimitImpulseFiles), 1) << "on by default";

  ASSERT_TRUE(engine.loadImpulse(at, -1)) << engine.data.errorText;
  EXPECT_EQ(blockLength(0), 100000);
  const int slot = block(0).slot;

  EXPECT_FALSE(engine.loadImpulse(over, 0));
  EXPECT_EQ(engine.data.errorText, "File was larger than max set in options: 100000");
  EXPECT_EQ(block(0).slot, slot) << "a failed load leaves the block as it was";
  EXPECT_EQ(block(0).impulse, at);
  EXPECT_EQ(engine.chain.cabBlocks.count(), 1u);

  engine.state.settings[kSetLimitImpulseFiles]->setValue(0.0f);
  ASSERT_TRUE(engine.loadImpulse(over, 0)) << "no limit when the option is off";
  EXPECT_EQ(blockLength(0), 100001);
  EXPECT_EQ(liveSlots(), 1) << "the old slot was released";
}

// A failed file load leaves the loader's text (every text is tested with the
// reader) and the block as it was, and makes no block of its own.
TEST_F(ImpulseLoad, UserFileFailuresLeaveTheLoadersTextAndTheBlock) {
  const int32_t good = addUser(wav("good.wav", 44100, rampImpulse(300)));
  ASSERT_TRUE(engine.loadImpulse(good, -1)) << engine.data.errorText;
  const int slot = block(0).slot;
  const std::string missing = dir.file("missing.wav");
  const int32_t entry = addUser(missing);
  EXPECT_FALSE(engine.loadImpulse(entry, 0));
  EXPECT_EQ(engine.data.errorText, missing + "\n - Could not open file: File or path not found. ");
  EXPECT_FALSE(engine.loadImpulse(entry, -1));
  EXPECT_EQ(engine.chain.cabBlocks.count(), 1u) << "no block for a failed load";
  EXPECT_EQ(block(0).slot, slot);
  EXPECT_EQ(block(0).impulse, good);
  ASSERT_TRUE(engine.loadImpulse(good, 0));
  EXPECT_TRUE(engine.data.errorText.empty());
}

TEST_F(ImpulseLoad, ReplacingKeepsTheBlockAndFollowsItsEnabledSwitch) {
  const std::vector<float> x = rampImpulse(200);
  const int32_t a = addUser(wav("a.wav", 44100, x));
  const int32_t b = addUser(wav("b.wav", 44100, rampImpulse(90)));
  ASSERT_TRUE(engine.loadImpulse(a, -1));
  ASSERT_TRUE(engine.loadImpulse(a, -1));
  EXPECT_EQ(engine.data.currentCabBlock, 1);

  qvusconv& first = *engine.chain.cabBlocks[0];
  first.params[qvusconv::kEnabled]->setValue(0.0f);
  const qvusconv* before = &first;
  ASSERT_TRUE(engine.loadImpulse(b, 0));
  EXPECT_EQ(engine.chain.cabBlocks[0], before) << "the same block, new impulse";
  EXPECT_EQ(block(0).impulse, b);
  EXPECT_FALSE(engine.chain.cabEngine->isActive(block(0).slot)) << "disabled block";
  EXPECT_EQ(engine.data.currentCabBlock, 1) << "replacing does not move the selection";

  // The user file plays its samples (rates equal: no conversion).
  const std::vector<float> y = blockResponse(1, x.size());
  for (size_t i = 0; i < x.size(); ++i) ASSERT_NEAR(y[i], x[i], 1e-6f) << i;
}

TEST_F(ImpulseLoad, HostRateChangeReloadsEveryCabBlock) {
  engine.setSampleRate(96000.0f, false);
  const int32_t user = addUser(wav("user.wav", 96000, rampImpulse(1000)));
  const int32_t factory = addFactory(2);
  ASSERT_TRUE(engine.loadImpulse(user, -1));
  ASSERT_TRUE(engine.loadImpulse(factory, -1));
  engine.chain.cabBlocks[1]->params[qvusconv::kEnabled]->setValue(0.0f);
  engine.chain.updateCabActivity();
  const int old_slot = block(0).slot;

  // No audio thread: the engine applies the rate at once.
  engine.setSampleRate(48000.0f, true);
  EXPECT_EQ(blockLength(0), 501);
  EXPECT_EQ(blockLength(1), kTestImpulseCount / 2 + 1);
  EXPECT_NE(block(0).slot, old_slot);
  EXPECT_EQ(liveSlots(), 2) << "the old slots were released";
  EXPECT_EQ(engine.chain.cabActiveCount, 1) << "the disabled block stays off";
  EXPECT_FALSE(engine.chain.cabEngine->isActive(block(1).slot));

  // With an audio thread running, the change waits for the next block.
  engine.state.audioIdle.store(0);
  engine.setSampleRate(24000.0f, true);
  EXPECT_EQ(blockLength(0), 501);
  engine.drainCommands(true);
  EXPECT_EQ(blockLength(0), 251);
  EXPECT_EQ(blockLength(1), kTestImpulseCount / 4 + 1);

  // A file gone since keeps its block at the old rate rather than removing it.
  ASSERT_EQ(std::remove(dir.file("user.wav").c_str()), 0);
  engine.state.audioIdle.store(1);
  engine.setSampleRate(96000.0f, true);
  EXPECT_EQ(engine.chain.cabBlocks.count(), 2u);
  EXPECT_EQ(blockLength(0), 251);
  EXPECT_EQ(blockLength(1), kTestImpulseCount);
}
