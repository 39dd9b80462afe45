// A text label that works as a push button (mode 0), a toggle (mode 1) or a
// label whose picture does not follow its value (mode 3). Its background holds
// two states stacked: the upper half for value 0, the lower for any other value
// (mode 3 always shows the upper half). A hover picture is drawn over it while
// the mouse is on it. Only a plain left click counts: with another button or
// shift or control held the control does nothing, so the editor's drag and
// context gestures pass through.
#pragma once
#include <string>

#include "toolkit/ctextlabel.hpp"

class qvtricklabel : public CTextLabel {
public:
  enum Mode { kPushButton = 0, kToggle = 1, kLabel = 3 };

  // [ui] The background and hover pictures are remembered (either may be null).
  qvtricklabel(const CRect& size, const std::string& text, CBitmap* background, int32_t style,
               CControlListener* listener, int32_t tag, float onValue, CBitmap* hoverImage, int32_t mode);
  ~qvtricklabel() override;

  float getOnValue() const { return onValue_; }
  int32_t getMode() const { return mode_; }
  bool isHovered() const { return hovered_; }
  std::string extraText;  // shown nowhere by the label itself

  void setValue(float value) override;
  bool isTypeOf(IdStringPtr name) const override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseEntered(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseExited(const CPoint& where, const CButtonState& buttons) override;
  void draw(CDrawContext* context) override;

private:
  static bool plainLeftClick(const CButtonState& buttons);

  float onValue_;
  CBitmap* hoverImage_;  // remembered, or null
  bool hovered_ = false;
  int32_t mode_;
};
