#include "editor/qvtricklabel.hpp"

#include <cstring>

#include "toolkit/cbitmap.hpp"

qvtricklabel::qvtricklabel(const CRect& size, const std::string& text, CBitmap* background, int32_t style,
                           CControlListener* listener, int32_t tag, float onValue, CBitmap* hoverImage,
                           int32_t mode)
    : CTextLabel(size, text, background, style), onValue_(onValue), hoverImage_(hoverImage), mode_(mode) {
  setListener(listener);
  setTag(tag);
  CTextLabel::setValue(0.0f);
  if (hoverImage_) hoverImage_->remember();
}

qvtricklabel::~qvtricklabel() {
  if (hoverImage_) hoverImage_->forget();
}

bool qvtricklabel::plainLeftClick(const CButtonState& buttons) {
  return (buttons & (kLButton | kMButton | kRButton | kShift | kControl)) == kLButton;
}

void qvtricklabel::setValue(float value) {
  CTextLabel::setValue(value);
  invalid();
}

bool qvtricklabel::isTypeOf(IdStringPtr name) const {
  return std::strcmp(name, "qvtricklabel") == 0 || CTextLabel::isTypeOf(name);
}

CMouseEventResult qvtricklabel::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!plainLeftClick(buttons)) return kMouseEventNotImplemented;
  if (mode_ == kToggle)
    CTextLabel::setValue(getValue() == 0.0f ? onValue_ : 0.0f);
  else
    CTextLabel::setValue(onValue_);
  valueChanged();
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult qvtricklabel::onMouseUp(const CPoint&, const CButtonState& buttons) {
  if (!plainLeftClick(buttons)) return kMouseEventNotImplemented;
  // The press alone reaches the editor; the release only lets the button up.
  if (mode_ == kPushButton) setValue(0.0f);
  return kMouseEventHandled;
}

CMouseEventResult qvtricklabel::onMouseEntered(const CPoint&, const CButtonState&) {
  if (!hovered_) {
    hovered_ = true;
    invalid();
  }
  return kMouseEventNotImplemented;
}

CMouseEventResult qvtricklabel::onMouseExited(const CPoint&, const CButtonState&) {
  // A press dragged off a push button lets it up without a second press.
  if (mode_ == kPushButton && getValue() != 0.0f) setValue(0.0f);
  hovered_ = false;
  invalid();
  return kMouseEventNotImplemented;
}

void qvtricklabel::draw(CDrawContext* context) {
  CBitmap* background = getBackground();
  // The on state is the lower half of a two-state picture; a picture of the
  // view's own height has one state only.
  const bool lower = getValue() != 0.0f && mode_ != kLabel && background &&
                     background->getHeight() >= 2 * getViewSize().getHeight();
  const CPoint offset(0, lower ? background->getHeight() / 2 : 0);
  if (background) background->draw(context, getViewSize(), offset, 1.0f);
  if (hoverImage_ && hovered_) hoverImage_->draw(context, getViewSize(), offset, 1.0f);
  if (!(getStyle() & kNoTextStyle)) drawText(context, getDisplayText());
  setDirty(false);
}
