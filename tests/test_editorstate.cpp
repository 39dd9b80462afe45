// The editor state the engine keeps: pages, pop-up boxes, rows picked for a move,
// drag mode; it survives rebuilt control tables and rig changes, and commands
// drained on the audio thread only ask the editor to rebuild.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "controlfixture.hpp"

using namespace ctlfix;

TEST(EditorState, PagesAndBoxes) {
  TempDir dir;
  auto e = started(dir);
  struct Row {
    int32_t code;
    float value;
    int32_t page;
    qvboxkind box;
    int32_t listMode;
  };
  using B = qvboxkind;
  const std::vector<Row> rows = {
      {kCmdShowPresets, 0, 0, B::presets, 0},  {kCmdSelectPage, 1.4f, 1, B::none, 0},
      {kCmdChangeCab, 0, 1, B::presets, 2},    {kCmdCloseBoxNumber, 4, 1, B::presets, 2},
      {kCmdCloseBoxNumber, 3, 1, B::none, 2},  {kCmdSelectPage, 2.6f, 1, B::none, 2},   // no page 3
      {kCmdSelectPage, -1, 1, B::none, 2},     {kCmdShowPresets, 0, 1, B::presets, 0},
      {kCmdEditCategory, 0, 1, B::category, 0}, {kCmdDeleteCategory, 0, 1, B::presets, 0},
      {kCmdCloseBox, 0, 1, B::none, 0},        {kCmdSelectPage, 1.6f, 2, B::none, 0},
      {70005, 0, 2, B::none, 0},               // no such command
  };
  for (const Row& row : rows) {
    e->takeRebuildRequest();
    e->postCommand(row.code, row.value);
    const qveditorstate s = e->editorState();
    SCOPED_TRACE(std::to_string(row.code) + " " + std::to_string(row.value));
    EXPECT_EQ(s.page, row.page);
    EXPECT_EQ(s.box, row.box);
    EXPECT_EQ(e->data.categoryListMode, row.listMode);
  }
}

TEST(EditorState, BlockBoxesFollowTheirControls) {
  TempDir dir;
  auto e = started(dir);
  post(*e, kKindBlockTitle, 4, 1.0f);
  qveditorstate s = e->editorState();
  EXPECT_EQ(s.box, qvboxkind::blockParams);
  EXPECT_EQ(s.boxBlock, 4);

  post(*e, kKindParamSettings, 4, 1.0f, 1);
  s = e->editorState();
  EXPECT_EQ(s.box, qvboxkind::paramEditor);
  EXPECT_EQ(s.boxParam, 1);

  // "show control" hides the knob and goes back to the block's box.
  post(*e, kKindShowControl, 4, 0.0f, 1);
  EXPECT_FALSE(e->chain.units[4]->records[1]->setvis);
  EXPECT_EQ(e->editorState().box, qvboxkind::blockParams);

  // A control of the box, still in the table after its box closed, does nothing.
  const int32_t field = control(*e, kKindValueField, 4, 2, kClassTextField);
  e->controls[uint32_t(field)]->box = 4;
  e->postCommand(kCmdCloseBox, 0.0f);
  const float bias = e->chain.units[4]->params[2]->getValue();
  e->postText(field, "0.9");
  EXPECT_EQ(e->chain.units[4]->params[2]->getValue(), bias);

  // Deleting a block closes a box for a block: positions moved.
  post(*e, kKindBlockTitle, 5, 1.0f);
  post(*e, kKindDeleteBlock, 3, 1.0f);
  EXPECT_EQ(e->editorState().box, qvboxkind::none);
}

