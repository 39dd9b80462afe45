#include "toolkit/ccontrol.hpp"

#include <algorithm>
#include <cstring>

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), listener_(listener), tag_(tag) {
  if (background) setBackground(background);
}

void CControl::setValue(float value) {
  if (value == value_) return;
  value_ = value;
  invalid();
}

float CControl::getValueNormalized() const {
  const float range = max_ - min_;
  if (range <= 0.0f) return 0.0f;
  return std::clamp((value_ - min_) / range, 0.0f, 1.0f);
}

void CControl::setValueNormalized(float normalized) {
  setValue(min_ + std::clamp(normalized, 0.0f, 1.0f) * (max_ - min_));
}

void CControl::bounceValue() { setValue(std::clamp(value_, std::min(min_, max_), std::max(min_, max_))); }

void CControl::valueChanged() {
  if (listener_) listener_->valueChanged(this);
}

void CControl::userSetValue(float value) {
  const float before = value_;
  setValue(value);
  if (value_ != before) valueChanged();
}

void CControl::userSetValueNormalized(float normalized) {
  userSetValue(min_ + std::clamp(normalized, 0.0f, 1.0f) * (max_ - min_));
}

bool CControl::isTypeOf(IdStringPtr name) const {
  return (name && std::strcmp(name, "CControl") == 0) || CView::isTypeOf(name);
}
