// Unit base: a processing stage that owns its parameter records and objects (in
// pind order), turns parameter changes into coefficients in update() and
// processes samples. update() runs between blocks; process() (one sample) and
// processBlock() (a run of samples in place) run on the audio thread and must not
// allocate, lock or throw. Both compute the same numbers: a block is exactly the
// samples one after the other.
#pragma once
#include <cstdint>
#include <span>

#include "data/qvdocwriter.hpp"
#include "data/qvlist.hpp"
#include "units/paramtables.hpp"
#include "units/qvparam.hpp"
#include "units/qvprocstate.hpp"

class qvutil {
public:
  // rateUpdate: the update index a change of the rate factor runs (-1 for all
  // parameters), or kRateIndependent for a unit without rate-dependent state.
  explicit qvutil(const qvprocstate& state, int rateUpdate = kRateIndependent)
      : state_(&state), rateUpdate_(rateUpdate) {}
  virtual ~qvutil() = default;
  qvutil(const qvutil&) = delete;
  qvutil& operator=(const qvutil&) = delete;

  static constexpr int kRateIndependent = -2;

  // [between blocks] Recompute coefficients after parameter `which` changed (-1: all).
  virtual void update(int which) { (void)which; }
  // [audio] One sample in, one sample out.
  virtual float process(float x) noexcept = 0;
  // [audio] nframes samples in place, as nframes calls of process() would give
  // them. One virtual call per block; units override it with a plain loop.
  virtual void processBlock(float* samples, int nframes) noexcept;
  // [audio] This unit's processBlock() and then next's over the same samples, in
  // one pass, when the unit knows next's kind (two recursions that each wait on
  // their own last result then run side by side); false, samples untouched, when
  // it does not. The same numbers as the two calls.
  virtual bool processPairBlock(qvutil& next, float* samples, int nframes) noexcept {
    (void)next, (void)samples, (void)nframes;
    return false;
  }
  virtual int blocktype() const = 0;
  // [between blocks] "sblock", "blockgroup" and "pars": full records, or "fpos" of the
  // visible records only (an empty entry for the others).
  virtual void serialise(qvdocwriter& w, bool full) const;
  // [between blocks] Rate factor of the oversampled range the unit runs in: stores
  // it, clears the initialised flag so that update() redoes the rate-dependent
  // constants, and runs update() with the unit's index. A rate-independent unit
  // does nothing.
  virtual void setRateMultiplier(float factor);
  // [audio] Clears the running state (filter memories, envelopes, delay lines) as a
  // fresh unit has it; coefficients and parameters stay. No allocation, no lock.
  virtual void reset() noexcept {}

  // [any] Host sample rate, Hz.
  float sampleRate() const { return state_->sampleRate; }
  const qvprocstate& procState() const { return *state_; }

  // [between blocks] Appends the records and objects of a default table.
  void buildParams(std::span<const qvparamspec> table);

  int32_t blockgroup = 0;          // slot the unit belongs to: 0 amplifier, k the k-th pedal
  bool bypassed = false;           // the chain skips the unit while set
  qvlist<qvparamrecord> records;   // parameter descriptors, in creation order
  qvlist<qvparam> params;          // parameter objects, indexed by pind

protected:
  // Engine value of parameter i (checked index).
  float pv(int i) const { return params[i]->getValue(); }
  // Integer engine value of a stepped or switch parameter i.
  int32_t pvi(int i) const { return params[i]->xi; }
  // Rate factor n of the range the unit runs in; its effective rate is fs · n.
  float rateFactor() const { return n_; }

  bool initialised_ = false;  // rate-dependent constants computed for the current rate factor

private:
  const qvprocstate* state_;  // the engine's processing state, never null
  int rateUpdate_;            // update index after a rate change, or kRateIndependent
  float n_ = 1.0f;            // rate factor of the oversampled range
};
