#include "plugin/rigread.hpp"

#include <memory>

#include "data/loadcodes.hpp"
#include "data/skinimages.hpp"
#include "units/unitfactory.hpp"

namespace {

// Returns the cursor to the depth it had when the guard was made, on every path
// out of a reader.
class depthguard {
public:
  explicit depthguard(qvjsoncursor& c) : c_(c), depth_(c.depth()) {}
  ~depthguard() {
    while (c_.depth() > depth_) c_.close();
  }
  depthguard(const depthguard&) = delete;
  depthguard& operator=(const depthguard&) = delete;

private:
  qvjsoncursor& c_;
  uint32_t depth_;
};

// Whether `image` lies in the run [first, last] of the image list: a relative
// number outside its run would reach into another run (a logo as a background).
bool inRun(int64_t image, int32_t first, int32_t last = kHighestImage) {
  return image >= first && image <= last;
}

// One full parameter entry of the current object into a record and its position.
int readFullRecord(const qvjsoncursor& c, qvparamrecord& r, float& fpos) {
  if (!c.getNumber("defa", r.defa)) return kFullNoDefa;
  if (!c.getInt("pind", r.pind)) return kFullNoPind;
  if (!c.getInt("type", r.type)) return kFullNoType;
  if (!c.getNumber("xscale", r.xscale)) return kFullNoXscale;
  if (!c.getNumber("xlow", r.xlow)) return kFullNoXlow;
  if (!c.getNumber("uscale", r.uscale)) return kFullNoUscale;
  if (!c.getNumber("ulow", r.ulow)) return kFullNoUlow;
  if (!c.getBool("setvis", r.setvis)) return kFullNoSetvis;
  if (!c.getString("nametag", r.nametag)) return kFullNoNametag;
  if (!c.getInt("posmode", r.posmode)) return kFullNoPosmode;
  if (!c.getInt("posx", r.posx)) return kFullNoPosx;
  if (!c.getInt("posy", r.posy)) return kFullNoPosy;
  if (!c.getNumber("fpos", fpos)) return kFullNoFpos;
  if (r.pind < 0) r.pind = 0;
  if (r.type < 1 || r.type > 7) r.type = 1;
  return kLoadOk;
}

int readFullBlock(qvjsoncursor& c, const qvprocstate& state, int32_t link, qvlist<qvutil>& out) {
  int32_t sblock = 0, group = 0;
  if (!c.getInt("sblock", sblock)) return kFullNoSblock;
  if (!c.getInt("blockgroup", group)) return kFullNoBlockgroup;
  if (group < 0) return kFullBadBlockgroup;
  if (group != 0) return kLoadOk;  // another slot's block: not part of this definition
  std::unique_ptr<qvutil> unit = createUnit(sblock, state, true, false);
  if (!unit) return kFullNoUnit;
  unit->blockgroup = link;
  depthguard guard(c);
  if (!c.enter("pars")) return kFullNoPars;
  const uint32_t n = c.count();
  for (uint32_t k = 0; k < n; ++k) {
    if (!c.enterAt(k)) return kFullNoPar;
    qvparamrecord r;
    float fpos = 0;
    const int code = readFullRecord(c, r, fpos);
    c.close();
    if (code != kLoadOk) return code;
    const uint32_t pind = static_cast<uint32_t>(r.pind);
    if (pind >= unit->records.count()) continue;  // no such parameter in this unit
    std::unique_ptr<qvparam> p = createParamFromRecord(r);
    p->setNormalized(fpos);
    unit->params.replace(pind, std::move(p));
    unit->records.replace(pind, std::make_unique<qvparamrecord>(std::move(r)));
  }
  unit->update(-1);
  out.append(std::move(unit));
  return kLoadOk;
}

}  // namespace

int readSlotLook(qvjsoncursor& c, qvslot& slot) {
  int32_t v = 0;
  if (c.getInt("bgimg", v)) {
    const int64_t image = int64_t{v} + kFirstBackgroundImage;
    slot.bgimg = inRun(image, kFirstBackgroundImage, kFirstLogoImage - 1) ? static_cast<int32_t>(image)
                                                                          : kFallbackBackgroundImage;
  }
  if (c.getInt("logoimg", v)) {
    const int64_t image = int64_t{v} + kFirstLogoImage;
    slot.logoimg = v != -1 && inRun(image, kFirstLogoImage) ? static_cast<int32_t>(image) : -1;
  }
  if (c.getInt("knobprof", v)) slot.knobprof = inRun(v, 0) ? v : kFallbackKnobProfile;
  depthguard guard(c);
  if (!c.enter("brackets")) return kPresetNoBrackets;
  slot.brackets.clear();
  const uint32_t n = c.count();
  for (uint32_t i = 0; i < n; ++i) {
    int32_t b = 0;
    if (c.getIntAt(i, b)) slot.brackets.push_back(b);
  }
  return kLoadOk;
}

