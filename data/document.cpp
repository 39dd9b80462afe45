#include "data/document.hpp"

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "data/loadcodes.hpp"
#include "platform/files.hpp"

namespace {

constexpr int32_t kAmpStartersId = 2;   // "Amp Starters", presets made from amplifier definitions
constexpr int32_t kAmpDefinitions = 0;  // categoryid of amplifier definitions
constexpr int32_t kPedalDefinitions = 1;

int readSettings(qvjsoncursor& r, qvdatamodel& data, qvdocread& out) {
  if (!r.enter("settings")) return kDocNoSettings;
  if (!r.enterAt(0)) return kDocNoSettings0;
  qvstring stored;
  r.getString("currentpreset", stored);  // read, but every read selects "Layered OD"
  data.currentPresetName = "Layered OD";
  r.getInt("currentcategory", data.currentCategory);
  r.close();
  if (!r.enterAt(1)) return kDocNoSettings1;
  const uint32_t n = r.count();
  for (uint32_t i = 0; i < n; ++i) {
    if (!r.enterAt(i)) return kDocNoPair;
    int32_t index = 0;
    float value = 0;
    if (!r.getIntAt(0, index)) return kDocNoPairIndex;
    if (index < 0 || index >= kDocumentSettingCount) return kDocBadPairIndex;
    if (!r.getNumberAt(1, value)) return kDocNoPairValue;
    out.settings.emplace_back(index, value);
    r.close();
  }
  r.close();
  r.close();
  out.settingsComplete = true;
  return kLoadOk;
}

int readCategoryList(qvjsoncursor& r, qvlist<qvcategory>& list, int noElement, int noId,
                     int noName, bool keep(int32_t id, const qvstring& name, void* ctx), void* ctx) {
  const uint32_t n = r.count();
  for (uint32_t i = 0; i < n; ++i) {
    if (!r.enterAt(i)) return noElement;
    auto c = std::make_unique<qvcategory>();
    if (!r.getInt("id", c->id)) return noId;
    if (!r.getString("name", c->name)) return noName;
    r.close();
    if (keep(c->id, c->name, ctx)) list.append(std::move(c));
  }
  return kLoadOk;
}

int readCategories(qvjsoncursor& r, qvdatamodel& data, bool factory) {
  if (!r.enter("categories")) return kDocNoCategories;
  data.presetCategories.clear();
  auto keep = [](int32_t id, const qvstring& name, void* ctx) {
    // Ids 0 and 1 name the definition groups; the factory's id 2 makes way for
    // "Amp Starters".
    const bool fromFactory = *static_cast<bool*>(ctx);
    return id > 1 && !name.empty() && (!fromFactory || id != kAmpStartersId);
  };
  int code = readCategoryList(r, data.presetCategories, kDocNoCategory, kDocNoCategoryId,
                              kDocNoCategoryName, keep, &factory);
  if (code != kLoadOk) return code;
  r.close();
  if (factory) {
    auto starters = std::make_unique<qvcategory>();
    starters->name = "Amp Starters";
    starters->id = kAmpStartersId;
    data.presetCategories.append(std::move(starters));
  }
  const int32_t count = static_cast<int32_t>(data.presetCategories.count());
  if (data.currentCategory < -1 || data.currentCategory >= count) data.currentCategory = -1;
  return kLoadOk;
}

// The "Amp Starters" preset of the amplifier definition the reader is on: the
// definition without its blocks, then "dataind", "categoryid" and blocks that
// carry only the visible records' positions.
int makeAmpStarter(qvjsoncursor& r, const qvstring& name, uint32_t ampIndex,
                   std::unique_ptr<qvpreset>& out) {
  auto p = std::make_unique<qvpreset>();
  p->name = name;
  p->categoryid = kAmpStartersId;
  p->user = 0;
  r.copyCurrentTo(p->node);
  qvjsoncursor& w = p->node;
  w.erase("blocks");
  w.erase("dataind");
  w.erase("categoryid");
  w.addInt("dataind", static_cast<int32_t>(ampIndex));
  w.addInt("categoryid", kAmpStartersId);
  w.openArray("blocks");
  if (!r.enter("blocks")) return kDocStarterNoBlocks;
  const uint32_t n = r.count();
  for (uint32_t b = 0; b < n; ++b) {
    if (!r.enterAt(b)) return kDocStarterNoBlock;
    int32_t sblock = 0, group = 0;
    if (!r.getInt("sblock", sblock)) return kDocStarterNoSblock;
    if (!r.getInt("blockgroup", group)) return kDocStarterNoBlockgroup;
    if (group < 0) return kDocStarterBadBlockgroup;
    if (!r.enter("pars")) return kDocStarterNoPars;
    w.openObject(nullptr);
    w.addInt("sblock", sblock);
    w.addInt("blockgroup", group);
    w.openArray("pars");
    const uint32_t m = r.count();
    for (uint32_t k = 0; k < m; ++k) {
      if (!r.enterAt(k)) return kDocStarterNoPar;
      bool setvis = false;
      if (!r.getBool("setvis", setvis)) return kDocStarterNoSetvis;
      w.openObject(nullptr);
      if (setvis) {
        float fpos = 0;
        if (!r.getNumber("fpos", fpos)) return kDocStarterNoFpos;
        w.addNumber("fpos", fpos);
      }
      w.close();
      r.close();
    }
    w.close();
    w.close();
    r.close();
    r.close();
  }
  r.close();
  w.rewind();
  out = std::move(p);
  return kLoadOk;
}

int readPresets(qvjsoncursor& r, qvdatamodel& data, bool factory) {
  if (!r.enter("presets")) return kDocNoPresets;
  const uint32_t n = r.count();
  if (n > 0) {
    data.presets.clear();
    data.currentPreset = -1;
    data.presetToSelect = -1;
    if (factory) {
      data.ampData.clear();
      data.pedalData.clear();
    }
  }
  for (uint32_t i = 0; i < n; ++i) {
    if (!r.enterAt(i)) return kDocNoPreset;
    int32_t categoryid = -1;
    qvstring name;
    r.getInt("categoryid", categoryid);
    if (!r.getString("name", name)) return kDocNoPresetName;
    if (categoryid == kAmpDefinitions || categoryid == kPedalDefinitions) {
      if (factory) {
        qvlist<qvdatarecord>& list = categoryid == kAmpDefinitions ? data.ampData : data.pedalData;
        if (categoryid == kAmpDefinitions) {
          std::unique_ptr<qvpreset> starter;
          const int code = makeAmpStarter(r, name, list.count(), starter);
          if (code != kLoadOk) return code;
          data.presets.append(std::move(starter));
        }
        auto def = std::make_unique<qvdatarecord>();
        def->name = name;
        r.moveCurrentTo(def->node);  // the reader's tree is not read again
        list.append(std::move(def));
      }
    } else {
      auto p = std::make_unique<qvpreset>();
      p->name = name;
      p->categoryid = categoryid;
      p->user = 0;
      r.moveCurrentTo(p->node);
      const uint32_t index = data.presets.append(std::move(p));
      if (name == data.currentPresetName) data.presetToSelect = static_cast<int32_t>(index);
    }
    r.close();
  }
  r.close();
  return kLoadOk;
}

int readImpulseCategories(qvjsoncursor& r, qvdatamodel& data) {
  if (!r.enter("impdatcategories")) return kDocNoImpulseCategories;
  if (r.count() > 0) {
    data.impulseCategories.clear();
    data.currentImpulseCategory = -1;
  }
  auto keep = [](int32_t, const qvstring& name, void*) { return !name.empty(); };
  const int code = readCategoryList(r, data.impulseCategories, kDocNoImpulseCategory,
                                    kDocNoImpulseCategoryId, kDocNoImpulseCategoryName, keep, nullptr);
  if (code == kLoadOk) r.close();
  return code;
}

int readImpulses(qvjsoncursor& r, qvdatamodel& data, qvdocread& out) {
  if (!r.enter("impulses")) return kDocNoImpulses;
  const uint32_t n = r.count();
  // Read aside: the playing cab blocks refer to the catalogue, which changes only
  // once the whole list has read.
  qvlist<qvimpulse> read;
  for (uint32_t i = 0; i < n; ++i) {
    if (!r.enterAt(i)) return kDocNoImpulseUid;
    auto e = std::make_unique<qvimpulse>();
    if (!r.getInt("uid", e->uid)) return kDocNoImpulseUid;
    if (!r.getInt("categoryid", e->categoryid)) return kDocNoImpulseCategoryid;
    if (!r.getString("name", e->name)) return kDocNoImpulseName;
    r.getString("file", e->file);
    r.getString("path", e->path);
    r.getInt("res", e->res);
    e->bufferIndex = -1;
    r.close();
    read.append(std::move(e));
  }
  r.close();
  if (n == 0) return kLoadOk;
  // Whatever holds catalogue indices finds its entries again by uid.
  out.impulsesReplaced = true;
  out.impulseIndexMap.resize(data.impulses.count());
  for (uint32_t k = 0; k < data.impulses.count(); ++k)
    out.impulseIndexMap[k] = findImpulseByUid(read, data.impulses[k]->uid);
  data.impulses.clear();
  while (!read.empty()) data.impulses.append(read.remove(0));
  data.lastChosenImpulse = -1;
  return kLoadOk;
}

void writeCategories(qvjsoncursor& w, const char* array, const qvlist<qvcategory>& list) {
  w.selectArray(array);
  for (uint32_t k = 0; k < list.count(); ++k) {
    w.openObject(nullptr);
    w.addInt("id", list[k]->id);
    w.addString("name", list[k]->name);
    w.close();
  }
}

// "<path>.bad-YYYYMMDD-HHMMSS", with a counter when that name is taken.
qvstring asideName(const qvstring& path) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  qvstring name = path + ".bad-" + stamp;
  for (int k = 2; probeFile(name).error != qvprobeerror::notFound && k < 1000; ++k)
    name = path + ".bad-" + stamp + "-" + std::to_string(k);
  return name;
}

}  // namespace

