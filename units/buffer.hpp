// Level stage: a plain gain from −1 to 1 (negative values invert the signal).
// A new block sits at 0, silent until its Volume is raised.
#pragma once
#include "units/qvutil.hpp"

class qvusebuffer : public qvutil {
public:
  enum Param { kVolume };

  qvusebuffer(const qvprocstate& state, bool withTable);
  void update(int which) override;
  float process(float x) noexcept override { return volume_ * x; }
  void processBlock(float* samples, int nframes) noexcept override {
    const float v = volume_;
    for (int i = 0; i < nframes; ++i) samples[i] = v * samples[i];
  }
  int blocktype() const override { return kBlockBuffer; }

private:
  float volume_ = 0;  // Volume, cached for process()
};
