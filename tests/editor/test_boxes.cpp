// The pop-up boxes headless: built from the engine's state and closed again;
// names typed into their fields reach the presets and categories; the file
// chooser's answers, good and bad; a preset row carried onto a category.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "editor/qvdraglayer.hpp"
#include "editor/qvtricklabel.hpp"
#include "platform/files.hpp"
#include "tests/impulsefixture.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/cscrollview.hpp"
#include "toolkit/ctextedit.hpp"
#include "toolkit/headless/headless.hpp"
#include "tools/snapshot/editorinstance.hpp"

namespace {

// The first view under `c` (depth first) that `match` accepts.
CView* findView(CViewContainer* c, const std::function<bool(CView*)>& match) {
  for (int32_t k = 0; c && k < c->getNbViews(); ++k) {
    CView* v = c->getView(k);
    if (match(v)) return v;
    if (CView* inner = findView(v->asViewContainer(), match)) return inner;
  }
  return nullptr;
}

// The button posting `tag` (with `value` when given), or the label showing `text`.
CView* commandView(qveditor& ed, int32_t tag, float value = -2.0f) {
  return findView(ed.getFrame(), [&](CView* v) {
    auto* b = dynamic_cast<qvtricklabel*>(v);
    auto* c = dynamic_cast<CControl*>(v);
    return c && c->getTag() == tag && (value == -2.0f || (b && b->getOnValue() == value));
  });
}
CView* labelView(CViewContainer* c, const std::string& text) {
  return findView(c, [&](CView* v) { return v->isTypeOf("CTextLabel") && static_cast<CTextLabel*>(v)->getText() == text; });
}

int32_t tagOf(qvengine& e, int32_t kind, int32_t position, int32_t index = -1) {
  for (uint32_t t = 0; t < e.controls.count(); ++t) {
    const qvcontrol& c = *e.controls[t];
    if (c.kind == kind && c.position == position && (index < 0 || c.index == index)) return static_cast<int32_t>(t);
  }
  return -1;
}

void click(qveditorinstance& in, CView* v) {
  ASSERT_NE(v, nullptr);
  injectClick(in.frame(), v->getFrameRect().getCenter());
  in.idleFor(0.1);
}

// Types `text` over what the field holds and commits it with Enter.
void typeInto(qveditorinstance& in, CView* field, const std::string& text) {
  ASSERT_NE(field, nullptr);
  injectClick(in.frame(), field->getFrameRect().getCenter());
  injectKey(in.frame(), kVKeyEnd);
  for (size_t k = static_cast<CTextEdit*>(field)->getText().size(); k > 0; --k) injectKey(in.frame(), kVKeyBack);
  injectText(in.frame(), text);
  injectKey(in.frame(), kVKeyReturn);
}

std::vector<qvmessage> takeMessages(qvengine& e) {
  std::vector<qvmessage> out;
  qvmessage m;
  while (e.messages.pop(m.text, m.level)) out.push_back(m);
  return out;
}

std::string userDocument(qveditorinstance& in) {
  std::string bytes;
  readWholeFile(in.folder() + "/corvina-save.fxda", bytes);
  return bytes;
}

}  // namespace

TEST(EditorBoxes, EachBoxBuildsFromTheStateAndCloses) {
  const struct {
    const char* title;
    std::vector<std::pair<int32_t, int32_t>> open;  // (kind, index) of controls pressed; kind 0: the command
    int32_t command, box, closeTag;
  } cases[] = {
      {"Presets", {}, kCmdShowPresets, 3, kCmdCloseBox},
      {"Cab Impulses", {}, kCmdChangeCab, 3, kCmdCloseBox},
      {"Block Params", {{kKindBlockTitle, -1}}, -1, 4, kCmdCloseBoxNumber},
      {"Param Settings", {{kKindBlockTitle, -1}, {kKindParamSettings, 1}}, -1, 4, kCmdCloseBoxNumber},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    qveditorinstance in;
    ASSERT_TRUE(in.open());
    qvengine& e = in.engine();
    if (c.command >= 0) e.postCommand(c.command, 1.0f);
    for (const auto& [kind, index] : c.open) {
      e.postCommand(tagOf(e, kind, 0, index), 1.0f);
      in.idleFor(0.1);
    }
    in.idleFor(0.1);
    ASSERT_NE(in.editor().boxPanel(), nullptr);
    EXPECT_NE(findView(in.editor().boxPanel(), [&](CView* v) {
                return v->isTypeOf("CTextLabel") && static_cast<CTextLabel*>(v)->getText().rfind(c.title, 0) == 0;
              }),
              nullptr);
    // The box's table controls carry its number and lie inside the window.
    for (uint32_t t = 0; t < e.controls.count(); ++t) {
      if (e.controls[t]->box == 0) continue;
      EXPECT_EQ(e.controls[t]->box, c.box);
      const CRect at = static_cast<CView*>(e.controls[t]->view)->getFrameRect();
      EXPECT_TRUE(at.left >= 0 && at.top >= 0 && at.right <= 840 && at.bottom <= 480) << "control " << t;
    }
    click(in, commandView(in.editor(), c.closeTag));
    EXPECT_EQ(in.editor().boxPanel(), nullptr);
    for (uint32_t t = 0; t < e.controls.count(); ++t) EXPECT_EQ(e.controls[t]->box, 0) << "control " << t;
  }
}