TEST(EditorState, RowsPickedForAMoveAreDropped) {
  TempDir dir;
  auto e = started(dir);
  e->postCommand(kCmdMoveRow, 99.0f);  // no such preset
  EXPECT_EQ(e->editorState().drag, qvdragphase::none);
  e->postCommand(kCmdMoveRow, float(kFullClean));
  EXPECT_EQ(e->editorState().drag, qvdragphase::movingRow);
  EXPECT_EQ(e->drag.kind, qvdragdrop::Kind::preset);
  e->drag.category = 0;  // the editor sets the target under the mouse
  e->postCommand(kCmdDragAndDrop, 0.0f);
  EXPECT_EQ(e->editorState().drag, qvdragphase::none);
  EXPECT_EQ(e->data.presets[kFullClean]->categoryid, e->data.presetCategories[0]->id);

  e->postCommand(kCmdChangeCab, 0.0f);
  e->postCommand(kCmdMoveCategoryRow, 1.0f);
  EXPECT_EQ(e->drag.kind, qvdragdrop::Kind::impulseCategory);
}

// In drag mode a press on a draggable control picks it up instead of running it;
// a drop target then moves what was picked.
TEST(EditorState, DragModePicksAndDrops) {
  TempDir dir;
  auto e = started(dir);
  qvcontrol title;
  title.controlClass = kClassPushButton;
  title.kind = kKindBlockTitle;
  title.position = 3;  // the amplifier's first block
  title.draggable = 1;
  const int32_t tag = e->addControl(title);
  e->postCommand(tag, 1.0f);  // drag mode off: it opens the block's box
  EXPECT_EQ(e->editorState().box, qvboxkind::blockParams);
  e->postCommand(kCmdCloseBox, 0.0f);

  e->setDragMode(true);
  e->state.audioIdle.store(0);  // anything queued would stay in the mailbox
  e->postCommand(tag, 1.0f);
  EXPECT_FALSE(e->mailbox.pending());
  qveditorstate s = e->editorState();
  EXPECT_EQ(s.drag, qvdragphase::pickedBlock);
  EXPECT_EQ(s.pickedTag, tag);
  EXPECT_EQ(s.box, qvboxkind::none);
  e->state.audioIdle.store(1);

  const int filter = e->chain.units[3]->blocktype();
  post(*e, kKindDragTarget, 6, 1.0f);
  EXPECT_EQ(e->chain.units[6]->blocktype(), filter);
  EXPECT_EQ(e->editorState().drag, qvdragphase::none);
  post(*e, kKindDragTarget, 4, 1.0f);  // nothing picked any more
  EXPECT_EQ(e->chain.units[6]->blocktype(), filter);
}

TEST(EditorState, SurvivesRebuiltTablesAndRigChanges) {
  TempDir dir;
  auto e = started(dir);
  e->postCommand(kCmdSelectPage, 1.0f);
  e->postCommand(kCmdShowPresets, 0.0f);
  {
    std::lock_guard<qvlock> hold(e->mailbox.commandLock());
    e->clearControls();
  }
  e->postCommand(kCmdSelectPreset, float(kFullClean));
  const qveditorstate s = e->editorState();
  EXPECT_EQ(s.page, 1);
  EXPECT_EQ(s.box, qvboxkind::presets);
}

// A command drained on the audio thread touches no view: it leaves one rebuild
// request and its message for the editor's next idle.
TEST(EditorThreads, AudioThreadCommandsAskForARebuild) {
  TempDir dir;
  auto e = started(dir);
  e->takeRebuildRequest();
  const int32_t tag = control(*e, kKindAddPedalPre, 3);
  e->state.audioIdle.store(0);
  for (int k = 0; k < 2; ++k) {
    std::thread poster([&] { e->postCommand(tag, 2.0f); });
    while (!e->mailbox.pending()) std::this_thread::yield();
    e->processReplacing(nullptr, nullptr, 0);
    poster.join();
  }
  EXPECT_EQ(e->chain.pedalSlots.count(), 3u) << "the second post came from a stale control";
  EXPECT_TRUE(e->takeRebuildRequest());
  EXPECT_FALSE(e->takeRebuildRequest());
}
