#include "units/piecewisecubic.hpp"

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
    for (int k = 0; k < 4; ++k) {
      c.q[k] = c.p[k] / (k + 1);
      c.r[k] = c.q[k] / (k + 2);
    }
    c.invScale = 1.0 / c.scale;
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
