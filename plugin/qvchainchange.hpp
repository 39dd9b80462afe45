// What a change of the rig keeps so that a command that fails half-way can be
// undone (see qvchain::beginChange): the rig's settings as they were, and what the
// command removed, put aside instead of freed. Private to the chain's sources.
#pragma once
#include <cstdint>
#include <vector>

#include "plugin/qvchain.hpp"

// A parameter object's values (its ranges do not change).
struct qvparamvalue {
  float x = 0;
  int32_t xi = 0;
  float fpos = 0;
  float u = 0;
};

struct qvchain::changestate {
  using paramvalue = qvparamvalue;
  static constexpr uint32_t kMaxGateParams = 8;

  bool open = false;              // between beginChange and commit or rollback
  bool undoable = false;          // the arrays held the whole rig at the start
  bool ampKept = false;           // ampSlot holds the amplifier slot as it was
  bool rigParked = false;         // clearRig put units, pedal slots and the amplifier aside
  bool cabsParked = false;        // cab blocks were put aside
  bool sectionsKept = false;
  bool filtersKept = false;
  bool ratesChanged = false;      // the original units were re-rated
  bool resetEngine = false;       // the cab stage came on: reset the engine at commit
  bool arraysStale = false;       // the lists changed: rebuild the arrays at commit

  // The rig's scalars at the start.
  int32_t factor = 1;
  qvaliasoptions aliasOptions;
  int32_t cabActiveCount = 0;
  uint32_t rigGeneration = 0;
  float sampleRate = 0;
  float inputGain = 0, gainLeft = 0, gainRight = 0;
  bool bypass = false, mute = false, savedBypass = false;
  paramvalue settings[kSettingCount];
  paramvalue gateParams[kMaxGateParams];
  uint32_t gateParamCount = 0;
  uint64_t slotSerial = 0;        // convolution slots from this serial on are the change's

  // Put aside by the command, in any order (the arrays give the original order).
  qvlist<qvutil> units;
  qvlist<qvusconv> cabs;
  qvlist<qvslot> pedals;
  qvslot ampSlot;
  std::vector<int32_t> sections;
  qvellipticlowpass filters[kMaxSections];
};
