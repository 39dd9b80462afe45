// Catalogue and cab-block commands. Indices come from the editor and are checked
// before anything changes; a command that finds nothing to act on does nothing.
#include "data/impulsecmds.hpp"

#include <cmath>

#include "platform/files.hpp"

namespace {

constexpr const char* kSavingData = "Saving Data";

bool validCabBlock(const qvengine& e, int32_t block) {
  return block >= 0 && static_cast<uint32_t>(block) < e.chain.cabBlocks.count();
}

bool validImpulse(const qvdatamodel& data, int32_t index) {
  return index >= 0 && static_cast<uint32_t>(index) < data.impulses.count();
}

bool endsWith(const qvstring& s, const char* tail) {
  const qvstring t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// After cab blocks were removed, the current one stays within the list.
void keepCurrentCabBlockInRange(qvengine& e) {
  const int32_t count = static_cast<int32_t>(e.chain.cabBlocks.count());
  if (e.data.currentCabBlock >= count) e.data.currentCabBlock = count - 1;
}

}  // namespace

int32_t commandIndex(float value) {
  if (!std::isfinite(value)) return -1;
  const double v = std::nearbyint(static_cast<double>(value));
  return v < 0.0 || v > 2147483647.0 ? -1 : static_cast<int32_t>(v);
}

qvcmdoutcome addImpulseFileCommand(qvdatamodel& data, const qvstring& path) {
  qvcmdoutcome out;
  if (path.find(kPathSeparator) == qvstring::npos || path.size() <= 4) {
    out.messages.push_back({"Warning: No file...", 2});
    return out;
  }
  if (!endsWith(path, "wav"))
    out.messages.push_back({"Warning: only wav format is supported...", 2});
  out.chooseImpulse = static_cast<int32_t>(addImpulseFile(data, path, -1, -1));
  out.save = true;
  out.savedText = kSavingData;
  return out;
}

qvcmdoutcome importImpulseFolder(qvdatamodel& data, const qvstring& folder) {
  qvcmdoutcome out;
  qvstring base = folder;
  while (base.size() > 1 && base.back() == kPathSeparator) base.pop_back();

  // The folder search finds "*.wav" in any letter case; only names that end in
  // "wav" exactly and have a name before the extension are taken.
  std::vector<qvstring> names;
  for (qvstring& name : listWavFiles(base)) {
    if (name.size() > 4 && endsWith(name, "wav")) names.push_back(std::move(name));
  }
  // An empty category would only clutter the list.
  if (names.empty()) return out;

  const uint32_t category = addCategory(data.impulseCategories, pathFileName(base));
  const int32_t id = data.impulseCategories[category]->id;
  const qvstring prefix =
      base.back() == kPathSeparator ? base : base + qvstring(1, kPathSeparator);
  for (const qvstring& name : names) {
    const uint32_t index = addImpulseFile(data, prefix + name, id, -1);
    data.impulses[index]->categoryid = id;  // a file imported before moves to the new category
  }
  data.currentImpulseCategory = static_cast<int32_t>(category);
  out.save = true;
  out.savedText = kSavingData;
  return out;
}

qvcmdoutcome saveCabSettings(qvengine& e, const qvstring& name) {
  qvcmdoutcome out;
  if (!validCabBlock(e, e.data.currentCabBlock)) return out;
  const int32_t index = e.chain.cabBlocks[uint32_t(e.data.currentCabBlock)]->impulse;
  if (!validImpulse(e.data, index)) return out;
  qvimpulse& entry = *e.data.impulses[uint32_t(index)];
  entry.name = name;
  const int32_t category = e.data.currentImpulseCategory;
  if (category >= 0 && static_cast<uint32_t>(category) < e.data.impulseCategories.count())
    entry.categoryid = e.data.impulseCategories[uint32_t(category)]->id;
  out.save = true;
  out.savedText = "Saving Cab Settings";
  return out;
}

void chooseCabBlock(qvengine& e, float value) {
  const int32_t count = static_cast<int32_t>(e.chain.cabBlocks.count());
  if (count == 0) {
    e.data.currentCabBlock = -1;
    return;
  }
  if (!std::isfinite(value)) return;
  const double block = std::nearbyint(static_cast<double>(value)) - 1.0;
  e.data.currentCabBlock =
      block < 0.0 ? 0 : block >= double(count) ? count - 1 : static_cast<int32_t>(block);
}

qvcmdoutcome chooseImpulse(qvengine& e, int32_t index) {
  qvcmdoutcome out;
  if (!validImpulse(e.data, index)) return out;
  e.data.lastChosenImpulse = index;
  const int32_t block = validCabBlock(e, e.data.currentCabBlock) ? e.data.currentCabBlock : -1;
  const bool loaded = e.loadImpulse(index, block);
  e.chain.updateCabActivity();
  if (!loaded) out.messages.push_back({e.data.errorText, 2});
  return out;
}

qvcmdoutcome deleteImpulse(qvengine& e) {
  qvcmdoutcome out;
  if (!validCabBlock(e, e.data.currentCabBlock)) return out;
  int32_t index = e.data.lastChosenImpulse;
  if (!validImpulse(e.data, index))
    index = e.chain.cabBlocks[uint32_t(e.data.currentCabBlock)]->impulse;
  if (!validImpulse(e.data, index)) return out;
  if (e.data.impulses[uint32_t(index)]->res != -1) {
    out.messages.push_back({"This item cannot be deleted.", 2});
    return out;
  }

  // Blocks playing the entry fall back to the one before it; without one, gone.
  for (uint32_t b = 0; b < e.chain.cabBlocks.count();) {
    if (e.chain.cabBlocks[b]->impulse != index ||
        (index > 0 && e.loadImpulse(index - 1, static_cast<int32_t>(b)))) {
      ++b;
      continue;
    }
    e.chain.removeCabBlock(b);
  }
  keepCurrentCabBlockInRange(e);
  e.chain.updateCabActivity();

  e.data.impulses.remove(uint32_t(index));
  for (uint32_t b = 0; b < e.chain.cabBlocks.count(); ++b) {
    if (e.chain.cabBlocks[b]->impulse > index) --e.chain.cabBlocks[b]->impulse;
  }
  e.data.lastChosenImpulse = -1;
  out.save = true;
  out.savedText = kSavingData;
  return out;
}

void removeCurrentCabBlock(qvengine& e) {
  if (!validCabBlock(e, e.data.currentCabBlock)) return;
  e.chain.removeCabBlock(uint32_t(e.data.currentCabBlock));
  keepCurrentCabBlockInRange(e);
  e.chain.updateCabActivity();
}

bool qvengine::runImpulseCommand(int32_t code, float value) {
  qvcmdoutcome out;
  switch (code) {
    case kCmdAddImpulseFile: out = addImpulseFileCommand(data, editorPath); break;
    case kCmdImportFolder: out = importImpulseFolder(data, editorPath); break;
    case kCmdSaveCabSettings: out = saveCabSettings(*this, editorName); break;
    case kCmdChooseCabBlock: chooseCabBlock(*this, value); return true;
    case kCmdChooseImpulse: out = chooseImpulse(*this, commandIndex(value)); break;
    case kCmdDeleteImpulse: out = deleteImpulse(*this); break;
    case kCmdRemoveCabBlock: removeCurrentCabBlock(*this); return true;
    default: return false;
  }
  for (const qvmessage& m : out.messages) showMessage(m.text, m.level);
  // The load touches the rig, so it goes through the mailbox like any rig change,
  // once the editor command has let go of the command lock.
  if (out.chooseImpulse >= 0) deferPost(kCmdChooseImpulse, static_cast<float>(out.chooseImpulse));
  if (out.save) {
    saveDocument();
    showMessage(out.savedText, 1);
  }
  return true;
}
