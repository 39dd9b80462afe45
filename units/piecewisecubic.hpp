// A memoryless transfer function held as cubic pieces in double precision, with its
// exact antiderivative: what first-order antiderivative anti-aliasing needs of a
// stage's static curve. Piece i covers x from start[i] (the first piece from −∞) to
// the next piece's start (the last piece to +∞) and there takes the value
//   p0 + p1·t + p2·t² + p3·t³,  t = (x − origin) · scale.
// Built between blocks; evaluated on the audio thread without allocation.
#pragma once

struct qvcubicpiece {
  double start = 0;   // first x of the piece (ignored for piece 0)
  double origin = 0;  // x at which t = 0
  double scale = 1;   // dt/dx, never 0
  double p[4] = {};   // power-basis coefficients in t
  // Set by finish(): the antiderivative on this piece is c + (q·t)(t) / scale, with
  // q[k] = p[k] / (k + 1), so that F(0) = 0 and F is continuous.
  double q[4] = {};
  double invScale = 1;
  double c = 0;
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
  // [between blocks] Fixes the integration constants so that F(0) = 0 and F is
  // continuous across the pieces. Call after the last add().
  void finish();

  int count() const { return count_; }
  // [audio] The function's value at x.
  double value(double x) const noexcept;
  // [audio] F(x) = ∫ from 0 to x of the function.
  double integral(double x) const noexcept {
    if (count_ == 0) return 0.0;
    const qvcubicpiece& c = pieces_[find(x)];
    return c.c + scaledIntegral(c, x) * c.invScale;
  }

private:
  int find(double x) const noexcept;
  // (∫ of piece i from t = 0 to t(x)) · scale.
  static double scaledIntegral(const qvcubicpiece& c, double x) noexcept {
    const double t = (x - c.origin) * c.scale;
    return t * (c.q[0] + t * (c.q[1] + t * (c.q[2] + t * c.q[3])));
  }

  qvcubicpiece pieces_[kMaxPieces];
  int count_ = 0;
};

// First-order antiderivative anti-aliasing of one static curve: each output is the
// curve's mean over the straight line from the previous input to this one,
// (F(x) − F(x₋₁)) / (x − x₋₁), which band-limits the curve's harmonics like a
// one-sample box filter before they are sampled. Where the two inputs are too
// close for the quotient to be well conditioned, the curve at their midpoint. It
// delays the stage by half a sample.
class qvadaa {
public:
  // Below this input step the quotient loses more digits than it saves.
  static constexpr double kMinStep = 1e-6;

  // [between blocks] After the curve changed: the held integral follows it.
  void follow(const qvpiecewisecubic& curve) { prevF_ = curve.integral(prevX_); }
  // [audio] Silence in the history, as a fresh stage has it.
  void reset(const qvpiecewisecubic& curve) noexcept {
    prevX_ = 0.0;
    prevF_ = curve.integral(0.0);
  }
  // [audio] The anti-aliased curve value for input x.
  double process(const qvpiecewisecubic& curve, double x) noexcept {
    const double f = curve.integral(x);
    const double dx = x - prevX_;
    const double y = (dx > kMinStep || dx < -kMinStep) ? (f - prevF_) / dx
                                                        : curve.value(0.5 * (x + prevX_));
    prevX_ = x;
    prevF_ = f;
    return y;
  }

private:
  double prevX_ = 0;  // previous input
  double prevF_ = 0;  // F(prevX_)
};
