// Watches the mouse over a whole frame: told before the views are, for every
// view the mouse enters or leaves and for every move and press. A result of
// kMouseEventHandled from a move or press keeps it from the views.
#pragma once
#include "toolkit/events.hpp"
#include "toolkit/geometry.hpp"

class CFrame;
class CView;

class IMouseObserver {
public:
  virtual ~IMouseObserver() = default;
  virtual void onMouseEntered(CView* view, CFrame* frame) = 0;
  virtual void onMouseExited(CView* view, CFrame* frame) = 0;
  // `where` in the frame's coordinates.
  virtual CMouseEventResult onMouseMoved(CFrame* frame, const CPoint& where, const CButtonState& buttons) = 0;
  virtual CMouseEventResult onMouseDown(CFrame* frame, const CPoint& where, const CButtonState& buttons) = 0;
};
