#include "editor/qvscrollbardrawer.hpp"

#include "toolkit/cbitmap.hpp"
#include "toolkit/cdrawcontext.hpp"

qvscrollbardrawer::qvscrollbardrawer(const CColor& frameColor, CBitmap* background, CBitmap* scroller)
    : frameColor_(frameColor), background_(background), scroller_(scroller) {
  if (background_) background_->remember();
  if (scroller_) scroller_->remember();
}

qvscrollbardrawer::~qvscrollbardrawer() {
  if (background_) background_->forget();
  if (scroller_) scroller_->forget();
}

void qvscrollbardrawer::drawFramed(CDrawContext* context, const CRect& size, CBitmap* picture) {
  context->setLineWidth(1);
  context->setFrameColor(frameColor_);
  context->drawRect(size, kDrawStroked);
  if (picture) {
    const CRect inner(size.left + 1, size.top + 1, size.right - 1, size.bottom - 1);
    picture->draw(context, inner, CPoint(0, 0), 1.0f);
  }
}

void qvscrollbardrawer::drawScrollbarBackground(CDrawContext* context, const CRect& size,
                                                CScrollbar::ScrollbarDirection, CScrollbar*) {
  drawFramed(context, size, background_);
}

void qvscrollbardrawer::drawScrollbarScroller(CDrawContext* context, const CRect& size,
                                              CScrollbar::ScrollbarDirection, CScrollbar*) {
  drawFramed(context, size, scroller_);
}
