#include "toolkit/cscrollview.hpp"

#include <algorithm>
#include <cstring>

#include "toolkit/cdrawcontext.hpp"

CScrollView::CScrollView(const CRect& size, const CRect& containerSize, int32_t style, CCoord scrollbarWidth)
    : CViewContainer(size),
      containerSize_(containerSize),
      barWidth_(std::max(0.0, scrollbarWidth)),
      vbar_(new CScrollbar(CScrollbar::kVertical)) {
  (void)style;  // the vertical bar is the only kind
  layoutBar();
}

CScrollView::~CScrollView() { vbar_->forget(); }

CRect CScrollView::barRect() const { return CRect(size_.right - barWidth_, size_.top, size_.right, size_.bottom); }

CRect CScrollView::getChildClip() const {
  return CRect(0, offset_.y, std::max(0.0, getWidth() - barWidth_), offset_.y + getHeight());
}

void CScrollView::layoutBar() {
  const CCoord maxOffset = std::max(0.0, containerSize_.getHeight() - getHeight());
  offset_.y = std::clamp(offset_.y, 0.0, maxOffset);
  vbar_->setGeometry(barRect(), getHeight(), containerSize_.getHeight(), offset_.y);
}

void CScrollView::setContainerSize(const CRect& containerSize) {
  containerSize_ = containerSize;
  layoutBar();
  invalid();
}

void CScrollView::setScrollOffset(const CPoint& offset) {
  const CCoord before = offset_.y;
  offset_.y = offset.y;
  layoutBar();
  if (offset_.y != before) invalid();
}

void CScrollView::setViewSize(const CRect& size, bool invalidate) {
  CViewContainer::setViewSize(size, invalidate);
  layoutBar();
}

void CScrollView::drawRect(CDrawContext* context, const CRect& updateRect) {
  CViewContainer::drawRect(context, updateRect);
  CRect area = updateRect;
  area.bound(barRect());
  if (area.isEmpty()) return;
  context->saveGlobalState();
  context->clipRect(area);
  vbar_->draw(context);
  context->restoreGlobalState();
}

CMouseEventResult CScrollView::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!barRect().pointInside(where)) return CViewContainer::onMouseDown(where, buttons);
  if (!buttons.isLeftButton()) return kMouseEventHandled;
  const CRect scroller = vbar_->getScrollerRect();
  if (scroller.pointInside(where)) {
    draggingScroller_ = true;
    grab_ = where.y - scroller.top;
  } else {
    // A page towards the press.
    const CCoord page = getHeight();
    setScrollOffset(CPoint(0, offset_.y + (where.y < scroller.top ? -page : page)));
  }
  return kMouseEventHandled;
}

CMouseEventResult CScrollView::onMouseMoved(const CPoint& where, const CButtonState& buttons) {
  if (!draggingScroller_) return CViewContainer::onMouseMoved(where, buttons);
  setScrollOffset(CPoint(0, vbar_->offsetForScrollerAt(where.y - grab_)));
  return kMouseEventHandled;
}

CMouseEventResult CScrollView::onMouseUp(const CPoint& where, const CButtonState& buttons) {
  if (!draggingScroller_) return CViewContainer::onMouseUp(where, buttons);
  draggingScroller_ = false;
  return kMouseEventHandled;
}

bool CScrollView::onWheel(const CPoint& where, float distance, const CButtonState& buttons) {
  if (CViewContainer::onWheel(where, distance, buttons)) return true;
  const CCoord before = offset_.y;
  setScrollOffset(CPoint(0, offset_.y - distance * kWheelStep));
  return offset_.y != before;
}

bool CScrollView::isTypeOf(IdStringPtr name) const {
  return (name && std::strcmp(name, "CScrollView") == 0) || CViewContainer::isTypeOf(name);
}
