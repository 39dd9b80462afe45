// Catalogue commands over the data model alone. Indices come from the editor and
// are checked before anything changes; a command that finds nothing to act on
// does nothing.
#include "data/impulsecmds.hpp"

#include <cmath>

#include "platform/files.hpp"

namespace {

constexpr const char* kSavingData = "Saving Data";

bool endsWith(const qvstring& s, const char* tail) {
  const qvstring t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
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
