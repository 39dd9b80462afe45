// Editing the rig from the editor's controls: pedal and amplifier edits give the
// rig (units, slots, sections and sound) that a preset describing the result
// loads; a definition that does not read leaves the rig playing; an edited rig
// survives a save and a reload; brackets and sections follow block edits, and a
// pedal's blocks keep their structure.
#include <gtest/gtest.h>

#include "controlfixture.hpp"
#include <tuple>

#include "plugin/brackets.hpp"

using namespace ctlfix;

TEST(RigEdit, EditsGiveTheRigAPresetDescribes) {
  using Posts = std::vector<std::pair<int32_t, int32_t>>;  // (kind, position), each with the value
  using Row = std::tuple<const char*, Posts, float, int, std::vector<qvjsonnode>>;  // ..., amplifier, slots
  const qvjsonnode drive = slotEntry(kSharpDrive, true, 0), compa = slotEntry(kCompa, true, 1);
  const std::vector<Row> rows = {
      {"+Pre", {{kKindAddPedalPre, 3}}, 2, 0, {drive, slotEntry(kCompa, true, 0), compa}},
      {"+Post", {{kKindAddPedalPost, 3}}, 1, 0, {drive, compa, slotEntry(kSharpDrive, true, 1)}},
      {"Set Pedal None", {{kKindSetPedal, 1}}, 1, 0, {compa}},
      {"Set Pedal", {{kKindSetPedal, 1}}, 3, 0, {slotEntry(kCompa, true, 0), compa}},
      {"Rout:Pre", {{kKindPedalRoute, 2}}, 1, 0, {drive, slotEntry(kCompa, true, 0)}},
      {"Rout:Post", {{kKindPedalRoute, 1}}, 2, 0, {slotEntry(kSharpDrive, true, 1), compa}},
      {"moved onto slot 1", {{kKindPedalMove, 2}, {kKindDragTarget, 1}}, 1, 0, {slotEntry(kCompa, true, 0), drive}},
      {"foot switch off", {{kKindGroupActive, 1}}, 0, 0, {slotEntry(kSharpDrive, false, 0), compa}},
      {"Set Amp", {{kKindSetAmp, -1}}, 2, 1, {drive, compa}},
  };
  for (const auto& [what, posts, value, amp, slots] : rows) {
    SCOPED_TRACE(what);
    TempDir dir, other;
    auto e = started(dir);
    for (const auto& [kind, position] : posts) post(*e, kind, position, value);
    auto expected = loadedRig(other, amp, slots);
    EXPECT_EQ(rigShape(*e), rigShape(*expected));
    EXPECT_EQ(rigText(*e), rigText(*expected));
    EXPECT_EQ(render(*e), render(*expected));
  }
}

TEST(RigEdit, AnAmplifierThatDoesNotReadLeavesTheRigPlaying) {
  qvjsonnode factory = factoryDocument();
  factory["presets"][1].erase("brackets");  // "Utility" can no longer be read
  TempDir dir, other;
  auto e = started(dir, factory);
  const std::string before = rigText(*e);
  post(*e, kKindSetAmp, -1, 2.0f);
  EXPECT_EQ(rigText(*e), before);
  EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"2:Warning: loadpreset failed ~ 3604"});
  EXPECT_EQ(render(*e), render(*started(other, factory)));
}

// What a guitarist changed is what the saved preset brings back, in another
// instance reading the user document.
TEST(RigEdit, AnEditedRigSurvivesSaveAndReload) {
  TempDir dir;
  auto e = started(dir);
  post(*e, kKindDeleteBlock, 4, 1.0f);  // the amplifier's first tube stage
  post(*e, kKindAddBlock, 4, 12.0f);    // a delay after the equalizer that took its place
  post(*e, kKindAntiAlias, 3, 1.0f);
  post(*e, kKindAddPedalPost, 3, 1.0f);
  post(*e, kKindLogo, -1, 27.0f);       // the last logo
  post(*e, kKindKnobStyle, -1, 5.0f);
  post(*e, kKindAmpSkin, -1, 3.0f);
  qvcontrol name = made(kKindParamField, 3, 0, kClassTextField);
  name.subindex = kFieldName;
  e->postText(e->addControl(name), "Low Cut");
  EXPECT_TRUE(drainMessages(*e).empty());
  const std::string edited = rigText(*e);

  e->nameFieldOpen = true;
  e->editorName = "Edited";
  post(*e, kKindPresetMenu, -1, 2.0f);  // "Save As New"
  auto reloaded = started(dir);
  const int32_t k = findPresetByName(reloaded->data.presets, "Edited");
  ASSERT_GE(k, 0);
  reloaded->postCommand(kCmdSelectPreset, float(k));
  EXPECT_EQ(rigText(*reloaded), edited);
  EXPECT_EQ(reloaded->chain.ampSlot.logoimg, 119);
  post(*reloaded, kKindLogo, -1, 1.0f);  // "Off"
  EXPECT_NE(rigText(*reloaded).find("\"logoimg\":-1,"), std::string::npos);
}

TEST(RigEdit, BracketsFollowBlockEdits) {
  using V = std::vector<int32_t>;
  using Edit = void (*)(V&, int32_t, int32_t);
  Edit toFour = [](V& b, int32_t n, int32_t r) { moveBracketMember(b, n, r, 4); };
  for (auto [edit, b, r, expected] : std::vector<std::tuple<Edit, V, int32_t, V>>{  // over 5 units
           {toggleBracketMember, {1, 4}, 2, {1, 2, 3, 4}}, {toggleBracketMember, {1, 4}, 7, {1, 4}},
           {toggleBracketMember, {4, 2, 1, 6}, 0, {0, 1, 4, 5}},  // read as the chain reads it: [4, 5]
           {removeBracketMember, {1, 2}, 1, {}},               {insertBracketMember, {1, 4}, 2, {1, 5}},
           {insertBracketMember, {1, 4}, 1, {2, 5}},           {toFour, {1, 4}, 0, {0, 3}}}) {
    edit(b, 5, r);
    EXPECT_EQ(b, expected) << "unit " << r;
  }
}

TEST(RigEdit, SectionsFollowAmplifierBlocks) {
  TempDir dir;
  auto e = started(dir);
  // Sharp Drive (3 units, brackets [1, 2]) then the amplifier (5 units, [1, 4]).
  ASSERT_EQ(e->chain.sections, (std::vector<int32_t>{1, 2, 4, 7}));
  post(*e, kKindDeleteBlock, 3, 1.0f);  // the amplifier's first block
  EXPECT_EQ(e->chain.sections, (std::vector<int32_t>{1, 2, 3, 6}));
  post(*e, kKindAddBlock, -1, 9.0f);    // a graphic EQ at the amplifier's end
  EXPECT_EQ(e->chain.units[7]->blocktype(), kBlockGraphicEq);
  EXPECT_EQ(e->chain.sections, (std::vector<int32_t>{1, 2, 3, 6}));
  // A pedal's blocks come with its definition: their structure stays.
  const std::string before = rigText(*e);
  for (int32_t kind : {kKindDeleteBlock, kKindAntiAlias, kKindAddBlock}) post(*e, kind, 0, 1.0f);
  EXPECT_EQ(rigText(*e), before);
  EXPECT_EQ(drainMessages(*e).size(), 3u);
}
