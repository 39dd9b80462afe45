// The panels headless: what each page shows for the rig it is built from, the
// push buttons and toggles of the custom label, hints through the mouse, and a
// sweep over every factory preset for controls that overlap or leave the window.
#include <gtest/gtest.h>

#include "editor/editorlayout.hpp"
#include "editor/qvguimodel.hpp"
#include "editor/qvtricklabel.hpp"
#include "plugin/qvengine.hpp"
#include "plugin/rigedit.hpp"
#include "toolkit/cbitmap.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/ctextlabel.hpp"
#include "toolkit/headless/headless.hpp"
#include "tools/snapshot/editorinstance.hpp"

namespace {

// Every text the labels of `c` and its sub-containers show.
void labelTexts(CViewContainer* c, std::vector<std::string>& out) {
  for (int32_t k = 0; k < c->getNbViews(); ++k) {
    CView* v = c->getView(k);
    if (v->isTypeOf("CTextLabel")) out.push_back(static_cast<CTextLabel*>(v)->getText());
    if (CViewContainer* sub = v->asViewContainer()) labelTexts(sub, out);
  }
}

bool shows(CViewContainer* c, const std::string& text) {
  std::vector<std::string> texts;
  labelTexts(c, texts);
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The control whose view is `view`'s kind, first of that kind (for scenarios).
int32_t firstTagOfKind(qvengine& e, int32_t kind) {
  for (uint32_t t = 0; t < e.controls.count(); ++t)
    if (e.controls[t]->kind == kind) return static_cast<int32_t>(t);
  return -1;
}

}  // namespace

TEST(EditorPanels, EmptyPlacesSayWhatToDo) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qveditor& ed = in.editor();
  EXPECT_FALSE(shows(ed.page(0), "Amp Panel"));
  EXPECT_FALSE(shows(ed.page(1), "Pedals Panel")) << "the factory rig has pedals";

  clearRigAndReset(in.engine());
  ed.buildEditor();
  EXPECT_TRUE(shows(ed.page(0), "Amp Panel"));
  EXPECT_TRUE(shows(ed.page(0), "Select an amp in the Set Amp menu."));
  EXPECT_TRUE(shows(ed.page(1), "Pedals Panel"));
  EXPECT_TRUE(shows(ed.page(1), "No Pedals: Use the Pre and Post buttons to add them."));
  EXPECT_TRUE(shows(ed.page(0), "Add a new cab sim in the Cab Sim menu."));

  // Cab sims switched off: the panel says only that.
  in.engine().state.settings[kSetDisableCabSims]->setValue(1.0f);
  ed.buildEditor();
  EXPECT_TRUE(shows(ed.lowerStrip(), "Cab sims are off."));
  EXPECT_FALSE(shows(ed.lowerStrip(), "Add a new cab sim in the Cab Sim menu."));
}

TEST(EditorPanels, LayoutSwitchMovesTheAmplifierPanelUp) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  const CCoord top = in.editor().ampPanel()->getViewSize().top;
  EXPECT_EQ(top, layout::kAmpPanelY);
  in.engine().state.settings[kSetLayoutSwitch]->setValue(1.0f);
  in.editor().buildEditor();
  EXPECT_EQ(in.editor().ampPanel()->getViewSize().top, top - 70);
}

