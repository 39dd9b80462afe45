#include "plugin/qvchain.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "plugin/brackets.hpp"
#include "plugin/qvchainchange.hpp"

namespace {
// Room the audio path's arrays start with: far more than any factory rig needs.
constexpr size_t kInitialUnits = 64;
constexpr size_t kInitialCabs = 16;
constexpr size_t kInitialPedals = 16;
}  // namespace

qvchain::qvchain(qvprocstate& state)
    : cabEngine(std::make_unique<qvconvengine>()),
      gate(std::make_unique<qvusgate>(state, true)),
      state_(state),
      change_(std::make_unique<changestate>()) {
  gate->update(-1);
  sections.reserve(kMaxSections * 2);
  change_->sections.reserve(kMaxSections * 2);
  unitArray_.reserve(kInitialUnits);
  cabArray_.reserve(kInitialCabs);
  pedalArray_.reserve(kInitialPedals);
  updateGains();
}

qvchain::~qvchain() {
  change_->open = false;  // nothing to undo: free the rig
  clearRig();
}

void qvchain::clearRig() {
  ++rigGeneration;
  if (changing()) {
    parkRig();
  } else {
    units.clear();
    while (cabBlocks.count() > 0) removeCabBlock(cabBlocks.count() - 1);
    pedalSlots.clear();
  }
  cabActiveCount = 0;
  keepSections();
  sections.clear();
  rigChanged();
}

void qvchain::removeCabBlock(uint32_t i) {
  if (changing()) {
    parkCabBlock(i);
  } else {
    std::unique_ptr<qvusconv> block = cabBlocks.remove(i);
    if (block->slot >= 0) cabEngine->releaseSlot(block->slot);
  }
  rigChanged();
}

void qvchain::updateGains() {
  const float s0 = state_.setting(kSetOutputLevel);
  const float s1 = state_.setting(kSetInputLevel);
  const float s15 = state_.setting(kSetVolumeScale);
  const float s16 = state_.setting(kSetInputScale);
  const float s17 = state_.setting(kSetBalance);
  state_.inputGain = s1 * s16;
  state_.gainLeft = (1.0f - s17) * s15 * s0;
  state_.gainRight = s17 * s15 * s0;
}

void qvchain::updateCabActivity() {
  const int32_t before = cabActiveCount;
  cabActiveCount = 0;
  rigChanged();
  if (state_.settingInt(kSetDisableCabSims) == 1) return;  // slots keep their flags
  for (uint32_t i = 0; i < cabBlocks.count(); ++i) {
    qvusconv& b = *cabBlocks[i];
    if (b.slot < 0) continue;
    const bool enabled = b.params[qvusconv::kEnabled]->xi != 0;
    cabEngine->setActive(b.slot, enabled);
    if (enabled) ++cabActiveCount;
  }
  // While the stage was off the engine heard nothing; tails left in its rings
  // belong to old input and must not play when it comes back.
  if (before == 0 && cabActiveCount > 0) cabStageSwitchedOn();
}

void qvchain::rebuildSections() {
  ++rigGeneration;
  // The amplifier's run: the first contiguous group-0 units.
  int32_t nAmp = 0;
  for (uint32_t u = 0; u < units.count(); ++u) {
    if (units[u]->blockgroup == 0) {
      for (uint32_t v = u; v < units.count() && units[v]->blockgroup == 0; ++v) ++nAmp;
      break;
    }
  }
  keepAmpSlot();
  sanitiseBrackets(ampSlot.brackets, nAmp);

  keepSections();
  sections.clear();
  int32_t previousGroup = -1;
  std::vector<bool> seen(pedalSlots.count() + 1, false);
  for (uint32_t u = 0; u < units.count(); ++u) {
    const int32_t group = units[u]->blockgroup;
    if (u > 0 && group == previousGroup) continue;
    previousGroup = group;
    // Only a group's first run counts, and a pedal only while it asks for it.
    if (group < 0 || static_cast<size_t>(group) >= seen.size() || seen[group]) continue;
    seen[group] = true;
    std::vector<int32_t> brackets;
    if (group == 0) {
      brackets = ampSlot.brackets;
    } else {
      const qvslot& slot = *pedalSlots[group - 1];
      if (!slot.enableantialias) continue;
      brackets = slot.brackets;
      int32_t run = 0;
      for (uint32_t v = u; v < units.count() && units[v]->blockgroup == group; ++v) ++run;
      sanitiseBrackets(brackets, run);  // keeps the section list ascending
    }
    for (int32_t b : brackets) sections.push_back(b + static_cast<int32_t>(u));
  }
  rigChanged();
}

