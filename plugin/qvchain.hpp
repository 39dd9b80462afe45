// The processing chain: input selection and gain, the input meter, the global gate,
// the rig's units in signal order with up to four oversampled ranges, the cab-sim
// mix, output gains and balance, the output meter. Mono from the input selection to
// the cab stage; the outputs differ only through the cab sims' pan and the balance.
//
// process() runs on the audio thread, a stage at a time over chunks of the host
// block (qvchainblock.cpp); processPerSample() is the same chain a sample at a time,
// kept as the reference the block path must match bit for bit. Everything else
// changes the rig and runs between blocks (in a command) or while processing is
// bypassed; a command runs inside a change (qvchainchange.cpp) that can be undone.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "data/qvlist.hpp"
#include "plugin/aliasoptions.hpp"
#include "plugin/qvmailbox.hpp"
#include "plugin/qvmeter.hpp"
#include "plugin/qvslot.hpp"
#include "units/cabsim.hpp"
#include "units/convengine.hpp"
#include "units/dynamics.hpp"
#include "units/elliptic.hpp"
#include "units/qvprocstate.hpp"
#include "units/qvutil.hpp"

class qvchain final : public qvchangeguard {
public:
  static constexpr int kMaxSections = 8;   // four ranges
  static constexpr int kMaxFactor = 16;    // sub-samples per host sample
  static constexpr int kAntiAliasOrder = 8;  // the rig's "aaorder" may raise it
  static constexpr double kAntiAliasRippleDb = 0.4;
  static constexpr double kAntiAliasRolloff = -2.0;
  // Host samples beyond ±16 (+24 dBFS) are held there before the input gain.
  static constexpr float kInputCeiling = 16.0f;
  // Host frames per stage pass of the block path: the chunk and its oversampled
  // sub-samples (16 KB at factor 16) stay in the first-level cache.
  static constexpr int kChunk = qvconvengine::kMaxBlock;

  explicit qvchain(qvprocstate& state);
  ~qvchain();
  qvchain(const qvchain&) = delete;
  qvchain& operator=(const qvchain&) = delete;

  // [audio] Reads input channels 0 and 1, writes output channels 0 and 1; buffers
  // may alias. sampleFrames may be 0 or any length (processed in chunks).
  void process(float** inputs, float** outputs, int sampleFrames) noexcept;
  // [audio] The same, a sample at a time through every stage: the reference the
  // block path is checked against (tests, the performance report).
  void processPerSample(float** inputs, float** outputs, int sampleFrames) noexcept;

  // [between blocks] Factor of the oversampled ranges (clamped to 1..16, raised to
  // the rig's minimum while above 1): designs the anti-alias filters and tells
  // every unit its rate multiplier, and the distorting ones the rig's options.
  void setOversampling(int factor);
  // [between blocks] Section list from the slot records and the unit list.
  void rebuildSections();
  // [between blocks] Gains from global settings 0, 1, 15, 16 and 17.
  void updateGains();
  // [between blocks] Slot activity and cabActiveCount from setting 8 and "Enabled".
  void updateCabActivity();
  // [between blocks] Rebuilds the audio path's view of the rig (the unit and cab
  // lists as plain arrays). The chain's own rig operations do it; code that
  // changes the lists directly calls it (a block also notices, see syncRig).
  void rigChanged();

  // [any] Running sums of squares over the last 2048 samples.
  double inputLevel() const { return inputMeter.level(); }
  double outputLevel() const { return outputMeter.level(); }

  // [between blocks] Empties the rig: units, cab blocks (releasing their slots),
  // pedal slots and sections.
  void clearRig();
  // [between blocks] Removes cab block i, releasing its convolution slot.
  void removeCabBlock(uint32_t i);
  // [audio or between blocks] Clears the running state of the rig (units, gate,
  // anti-alias filters, convolution, output meter) as a fresh rig has it; the
  // coefficients and parameters stay.
  void resetRunningState() noexcept;

  // qvchangeguard: while a command runs, what it removes from the rig (units, cab
  // blocks, pedal slots, the amplifier slot, sections, anti-alias filters) is put
  // aside, not freed, and the rig's settings are remembered; rollbackChange()
  // brings them back and frees what the command made, commitChange() frees what
  // was put aside. [between blocks]
  void beginChange() noexcept override;
  void commitChange() override;
  void rollbackChange() noexcept override;

