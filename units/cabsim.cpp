#include "units/cabsim.hpp"

qvusconv::qvusconv(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockCabSim));
}

void qvusconv::serialiseconv(qvdocwriter& w, int32_t sourceuid) const {
  w.addInt("sourceuid", sourceuid);
  w.openArray("pars");
  for (uint32_t k = 0; k < records.count(); ++k) {
    w.openObject(nullptr);
    w.addNumber("fpos", params[records[k]->pind]->fpos);
    w.close();
  }
  w.close();
}
