// Controls driven by injected events: knob pictures and drags, the slider, the
// option menu's pop-up, the text field and the scroll view.
#include <cmath>
#include <cstring>

#include "tests/toolkit/toolkitfixture.hpp"
#include "toolkit/canimknob.hpp"
#include "toolkit/cmenupopup.hpp"
#include "toolkit/coptionmenu.hpp"
#include "toolkit/cscrollview.hpp"
#include "toolkit/ctextedit.hpp"
#include "toolkit/cverticalslider.hpp"

namespace {
constexpr int kFrames = 91;
constexpr CRect kKnobRect{20, 20, 40, 40};

struct KnobSetup {
  TestFrame f;
  RecordingListener listener;
  CAnimKnob* knob;
  explicit KnobSetup(float value = 0.5f) {
    CBitmap* strip = makeIndexStrip(kFrames, 20, 20);
    knob = new CAnimKnob(kKnobRect, &listener, 7, kFrames, 20, strip);
    strip->forget();
    knob->setValue(value);
    f->addView(knob);
  }
};
}  // namespace

TEST(AnimKnob, DrawsThePictureOfItsValue) {
  // The picture is round(value * 90); the strip's red channel names it.
  const struct {
    float value;
    int picture;
  } rows[] = {{0.0f, 0},     {1.0f, 90},      {0.5f, 45},      {0.3f, 27}, {0.006f, 1},
                {0.0049f, 0}, {0.9944f, 89}, {0.9945f, 90}, {2.0f, 90}, {-1.0f, 0}};
  for (const auto& row : rows) {
    KnobSetup s(row.value);
    s.f->idle();
    EXPECT_EQ(framePixel(*s.f, 30, 30).red, row.picture) << "value " << row.value;
    EXPECT_EQ(framePixel(*s.f, 21, 39).red, row.picture) << "the whole picture, value " << row.value;
  }
}

TEST(AnimKnob, VerticalDragChangesTheValueByDistance) {
  // 200 pixels for the whole range, ten times finer with Shift; clamped at the ends.
  const struct {
    CCoord dy;  // downwards
    int32_t modifiers;
    float expected;
  } rows[] = {{-50, 0, 0.75f}, {40, 0, 0.3f}, {-100, kShift, 0.55f}, {-400, 0, 1.0f}, {400, 0, 0.0f}};
  for (const auto& row : rows) {
    KnobSetup s(0.5f);
    injectDrag(*s.f, CPoint(30, 30), CPoint(30, 30 + row.dy), kLButton | row.modifiers, 8);
    EXPECT_NEAR(s.knob->getValue(), row.expected, 1e-5) << "dy " << row.dy;
    ASSERT_FALSE(s.listener.reports.empty());
    EXPECT_EQ(s.listener.reports.back().tag, 7);
    EXPECT_NEAR(s.listener.reports.back().value, row.expected, 1e-5);
  }
}

TEST(AnimKnob, ShiftMidDragSlowsDownWithoutAJump) {
  KnobSetup s(0.5f);
  s.f->platformOnMouseDown(CPoint(30, 30), kLButton);
  s.f->platformOnMouseMoved(CPoint(30, 10), kLButton);  // +0.1
  EXPECT_NEAR(s.knob->getValue(), 0.6f, 1e-5);
  s.f->platformOnMouseMoved(CPoint(30, 10), kLButton | kShift);   // no jump
  EXPECT_NEAR(s.knob->getValue(), 0.6f, 1e-5);
  s.f->platformOnMouseMoved(CPoint(30, -10), kLButton | kShift);  // +0.01
  s.f->platformOnMouseUp(CPoint(30, -10), kLButton);
  EXPECT_NEAR(s.knob->getValue(), 0.61f, 1e-5);
}

TEST(AnimKnob, WheelAndDoubleClick) {
  KnobSetup s(0.2f);
  s.f->platformOnWheel(CPoint(30, 30), 3, 0);
  EXPECT_NEAR(s.knob->getValue(), 0.23f, 1e-5);
  s.f->platformOnWheel(CPoint(30, 30), -1, kShift);
  EXPECT_NEAR(s.knob->getValue(), 0.229f, 1e-5);
  s.knob->setDefaultValue(0.8f);
  injectClick(*s.f, CPoint(30, 30));
  s.f.clock.advance(100);
  injectClick(*s.f, CPoint(30, 30));
  EXPECT_FLOAT_EQ(s.knob->getValue(), 0.8f);
  EXPECT_FLOAT_EQ(s.listener.reports.back().value, 0.8f);
}

