#include "units/stagepieces.hpp"

#include <algorithm>

#include "units/clipping.hpp"

namespace {
// A cubic Bezier in value with control values y0, y0 + c1, y0 + c2, y0 + c3 over
// t in [0, 1], in the power basis: y0 + 3c1·t + (3c2 − 6c1)·t² + (3c1 − 3c2 + c3)·t³.
qvcubicpiece bezierPiece(const qvcurvesegment& s, double inOffset, double outOffset) {
  qvcubicpiece p;
  p.start = s.x0 - inOffset;
  p.origin = p.start;
  p.scale = 1.0 / s.w;
  const double c1 = s.c1, c2 = s.c2, c3 = s.c3;
  p.p[0] = s.y0 + outOffset;
  p.p[1] = 3.0 * c1;
  p.p[2] = 3.0 * c2 - 6.0 * c1;
  p.p[3] = 3.0 * c1 - 3.0 * c2 + c3;
  return p;
}
}  // namespace

bool tubeCurvePieces(const qvtubecurve& curve, qvpiecewisecubic& out) {
  out.clear();
  if (curve.count < 1 || curve.count > qvtubecurve::kMaxSegments) return false;
  const double in = curve.inOffset, outOff = curve.outOffset;
  bool ok = out.addConstant(0.0, curve.seg[0].y0 + outOff);  // below the first segment
  for (int j = 0; j < curve.count && ok; ++j) {
    const qvcurvesegment& s = curve.seg[j];
    const double end = static_cast<double>(s.x0) + s.w;
    // The evaluation picks segment j from its x0 up to the next segment's x0;
    // beyond its own width a segment holds its end value.
    if (s.w > 0.0f) ok = out.add(bezierPiece(s, in, outOff));
    const bool gap = j + 1 == curve.count || end < curve.seg[j + 1].x0;
    if (ok && (gap || !(s.w > 0.0f)))
      ok = out.addConstant(std::max(end, static_cast<double>(s.x0)) - in, s.y0 + s.c3 + outOff);
  }
  out.finish();
  return ok;
}

namespace {
// One branch of the clipping curve: V·(σ·K(α·v) + d) for v on one side of 0, with
// the knee K linear to T, cubic to 1 and flat at `top` beyond. Appends the pieces
// over v in ascending order (α < 0: the branch for v < 0, ending at 0; α > 0: the
// branch for v ≥ 0, starting at 0). v = gain·x + bias maps them onto x.
struct clipbranch {
  double T, r, h, top, d, V;  // the stage's knee and output constants
  double gain, bias;          // v = gain·x + bias, gain > 0
  double toX(double v) const { return (v - bias) / gain; }

  // K's pieces over y ≥ 0 as (y start, y end, kind): 0 linear, 1 knee, 2 flat.
  bool add(qvpiecewisecubic& out, double alpha, double sigma) const {
    struct span { double y0, y1; int kind; };
    span spans[3];
    int n = 0;
    if (T > 0.0) spans[n++] = {0.0, T, 0};
    if (T < 1.0) spans[n++] = {std::max(T, 0.0), 1.0, 1};
    spans[n++] = {std::max(1.0, T), 1e300, 2};
    if (alpha < 0.0) std::reverse(spans, spans + n);
    for (int i = 0; i < n; ++i) {
      const span& s = spans[i];
      qvcubicpiece p;
      // Start of the piece in v: the lower of the two mapped ends, not below −∞.
      const double vStart = alpha > 0.0 ? s.y0 / alpha : std::max(s.y1 / alpha, -1e300);
      p.start = i == 0 && alpha < 0.0 ? -1e300 : toX(vStart);
      if (s.kind == 0) {  // K = y = α·v
        p.origin = toX(0.0);
        p.scale = alpha * gain;
        p.p[0] = V * d;
        p.p[1] = V * sigma;
      } else if (s.kind == 1) {  // K = T − h·((1 + t)³ − 1), t = u − 1 = −r·(α·v − T)
        p.origin = toX(T / alpha);
        p.scale = -r * alpha * gain;
        p.p[0] = V * (sigma * T + d);
        p.p[1] = p.p[2] = -3.0 * V * sigma * h;
        p.p[3] = -V * sigma * h;
      } else {
        p.origin = 0.0;  // a constant: t = x keeps its integral exact far out
        p.p[0] = V * (sigma * top + d);
      }
      if (!out.add(p)) return false;
    }
    return true;
  }
};
}  // namespace

bool qvusclip::curvePieces(qvpiecewisecubic& out) const {
  out.clear();
  const qvclipcurve& c = curve_;
  // A gain of 0 makes the stage a constant (nothing to alias); a negative one
  // would run the pieces backwards.
  if (!(c.gain > 0.0f) || !(c.boost > -1.0f)) return false;
  const clipbranch b{c.T, c.r, c.h, c.top, c.d, c.volume, c.gain, c.bias};
  bool ok;
  // v < 0: the negative half-wave, folded by Rectify.
  const double fold = c.rectify > 0.0f ? static_cast<double>(c.fold) : 1.0;
  if (fold > 0.0) {
    ok = b.add(out, -fold, 1.0);  // K(−r) + d with r = fold·v
  } else if (fold < 0.0) {
    ok = b.add(out, (1.0 + c.boost) * fold, -1.0);  // folded onto the positive side
  } else {
    ok = out.addConstant(-1e300, c.volume * static_cast<double>(c.d));  // silenced
  }
  // v ≥ 0: d − K((1 + boost)·v).
  ok = ok && b.add(out, 1.0 + c.boost, -1.0);
  out.finish();
  return ok;
}
