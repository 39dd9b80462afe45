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
    for (int k = 0; k < 4; ++k) c.q[k] = c.p[k] / (k + 1);
    c.invScale = 1.0 / c.scale;
  }
  // Piece 0 reaches down to −∞; its integral is anchored where piece 1 begins.
  // Each piece's constant makes F continuous at its start.
  pieces_[0].start = count_ > 1 ? pieces_[1].start : 0.0;
  double atStart = 0.0;  // F at the current piece's start, before the shift below
  for (int i = 0; i < count_; ++i) {
    qvcubicpiece& c = pieces_[i];
    if (i >= 2) {
      const qvcubicpiece& b = pieces_[i - 1];
      atStart = b.c + scaledIntegral(b, c.start) * b.invScale;
    }
    c.c = atStart - scaledIntegral(c, c.start) * c.invScale;
  }
  // F(0) = 0 keeps the held values small near silence, where precision matters.
  const double atZero = integral(0.0);
  for (int i = 0; i < count_; ++i) pieces_[i].c -= atZero;
}

int qvpiecewisecubic::find(double x) const noexcept {
  int i = 0;
  while (i + 1 < count_ && x >= pieces_[i + 1].start) ++i;
  return i;
}

double qvpiecewisecubic::value(double x) const noexcept {
  if (count_ == 0) return 0.0;
  const qvcubicpiece& c = pieces_[find(x)];
  const double t = (x - c.origin) * c.scale;
  return c.p[0] + t * (c.p[1] + t * (c.p[2] + t * c.p[3]));
}
