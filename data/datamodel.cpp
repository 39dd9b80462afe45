#include "data/datamodel.hpp"

#include <memory>

namespace {

// One above the largest id of `list` but at least `floor` (`floor` for an empty
// list). Past INT32_MAX, the smallest id from `reuseFrom` up that no entry uses,
// so an id is never repeated.
template <class T, class Id>
int32_t nextId(const qvlist<T>& list, Id id, int32_t floor, int32_t reuseFrom) {
  int64_t next = floor;
  for (uint32_t k = 0; k < list.count(); ++k) {
    const int64_t above = static_cast<int64_t>(id(*list[k])) + 1;
    if (above > next) next = above;
  }
  if (next <= INT32_MAX) return static_cast<int32_t>(next);
  for (int64_t candidate = reuseFrom;; ++candidate) {
    bool used = false;
    for (uint32_t k = 0; k < list.count() && !used; ++k) used = id(*list[k]) == candidate;
    if (!used) return static_cast<int32_t>(candidate);
  }
}

}  // namespace

uint32_t addCategory(qvlist<qvcategory>& list, const qvstring& name) {
  auto c = std::make_unique<qvcategory>();
  c->name = name;
  // An empty list starts at 0; otherwise one above the largest, whatever its sign.
  // Ids 0 and 1 mark the definition groups, so reuse starts at 2.
  c->id = list.empty() ? 0 : nextId(list, [](const qvcategory& r) { return r.id; }, INT32_MIN, 2);
  return list.append(std::move(c));
}

qvstring pathFileName(const qvstring& path) {
  const size_t sep = path.find_last_of("/\\");
  return sep == qvstring::npos ? path : path.substr(sep + 1);
}

uint32_t addImpulseFile(qvdatamodel& model, const qvstring& path, int32_t categoryid, int32_t res) {
  qvlist<qvimpulse>& list = model.impulses;
  // An empty path names no file; matching it would hand back a factory entry.
  if (!path.empty()) {
    for (uint32_t k = 0; k < list.count(); ++k) {
      if (list[k]->path == path) return k;
    }
  }
  auto e = std::make_unique<qvimpulse>();
  e->path = path;
  e->file = pathFileName(path);
  e->name = e->file.size() > 4 ? e->file.substr(0, e->file.size() - 4) : qvstring();  // drops ".wav"
  e->categoryid = categoryid;
  e->uid = nextId(list, [](const qvimpulse& r) { return r.uid; }, kFirstUserImpulseUid,
                  kFirstUserImpulseUid);
  e->res = res;
  e->bufferIndex = -1;
  return list.append(std::move(e));
}

int32_t findImpulseByUid(const qvlist<qvimpulse>& impulses, int32_t uid) {
  for (uint32_t k = 0; k < impulses.count(); ++k) {
    if (impulses[k]->uid == uid) return static_cast<int32_t>(k);
  }
  return -1;
}

int32_t findPresetByName(const qvlist<qvpreset>& presets, const qvstring& name) {
  for (uint32_t k = 0; k < presets.count(); ++k) {
    if (presets[k]->name == name) return static_cast<int32_t>(k);
  }
  return -1;
}
