// The engine's side of the data documents: the start-up load (factory document,
// then the user's over it), applying what a read found to the settings and the
// cab blocks, writing the user document with a warning when that fails, and the
// switch between the default and the project save path.
#include <string>

#include "data/document.hpp"
#include "data/loadcodes.hpp"
#include "platform/files.hpp"
#include "plugin/qvengine.hpp"

static_assert(kDocumentSettingCount == kSettingCount);
static_assert(kDocumentLayoutSetting == kSetLayoutSwitch);

namespace {
qvstring codeText(const char* text, int code) { return text + std::to_string(code); }
}  // namespace

int qvengine::loadDocument(bool factory) {
  qvstring fileText;
  std::string_view text = "^";  // reads as no document at all
  bool unreadable = false;
  if (factory)
    text = data.factoryText;
  else if (readWholeFile(data.savePath, fileText))
    text = fileText;
  else
    unreadable = probeFile(data.savePath).error != qvprobeerror::notFound;

  qvdocread read;
  const int code = readDocument(text, factory, data, read);
  for (const auto& [index, position] : read.settings)
    state.settings[static_cast<uint32_t>(index)]->setNormalized(position);
  if (read.settingsComplete) state.settings[kSetLayoutSwitch]->setNormalized(0.0f);
  if (read.impulsesReplaced) {
    for (uint32_t k = 0; k < chain.cabBlocks.count(); ++k) {
      int32_t& index = chain.cabBlocks[k]->impulse;
      const bool known = index >= 0 && static_cast<size_t>(index) < read.impulseIndexMap.size();
      index = known ? read.impulseIndexMap[static_cast<size_t>(index)] : -1;
    }
  }
  if (code == kLoadOk) {
    for (int i = 0; i < kSettingCount; ++i) {
      // The save path follows setting 6 only when the user changes it.
      if (i != kSetProjectFolder) settingChanged(i);
    }
    chain.updateGains();
  }
  if (read.parsed) requestRebuild();
  // A user document we could not take in would be lost to the next save.
  if (!factory && (unreadable || (code != kLoadOk && code != kDocTooShort)))
    preserveUserDocument(data.savePath);
  return code;
}

void qvengine::loadSystem() {
  int code = loadDocument(true);
  if (code != kLoadOk) showMessage(codeText("Load System Internal Failed ~ ", code), 2);
  code = loadDocument(false);
  if (code == kDocTooShort) {
    const int32_t p = data.presetToSelect;
    if (p < 0 || static_cast<uint32_t>(p) >= data.presets.count()) return;
    qvpreset& preset = *data.presets[static_cast<uint32_t>(p)];
    const int loaded = loadPreset(preset.node, -1, false);
    if (loaded != kLoadOk) {
      showMessage(codeText("Warning: loadpreset failed ~ ", loaded), 2);
      return;
    }
    data.currentPreset = p;
    for (uint32_t k = 0; k < data.presetCategories.count(); ++k)
      if (data.presetCategories[k]->id == preset.categoryid)
        data.currentCategory = static_cast<int32_t>(k);
  } else if (code != kLoadOk) {
    showMessage(codeText("Load System Failed ~ ", code), 2);
  }
}

void qvengine::saveDocument() {
  // A preset object that is not a whole preset would not load again: save nothing.
  size_t members = 0;
  const int32_t broken = firstBrokenPreset(data, members);
  if (broken >= 0) {
    showMessage(" < 6 !! i:" + std::to_string(broken) + " c:" + std::to_string(members), 2);
    return;
  }
  float positions[kSettingCount];
  for (int i = 0; i < kSettingCount; ++i) positions[i] = state.settings[static_cast<uint32_t>(i)]->fpos;
  writeDocument(data, positions);
  if (!writeFileAtomic(data.savePath, data.writer.text()))
    showMessage("Warning: could not save " + data.savePath, 2);
}

void qvengine::useSavePathFromSetting() {
  const bool project = state.settingInt(kSetProjectFolder) != 0;
  data.savePath = project ? data.projectPath : data.defaultPath;
  // The project folder is made on first use, so the next save has somewhere to go.
  if (project && !makeFolder(pluginFolder + kProjectFolderName))
    showMessage("Warning: could not create " + pluginFolder + kProjectFolderName, 2);
  const int code = loadDocument(false);
  if (code != kLoadOk && code != kDocTooShort)
    showMessage("Load System Failed ~ " + std::to_string(code), 2);
  requestRebuild();
}
