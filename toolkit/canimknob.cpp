#include "toolkit/canimknob.hpp"

#include <cmath>
#include <cstring>

#include "toolkit/cbitmap.hpp"

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                     CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      subPixmaps_(std::max(subPixmaps, 1)),
      heightOfOneImage_(heightOfOneImage > 0 ? heightOfOneImage : size.getHeight()),
      offset_(offset) {}

int32_t CAnimKnob::getFrameIndex() const {
  return static_cast<int32_t>(std::lround(getValueNormalized() * static_cast<float>(subPixmaps_ - 1)));
}

void CAnimKnob::draw(CDrawContext* context) {
  if (CBitmap* strip = getBackground())
    strip->draw(context, size_, CPoint(offset_.x, offset_.y + getFrameIndex() * heightOfOneImage_));
  setDirty(false);
}

CMouseEventResult CAnimKnob::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  if (buttons.isDoubleClick()) {
    userSetValue(getDefaultValue());
    return kMouseEventHandled;
  }
  drag_.begin(where.y, getValueNormalized(), buttons);
  return kMouseEventHandled;
}

CMouseEventResult CAnimKnob::onMouseMoved(const CPoint& where, const CButtonState& buttons) {
  if (!drag_.active()) return kMouseEventNotHandled;
  userSetValueNormalized(drag_.update(where.y, getValueNormalized(), buttons, kDragRange));
  return kMouseEventHandled;
}

CMouseEventResult CAnimKnob::onMouseUp(const CPoint&, const CButtonState&) {
  drag_.end();
  return kMouseEventHandled;
}

bool CAnimKnob::onWheel(const CPoint&, float distance, const CButtonState& buttons) {
  userSetValueNormalized(CVerticalDrag::wheel(getValueNormalized(), distance, buttons));
  return true;
}

bool CAnimKnob::isTypeOf(IdStringPtr name) const {
  return (name && std::strcmp(name, "CAnimKnob") == 0) || CControl::isTypeOf(name);
}
