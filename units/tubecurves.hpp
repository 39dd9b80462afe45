// Static transfer curves of the tube stage: up to 20 cubic Bezier segments that
// saturate at both ends, with an input offset (the operating point) and an output
// offset that keeps the curve through (0, 0).
#pragma once
#include <cstdint>
#include <limits>

#include "units/qvsimd.hpp"

struct qvcurvesegment {
  float c1, c2, c3;  // control values relative to y0: 0, c1, c2, c3
  float x0, y0;      // start of the segment
  float w;           // input width
};

struct qvtubecurve {
  static constexpr int kMaxSegments = 20;
  qvcurvesegment seg[kMaxSegments] = {};
  int32_t count = 0;
  float inOffset = 0;
  float outOffset = 0;

  // Loads table index 0..7; any larger index the linear table, a negative one table 0.
  void build(int index);
  // [audio] Curve value at x, offsets applied.
  float evaluate(float x) const noexcept;
  // [audio] evaluate() of four samples at once when they all lie on one segment
  // (the usual case for an oversampled signal), lane for lane the same numbers;
  // false, y untouched, when they do not.
  bool evaluate4(qvfloat4 x, qvfloat4& y) const noexcept;
  // [audio] The segment evaluate() uses for u = x + inOffset.
  int segmentOf(float u) const noexcept;
};

inline int qvtubecurve::segmentOf(float u) const noexcept {
  if (u <= seg[0].x0) return 0;
  for (int k = 1; k < count; ++k)
    if (seg[k].x0 >= u) return k - 1;
  return count - 1;
}

inline float qvtubecurve::evaluate(float x) const noexcept {
  const float u = x + inOffset;
  const qvcurvesegment& s = seg[segmentOf(u)];
  const float t = (u - s.x0) / s.w;
  float y;
  if (t >= 1.0f) {
    y = s.y0 + s.c3;
  } else if (t <= 0.0f) {
    y = s.y0;
  } else {
    const float r = 1.0f - t;
    y = s.y0 + 3.0f * r * r * t * s.c1 + 3.0f * r * t * t * s.c2 + t * t * t * s.c3;
  }
  return y + outOffset;
}

inline bool qvtubecurve::evaluate4(qvfloat4 x, qvfloat4& y) const noexcept {
  const qvfloat4 u = x + inOffset;
  const int j = segmentOf(u[0]);
  const qvcurvesegment& s = seg[j];
  // segmentOf gives j to every u in (start of j, start of j + 1], the first
  // segment reaching down and the last up without end.
  const float below = j == 0 ? -std::numeric_limits<float>::infinity() : s.x0;
  const float top = j == count - 1 ? std::numeric_limits<float>::infinity() : seg[j + 1].x0;
  const qvint4 inside = (u > below) & (u <= top);
  if ((inside[0] & inside[1] & inside[2] & inside[3]) == 0) return false;
  const qvfloat4 t = (u - s.x0) / s.w;
  const qvfloat4 r = 1.0f - t;
  const qvfloat4 cubic = s.y0 + 3.0f * r * r * t * s.c1 + 3.0f * r * t * t * s.c2 + t * t * t * s.c3;
  qvfloat4 v = t <= 0.0f ? broadcastFloat4(s.y0) : cubic;
  v = t >= 1.0f ? broadcastFloat4(s.y0 + s.c3) : v;
  y = v + outOffset;
  return true;
}
