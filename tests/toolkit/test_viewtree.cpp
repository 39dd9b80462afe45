// The view tree and the frame: which view an event reaches, views removed in
// their own handlers, enter and exit with observers, dirty areas, double clicks.
#include <cstdlib>

#include "tests/toolkit/toolkitfixture.hpp"
#include "toolkit/cdrawcontext.hpp"

namespace {
// A view filled with a colour it does not invalidate for by itself.
class SolidView : public CView {
public:
  SolidView(const CRect& r, CColor c) : CView(r), color(c) {}
  void draw(CDrawContext* context) override {
    context->setFillColor(color);
    context->drawRect(size_, kDrawFilled);
    setDirty(false);
  }
  CColor color;
};

class RecordingObserver : public IMouseObserver {
public:
  void onMouseEntered(CView* view, CFrame*) override { log.push_back({'+', view}); }
  void onMouseExited(CView* view, CFrame*) override { log.push_back({'-', view}); }
  CMouseEventResult onMouseMoved(CFrame*, const CPoint&, const CButtonState&) override {
    return kMouseEventNotHandled;
  }
  CMouseEventResult onMouseDown(CFrame*, const CPoint&, const CButtonState&) override {
    ++downs;
    return swallowDowns ? kMouseEventHandled : kMouseEventNotHandled;
  }
  std::vector<std::pair<char, CView*>> log;
  int downs = 0;
  bool swallowDowns = false;
};
}  // namespace

TEST(ViewTree, PressReachesTheTopmostViewThatTakesIt) {
  TestFrame f;
  auto* a = new ProbeView(CRect(10, 10, 110, 110));
  auto* b = new ProbeView(CRect(60, 60, 160, 160));  // over a
  auto* hidden = new ProbeView(CRect(50, 50, 70, 70));
  hidden->setVisible(false);
  auto* under = new ProbeView(CRect(0, 200, 100, 300));
  auto* disabled = new ProbeView(CRect(0, 200, 100, 300));
  disabled->setMouseEnabled(false);
  auto* box = new CViewContainer(CRect(200, 0, 400, 200));
  auto* inner = new ProbeView(CRect(10, 10, 60, 60));
  box->addView(inner);
  auto* target = new ProbeView(CRect(300, 100, 350, 150));
  auto* passive = new ProbeView(CRect(300, 100, 350, 150), kMouseEventNotHandled);
  for (CView* v : std::initializer_list<CView*>{a, b, hidden, under, disabled, box, target, passive}) f->addView(v);

  struct Row {
    CPoint where;
    ProbeView* expected;  // null: nobody
    CPoint local;         // where the receiver sees the press
    const char* what;
  } rows[] = {
      {{20, 20}, a, {20, 20}, "only a"},
      {{80, 80}, b, {80, 80}, "overlap: the later view is on top"},
      {{55, 55}, a, {55, 55}, "a hidden view is passed over"},
      {{50, 250}, under, {50, 250}, "a view with the mouse disabled is passed over"},
      {{215, 15}, inner, {15, 15}, "a nested view sees its container's coordinates"},
      {{320, 120}, target, {320, 120}, "a view that does not handle lets the one below have it"},
      {{390, 290}, nullptr, {}, "empty space"},
  };
  for (const Row& row : rows) {
    std::vector<int> before;
    for (ProbeView* p : {a, b, under, inner, target}) before.push_back(p->downs);
    const CMouseEventResult result = f->platformOnMouseDown(row.where, kLButton);
    f->platformOnMouseUp(row.where, kLButton);
    int i = 0;
    for (ProbeView* p : {a, b, under, inner, target}) {
      EXPECT_EQ(p->downs - before[static_cast<size_t>(i++)], p == row.expected ? 1 : 0) << row.what;
    }
    EXPECT_EQ(result, row.expected ? kMouseEventHandled : kMouseEventNotHandled) << row.what;
    if (row.expected) {
      EXPECT_EQ(row.expected->lastWhere, row.local) << row.what;
    }
  }
  EXPECT_EQ(passive->downs, 1) << "the passive view was asked once";
  EXPECT_EQ(hidden->downs + disabled->downs, 0);
}

// A handler may remove its own view, its container, or everything; the views go
// only when the event returns, and the release after it reaches no freed view.
TEST(ViewTree, ViewRemovedDuringItsOwnPressIsReleasedAfterTheEvent) {
  enum class Removes { itself, itsContainer, everything };
  for (Removes what : {Removes::itself, Removes::itsContainer, Removes::everything}) {
    TestFrame f;
    auto* box = new CViewContainer(CRect(0, 0, 200, 200));
    auto* probe = new ProbeView(CRect(10, 10, 50, 50));
    bool destroyed = false;
    bool destroyedInHandler = true;
    probe->destroyed = &destroyed;
    probe->onDown = [&](ProbeView* self) {
      if (what == Removes::itself) box->removeView(self);
      else if (what == Removes::itsContainer) f->removeView(box);
      else f->removeAll();
      destroyedInHandler = destroyed;
      self->invalid();  // still usable for the rest of the handler
    };
    box->addView(probe);
    f->addView(box);
    EXPECT_EQ(f->platformOnMouseDown(CPoint(20, 20), kLButton), kMouseEventHandled);
    EXPECT_FALSE(destroyedInHandler) << int(what);
    EXPECT_TRUE(destroyed) << "released when the press returned, case " << int(what);
    f->platformOnMouseMoved(CPoint(25, 25), kLButton);
    f->platformOnMouseUp(CPoint(25, 25), kLButton);
    f->idle();
    EXPECT_EQ(f->getViewAt(CPoint(20, 20), true), what == Removes::itself ? box : nullptr) << int(what);
  }
}

