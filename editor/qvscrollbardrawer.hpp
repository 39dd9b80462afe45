// Draws the preset box's scroll bars from two pictures: a one-pixel frame in the
// drawer's colour round the track and the scroller, each picture inside it.
#pragma once
#include "toolkit/geometry.hpp"
#include "toolkit/iscrollbardrawer.hpp"

class CBitmap;

class qvscrollbardrawer final : public IScrollbarDrawer {
public:
  // [ui] Both pictures are remembered (either may be null).
  qvscrollbardrawer(const CColor& frameColor, CBitmap* background, CBitmap* scroller);
  ~qvscrollbardrawer() override;
  qvscrollbardrawer(const qvscrollbardrawer&) = delete;
  qvscrollbardrawer& operator=(const qvscrollbardrawer&) = delete;

  void drawScrollbarBackground(CDrawContext* context, const CRect& size,
                               CScrollbar::ScrollbarDirection direction, CScrollbar* bar) override;
  void drawScrollbarScroller(CDrawContext* context, const CRect& size,
                             CScrollbar::ScrollbarDirection direction, CScrollbar* bar) override;

private:
  void drawFramed(CDrawContext* context, const CRect& size, CBitmap* picture);

  CColor frameColor_;
  CBitmap* background_;  // remembered, or null
  CBitmap* scroller_;
};
