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

qvuseeq::qvuseeq(const qvprocstate& state, bool withTable) : qvutil(state, kBassHz) {
  if (withTable) buildParams(paramTable(kBlockEqualizer));
}

void qvuseeq::update(int which) {
  const float n = rateFactor();
  if (!initialised_) {
    setUpOnePole(treble_, 1, sampleRate(), pv(kTrebHz), n);
    setUpOnePole(bass_, 0, sampleRate(), pv(kBassHz), n);
    initialised_ = true;
  }
  if (which > kTreb || which == -1) {
    treble_.setfreq(pv(kTrebHz) / n, 0.0f);
    bass_.setfreq(pv(kBassHz) / n, 0.0f);
  }
  gains_.volume = pv(kVolume);
  gains_.bass = pv(kBass);
  gains_.mid = pv(kMid);
  gains_.treb = pv(kTreb);
}

qvusetone::qvusetone(const qvprocstate& state, bool withTable) : qvutil(state, kBassHz) {
  if (withTable) buildParams(paramTable(kBlockTone));
}

void qvusetone::update(int which) {
  const float n = rateFactor();
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
    setUpOnePole(low_, 0, sampleRate(), corner, n);
    setUpOnePole(high_, 1, sampleRate(), pv(kTrebHz), n);
    initialised_ = true;
  }
  if (which != kVolume) {
    gh_ = tone;
    gl_ = series ? 0.175f : static_cast<float>((1.0f - tone) * 0.66);
  }
  if (which > kDry || which == -1) {
    low_.setfreq(corner / n, 0.0f);
    high_.setfreq(pv(kTrebHz) / n, 0.0f);
  }
  volume_ = pv(kVolume);
  series_ = series;
}

qvusepeak::qvusepeak(const qvprocstate& state, bool withTable) : qvutil(state, kFreq) {
  if (withTable) buildParams(paramTable(kBlockPresence));
}

void qvusepeak::update(int) {
  // Redesigned on every call, whatever changed; the cascade keeps its state.
  const double rate = static_cast<double>(sampleRate()) * rateFactor();
  shelf_.setup(1, rate, pv(kFreq), pv(kWidth), pv(kPresence));
  initialised_ = true;
}

void qvuseeq::processBlock(float* samples, int nframes) noexcept {
  polefilt_1lp treble = treble_, bass = bass_;
  const gains g = gains_;
  for (int i = 0; i < nframes; ++i) {
    const float x = samples[i];
    const float h = treble.process(x);
    const float l = bass.process(x);
    samples[i] = g.mix(x, h, l);
  }
  treble_.y = treble.y;
  bass_.y = bass.y;
}

void qvusetone::processBlock(float* samples, int nframes) noexcept {
  polefilt_1lp low = low_, high = high_;
  const float volume = volume_, gh = gh_, gl = gl_;
  const bool series = series_;
  for (int i = 0; i < nframes; ++i) {
    const float x = samples[i];
    const float l = low.process(x);
    const float h = high.process(series ? l : x);
    samples[i] = volume * (gh * h + gl * l);
  }
  low_.y = low.y;
  high_.y = high.y;
}