TEST(ViewTree, EnterAndExitFollowTheMouseAndReachObservers) {
  TestFrame f;
  auto* a = new ProbeView(CRect(0, 0, 100, 100));
  auto* b = new ProbeView(CRect(100, 0, 200, 100));
  f->addView(a);
  f->addView(b);
  RecordingObserver observer;
  f->registerMouseObserver(&observer);
  f->platformOnMouseMoved(CPoint(10, 10), 0);
  f->platformOnMouseMoved(CPoint(20, 10), 0);   // still a: nothing new
  f->platformOnMouseMoved(CPoint(150, 10), 0);  // a to b
  f->platformOnMouseMoved(CPoint(150, 250), 0); // off both
  f->platformOnMouseMoved(CPoint(150, 10), 0);
  f->platformOnMouseExited();                   // left the window
  const std::vector<std::pair<char, CView*>> want = {{'+', a}, {'-', a}, {'+', b}, {'-', b}, {'+', b}, {'-', b}};
  EXPECT_EQ(observer.log, want);
  EXPECT_EQ(a->entered, 1);
  EXPECT_EQ(a->exited, 1);
  EXPECT_EQ(b->entered, 2);
  EXPECT_EQ(b->exited, 2);

  observer.swallowDowns = true;
  f->platformOnMouseDown(CPoint(50, 50), kLButton);
  EXPECT_EQ(a->downs, 0) << "an observer that handles a press keeps it from the views";
  f->unregisterMouseObserver(&observer);
  f->platformOnMouseDown(CPoint(50, 50), kLButton);
  EXPECT_EQ(a->downs, 1);
  EXPECT_EQ(observer.downs, 1);
}

TEST(ViewTree, RedrawTouchesOnlyDirtyAreas) {
  TestFrame f;
  auto* left = new SolidView(CRect(0, 0, 100, 100), kWhiteCColor);
  auto* right = new SolidView(CRect(200, 0, 300, 100), kWhiteCColor);
  f->addView(left);
  f->addView(right);
  f->idle();
  EXPECT_FALSE(f->hasDirtyAreas());
  left->color = CColor{255, 0, 0, 255};
  right->color = CColor{0, 0, 255, 255};
  left->invalid();
  f->idle();
  EXPECT_TRUE(colorNear(framePixel(*f, 50, 50), CColor{255, 0, 0, 255}));
  EXPECT_TRUE(colorNear(framePixel(*f, 250, 50), kWhiteCColor)) << "not invalidated, not redrawn";

  // Overlapping areas merge; far apart ones stay apart.
  left->invalidRect(CRect(0, 0, 50, 50));
  left->invalidRect(CRect(40, 40, 90, 90));
  right->invalidRect(CRect(250, 50, 260, 60));
  EXPECT_EQ(f->drawDirty().size(), 2u);
  // A view hidden leaves the background where it was.
  right->setVisible(false);
  f->idle();
  EXPECT_TRUE(colorNear(framePixel(*f, 250, 50), kBlackCColor));
}

TEST(ViewTree, SecondPressCountsAsDoubleClickOnlyWhenSoonAndNear) {
  struct Row {
    uint32_t gap_ms;
    CPoint second;
    int32_t button;
    bool isDouble;
  } rows[] = {
      {100, {20, 20}, kLButton, true},
      {CFrame::kDoubleClickMs + 1, {20, 20}, kLButton, false},
      {100, {20 + CFrame::kDoubleClickDistance + 1, 20}, kLButton, false},
      {100, {20, 20}, kRButton, false},
  };
  for (const Row& row : rows) {
    TestFrame f;
    auto* probe = new ProbeView(CRect(0, 0, 100, 100));
    f->addView(probe);
    f->platformOnMouseDown(CPoint(20, 20), kLButton);
    f->platformOnMouseUp(CPoint(20, 20), kLButton);
    EXPECT_FALSE(probe->lastButtons.isDoubleClick());
    f.clock.advance(row.gap_ms);
    f->platformOnMouseDown(row.second, row.button);
    f->platformOnMouseUp(row.second, row.button);
    EXPECT_EQ(probe->lastButtons.isDoubleClick(), row.isDouble) << row.gap_ms << " ms";
    // A third quick press starts over.
    f.clock.advance(50);
    f->platformOnMouseDown(row.second, row.button);
    EXPECT_EQ(probe->lastButtons.isDoubleClick(), !row.isDouble);
  }
}

TEST(ViewTree, FrameWithoutADisplayStaysHeadless) {
  const char* old = std::getenv("DISPLAY");
  const std::string saved = old ? old : "";
  setenv("DISPLAY", ":987", 1);  // no such server
  TestFrame f;
  EXPECT_FALSE(f->open(reinterpret_cast<void*>(uintptr_t{0x400001})));
  EXPECT_FALSE(f->isOpen());
  unsetenv("DISPLAY");
  EXPECT_FALSE(f->open(reinterpret_cast<void*>(uintptr_t{0x400001})));
  if (old) setenv("DISPLAY", saved.c_str(), 1);
  auto* view = new SolidView(CRect(0, 0, 10, 10), kWhiteCColor);
  f->addView(view);
  f->idle();
  EXPECT_TRUE(colorNear(framePixel(*f, 5, 5), kWhiteCColor)) << "the frame still draws";
}
