// Eight-band graphic equalizer on an octave grid that one parameter ("PHz") shifts:
// a low shelf, six band shelves and a high shelf, designed at every update. The band
// parameters are renamed after their frequencies so the knobs read "140 Hz" and on.
#pragma once
#include <cstdint>

#include "units/qvutil.hpp"
#include "units/shelfdesign.hpp"

class qvusegraphiceq : public qvutil {
public:
  static constexpr int kBandShelves = 6;  // bands 1..6

  qvusegraphiceq(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override {
    float y = low_.process(x);
    for (qvbandshelf* b : band_) y = b->process(y);
    return volume_ * high_.process(y);
  }
  void processBlock(float* samples, int nframes) noexcept override {
    low_.process(samples, nframes);
    for (qvbandshelf* b : band_) b->process(samples, nframes);
    high_.process(samples, nframes);
    const float v = volume_;
    for (int i = 0; i < nframes; ++i) samples[i] = v * samples[i];
  }
  int blocktype() const override { return kBlockGraphicEq; }
  void reset() noexcept override {
    low_.reset();
    for (qvbandshelf* b : band_) b->reset();
    high_.reset();
  }

  // [between blocks] Corner (centre) frequencies and widths of the last update, Hz.
  double corner(int band) const { return freq_[band]; }
  double width(int band) const { return width_[band]; }
  const qvlowshelf& lowShelf() const { return low_; }
  const qvhighshelf& highShelf() const { return high_; }
  const qvbandshelf& bandShelf(int i) const { return *bands_[i]; }

  const int32_t bandCount = 8;   // gain parameters 0..7
  const int32_t shiftIndex = 8;  // "PHz": grid shift
  const int32_t volumeIndex = 9; // "Vol": output gain

private:
  void computeGrid();
  void nameBand(int i);

  qvlowshelf low_;                      // band 0, order 4
  qvhighshelf high_;                    // band 7, order 4
  qvlist<qvbandshelf> bands_;           // bands 1..6, order 2
  qvbandshelf* band_[kBandShelves] = {};  // the list's entries, for the per-sample path
  bool bandsMade_ = false;               // band_ holds the six band shelves
  double freq_[8] = {};   // band corners, Hz
  double width_[8] = {};  // band widths, Hz (bands 1..6)
  float volume_ = 1.0f;   // cached Vol
};
