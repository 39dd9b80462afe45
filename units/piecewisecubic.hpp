// A memoryless transfer function held as cubic pieces in double precision, with its
// first and second antiderivatives in closed form: what antiderivative
// anti-aliasing needs of a stage's static curve. Piece i covers x from start[i]
// (the first piece from −∞) to the next piece's start (the last piece to +∞) and
// there takes the value
//   p0 + p1·t + p2·t² + p3·t³,  t = (x − origin) · scale.
// Built between blocks; evaluated on the audio thread without allocation.
#pragma once

struct qvcubicpiece {
  double start = 0;   // first x of the piece (ignored for piece 0)
  double p[4] = {};   // power-basis coefficients in t
  // origin, scale, c and d, then q, then r lie four doubles apart, so that a
  // vector register loads each group of a piece at once.
  double origin = 0;  // x at which t = 0
  double scale = 1;   // dt/dx, never 0
  // Set by finish(), so that F1(0) = F2(0) = 0 and both are continuous:
  //   F1(x) = c + t·(q0 + q1·t + t²·(q2 + q3·t)),      q[k] = p[k] / ((k + 1)·scale)
  //   F2(x) = d + c·x + t²·(r0 + r1·t + t²·(r2 + r3·t)), r[k] = p[k] / ((k + 1)(k + 2)·scale²)
  // (in pairs, so that a value waits on about half as many operations in a row).
  double c = 0, d = 0;
  double q[4] = {};
  double r[4] = {};
};

class qvpiecewisecubic {
public:
  static constexpr int kMaxPieces = 48;  // a 20-segment tube curve with gaps and both ends

  // [between blocks] Empties the function.
  void clear() { count_ = 0; }
  // [between blocks] Appends a piece; starts must ascend. False when full or out of order.
  bool add(const qvcubicpiece& piece);
  // [between blocks] Appends the constant c from `start` on.
  bool addConstant(double start, double c);
  // [between blocks] Fixes the integration constants. Call after the last add().
  void finish();

  int count() const { return count_; }
  const qvcubicpiece* pieces() const { return pieces_; }
  // [audio] The function's value at x.
  double value(double x) const noexcept;
  // [audio] F1(x) = ∫ from 0 to x of the function.
  double integral(double x) const noexcept { return count_ ? first(pieces_[find(x)], x) : 0.0; }
  // [audio] F2(x) = ∫ from 0 to x of F1.
  double integral2(double x) const noexcept { return count_ ? second(pieces_[find(x)], x) : 0.0; }
  // [audio] The same, with the search for x's piece started from `hint` (the piece
  // of a nearby input), which then holds x's piece: a signal moves a piece or two
  // a sample, so this walks a step or two instead of up the whole curve.
  double integral(double x, int& hint) const noexcept {
    return count_ ? first(pieces_[find(x, hint)], x) : 0.0;
  }
  double integral2(double x, int& hint) const noexcept {
    return count_ ? second(pieces_[find(x, hint)], x) : 0.0;
  }
  double value(double x, int& hint) const noexcept {
    if (!count_) return 0.0;
    const qvcubicpiece& c = pieces_[find(x, hint)];
    const double t = (x - c.origin) * c.scale;
    return c.p[0] + t * (c.p[1] + t * (c.p[2] + t * c.p[3]));
  }

private:
  int find(double x) const noexcept {
    int i = 0;
    while (i + 1 < count_ && x >= pieces_[i + 1].start) ++i;
    return i;
  }
  // The piece find(x) gives, reached from `hint` in either direction (a NaN walks
  // down to piece 0, where find() leaves it).
  int find(double x, int& hint) const noexcept {
    int i = hint > 0 && hint < count_ ? hint : 0;
    while (i + 1 < count_ && x >= pieces_[i + 1].start) ++i;
    while (i > 0 && !(x >= pieces_[i].start)) --i;
    hint = i;
    return i;
  }
  static double first(const qvcubicpiece& c, double x) noexcept {
    const double t = (x - c.origin) * c.scale;
    const double t2 = t * t;
    return c.c + t * ((c.q[0] + c.q[1] * t) + t2 * (c.q[2] + c.q[3] * t));
  }
  static double second(const qvcubicpiece& c, double x) noexcept {
    const double t = (x - c.origin) * c.scale;
    const double t2 = t * t;
    return (c.d + c.c * x) + t2 * ((c.r[0] + c.r[1] * t) + t2 * (c.r[2] + c.r[3] * t));
  }

  qvcubicpiece pieces_[kMaxPieces];
  int count_ = 0;
};

