#include "toolkit/cviewcontainer.hpp"

#include <algorithm>
#include <cstring>

#include "toolkit/cbitmap.hpp"
#include "toolkit/cdrawcontext.hpp"
#include "toolkit/cframe.hpp"

CViewContainer::CViewContainer(const CRect& size) : CView(size) {}

CViewContainer::~CViewContainer() {
  // Detached from any frame by now: the children just lose their last owner.
  for (CView* child : children_) {
    child->parent_ = nullptr;
    child->forget();
  }
}

bool CViewContainer::addView(CView* view, CView* before) {
  if (!view || view->parent_ || view == this) return false;
  auto at = std::find(children_.begin(), children_.end(), before);
  children_.insert(before ? at : children_.end(), view);
  view->parent_ = this;
  if (CFrame* frame = getFrame()) view->attachedToFrame(frame);
  view->invalid();
  return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
  auto it = std::find(children_.begin(), children_.end(), view);
  if (it == children_.end()) return false;
  CFrame* frame = getFrame();
  if (frame) frame->willRemoveView(view);
  view->invalid();
  children_.erase(std::find(children_.begin(), children_.end(), view));
  if (mouseDownView_ == view) mouseDownView_ = nullptr;
  if (frame) view->removedFromFrame(frame);
  view->parent_ = nullptr;
  if (withForget) {
    if (frame) frame->forgetLater(view);
    else view->forget();
  }
  return true;
}

void CViewContainer::removeAll(bool withForget) {
  while (!children_.empty()) removeView(children_.back(), withForget);
}

bool CViewContainer::isChild(const CView* view) const {
  return std::find(children_.begin(), children_.end(), view) != children_.end();
}

CView* CViewContainer::getView(int32_t index) const {
  if (index < 0 || index >= getNbViews()) return nullptr;
  return children_[static_cast<size_t>(index)];
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
  const CPoint local = where - getChildOrigin();
  if (!getChildClip().pointInside(local)) return nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    CView* child = *it;
    if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local)) continue;
    if (deep)
      if (CViewContainer* inner = child->asViewContainer())
        if (CView* found = inner->getViewAt(local, true)) return found;
    return child;
  }
  return nullptr;
}

void CViewContainer::setBackgroundColor(const CColor& color) {
  if (color == backgroundColor_) return;
  backgroundColor_ = color;
  invalid();
}

void CViewContainer::childInvalidated(const CRect& rect) {
  CRect r = rect;
  r.bound(getChildClip());
  r.offset(getChildOrigin());
  if (!r.isEmpty()) invalidRect(r);
}

bool CViewContainer::isTypeOf(IdStringPtr name) const {
  return (name && std::strcmp(name, "CViewContainer") == 0) || CView::isTypeOf(name);
}

void CViewContainer::attachedToFrame(CFrame* frame) {
  CView::attachedToFrame(frame);
  for (CView* child : children_) child->attachedToFrame(frame);
}

void CViewContainer::removedFromFrame(CFrame* frame) {
  for (CView* child : children_) child->removedFromFrame(frame);
  CView::removedFromFrame(frame);
}

void CViewContainer::draw(CDrawContext* context) { drawRect(context, size_); }

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
  CRect area = updateRect;
  area.bound(size_);
  if (area.isEmpty()) return;
  context->saveGlobalState();
  context->clipRect(area);
  if (backgroundColor_.alpha > 0) {
    context->setFillColor(backgroundColor_);
    context->drawRect(size_, kDrawFilled);
  }
  if (CBitmap* bg = getBackground()) bg->draw(context, size_);
  const CPoint origin = getChildOrigin();
  context->translate(origin.x, origin.y);
  CRect local = area;
  local.offset(-origin.x, -origin.y);
  local.bound(getChildClip());
  context->clipRect(getChildClip());
  drawChildren(context, local);
  context->restoreGlobalState();
  setDirty(false);
}

void CViewContainer::drawChildren(CDrawContext* context, const CRect& localUpdate) {
  cairo_t* cr = context->getCairo();
  for (CView* child : children_) {
    if (!child->isVisible() || child->getAlphaValue() <= 0.0f) continue;
    CRect part = child->getViewSize();
    part.bound(localUpdate);
    if (part.isEmpty()) continue;
    const bool translucent = child->getAlphaValue() < 1.0f;
    context->saveGlobalState();
    context->clipRect(part);
    if (translucent) cairo_push_group(cr);
    child->drawRect(context, part);
    if (translucent) {
      cairo_pop_group_to_source(cr);
      cairo_paint_with_alpha(cr, child->getAlphaValue());
    }
    context->restoreGlobalState();
  }
}

CMouseEventResult CViewContainer::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  const CPoint local = where - getChildOrigin();
  if (!getChildClip().pointInside(local)) return kMouseEventNotHandled;
  // A handler may add or remove views: walk a copy and skip what left.
  const std::vector<CView*> order(children_.rbegin(), children_.rend());
  for (CView* child : order) {
    if (child->parent_ != this || !child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local))
      continue;
    if (child->onMouseDown(local, buttons) == kMouseEventHandled) {
      if (child->parent_ == this) mouseDownView_ = child;
      return kMouseEventHandled;
    }
  }
  return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(const CPoint& where, const CButtonState& buttons) {
  CView* target = mouseDownView_;
  mouseDownView_ = nullptr;
  if (!target) return kMouseEventNotHandled;
  return target->onMouseUp(where - getChildOrigin(), buttons);
}

CMouseEventResult CViewContainer::onMouseMoved(const CPoint& where, const CButtonState& buttons) {
  if (!mouseDownView_) return kMouseEventNotHandled;
  return mouseDownView_->onMouseMoved(where - getChildOrigin(), buttons);
}

bool CViewContainer::onWheel(const CPoint& where, float distance, const CButtonState& buttons) {
  const CPoint local = where - getChildOrigin();
  if (!getChildClip().pointInside(local)) return false;
  const std::vector<CView*> order(children_.rbegin(), children_.rend());
  for (CView* child : order) {
    if (child->parent_ != this || !child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local))
      continue;
    if (child->onWheel(local, distance, buttons)) return true;
  }
  return false;
}
