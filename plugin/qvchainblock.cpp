// The chain's block path: each stage (input, gate, every unit, every oversampled
// range, the cab stage, the output gains) runs over a whole chunk of up to kChunk
// host frames before the next stage starts. Every stage is a state machine of its
// own that sees the same samples in the same order as on the per-sample path, and
// the arithmetic of each sample is unchanged, so the output is the same bit for
// bit; what changes is one virtual call per unit and chunk instead of per sample,
// and filter states held in registers for a whole run.
#include "plugin/qvchain.hpp"

#include <algorithm>

void qvchain::process(float** inputs, float** outputs, int n) noexcept {
  if (!enterBlock(inputs, outputs, n)) return;
  const bool oversample = oversampling();
  const int source = state_.settingInt(kSetInputSource);
  for (int done = 0; done < n; done += kChunk) {
    const int c = std::min(kChunk, n - done);
    // The inputs of the chunk are read before its outputs are written, so the
    // host's buffers may alias.
    float* in[2] = {inputs[0] + done, inputs[1] + done};
    for (int i = 0; i < c; ++i) base_[i] = inputSample(in, i, source);
    for (int i = 0; i < c; ++i) inputMeter.add(base_[i]);
    gate->processBlock(base_, c);
    runUnits(c, oversample);
    mixOutputs(c, outputs[0] + done, outputs[1] + done);
  }
  finishBlock(outputs, n);
}

void qvchain::runUnits(int n, bool oversample) noexcept {
  const int nsections = std::min(static_cast<int>(sections.size()), kMaxSections);
  const int32_t* const sec = sections.data();
  const int nunits = static_cast<int>(unitArray_.size());
  float* run = base_;  // the chunk at the rate of the unit about to play
  int m = 1;
  int k = 0;
  for (int u = 0; u < nunits; ++u) {
    if (oversample) {
      if (m > 1 && k < nsections && sec[k] == u) {
        aaFilters_[k].decimate(sub_, n * m, m, base_);
        run = base_;
        ++k;
        m = 1;
      }
      if (m == 1 && k < nsections && sec[k] == u) {
        m = factor;
        aaFilters_[k].upsample(base_, n, m, sub_);
        run = sub_;
        ++k;
      }
    }
    qvutil* const unit = unitArray_[static_cast<size_t>(u)];
    if (unit->bypassed) continue;
    // Two units with no range opening or closing between them may share a pass.
    if (u + 1 < nunits && !(oversample && k < nsections && sec[k] == u + 1)) {
      qvutil* const next = unitArray_[static_cast<size_t>(u) + 1];
      if (!next->bypassed && unit->processPairBlock(*next, run, n * m)) {
        ++u;
        continue;
      }
    }
    unit->processBlock(run, n * m);
  }
  if (m > 1) {
    // A range running to the end of the unit list closes after the last unit; a
    // section list cut short leaves the first sub-sample unfiltered.
    if (k < nsections) {
      aaFilters_[k].decimate(sub_, n * m, m, base_);
    } else {
      for (int i = 0; i < n; ++i) base_[i] = sub_[static_cast<size_t>(i) * m];
    }
  }
}

void qvchain::mixOutputs(int n, float* left, float* right) noexcept {
  // The output meter's running sum goes along in the same loop: its additions wait
  // on each other, the mix of a sample does not.
  const float gl = state_.gainLeft, gr = state_.gainRight;
  if (cabActiveCount == 0) {
    for (int i = 0; i < n; ++i) {
      const float l = base_[i] * gl;
      left[i] = l;
      right[i] = base_[i] * gr;
      outputMeter.add(l);
    }
  } else {
    cabEngine->process(base_, n);
    for (cabmix& c : cabArray_)
      if (c.active) c.out = cabEngine->outputs(c.slot);
    for (int i = 0; i < n; ++i) {
      // Each block's dry part is the running x, the previous active block's result.
      float x = base_[i];
      float l = 0.0f, r = 0.0f;
      for (const cabmix& c : cabArray_) {
        if (!c.active) continue;
        float y = ((1.0f - c.dry) * c.out[i] + c.dry * x) * c.volume;
        if (c.invert) y = -y;
        x = y;
        l += c.pan * y;
        r += (2.0f - c.pan) * y;
      }
      l *= gl;
      left[i] = l;
      right[i] = r * gr;
      outputMeter.add(l);
    }
  }
}
