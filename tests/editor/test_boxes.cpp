// The pop-up boxes headless: they are built from the engine's state and close
// again; names typed into their fields reach the presets and categories; the file
// chooser's answers, good and bad; rows and pedals carried by the drag layer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "editor/editorlayout.hpp"
#include "editor/qvdraglayer.hpp"
#include "editor/qvtricklabel.hpp"
#include "platform/files.hpp"
#include "plugin/qvengine.hpp"
#include "tests/impulsefixture.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/cscrollview.hpp"
#include "toolkit/ctextedit.hpp"
#include "toolkit/headless/headless.hpp"
#include "tools/snapshot/editorinstance.hpp"

namespace {

// The first view under `c` (depth first) that `match` accepts.
CView* findView(CViewContainer* c, const std::function<bool(CView*)>& match) {
  if (!c) return nullptr;
  for (int32_t k = 0; k < c->getNbViews(); ++k) {
    CView* v = c->getView(k);
    if (match(v)) return v;
    if (CView* inner = findView(v->asViewContainer(), match)) return inner;
  }
  return nullptr;
}

// The button or field posting `tag` (with `value` for push buttons when given).
CView* commandView(qveditor& ed, int32_t tag, float value = -2.0f) {
  return findView(ed.getFrame(), [&](CView* v) {
    auto* c = dynamic_cast<CControl*>(v);
    if (!c || c->getTag() != tag) return false;
    auto* b = dynamic_cast<qvtricklabel*>(v);
    return value == -2.0f || (b && b->getOnValue() == value);
  });
}

// A label in the box showing `text` (the toggles of the category rows are labels).
CView* labelView(CViewContainer* c, const std::string& text) {
  return findView(c, [&](CView* v) { return v->isTypeOf("CTextLabel") && static_cast<CTextLabel*>(v)->getText() == text; });
}

void click(qveditorinstance& in, CView* v) {
  ASSERT_NE(v, nullptr);
  injectClick(in.frame(), v->getFrameRect().getCenter());
  in.idleFor(0.1);
}

// Clears the field, types `text` into it and commits it with Enter.
void typeInto(qveditorinstance& in, CView* field, const std::string& text) {
  ASSERT_NE(field, nullptr);
  injectClick(in.frame(), field->getFrameRect().getCenter());
  injectKey(in.frame(), kVKeyEnd);
  for (size_t k = static_cast<CTextEdit*>(field)->getText().size(); k > 0; --k) injectKey(in.frame(), kVKeyBack);
  injectText(in.frame(), text);
  injectKey(in.frame(), kVKeyReturn);
}

int32_t tagOf(qvengine& e, int32_t kind, int32_t position, int32_t index = -1) {
  for (uint32_t t = 0; t < e.controls.count(); ++t) {
    const qvcontrol& c = *e.controls[t];
    if (c.kind == kind && c.position == position && (index < 0 || c.index == index)) return static_cast<int32_t>(t);
  }
  return -1;
}

int boxControls(qvengine& e) {
  int n = 0;
  for (uint32_t t = 0; t < e.controls.count(); ++t) n += e.controls[t]->box != 0;
  return n;
}

std::vector<qvmessage> takeMessages(qvengine& e) {
  std::vector<qvmessage> out;
  qvmessage m;
  while (e.messages.pop(m.text, m.level)) out.push_back(m);
  return out;
}

bool saidWarning(const std::vector<qvmessage>& said, const std::string& start) {
  for (const qvmessage& m : said)
    if (m.level == 2 && m.text.rfind(start, 0) == 0) return true;
  return false;
}

std::string userDocument(qveditorinstance& in) {
  std::string bytes;
  readWholeFile(in.folder() + "/corvina-save.fxda", bytes);
  return bytes;
}

}  // namespace

