// A container that shows part of a taller content area, with a vertical scroll
// bar on its right edge. Children are placed in the content's coordinates (0, 0
// at the content's top-left). The wheel goes to the content first, then scrolls;
// the scroller can be dragged, and a press on the track pages up or down.
#pragma once
#include "toolkit/cscrollbar.hpp"
#include "toolkit/cviewcontainer.hpp"

enum CScrollViewStyle : int32_t { kVerticalScrollbar = 1 << 1 };

class CScrollView : public CViewContainer {
public:
  static constexpr CCoord kWheelStep = 24;  // pixels per wheel notch

  // `containerSize`: the content's size (only its width and height count).
  CScrollView(const CRect& size, const CRect& containerSize, int32_t style = kVerticalScrollbar,
              CCoord scrollbarWidth = 14);
  ~CScrollView() override;

  void setContainerSize(const CRect& containerSize);
  const CRect& getContainerSize() const { return containerSize_; }
  // How far the content is scrolled, pixels; kept within 0 and content minus view height.
  void setScrollOffset(const CPoint& offset);
  CPoint getScrollOffset() const { return offset_; }
  CScrollbar* getVerticalScrollbar() const { return vbar_; }
  // Height of the content that shows at once.
  CCoord getVisibleHeight() const { return getHeight(); }

  CPoint getChildOrigin() const override { return CPoint(size_.left, size_.top - offset_.y); }
  CRect getChildClip() const override;
  void setViewSize(const CRect& size, bool invalidate = true) override;
  void drawRect(CDrawContext* context, const CRect& updateRect) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
  bool isTypeOf(IdStringPtr name) const override;

private:
  CRect barRect() const;  // parent's coordinates
  void layoutBar();

  CRect containerSize_;
  CPoint offset_;                  // pixels scrolled (y only)
  CCoord barWidth_;                // pixels
  CScrollbar* vbar_;               // owned reference
  bool draggingScroller_ = false;
  CCoord grab_ = 0;                // where the scroller was taken, from its top
};
