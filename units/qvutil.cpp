#include "units/qvutil.hpp"

void qvutil::processBlock(float* samples, int nframes) noexcept {
  for (int i = 0; i < nframes; ++i) samples[i] = process(samples[i]);
}

void qvutil::setRateMultiplier(float factor) {
  if (rateUpdate_ == kRateIndependent) return;
  n_ = factor;
  initialised_ = false;
  update(rateUpdate_);
}

void qvutil::buildParams(std::span<const qvparamspec> table) {
  int pind = static_cast<int>(records.count());
  for (const qvparamspec& s : table) {
    params.append(createParamWithRecord(s.type, s.defa, s.xscale, s.xlow, s.uscale, s.ulow, pind,
                                        records, s.nametag, s.vis));
    ++pind;
  }
}

void qvutil::serialise(qvdocwriter& w, bool full) const {
  w.addInt("sblock", blocktype());
  w.addInt("blockgroup", blockgroup);
  w.openArray("pars");
  for (uint32_t k = 0; k < records.count(); ++k) {
    const qvparamrecord& r = *records[k];
    w.openObject(nullptr);
    if (full) {
      w.addNumber("defa", r.defa);
      w.addInt("pind", r.pind);
      w.addInt("type", r.type);
      w.addNumber("xscale", r.xscale);
      w.addNumber("xlow", r.xlow);
      w.addNumber("uscale", r.uscale);
      w.addNumber("ulow", r.ulow);
      w.addBool("setvis", r.setvis);
      w.addString("nametag", r.nametag);
      w.addInt("posmode", r.posmode);
      w.addInt("posx", r.posx);
      w.addInt("posy", r.posy);
      w.addNumber("fpos", params[r.pind]->fpos);
    } else if (r.setvis) {
      w.addNumber("fpos", params[r.pind]->fpos);
    }
    w.close();
  }
  w.close();
}
