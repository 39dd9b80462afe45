#include "units/wahfilter.hpp"

#include <algorithm>
#include <memory>

bool qvwahcore::choose(int32_t kind, int32_t order, float fs, float cutoff_hz, float reso) {
  if (kind != k || order != o) initialised = false;
  if (initialised) return false;
  k = kind;
  o = order;
  std::unique_ptr<qvfiltgen> f;
  if (o == 2) {
    f = std::make_unique<polefilt_2lpc>();
  } else if (o == 3 || o == 4) {
    f = std::make_unique<polefilt_4lpc>(k);
  } else {
    f = std::make_unique<polefilt_1lp>();
  }
  f->setkind(k);
  f->setrate(fs);
  f->setfreq(cutoff_hz / n, reso);
  // The old filter goes, and its state with it.
  if (filters.count() == 1) {
    filters.replace(0, std::move(f));
  } else {
    filters.append(std::move(f));
  }
  filter = filters[0];
  return true;
}

qvusewah::qvusewah(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockFilter));
}

void qvusewah::setRateMultiplier(float factor) {
  core_.n = factor;
  core_.initialised = false;
  update(kCutoff);
}

void qvusewah::update(int which) {
  core_.choose(pvi(kFilterCon), pvi(kFilterOrd), sampleRate(), pv(kCutoff), pv(kReso));
  core_.initialised = true;
  if (which == kCutoff || which == kReso) core_.filter->setfreq(pv(kCutoff) / core_.n, pv(kReso));
  if (which == kDry || which == -1) {
    core_.gd = pv(kDry);
    core_.gw = 1.0f - core_.gd;
  }
}

qvusewahplus::qvusewahplus(const qvprocstate& state, bool withTable) : qvutil(state) {
  if (withTable) buildParams(paramTable(kBlockAutoWah));
}

void qvusewahplus::setRateMultiplier(float factor) {
  core_.n = factor;
  core_.initialised = false;
  update(kCutoff);
}

void qvusewahplus::update(int which) {
  const float fs = sampleRate();
  cutoff_ = pv(kCutoff);
  reso_ = pv(kReso);
  drive_ = pv(kDrive);
  width_ = pv(kWidth);
  // Filter Con counts from 1 here: 2 is the high-pass, 1 and 3 the low-pass. The
  // kind in use is compared after this mapping, so that a parameter change that
  // keeps kind and order keeps the running filter and its state.
  const int32_t kind = pvi(kFilterCon) == 2 ? 1 : 0;
  const bool rateChanged = !core_.initialised;
  if (!core_.initialised || kind != core_.k || pvi(kFilterOrd) != core_.o) {
    core_.choose(kind, pvi(kFilterOrd), fs, cutoff_, reso_);
    env_.level = timeCoef(0.07f, core_.n, fs);
    env_.gain = 1.0f;
    env_.openThr = 0.25f;
    env_.closeThr = 0.225f;
    core_.initialised = true;
  }
  if (which == kCutoff || which == kReso) core_.filter->setfreq(cutoff_ / core_.n, reso_);
  if (which == kDry || which == -1) {
    core_.gd = pv(kDry);
    core_.gw = 1.0f - core_.gd;
  }
  // After a rate change the envelope times follow the new rate factor too.
  if (which == kAttack || which == -1 || rateChanged) {
    const float attack = pv(kAttack);
    env_.attack = timeCoef(attack + 0.005f, core_.n, fs);
    env_.release = timeCoef(std::min(attack, 0.01f) + 0.005f, core_.n, fs);
  }
}

float qvusewahplus::process(float x) {
  if (drive_ > 0.0f) {
    const float e = env_.follow(drive_ * x);
    float f = e * width_ + cutoff_;
    if (f > 20000.0f) f = 20000.0f;
    if (f < 9.0f) f = 9.0f;
    corner_ = f;
    core_.filter->setfreq(f / core_.n, reso_);
  }
  return core_.mix(core_.filter->process(x), x);
}
