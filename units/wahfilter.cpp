#include "units/wahfilter.hpp"

#include <algorithm>
#include <memory>

namespace {
// Poles of the filter class an order selects: 2 the biquad, 3 and 4 the four-pole,
// anything else the one-pole.
int32_t polesFor(int32_t order) { return order == 2 ? 2 : order == 3 || order == 4 ? 4 : 1; }

// The block loop of either unit on a local copy of the filter (a final class, so the
// calls are direct), written back at the end.
template <class F, class Step>
void runFilter(qvfiltgen* filter, float* samples, int nframes, Step step) noexcept {
  F f = *static_cast<F*>(filter);
  for (int i = 0; i < nframes; ++i) samples[i] = step(f, samples[i]);
  *static_cast<F*>(filter) = f;
}

template <class Step>
void runAny(int32_t poles, qvfiltgen* filter, float* samples, int nframes, Step step) noexcept {
  switch (poles) {
    case 2: runFilter<polefilt_2lpc>(filter, samples, nframes, step); break;
    case 4: runFilter<polefilt_4lpc>(filter, samples, nframes, step); break;
    default: runFilter<polefilt_1lp>(filter, samples, nframes, step); break;
  }
}

// Two Filter units in a row in one loop: each sample through the first, then the
// second, both filters on local copies.
template <class F, class G>
void runPair(const qvwahcore& first, const qvwahcore& second, float* samples, int nframes) noexcept {
  F a = *static_cast<F*>(first.filter);
  G b = *static_cast<G*>(second.filter);
  for (int i = 0; i < nframes; ++i) {
    const float x = samples[i];
    const float y = first.mix(a.process(x), x);
    samples[i] = second.mix(b.process(y), y);
  }
  *static_cast<F*>(first.filter) = a;
  *static_cast<G*>(second.filter) = b;
}

template <class F>
void runPairAfter(const qvwahcore& first, const qvwahcore& second, float* samples,
                  int nframes) noexcept {
  switch (second.poles) {
    case 2: runPair<F, polefilt_2lpc>(first, second, samples, nframes); break;
    case 4: runPair<F, polefilt_4lpc>(first, second, samples, nframes); break;
    default: runPair<F, polefilt_1lp>(first, second, samples, nframes); break;
  }
}
}  // namespace

bool qvwahcore::choose(int32_t kind, int32_t order, float fs, float cutoff_hz, float reso, float n,
                       bool& initialised) {
  if (kind != k || order != o) initialised = false;
  if (initialised) return false;
  const int32_t need = polesFor(order);
  if (!filter || need != poles) {
    // The old filter goes, and its state with it; a failed allocation leaves it.
    std::unique_ptr<qvfiltgen> f;
    if (need == 2) {
      f = std::make_unique<polefilt_2lpc>();
    } else if (need == 4) {
      f = std::make_unique<polefilt_4lpc>(kind);
    } else {
      f = std::make_unique<polefilt_1lp>();
    }
    if (filters.count() == 1) {
      filters.replace(0, std::move(f));
    } else {
      filters.append(std::move(f));
    }
    filter = filters[0];
    poles = need;
  } else if (need == 2) {
    *static_cast<polefilt_2lpc*>(filter) = polefilt_2lpc();  // as new: zero state
  } else if (need == 4) {
    *static_cast<polefilt_4lpc*>(filter) = polefilt_4lpc(kind);
  } else {
    *static_cast<polefilt_1lp*>(filter) = polefilt_1lp();
  }
  k = kind;
  o = order;
  filter->setkind(k);
  filter->setrate(fs);
  filter->setfreq(cutoff_hz / n, reso);
  return true;
}

qvusewah::qvusewah(const qvprocstate& state, bool withTable) : qvutil(state, kCutoff) {
  if (withTable) buildParams(paramTable(kBlockFilter));
}

void qvusewah::update(int which) {
  const float n = rateFactor();
  core_.choose(pvi(kFilterCon), pvi(kFilterOrd), sampleRate(), pv(kCutoff), pv(kReso), n,
               initialised_);
  initialised_ = true;
  if (which == kCutoff || which == kReso) core_.filter->setfreq(pv(kCutoff) / n, pv(kReso));
  if (which == kDry || which == -1) {
    core_.gd = pv(kDry);
    core_.gw = 1.0f - core_.gd;
  }
}

