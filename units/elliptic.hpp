// Elliptic (Cauer) low-pass for the oversampled ranges: equiripple passband and
// stopband, the steepest transition an order allows. The analog prototype (pass-band
// edge 1 rad/s) comes from Jacobi elliptic functions evaluated by Landen's
// transformation; the bilinear transform maps it to the cutoff, and the shared
// biquad cascade runs it. Unity gain at DC.
#pragma once
#include <cmath>

#include "units/biquadcascade.hpp"
#include "units/polyphase.hpp"
#include "units/zplane.hpp"

// Stopband edge over passband edge of the prototype for a rolloff parameter:
// 5·e^(rolloff − 1) + 1 (about 1.249 for the anti-alias filters' −2).
inline double ellipticSelectivity(double rolloff) { return 5.0 * std::exp(rolloff - 1.0) + 1.0; }

class qvellipticlowpass {
public:
  // [between blocks] Designs the analog prototype unless order, ripple and rolloff
  // are those of the last design, then maps it to cutoff / rate. Even orders 2..16.
  // Returns 0, or a non-zero code when the design could not be made (the filter
  // then keeps its previous coefficients).
  int design(int order, double rippleDb, double rolloff, double rate, double cutoff);

  // [between blocks] After design(): the filter's polyphase form for factor m,
  // which upsample() and decimate() then run. The form starts from silence unless
  // it is the one in use (the same design and factor), which keeps its state: a
  // rig edit that redesigns the ranges' filters as they were does not click.
  // False when m has none (not a power of two in 2..16); they then run the cascade.
  bool prepare(int m);

  // [audio] Filters count sub-samples in place.
  void process(float* samples, int count) noexcept { cascade_.process(samples, count); }
  // [audio] One sub-sample.
  float process(float x) noexcept { return cascade_.process(x); }
  // [audio] Opens an oversampled range: n host samples, zero-stuffed to m each,
  // filtered into out (see qvpolyphase::upsample).
  void upsample(const float* in, int n, int m, float* out) noexcept {
    if (formCurrent_ && m == polyphase_.factor())
      polyphase_.upsample(in, n, out);
    else
      cascade_.processUpsampled(in, n, m, out);
  }
  // [audio] Closes one: count sub-samples filtered, every m-th kept in out.
  void decimate(const float* in, int count, int m, float* out) noexcept {
    if (formCurrent_ && m == polyphase_.factor())
      polyphase_.decimate(in, count, out);
    else
      cascade_.processDecimated(in, count, m, out);
  }
  void reset() noexcept {
    cascade_.reset();
    polyphase_.reset();
  }

  const qvzplane& analogPrototype() const { return analog_; }
  const qvbiquadcascade& cascade() const { return cascade_; }
  int prototypeDesigns() const { return designs_; }  // how often the prototype was computed
  double stopbandEdge() const { return selectivity_; }  // Ωs / Ωp of the prototype

private:
  int designPrototype(int order, double rippleDb, double rolloff);

  qvzplane analog_;
  qvbiquadcascade cascade_;
  qvpolyphase polyphase_;  // the cascade for a rate change by a fixed factor
  bool formCurrent_ = false;  // polyphase_ was built from the cascade as it is
  int order_ = 0;
  double ripple_ = 0, rolloff_ = 0, selectivity_ = 0;
  int designs_ = 0;
};
