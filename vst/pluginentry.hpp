// What every plug-in library's entry point does: refuse an old host, create the
// effect, hand the host its AEffect. The library itself defines VSTPluginMain
// with QV_VST_EXPORT and exports `main` at the same address for older hosts.
#pragma once
#include <new>

#include "vst/audioeffect.hpp"

#define QV_VST_EXPORT extern "C" __attribute__((visibility("default")))

// [ui] Null for a missing callback, a host reporting interface version 0, or an
// effect that could not be created; an exception never reaches the host.
template <class Effect>
AEffect* createVstEffect(audioMasterCallback audioMaster) noexcept {
  if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
    return nullptr;
  try {
    Effect* effect = new Effect(audioMaster);
    return effect->getAeffect();
  } catch (...) {
    return nullptr;
  }
}