int readFullBlocks(qvjsoncursor& c, const qvprocstate& state, int32_t link, qvlist<qvutil>& out) {
  depthguard guard(c);
  if (!c.enter("blocks")) return kPresetNoFullBlocks;
  const uint32_t n = c.count();
  for (uint32_t i = 0; i < n; ++i) {
    if (!c.enterAt(i)) return kFullNoBlock;
    const int code = readFullBlock(c, state, link, out);
    c.close();
    if (code != kLoadOk) return code;
  }
  return kLoadOk;
}

int readVisiblePositions(qvjsoncursor& c, const std::vector<bool>& visible, const qvposcodes& codes,
                         qvpositions& out) {
  depthguard guard(c);
  if (!c.enter("pars")) return codes.noPars;
  if (c.count() > visible.size()) return codes.tooMany;
  for (uint32_t k = 0; k < visible.size(); ++k) {
    if (!visible[k]) continue;
    if (!c.enterAt(k)) return codes.noEntry;
    float f = 0;
    const bool present = c.getNumber("fpos", f);
    c.close();
    if (!present) {
      if (codes.noFpos != 0) return codes.noFpos;
      continue;
    }
    out.emplace_back(k, f);
  }
  return kLoadOk;
}

void applyPositions(qvutil& unit, const qvpositions& positions) {
  for (const auto& [k, f] : positions) {
    if (k >= unit.records.count()) continue;
    const uint32_t pind = static_cast<uint32_t>(unit.records[k]->pind);
    if (pind < unit.params.count()) unit.params[pind]->setNormalized(f);
  }
}

int overlayBlocks(qvjsoncursor& c, qvlist<qvutil>& units) {
  depthguard guard(c);
  if (!c.enter("blocks")) return kPresetNoOverlayBlocks;
  const uint32_t n = c.count();
  for (uint32_t i = 0; i < n && i < units.count(); ++i) {
    depthguard block(c);
    if (!c.enterAt(i)) return kOverlayNoBlock;
    int32_t sblock = 0, group = 0;
    if (!c.getInt("sblock", sblock)) return kOverlayNoSblock;
    if (!c.getInt("blockgroup", group)) return kOverlayNoBlockgroup;
    if (group < 0) return kOverlayBadBlockgroup;
    qvutil& unit = *units[i];
    if (group != unit.blockgroup) continue;
    std::vector<bool> visible(unit.records.count());
    for (uint32_t k = 0; k < visible.size(); ++k) visible[k] = unit.records[k]->setvis;
    // Extra entries are harmless here: the unit's own records decide what is read.
    qvpositions positions;
    if (!c.enter("pars")) return kOverlayNoPars;
    for (uint32_t k = 0; k < visible.size(); ++k) {
      if (!visible[k]) continue;
      if (!c.enterAt(k)) return kOverlayNoPar;
      float f = 0;
      if (c.getNumber("fpos", f)) positions.emplace_back(k, f);
      c.close();
    }
    applyPositions(unit, positions);
    unit.update(-1);
  }
  return kLoadOk;
}

void arrangeUnits(qvrigdraft& draft) {
  const int32_t nslots = static_cast<int32_t>(draft.pedalSlots.count());
  std::vector<std::unique_ptr<qvutil>> all;
  while (!draft.units.empty()) all.push_back(draft.units.remove(0));
  for (auto& u : all) {
    if (u->blockgroup == 0) {
      u->bypassed = !draft.ampSlot.active;
    } else if (u->blockgroup > nslots) {
      u->blockgroup = 0;
    } else {
      u->bypassed = !draft.pedalSlots[u->blockgroup - 1]->active;
    }
  }
  int32_t ampBefore = nslots + 1;  // slot number the amplifier goes in front of
  for (int32_t k = 1; k <= nslots; ++k) {
    if (draft.pedalSlots[k - 1]->positioncode > 0) {
      ampBefore = k;
      break;
    }
  }
  auto takeGroup = [&](int32_t group) {
    for (auto& u : all)
      if (u && u->blockgroup == group) draft.units.append(std::move(u));
  };
  for (int32_t k = 1; k <= nslots + 1; ++k) {
    if (k == ampBefore) takeGroup(0);
    if (k <= nslots) takeGroup(k);
  }
}