void qvusewah::processBlock(float* samples, int nframes) noexcept {
  const qvwahcore& core = core_;
  runAny(core_.poles, core_.filter, samples, nframes,
         [&core](auto& f, float x) { return core.mix(f.process(x), x); });
}

bool qvusewah::processPairBlock(qvutil& next, float* samples, int nframes) noexcept {
  if (next.blocktype() != kBlockFilter) return false;
  const qvwahcore& second = static_cast<qvusewah&>(next).core_;
  if (!core_.filter || !second.filter) return false;
  switch (core_.poles) {
    case 2: runPairAfter<polefilt_2lpc>(core_, second, samples, nframes); break;
    case 4: runPairAfter<polefilt_4lpc>(core_, second, samples, nframes); break;
    default: runPairAfter<polefilt_1lp>(core_, second, samples, nframes); break;
  }
  return true;
}

qvusewahplus::qvusewahplus(const qvprocstate& state, bool withTable) : qvutil(state, kCutoff) {
  if (withTable) buildParams(paramTable(kBlockAutoWah));
}

void qvusewahplus::update(int which) {
  const float fs = sampleRate();
  const float n = rateFactor();
  cutoff_ = pv(kCutoff);
  reso_ = pv(kReso);
  drive_ = pv(kDrive);
  width_ = pv(kWidth);
  // Filter Con counts from 1 here: 2 is the high-pass, 1 and 3 the low-pass. The
  // kind in use is compared after this mapping, so that a parameter change that
  // keeps kind and order keeps the running filter and its state.
  const int32_t kind = pvi(kFilterCon) == 2 ? 1 : 0;
  const bool rateChanged = !initialised_;
  if (!initialised_ || kind != core_.k || pvi(kFilterOrd) != core_.o) {
    core_.choose(kind, pvi(kFilterOrd), fs, cutoff_, reso_, n, initialised_);
    env_.level = timeCoef(0.07f, n, fs);
    env_.gain = 1.0f;
    env_.openThr = 0.25f;
    env_.closeThr = 0.225f;
    initialised_ = true;
  }
  if (which == kCutoff || which == kReso) core_.filter->setfreq(cutoff_ / n, reso_);
  if (which == kDry || which == -1) {
    core_.gd = pv(kDry);
    core_.gw = 1.0f - core_.gd;
  }
  // After a rate change the envelope times follow the new rate factor too.
  if (which == kAttack || which == -1 || rateChanged) {
    const float attack = pv(kAttack);
    env_.attack = timeCoef(attack + 0.005f, n, fs);
    env_.release = timeCoef(std::min(attack, 0.01f) + 0.005f, n, fs);
  }
}

namespace {
// Counts a sample down to the next sweep; true (and the count restarted) when due.
bool sweepDue(int& untilSweep) {
  if (--untilSweep > 0) return false;
  untilSweep = qvusewahplus::kSweepPeriod;
  return true;
}
// The corner the envelope e asks for, held within 9 Hz .. 20 kHz.
float sweptCorner(float e, float width, float cutoff) {
  const float f = e * width + cutoff;
  return f > 20000.0f ? 20000.0f : f < 9.0f ? 9.0f : f;
}
}  // namespace

float qvusewahplus::process(float x) noexcept {
  if (drive_ > 0.0f) {
    const float e = env_.follow(drive_ * x);
    if (sweepDue(untilSweep_)) {
      corner_ = sweptCorner(e, width_, cutoff_);
      core_.filter->setfreq(corner_ / rateFactor(), reso_);
    }
  }
  return core_.mix(core_.filter->process(x), x);
}

void qvusewahplus::processBlock(float* samples, int nframes) noexcept {
  const qvwahcore& core = core_;
  if (!(drive_ > 0.0f)) {
    runAny(core_.poles, core_.filter, samples, nframes,
           [&core](auto& f, float x) { return core.mix(f.process(x), x); });
    return;
  }
  qvenvfollow env = env_;
  const float drive = drive_, width = width_, cutoff = cutoff_, reso = reso_, n = rateFactor();
  float corner = corner_;
  int untilSweep = untilSweep_;
  runAny(core_.poles, core_.filter, samples, nframes, [&](auto& f, float x) {
    const float e = env.follow(drive * x);
    if (sweepDue(untilSweep)) {
      corner = sweptCorner(e, width, cutoff);
      f.setfreq(corner / n, reso);
    }
    return core.mix(f.process(x), x);
  });
  env_ = env;
  corner_ = corner;
  untilSweep_ = untilSweep;
}