TEST(EditorPanels, TrickLabelButtonsAndToggles) {
  struct Recorder : CControlListener {
    std::vector<float> values;
    void valueChanged(CControl* c) override { values.push_back(c->getValue()); }
  } heard;
  CFrame frame(CRect(0, 0, 200, 100));
  auto* push = new qvtricklabel(CRect(0, 0, 50, 20), "push", nullptr, 0, &heard, 1, 1.0f, nullptr, qvtricklabel::kPushButton);
  auto* toggle = new qvtricklabel(CRect(60, 0, 110, 20), "t", nullptr, 0, &heard, 2, 2.0f, nullptr, qvtricklabel::kToggle);
  frame.addView(push);
  frame.addView(toggle);
  // Only a plain left click counts.
  for (CButtonState b : {CButtonState(kRButton), CButtonState(kLButton | kShift), CButtonState(kLButton | kControl)})
    EXPECT_EQ(push->onMouseDown(CPoint(5, 5), b), kMouseEventNotImplemented);
  EXPECT_TRUE(heard.values.empty());
  EXPECT_EQ(push->getValue(), 0.0f);
  // Pressed, then dragged off: let up without a second report.
  EXPECT_EQ(push->onMouseDown(CPoint(5, 5), kLButton), kMouseEventHandled);
  EXPECT_EQ(push->getValue(), 1.0f);
  push->onMouseExited(CPoint(60, 50), kLButton);
  EXPECT_EQ(push->getValue(), 0.0f);
  EXPECT_EQ(heard.values, std::vector<float>{1.0f});
  // A toggle with on value 2 switches between 0 and 2.
  injectClick(frame, CPoint(70, 10));
  injectClick(frame, CPoint(70, 10));
  injectClick(frame, CPoint(70, 10));
  EXPECT_EQ(heard.values, (std::vector<float>{1.0f, 2.0f, 0.0f, 2.0f}));
}

TEST(EditorPanels, ALabelDrawsItsUpperHalfWhateverItsValue) {
  // A two-state picture: red above, blue below.
  CBitmap* picture = new CBitmap(20, 20);
  {
    CairoContextPtr cr(cairo_create(picture->getSurface()));
    cairo_set_source_rgb(cr.get(), 1, 0, 0);
    cairo_rectangle(cr.get(), 0, 0, 20, 10);
    cairo_fill(cr.get());
    cairo_set_source_rgb(cr.get(), 0, 0, 1);
    cairo_rectangle(cr.get(), 0, 10, 20, 10);
    cairo_fill(cr.get());
  }
  CFrame frame(CRect(0, 0, 60, 20));
  auto* label = new qvtricklabel(CRect(0, 0, 20, 10), "", picture, kNoTextStyle, nullptr, 1, 1.0f, nullptr,
                                 qvtricklabel::kLabel);
  auto* toggle = new qvtricklabel(CRect(30, 0, 50, 10), "", picture, kNoTextStyle, nullptr, 2, 1.0f, nullptr,
                                  qvtricklabel::kToggle);
  picture->forget();
  frame.addView(label);
  frame.addView(toggle);
  label->setValue(1.0f);
  toggle->setValue(1.0f);
  frame.drawDirty();
  EXPECT_EQ(framePixel(frame, 10, 5), (CColor{255, 0, 0, 255})) << "mode 3: the upper half";
  EXPECT_EQ(framePixel(frame, 40, 5), (CColor{0, 0, 255, 255})) << "a toggle that is on: the lower half";
}

TEST(EditorPanels, HintsFollowTheMouseAndLeavingEarlyShowsNothing) {
  qveditorinstance in;
  in.engine().state.settings[kSetShowTips]->setValue(1.0f);
  ASSERT_TRUE(in.open());
  const int32_t tag = firstTagOfKind(in.engine(), kKindBlockParam);
  ASSERT_GE(tag, 0);
  CView* knob = in.editor().controlView(tag);
  const CPoint on = knob->getFrameRect().getCenter();
  in.frame().platformOnMouseMoved(on, 0);
  in.idleFor(0.4);
  ASSERT_NE(in.editor().hintView(), nullptr);
  EXPECT_EQ(in.editor().hintView()->getAlphaValue(), 0.0f);
  in.frame().platformOnMouseMoved(CPoint(835, 475), 0);  // off it before 0.8 s
  in.idleFor(0.6);
  EXPECT_EQ(in.editor().hintView(), nullptr) << "gone without ever showing";

  in.frame().platformOnMouseMoved(on, 0);
  in.idleFor(1.4);
  ASSERT_NE(in.editor().hintView(), nullptr);
  EXPECT_EQ(in.editor().hintView()->getAlphaValue(), 1.0f);
  const std::string text = in.editor().hintView()->getText();
  EXPECT_NE(text.find(": "), std::string::npos) << "caption and value: " << text;
}

