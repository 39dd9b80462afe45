#include "tools/factorydoc/factorybuild.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>

#include "data/jsoncursor.hpp"
#include "units/cabsim.hpp"
#include "units/qvprocstate.hpp"
#include "units/qvutil.hpp"
#include "platform/files.hpp"
#include "units/unitfactory.hpp"

namespace {

// The factory data stores the tube "Mode" with 8 steps (1..8) instead of the
// constructor's 9, so every mode sits on a position exact in six decimals.
constexpr int kTubeModeParam = 7;
constexpr float kTubeModeSteps = 8;

// The rig a preset describes, as units (signal order, blockgroup set) plus its
// cab sims with the uid of their impulse and its input gate.
struct fdRig {
  std::vector<std::unique_ptr<qvutil>> units;
  std::vector<std::unique_ptr<qvusconv>> cabs;
  std::vector<int> cabUids;
  std::unique_ptr<qvutil> gate;
};

// Units of preset `p` (amplifier definition, pedals, tweaks, cabs, gate), or of a
// definition on its own. Return "" or an error naming the source line.
std::string buildPresetRig(const fdSource& src, const fdPreset& p, const qvprocstate& state,
                           fdRig& rig);
std::string buildDefinitionRig(const fdSource& src, const fdDefinition& d, const qvprocstate& state,
                               fdRig& rig);

std::string paramList(const qvutil& u) {
  std::string out;
  for (uint32_t i = 0; i < u.records.count(); ++i)
    out += (i ? ", " : "") + std::string(paramTable(u.blocktype())[i].nametag);
  return out;
}

std::string unitName(const qvutil& u) {
  return u.blocktype() == kBlockCabSim ? "cab" : blockDisplayName(u.blocktype());
}

// Index of parameter `name` of unit `u`: "p<index>", the table's name or the label the
// definition gave it (spaces ignored, any case). Sets `err` and returns -1 otherwise.
int findParam(const qvutil& u, const std::string& name, std::string& err) {
  int n = static_cast<int>(u.records.count());
  if (name.size() > 1 && name[0] == 'p' && std::isdigit(static_cast<unsigned char>(name[1]))) {
    int i = std::atoi(name.c_str() + 1);
    if (i < n && name.compare(1, std::string::npos, std::to_string(i)) == 0) return i;
    err = unitName(u) + " has no parameter " + name + " (p0..p" + std::to_string(n - 1) + ")";
    return -1;
  }
  std::set<int> hits;
  std::string want = normalisedName(name);
  auto table = paramTable(u.blocktype());
  for (int i = 0; i < n; ++i)
    if (normalisedName(table[i].nametag) == want || normalisedName(u.records[i]->nametag) == want)
      hits.insert(i);
  if (hits.size() == 1) return *hits.begin();
  err = unitName(u) + (hits.empty() ? " has no parameter '" + name + "' (it has: " + paramList(u) + ")"
                                    : ": '" + name + "' names several parameters; use p<index>");
  return -1;
}

// Sets engine value v after checking it lies on the parameter's travel.
std::string setParamValue(qvutil& u, int i, float v) {
  qvparam& p = *u.params[i];
  int type = p.getType();
  float lo = p.xlow, hi = p.xlow + p.xscale;
  const char* name = paramTable(u.blocktype())[i].nametag;
  auto range = [&](float a, float b) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%g..%g", a, b);
    return std::string(buf);
  };
  if (type == 4) {
    if (v != 0 && v != 1) return unitName(u) + " " + name + " is a switch: 0 or 1";
  } else if (type == 5) {
    if (v != std::floor(v) || v < lo || v > hi - 1)
      return unitName(u) + " " + name + " takes the whole numbers " + range(lo, hi - 1);
  } else if (v < std::fmin(lo, hi) - 1e-6f || v > std::fmax(lo, hi) + 1e-6f) {
    char got[32];
    std::snprintf(got, sizeof got, "%g", v);
    return unitName(u) + " " + name + " runs " + range(lo, hi) + ", not " + got;
  }
  p.setValue(v);
  return "";
}

