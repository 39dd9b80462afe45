// Zero-latency partitioned convolution: every slot convolves the one shared input
// with its own impulse response. The first 64 taps run directly on the input
// history; the rest is cut into partitions of 192, 192, 384, 384, ... 6144, 6144,
// 6144, ... taps, each convolved by overlap-save on an FFT four times its stage's
// block, early enough that its output lands in the future. Six stages (blocks 64 to
// 2048) share one input history and one input spectrum per stage among all slots.
// Responses of any length are convolved in full. Only a stage's first partition
// takes an inverse transform: the later partitions' products are added in the
// frequency domain to the block whose first partition lands where they do
// (convengine.cpp explains the timing). Work runs on the audio thread, spread over
// each stage's block; nothing is allocated or locked while processing.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "units/fftplans.hpp"

// Result codes of createSlot (a slot index is never negative).
enum : int {
  kConvNoPlans = -1,   // the engine has no FFT plans: no slot can be made
  kConvNoMemory = -2,  // memory ran out while the slot was set up; nothing changed
};

class qvconvengine {
public:
  static constexpr int kHeadLength = 64;      // taps convolved directly, B
  static constexpr int kStageCount = 6;       // blocks 64 .. 2048 (growth 2)
  static constexpr int kMaxFftSize = 8192;    // FFT of the largest stage
  static constexpr int kHistoryLength = kMaxFftSize;  // longest frame a stage reads
  static constexpr int kMaxBlock = 256;       // samples per process() call at most

  // [stopped] Configures the stages and makes (or finds) the FFT plans.
  qvconvengine();
  ~qvconvengine();
  qvconvengine(const qvconvengine&) = delete;
  qvconvengine& operator=(const qvconvengine&) = delete;

  // [between blocks] A new slot from a copy of ir (samples at the host rate):
  // active, reference count 1. It starts fresh at the next sample: its output is the
  // convolution of ir with the input from then on (earlier input counts as zero),
  // and the other slots are not disturbed. Returns the slot index (≥ 0) or
  // kConvNoPlans / kConvNoMemory. An empty ir gives a silent slot. Slot creation
  // allocates and transforms the partitions (a few ms for a long response): it
  // runs between blocks, never inside process().
  int createSlot(std::span<const float> ir);
  // [between blocks] One more reference to a slot (each cab-sim block holds one).
  void retainSlot(int slot);
  // [between blocks] Drops a reference; at zero the slot's memory is freed and its
  // index may be handed out again by createSlot.
  void releaseSlot(int slot);
  // [between blocks] An inactive slot does no work and outputs 0. Switching a slot
  // back on clears its output ring and restarts it fresh, like a new slot.
  void setActive(int slot, bool on);
  // [any]
  bool isActive(int slot) const;
  // [any] Whether slot names a live slot, and its reference count (0 when not).
  bool slotExists(int slot) const;
  int refCount(int slot) const;
  // [any] Taps of the slot's impulse response (0 when there is no such slot).
  int64_t impulseLength(int slot) const;
  // [any] Partitions the slot's response needs in stage m (0 when none or no slot).
  int partitionCount(int slot, int m) const;
  // [any] Slots are numbered in the order they were made: the number the next one
  // gets, and a slot's own (0 when there is no such slot). Slot indices lie below
  // slotLimit().
  uint64_t nextSerial() const { return nextSerial_; }
  uint64_t serialOf(int slot) const;
  int slotLimit() const { return static_cast<int>(slots_.size()); }
  // [between blocks] Frees a slot whatever its reference count (undoing a change
  // that made it). No allocation.
  void dropSlot(int slot) noexcept;

  // [audio] Takes n input samples (0 ≤ n ≤ kMaxBlock) and advances n samples.
  // Each active slot's outputs for them are then in outputs(slot). The result does
  // not depend on how the input is cut into calls.
  void process(const float* x, int n) noexcept;
  // [audio] One sample.
  void process(float x) noexcept { process(&x, 1); }
  // [audio] The slot's outputs for the samples of the last process() call (zeros
  // for an inactive or unknown slot). Valid until the next call; owned by the engine.
  const float* outputs(int slot) const noexcept {
    const Slot* s = find(slot);
    return s && s->active ? s->out.data() : zeros_.data();
  }
  // [audio] The slot's output for the last sample processed.
  float output(int slot) const noexcept {
    return lastCount_ > 0 ? outputs(slot)[lastCount_ - 1] : 0.0f;
  }
  // [between blocks] Clears the input history and every output ring and restarts the
  // stages' block positions at 0, as if the input had been silent until now.
  void reset();