TEST(EditorPanels, AKnobDragReachesItsParameter) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qvengine& e = in.engine();
  const int32_t tag = firstTagOfKind(e, kKindBlockParam);
  const qvcontrol& c = *e.controls[static_cast<uint32_t>(tag)];
  qvparam& p = *e.chain.units[static_cast<uint32_t>(c.position)]->params[static_cast<uint32_t>(c.index)];
  const float before = p.fpos;
  CView* knob = in.editor().controlView(tag);
  const CPoint at = knob->getFrameRect().getCenter();
  injectDrag(in.frame(), at, at - CPoint(0, 40));
  EXPECT_NEAR(p.fpos, std::min(1.0f, before + 0.2f), 0.02f) << "40 of 200 pixels up";
  EXPECT_EQ(in.editor().controlView(tag), knob) << "the knob is not rebuilt under the mouse";
}

TEST(EditorPanels, EveryFactoryPresetFitsTheWindowWithoutOverlaps) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  qvengine& e = in.engine();
  const uint32_t presets = e.data.presets.count();
  ASSERT_GT(presets, 100u);
  for (uint32_t p = 0; p < presets; ++p) {
    e.postCommand(kCmdSelectPreset, static_cast<float>(p));
    for (int page = 0; page < 3; ++page) {
      e.postCommand(kCmdSelectPage, static_cast<float>(page));
      in.editor().idle();
      std::vector<CRect> rects;
      for (uint32_t t = 0; t < e.controls.count(); ++t) {
        auto* v = static_cast<CView*>(e.controls[t]->view);
        bool shown = v != nullptr;
        for (CView* up = v; up && shown; up = up->getParentView()) shown = up->isVisible();
        if (!shown) continue;
        rects.push_back(v->getFrameRect());
        // Nothing cut off: a control lies inside its panel, and its picture, one
        // state or two stacked, fills it exactly in height and fits its width.
        const CRect& own = v->getViewSize();
        if (CView* parent = v->getParentView(); parent && parent->getParentView()) {
          const CRect& box = parent->getViewSize();
          EXPECT_TRUE(own.left >= 0 && own.top >= 0 && own.right <= box.getWidth() && own.bottom <= box.getHeight())
              << e.data.presets[p]->name << ", page " << page << ": control " << t << " (class "
              << e.controls[t]->controlClass << ", kind " << e.controls[t]->kind << ") at " << own.left << ","
              << own.top << " " << own.right << "," << own.bottom << " leaves its panel of " << box.getWidth() << " x "
              << box.getHeight();
        }
        if (CBitmap* b = v->getBackground(); b && e.controls[t]->controlClass != kClassKnob &&
                                             e.controls[t]->controlClass != kClassSlider) {
          EXPECT_LE(b->getWidth(), own.getWidth()) << "control " << t;
          EXPECT_TRUE(b->getHeight() == own.getHeight() || b->getHeight() == 2 * own.getHeight())
              << e.data.presets[p]->name << ", page " << page << ": control " << t << " shows part of its picture";
        }
      }
      const std::string where = e.data.presets[p]->name + ", page " + std::to_string(page);
      for (size_t a = 0; a < rects.size(); ++a) {
        const CRect& r = rects[a];
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 840 && r.bottom <= 480)
            << where << ": control " << a << " at " << r.left << "," << r.top << " " << r.right << "," << r.bottom;
        for (size_t b = a + 1; b < rects.size(); ++b) {
          const CRect& s = rects[b];
          const bool overlap = r.left < s.right && s.left < r.right && r.top < s.bottom && s.top < r.bottom;
          EXPECT_FALSE(overlap) << where << ": controls " << a << " and " << b << " at " << r.left << "," << r.top
                                << " " << r.right << "," << r.bottom << " and " << s.left << "," << s.top << " "
                                << s.right << "," << s.bottom;
        }
      }
    }
  }
}
