// Points, rectangles and colours of the view tree. Coordinates are pixels as
// doubles; a rectangle holds its left, top, right and bottom edges and contains
// the points with left <= x < right and top <= y < bottom.
#pragma once
#include <algorithm>
#include <cstdint>

using CCoord = double;

struct CPoint {
  CCoord x = 0;
  CCoord y = 0;

  constexpr CPoint() = default;
  constexpr CPoint(CCoord x_, CCoord y_) : x(x_), y(y_) {}
  constexpr CPoint& offset(CCoord dx, CCoord dy) {
    x += dx;
    y += dy;
    return *this;
  }
  constexpr CPoint operator+(const CPoint& p) const { return {x + p.x, y + p.y}; }
  constexpr CPoint operator-(const CPoint& p) const { return {x - p.x, y - p.y}; }
  constexpr bool operator==(const CPoint& p) const = default;
};

struct CRect {
  CCoord left = 0;
  CCoord top = 0;
  CCoord right = 0;
  CCoord bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}
  constexpr CRect(const CPoint& origin, const CPoint& size)
      : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y) {}

  constexpr CCoord getWidth() const { return right - left; }
  constexpr CCoord getHeight() const { return bottom - top; }
  constexpr CPoint getTopLeft() const { return {left, top}; }
  constexpr CPoint getCenter() const { return {(left + right) / 2, (top + bottom) / 2}; }
  constexpr bool isEmpty() const { return right <= left || bottom <= top; }
  constexpr void setWidth(CCoord w) { right = left + w; }
  constexpr void setHeight(CCoord h) { bottom = top + h; }

  constexpr CRect& offset(CCoord dx, CCoord dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
  }
  constexpr CRect& offset(const CPoint& p) { return offset(p.x, p.y); }
  constexpr CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
  // Shrinks by dx on the left and right and dy on the top and bottom (grows when negative).
  constexpr CRect& inset(CCoord dx, CCoord dy) {
    left += dx;
    right -= dx;
    top += dy;
    bottom -= dy;
    return *this;
  }
  constexpr bool pointInside(const CPoint& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr bool rectOverlap(const CRect& r) const {
    return r.left < right && r.right > left && r.top < bottom && r.bottom > top;
  }
  constexpr bool rectInside(const CRect& r) const {
    return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
  }
  // Intersection with `r`; an empty rectangle when they do not overlap.
  constexpr CRect& bound(const CRect& r) {
    left = std::max(left, r.left);
    top = std::max(top, r.top);
    right = std::max(left, std::min(right, r.right));
    bottom = std::max(top, std::min(bottom, r.bottom));
    return *this;
  }
  // Smallest rectangle holding both (an empty side is ignored).
  constexpr CRect& unite(const CRect& r) {
    if (r.isEmpty()) return *this;
    if (isEmpty()) return *this = r;
    left = std::min(left, r.left);
    top = std::min(top, r.top);
    right = std::max(right, r.right);
    bottom = std::max(bottom, r.bottom);
    return *this;
  }
  constexpr bool operator==(const CRect& r) const = default;
};

struct CColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 255;
  constexpr bool operator==(const CColor& c) const = default;
};

inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kGreyCColor{127, 127, 127, 255};
inline constexpr CColor kTransparentCColor{0, 0, 0, 0};
