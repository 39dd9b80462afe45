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
