#include "units/piecewisecubic.hpp"

#include "units/antiderivativewide.hpp"
#include "units/widecode.hpp"

bool qvpiecewisecubic::add(const qvcubicpiece& piece) {
  if (count_ >= kMaxPieces || !(piece.scale != 0.0)) return false;
  if (count_ > 1 && !(piece.start >= pieces_[count_ - 1].start)) return false;
  pieces_[count_++] = piece;
  return true;
}

bool qvpiecewisecubic::addConstant(double start, double c) {
  qvcubicpiece piece;
  piece.start = start;
  piece.origin = 0.0;  // t = x: exact integrals however far out the piece starts
  piece.p[0] = c;
  return add(piece);
}

void qvpiecewisecubic::finish() {
  if (count_ == 0) return;
  for (int i = 0; i < count_; ++i) {
    qvcubicpiece& c = pieces_[i];
    const double invScale = 1.0 / c.scale;
    for (int k = 0; k < 4; ++k) {
      const double q = c.p[k] / (k + 1);
      c.q[k] = q * invScale;
      c.r[k] = q / (k + 2) * invScale * invScale;
    }
    c.c = c.d = 0.0;
  }
  // Piece 0 reaches down to −∞; its antiderivatives are anchored where piece 1
  // begins. Each piece's constants make F1, then F2, continuous at its start.
  pieces_[0].start = count_ > 1 ? pieces_[1].start : 0.0;
  double f1 = 0.0, f2 = 0.0;  // F1, F2 at the current piece's start
  for (int i = 0; i < count_; ++i) {
    qvcubicpiece& c = pieces_[i];
    if (i >= 2) f1 = first(pieces_[i - 1], c.start);
    c.c = f1 - first(c, c.start);
  }
  for (int i = 0; i < count_; ++i) {
    qvcubicpiece& c = pieces_[i];
    if (i >= 2) f2 = second(pieces_[i - 1], c.start);
    c.d = f2 - second(c, c.start);
  }
  // F1(0) = F2(0) = 0 keeps the held values small near silence, where precision
  // matters. F2 takes F1's shift as a slope.
  const double at0 = integral(0.0);
  for (int i = 0; i < count_; ++i) pieces_[i].c -= at0;
  const double at0second = integral2(0.0);
  for (int i = 0; i < count_; ++i) pieces_[i].d -= at0second;
}

double qvpiecewisecubic::value(double x) const noexcept {
  if (count_ == 0) return 0.0;
  const qvcubicpiece& c = pieces_[find(x)];
  const double t = (x - c.origin) * c.scale;
  return c.p[0] + t * (c.p[1] + t * (c.p[2] + t * c.p[3]));
}

double qvantiderivative::midpointValue(const qvpiecewisecubic& curve, double a, double b, int& hint) noexcept {
  return curve.value(0.5 * (a + b), hint);
}

double qvantiderivative::midpointIntegral(const qvpiecewisecubic& curve, double a, double b, int& hint) noexcept {
  return curve.integral(0.5 * (a + b), hint);
}

// x is back near x₋₂: the hat folds onto the interval from their midpoint to x₋₁.
double qvantiderivative::foldedValue(const qvpiecewisecubic& curve, double x2, double x1, double x, double g1,
                                     int& hint) noexcept {
  const double mid = 0.5 * (x + x2);
  const double d = mid - x1;
  return (d > kMinStep2 || d < -kMinStep2)
             ? 2.0 / d * (curve.integral(mid, hint) + (g1 - curve.integral2(mid, hint)) / d)
             : curve.value(0.5 * (mid + x1), hint);
}

void qvantiderivative::process(const qvpiecewisecubic& curve, float* samples, int n) noexcept {
  for (int at = 0; at < n; at += kRun) {
    const int run = n - at < kRun ? n - at : kRun;
    if (order_ == 2)
      secondRun(curve, samples + at, run);
    else
      firstRun(curve, samples + at, run);
  }
}

