#include "units/qvparam.hpp"

#include <cmath>
#include <limits>

namespace {
constexpr double kLog10Of30 = 1.47712125471966;
}

float expTaper(float f) {
  const float e = static_cast<float>(std::pow(10.0, static_cast<double>(f) * kLog10Of30));
  return static_cast<float>((static_cast<double>(e) - 1.0) / 29.0);
}

float expTaperInverse(float t) {
  const float lg = static_cast<float>(std::log10(static_cast<double>(t) * 29.0 + 1.0));
  return static_cast<float>(static_cast<double>(lg) / kLog10Of30);
}

int32_t truncToInt(float v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483520.0f) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

void qvparam::setNormalized(float f) {
  fpos = f;
  x = xscale * f + xlow;
  u = f * uscale + ulow;
}

void qvparam::setValue(float v) {
  x = v;
  fpos = (v - xlow) / xscale;
  u = fpos * uscale + ulow;
}

void qvparamexp::setNormalized(float f) {
  fpos = f;
  const float t = expTaper(f);
  x = t * xscale + xlow;
  u = t * uscale + ulow;
}

void qvparamexp::setValue(float v) {
  x = v;
  const float t = (v - xlow) / xscale;
  fpos = expTaperInverse(t);
  u = t * uscale + ulow;
}

void qvparamexpdial::setNormalized(float f) {
  fpos = f;
  const float t = expTaper(f);
  x = t * xscale + xlow;
  u = f * uscale + ulow;
}

void qvparamexpdial::setValue(float v) {
  x = v;
  const float t = (v - xlow) / xscale;
  fpos = expTaperInverse(t);
  u = fpos * uscale + ulow;
}

void qvparambool::setNormalized(float f) {
  fpos = f;
  xi = truncToInt(f);
  u = f;
}

void qvparambool::setValue(float v) {
  xi = truncToInt(v);
  fpos = v;
  u = v;
}

void qvparamnumer::setNormalized(float f) {
  fpos = f;
  float step = xscale * f + xlow;
  // Positions are stored with six decimals, so a step whose position is not exact
  // in six decimals (1/9 stored as 0.111111) lands just below its integer; such a
  // product counts as the integer, or a save and reload would lose one step.
  const float above = std::ceil(step);
  if (above - step > 0.0f && above - step < 1e-4f) step = above;
  xi = truncToInt(step);
  u = f * uscale + ulow;
  if (f == 1.0f) {
    xi -= 1;
    u -= 1.0f;
  }
}

void qvparamnumer::setValue(float v) {
  xi = truncToInt(v);
  fpos = (v - xlow) / xscale;
  u = fpos * uscale + ulow;
}

std::unique_ptr<qvparam> createParam(int type, float defa, float xscale, float xlow,
                                     float uscale, float ulow) {
  std::unique_ptr<qvparam> p;
  switch (type) {
    case 1: p = std::make_unique<qvparam>(); break;
    case 2: p = std::make_unique<qvparamexp>(); break;
    case 3: p = std::make_unique<qvparamexpdial>(); break;
    case 4: p = std::make_unique<qvparambool>(); break;
    default: p = std::make_unique<qvparamnumer>(); break;
  }
  p->xscale = xscale;
  p->xlow = xlow;
  p->uscale = uscale;
  p->ulow = ulow;
  p->setValue(defa);
  return p;
}

std::unique_ptr<qvparam> createParamWithRecord(int type, float defa, float xscale, float xlow,
                                               float uscale, float ulow, int pind,
                                               qvlist<qvparamrecord>& records,
                                               const qvstring& name, bool setvis) {
  auto r = std::make_unique<qvparamrecord>();
  r->defa = defa;
  r->type = type;
  r->xscale = xscale;
  r->xlow = xlow;
  r->uscale = uscale;
  r->ulow = ulow;
  r->pind = pind;
  r->setvis = setvis;
  r->nametag = name;
  records.append(std::move(r));
  return createParam(type, defa, xscale, xlow, uscale, ulow);
}

std::unique_ptr<qvparam> createParamFromRecord(const qvparamrecord& r) {
  return createParam(r.type, r.defa, r.xscale, r.xlow, r.uscale, r.ulow);
}