TEST(EditorBoxes, SaveAsNewStoresThePresetUnderTheTypedName) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qvengine& e = in.engine();
  const uint32_t before = e.data.presets.count();
  e.postCommand(kCmdShowPresets, 1.0f);
  in.idleFor(0.1);
  // The cab's field shares the tag: the preset's name must be the one taken.
  typeInto(in, commandView(in.editor(), kCmdNameField), "Night Rig");
  click(in, commandView(in.editor(), kCmdSavePresetAsNew));
  ASSERT_EQ(e.data.presets.count(), before + 1);
  EXPECT_EQ(e.data.presets[before]->name, "Night Rig");
  EXPECT_NE(userDocument(in).find("\"Night Rig\""), std::string::npos);
}

TEST(EditorBoxes, CategoryNamesAreCutOrNamedWhenEmpty) {
  const std::pair<std::string, std::string> cases[] = {
      {"Twenty-five characters!!", "Twenty-five charact"}, {"", "Unnamed Category"}, {"Blues", "Blues"}};
  for (const auto& [typed, stored] : cases) {
    SCOPED_TRACE(typed);
    qveditorinstance in;
    ASSERT_TRUE(in.open());
    qvengine& e = in.engine();
    const uint32_t before = e.data.presetCategories.count();
    e.postCommand(kCmdShowPresets, 1.0f);
    in.idleFor(0.1);
    click(in, commandView(in.editor(), kCmdEditCategory, -1.0f));
    typeInto(in, in.editor().controlView(tagOf(e, kKindCategoryName, -1)), typed);
    click(in, commandView(in.editor(), kCmdCommitCategory));
    ASSERT_EQ(e.data.presetCategories.count(), before + 1);
    EXPECT_EQ(e.data.presetCategories[before]->name, stored);
    EXPECT_NE(labelView(in.editor().boxList(), stored), nullptr) << "the new category has its row";
  }
}

