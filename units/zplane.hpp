// Pole/zero layouts in double precision and the bilinear frequency transforms that
// map an analog prototype (s-plane) to a digital layout (z-plane): low-pass, high-pass
// and band-pass. A layout also carries the frequency at which the finished filter is
// normalised and the gain it must have there. Design-time code: runs between blocks.
#pragma once
#include <cmath>
#include <complex>
#include <limits>

using qvcomplex = std::complex<double>;

// Zeros of a prototype that lie at infinity (an all-pole low-pass) use this value.
inline const qvcomplex kZPlaneInfinity{std::numeric_limits<double>::infinity(), 0.0};
inline bool isInfinite(qvcomplex c) { return std::isinf(c.real()) || std::isinf(c.imag()); }

// Two poles with two zeros (a conjugate pair, or two real values), or one real pole
// with one real zero (single set): one second-order or first-order section.
struct qvzpair {
  qvcomplex poles[2];
  qvcomplex zeros[2];
  bool single = false;
};

// Pairs the layout holds: 8 covers an order-8 elliptic low-pass (4 conjugate pairs)
// and a band shelf of order up to 8 with room to spare.
constexpr int kZPlaneMaxPairs = 8;

struct qvzplane {
  qvzpair pairs[kZPlaneMaxPairs];
  int npairs = 0;  // pairs in use
  int npoles = 0;  // poles in use (2 per pair, 1 for a single set)
  double wn = 0;   // normal frequency, radians per sample (s-plane: π stands for infinity)
  double gn = 1;   // gain the filter must have at wn

  void clear() { npairs = npoles = 0; wn = 0; gn = 1; }
  bool full() const { return npairs >= kZPlaneMaxPairs; }
  // pole, conj(pole) with zero, conj(zero). False when the layout is full.
  bool addConjugatePair(qvcomplex pole, qvcomplex zero);
  // Two independent poles and zeros (a transformed single set). False when full.
  bool addPair(qvcomplex p1, qvcomplex p2, qvcomplex z1, qvcomplex z2);
  // One real pole with one real zero. False when full.
  bool addSingle(qvcomplex pole, qvcomplex zero);
};

// Result codes of the transforms.
enum : int {
  kZPlaneOk = 0,
  kZPlaneOverflow = 1,  // the digital layout has no room for the transformed pairs
};

// fc = corner / sample rate. The corner is held inside (0, 0.5): beyond half the
// sample rate the tangent changes sign and the poles would leave the unit circle.
int lowPassTransform(double fc, qvzplane& digital, const qvzplane& analog);
int highPassTransform(double fc, qvzplane& digital, const qvzplane& analog);
// fc = centre / rate, fw = width / rate. Each analog pair becomes two digital pairs;
// the band edges are held between 1e-8 and π − 1e-8 radians.
int bandPassTransform(double fc, double fw, qvzplane& digital, const qvzplane& analog);
