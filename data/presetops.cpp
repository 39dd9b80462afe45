// The preset and category commands of the editor and the host: select, save,
// delete, categories, drag and drop, the save path switch, and the unique names
// presets are saved under.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "data/loadcodes.hpp"
#include "plugin/qvengine.hpp"

namespace {

constexpr size_t kMaxPresetName = 28;
constexpr size_t kMaxCategoryName = 19;

bool validIndex(int32_t i, uint32_t count) { return i >= 0 && static_cast<uint32_t>(i) < count; }

// "base-number": a "-" at position 1 or later with at least one byte after the
// last one. The number is the absolute value of what follows, read as an integer.
bool splitCounted(const qvstring& name, qvstring& base, int64_t& number) {
  const size_t dash = name.rfind('-');
  if (dash == qvstring::npos || dash < 1 || dash + 1 >= name.size()) return false;
  base = name.substr(0, dash);
  // Bounded, so the absolute value and the next counter cannot overflow.
  constexpr long long kLimit = 1LL << 62;
  const long long n = std::clamp(std::strtoll(name.c_str() + dash + 1, nullptr, 10), -kLimit, kLimit);
  number = n < 0 ? -n : n;
  return true;
}

// Where index `i` of a list lands when entry `from` moves to position `to`.
int32_t followMove(int32_t i, int32_t from, int32_t to) {
  if (i == from) return to;
  if (from < to && i > from && i <= to) return i - 1;
  if (to < from && i >= to && i < from) return i + 1;
  return i;
}

// The preset object's "categoryid" set in place, keeping the member order.
void setNodeCategory(qvpreset& p, int32_t id) {
  qvjsonnode copy = p.node.root();
  if (!copy.is_object()) return;
  copy["categoryid"] = static_cast<double>(id);
  p.node.setRoot(std::move(copy));
}

}  // namespace

void qvengine::makeUniquePresetName(qvstring& name, int32_t ownIndex) {
  const size_t first = name.find_first_not_of(' ');
  name = first == qvstring::npos ? qvstring() : name.substr(first, name.find_last_not_of(' ') - first + 1);
  if (name.empty()) name = "No Name";
  bool taken = false;
  for (uint32_t k = 0; k < data.presets.count() && !taken; ++k)
    taken = static_cast<int32_t>(k) != ownIndex && data.presets[k]->name == name;
  if (taken) {
    qvstring base = name;
    int64_t counter = 2;
    if (splitCounted(name, base, counter) && counter < 2) counter = 2;
    for (uint32_t k = 0; k < data.presets.count(); ++k) {
      if (static_cast<int32_t>(k) == ownIndex) continue;
      qvstring otherBase;
      int64_t number = 0;
      if (splitCounted(data.presets[k]->name, otherBase, number) && otherBase == base &&
          counter <= number)
        counter = number + 1;
    }
    name = base + "-" + std::to_string(counter);
  }
  if (name.size() > kMaxPresetName) name.resize(kMaxPresetName);
}

