#include "units/buffer.hpp"

qvusebuffer::qvusebuffer(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockBuffer));
}

void qvusebuffer::update(int) { volume_ = pv(kVolume); }