// x[0] is the held input and x[i + 1] input i, f likewise, so quotient i is
// (f[i + 1] − f[i]) / (x[i + 1] − x[i]) as first() forms it; the few inputs too
// close to the last one are redone as first() does them.
void qvantiderivative::firstRun(const qvpiecewisecubic& curve, float* samples, int n) noexcept {
  double x[kRun + 1 + kWideRunPadding], f[kRun + 1 + kWideRunPadding], y[kRun];
  bool close[kRun];  // input i too close to the one before: the curve at the midpoint
  x[0] = x1_;
  f[0] = f1_;
  for (int i = 0; i < n; ++i) x[i + 1] = samples[i];
  if (qvwideCode() && qvwideFirstRun(curve, curve.pieces(), curve.count(), x, f, samples, n, hint_)) {
    x1_ = x[n];
    f1_ = f[n];
    return;
  }
  for (int i = 0; i < n; ++i) {
    const double dx = x[i + 1] - x[i];
    close[i] = !(dx > kMinStep1 || dx < -kMinStep1);
  }
  // F1 where a quotient or the held state needs it: in silence, at the end only.
  for (int i = 0; i < n; ++i)
    f[i + 1] = i + 1 == n || !close[i] || !close[i + 1] ? curve.integral(x[i + 1], hint_) : 0.0;
  for (int i = 0; i < n; ++i) y[i] = (f[i + 1] - f[i]) / (x[i + 1] - x[i]);
  for (int i = 0; i < n; ++i) {
    if (close[i]) y[i] = midpointValue(curve, x[i + 1], x[i], hint_);
    samples[i] = static_cast<float>(y[i]);
  }
  x1_ = x[n];
  f1_ = f[n];
}

// x[0], x[1] are the held inputs and x[i + 2] input i; g likewise holds F2, and
// s[i + 1] the secant slope of F2 between inputs i − 1 and i (s[0] the held
// one). Each pass forms its quotients over the whole run, then redoes the few
// that second() and secant() replace for inputs too close together.
void qvantiderivative::secondRun(const qvpiecewisecubic& curve, float* samples, int n) noexcept {
  double x[kRun + 2 + kWideRunPadding], g[kRun + 2 + kWideRunPadding], s[kRun + 1 + kWideRunPadding], y[kRun];
  // For input i: its secant (from input i − 1) too short; its span (from input
  // i − 2) too short; and then whether the fold's midpoint lies clear of input i − 1.
  bool closeSecant[kRun], closeSpan[kRun], foldClear[kRun];
  x[0] = x2_;
  x[1] = x1_;
  g[0] = g2_;
  g[1] = g1_;
  s[0] = slope1_;
  for (int i = 0; i < n; ++i) x[i + 2] = samples[i];
  if (qvwideCode() && qvwideSecondRun(curve, curve.pieces(), curve.count(), x, g, s, samples, n, hint_)) {
    x2_ = x[n];
    x1_ = x[n + 1];
    g2_ = g[n];
    g1_ = g[n + 1];
    slope1_ = s[n];
    return;
  }
  for (int i = 0; i < n; ++i) {
    const double d = x[i + 2] - x[i + 1];
    closeSecant[i] = !(d > kMinStep2 || d < -kMinStep2);
    const double span = x[i + 2] - x[i];
    closeSpan[i] = !(span > kMinStep2 || span < -kMinStep2);
    const double fold = 0.5 * (x[i + 2] + x[i]) - x[i + 1];
    foldClear[i] = fold > kMinStep2 || fold < -kMinStep2;
  }
  // F2 where a secant, a fold or the held state needs it: in silence, at the end only.
  for (int i = 0; i < n; ++i) {
    const bool next = i + 1 < n && (!closeSecant[i + 1] || (closeSpan[i + 1] && foldClear[i + 1]));
    g[i + 2] = i + 2 >= n || !closeSecant[i] || next ? curve.integral2(x[i + 2], hint_) : 0.0;
  }
  for (int i = 0; i < n; ++i) s[i + 1] = (g[i + 2] - g[i + 1]) / (x[i + 2] - x[i + 1]);
  for (int i = 0; i < n; ++i)
    if (closeSecant[i]) s[i + 1] = midpointIntegral(curve, x[i + 2], x[i + 1], hint_);
  for (int i = 0; i < n; ++i) y[i] = 2.0 * (s[i + 1] - s[i]) / (x[i + 2] - x[i]);
  for (int i = 0; i < n; ++i) {
    if (closeSpan[i]) y[i] = foldedValue(curve, x[i], x[i + 1], x[i + 2], g[i + 1], hint_);
    samples[i] = static_cast<float>(y[i]);
  }
  x2_ = x[n];
  x1_ = x[n + 1];
  g2_ = g[n];
  g1_ = g[n + 1];
  slope1_ = s[n];
}
