// The scroll bar of a scroll view: a track and a scroller whose size and place
// show the visible part of the content. It keeps the geometry and draws, through
// a pluggable IScrollbarDrawer when one is set; the scroll view handles the mouse.
#pragma once
#include "toolkit/cbaseobject.hpp"
#include "toolkit/geometry.hpp"

class CDrawContext;
class IScrollbarDrawer;

class CScrollbar : public CBaseObject {
public:
  enum ScrollbarDirection { kHorizontal, kVertical };
  static constexpr CCoord kMinScrollerSize = 16;  // pixels, so the scroller stays grabbable

  explicit CScrollbar(ScrollbarDirection direction) : direction_(direction) {}

  ScrollbarDirection getDirection() const { return direction_; }
  // The drawer is borrowed; null draws with the colours below.
  void setDrawer(IScrollbarDrawer* drawer) { drawer_ = drawer; }
  IScrollbarDrawer* getDrawer() const { return drawer_; }
  void setBackgroundColor(const CColor& c) { backgroundColor_ = c; }
  void setScrollerColor(const CColor& c) { scrollerColor_ = c; }
  void setFrameColor(const CColor& c) { frameColor_ = c; }

  // [ui] From the scroll view: the track's rectangle, the visible and the whole
  // length of the content and how far it is scrolled (pixels).
  void setGeometry(const CRect& track, CCoord visible, CCoord content, CCoord offset);
  const CRect& getScrollSize() const { return track_; }
  // The scroller's rectangle: always inside the track.
  CRect getScrollerRect() const;
  // The scroll offset that puts the scroller's leading edge at `position` (pixels along the track).
  CCoord offsetForScrollerAt(CCoord position) const;
  CCoord getVisibleLength() const { return visible_; }

  void draw(CDrawContext* context);

private:
  CCoord trackLength() const { return direction_ == kVertical ? track_.getHeight() : track_.getWidth(); }
  CCoord scrollerLength() const;

  ScrollbarDirection direction_;
  IScrollbarDrawer* drawer_ = nullptr;  // borrowed
  CRect track_;
  CCoord visible_ = 0;  // pixels of content in view
  CCoord content_ = 0;  // pixels of content in all
  CCoord offset_ = 0;   // pixels scrolled
  CColor backgroundColor_{60, 60, 64, 255};
  CColor scrollerColor_{150, 150, 156, 255};
  CColor frameColor_{30, 30, 30, 255};
};
