// Butterworth shelving filters of adjustable gain: an analog low-shelf prototype of
// order N (poles on a circle of radius 1/g, zeros on one of radius g, g = G^(1/2N)),
// mapped by a bilinear transform to a low shelf, a high shelf or a band shelf (boost
// or cut between two edges), run as a biquad cascade. Design in double precision,
// between blocks; a redesign keeps the running state.
#pragma once
#include "units/biquadcascade.hpp"
#include "units/zplane.hpp"

// Analog low shelf: gain G at DC, 1 at infinity (normal frequency π, normal gain 1).
// Keeps its layout while order and gain stay the same.
struct qvshelfproto {
  qvzplane layout;
  int order = 0;       // of the last design; 0 = none yet
  double gainDb = 0;   // of the last design

  // [between blocks] kShelfOk, or kShelfBadOrder (layout unchanged).
  int design(int n, double gain_db);
};

// Result codes of the shelf set-ups.
enum : int {
  kShelfOk = 0,
  kShelfBadOrder = 1,  // order below 1 or beyond what a layout holds
  kShelfBadRate = 2,   // sample rate not positive
  kShelfBadDesign = 3, // non-finite or unstable coefficients; the previous filter stays
};

// Highest prototype order a band shelf can take (it doubles the pairs).
constexpr int kShelfMaxBandOrder = kZPlaneMaxPairs;
// Highest order of a low or high shelf.
constexpr int kShelfMaxOrder = 2 * kZPlaneMaxPairs;

// What every shelf owns: prototype, digital layout, cascade and its state.
class qvshelffilter {
public:
  // [audio] One sample through the cascade.
  float process(float x) noexcept { return cascade.process(x); }
  // [audio] count samples in place.
  void process(float* samples, int count) noexcept { cascade.process(samples, count); }
  // [audio] Zero state; the design stays.
  void reset() noexcept { cascade.reset(); }

  qvshelfproto analog;
  qvzplane digital;
  qvbiquadcascade cascade;
};

class qvlowshelf : public qvshelffilter {
public:
  // [between blocks] Gain gain_db below corner_hz, 0 dB at half the rate.
  int setup(int order, double rate_hz, double corner_hz, double gain_db);
};

class qvhighshelf : public qvshelffilter {
public:
  // [between blocks] Gain gain_db above corner_hz, 0 dB at DC.
  int setup(int order, double rate_hz, double corner_hz, double gain_db);
};

class qvbandshelf : public qvshelffilter {
public:
  // [between blocks] Gain gain_db between centre ∓ width/2, 0 dB far from the band
  // (normalised at half the rate for centres below a quarter of it, else at DC).
  // The prototype order is doubled: order 2 gives 4 poles in 2 sections.
  int setup(int order, double rate_hz, double centre_hz, double width_hz, double gain_db);
};