void qvchain::setOversampling(int f) {
  keepSections();
  keepFilters();
  factor = std::clamp(effectiveFactor(f, aliasOptions), 1, kMaxFactor);
  if (sections.size() > static_cast<size_t>(kMaxSections)) sections.resize(kMaxSections);
  const double rate = state_.sampleRate;
  if (factor > 1) {
    const double cutoff =
        aliasOptions.stopband
            ? stopbandCutoff(rate, factor, ellipticSelectivity(kAntiAliasRolloff))
            : rate / (2.0 * factor);
    const int order = std::max(aliasOptions.filterOrder, kAntiAliasOrder);
    for (size_t k = 0; k < sections.size(); ++k) {
      aaFilters_[k].design(order, kAntiAliasRippleDb, kAntiAliasRolloff, rate, cutoff);
      aaFilters_[k].prepare(factor);
    }
  }
  noteRatesChanged();
  applyRates();
  gate->setRateMultiplier(1.0f);  // follows a new host rate
  rigChanged();
}

void qvchain::applyRates() {
  for (uint32_t u = 0; u < units.count(); ++u) {
    float m = 1.0f;
    for (size_t j = 0; j + 1 < sections.size(); j += 2)
      if (sections[j] <= static_cast<int32_t>(u) && static_cast<int32_t>(u) < sections[j + 1])
        m = static_cast<float>(factor);
    units[u]->setRateMultiplier(m);
  }
  applyStageOptions(units, aliasOptions.stages);
}

void qvchain::rigChanged() {
  // Inside a change the arrays still describe the rig as it was, which an undo
  // needs; they only make room now and follow at commit.
  if (changing()) {
    change_->arraysStale = true;
    unitArray_.reserve(units.count());
    cabArray_.reserve(cabBlocks.count());
    pedalArray_.reserve(pedalSlots.count());
    return;
  }
  rebuildArrays(true);
}

bool qvchain::rebuildArrays(bool reserve) {
  if (reserve) {
    unitArray_.reserve(units.count());
    cabArray_.reserve(cabBlocks.count());
    pedalArray_.reserve(pedalSlots.count());
  }
  const bool fits = unitArray_.capacity() >= units.count() &&
                    cabArray_.capacity() >= cabBlocks.count() &&
                    pedalArray_.capacity() >= pedalSlots.count();
  unitArray_.clear();
  for (uint32_t u = 0; u < units.count() && unitArray_.size() < unitArray_.capacity(); ++u)
    unitArray_.push_back(units[u]);
  cabArray_.clear();
  for (uint32_t i = 0; i < cabBlocks.count() && cabArray_.size() < cabArray_.capacity(); ++i) {
    cabmix c;
    c.block = cabBlocks[i];
    cabArray_.push_back(c);
  }
  pedalArray_.clear();
  for (uint32_t i = 0; i < pedalSlots.count() && pedalArray_.size() < pedalArray_.capacity(); ++i)
    pedalArray_.push_back(pedalSlots[i]);
  return fits;
}

bool qvchain::syncRig() noexcept {
  bool same = unitArray_.size() == units.count() && cabArray_.size() == cabBlocks.count();
  for (uint32_t u = 0; same && u < units.count(); ++u) same = unitArray_[u] == units[u];
  for (uint32_t i = 0; same && i < cabBlocks.count(); ++i) same = cabArray_[i].block == cabBlocks[i];
  if (!same && !rebuildArrays(false)) return false;
  // The mix values are read once a block: parameters change only between blocks.
  for (cabmix& c : cabArray_) {
    const qvusconv& b = *c.block;
    c.slot = b.slot;
    c.active = b.slot >= 0 && cabEngine->isActive(b.slot);
    c.dry = b.params[qvusconv::kDry]->x;
    c.pan = b.params[qvusconv::kPan]->x;
    c.volume = b.params[qvusconv::kVolume]->x;
    c.invert = b.params[qvusconv::kInvert]->xi != 0;
  }
  return true;
}

bool qvchain::oversampling() const noexcept {
  return state_.settingInt(kSetOversampling) > 1 && !sections.empty();
}