int readDocument(std::string_view text, bool factory, qvdatamodel& data, qvdocread& out) {
  qvjsoncursor& r = data.reader;
  const int code = r.parse(text);
  if (code != kLoadOk) return code;
  out.parsed = true;
  qvcursorrewind guard(r);
  int step = readSettings(r, data, out);
  if (step == kLoadOk) step = readCategories(r, data, factory);
  if (step == kLoadOk) step = readPresets(r, data, factory);
  if (step == kLoadOk) step = readImpulseCategories(r, data);
  if (step == kLoadOk) step = readImpulses(r, data, out);
  return step;
}

int32_t firstBrokenPreset(const qvdatamodel& data, size_t& members) {
  for (uint32_t i = 0; i < data.presets.count(); ++i) {
    const qvjsonnode& node = data.presets[i]->node.root();
    members = node.is_structured() ? node.size() : 0;
    if (!node.is_object() || members < 6) return static_cast<int32_t>(i);
  }
  return -1;
}

void writeDocument(qvdatamodel& data, std::span<const float> settingPositions) {
  qvjsoncursor& w = data.writer;
  w.clearRoot();
  const int32_t cur = data.currentPreset;
  w.selectArray("settings");
  w.openObject(nullptr);
  w.addString("currentpreset", cur >= 0 && static_cast<uint32_t>(cur) < data.presets.count()
                                   ? data.presets[static_cast<uint32_t>(cur)]->name
                                   : qvstring());
  w.addInt("currentcategory", data.currentCategory);
  w.close();
  w.openArray(nullptr);
  for (size_t i = 0; i < settingPositions.size(); ++i) {
    w.openArray(nullptr);
    w.addInt(nullptr, static_cast<int32_t>(i));
    w.addNumber(nullptr, settingPositions[i]);
    w.close();
  }
  w.close();
  writeCategories(w, "categories", data.presetCategories);
  w.selectArray("presets");
  for (uint32_t k = 0; k < data.presets.count(); ++k) w.addCopy(nullptr, data.presets[k]->node.root());
  writeCategories(w, "impdatcategories", data.impulseCategories);
  w.selectArray("impulses");
  for (uint32_t k = 0; k < data.impulses.count(); ++k) {
    const qvimpulse& e = *data.impulses[k];
    w.openObject(nullptr);
    w.addInt("uid", e.uid);
    w.addInt("categoryid", e.categoryid);
    w.addString("file", e.file);
    w.addString("path", e.path);
    w.addString("name", e.name);
    w.addInt("res", e.res);
    w.close();
  }
  w.rewind();
}

qvstring preserveUserDocument(const qvstring& path) {
  const qvstring aside = asideName(path);
  if (copyFile(path, aside)) return aside;
  // Not even readable for a copy: move it out of the way instead.
  if (std::rename(path.c_str(), aside.c_str()) == 0) return aside;
  return qvstring();
}