std::string applyEdits(qvutil& u, const std::vector<fdParamEdit>& edits, bool visibleOnly) {
  for (const fdParamEdit& e : edits) {
    std::string err;
    int i = findParam(u, e.param, err);
    if (i < 0) return err;
    qvparamrecord& r = *u.records[i];
    switch (e.kind) {
      case fdParamEdit::kValue:
        if (visibleOnly && !r.setvis)
          return unitName(u) + " " + paramTable(u.blocktype())[i].nametag +
                 " is not a knob of the definition, so a preset cannot change it";
        err = setParamValue(u, i, e.value);
        if (!err.empty()) return err;
        break;
      case fdParamEdit::kShow: r.setvis = true; break;
      case fdParamEdit::kHide: r.setvis = false; break;
      case fdParamEdit::kLabel:
        r.setvis = true;
        r.nametag = e.label;
        break;
    }
  }
  return "";
}

std::unique_ptr<qvutil> makeUnit(int sblock, const qvprocstate& state) {
  std::unique_ptr<qvutil> u = createUnit(sblock, state, true, true);
  if (sblock == kBlockTubeGain) {
    qvparamrecord& r = *u->records[kTubeModeParam];
    qvparam& p = *u->params[kTubeModeParam];
    r.xscale = r.uscale = p.xscale = p.uscale = kTubeModeSteps;
    p.setValue(p.getValue());
  }
  return u;
}

const fdDefinition* findDef(const std::vector<fdDefinition>& list, const std::string& name, int* index) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].name == name) {
      if (index) *index = static_cast<int>(i);
      return &list[i];
    }
  return nullptr;
}

int findImpulseUid(const fdSource& src, const std::string& name) {
  for (const fdImpulse& imp : src.impulses)
    if (imp.name == name) return imp.uid;
  return -1;
}

// Appends the definition's units with blockgroup `group`.
std::string addDefinitionUnits(const fdDefinition& d, int group, const qvprocstate& state, fdRig& rig) {
  for (const fdBlock& b : d.blocks) {
    std::unique_ptr<qvutil> u = makeUnit(b.sblock, state);
    u->blockgroup = group;
    std::string err = applyEdits(*u, b.edits, false);
    if (!err.empty()) return b.where.text() + ": " + err;
    u->update(-1);
    rig.units.push_back(std::move(u));
  }
  int n = static_cast<int>(d.blocks.size());
  for (size_t i = 0; i + 1 < d.brackets.size(); i += 2) {
    int a = d.brackets[i], e = d.brackets[i + 1];
    int lower = i ? d.brackets[i - 1] : 0;
    if (a < lower || e <= a || e > n)
      return d.where.text() + ": '" + d.name + "': brackets must ascend within its " +
             std::to_string(n) + " blocks";
  }
  return "";
}

std::string addCabs(const fdSource& src, const std::vector<fdCab>& cabs, const qvprocstate& state,
                    fdRig& rig) {
  for (const fdCab& c : cabs) {
    int uid = findImpulseUid(src, c.impulse);
    if (uid < 0) return c.where.text() + ": no impulse named '" + c.impulse + "'";
    auto cab = std::make_unique<qvusconv>(state, true);
    std::string err = applyEdits(*cab, c.edits, false);
    if (!err.empty()) return c.where.text() + ": " + err;
    rig.cabs.push_back(std::move(cab));
    rig.cabUids.push_back(uid);
  }
  return "";
}

int categoryId(const fdSource& src, const std::string& name) {
  for (const fdCategory& c : src.categories)
    if (c.name == name) return c.id;
  return -1;
}

// The members every preset object opens with, in the order the plug-in writes them.
struct Head {
  std::string name;
  int categoryid = -1;
  int dataind = -1;
  const fdDefinition* look = nullptr;  // skin and brackets
  int cabCount = 0;
  float vol = 0, invol = 0;
};

void writeHead(qvjsoncursor& w, const Head& h) {
  w.addInt("version", 1);
  w.addString("name", h.name);
  w.addBool("user", false);
  w.addInt("categoryid", h.categoryid);
  w.addInt("currentconvblock", h.cabCount > 0 ? 0 : -1);
  w.addInt("dataind", h.dataind);
  w.addBool("active", true);
  w.addInt("bgimg", h.look->bgimg);
  w.addInt("logoimg", h.look->logoimg);
  w.addInt("knobprof", h.look->knobprof);
  w.addInt("presethinter", 1);
  w.addInt("buttonx", 0);
  w.addInt("buttony", 0);
  w.addNumber("vol", h.vol);
  w.addNumber("invol", h.invol);
  w.openArray("brackets");
  for (int b : h.look->brackets) w.addInt(nullptr, b);
  w.close();
}

