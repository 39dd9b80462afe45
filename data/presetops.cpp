#include "data/presetops.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

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

// The preset object's "categoryid" set in place, keeping the member order.
void setNodeCategory(qvpreset& p, int32_t id) {
  qvjsonnode copy = p.node.root();
  if (!copy.is_object()) return;
  copy["categoryid"] = static_cast<double>(id);
  p.node.setRoot(std::move(copy));
}

}  // namespace

qvstring uniquePresetName(const qvlist<qvpreset>& presets, qvstring name, int32_t ownIndex) {
  const size_t first = name.find_first_not_of(' ');
  name = first == qvstring::npos ? qvstring() : name.substr(first, name.find_last_not_of(' ') - first + 1);
  if (name.empty()) name = "No Name";
  bool taken = false;
  for (uint32_t k = 0; k < presets.count() && !taken; ++k)
    taken = static_cast<int32_t>(k) != ownIndex && presets[k]->name == name;
  if (taken) {
    qvstring base = name;
    int64_t counter = 2;
    if (splitCounted(name, base, counter) && counter < 2) counter = 2;
    for (uint32_t k = 0; k < presets.count(); ++k) {
      if (static_cast<int32_t>(k) == ownIndex) continue;
      qvstring otherBase;
      int64_t number = 0;
      if (splitCounted(presets[k]->name, otherBase, number) && otherBase == base && counter <= number)
        counter = number + 1;
    }
    name = base + "-" + std::to_string(counter);
  }
  if (name.size() > kMaxPresetName) name.resize(kMaxPresetName);
  return name;
}

qvstring committedCategoryName(qvstring name) {
  if (name.empty()) name = "Unnamed Category";
  if (name.size() > kMaxCategoryName) name.resize(kMaxCategoryName);
  return name;
}

int32_t followMove(int32_t i, int32_t from, int32_t to) {
  if (i == from) return to;
  if (from < to && i > from && i <= to) return i - 1;
  if (to < from && i >= to && i < from) return i + 1;
  return i;
}

qvdropoutcome dropOnModel(qvdatamodel& data, const qvdragdrop& d) {
  qvdropoutcome out;
  switch (d.kind) {
    case qvdragdrop::Kind::presetCategory:
    case qvdragdrop::Kind::impulseCategory: {
      const bool impulses = d.kind == qvdragdrop::Kind::impulseCategory;
      qvlist<qvcategory>& list = impulses ? data.impulseCategories : data.presetCategories;
      if (!validIndex(d.from, list.count()) || !validIndex(d.to, list.count())) break;
      list.move(static_cast<uint32_t>(d.from), static_cast<uint32_t>(d.to));
      int32_t& current = impulses ? data.currentImpulseCategory : data.currentCategory;
      if (validIndex(current, list.count())) current = followMove(current, d.from, d.to);
      out.changed = true;
      break;
    }
    case qvdragdrop::Kind::preset: {
      if (!validIndex(d.from, data.presets.count())) break;
      if (validIndex(d.category, data.presetCategories.count())) {
        qvpreset& p = *data.presets[static_cast<uint32_t>(d.from)];
        p.categoryid = data.presetCategories[static_cast<uint32_t>(d.category)]->id;
        setNodeCategory(p, p.categoryid);
        out.changed = true;
      } else if (validIndex(d.to, data.presets.count())) {
        data.presets.move(static_cast<uint32_t>(d.from), static_cast<uint32_t>(d.to));
        if (validIndex(data.currentPreset, data.presets.count()))
          data.currentPreset = followMove(data.currentPreset, d.from, d.to);
        out.changed = true;
      }
      break;
    }
    case qvdragdrop::Kind::impulse: {
      if (!validIndex(d.from, data.impulses.count())) break;
      if (validIndex(d.category, data.impulseCategories.count())) {
        data.impulses[static_cast<uint32_t>(d.from)]->categoryid =
            data.impulseCategories[static_cast<uint32_t>(d.category)]->id;
        out.changed = true;
      } else if (validIndex(d.to, data.impulses.count())) {
        data.impulses.move(static_cast<uint32_t>(d.from), static_cast<uint32_t>(d.to));
        if (data.lastChosenImpulse >= 0)
          data.lastChosenImpulse = followMove(data.lastChosenImpulse, d.from, d.to);
        out.impulseFrom = d.from;
        out.impulseTo = d.to;
        out.changed = true;
      }
      break;
    }
    case qvdragdrop::Kind::none: break;
  }
  return out;
}
