// Preset and category commands, unique preset names, drag and drop, the save path
// switch, and the message ring the commands report through.
#include <gtest/gtest.h>

#include <thread>

#include "loadsavefixture.hpp"
#include "platform/files.hpp"

using namespace lsfix;

namespace {

std::unique_ptr<qvengine> started(const TempDir& dir) {
  auto e = engineIn(dir);
  e->loadSystem();
  drainMessages(*e);
  return e;
}

}  // namespace

TEST(PresetOps, UniqueNames) {
  struct Row {
    std::vector<std::string> others;
    std::string name;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {{"Clean"}, " Clean ", "Clean-2"},
      {{"Drive-7", "Drive-9"}, "Drive-7", "Drive-10"},
      {{"Drive-7", "Drive-9"}, "Drive-8", "Drive-8"},          // free: unchanged
      {{"Solo"}, "Solo", "Solo-2"},
      {{"Solo", "Solo-5", "Other-9"}, "Solo", "Solo-6"},
      {{"-3"}, "-3", "-3-2"},                                    // a leading "-" is no counter
      {{"Fuzz-"}, "Fuzz-", "Fuzz--2"},                           // nothing after the "-"
      {{"Lead-1"}, "Lead-1", "Lead-2"},                          // counters start at 2
      {{"Big-99999999999999999999"}, "Big-99999999999999999999", "Big-4611686018427387905"},
      {{}, "   ", "No Name"},
      {{}, std::string(40, 'x'), std::string(28, 'x')},
  };
  TempDir dir;
  qvengine e(dir.path() + "/", kSaveName);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    e.data.presets.clear();
    for (const auto& n : row.others) {
      auto p = std::make_unique<qvpreset>();
      p->name = n;
      e.data.presets.append(std::move(p));
    }
    e.data.presets.append(std::make_unique<qvpreset>());  // the preset being saved
    qvstring name = row.name;
    e.makeUniquePresetName(name, static_cast<int32_t>(e.data.presets.count()) - 1);
    EXPECT_EQ(name, row.expected);
  }
}

TEST(PresetOps, SelectSaveAndDeletePresets) {
  TempDir dir;
  auto e = started(dir);
  e->postCommand(kCmdSelectPreset, kFullClean);
  EXPECT_EQ(e->data.currentPreset, kFullClean);
  // Save as new: the typed name made unique, the selected category's id, the rig.
  e->nameFieldOpen = true;
  e->editorName = "Full Clean";
  e->data.currentCategory = 1;  // Mellow, id 8
  e->postCommand(kCmdSavePresetAsNew, 0);
  ASSERT_EQ(e->data.presets.count(), 5u);
  EXPECT_EQ(e->data.currentPreset, 4);
  const qvpreset& made = *e->data.presets[4];
  EXPECT_EQ(made.name, "Full Clean-2");
  EXPECT_EQ(made.categoryid, 8);
  EXPECT_EQ(made.node.root()["categoryid"], 8);
  EXPECT_EQ(made.node.root()["blocks"].size(), 3u);
  EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"1:Saving Preset"});
  EXPECT_NE(savedDocument(dir).find("Full Clean-2"), std::string::npos);
  e->postCommand(kCmdSavePreset, 0);
  EXPECT_EQ(e->data.presets[4]->name, "Full Clean-2") << "saving again keeps its own name";
  e->postCommand(kCmdDeletePreset, 0);
  EXPECT_EQ(e->data.presets.count(), 4u);
  EXPECT_EQ(e->data.currentPreset, -1);
  EXPECT_EQ(savedDocument(dir).find("Full Clean-2"), std::string::npos);
  drainMessages(*e);
  const std::string rig = rigText(*e);
  e->postCommand(kCmdSelectPreset, 17);
  EXPECT_EQ(rigText(*e), rig) << "a preset index out of range changes nothing";
  EXPECT_TRUE(drainMessages(*e).empty());
}

TEST(PresetOps, FailedPresetLoadWarnsAndKeepsTheRig) {
  TempDir dir;
  auto e = started(dir);
  e->data.presets[kFullClean]->node.rewind();
  e->data.presets[kFullClean]->node.erase("convblocks");
  const std::string rig = rigText(*e);
  e->postCommand(kCmdSelectPreset, kFullClean);
  EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"2:Warning: loadpreset failed ~ 3629"});
  EXPECT_EQ(rigText(*e), rig);
  EXPECT_EQ(e->data.currentPreset, kLayeredOD);
}