TEST(EditorBoxes, EachBoxBuildsFromTheStateAndCloses) {
  struct Case {
    const char* what;
    std::function<void(qveditorinstance&)> open;
    const char* title;
    int32_t box;
    int32_t closeTag;
    float closeValue;
  };
  const Case cases[] = {
      {"preset box", [](qveditorinstance& in) { in.engine().postCommand(kCmdShowPresets, 1.0f); }, "Presets", 3,
       kCmdCloseBox, 1.0f},
      {"impulse list", [](qveditorinstance& in) { in.engine().postCommand(kCmdChangeCab, 1.0f); }, "Cab Impulses", 3,
       kCmdCloseBox, 1.0f},
      {"block box", [](qveditorinstance& in) { in.engine().postCommand(tagOf(in.engine(), kKindBlockTitle, 0), 1.0f); },
       "Block Params", 4, kCmdCloseBoxNumber, 1.0f},
      {"parameter box",
       [](qveditorinstance& in) {
         in.engine().postCommand(tagOf(in.engine(), kKindBlockTitle, 0), 1.0f);
         in.idleFor(0.1);
         in.engine().postCommand(tagOf(in.engine(), kKindParamSettings, 0, 1), 1.0f);
       },
       "Param Settings", 4, kCmdCloseBoxNumber, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    qveditorinstance in;
    ASSERT_TRUE(in.open());
    EXPECT_EQ(in.editor().boxPanel(), nullptr);
    c.open(in);
    in.idleFor(0.1);
    ASSERT_NE(in.editor().boxPanel(), nullptr);
    EXPECT_NE(findView(in.editor().boxPanel(), [&](CView* v) {
                return v->isTypeOf("CTextLabel") && static_cast<CTextLabel*>(v)->getText().rfind(c.title, 0) == 0;
              }),
              nullptr);
    // Every box control in the table carries this box's number and sits inside the window.
    for (uint32_t t = 0; t < in.engine().controls.count(); ++t) {
      const qvcontrol& r = *in.engine().controls[t];
      if (r.box == 0) continue;
      EXPECT_EQ(r.box, c.box);
      const CRect at = static_cast<CView*>(r.view)->getFrameRect();
      EXPECT_TRUE(at.left >= 0 && at.top >= 0 && at.right <= 840 && at.bottom <= 480) << "control " << t;
    }
    click(in, commandView(in.editor(), c.closeTag, c.closeValue));
    EXPECT_EQ(in.editor().boxPanel(), nullptr);
    EXPECT_EQ(boxControls(in.engine()), 0);
  }
}

TEST(EditorBoxes, BlockBoxFieldsEditTheParameter) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qvengine& e = in.engine();
  e.postCommand(tagOf(e, kKindBlockTitle, 0), 1.0f);
  in.idleFor(0.1);
  qvutil& unit = *e.chain.units[0];
  const int32_t field = tagOf(e, kKindValueField, 0, 1);
  ASSERT_GE(field, 0);
  typeInto(in, in.editor().controlView(field), "123");
  in.idleFor(0.1);
  EXPECT_FLOAT_EQ(unit.params[1]->getValue(), 123.0f);
  // "show control" off takes the parameter's knob off the panel, and the box stays.
  const bool shown = unit.records[1]->setvis;
  click(in, in.editor().controlView(tagOf(e, kKindShowControl, 0, 1)));
  EXPECT_EQ(unit.records[1]->setvis, !shown);
  EXPECT_NE(in.editor().boxPanel(), nullptr);
  // The settings box writes the caption back.
  click(in, in.editor().controlView(tagOf(e, kKindParamSettings, 0, 1)));
  int32_t name = -1;
  for (uint32_t t = 0; t < e.controls.count(); ++t)
    if (e.controls[t]->kind == kKindParamField && e.controls[t]->subindex == kFieldName) name = static_cast<int32_t>(t);
  ASSERT_GE(name, 0);
  typeInto(in, in.editor().controlView(name), "Sweep");
  in.idleFor(0.1);
  EXPECT_EQ(unit.records[1]->nametag, "Sweep");
}

TEST(EditorBoxes, SaveAsNewStoresThePresetUnderTheTypedName) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qvengine& e = in.engine();
  const uint32_t before = e.data.presets.count();
  e.postCommand(kCmdShowPresets, 1.0f);
  in.idleFor(0.1);
  typeInto(in, commandView(in.editor(), kCmdNameField), "Night Rig");
  // The cab field shares the tag: Rename must not take the preset's name, nor the reverse.
  click(in, commandView(in.editor(), kCmdSavePresetAsNew));
  ASSERT_EQ(e.data.presets.count(), before + 1);
  EXPECT_EQ(e.data.presets[before]->name, "Night Rig");
  EXPECT_EQ(e.data.currentPreset, static_cast<int32_t>(before));
  EXPECT_NE(userDocument(in).find("\"Night Rig\""), std::string::npos);
  // The box came back with the new name in its field.
  EXPECT_EQ(static_cast<CTextEdit*>(commandView(in.editor(), kCmdNameField))->getText(), "Night Rig");
}