TEST(VerticalSlider, HandleFollowsTrackPressAndDrag) {
  TestFrame f;
  RecordingListener listener;
  CBitmap* handle = new CBitmap(16, 17);
  auto* slider = new CVerticalSlider(CRect(10, 10, 26, 154), &listener, 3, handle, nullptr);
  handle->forget();
  slider->setValue(1.0f);
  f->addView(slider);
  const CCoord travel = 144 - 17;
  EXPECT_EQ(slider->getHandleRect(), CRect(10, 10, 26, 27)) << "maximum at the top";
  // A press on the track centres the handle there.
  f->platformOnMouseDown(CPoint(18, 110), kLButton);
  const CCoord handleTop = 110 - 8.5 - 10;
  EXPECT_NEAR(slider->getValue(), 1.0 - handleTop / travel, 1e-5);
  EXPECT_NEAR(slider->getHandleRect().top, 110 - 8.5, 1e-4);
  // Then it follows the mouse pixel for pixel.
  f->platformOnMouseMoved(CPoint(18, 80), kLButton);
  f->platformOnMouseUp(CPoint(18, 80), kLButton);
  EXPECT_NEAR(slider->getHandleRect().top, 80 - 8.5, 1e-3);
  // Beyond the ends the handle stays on the track.
  injectDrag(*f, slider->getHandleRect().getCenter(), CPoint(18, 1000));
  EXPECT_FLOAT_EQ(slider->getValue(), 0.0f);
  EXPECT_EQ(slider->getHandleRect().bottom, 154);
  EXPECT_EQ(listener.reports.size(), 3u);
}

namespace {
struct MenuSetup {
  TestFrame f{840, 480};
  RecordingListener listener;
  COptionMenu* menu;
  explicit MenuSetup(int entries, const CRect& at = CRect(100, 400, 250, 420)) {
    menu = new COptionMenu(at, &listener, 5);
    menu->addEntry("Title", -1, CMenuItem::kTitle);
    for (int i = 1; i <= entries; ++i) menu->addEntry("Entry " + std::to_string(i));
    f->addView(menu);
  }
  CMenuPopup* open() {
    injectClick(*f, menu->getFrameRect().getCenter());
    return menu->getPopup();
  }
};
}  // namespace

TEST(OptionMenu, LongListFlowsIntoColumnsAndReportsTheChosenPosition) {
  MenuSetup s(60);
  CMenuPopup* popup = s.open();
  ASSERT_NE(popup, nullptr);
  EXPECT_GT(popup->getNbColumns(), 1) << "61 entries of 18 pixels do not fit 480 pixels";
  const CRect frameRect = s.f->getViewSize();
  for (int i = 0; i <= 60; ++i) {
    const CRect r = popup->getEntryRect(i);
    EXPECT_TRUE(frameRect.rectInside(r)) << "entry " << i << " inside the window";
    for (int j = 0; j < i; ++j) EXPECT_FALSE(r.rectOverlap(popup->getEntryRect(j))) << i << " over " << j;
  }
  // Entries in the first, second and last column, each chosen with a fresh pop-up.
  const int last = 60;
  for (int chosen : {1, popup->getRowsPerColumn() - 1, popup->getRowsPerColumn(), popup->getRowsPerColumn() + 5, last}) {
    CMenuPopup* p = s.menu->getPopup() ? s.menu->getPopup() : s.open();
    ASSERT_NE(p, nullptr);
    injectClick(*s.f, p->getEntryRect(chosen).getCenter());
    EXPECT_FALSE(s.menu->isPopupOpen());
    EXPECT_EQ(s.f->getModalView(), nullptr);
    ASSERT_FALSE(s.listener.reports.empty());
    EXPECT_EQ(s.listener.reports.back().value, chosen);
    EXPECT_EQ(s.menu->getCurrent()->getTitle(), "Entry " + std::to_string(chosen));
  }
  EXPECT_EQ(s.listener.reports.size(), 5u);
}

