#include "editor/qvevent_mouseobserver.hpp"

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

CMouseEventResult qvevent_mouseobserver::onMouseMoved(CFrame*, const CPoint&, const CButtonState&) {
  return kMouseEventNotHandled;
}

CMouseEventResult qvevent_mouseobserver::onMouseDown(CFrame*, const CPoint&, const CButtonState&) {
  return kMouseEventNotHandled;
}
