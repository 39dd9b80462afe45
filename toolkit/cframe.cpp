#include "toolkit/cframe.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/cdrawcontext.hpp"
#include "toolkit/x11/x11frame.hpp"

// Counts nested event and idle handling; the outermost one releases the views
// removed meanwhile.
class CFrame::EventScope {
public:
  explicit EventScope(CFrame& frame) : frame_(frame) { ++frame_.eventDepth_; }
  ~EventScope() {
    if (--frame_.eventDepth_ > 0) return;
    while (!frame_.pendingForget_.empty()) {
      std::vector<CView*> views;
      views.swap(frame_.pendingForget_);
      for (CView* v : views) v->forget();
    }
  }
  EventScope(const EventScope&) = delete;
  EventScope& operator=(const EventScope&) = delete;

private:
  CFrame& frame_;
};

namespace {
template <typename T>
bool contains(const std::vector<T*>& list, const T* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

bool isInside(const CView* view, const CView* ancestor) {
  for (const CView* v = view; v; v = v->getParentView())
    if (v == ancestor) return true;
  return false;
}
}  // namespace

CFrame::CFrame(const CRect& size, IClock* clock)
    : CViewContainer(CRect(0, 0, std::max(1.0, size.getWidth()), std::max(1.0, size.getHeight()))),
      clock_(clock ? clock : &systemClock_) {
  const int w = static_cast<int>(std::lround(size_.getWidth()));
  const int h = static_cast<int>(std::lround(size_.getHeight()));
  image_.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
  measure_.reset(cairo_create(image_.get()));
  CViewContainer::attachedToFrame(this);
  dirty_.push_back(size_);
}

CFrame::~CFrame() {
  platform_.reset();
  modalView_ = nullptr;
  focusView_ = nullptr;
  mouseOverView_ = nullptr;
  removeAll(true);
  for (CView* v : pendingForget_) v->forget();
}

bool CFrame::open(void* parentWindow) {
  if (platform_) return false;
  std::unique_ptr<IPlatformFrame> platform = openX11Frame(*this, reinterpret_cast<uintptr_t>(parentWindow));
  if (!platform) return false;
  open(std::move(platform));
  return true;
}

void CFrame::open(std::unique_ptr<IPlatformFrame> platform) {
  platform_ = std::move(platform);
  invalid();
}

void CFrame::idle() {
  EventScope scope(*this);
  if (platform_) platform_->pumpEvents();
  if (!idleViews_.empty()) {
    const std::vector<CView*> views = idleViews_;
    for (CView* v : views)
      if (contains(idleViews_, v)) v->onIdle();
  }
  if (dirty_.empty()) return;
  const std::vector<CRect> drawn = drawDirty();
  if (platform_) platform_->present(drawn);
}

std::vector<CRect> CFrame::drawDirty() {
  std::vector<CRect> areas;
  areas.swap(dirty_);
  if (areas.empty()) return areas;
  CairoContextPtr cr(cairo_create(image_.get()));
  CDrawContext context(cr.get(), fonts_);
  for (const CRect& area : areas) {
    context.saveGlobalState();
    context.clipRect(area);
    context.setFillColor(kBlackCColor);  // nothing of the last picture shows through
    context.drawRect(area, kDrawFilled);
    drawRect(&context, area);
    context.restoreGlobalState();
  }
  cairo_surface_flush(image_.get());
  return areas;
}

void CFrame::registerMouseObserver(IMouseObserver* observer) {
  if (observer && !contains(observers_, observer)) observers_.push_back(observer);
}

void CFrame::unregisterMouseObserver(IMouseObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void CFrame::setFocusView(CView* view) {
  if (view == focusView_) return;
  EventScope scope(*this);
  CView* old = focusView_;
  focusView_ = view;
  if (old) old->looseFocus();
  if (view && focusView_ == view) {
    view->takeFocus();
    if (platform_) platform_->takeKeyboardFocus();
  }
}

bool CFrame::showModalView(CView* view) {
  if (!view || modalView_) return false;
  if (!addView(view)) return false;
  modalView_ = view;
  return true;
}

void CFrame::closeModalView(CView* view) {
  if (!view || view != modalView_) return;
  modalView_ = nullptr;
  removeView(view, true);
}

CButtonState CFrame::markDoubleClick(const CPoint& where, CButtonState buttons) {
  const int32_t button = buttons & (kLButton | kMButton | kRButton);
  const uint32_t now = clock_->now_ms();
  const bool isDouble = !lastPressWasDouble_ && button == lastPressButton_ &&
                        now - lastPress_ms_ <= kDoubleClickMs &&
                        std::abs(where.x - lastPressAt_.x) <= kDoubleClickDistance &&
                        std::abs(where.y - lastPressAt_.y) <= kDoubleClickDistance;
  lastPress_ms_ = now;
  lastPressAt_ = where;
  lastPressButton_ = button;
  lastPressWasDouble_ = isDouble;
  return isDouble ? CButtonState(buttons | kDoubleClick) : CButtonState(buttons & ~kDoubleClick);
}

void CFrame::updateMouseOver(const CPoint& where, const CButtonState& buttons) {
  CView* over = nullptr;
  if (modalView_) {
    if (modalView_->isVisible() && modalView_->hitTest(where)) {
      CViewContainer* inner = modalView_->asViewContainer();
      over = inner ? inner->getViewAt(where, true) : nullptr;
      if (!over) over = modalView_;
    }
  } else {
    over = getViewAt(where, true);
  }
  if (over == mouseOverView_) return;
  CView* old = mouseOverView_;
  mouseOverView_ = over;
  if (old) {
    old->onMouseExited(old->frameToLocal(where), buttons);
    const std::vector<IMouseObserver*> list = observers_;
    for (IMouseObserver* o : list)
      if (contains(observers_, o)) o->onMouseExited(old, this);
  }
  if (over && mouseOverView_ == over) {
    over->onMouseEntered(over->frameToLocal(where), buttons);
    const std::vector<IMouseObserver*> list = observers_;
    for (IMouseObserver* o : list)
      if (contains(observers_, o) && mouseOverView_ == over) o->onMouseEntered(over, this);
  }
}

CMouseEventResult CFrame::platformOnMouseDown(const CPoint& where, CButtonState buttons) {
  EventScope scope(*this);
  buttons = markDoubleClick(where, buttons);
  updateMouseOver(where, buttons);
  const std::vector<IMouseObserver*> list = observers_;
  for (IMouseObserver* o : list)
    if (contains(observers_, o) && o->onMouseDown(this, where, buttons) == kMouseEventHandled)
      return kMouseEventHandled;
  if (CView* modal = modalView_) {
    // Everything goes to the pop-up, a press outside it included (it closes then).
    if (modal->onMouseDown(where, buttons) == kMouseEventHandled && modal == modalView_)
      mouseDownView_ = modal;
    return kMouseEventHandled;
  }
  if (focusView_ && !focusView_->getFrameRect().pointInside(where)) setFocusView(nullptr);
  return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(const CPoint& where, CButtonState buttons) {
  EventScope scope(*this);
  const CMouseEventResult result = CViewContainer::onMouseUp(where, buttons);
  updateMouseOver(where, buttons);
  return result;
}

CMouseEventResult CFrame::platformOnMouseMoved(const CPoint& where, CButtonState buttons) {
  EventScope scope(*this);
  updateMouseOver(where, buttons);
  const std::vector<IMouseObserver*> list = observers_;
  for (IMouseObserver* o : list)
    if (contains(observers_, o) && o->onMouseMoved(this, where, buttons) == kMouseEventHandled)
      return kMouseEventHandled;
  if (mouseDownView_) return CViewContainer::onMouseMoved(where, buttons);
  if (modalView_) return modalView_->onMouseMoved(where, buttons);
  return kMouseEventNotHandled;
}

void CFrame::platformOnMouseExited() {
  EventScope scope(*this);
  if (!mouseOverView_) return;
  CView* old = mouseOverView_;
  mouseOverView_ = nullptr;
  old->onMouseExited(CPoint(-1, -1), CButtonState());
  const std::vector<IMouseObserver*> list = observers_;
  for (IMouseObserver* o : list)
    if (contains(observers_, o)) o->onMouseExited(old, this);
}

bool CFrame::platformOnWheel(const CPoint& where, float distance, CButtonState buttons) {
  EventScope scope(*this);
  if (modalView_) return modalView_->onWheel(where, distance, buttons);
  return CViewContainer::onWheel(where, distance, buttons);
}

int32_t CFrame::onKeyDown(const CKeyCode& key) {
  EventScope scope(*this);
  if (modalView_ && modalView_->onKeyDown(key) > 0) return 1;
  if (focusView_ && focusView_->onKeyDown(key) > 0) return 1;
  return -1;
}

CCoord CFrame::getStringWidth(const CFontDesc& font, const std::string& text) {
  return measureStringWidth(measure_.get(), fonts_, font, text);
}

bool CFrame::isTypeOf(IdStringPtr name) const {
  return (name && std::strcmp(name, "CFrame") == 0) || CViewContainer::isTypeOf(name);
}

void CFrame::childInvalidated(const CRect& rect) {
  CRect r = rect;
  r.bound(size_);
  if (r.isEmpty()) return;
  for (size_t i = 0; i < dirty_.size();) {
    if (dirty_[i].rectInside(r)) return;
    if (dirty_[i].rectOverlap(r)) {
      // Overlapping areas become one, which may now meet others: look again.
      r.unite(dirty_[i]);
      dirty_.erase(dirty_.begin() + static_cast<ptrdiff_t>(i));
      i = 0;
      continue;
    }
    ++i;
  }
  dirty_.push_back(r);
  if (dirty_.size() > kMaxDirtyAreas) {
    CRect all;
    for (const CRect& d : dirty_) all.unite(d);
    dirty_.assign(1, all);
  }
}

void CFrame::willRemoveView(CView* view) {
  if (isInside(focusView_, view)) focusView_ = nullptr;
  if (isInside(mouseOverView_, view)) mouseOverView_ = nullptr;
  if (isInside(modalView_, view)) modalView_ = nullptr;
}

void CFrame::forgetLater(CView* view) {
  if (eventDepth_ > 0) pendingForget_.push_back(view);
  else view->forget();
}

void CFrame::addIdleView(CView* view) {
  if (!contains(idleViews_, view)) idleViews_.push_back(view);
}

void CFrame::removeIdleView(CView* view) {
  idleViews_.erase(std::remove(idleViews_.begin(), idleViews_.end(), view), idleViews_.end());
}
