// The editor state the engine keeps: pages, pop-up boxes, rows picked for a move,
// drag mode; it survives rebuilt control tables and rig changes, and commands
// drained on the audio thread only ask the editor to rebuild.
#include <gtest/gtest.h>

#include <thread>
#include <tuple>

#include "controlfixture.hpp"

using namespace ctlfix;

TEST(EditorState, PagesAndBoxes) {
  TempDir dir;
  auto e = started(dir);
  using B = qvboxkind;
  using Row = std::tuple<int32_t, float, int32_t, B, int32_t>;  // command, value, page, box, list mode
  for (const auto& [code, value, page, box, listMode] : std::vector<Row>{
           {kCmdShowPresets, 0, 0, B::presets, 0},   {kCmdSelectPage, 1.4f, 1, B::none, 0},
           {kCmdChangeCab, 0, 1, B::presets, 2},     {kCmdCloseBoxNumber, 4, 1, B::presets, 2},
           {kCmdCloseBoxNumber, 3, 1, B::none, 2},   {kCmdSelectPage, 2.6f, 1, B::none, 2},  // no page 3
           {kCmdShowPresets, 0, 1, B::presets, 0},   {kCmdEditCategory, 0, 1, B::category, 0},
           {kCmdDeleteCategory, 0, 1, B::presets, 0}, {kCmdSelectPage, 1.6f, 2, B::none, 0},
           {kCmdShowPresets, 0, 2, B::presets, 0},   {70005, 0, 2, B::presets, 0}}) {  // no such command
    e->postCommand(code, value);
    const qveditorstate s = e->editorState();
    EXPECT_EQ(std::make_tuple(s.page, s.box, e->data.categoryListMode), std::make_tuple(page, box, listMode))
        << code << " " << value;
  }
  e->mailbox.commandLock().lock();  // neither a rebuilt control table nor another rig changes it
  e->clearControls();
  e->mailbox.commandLock().unlock();
  e->postCommand(kCmdSelectPreset, float(kFullClean));
  EXPECT_EQ(e->editorState().box, B::presets);
}

TEST(EditorState, BlockBoxesFollowTheirControls) {
  TempDir dir;
  auto e = started(dir);
  post(*e, kKindBlockTitle, 4, 1.0f);
  post(*e, kKindParamSettings, 4, 1.0f, 1);
  qveditorstate s = e->editorState();
  EXPECT_EQ(std::make_tuple(s.box, s.boxBlock, s.boxParam), std::make_tuple(qvboxkind::paramEditor, 4, 1));
  post(*e, kKindShowControl, 4, 0.0f, 1);  // hides the knob, back to the block's box
  EXPECT_FALSE(e->chain.units[4]->records[1]->setvis);
  EXPECT_EQ(e->editorState().box, qvboxkind::blockParams);

  // A control of the box, still in the table after its box closed, does nothing.
  qvcontrol field = made(kKindValueField, 4, 2, kClassTextField);
  field.box = 4;
  const int32_t tag = e->addControl(field);
  e->postCommand(kCmdCloseBox, 0.0f);
  const float bias = e->chain.units[4]->params[2]->getValue();
  e->postText(tag, "0.9");
  EXPECT_EQ(e->chain.units[4]->params[2]->getValue(), bias);
}

// In drag mode a press on a draggable control picks it up instead of running it;
// a drop target then moves what was picked. Rows of the preset box are picked by
// their "Move" buttons.
TEST(EditorState, DragModePicksAndDrops) {
  TempDir dir;
  auto e = started(dir);
  qvcontrol press = made(kKindBlockTitle, 3, -1, kClassPushButton);  // the amplifier's first block
  press.draggable = 1;
  const int32_t title = e->addControl(press);
  e->setDragMode(true);
  e->postCommand(title, 1.0f);  // run, it would open the block's box
  const qveditorstate s = e->editorState();
  EXPECT_EQ(std::make_tuple(s.drag, s.pickedTag, s.box),
            std::make_tuple(qvdragphase::pickedBlock, title, qvboxkind::none));

  const int filter = e->chain.units[3]->blocktype();
  post(*e, kKindDragTarget, 6, 1.0f);
  EXPECT_EQ(e->chain.units[6]->blocktype(), filter);
  EXPECT_EQ(e->editorState().drag, qvdragphase::none);

  e->postCommand(kCmdMoveRow, float(kFullClean));  // a preset row, dropped on category 0
  e->drag.category = 0;  // the editor sets the target under the mouse
  e->postCommand(kCmdDragAndDrop, 0.0f);
  EXPECT_EQ(e->editorState().drag, qvdragphase::none);
  EXPECT_EQ(e->data.presets[kFullClean]->categoryid, e->data.presetCategories[0]->id);
}

// A command drained on the audio thread touches no view: it leaves a rebuild
// request for the editor's next idle.
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