TEST(OptionMenu, ClosesWithoutAChoiceOnEscapeOrAPressOutside) {
  MenuSetup s(5, CRect(100, 100, 250, 120));
  for (int how = 0; how < 2; ++how) {
    ASSERT_NE(s.open(), nullptr);
    if (how == 0) injectKey(*s.f, kVKeyEscape);
    else injectClick(*s.f, CPoint(800, 20));
    EXPECT_FALSE(s.menu->isPopupOpen()) << how;
    EXPECT_EQ(s.f->getModalView(), nullptr) << how;
  }
  // Title and disabled entries cannot be chosen; the list stays open.
  s.menu->getEntry(2)->setFlags(CMenuItem::kDisabled);
  CMenuPopup* p = s.open();
  injectClick(*s.f, p->getEntryRect(0).getCenter());
  injectClick(*s.f, p->getEntryRect(2).getCenter());
  EXPECT_TRUE(s.menu->isPopupOpen());
  // The keyboard skips them too: Down from the title lands on 1, then 3.
  injectKey(*s.f, kVKeyDown);
  injectKey(*s.f, kVKeyDown);
  injectKey(*s.f, kVKeyReturn);
  EXPECT_FALSE(s.menu->isPopupOpen());
  ASSERT_EQ(s.listener.reports.size(), 1u);
  EXPECT_EQ(s.listener.reports[0].value, 3);
}

TEST(OptionMenu, MenuRemovedWhileOpenTakesItsListAlong) {
  MenuSetup s(5, CRect(100, 100, 250, 120));
  ASSERT_NE(s.open(), nullptr);
  s.f->removeView(s.menu);  // an editor rebuild from idle
  EXPECT_EQ(s.f->getModalView(), nullptr);
  injectClick(*s.f, CPoint(120, 130));
  s.f->idle();
  EXPECT_TRUE(s.listener.reports.empty());
}

namespace {
// Runs a key script: plain characters are typed; <L> <R> <H> <E> <B> <D> <RET> <ESC>
// are Left, Right, Home, End, Backspace, Delete, Return and Escape.
void runScript(CFrame& frame, const std::string& script) {
  const std::pair<const char*, VirtualKey> keys[] = {{"<L>", kVKeyLeft},  {"<R>", kVKeyRight},   {"<H>", kVKeyHome},
                                                     {"<E>", kVKeyEnd},   {"<B>", kVKeyBack},    {"<D>", kVKeyDelete},
                                                     {"<RET>", kVKeyReturn}, {"<ESC>", kVKeyEscape}};
  for (size_t pos = 0; pos < script.size();) {
    bool matched = false;
    for (const auto& [name, key] : keys)
      if (script.compare(pos, std::strlen(name), name) == 0) {
        injectKey(frame, key);
        pos += std::strlen(name);
        matched = true;
        break;
      }
    if (matched) continue;
    const size_t next = script.find('<', pos + 1);
    const size_t end = next == std::string::npos ? script.size() : next;
    injectText(frame, script.substr(pos, end - pos));
    pos = end;
  }
}
}  // namespace

TEST(TextEdit, TypingDeletingAndCommitting) {
  const struct {
    const char* initial;
    const char* script;
    int32_t maxLength;
    const char* expected;
    size_t commits;
  } rows[] = {
      {"", "abc<RET>", -1, "abc", 1},
      {"hello", "<H><D><E><B>X<RET>", -1, "ellX", 1},
      {"hello", "xyz<ESC>", -1, "hello", 0},
      {"ab", "<L><L><L><B>c<RET>", -1, "cab", 1},
      {"n\xc3\xa9", "<B><R><B>o<RET>", -1, "o", 1},          // é is two bytes, one character
      {"a\xc3\xa9z", "<H><R><D><RET>", -1, "az", 1},
      {"ab", "cde<RET>", 3, "abc", 1},
      {"x", "<R><R><L>\xe2\x82\xac<RET>", -1, "\xe2\x82\xacx", 1},  // typed €
  };
  for (const auto& row : rows) {
    TestFrame f;
    RecordingListener listener;
    auto* field = new CTextEdit(CRect(10, 10, 210, 30), &listener, 9, row.initial);
    field->setMaxLength(row.maxLength);
    f->addView(field);
    injectClick(*f, CPoint(200, 20));  // caret at the end
    ASSERT_TRUE(field->isEditing());
    runScript(*f, row.script);
    EXPECT_EQ(field->getText(), row.expected) << row.script;
    EXPECT_EQ(listener.reports.size(), row.commits) << row.script;
    EXPECT_FALSE(field->isEditing()) << row.script;
    EXPECT_EQ(f->getFocusView(), nullptr);
  }
}

