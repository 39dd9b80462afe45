// Static transfer curves of the tube stage: up to 20 cubic Bezier segments that
// saturate at both ends, with an input offset (the operating point) and an output
// offset that keeps the curve through (0, 0).
#pragma once
#include <cstdint>

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
};

inline float qvtubecurve::evaluate(float x) const noexcept {
  const float u = x + inOffset;
  int j = count - 1;
  if (u <= seg[0].x0) {
    j = 0;
  } else {
    for (int k = 1; k < count; ++k) {
      if (seg[k].x0 >= u) {
        j = k - 1;
        break;
      }
    }
  }
  const qvcurvesegment& s = seg[j];
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
