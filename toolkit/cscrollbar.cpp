#include "toolkit/cscrollbar.hpp"

#include <algorithm>

#include "toolkit/cdrawcontext.hpp"
#include "toolkit/iscrollbardrawer.hpp"

void CScrollbar::setGeometry(const CRect& track, CCoord visible, CCoord content, CCoord offset) {
  track_ = track;
  visible_ = std::max(0.0, visible);
  content_ = std::max(0.0, content);
  offset_ = std::max(0.0, offset);
}

CCoord CScrollbar::scrollerLength() const {
  const CCoord track = std::max(0.0, trackLength());
  if (content_ <= visible_ || content_ <= 0) return track;
  return std::min(track, std::max(kMinScrollerSize, track * visible_ / content_));
}

CRect CScrollbar::getScrollerRect() const {
  const CCoord length = scrollerLength();
  const CCoord room = std::max(0.0, trackLength() - length);
  const CCoord range = content_ - visible_;
  const CCoord share = range > 0 ? std::clamp(offset_ / range, 0.0, 1.0) : 0.0;
  const CCoord start = room * share;
  if (direction_ == kVertical)
    return CRect(track_.left, track_.top + start, track_.right, track_.top + start + length);
  return CRect(track_.left + start, track_.top, track_.left + start + length, track_.bottom);
}

CCoord CScrollbar::offsetForScrollerAt(CCoord position) const {
  const CCoord room = trackLength() - scrollerLength();
  const CCoord range = content_ - visible_;
  if (room <= 0 || range <= 0) return 0;
  const CCoord start = direction_ == kVertical ? track_.top : track_.left;
  return std::clamp((position - start) / room, 0.0, 1.0) * range;
}

void CScrollbar::draw(CDrawContext* context) {
  const CRect scroller = getScrollerRect();
  if (drawer_) {
    drawer_->drawScrollbarBackground(context, track_, direction_, this);
    drawer_->drawScrollbarScroller(context, scroller, direction_, this);
    return;
  }
  context->setFillColor(backgroundColor_);
  context->drawRect(track_, kDrawFilled);
  context->setFillColor(scrollerColor_);
  context->setFrameColor(frameColor_);
  context->setLineWidth(1);
  context->drawRect(scroller, kDrawFilledAndStroked);
}
