// Cab-sim unit: the parameters of one cabinet-simulation block and the convolution
// slot it listens to. The convolution itself runs in the chain's convolution engine;
// the chain mixes the slot's output with this block's Dry, Volume, Invert and Pan.
#pragma once
#include "units/qvutil.hpp"

class qvusconv : public qvutil {
public:
  enum Param { kVolume, kPan, kDry, kEnabled, kInvert };

  qvusconv(const qvprocstate& state, bool withTable);
  void update(int which) override { (void)which; }
  // [audio] The signal passes unchanged: the block's effect is mixed in by the chain.
  float process(float x) noexcept override { return x; }
  void processBlock(float*, int) noexcept override {}
  int blocktype() const override { return kBlockCabSim; }
  // [between blocks] "sourceuid", then "pars" with only the "fpos" of every record,
  // visible or not.
  virtual void serialiseconv(qvdocwriter& w, int32_t sourceuid) const;

  int32_t slot = -1;     // convolution engine slot whose output this block uses, -1 none
  int32_t impulse = -1;  // catalogue index of the block's impulse response, -1 none
};
