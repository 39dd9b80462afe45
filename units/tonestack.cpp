#include "units/tonestack.hpp"

namespace {
// One-pole set-up of a fresh (or re-rated) filter: kind, silent state, host rate and
// the corner divided by the rate factor, since the filter runs at fs · n.
void setUpOnePole(polefilt_1lp& f, int kind, float fs, float corner_hz, float n) {
  f.setkind(kind);
  f.y = 0.0f;
  f.setrate(fs);
  f.setfreq(corner_hz / n, 0.0f);
}
}  // namespace

qvuseeq::qvuseeq(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockEqualizer));
}

void qvuseeq::setRateMultiplier(float factor) {
  n_ = factor;
  initialised_ = false;
  update(kBassHz);
}

void qvuseeq::update(int which) {
  if (!initialised_) {
    setUpOnePole(treble_, 1, sampleRate(), pv(kTrebHz), n_);
    setUpOnePole(bass_, 0, sampleRate(), pv(kBassHz), n_);
    initialised_ = true;
  }
  if (which > kTreb || which == -1) {
    treble_.setfreq(pv(kTrebHz) / n_, 0.0f);
    bass_.setfreq(pv(kBassHz) / n_, 0.0f);
  }
  volume_ = pv(kVolume);
  bassGain_ = pv(kBass);
  mid_ = pv(kMid);
  trebGain_ = pv(kTreb);
}

qvusetone::qvusetone(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockTone));
}

void qvusetone::setRateMultiplier(float factor) {
  n_ = factor;
  initialised_ = false;
  update(kBassHz);
}

void qvusetone::update(int which) {
  const float tone = pv(kTone);
  const bool series = pvi(kMode) == 1;
  float corner = pv(kBassHz);
  if (series) {
    // The Tone knob moves the low-pass corner up and fades in the band between
    // Treb-Hz and that corner; every change retunes everything.
    corner = (tone + 1.0f) * corner;
    which = -1;
  }
  if (!initialised_) {
    setUpOnePole(low_, 0, sampleRate(), corner, n_);
    setUpOnePole(high_, 1, sampleRate(), pv(kTrebHz), n_);
    initialised_ = true;
  }
  if (which != kVolume) {
    gh_ = tone;
    gl_ = series ? 0.175f : static_cast<float>((1.0f - tone) * 0.66);
  }
  if (which > kDry || which == -1) {
    low_.setfreq(corner / n_, 0.0f);
    high_.setfreq(pv(kTrebHz) / n_, 0.0f);
  }
  volume_ = pv(kVolume);
  series_ = series;
}

qvusepeak::qvusepeak(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockPresence));
}

void qvusepeak::setRateMultiplier(float factor) {
  n_ = factor;
  initialised_ = false;
  update(kFreq);
}

void qvusepeak::update(int) {
  // Redesigned on every call, whatever changed; the cascade keeps its state.
  const double rate = static_cast<double>(sampleRate()) * n_;
  shelf_.setup(1, rate, pv(kFreq), pv(kWidth), pv(kPresence));
  initialised_ = true;
}
