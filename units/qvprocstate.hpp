// The engine's processing state: the record every unit reads the host rate from,
// the 18 global settings, the gains, and the flags the mailbox drives.
// The flags are written by one thread and read by the other, hence atomics.
#pragma once
#include <atomic>
#include <cstdint>

#include "data/qvlist.hpp"
#include "units/qvparam.hpp"

// Indices of the global settings.
enum qvsetting : int {
  kSetOutputLevel = 0,
  kSetInputLevel = 1,
  kSetShowValue = 2,
  kSetOversampling = 3,
  kSetLayoutSwitch = 4,
  kSetShowTips = 5,
  kSetProjectFolder = 6,
  kSetInputSource = 7,
  kSetDisableCabSims = 8,
  kSetBypassOrMute = 9,
  kSetGlobalGate = 10,
  kSetLimitItems = 11,
  kSetLimitImpulseFiles = 12,
  kSetReserved13 = 13,
  kSetReserved14 = 14,
  kSetVolumeScale = 15,
  kSetInputScale = 16,
  kSetBalance = 17,
  kSettingCount = 18
};

struct qvprocstate {
  qvprocstate();
  qvprocstate(const qvprocstate&) = delete;
  qvprocstate& operator=(const qvprocstate&) = delete;

  std::atomic<bool> bypass{false};       // pass (or mute) the input instead of processing
  std::atomic<bool> mute{false};         // while bypassed: output silence
  std::atomic<bool> savedBypass{false};  // what bypass returns to after a command ran off the audio thread
  float sampleRate = 44100.0f;           // host sample rate, Hz
  qvlist<qvparam> settings;              // the 18 global settings, by index
  float inputGain = 1.0f;                // applied to the selected input sample
  float gainLeft = 0.5f;                 // output gains
  float gainRight = 0.5f;
  std::atomic<int32_t> audioIdle{1};     // 1: no audio thread is known to drain the mailbox
  std::atomic<int32_t> rigReady{1};      // 0 while applyChunk loads directly off the audio thread

  // [any] Engine value of global setting i (checked index).
  float setting(int i) const { return settings[i]->getValue(); }
  int32_t settingInt(int i) const { return settings[i]->xi; }
};

// [any] Appends the 18 global settings at their defaults.
void createGlobalSettings(qvlist<qvparam>& settings);
