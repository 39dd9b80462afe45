#include "units/graphiceq.hpp"

#include <cstdio>
#include <memory>

// A new rate factor redesigns every band (update(-1)), so the bands stay put inside
// an oversampled range and after a host sample-rate change.
qvusegraphiceq::qvusegraphiceq(const qvprocstate& state, bool withTable) : qvutil(state, -1) {
  if (withTable) buildParams(paramTable(kBlockGraphicEq));
}

void qvusegraphiceq::computeGrid() {
  // Octave grid on b = PHz + 105: PHz 0 puts the corners at 147, 210 ... 6720 and
  // 8736 Hz; the band shelves are 0.76 octave-units wide.
  const float b = pv(shiftIndex) + 105.0f;
  const float w = 0.76f * b;
  freq_[0] = 1.4 * b;
  double scale = 1.0;
  for (int i = 1; i <= kBandShelves; ++i) {
    scale *= 2.0;
    freq_[i] = scale * b;
    width_[i] = scale * w;
  }
  freq_[7] = 64.0 * b * 1.3;
}

void qvusegraphiceq::nameBand(int i) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f Hz", freq_[i] / 1.05);
  for (uint32_t r = 0; r < records.count(); ++r)
    if (records[r]->pind == i) records[r]->nametag = text;
}

void qvusegraphiceq::update(int) {
  computeGrid();
  if (!bandsMade_) {
    bands_.clear();
    for (int i = 0; i < kBandShelves; ++i) {
      bands_.append(std::make_unique<qvbandshelf>());
      band_[i] = bands_[i];
    }
    bandsMade_ = true;
  }
  initialised_ = true;
  const double rate = static_cast<double>(sampleRate()) * rateFactor();
  for (int i = 0; i < bandCount; ++i) {
    const double gain_db = pv(i);
    if (i == 0) {
      low_.setup(4, rate, freq_[0], gain_db);
    } else if (i == bandCount - 1) {
      high_.setup(4, rate, freq_[i], gain_db);
    } else {
      band_[i - 1]->setup(2, rate, freq_[i], width_[i], gain_db);
    }
    nameBand(i);
  }
  volume_ = pv(volumeIndex);
}
