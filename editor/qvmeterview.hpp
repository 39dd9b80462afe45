// A level meter: the empty picture, and over it the full picture from the bottom
// up to the level (the control's value, 0..1).
#pragma once
#include "toolkit/ccontrol.hpp"

class qvmeterview final : public CControl {
public:
  // [ui] Both pictures are remembered (either may be null).
  qvmeterview(const CRect& size, CBitmap* empty, CBitmap* full);
  ~qvmeterview() override;

  // [ui] Redraws only when the shown height changes by a pixel or more.
  void setValue(float value) override;
  void draw(CDrawContext* context) override;

private:
  int litPixels(float value) const;

  CBitmap* empty_;
  CBitmap* full_;
};
