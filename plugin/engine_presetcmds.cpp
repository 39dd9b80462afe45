// The preset and category commands of the editor and the host: select, save,
// delete, categories, drag and drop. The rules over the data model alone are in
// data/presetops; here they meet the rig, the user document and the messages.
#include <memory>
#include <string>

#include "data/loadcodes.hpp"
#include "data/presetops.hpp"
#include "plugin/qvengine.hpp"

namespace {
bool validIndex(int32_t i, uint32_t count) { return i >= 0 && static_cast<uint32_t>(i) < count; }
}  // namespace

void qvengine::makeUniquePresetName(qvstring& name, int32_t ownIndex) {
  name = uniquePresetName(data.presets, std::move(name), ownIndex);
}

void qvengine::selectPresetCommand(int32_t index) {
  int code = kLoadOk;
  if (index == -1) {
    // applyChunk parsed it on the host's thread.
    code = loadPreset(data.chunkDraft, -1, true);
    if (code == kLoadOk) {
      const int32_t k = findPresetByName(data.presets, data.currentPresetName);
      if (k >= 0) data.currentPreset = k;
    }
  } else if (validIndex(index, data.presets.count())) {
    code = loadPreset(data.presets[static_cast<uint32_t>(index)]->node, -1, false);
    if (code == kLoadOk) data.currentPreset = index;
  } else {
    return;
  }
  if (code != kLoadOk) showMessage("Warning: loadpreset failed ~ " + std::to_string(code), 2);
  requestRebuild();
}

void qvengine::savePresetCommand(bool asNew) {
  int32_t cur = data.currentPreset;
  qvstring name = validIndex(cur, data.presets.count())
                      ? data.presets[static_cast<uint32_t>(cur)]->name
                      : qvstring();
  if (!validIndex(cur, data.presets.count()) || asNew) {
    cur = static_cast<int32_t>(data.presets.append(std::make_unique<qvpreset>()));
    data.currentPreset = cur;
  }
  if (nameFieldOpen) name = editorName;
  makeUniquePresetName(name, cur);
  qvpreset& preset = *data.presets[static_cast<uint32_t>(cur)];
  preset.name = name;
  if (validIndex(data.currentCategory, data.presetCategories.count()))
    preset.categoryid = data.presetCategories[static_cast<uint32_t>(data.currentCategory)]->id;
  writePresetNode(name, preset.user != 0, preset.categoryid, preset.node);
  data.currentPresetName = name;
  saveDocument();
  showMessage("Saving Preset", 1);
  requestRebuild();
}

void qvengine::deletePresetCommand() {
  if (!validIndex(data.currentPreset, data.presets.count())) return;
  data.presets.remove(static_cast<uint32_t>(data.currentPreset));
  data.currentPreset = -1;
  saveDocument();
  showMessage("Deleting Preset", 1);
  requestRebuild();
}

void qvengine::selectCategoryCommand(float value) {
  const bool impulses = data.categoryListMode == 2;
  const qvlist<qvcategory>& list = impulses ? data.impulseCategories : data.presetCategories;
  int32_t index = truncToInt(value);
  // One past the end is accepted: the editor's "show all".
  if (index < -1 || index > static_cast<int32_t>(list.count())) index = -1;
  (impulses ? data.currentImpulseCategory : data.currentCategory) = index;
  requestRebuild();
}

void qvengine::editCategoryCommand(float value) {
  const qvlist<qvcategory>& list =
      data.categoryListMode == 2 ? data.impulseCategories : data.presetCategories;
  const int32_t index = truncToInt(value);
  data.editedCategory = validIndex(index, list.count()) ? index : -1;
  openBox(qvboxkind::category);
}

void qvengine::commitCategoryCommand() {
  qvlist<qvcategory>& list = data.categoryListMode == 2 ? data.impulseCategories : data.presetCategories;
  const qvstring name = committedCategoryName(editorName);
  if (validIndex(data.editedCategory, list.count()))
    list[static_cast<uint32_t>(data.editedCategory)]->name = name;
  else
    addCategory(list, name);
  openBox(qvboxkind::presets);
  saveDocument();
  showMessage("Saving Data", 1);
}

void qvengine::deleteCategoryCommand(float) {
  const bool impulses = data.categoryListMode == 2;
  qvlist<qvcategory>& list = impulses ? data.impulseCategories : data.presetCategories;
  openBox(qvboxkind::presets);  // "Delete" in a box for a new category only closes it
  if (!validIndex(data.editedCategory, list.count())) return;
  // Presets and impulses keep their category ids.
  list.remove(static_cast<uint32_t>(data.editedCategory));
  data.editedCategory = -1;
  saveDocument();
  showMessage("Saving Data", 1);
  (impulses ? data.currentImpulseCategory : data.currentCategory) = -1;
}

void qvengine::dropDragged() {
  const qvdropoutcome out = dropOnModel(data, drag);
  drag = qvdragdrop{};
  if (ui_.drag == qvdragphase::movingRow) {
    ui_.drag = qvdragphase::none;
    requestRebuild();
  }
  if (!out.changed) return;
  if (out.impulseFrom >= 0) {
    for (uint32_t k = 0; k < chain.cabBlocks.count(); ++k) {
      int32_t& index = chain.cabBlocks[k]->impulse;
      if (index >= 0) index = followMove(index, out.impulseFrom, out.impulseTo);
    }
  }
  saveDocument();
  requestRebuild();
}