// "blocks", "convblocks" and "flexblocks" of a rig; full records for definitions.
void writeRig(qvjsoncursor& w, const fdRig& rig, bool full) {
  w.openArray("blocks");
  for (const auto& u : rig.units) {
    w.openObject(nullptr);
    u->serialise(w, full);
    w.close();
  }
  w.close();
  w.openArray("convblocks");
  for (size_t i = 0; i < rig.cabs.size(); ++i) {
    w.openObject(nullptr);
    rig.cabs[i]->serialiseconv(w, rig.cabUids[i]);
    w.close();
  }
  w.close();
  w.openArray("flexblocks");
  w.openObject(nullptr);
  rig.gate->serialise(w, false);
  w.close();
  w.close();
}

std::string writeDefinition(qvjsoncursor& w, const fdSource& src, const fdDefinition& d, int categoryid,
                            const qvprocstate& state) {
  fdRig rig;
  std::string err = buildDefinitionRig(src, d, state, rig);
  if (!err.empty()) return err;
  Head h{d.name, categoryid, -1, &d, static_cast<int>(rig.cabs.size()), *src.settings[0], *src.settings[1]};
  w.openObject(nullptr);
  writeHead(w, h);
  w.openArray("slots");
  w.close();
  writeRig(w, rig, true);
  writeAliasOptions(w, d.antialias);
  w.close();
  return "";
}

std::string writePreset(qvjsoncursor& w, const fdSource& src, const fdPreset& p, const qvprocstate& state) {
  fdRig rig;
  std::string err = buildPresetRig(src, p, state, rig);
  if (!err.empty()) return err;
  int ampIndex = -1;
  const fdDefinition* amp = findDef(src.amps, p.amp, &ampIndex);
  Head h{p.name, categoryId(src, p.category), ampIndex, amp, static_cast<int>(rig.cabs.size()),
         p.vol.value_or(*src.settings[0]), p.invol.value_or(*src.settings[1])};
  w.openObject(nullptr);
  writeHead(w, h);
  w.openArray("slots");
  for (const fdPedalUse& u : p.pedals) {
    int index = -1;
    findDef(src.pedals, u.definition, &index);
    w.openObject(nullptr);
    w.addInt("dataind", index);
    w.addBool("active", u.active);
    w.addBool("enableantialias", true);
    w.addInt("positioncode", u.afterAmp ? 1 : 0);
    w.close();
  }
  w.close();
  writeRig(w, rig, false);
  writeAliasOptions(w, p.antialias.value_or(amp->antialias));
  w.close();
  return "";
}

void writeCategories(qvjsoncursor& w, const char* name, const std::vector<fdCategory>& list) {
  w.selectArray(name);
  for (const fdCategory& c : list) {
    w.openObject(nullptr);
    w.addInt("id", c.id);
    w.addString("name", c.name);
    w.close();
  }
}

std::string buildDefinitionRig(const fdSource& src, const fdDefinition& d, const qvprocstate& state,
                               fdRig& rig) {
  std::string err = addDefinitionUnits(d, 0, state, rig);
  if (err.empty()) err = addCabs(src, d.cabs, state, rig);
  if (!err.empty()) return err;
  rig.gate = createUnit(kBlockGate, state, true, true);
  return "";
}

