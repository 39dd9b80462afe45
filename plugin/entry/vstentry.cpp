// The plug-in library's entry point: a host that answers audioMasterVersion
// with 0 gets nothing; otherwise one qvAudioEffect per call.
#include "plugin/qvaudioeffect.hpp"
#include "vst/pluginentry.hpp"

QV_VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  return createVstEffect<qvAudioEffect>(audioMaster);
}

// Older hosts look for `main`; C++ reserves that name, so the alias is given by
// its assembler name, at the same address as VSTPluginMain.
QV_VST_EXPORT AEffect* vstMainAlias(audioMasterCallback audioMaster) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
