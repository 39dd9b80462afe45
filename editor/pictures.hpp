// Small helpers for views that only show a picture.
#pragma once
#include "toolkit/cbitmap.hpp"
#include "toolkit/cview.hpp"

// [ui] A view showing `picture` in `size` that lets the mouse through.
inline CView* pictureView(const CRect& size, CBitmap* picture) {
  auto* v = new CView(size);
  v->setBackground(picture);
  v->setMouseEnabled(false);
  return v;
}

// The rectangle of `picture` (one of its `states` stacked states) placed at x, y.
inline CRect sized(CCoord x, CCoord y, CBitmap* picture, int states = 1) {
  const CCoord w = picture ? picture->getWidth() : 0;
  const CCoord h = picture ? picture->getHeight() / states : 0;
  return CRect(x, y, x + w, y + h);
}
