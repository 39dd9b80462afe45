// A view with a tag and a value that tells its listener when the user changes
// the value. Setting the value from code only redraws; it never calls the
// listener. The value is not clamped to [min, max] by setValue (a toggle may take
// any "on" value); controls that compute values from the mouse keep them in range.
#pragma once
#include "toolkit/cview.hpp"

class CControl;

class CControlListener {
public:
  virtual ~CControlListener() = default;
  // [ui] The user changed `control`'s value (or committed its text).
  virtual void valueChanged(CControl* control) = 0;
};

class CControl : public CView {
public:
  CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = -1, CBitmap* background = nullptr);

  virtual void setValue(float value);
  float getValue() const { return value_; }
  void setMin(float min) { min_ = min; }
  float getMin() const { return min_; }
  void setMax(float max) { max_ = max; }
  float getMax() const { return max_; }
  void setDefaultValue(float value) { default_ = value; }
  float getDefaultValue() const { return default_; }
  // The value as a share of [min, max], 0..1 (0 when the range is empty).
  float getValueNormalized() const;
  void setValueNormalized(float normalized);
  // Clamps the value into [min, max].
  void bounceValue();

  void setTag(int32_t tag) { tag_ = tag; }
  int32_t getTag() const { return tag_; }
  // The listener is borrowed.
  void setListener(CControlListener* listener) { listener_ = listener; }
  CControlListener* getListener() const { return listener_; }
  // [ui] Tells the listener (if any) that the value changed.
  virtual void valueChanged();

  bool isTypeOf(IdStringPtr name) const override;

protected:
  // [ui] A change made by the user: sets the value and tells the listener when it changed.
  void userSetValue(float value);
  void userSetValueNormalized(float normalized);

private:
  CControlListener* listener_;  // borrowed
  int32_t tag_;
  float value_ = 0.0f;
  float min_ = 0.0f;
  float max_ = 1.0f;
  float default_ = 0.5f;
};
