#include "toolkit/cverticalslider.hpp"

#include <cstring>

#include "toolkit/cbitmap.hpp"
#include "toolkit/cdrawcontext.hpp"

namespace {
constexpr CCoord kDefaultHandleHeight = 12;  // pixels, without a handle bitmap
}

CVerticalSlider::CVerticalSlider(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* handle,
                                 CBitmap* background)
    : CControl(size, listener, tag, background), handle_(handle) {
  if (handle_) handle_->remember();
}

CVerticalSlider::~CVerticalSlider() {
  if (handle_) handle_->forget();
}

CCoord CVerticalSlider::handleWidth() const { return handle_ ? handle_->getWidth() : getWidth(); }
CCoord CVerticalSlider::handleHeight() const { return handle_ ? handle_->getHeight() : kDefaultHandleHeight; }

CRect CVerticalSlider::getHandleRect() const {
  const CCoord top = size_.top + (1.0 - getValueNormalized()) * travel();
  const CCoord left = size_.left + (getWidth() - handleWidth()) / 2;
  return CRect(left, top, left + handleWidth(), top + handleHeight());
}

void CVerticalSlider::draw(CDrawContext* context) {
  if (CBitmap* track = getBackground()) track->draw(context, size_);
  const CRect handle = getHandleRect();
  if (handle_) {
    handle_->draw(context, handle);
  } else {
    context->setFillColor(kGreyCColor);
    context->drawRect(handle, kDrawFilled);
  }
  setDirty(false);
}

CMouseEventResult CVerticalSlider::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  if (buttons.isDoubleClick()) {
    userSetValue(getDefaultValue());
    return kMouseEventHandled;
  }
  if (!getHandleRect().pointInside(where) && travel() > 0) {
    // Centre the handle on the press, then drag from there.
    const CCoord top = where.y - handleHeight() / 2 - size_.top;
    userSetValueNormalized(static_cast<float>(1.0 - top / travel()));
  }
  drag_.begin(where.y, getValueNormalized(), buttons);
  return kMouseEventHandled;
}

CMouseEventResult CVerticalSlider::onMouseMoved(const CPoint& where, const CButtonState& buttons) {
  if (!drag_.active()) return kMouseEventNotHandled;
  userSetValueNormalized(drag_.update(where.y, getValueNormalized(), buttons, travel()));
  return kMouseEventHandled;
}

CMouseEventResult CVerticalSlider::onMouseUp(const CPoint&, const CButtonState&) {
  drag_.end();
  return kMouseEventHandled;
}

bool CVerticalSlider::onWheel(const CPoint&, float distance, const CButtonState& buttons) {
  userSetValueNormalized(CVerticalDrag::wheel(getValueNormalized(), distance, buttons));
  return true;
}

bool CVerticalSlider::isTypeOf(IdStringPtr name) const {
  return (name && std::strcmp(name, "CVerticalSlider") == 0) || CControl::isTypeOf(name);
}