void qvengine::selectPresetCommand(int32_t index) {
  int code = kLoadOk;
  if (index == -1) {
    qvjsoncursor& node = data.chunkPreset.node;
    // A chunk that does not read must not bring back the one read before it.
    if (node.parse(data.chunkText) != kDocOk) node.clearRoot();
    code = loadPreset(node, -1, true);
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
  viewsChanged.fetch_add(1, std::memory_order_release);
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
  viewsChanged.fetch_add(1, std::memory_order_release);
}

void qvengine::deletePresetCommand() {
  if (!validIndex(data.currentPreset, data.presets.count())) return;
  data.presets.remove(static_cast<uint32_t>(data.currentPreset));
  data.currentPreset = -1;
  saveDocument();
  showMessage("Deleting Preset", 1);
  viewsChanged.fetch_add(1, std::memory_order_release);
}

void qvengine::selectCategoryCommand(float value) {
  const bool impulses = data.categoryListMode == 2;
  const qvlist<qvcategory>& list = impulses ? data.impulseCategories : data.presetCategories;
  int32_t index = truncToInt(value);
  // One past the end is accepted: the editor's "show all".
  if (index < -1 || index > static_cast<int32_t>(list.count())) index = -1;
  (impulses ? data.currentImpulseCategory : data.currentCategory) = index;
  viewsChanged.fetch_add(1, std::memory_order_release);
}

void qvengine::editCategoryCommand(float value) {
  const qvlist<qvcategory>& list =
      data.categoryListMode == 2 ? data.impulseCategories : data.presetCategories;
  const int32_t index = truncToInt(value);
  data.editedCategory = validIndex(index, list.count()) ? index : -1;
  viewsChanged.fetch_add(1, std::memory_order_release);
}

void qvengine::commitCategoryCommand() {
  qvlist<qvcategory>& list = data.categoryListMode == 2 ? data.impulseCategories : data.presetCategories;
  qvstring name = editorName;
  if (name.empty()) name = "Unnamed Category";
  if (name.size() > kMaxCategoryName) name.resize(kMaxCategoryName);
  if (validIndex(data.editedCategory, list.count()))
    list[static_cast<uint32_t>(data.editedCategory)]->name = name;
  else
    addCategory(list, name);
  saveDocument();
  showMessage("Saving Data", 1);
  viewsChanged.fetch_add(1, std::memory_order_release);
}

void qvengine::deleteCategoryCommand(float) {
  const bool impulses = data.categoryListMode == 2;
  qvlist<qvcategory>& list = impulses ? data.impulseCategories : data.presetCategories;
  if (!validIndex(data.editedCategory, list.count())) return;
  // Presets and impulses keep their category ids.
  list.remove(static_cast<uint32_t>(data.editedCategory));
  data.editedCategory = -1;
  saveDocument();
  showMessage("Saving Data", 1);
  (impulses ? data.currentImpulseCategory : data.currentCategory) = -1;
  viewsChanged.fetch_add(1, std::memory_order_release);
}

void qvengine::dropDragged() {
  const qvdragdrop d = drag;
  drag = qvdragdrop{};
  bool changed = false;
  switch (d.kind) {
    case qvdragdrop::Kind::presetCategory:
    case qvdragdrop::Kind::impulseCategory: {
      const bool impulses = d.kind == qvdragdrop::Kind::impulseCategory;
      qvlist<qvcategory>& list = impulses ? data.impulseCategories : data.presetCategories;
      if (!validIndex(d.from, list.count()) || !validIndex(d.to, list.count())) break;
      list.move(static_cast<uint32_t>(d.from), static_cast<uint32_t>(d.to));
      int32_t& current = impulses ? data.currentImpulseCategory : data.currentCategory;
      if (validIndex(current, list.count())) current = followMove(current, d.from, d.to);
      changed = true;
      break;
    }
    case qvdragdrop::Kind::preset: {
      if (!validIndex(d.from, data.presets.count())) break;
      if (validIndex(d.category, data.presetCategories.count())) {
        qvpreset& p = *data.presets[static_cast<uint32_t>(d.from)];
        p.categoryid = data.presetCategories[static_cast<uint32_t>(d.category)]->id;
        setNodeCategory(p, p.categoryid);
        changed = true;
      } else if (validIndex(d.to, data.presets.count())) {
        data.presets.move(static_cast<uint32_t>(d.from), static_cast<uint32_t>(d.to));
        if (validIndex(data.currentPreset, data.presets.count()))
          data.currentPreset = followMove(data.currentPreset, d.from, d.to);
        changed = true;
      }
      break;
    }
    case qvdragdrop::Kind::impulse: {
      if (!validIndex(d.from, data.impulses.count())) break;
      if (validIndex(d.category, data.impulseCategories.count())) {
        data.impulses[static_cast<uint32_t>(d.from)]->categoryid =
            data.impulseCategories[static_cast<uint32_t>(d.category)]->id;
        changed = true;
      } else if (validIndex(d.to, data.impulses.count())) {
        data.impulses.move(static_cast<uint32_t>(d.from), static_cast<uint32_t>(d.to));
        for (uint32_t k = 0; k < chain.cabBlocks.count(); ++k) {
          int32_t& index = chain.cabBlocks[k]->impulse;
          if (index >= 0) index = followMove(index, d.from, d.to);
        }
        if (data.lastChosenImpulse >= 0)
          data.lastChosenImpulse = followMove(data.lastChosenImpulse, d.from, d.to);
        changed = true;
      }
      break;
    }
    case qvdragdrop::Kind::none: break;
  }
  if (!changed) return;
  saveDocument();
  viewsChanged.fetch_add(1, std::memory_order_release);
}

void qvengine::useSavePathFromSetting() {
  data.savePath = state.settingInt(kSetProjectFolder) != 0 ? data.projectPath : data.defaultPath;
  const int code = loadDocument(false);
  if (code != kLoadOk && code != kDocTooShort)
    showMessage("Load System Failed ~ " + std::to_string(code), 2);
  viewsChanged.fetch_add(1, std::memory_order_release);
}
