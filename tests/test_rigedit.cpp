// Editing the rig from the editor's controls: pedals added, replaced, removed,
// routed and moved give the same rig (units, slots, sections and sound) as a
// preset that describes the result; a definition that does not read leaves the
// rig playing; an edited rig survives a save and a reload; brackets follow block
// edits.
#include <gtest/gtest.h>

#include "controlfixture.hpp"
#include "plugin/brackets.hpp"

using namespace ctlfix;

TEST(RigEdit, PedalEditsMatchTheRigAPresetDescribes) {
  struct Row {
    const char* what;
    std::vector<std::pair<int32_t, int32_t>> posts;  // (kind, position) with `value`
    float value;
    std::vector<qvjsonnode> slots;
  };
  const std::vector<Row> rows = {
      {"+Pre", {{kKindAddPedalPre, 3}}, 2.0f,
       {slotEntry(kSharpDrive, true, 0), slotEntry(kCompa, true, 0), slotEntry(kCompa, true, 1)}},
      {"+Post", {{kKindAddPedalPost, 3}}, 1.0f,
       {slotEntry(kSharpDrive, true, 0), slotEntry(kCompa, true, 1), slotEntry(kSharpDrive, true, 1)}},
      {"Set Pedal None", {{kKindSetPedal, 1}}, 1.0f, {slotEntry(kCompa, true, 1)}},
      {"Set Pedal", {{kKindSetPedal, 1}}, 3.0f, {slotEntry(kCompa, true, 0), slotEntry(kCompa, true, 1)}},
      {"Rout:Pre", {{kKindPedalRoute, 2}}, 1.0f, {slotEntry(kSharpDrive, true, 0), slotEntry(kCompa, true, 0)}},
      {"Rout:Post", {{kKindPedalRoute, 1}}, 2.0f, {slotEntry(kSharpDrive, true, 1), slotEntry(kCompa, true, 1)}},
      {"move onto slot 1", {{kKindPedalMove, 2}, {kKindDragTarget, 1}}, 1.0f,
       {slotEntry(kCompa, true, 0), slotEntry(kSharpDrive, true, 0)}},
      {"foot switch off", {{kKindGroupActive, 1}}, 0.0f,
       {slotEntry(kSharpDrive, false, 0), slotEntry(kCompa, true, 1)}},
      {"+Pre, then the first pedal moves after it", {{kKindAddPedalPre, 3}, {kKindPedalMove, 1}, {kKindDragTarget, 2}},
       2.0f, {slotEntry(kCompa, true, 0), slotEntry(kSharpDrive, true, 0), slotEntry(kCompa, true, 1)}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir, other;
    auto e = started(dir);
    for (const auto& [kind, position] : row.posts) post(*e, kind, position, row.value);
    auto expected = loadedRig(other, 0, row.slots);
    EXPECT_EQ(rigShape(*e), rigShape(*expected));
    EXPECT_EQ(render(*e), render(*expected));
    EXPECT_TRUE(drainMessages(*e).empty());
  }
}

TEST(RigEdit, SetAmpReplacesOnlyTheAmplifier) {
  TempDir dir, other;
  auto e = started(dir);
  post(*e, kKindSetAmp, -1, 2.0f);
  auto expected = loadedRig(other, 1, {slotEntry(kSharpDrive, true, 0), slotEntry(kCompa, true, 1)});
  EXPECT_EQ(rigShape(*e), rigShape(*expected));
  EXPECT_EQ(rigText(*e), rigText(*expected));
  EXPECT_EQ(render(*e), render(*expected));
}

TEST(RigEdit, AnAmplifierThatDoesNotReadLeavesTheRigPlaying) {
  qvjsonnode factory = factoryDocument();
  factory["presets"][1].erase("brackets");  // "Utility" can no longer be read
  TempDir dir, other;
  auto e = started(dir, factory);
  auto untouched = started(other, factory);
  const std::string before = rigText(*e);
  post(*e, kKindSetAmp, -1, 2.0f);
  EXPECT_EQ(rigText(*e), before);
  EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"2:Warning: loadpreset failed ~ 3604"});
  const std::vector<float> out = render(*e);
  EXPECT_EQ(out, render(*untouched));
  for (float x : out) ASSERT_TRUE(std::isfinite(x));
}

