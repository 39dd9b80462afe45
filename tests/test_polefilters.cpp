#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>

#include "freqresp.hpp"
#include "units/polefilters.hpp"

namespace {
// Analytic magnitudes of the designs. The two-pole is the bilinear image of
// 1 / (s² + s/Q + 1) prewarped to the corner (plus the 0.01 Hz the design adds);
// the four-pole is its square; the one-pole is k / (1 − (1 − k)·z⁻¹).
double biquadMagnitude(int kind, double w, double corner_hz, double q, double rate) {
  const double w0 = 2 * freqresp::kPi * (corner_hz + 0.01) / rate;
  const double omega = std::tan(w / 2) / std::tan(w0 / 2);
  const double Q = (q + 1) * 0.5;
  const double den = std::sqrt(std::pow(1 - omega * omega, 2) + std::pow(omega / Q, 2));
  return (kind == 0 ? 1.0 : omega * omega) / den;
}

double onePoleMagnitude(int kind, double w, double corner_hz, double rate) {
  const double k = corner_hz / (rate * 0.5);
  const std::complex<double> lp = k / (1.0 - (1.0 - k) * std::polar(1.0, -w));
  return std::abs(kind == 0 ? lp : 1.0 - lp);
}
}  // namespace

TEST(PoleFilters, MagnitudeMatchesTheDesignAtDcCornerAndNyquist) {
  constexpr double kRate = 48000;
  for (int order : {1, 2, 4}) {
    for (int kind : {0, 1}) {
      for (double corner : {100.0, 1000.0, 6000.0, 15000.0}) {
        for (double q : {0.0, 1.0, 6.0}) {
          if (order == 1 && q != 0.0) continue;  // the one-pole ignores q
          std::unique_ptr<qvfiltgen> f;
          if (order == 1) f = std::make_unique<polefilt_1lp>();
          if (order == 2) f = std::make_unique<polefilt_2lpc>();
          if (order == 4) f = std::make_unique<polefilt_4lpc>(kind);
          f->setkind(kind);
          f->setrate(static_cast<float>(kRate));
          f->setfreq(static_cast<float>(corner), static_cast<float>(q));
          const auto h = freqresp::impulse([&f](float x) { return f->process(x); }, 1 << 15);
          const double corner_w = freqresp::omega(corner, kRate);
          for (double w : {0.0, corner_w, 0.95 * freqresp::kPi}) {
            double expected = order == 1 ? onePoleMagnitude(kind, w, corner, kRate)
                                         : biquadMagnitude(kind, w, corner, q, kRate);
            if (order == 4) expected *= expected;
            // Single-precision coefficients leave a high-pass some leakage at DC
            // (below −65 dB) where the exact design has a zero.
            const double floor = (kind == 1 && w == 0.0) ? 5e-4 : 2e-5;
            EXPECT_NEAR(freqresp::magnitude(h, w), expected, floor + 2e-3 * expected)
                << "order " << order << " kind " << kind << " corner " << corner << " q " << q
                << " w " << w;
          }
        }
      }
    }
  }
}

// Corners at and above half the rate (a high corner at a low host rate) keep every
// filter stable: full-scale noise for a second gives a bounded output. Below the
// limits the designs are the exact ones (the tests above).
TEST(PoleFilters, CornersBeyondHalfTheRateStayStable) {
  const float rate = 8000.0f;
  for (float corner : {3999.0f, 4000.0f, 6000.0f, 7999.0f, 8000.0f, 12000.0f, 1e9f}) {
    for (int kind : {0, 1}) {
      polefilt_1lp one;
      polefilt_2lpc two;
      polefilt_4lpc four(kind);
      qvfiltgen* filters[] = {&one, &two, &four};
      for (qvfiltgen* f : filters) {
        f->setkind(kind);
        f->setrate(rate);
        f->setfreq(corner, 3.0f);
        uint32_t seed = 1;
        float peak = 0.0f;
        for (int i = 0; i < 8000; ++i) {
          seed = seed * 1664525u + 1013904223u;
          const float x = float(seed >> 8) / 8388608.0f - 1.0f;
          peak = std::max(peak, std::fabs(f->process(x)));
        }
        EXPECT_LT(peak, 100.0f) << "corner " << corner << " kind " << kind;
      }
    }
  }
  polefilt_1lp one;
  one.setrate(rate);
  one.setfreq(6000.0f, 0.0f);
  EXPECT_FLOAT_EQ(one.k, 1.5f) << "between half the rate and the rate: as designed";
  one.setfreq(8000.0f, 0.0f);
  EXPECT_EQ(one.k, 1.0f) << "from the rate on: the input passes";
}