std::string buildPresetRig(const fdSource& src, const fdPreset& p, const qvprocstate& state, fdRig& rig) {
  const std::string at = p.where.text() + ": preset '" + p.name + "': ";
  const fdDefinition* amp = findDef(src.amps, p.amp, nullptr);
  if (!amp) return at + "no ampdef named '" + p.amp + "'";
  // Unit order as the loader rebuilds it: pre-amp pedals, the amplifier, post-amp pedals.
  std::vector<int> firstUnit(p.pedals.size() + 1, 0);
  std::vector<int> unitCount(p.pedals.size() + 1, 0);
  bool ampPlaced = false;
  auto placeAmp = [&]() -> std::string {
    firstUnit[0] = static_cast<int>(rig.units.size());
    std::string err = addDefinitionUnits(*amp, 0, state, rig);
    unitCount[0] = static_cast<int>(amp->blocks.size());
    ampPlaced = true;
    return err;
  };
  for (size_t k = 0; k < p.pedals.size(); ++k) {
    const fdPedalUse& use = p.pedals[k];
    const fdDefinition* pedal = findDef(src.pedals, use.definition, nullptr);
    if (!pedal) return use.where.text() + ": no pedaldef named '" + use.definition + "'";
    if (use.afterAmp && !ampPlaced) {
      std::string err = placeAmp();
      if (!err.empty()) return err;
    }
    firstUnit[k + 1] = static_cast<int>(rig.units.size());
    std::string err = addDefinitionUnits(*pedal, static_cast<int>(k + 1), state, rig);
    if (!err.empty()) return err;
    unitCount[k + 1] = static_cast<int>(pedal->blocks.size());
    if (!use.active)
      for (int i = 0; i < unitCount[k + 1]; ++i) rig.units[firstUnit[k + 1] + i]->bypassed = true;
  }
  if (!ampPlaced) {
    std::string err = placeAmp();
    if (!err.empty()) return err;
  }
  for (const fdTweak& t : p.tweaks) {
    if (t.slot > static_cast<int>(p.pedals.size()))
      return t.where.text() + ": the preset has " + std::to_string(p.pedals.size()) + " pedal slot(s)";
    if (t.block >= unitCount[t.slot])
      return t.where.text() + ": " + (t.slot ? "pedal slot " + std::to_string(t.slot) : std::string("the amp")) +
             " has blocks 0.." + std::to_string(unitCount[t.slot] - 1);
    qvutil& u = *rig.units[firstUnit[t.slot] + t.block];
    std::string err = applyEdits(u, t.edits, true);
    if (!err.empty()) return t.where.text() + ": " + err;
    u.update(-1);
  }
  std::string err = addCabs(src, p.cabsGiven ? p.cabs : amp->cabs, state, rig);
  if (!err.empty()) return err;
  rig.gate = createUnit(kBlockGate, state, true, true);
  err = applyEdits(*rig.gate, p.gate, true);
  if (!err.empty()) return at + "gate: " + err;
  rig.gate->update(-1);
  return "";
}

}  // namespace

std::string buildFactoryDocument(const fdSource& src, std::string& text) {
  qvprocstate state;
  qvjsoncursor w;
  w.selectArray("settings");
  w.openObject(nullptr);
  w.addString("currentpreset", src.currentPreset);
  w.addInt("currentcategory", src.currentCategory);
  w.close();
  w.openArray(nullptr);
  for (size_t i = 0; i < src.settings.size(); ++i) {
    w.openArray(nullptr);
    w.addInt(nullptr, static_cast<int32_t>(i));
    w.addNumber(nullptr, *src.settings[i]);
    w.close();
  }
  w.close();
  writeCategories(w, "categories", src.categories);
  w.selectArray("presets");
  for (const fdDefinition& d : src.amps) {
    if (d.blocks.empty()) return d.where.text() + ": ampdef '" + d.name + "' has no blocks";
    std::string err = writeDefinition(w, src, d, 0, state);
    if (!err.empty()) return err;
  }
  for (const fdDefinition& d : src.pedals) {
    if (d.blocks.empty()) return d.where.text() + ": pedaldef '" + d.name + "' has no blocks";
    std::string err = writeDefinition(w, src, d, 1, state);
    if (!err.empty()) return err;
  }
  for (const fdPreset& p : src.presets) {
    std::string err = writePreset(w, src, p, state);
    if (!err.empty()) return err;
  }
  writeCategories(w, "impdatcategories", src.impulseCategories);
  w.selectArray("impulses");
  for (const fdImpulse& imp : src.impulses) {
    w.openObject(nullptr);
    w.addInt("uid", imp.uid);
    w.addInt("categoryid", imp.categoryid);
    w.addString("file", "");
    w.addString("path", "");
    w.addString("name", imp.name);
    w.addInt("res", imp.uid);
    w.close();
  }
  text = w.text();
  return "";
}

std::string buildFactoryDocumentFromFiles(const std::vector<std::string>& paths, std::string& text,
                                          fdSource* parsed) {
  fdSource src;
  for (const std::string& path : paths) {
    qvstring bytes;
    if (!readWholeFile(path, bytes)) return path + ": cannot read";
    std::string name = path.substr(path.find_last_of('/') + 1);
    std::string err = readFactorySource(bytes, name, src);
    if (!err.empty()) return err;
  }
  std::string err = checkFactorySource(src);
  if (!err.empty()) return err;
  err = buildFactoryDocument(src, text);
  if (parsed) *parsed = std::move(src);
  return err;
}
