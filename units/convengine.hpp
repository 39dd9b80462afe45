// Zero-latency partitioned convolution: every slot convolves the one shared input
// with its own impulse response. The first 64 taps run directly on the input
// history; the rest is cut into partitions of 192, 192, 384, 384, ... 6144, 6144,
// 6144, ... taps, each convolved by overlap-save on an FFT four times its stage's
// block, early enough that its output lands in the future. Six stages (blocks 64 to
// 2048) share one input history and one input spectrum per stage among all slots.
// Responses of any length are convolved in full; the partitions of the largest
// stage beyond the second share inverse transforms through deferred products
// (convengine.cpp explains the timing). Work runs on the audio thread, spread over
// each stage's block; nothing is allocated or locked while processing.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "units/fftplans.hpp"

class qvconvengine {
public:
  static constexpr int kHeadLength = 64;      // taps convolved directly, B
  static constexpr int kStageCount = 6;       // blocks 64 .. 2048 (growth 2)
  static constexpr int kMaxFftSize = 8192;    // FFT of the largest stage
  static constexpr int kHistoryLength = kMaxFftSize;  // longest frame a stage reads

  // [stopped] Configures the stages and makes (or finds) the FFT plans.
  qvconvengine();
  ~qvconvengine();
  qvconvengine(const qvconvengine&) = delete;
  qvconvengine& operator=(const qvconvengine&) = delete;

  // [between blocks] A new slot from a copy of ir (samples at the host rate):
  // active, reference count 1. It starts fresh at the next sample: its output is the
  // convolution of ir with the input from then on (earlier input counts as zero),
  // and the other slots are not disturbed. Returns the slot index (≥ 0), -1 when the
  // engine has no FFT plans, -2 when memory runs out. An empty ir gives a silent slot.
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

  // [audio] Takes one input sample and advances one sample.
  void process(float x) noexcept;
  // [audio] The slot's output for the sample just processed (0 if inactive or unknown).
  float output(int slot) const noexcept {
    if (slot < 0 || static_cast<size_t>(slot) >= slots_.size() || !slots_[slot]) return 0.0f;
    return slots_[slot]->out;
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
    const qvfftplan* plan = nullptr;
    int64_t position = 0;    // sample count at the last block boundary
    bool inUse = false;      // some active slot has partitions here
    qvfftwbuffer<float> frame;             // the newest fftSize input samples
    qvfftwbuffer<fftwf_complex> spectrum;  // transform of frame, shared by all slots
  };
  struct Partition {
    qvfftwbuffer<fftwf_complex> spectrum;  // taps s .. s+3Bm−1 then Bm zeros, scaled 1/fftSize
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
    int64_t length = 0;             // taps of the impulse response
    int headLength = 0;             // direct taps, ≤ 64
    std::array<float, kHeadLength> headReversed{};  // head taps, last tap first
    int64_t start = 0;              // sample count from which the slot hears its input
    std::array<SlotStage, kStageCount> stages;
    qvfftwbuffer<float> ring;       // future output, indexed by sample time & ringMask
    int64_t ringMask = 0;           // ring length − 1 (a power of two)
    float out = 0.0f;               // output for the sample just processed
  };

  static constexpr int kNever = 1 << 30;  // nextDue when no partition is pending
  static constexpr int kBlocksPerPartition = 3;  // partition length / block
  static constexpr int kWorkGrid = kHeadLength / 2;  // smallest work slot spacing, samples

  void rebuildLive();
  void restartSlot(Slot& s);
  void beginBlock(Stage& st, int m) noexcept;
  void runDue(Stage& st, int m, int since) noexcept;
  void runPartition(const Stage& st, SlotStage& ss, int j, Slot& s) noexcept;
  Slot* find(int slot) const;

  bool ready_ = false;
  std::array<Stage, kStageCount> stages_;
  qvfftwbuffer<float> history_;              // 2 × kHistoryLength: each sample written twice
  int64_t now_ = 0;                          // samples processed since the last reset
  qvfftwbuffer<fftwf_complex> product_;      // spectrum product, consumed by the inverse FFT
  qvfftwbuffer<float> timeBuffer_;           // inverse FFT output; also a masked frame
  std::vector<std::unique_ptr<Slot>> slots_; // by slot index; null where freed
  std::vector<Slot*> live_;                  // the active slots, rebuilt between blocks
};