TEST(TextEdit, PressOutsideCommitsAndLongTextScrollsInsideTheField) {
  TestFrame f;
  auto* back = new CViewContainer(CRect(0, 0, 400, 300));
  back->setBackgroundColor(CColor{255, 0, 0, 255});
  f->addView(back);
  RecordingListener listener;
  const std::string text = "abcdefghijklmnopqrstuvwxyz0123456789";
  auto* field = new CTextEdit(CRect(10, 10, 110, 30), &listener, 9, "");
  // The same text right-aligned in a label of the same size: what the field must show.
  auto* reference = new CTextLabel(CRect(10, 40, 110, 60), text);
  for (CParamDisplay* d : {static_cast<CParamDisplay*>(field), static_cast<CParamDisplay*>(reference)}) {
    d->setBackColor(kBlackCColor);
    d->setFontColor(kWhiteCColor);
    f->addView(d);
  }
  reference->setHoriAlign(kRightText);
  injectClick(*f, CPoint(50, 20));
  injectText(*f, text);
  f->idle();
  for (int y = 10; y < 30; ++y)
    for (int x = 110; x < 140; ++x) ASSERT_TRUE(colorNear(framePixel(*f, x, y), CColor{255, 0, 0, 255})) << x << "," << y;
  // Text inset 2: the caret stands on the last column inside the inset, 107.
  int differing = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 12; x < 107; ++x) differing += !colorNear(framePixel(*f, x, y), framePixel(*f, x, y + 30), 0);
  EXPECT_EQ(differing, 0) << "the end of the text shows, as in the right-aligned label";
  injectClick(*f, CPoint(300, 200));
  EXPECT_FALSE(field->isEditing());
  ASSERT_EQ(listener.reports.size(), 1u);
  EXPECT_EQ(field->getText(), text);
}

TEST(ScrollView, ScrollerStaysInsideTheTrack) {
  const struct {
    CCoord content;
    CCoord request;
    CCoord expected;
  } rows[] = {{1000, 0, 0},    {1000, 300, 300},    {1000, 5000, 800},    {1000, -50, 0},
              {150, 100, 0},   {100000, 1e9, 99800}, {100000, 50000, 50000}};
  for (const auto& row : rows) {
    TestFrame f;
    auto* view = new CScrollView(CRect(10, 10, 110, 210), CRect(0, 0, 86, row.content));
    f->addView(view);
    view->setScrollOffset(CPoint(0, row.request));
    EXPECT_EQ(view->getScrollOffset().y, row.expected) << row.content << " / " << row.request;
    const CScrollbar* bar = view->getVerticalScrollbar();
    const CRect scroller = bar->getScrollerRect();
    EXPECT_TRUE(bar->getScrollSize().rectInside(scroller)) << row.content << " / " << row.request;
    EXPECT_GE(scroller.getHeight(), std::min<CCoord>(CScrollbar::kMinScrollerSize, 200));
  }
}

TEST(ScrollView, WheelThumbAndTrackScrollTheContent) {
  TestFrame f;
  auto* view = new CScrollView(CRect(10, 10, 110, 210), CRect(0, 0, 86, 1000));
  auto* row = new ProbeView(CRect(0, 300, 86, 320));  // content coordinates
  view->addView(row);
  f->addView(view);
  f->platformOnWheel(CPoint(50, 50), -2, 0);
  EXPECT_EQ(view->getScrollOffset().y, 2 * CScrollView::kWheelStep);
  // A press on the track below the scroller pages down by the view's height.
  const CCoord before = view->getScrollOffset().y;
  injectClick(*f, CPoint(103, 205));
  EXPECT_EQ(view->getScrollOffset().y, before + 200);
  // Dragging the scroller to the bottom reaches the end.
  const CRect scroller = view->getVerticalScrollbar()->getScrollerRect();
  injectDrag(*f, scroller.getCenter(), CPoint(103, 400));
  EXPECT_EQ(view->getScrollOffset().y, 800);
  // Content under the mouse moves with the offset: row 300..320 now shows at 10 + 300 - 250.
  view->setScrollOffset(CPoint(0, 250));
  injectClick(*f, CPoint(50, 65));
  EXPECT_EQ(row->downs, 1);
  EXPECT_EQ(row->lastWhere, CPoint(40, 305));
  injectClick(*f, CPoint(50, 55));
  EXPECT_EQ(row->downs, 1) << "above the row";
}
