#include "editor/qvevent_mouseobserver.hpp"

#include <cmath>

#include "editor/qveditor.hpp"

void qvevent_mouseobserver::onMouseEntered(CView* view, CFrame*) {
  if (!view || view == hinted_) return;
  const std::string text = editor_->hintText(view);
  if (text.empty()) return;
  hinted_ = view;
  editor_->showHint(view, text);
}

void qvevent_mouseobserver::onMouseExited(CView* view, CFrame*) {
  if (!view || view != hinted_) return;
  hinted_ = nullptr;
  editor_->fadeHint();
}

// While something is picked the drag layer lies over every view, so these only
// carry the drag; the layer then swallows the press that dropped.
CMouseEventResult qvevent_mouseobserver::onMouseMoved(CFrame*, const CPoint& where, const CButtonState&) {
  editor_->dragMoved(CPoint(std::round(where.x), std::round(where.y)));
  return kMouseEventNotHandled;
}

CMouseEventResult qvevent_mouseobserver::onMouseDown(CFrame*, const CPoint& where, const CButtonState& buttons) {
  if (buttons.isLeftButton()) editor_->dragPressed(CPoint(std::round(where.x), std::round(where.y)));
  else editor_->cancelDrag();
  return kMouseEventNotHandled;
}