TEST(EditorBoxes, CategoryNamesAreCutOrNamedWhenEmpty) {
  const struct {
    std::string typed, stored;
  } cases[] = {
      {"Twenty-five characters!!", "Twenty-five charact"},
      {"", "Unnamed Category"},
      {"Blues", "Blues"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    qveditorinstance in;
    ASSERT_TRUE(in.open());
    qvengine& e = in.engine();
    const uint32_t before = e.data.presetCategories.count();
    e.postCommand(kCmdShowPresets, 1.0f);
    in.idleFor(0.1);
    click(in, commandView(in.editor(), kCmdEditCategory, -1.0f));
    ASSERT_NE(labelView(in.editor().getFrame(), "New Category"), nullptr);
    typeInto(in, in.editor().controlView(tagOf(e, kKindCategoryName, -1)), c.typed);
    click(in, commandView(in.editor(), kCmdCommitCategory));
    ASSERT_EQ(e.data.presetCategories.count(), before + 1);
    EXPECT_EQ(e.data.presetCategories[before]->name, c.stored);
    EXPECT_NE(labelView(in.editor().boxList(), c.stored), nullptr) << "the new category has its row";
  }
}

// The file chooser is a script that prints the path a test gives it.
class EditorChooser : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.ok());
    if (const char* c = std::getenv("CORVINA_FILE_CHOOSER")) oldChooser = c;
    script = dir.file("chooser");
    std::ofstream(script) << "#!/bin/sh\ncat \"$0.out\"\nexit $(cat \"$0.code\")\n";
    chmod(script.c_str(), 0755);
    setenv("CORVINA_FILE_CHOOSER", script.c_str(), 1);
  }
  void TearDown() override {
    if (oldChooser.empty()) unsetenv("CORVINA_FILE_CHOOSER");
    else setenv("CORVINA_FILE_CHOOSER", oldChooser.c_str(), 1);
  }
  void answer(const std::string& path, int code = 0) {
    std::ofstream(script + ".out", std::ios::binary) << path << (path.empty() ? "" : "\n");
    std::ofstream(script + ".code") << code;
  }
  TempDir dir;
  std::string script, oldChooser;
};

TEST_F(EditorChooser, BadAnswersWarnAndChangeNothingElse) {
  ASSERT_TRUE(writeSound(dir.file("cab.wav"), 48000, rampImpulse(64)));
  std::ofstream(dir.file("notes.txt")) << "not a sound";
  ASSERT_EQ(mkdir(dir.file("no sounds").c_str(), 0755), 0);
  std::ofstream(dir.file("no sounds/readme.txt")) << "empty";
  const struct {
    const char* what;
    int32_t command;
    std::string path;
    int code;
    const char* warning;  // null: none
  } cases[] = {
      {"cancelled", kCmdAddImpulseFile, "", 1, "Warning: No file..."},
      {"missing file", kCmdAddImpulseFile, dir.file("gone.wav"), 0, " - Could not open file: "},
      {"not a WAV file", kCmdAddImpulseFile, dir.file("notes.txt"), 0, "Warning: only wav format is supported..."},
      {"folder without WAV files", kCmdImportFolder, dir.file("no sounds"), 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qveditorinstance in;
    ASSERT_TRUE(in.open());
    qvengine& e = in.engine();
    takeMessages(e);
    const uint32_t categories = e.data.impulseCategories.count();
    std::vector<int32_t> playing;
    for (uint32_t b = 0; b < e.chain.cabBlocks.count(); ++b) playing.push_back(e.chain.cabBlocks[b]->impulse);
    answer(c.path, c.code);
    e.postCommand(c.command, 1.0f);
    const std::vector<qvmessage> said = takeMessages(e);
    if (c.warning) {
      bool found = false;
      for (const qvmessage& m : said) found |= m.level == 2 && m.text.find(c.warning) != std::string::npos;
      EXPECT_TRUE(found) << "warning " << c.warning;
    } else {
      EXPECT_FALSE(saidWarning(said, "")) << "no warning";
    }
    // The rig plays what it played; no category appeared.
    std::vector<int32_t> after;
    for (uint32_t b = 0; b < e.chain.cabBlocks.count(); ++b) after.push_back(e.chain.cabBlocks[b]->impulse);
    EXPECT_EQ(after, playing);
    EXPECT_EQ(e.data.impulseCategories.count(), categories);
  }
}

TEST_F(EditorChooser, APathWithSpacesAndOtherBytesLoads) {
  const std::string path = dir.file("my cabs \xc3\xa9t\xc3\xa9 \xff.wav");
  ASSERT_TRUE(writeSound(path, 48000, rampImpulse(64)));
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qvengine& e = in.engine();
  takeMessages(e);
  answer(path);
  // Through the "Cab Sim" menu's "Open IR File", as a user picks it.
  const int32_t menu = tagOf(e, kKindCabSimMenu, -1);
  ASSERT_GE(menu, 0);
  e.postCommand(menu, 2.0f);
  const std::vector<qvmessage> said = takeMessages(e);
  EXPECT_FALSE(saidWarning(said, "")) << (said.empty() ? "" : said.front().text);
  const qvimpulse& added = *e.data.impulses[e.data.impulses.count() - 1];
  EXPECT_EQ(added.path, path);
  ASSERT_GE(e.data.currentCabBlock, 0);
  EXPECT_EQ(e.chain.cabBlocks[static_cast<uint32_t>(e.data.currentCabBlock)]->impulse,
            static_cast<int32_t>(e.data.impulses.count() - 1));
  EXPECT_NE(userDocument(in).find("my cabs"), std::string::npos);
}

TEST_F(EditorChooser, NoChooserIsAWarningAndNoCommand) {
  setenv("CORVINA_FILE_CHOOSER", dir.file("nothing-here").c_str(), 1);
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", dir.path().c_str(), 1);  // no zenity, no kdialog
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qvengine& e = in.engine();
  takeMessages(e);
  const uint32_t impulses = e.data.impulses.count();
  e.postCommand(kCmdAddImpulseFile, 1.0f);
  setenv("PATH", path.c_str(), 1);
  const std::vector<qvmessage> said = takeMessages(e);
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0].level, 2);
  EXPECT_NE(said[0].text.find("chooser"), std::string::npos);
  EXPECT_EQ(e.data.impulses.count(), impulses);
}

