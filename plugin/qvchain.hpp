// The processing chain: input selection and gain, the input meter, the global gate,
// the rig's units in signal order with up to four oversampled ranges, the cab-sim
// mix, output gains and balance, the output meter. Mono from the input selection to
// the cab stage; the outputs differ only through the cab sims' pan and the balance.
//
// process() runs on the audio thread; everything else changes the rig and runs
// between blocks (in a command) or while processing is bypassed.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "data/qvlist.hpp"
#include "plugin/aliasoptions.hpp"
#include "plugin/qvmeter.hpp"
#include "plugin/qvslot.hpp"
#include "units/cabsim.hpp"
#include "units/convengine.hpp"
#include "units/dynamics.hpp"
#include "units/elliptic.hpp"
#include "units/qvprocstate.hpp"
#include "units/qvutil.hpp"

class qvchain {
public:
  static constexpr int kMaxSections = 8;   // four ranges
  static constexpr int kMaxFactor = 16;    // sub-samples per host sample
  static constexpr int kAntiAliasOrder = 8;  // the rig's "aaorder" may raise it
  static constexpr double kAntiAliasRippleDb = 0.4;
  static constexpr double kAntiAliasRolloff = -2.0;
  // Host samples beyond ±16 (+24 dBFS) are held there before the input gain.
  static constexpr float kInputCeiling = 16.0f;

  explicit qvchain(qvprocstate& state);
  ~qvchain();
  qvchain(const qvchain&) = delete;
  qvchain& operator=(const qvchain&) = delete;

  // [audio] Reads input channels 0 and 1, writes output channels 0 and 1; buffers
  // may alias. sampleFrames may be 0.
  void process(float** inputs, float** outputs, int sampleFrames) noexcept;

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

  // [any] Running sums of squares over the last 2048 samples.
  double inputLevel() const { return inputMeter.level(); }
  double outputLevel() const { return outputMeter.level(); }

  // [between blocks] Empties the rig: units, cab blocks (releasing their slots),
  // pedal slots and sections.
  void clearRig();
  // [between blocks] Removes cab block i, releasing its convolution slot.
  void removeCabBlock(uint32_t i);

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
  qvaliasoptions aliasOptions;      // the rig's trade of exact numbers for less aliasing
  qvslot ampSlot;                   // the amplifier's slot record
  qvlist<qvslot> pedalSlots;        // pedal slot k is blockgroup k + 1

  const qvellipticlowpass& antiAliasFilter(int k) const { return aaFilters_[k]; }

private:
  float cabStage(float x, float& left, float& right) noexcept;
  // [audio] The last line of defence: a unit that turned finite input into NaN or
  // infinity (a state driven past its limits) must not hand it to the host, whose
  // mix it would poison, nor keep it in its state for good.
  static bool blockIsFinite(float** outputs, int n) noexcept;
  void silenceAndReset(float** outputs, int n) noexcept;

  qvprocstate& state_;
  qvellipticlowpass aaFilters_[kMaxSections];  // filter k serves section entry k
  float samples_[kMaxFactor] = {};             // the sample and its sub-samples
};
