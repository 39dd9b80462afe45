// A vertical slider: a handle bitmap that travels over a track bitmap, at the
// top for the maximum. Dragging the handle moves it with the mouse (finer with
// Shift); a press on the track first puts the handle's centre there. The wheel
// and a double click (default value) work as on a knob.
#pragma once
#include "toolkit/ccontrol.hpp"
#include "toolkit/cverticaldrag.hpp"

class CVerticalSlider : public CControl {
public:
  // `handle` and `background` (the track) are remembered; either may be null.
  CVerticalSlider(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* handle, CBitmap* background);
  ~CVerticalSlider() override;

  // The handle's rectangle for the current value (parent's coordinates).
  CRect getHandleRect() const;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
  bool isTypeOf(IdStringPtr name) const override;

private:
  CCoord handleWidth() const;
  CCoord handleHeight() const;
  CCoord travel() const { return std::max(0.0, getHeight() - handleHeight()); }  // pixels

  CBitmap* handle_;  // remembered
  CVerticalDrag drag_;
};
