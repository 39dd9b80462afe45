// Draws a scroll bar in place of its own colours: the track (background) and the
// scroller, each into the rectangle it is given.
#pragma once
#include "toolkit/cscrollbar.hpp"

class IScrollbarDrawer {
public:
  virtual ~IScrollbarDrawer() = default;
  virtual void drawScrollbarBackground(CDrawContext* context, const CRect& size,
                                       CScrollbar::ScrollbarDirection direction, CScrollbar* bar) = 0;
  virtual void drawScrollbarScroller(CDrawContext* context, const CRect& size,
                                     CScrollbar::ScrollbarDirection direction, CScrollbar* bar) = 0;
};
