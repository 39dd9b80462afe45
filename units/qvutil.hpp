// Unit base: a processing stage that owns its parameter records and objects (in
// pind order), turns parameter changes into coefficients in update() and
// processes one sample at a time. update() runs between blocks; process() runs
// per sample on the audio thread and must not allocate, lock or throw.
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
  explicit qvutil(const qvprocstate& state) : state_(&state) {}
  virtual ~qvutil() = default;
  qvutil(const qvutil&) = delete;
  qvutil& operator=(const qvutil&) = delete;

  // [between blocks] Recompute coefficients after parameter `which` changed (-1: all).
  virtual void update(int which) { (void)which; }
  // [audio] One sample in, one sample out.
  virtual float process(float x) = 0;
  virtual int blocktype() const = 0;
  // [between blocks] "sblock", "blockgroup" and "pars": full records, or "fpos" of the
  // visible records only (an empty entry for the others).
  virtual void serialise(qvdocwriter& w, bool full) const;
  // [between blocks] Rate factor of the oversampled range the unit runs in.
  virtual void setRateMultiplier(float factor) { (void)factor; }
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

private:
  const qvprocstate* state_;  // the engine's processing state, never null
};
