// A knob drawn from a film strip: `subPixmaps` pictures of one height stacked
// vertically in one bitmap, the first for the minimum and the last for the
// maximum. A vertical drag turns it (a full turn per kDragRange pixels, finer
// with Shift), so does the wheel; a double click sets the default value.
#pragma once
#include "toolkit/ccontrol.hpp"
#include "toolkit/cverticaldrag.hpp"

class CAnimKnob : public CControl {
public:
  static constexpr CCoord kDragRange = 200;  // pixels of drag for the whole range

  // `background` is the strip (remembered); `offset` is where in it the first picture starts.
  CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps, CCoord heightOfOneImage,
            CBitmap* background, const CPoint& offset = CPoint());

  int32_t getNumSubPixmaps() const { return subPixmaps_; }
  CCoord getHeightOfOneImage() const { return heightOfOneImage_; }
  // The picture shown for the current value: round(normalized * (subPixmaps - 1)).
  int32_t getFrameIndex() const;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
  bool isTypeOf(IdStringPtr name) const override;

private:
  int32_t subPixmaps_;
  CCoord heightOfOneImage_;  // pixels
  CPoint offset_;            // of the first picture in the strip
  CVerticalDrag drag_;
};
