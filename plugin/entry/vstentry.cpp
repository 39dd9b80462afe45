// The plug-in library's entry point, where the layers meet: a host that answers
// audioMasterVersion with 0 gets nothing; otherwise one effect per call, with
// its editor.
#include "editor/qveditor.hpp"
#include "plugin/qvaudioeffect.hpp"
#include "vst/pluginentry.hpp"

namespace {

class qvplugin final : public qvAudioEffect {
public:
  explicit qvplugin(audioMasterCallback audioMaster) : qvAudioEffect(audioMaster) {
    setEditor(new qveditor(this, getEngine()));
  }
};

}  // namespace

QV_VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  return createVstEffect<qvplugin>(audioMaster);
}

// Older hosts look for `main`; C++ reserves that name, so the alias is given by
// its assembler name, at the same address as VSTPluginMain.
QV_VST_EXPORT AEffect* vstMainAlias(audioMasterCallback audioMaster) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