TEST(EditorDrag, APresetRowDropsOntoACategory) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qvengine& e = in.engine();
  e.postCommand(kCmdShowPresets, 1.0f);
  in.idleFor(0.1);
  const int32_t preset = e.data.currentPreset;
  ASSERT_GE(preset, 0);
  ASSERT_GE(e.data.presetCategories.count(), 2u);
  // A category the preset is not in.
  uint32_t target = 0;
  while (e.data.presetCategories[target]->id == e.data.presets[static_cast<uint32_t>(preset)]->categoryid) ++target;
  const std::string targetName = e.data.presetCategories[target]->name;
  click(in, commandView(in.editor(), kCmdMoveRow, static_cast<float>(preset)));
  ASSERT_NE(in.editor().dragLayer(), nullptr);

  // Escape puts it back; nothing moved.
  const std::string before = userDocument(in);
  injectKey(in.frame(), kVKeyEscape);
  in.idleFor(0.1);
  EXPECT_EQ(in.editor().dragLayer(), nullptr);
  EXPECT_EQ(e.editorState().drag, qvdragphase::none);

  click(in, commandView(in.editor(), kCmdMoveRow, static_cast<float>(preset)));
  CView* category = labelView(in.editor().boxList(), targetName);
  ASSERT_NE(category, nullptr);
  const CPoint over = category->getFrameRect().getCenter();
  in.frame().platformOnMouseMoved(over, 0);
  ASSERT_NE(in.editor().dragLayer()->marked(), nullptr) << "the category under the mouse is marked";
  EXPECT_TRUE(in.editor().dragLayer()->overlayRect().pointInside(over)) << "the overlay follows the mouse";
  const int32_t shownCategory = e.data.currentCategory;
  injectClick(in.frame(), over);
  in.idleFor(0.1);
  EXPECT_EQ(e.data.presets[static_cast<uint32_t>(preset)]->categoryid, e.data.presetCategories[target]->id);
  EXPECT_EQ(e.data.currentCategory, shownCategory) << "the drop press did not also open the category";
  EXPECT_EQ(in.editor().dragLayer(), nullptr);
  EXPECT_NE(userDocument(in), before);
}

TEST(EditorDrag, APedalMovesOntoAnotherPedalsPlace) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qvengine& e = in.engine();
  ASSERT_GE(e.chain.pedalSlots.count(), 2u);
  e.postCommand(kCmdSelectPage, 1.0f);
  in.idleFor(0.1);
  const int32_t first = e.chain.pedalSlots[0]->dataind, second = e.chain.pedalSlots[1]->dataind;
  click(in, in.editor().controlView(tagOf(e, kKindPedalMove, 1)));
  ASSERT_NE(in.editor().dragLayer(), nullptr);
  // A press on the picked pedal itself changes nothing.
  const CPoint secondPanel(layout::kPedalFirstX + layout::kPedalW + layout::kPedalGap + 90, 200);
  injectClick(in.frame(), CPoint(layout::kPedalFirstX + 90, 200));
  in.idleFor(0.1);
  EXPECT_EQ(e.chain.pedalSlots[0]->dataind, first);
  EXPECT_EQ(e.editorState().drag, qvdragphase::none);
  click(in, in.editor().controlView(tagOf(e, kKindPedalMove, 1)));
  in.frame().platformOnMouseMoved(secondPanel, 0);
  injectClick(in.frame(), secondPanel);
  in.idleFor(0.1);
  EXPECT_EQ(e.chain.pedalSlots[0]->dataind, second);
  EXPECT_EQ(e.chain.pedalSlots[1]->dataind, first);
}
