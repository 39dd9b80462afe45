// Watches the mouse over the whole frame: shows the hint of the control under it
// (after 0.8 s, fading in) and hands moves and presses to the editor's drag
// handling. It never takes an event: every view under the mouse still gets it.
#pragma once
#include "toolkit/imouseobserver.hpp"

class qveditor;
class qvengine;

class qvevent_mouseobserver final : public IMouseObserver {
public:
  qvevent_mouseobserver(qvengine* engine, qveditor* editor) : engine_(engine), editor_(editor) {}

  void onMouseEntered(CView* view, CFrame* frame) override;
  void onMouseExited(CView* view, CFrame* frame) override;
  CMouseEventResult onMouseMoved(CFrame* frame, const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseDown(CFrame* frame, const CPoint& where, const CButtonState& buttons) override;

  CView* hintedView() const { return hinted_; }
  // [ui] The window closed: the hinted view went with it.
  void forgetViews() { hinted_ = nullptr; }

private:
  qvengine* engine_;    // not owned
  qveditor* editor_;    // not owned; the editor owns this observer
  CView* hinted_ = nullptr;
};