// What a guitarist changed is what the saved preset brings back, in another
// instance reading the user document.
TEST(RigEdit, AnEditedRigSurvivesSaveAndReload) {
  TempDir dir;
  auto e = started(dir);
  post(*e, kKindDeleteBlock, 4, 1.0f);      // the amplifier's first tube stage
  post(*e, kKindAddBlock, 4, 12.0f);        // a delay after the equalizer that took its place
  post(*e, kKindAntiAlias, 3, 1.0f);
  post(*e, kKindAddPedalPost, 3, 1.0f);
  post(*e, kKindLogo, -1, 27.0f);           // the last logo
  post(*e, kKindKnobStyle, -1, 5.0f);
  post(*e, kKindAmpSkin, -1, 3.0f);
  const int32_t field = control(*e, kKindParamField, 3, 0, kClassTextField);
  e->controls[uint32_t(field)]->subindex = kFieldName;
  e->postText(field, "Low Cut");
  EXPECT_TRUE(drainMessages(*e).empty());
  EXPECT_EQ(e->chain.ampSlot.logoimg, 119);
  const std::string edited = rigText(*e);

  e->nameFieldOpen = true;
  e->editorName = "Edited";
  post(*e, kKindPresetMenu, -1, 2.0f);      // "Save As New"

  auto reloaded = started(dir);
  const int32_t k = findPresetByName(reloaded->data.presets, "Edited");
  ASSERT_GE(k, 0);
  reloaded->postCommand(kCmdSelectPreset, float(k));
  EXPECT_EQ(rigText(*reloaded), edited);
  EXPECT_EQ(rigShape(*reloaded), rigShape(*e));
}

TEST(RigEdit, BlockEditsOfAPedalAreRefused) {
  TempDir dir;
  auto e = started(dir);
  const std::string before = rigText(*e);
  for (int32_t kind : {kKindDeleteBlock, kKindAntiAlias}) post(*e, kind, 0, 1.0f);
  post(*e, kKindAddBlock, 0, 1.0f);
  EXPECT_EQ(rigText(*e), before);
  EXPECT_EQ(drainMessages(*e).size(), 3u);
}

TEST(RigEdit, BracketsFollowBlockEdits) {
  using V = std::vector<int32_t>;
  enum Op { toggle, remove, insert, move };
  struct Row {
    Op op;
    V brackets;
    int32_t n, r, to;
    V expected;
  };
  const std::vector<Row> rows = {
      {toggle, {1, 4}, 5, 0, 0, {0, 4}},
      {toggle, {1, 4}, 5, 2, 0, {1, 2, 3, 4}},
      {toggle, {1, 4}, 5, 4, 0, {1, 5}},
      {toggle, {}, 5, 2, 0, {2, 3}},
      {toggle, {4, 2, 1, 6}, 5, 0, 0, {0, 1, 4, 5}},  // read as the chain reads it: [4, 5]
      {toggle, {1, 4}, 5, 7, 0, {1, 4}},              // outside the run
      {remove, {1, 4}, 5, 0, 0, {0, 3}},
      {remove, {1, 4}, 5, 2, 0, {1, 3}},
      {remove, {1, 2}, 5, 1, 0, {}},
      {insert, {1, 4}, 5, 2, 0, {1, 5}},              // between two members: inside
      {insert, {1, 4}, 5, 1, 0, {2, 5}},
      {insert, {1, 4}, 5, 5, 0, {1, 4}},
      {insert, {}, 0, 0, 0, {}},
      {move, {1, 4}, 5, 0, 4, {0, 3}},
      {move, {1, 2}, 5, 1, 3, {3, 4}},
  };
  for (const Row& row : rows) {
    V b = row.brackets;
    switch (row.op) {
      case toggle: toggleBracketMember(b, row.n, row.r); break;
      case remove: removeBracketMember(b, row.n, row.r); break;
      case insert: insertBracketMember(b, row.n, row.r); break;
      case move: moveBracketMember(b, row.n, row.r, row.to); break;
    }
    EXPECT_EQ(b, row.expected) << "op " << row.op << " at " << row.r;
  }
}

// The sections the chain plays follow a deleted and an added amplifier block.
TEST(RigEdit, SectionsFollowAmplifierBlocks) {
  TempDir dir;
  auto e = started(dir);
  // Sharp Drive (3 units, brackets [1, 2]) then the amplifier (5 units, [1, 4]).
  ASSERT_EQ(e->chain.sections, (std::vector<int32_t>{1, 2, 4, 7}));
  post(*e, kKindDeleteBlock, 3, 1.0f);   // the amplifier's first block
  EXPECT_EQ(e->chain.sections, (std::vector<int32_t>{1, 2, 3, 6}));
  post(*e, kKindAddBlock, -1, 9.0f);     // a graphic EQ at the amplifier's end
  EXPECT_EQ(e->chain.units[7]->blocktype(), kBlockGraphicEq);
  EXPECT_EQ(e->chain.sections, (std::vector<int32_t>{1, 2, 3, 6}));
  EXPECT_EQ(e->chain.ampSlot.dataind, -1);  // saved as full blocks from now on
}
