#include "toolkit/cview.hpp"

#include <algorithm>
#include <cstring>

#include "toolkit/cbitmap.hpp"
#include "toolkit/cframe.hpp"

CView::CView(const CRect& size) : size_(size) {}

CView::~CView() {
  if (background_) background_->forget();
}

void CView::setViewSize(const CRect& size, bool invalidate) {
  if (size == size_) return;
  if (invalidate) invalid();
  size_ = size;
  if (invalidate) invalid();
}

CRect CView::getFrameRect() const {
  CRect r = size_;
  for (const CViewContainer* p = parent_; p; p = p->getParentView()) r.offset(p->getChildOrigin());
  return r;
}

CPoint CView::frameToLocal(const CPoint& p) const {
  CPoint local = p;
  for (const CViewContainer* c = parent_; c; c = c->getParentView()) local = local - c->getChildOrigin();
  return local;
}

CPoint CView::localToFrame(const CPoint& p) const {
  CPoint global = p;
  for (const CViewContainer* c = parent_; c; c = c->getParentView()) global = global + c->getChildOrigin();
  return global;
}

void CView::setVisible(bool visible) {
  if (visible == visible_) return;
  // Both ways the area changes: invalidate while the view still counts as shown.
  visible_ = true;
  invalid();
  visible_ = visible;
}

void CView::setAlphaValue(float alpha) {
  alpha = std::clamp(alpha, 0.0f, 1.0f);
  if (alpha == alpha_) return;
  alpha_ = alpha;
  invalid();
}

void CView::setWantsIdle(bool wants) {
  if (wants == wantsIdle_) return;
  wantsIdle_ = wants;
  if (!frame_) return;
  if (wants) frame_->addIdleView(this);
  else frame_->removeIdleView(this);
}

void CView::setBackground(CBitmap* background) {
  if (background == background_) return;
  if (background) background->remember();
  if (background_) background_->forget();
  background_ = background;
  invalid();
}

void CView::invalid() {
  dirty_ = true;
  invalidRect(size_);
}

void CView::invalidRect(const CRect& rect) {
  if (parent_ && visible_) parent_->childInvalidated(rect);
}

bool CView::isTypeOf(IdStringPtr name) const { return name && std::strcmp(name, "CView") == 0; }

void CView::attachedToFrame(CFrame* frame) {
  frame_ = frame;
  if (wantsIdle_) frame->addIdleView(this);
}

void CView::removedFromFrame(CFrame* frame) {
  if (wantsIdle_) frame->removeIdleView(this);
  frame_ = nullptr;
}

void CView::draw(CDrawContext* context) {
  if (background_) background_->draw(context, size_);
  dirty_ = false;
}

void CView::drawRect(CDrawContext* context, const CRect& updateRect) {
  (void)updateRect;
  draw(context);
}

CMouseEventResult CView::onMouseDown(const CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(const CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(const CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(const CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(const CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, float, const CButtonState&) { return false; }
int32_t CView::onKeyDown(const CKeyCode&) { return -1; }