TEST(EditorBoxes, ChooserAnswersGoodAndBad) {
  TempDir dir;
  const std::string script = dir.file("chooser");
  std::ofstream(script) << "#!/bin/sh\nPATH=/usr/bin:/bin\ncat \"$0.out\"\nexit $(cat \"$0.code\")\n";
  chmod(script.c_str(), 0755);
  const std::string odd = dir.file("my cabs \xc3\xa9t\xc3\xa9 \xff.wav");
  ASSERT_TRUE(writeSound(odd, 48000, rampImpulse(64)));
  std::ofstream(dir.file("notes.txt")) << "not a sound";
  ASSERT_EQ(mkdir(dir.file("no sounds").c_str(), 0755), 0);
  const struct {
    const char* what;
    std::string chooser, path;
    int32_t command;  // a "Cab Sim" menu entry when below 10
    int code;
    const char* said;  // the warning, or null for none
  } cases[] = {
      {"cancelled", script, "", kCmdAddImpulseFile, 1, "Warning: No file..."},
      {"missing file", script, dir.file("gone.wav"), kCmdAddImpulseFile, 0, " - Could not open file: "},
      {"not a WAV file", script, dir.file("notes.txt"), kCmdAddImpulseFile, 0, "only wav format is supported"},
      {"folder without WAV files", script, dir.file("no sounds"), 3, 0, nullptr},
      {"no chooser at all", dir.file("nothing-here"), "", kCmdAddImpulseFile, 0, "no file chooser found"},
      {"spaces and other bytes", script, odd, 2, 0, nullptr},
  };
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", dir.path().c_str(), 1);  // no zenity, no kdialog
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qveditorinstance in;
    ASSERT_TRUE(in.open());
    qvengine& e = in.engine();
    setenv("CORVINA_FILE_CHOOSER", c.chooser.c_str(), 1);
    std::ofstream(script + ".out", std::ios::binary) << c.path << (c.path.empty() ? "" : "\n");
    std::ofstream(script + ".code") << c.code;
    takeMessages(e);
    const uint32_t categories = e.data.impulseCategories.count();
    const int32_t playing = e.chain.cabBlocks.empty() ? -1 : e.chain.cabBlocks[0]->impulse;
    e.postCommand(c.command < 10 ? tagOf(e, kKindCabSimMenu, -1) : c.command, static_cast<float>(c.command));
    std::string warnings;
    for (const qvmessage& m : takeMessages(e))
      if (m.level == 2) warnings += m.text + "|";
    EXPECT_EQ(e.data.impulseCategories.count(), categories) << "no category appeared";
    if (c.path == odd) {
      EXPECT_EQ(warnings, "");
      EXPECT_EQ(e.data.impulses[e.data.impulses.count() - 1]->path, odd);
      EXPECT_EQ(e.chain.cabBlocks[static_cast<uint32_t>(e.data.currentCabBlock)]->impulse,
                static_cast<int32_t>(e.data.impulses.count() - 1)) << "the new impulse plays";
      continue;
    }
    if (c.said) EXPECT_NE(warnings.find(c.said), std::string::npos) << warnings;
    else EXPECT_EQ(warnings, "");
    EXPECT_EQ(e.chain.cabBlocks.empty() ? -1 : e.chain.cabBlocks[0]->impulse, playing) << "the rig plays on";
  }
  setenv("PATH", path.c_str(), 1);
  unsetenv("CORVINA_FILE_CHOOSER");
}

TEST(EditorBoxes, APresetRowCarriedOntoACategoryMovesThere) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qvengine& e = in.engine();
  e.postCommand(kCmdShowPresets, 1.0f);
  in.idleFor(0.1);
  const int32_t preset = e.data.currentPreset;
  ASSERT_GE(preset, 0);
  uint32_t target = 0;  // a category the preset is not in
  while (e.data.presetCategories[target]->id == e.data.presets[static_cast<uint32_t>(preset)]->categoryid) ++target;
  const std::string before = userDocument(in);
  // Escape puts it back.
  click(in, commandView(in.editor(), kCmdMoveRow, static_cast<float>(preset)));
  ASSERT_NE(in.editor().dragLayer(), nullptr);
  injectKey(in.frame(), kVKeyEscape);
  in.idleFor(0.1);
  EXPECT_EQ(in.editor().dragLayer(), nullptr);
  EXPECT_EQ(userDocument(in), before);

  // Onto another row: it takes that row's place in the list.
  const std::string name = e.data.presets[static_cast<uint32_t>(preset)]->name;
  const int32_t place = preset + 2;  // shown in the same category, two rows down
  ASSERT_EQ(e.data.presets[static_cast<uint32_t>(place)]->categoryid, e.data.presets[static_cast<uint32_t>(preset)]->categoryid);
  click(in, commandView(in.editor(), kCmdMoveRow, static_cast<float>(preset)));
  click(in, commandView(in.editor(), kCmdSelectPreset, static_cast<float>(place)));
  ASSERT_EQ(e.data.presets[static_cast<uint32_t>(place)]->name, name);
  ASSERT_EQ(e.data.currentPreset, place) << "the current preset follows its row";
  const int32_t moved = place;

  click(in, commandView(in.editor(), kCmdMoveRow, static_cast<float>(moved)));
  CView* category = labelView(in.editor().boxList(), e.data.presetCategories[target]->name);
  ASSERT_NE(category, nullptr);
  const CPoint over = category->getFrameRect().getCenter();
  in.frame().platformOnMouseMoved(over, 0);
  EXPECT_NE(in.editor().dragLayer()->marked(), nullptr) << "the category under the mouse is marked";
  EXPECT_TRUE(in.editor().dragLayer()->overlayRect().pointInside(over)) << "the overlay follows the mouse";
  const int32_t shown = e.data.currentCategory;
  injectClick(in.frame(), over);
  in.idleFor(0.1);
  EXPECT_EQ(e.data.presets[static_cast<uint32_t>(moved)]->categoryid, e.data.presetCategories[target]->id);
  EXPECT_EQ(e.data.currentCategory, shown) << "the press that dropped did nothing else";
  EXPECT_NE(userDocument(in), before);
}