  std::vector<int32_t> sections;    // unit positions opening and closing the ranges, in pairs
  int32_t factor = 1;               // oversampling factor of the ranges
  qvlist<qvutil> units;             // the rig's units in signal order
  // Counts changes of the unit list (cleared or rearranged), so that controls
  // made for an earlier rig can tell they are stale.
  uint32_t rigGeneration = 0;
  qvlist<qvusconv> cabBlocks;       // the rig's cab sims
  int32_t cabActiveCount = 0;       // enabled cab sims; 0 switches the cab stage off
  std::unique_ptr<qvconvengine> cabEngine;
  qvmeter inputMeter;               // selected and scaled input
  qvmeter outputMeter;              // left output
  std::unique_ptr<qvusgate> gate;   // the global input gate
  std::atomic<uint32_t> nonFiniteInputs{0};  // NaN/infinite input samples replaced by silence
  // Blocks that left the rig with a NaN or an infinity in them: each went out as
  // silence and the rig's running state was cleared, so the next block plays.
  std::atomic<uint32_t> nonFiniteOutputs{0};
  // Blocks played as silence because the rig had outgrown the audio path's arrays
  // without a rig operation to grow them (a list changed directly, then played).
  std::atomic<uint32_t> unpreparedBlocks{0};
  qvaliasoptions aliasOptions;      // the rig's trade of exact numbers for less aliasing
  qvslot ampSlot;                   // the amplifier's slot record
  qvlist<qvslot> pedalSlots;        // pedal slot k is blockgroup k + 1

  const qvellipticlowpass& antiAliasFilter(int k) const { return aaFilters_[k]; }

private:
  // One cab block as the mix reads it: the values are refreshed every block.
  struct cabmix {
    qvusconv* block = nullptr;
    int32_t slot = -1;
    bool active = false;       // slot ≥ 0 and switched on in the engine
    const float* out = nullptr;  // the slot's outputs for the current chunk
    float dry = 0, volume = 0, pan = 1;
    bool invert = false;
  };
  struct changestate;  // what a change keeps to undo itself (qvchainchange.cpp)

  // ---- shared by both paths ----
  // [audio] Steps 1 and 2 of a block (audio-idle exit, bypass); false when done.
  bool enterBlock(float** inputs, float** outputs, int n) noexcept;
  // [audio] The selected, held and scaled input sample i.
  float inputSample(float** inputs, int i, int source) noexcept;
  // [audio] Checks the arrays against the lists, rebuilding them within their
  // capacity, and reads the cab blocks' mix values. False if the rig does not fit.
  bool syncRig() noexcept;
  // [audio] The end of a block: the non-finite check and the meters.
  void finishBlock(float** outputs, int n) noexcept;
  bool oversampling() const noexcept;
  // [audio] A finite block: the last line of defence against a unit that turned
  // finite input into NaN or infinity (a state driven past its limits): it must not
  // reach the host, whose mix it would poison, nor stay in the rig's state.
  static bool blockIsFinite(float** outputs, int n) noexcept;
  void silenceAndReset(float** outputs, int n) noexcept;
  // [between blocks] The rate multiplier of every unit from sections and factor.
  void applyRates();
  // [between blocks] The arrays from the lists; they grow when reserve is set,
  // otherwise they take what fits (false when the rig does not fit).
  bool rebuildArrays(bool reserve);

  // ---- undoing a change (qvchainchange.cpp) ----
  bool changing() const noexcept;
  void parkRig();                  // clearRig inside a change
  void parkCabBlock(uint32_t i);   // removeCabBlock inside a change
  void keepAmpSlot();              // before the amplifier slot changes
  void keepSections();             // before the section list changes
  void keepFilters();              // before the anti-alias filters are redesigned
  void noteRatesChanged();         // setOversampling re-rated the units
  // The cab stage was switched on: inside a change the engine is reset at commit.
  void cabStageSwitchedOn();
  void releaseSlotsOfChange() noexcept;

  // ---- the block path (qvchainblock.cpp) ----
  void runUnits(int n, bool oversample) noexcept;
  void mixOutputs(int n, float* left, float* right) noexcept;

  qvprocstate& state_;
  qvellipticlowpass aaFilters_[kMaxSections];  // filter k serves section entry k
  float samples_[kMaxFactor] = {};             // per-sample path: the sample and its sub-samples
  // The rig as the audio path reads it: rebuilt by the rig operations, checked
  // every block. Their capacity only grows, between blocks.
  std::vector<qvutil*> unitArray_;
  std::vector<cabmix> cabArray_;
  std::vector<qvslot*> pedalArray_;            // the pedal slots (for undoing a change)
  // Block path buffers: a chunk at the host rate and its oversampled sub-samples.
  float base_[kChunk] = {};
  float sub_[kChunk * kMaxFactor] = {};
  std::unique_ptr<changestate> change_;        // made once, reused by every change
};
