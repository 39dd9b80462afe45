// Tone-shaping units of the amplifiers. The three-band Equalizer splits the signal
// with a one-pole high-pass and low-pass; the middle band is what neither passes.
// The Tone stack mixes a low-pass and a high-pass, in parallel (Mode 0) or in
// series (Mode 1). Presence is one band shelf. All three are linear.
#pragma once
#include <cstdint>

#include "units/polefilters.hpp"
#include "units/qvutil.hpp"
#include "units/shelfdesign.hpp"

class qvuseeq : public qvutil {
public:
  enum Param { kVolume, kBass, kMid, kTreb, kBassHz, kTrebHz };

  qvuseeq(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override {
    const float h = treble_.process(x);
    const float l = bass_.process(x);
    return gains_.mix(x, h, l);
  }
  void processBlock(float* samples, int nframes) noexcept override;
  int blocktype() const override { return kBlockEqualizer; }
  void reset() noexcept override {
    treble_.reset();
    bass_.reset();
  }

private:
  // Parameter values cached by update(); process() reads only these (the block
  // loop from a local copy, which the samples it writes cannot alias).
  struct gains {
    float volume = 1, bass = 1, mid = 1, treb = 1;
    float mix(float x, float h, float l) const noexcept {
      const float m = x - (h + l);  // the middle band: what neither filter passes
      return volume * (m * mid + l * bass + h * treb);
    }
  };

  polefilt_1lp treble_;       // filter A: high-pass at Treb-Hz
  polefilt_1lp bass_;         // filter B: low-pass at Bass-Hz
  gains gains_;
};

class qvusetone : public qvutil {
public:
  enum Param { kVolume, kTone, kDry, kBassHz, kTrebHz, kMode };

  qvusetone(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override {
    const float l = low_.process(x);
    const float h = high_.process(series_ ? l : x);
    return volume_ * (gh_ * h + gl_ * l);
  }
  void processBlock(float* samples, int nframes) noexcept override;
  int blocktype() const override { return kBlockTone; }
  void reset() noexcept override {
    low_.reset();
    high_.reset();
  }

private:
  float gl_ = 0.66f;     // low mix gain
  float gh_ = 0.0f;      // high mix gain
  polefilt_1lp low_;     // filter L
  polefilt_1lp high_;    // filter H
  float volume_ = 1;     // cached Volume
  bool series_ = false;  // Mode 1: the high-pass takes the low-pass output
};

class qvusepeak : public qvutil {
public:
  enum Param { kPresence, kFreq, kWidth };

  qvusepeak(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override { return shelf_.process(x); }
  void processBlock(float* samples, int nframes) noexcept override {
    shelf_.process(samples, nframes);
  }
  int blocktype() const override { return kBlockPresence; }
  void reset() noexcept override { shelf_.reset(); }

  const qvbandshelf& shelf() const { return shelf_; }

private:
  qvbandshelf shelf_;         // order 1: one section
};