  // [any] False when the FFT plans could not be made; no slot can then be created.
  bool ready() const { return ready_; }

private:
  struct Stage {
    int block = 0;           // hop between transforms, Bm samples
    int partLength = 0;      // taps per partition, 3·Bm
    int fftSize = 0;         // 4·Bm
    int bins = 0;            // fftSize/2 + 1 complex bins
    int pairs = 0;           // pairs of bins the multiply runs over: (bins + 1) / 2
    const qvfftplan* plan = nullptr;
    int64_t position = 0;    // sample count at the last block boundary
    bool inUse = false;      // some active slot has partitions here
    // Transform of the newest fftSize input samples, shared by all slots; like
    // every spectrum the multiply reads or writes it holds 2·pairs bins.
    qvfftwbuffer<fftwf_complex> spectrum;
  };
  struct Partition {
    // Transform of taps s .. s+3Bm−1 then Bm zeros, scaled 1/fftSize, in the form
    // the spectral multiply reads (8 floats per pair of bins, see convengine.cpp).
    qvfftwbuffer<float> spectrum;
    int64_t offset = 0;                    // s − Bm: ring distance of the first valid output
  };
  struct SlotStage {
    std::vector<Partition> parts;   // this stage's partitions of the slot, in tap order
    int next = 0;                   // next partition due in the current block
    int nextDue = 0;                // samples after the boundary at which `next` is due
    const fftwf_complex* source = nullptr;  // input spectrum of the current block
    qvfftwbuffer<fftwf_complex> startSpectrum;  // frame with input before the start zeroed
    // Largest stage only, partitions j ≥ 2: products waiting for the inverse transform
    // of partition 1 in a later block, indexed by block number mod their count.
    std::vector<qvfftwbuffer<fftwf_complex>> deferred;
  };
  struct Slot {
    bool active = true;
    int refs = 1;
    uint64_t serial = 0;            // creation order
    int64_t length = 0;             // taps of the impulse response
    int headLength = 0;             // direct taps, ≤ 64
    std::array<float, kHeadLength> headReversed{};  // head taps, last tap first
    int64_t start = 0;              // sample count from which the slot hears its input
    std::array<SlotStage, kStageCount> stages;
    qvfftwbuffer<float> ring;       // future output, indexed by sample time & ringMask
    int64_t ringMask = 0;           // ring length − 1 (a power of two)
    std::array<float, kMaxBlock> out{};  // outputs of the samples of the last process()
  };

  static constexpr int kNever = 1 << 30;  // nextDue when no partition is pending
  static constexpr int kBlocksPerPartition = 3;  // partition length / block
  static constexpr int kWorkGrid = kHeadLength / 2;  // smallest work slot spacing, samples

  void rebuildLive() noexcept;
  void restartSlot(Slot& s);
  // Direct head and ring read of n samples from out[from] on, for every live slot.
  void runHeads(int from, int n) noexcept;
  // Stage work at the work-grid point just reached.
  void runStages() noexcept;
  void beginBlock(Stage& st, int m) noexcept;
  void runDue(Stage& st, int m, int since) noexcept;
  void runPartition(const Stage& st, SlotStage& ss, int j, Slot& s) noexcept;
  Slot* find(int slot) const noexcept;

  bool ready_ = false;
  std::array<Stage, kStageCount> stages_;
  qvfftwbuffer<float> history_;              // 2 × kHistoryLength: each sample written twice
  int64_t now_ = 0;                          // samples processed since the last reset
  int lastCount_ = 0;                        // samples of the last process() call
  uint64_t nextSerial_ = 1;                  // serial of the next slot made
  qvfftwbuffer<fftwf_complex> product_;      // spectrum product, consumed by the inverse FFT
  qvfftwbuffer<float> timeBuffer_;           // inverse FFT output; also a masked frame
  std::vector<std::unique_ptr<Slot>> slots_; // by slot index; null where freed
  std::vector<Slot*> live_;                  // the active slots; capacity for every slot
  std::array<float, kMaxBlock> zeros_{};     // the outputs of a slot that plays nothing
};
