#include "units/shelfdesign.hpp"

#include <cmath>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;

int checkedLayout(qvbiquadcascade& cascade, const qvzplane& digital, int transform_rc) {
  if (transform_rc != kZPlaneOk) return kShelfBadOrder;
  return cascade.setlayout(digital) == kBiquadOk ? kShelfOk : kShelfBadDesign;
}
}  // namespace

int qvshelfproto::design(int n, double gain_db) {
  if (n < 1 || n > kShelfMaxOrder) return kShelfBadOrder;
  if (n == order && gain_db == gainDb) return kShelfOk;
  layout.clear();
  order = n;
  gainDb = gain_db;

  const double G = std::pow(10.0, gain_db / 20.0);
  const int m = 2 * n;
  const double g = std::pow(G, 1.0 / m);
  const double gp = -1.0 / g;  // poles on a circle of radius 1/g ...
  const double gz = -g;        // ... zeros on one of radius g: |H(0)| = g^(2n) = G
  for (int i = 1; i <= n / 2; ++i) {
    const double theta = kPi * (0.5 - (2.0 * i - 1.0) / m);
    const qvcomplex e = std::polar(1.0, theta);
    layout.addConjugatePair(gp * e, gz * e);
  }
  if (n & 1) layout.addSingle(gp, gz);
  layout.wn = kPi;  // normalised at infinity, where the shelf is 0 dB
  layout.gn = 1.0;
  return kShelfOk;
}

int qvlowshelf::setup(int order, double rate_hz, double corner_hz, double gain_db) {
  if (!(rate_hz > 0.0)) return kShelfBadRate;
  if (analog.design(order, gain_db) != kShelfOk) return kShelfBadOrder;
  return checkedLayout(cascade, digital, lowPassTransform(corner_hz / rate_hz, digital, analog.layout));
}

int qvhighshelf::setup(int order, double rate_hz, double corner_hz, double gain_db) {
  if (!(rate_hz > 0.0)) return kShelfBadRate;
  if (analog.design(order, gain_db) != kShelfOk) return kShelfBadOrder;
  return checkedLayout(cascade, digital,
                       highPassTransform(corner_hz / rate_hz, digital, analog.layout));
}

int qvbandshelf::setup(int order, double rate_hz, double centre_hz, double width_hz,
                       double gain_db) {
  if (!(rate_hz > 0.0)) return kShelfBadRate;
  if (order > kShelfMaxBandOrder) return kShelfBadOrder;
  if (analog.design(order, gain_db) != kShelfOk) return kShelfBadOrder;
  const double fc = centre_hz / rate_hz;
  const int rc = bandPassTransform(fc, width_hz / rate_hz, digital, analog.layout);
  // Normalise at the end of the spectrum farther from the band.
  if (fc < 0.25) {
    digital.wn = kPi;
  } else {
    digital.wn = 0.0;
  }
  digital.gn = 1.0;
  return checkedLayout(cascade, digital, rc);
}