bool qvchain::enterBlock(float** inputs, float** outputs, int n) noexcept {
  if (state_.audioIdle.load(std::memory_order_acquire) == 1) {
    if (state_.rigReady.load(std::memory_order_acquire) == 0) {
      for (int i = 0; i < n; ++i) outputs[0][i] = outputs[1][i] = 0.0f;
      return false;
    }
    state_.audioIdle.store(0, std::memory_order_release);
  }
  if (state_.bypass.load(std::memory_order_seq_cst)) {
    const bool mute = state_.mute.load(std::memory_order_relaxed);
    for (int i = 0; i < n; ++i) {
      const float l = inputs[0][i], r = inputs[1][i];
      outputs[0][i] = mute ? 0.0f : l;
      outputs[1][i] = mute ? 0.0f : r;
    }
    return false;
  }
  if (!syncRig()) {
    // Only code that grows the lists without a rig operation gets here.
    for (int i = 0; i < n; ++i) outputs[0][i] = outputs[1][i] = 0.0f;
    unpreparedBlocks.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  return true;
}

float qvchain::inputSample(float** inputs, int i, int source) noexcept {
  const float in0 = inputs[0][i], in1 = inputs[1][i];
  float x = source == 2 ? in0 + in1 : source == 1 ? in1 : in0;
  if (!(std::fabs(x) <= kInputCeiling)) {
    if (std::isfinite(x)) {
      // No instrument delivers this; a filter charged by 1e30 would need seconds
      // to drain while the clipping stages after it sit pinned and silent.
      x = std::copysign(kInputCeiling, x);
    } else {
      // A NaN or infinity would stick in every recursive state below and
      // silence the rig for good: it enters as silence instead.
      x = 0.0f;
      nonFiniteInputs.fetch_add(1, std::memory_order_relaxed);
    }
  }
  return x * state_.inputGain;
}

void qvchain::processPerSample(float** inputs, float** outputs, int n) noexcept {
  if (!enterBlock(inputs, outputs, n)) return;
  // Only setOversampling trims the list; one set directly may hold more entries
  // than there are filters.
  const int nsections = std::min(static_cast<int>(sections.size()), kMaxSections);
  const int32_t* const sec = sections.data();
  const bool oversample = oversampling();
  const int source = state_.settingInt(kSetInputSource);
  const int nunits = static_cast<int>(unitArray_.size());
  qvutil* const* const unit = unitArray_.data();
  const bool cabs = cabActiveCount != 0;

  for (int i = 0; i < n; ++i) {
    float x = inputSample(inputs, i, source);
    inputMeter.add(x);
    x = gate->process(x);

    float* s = samples_;
    s[0] = x;
    int m = 1;
    int k = 0;
    for (int u = 0; u < nunits; ++u) {
      if (oversample) {
        if (m > 1 && k < nsections && sec[k] == u) {
          aaFilters_[k].decimate(s, m, m, s);
          ++k;
          m = 1;
        }
        if (m == 1 && k < nsections && sec[k] == u) {
          m = factor;
          const float x0 = s[0];
          aaFilters_[k].upsample(&x0, 1, m, s);
          ++k;
        }
      }
      if (!unit[u]->bypassed)
        for (int j = 0; j < m; ++j) s[j] = unit[u]->process(s[j]);
    }
    // A range running to the end of the unit list closes after the last unit.
    if (oversample && m > 1 && k < nsections) aaFilters_[k].decimate(s, m, m, s);
    x = s[0];

    float left, right;
    if (cabs) {
      cabEngine->process(x);
      left = right = 0.0f;
      for (const cabmix& c : cabArray_) {
        if (!c.active) continue;
        const float w = cabEngine->outputs(c.slot)[0];
        float y = ((1.0f - c.dry) * w + c.dry * x) * c.volume;
        if (c.invert) y = -y;
        x = y;
        left += c.pan * y;
        right += (2.0f - c.pan) * y;
      }
    } else {
      left = right = x;
    }
    left *= state_.gainLeft;
    right *= state_.gainRight;
    outputs[0][i] = left;
    outputs[1][i] = right;
    outputMeter.add(left);
  }
  finishBlock(outputs, n);
}

void qvchain::finishBlock(float** outputs, int n) noexcept {
  if (!blockIsFinite(outputs, n)) silenceAndReset(outputs, n);
  inputMeter.publish();
  outputMeter.publish();
}

bool qvchain::blockIsFinite(float** outputs, int n) noexcept {
  // A finite sample times 0 is 0, a NaN or an infinity gives NaN: one sum per
  // channel tells, without a branch in the loop.
  float sum0 = 0.0f, sum1 = 0.0f;
  for (int i = 0; i < n; ++i) {
    sum0 += outputs[0][i] * 0.0f;
    sum1 += outputs[1][i] * 0.0f;
  }
  return sum0 == 0.0f && sum1 == 0.0f;
}

void qvchain::silenceAndReset(float** outputs, int n) noexcept {
  std::fill_n(outputs[0], n, 0.0f);
  std::fill_n(outputs[1], n, 0.0f);
  nonFiniteOutputs.fetch_add(1, std::memory_order_relaxed);
  resetRunningState();
}

void qvchain::resetRunningState() noexcept {
  for (qvutil* u : unitArray_) u->reset();
  gate->reset();
  for (qvellipticlowpass& f : aaFilters_) f.reset();
  cabEngine->reset();
  std::fill(std::begin(samples_), std::end(samples_), 0.0f);
  outputMeter.reset();
}