// Antiderivative anti-aliasing of one static curve f. Order 1 plays the curve's
// mean over the straight line from the previous input to this one,
// (F1(x) − F1(x₋₁)) / (x − x₋₁): a one-sample box filter on f before sampling,
// half a sample late. Order 2 plays the second divided difference of F2 over the
// last three inputs, f weighted by a hat over them: a triangle filter, one sample
// late, with the deeper notches around multiples of the rate where the folded
// harmonics lie. Where inputs are too close for the quotients to be well
// conditioned, the curve (or F1) at their midpoint stands in.
class qvantiderivative {
public:
  // Below these input steps the quotients lose more digits than they save.
  static constexpr double kMinStep1 = 1e-6;
  static constexpr double kMinStep2 = 1e-4;

  // [between blocks] 0 off, 1 or 2; the history restarts from silence.
  void setOrder(int order, const qvpiecewisecubic& curve) noexcept {
    order_ = order;
    reset(curve);
  }
  int order() const { return order_; }
  // [between blocks] After the curve changed: the held antiderivatives follow it.
  void follow(const qvpiecewisecubic& curve) noexcept {
    f1_ = curve.integral(x1_);
    g1_ = curve.integral2(x1_);
    g2_ = curve.integral2(x2_);
    slope1_ = secant(curve, x1_, x2_, g1_, g2_, hint_);
  }
  // [audio] Silence in the history, as a fresh stage has it.
  void reset(const qvpiecewisecubic& curve) noexcept {
    x1_ = x2_ = 0.0;
    follow(curve);
  }
  // [audio] The anti-aliased curve value for input x (order 1 or 2).
  double process(const qvpiecewisecubic& curve, double x) noexcept {
    return order_ == 2 ? second(curve, x) : first(curve, x);
  }
  // [audio] The same for n inputs in place, each value rounded to float: the
  // numbers of n calls of process(), with the antiderivatives of a run taken
  // first and the quotients then formed over the whole run (the divisions are
  // independent, so they pipeline and pair up in vector registers).
  void process(const qvpiecewisecubic& curve, float* samples, int n) noexcept;

  // [audio] The stand-ins for quotients of inputs too close together: the curve,
  // and F1, at the midpoint of a and b; and second()'s value where the input x
  // came back near x₋₂, with g1 = F2(x₋₁).
  static double midpointValue(const qvpiecewisecubic& curve, double a, double b, int& hint) noexcept;
  static double midpointIntegral(const qvpiecewisecubic& curve, double a, double b, int& hint) noexcept;
  static double foldedValue(const qvpiecewisecubic& curve, double x2, double x1, double x, double g1,
                            int& hint) noexcept;

private:
  static constexpr int kRun = 64;  // inputs per run of process(samples, n)
  void firstRun(const qvpiecewisecubic& curve, float* samples, int n) noexcept;
  void secondRun(const qvpiecewisecubic& curve, float* samples, int n) noexcept;

  double first(const qvpiecewisecubic& curve, double x) noexcept {
    const double f = curve.integral(x, hint_);
    const double dx = x - x1_;
    const double y = (dx > kMinStep1 || dx < -kMinStep1) ? (f - f1_) / dx : curve.value(0.5 * (x + x1_), hint_);
    x1_ = x;
    f1_ = f;
    return y;
  }
  // Mean of F1 between a and b from F2 at both ends, or F1 at the midpoint.
  static double secant(const qvpiecewisecubic& curve, double a, double b, double ga, double gb,
                       int& hint) noexcept {
    const double d = a - b;
    return (d > kMinStep2 || d < -kMinStep2) ? (ga - gb) / d : curve.integral(0.5 * (a + b), hint);
  }
  double second(const qvpiecewisecubic& curve, double x) noexcept {
    const double g = curve.integral2(x, hint_);
    const double slope = secant(curve, x, x1_, g, g1_, hint_);
    const double span = x - x2_;
    const double y = (span > kMinStep2 || span < -kMinStep2) ? 2.0 * (slope - slope1_) / span
                                                             : foldedValue(curve, x2_, x1_, x, g1_, hint_);
    x2_ = x1_;
    g2_ = g1_;
    x1_ = x;
    g1_ = g;
    slope1_ = slope;
    return y;
  }

  int order_ = 0;
  double x1_ = 0, x2_ = 0;  // the last two inputs
  double f1_ = 0;           // F1(x1_)
  double g1_ = 0, g2_ = 0;  // F2(x1_), F2(x2_)
  double slope1_ = 0;       // mean of F1 between x2_ and x1_
  int hint_ = 0;            // the piece of the last input
};
