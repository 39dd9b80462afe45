#include "editor/qvmeterview.hpp"

#include <algorithm>
#include <cmath>

#include "toolkit/cbitmap.hpp"
#include "toolkit/cdrawcontext.hpp"

qvmeterview::qvmeterview(const CRect& size, CBitmap* empty, CBitmap* full)
    : CControl(size), empty_(empty), full_(full) {
  if (empty_) empty_->remember();
  if (full_) full_->remember();
  setMouseEnabled(false);
}

qvmeterview::~qvmeterview() {
  if (empty_) empty_->forget();
  if (full_) full_->forget();
}

int qvmeterview::litPixels(float value) const {
  const float v = std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
  return static_cast<int>(std::lround(v * getHeight()));
}

void qvmeterview::setValue(float value) {
  const bool changed = litPixels(value) != litPixels(getValue());
  CControl::setValue(value);
  if (changed) invalid();
}

void qvmeterview::draw(CDrawContext* context) {
  const CRect& r = getViewSize();
  if (empty_) empty_->draw(context, r, CPoint(0, 0), 1.0f);
  const int lit = litPixels(getValue());
  if (full_ && lit > 0) {
    const CRect top(r.left, r.bottom - lit, r.right, r.bottom);
    full_->draw(context, top, CPoint(0, r.getHeight() - lit), 1.0f);
  }
  setDirty(false);
}