// New categories get mended names and the next free id; selecting one past the
// end is accepted, beyond it none; deleting keeps the presets' ids; in impulse
// mode the impulse categories change.
TEST(PresetOps, Categories) {
  TempDir dir;
  auto e = started(dir);
  for (const char* name : {"", "A name of twenty-five ch"}) {
    e->postCommand(kCmdEditCategory, -1);
    e->editorName = name;
    e->postCommand(kCmdCommitCategory, 0);
  }
  ASSERT_EQ(e->data.presetCategories.count(), 5u);
  EXPECT_EQ(e->data.presetCategories[3]->name, "Unnamed Category");
  EXPECT_EQ(e->data.presetCategories[3]->id, 9);
  EXPECT_EQ(e->data.presetCategories[4]->name, "A name of twenty-fi");
  EXPECT_EQ(drainMessages(*e), (std::vector<std::string>{"1:Saving Data", "1:Saving Data"}));
  e->postCommand(kCmdSelectCategory, 5);
  EXPECT_EQ(e->data.currentCategory, 5);
  e->postCommand(kCmdSelectCategory, 6);
  EXPECT_EQ(e->data.currentCategory, -1);
  e->postCommand(kCmdSelectCategory, 1);
  e->postCommand(kCmdEditCategory, 1);
  e->postCommand(kCmdDeleteCategory, 0);  // Mellow
  EXPECT_EQ(e->data.presetCategories.count(), 4u);
  EXPECT_EQ(e->data.currentCategory, -1);
  EXPECT_EQ(e->data.presets[kLayeredOD]->categoryid, 8);
  e->data.categoryListMode = 2;
  e->postCommand(kCmdEditCategory, -1);
  e->editorName = "Mine";
  e->postCommand(kCmdCommitCategory, 0);
  ASSERT_EQ(e->data.impulseCategories.count(), 3u);
  EXPECT_EQ(e->data.impulseCategories[2]->id, 3);
  EXPECT_NE(savedDocument(dir).find("\"Mine\""), std::string::npos);
}

// Dragged presets and categories take the current selection with them; a preset
// dropped on a category takes its id into the record and its object; the cab
// blocks' catalogue indices follow moved impulses.
TEST(PresetOps, DragAndDrop) {
  TempDir dir;
  auto e = started(dir);
  e->drag = {qvdragdrop::Kind::preset, kLayeredOD, 0, -1};
  e->postCommand(kCmdDragAndDrop, 0);
  EXPECT_EQ(presetNames(*e), (std::vector<std::string>{"Layered OD", "Seventy Eight", "Utility", "Full Clean"}));
  EXPECT_EQ(e->data.currentPreset, 0);
  e->drag = {qvdragdrop::Kind::preset, 3, -1, 0};
  e->postCommand(kCmdDragAndDrop, 0);
  EXPECT_EQ(e->data.presets[3]->categoryid, 7);
  EXPECT_EQ(e->data.presets[3]->node.root()["categoryid"], 7);
  EXPECT_EQ(e->data.presets[3]->node.root().begin().key(), "version");  // member order kept
  addImpulseFile(e->data, "/x/one.wav", 1, -1);
  ASSERT_EQ(e->chain.cabBlocks[0]->impulse, 0);
  e->drag = {qvdragdrop::Kind::impulse, 0, 2, -1};
  e->postCommand(kCmdDragAndDrop, 0);
  EXPECT_EQ(e->chain.cabBlocks[0]->impulse, 2);
  EXPECT_NE(rigText(*e).find("\"sourceuid\":2"), std::string::npos);
  e->data.currentCategory = 0;
  e->drag = {qvdragdrop::Kind::presetCategory, 0, 2, -1};
  e->postCommand(kCmdDragAndDrop, 0);
  EXPECT_EQ(e->data.presetCategories[2]->name, "Clean");
  EXPECT_EQ(e->data.currentCategory, 2);
  const std::string before = savedDocument(dir);
  e->drag = {qvdragdrop::Kind::preset, 9, 0, -1};
  e->postCommand(kCmdDragAndDrop, 0);
  EXPECT_EQ(savedDocument(dir), before) << "a drag out of range changes nothing";
}

TEST(PresetOps, ProjectFolderSwitchesTheDocument) {
  TempDir dir;
  auto e = started(dir);
  e->postCommand(kCmdSaveDocument, 0);
  EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"1:Saving"});
  ASSERT_TRUE(std::filesystem::create_directory(dir.path() + "/qvproj-preset"));
  qvjsonnode project = factoryDocument();
  project["presets"] = qvjsonnode::array({shortPreset("Project Sound", 7, 1, {})});
  ASSERT_TRUE(writeFileAtomic(e->data.projectPath, writeJsonText(project)));

  e->state.settings[kSetProjectFolder]->setNormalized(1.0f);
  e->settingChanged(kSetProjectFolder);
  EXPECT_EQ(e->data.savePath, dir.path() + "/qvproj-preset/" + kSaveName);
  EXPECT_EQ(presetNames(*e), std::vector<std::string>{"Project Sound"});

  e->state.settings[kSetProjectFolder]->setNormalized(0.0f);
  e->settingChanged(kSetProjectFolder);
  EXPECT_EQ(e->data.savePath, e->data.defaultPath);
  EXPECT_EQ(e->data.presets.count(), 4u);
}

TEST(Messages, ReaderNeverSeesATornMessage) {
  qvmessagering ring;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int k = 0; k < 20000; ++k) ring.post(std::string(1 + k % 50, static_cast<char>('a' + k % 26)), 2);
    done = true;
  });
  qvstring text;
  int32_t level = 0;
  int seen = 0;
  for (;;) {
    const bool finished = done.load();
    while (ring.pop(text, level)) {
      ++seen;
      ASSERT_FALSE(text.empty());
      EXPECT_EQ(text, std::string(text.size(), text[0]));
      EXPECT_EQ(level, 2);
    }
    if (finished) break;
  }
  writer.join();
  EXPECT_GT(seen, 0);
}
