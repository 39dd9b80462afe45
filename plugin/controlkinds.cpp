// Control kinds that edit the rig, the options, the preset menu, the skins and
// the parameter boxes' text fields. They run where the mailbox is drained (the
// audio thread between blocks, or the posting thread while audio is idle), under
// the command lock; views are only asked to rebuild.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string>

#include "data/impulsecmds.hpp"
#include "data/skinimages.hpp"
#include "plugin/qvengine.hpp"
#include "plugin/rigedit.hpp"
#include "units/unitfactory.hpp"

namespace {

constexpr int32_t kMaxPedalsWhenLimited = 5;
constexpr int32_t kMaxOversampling = 8;  // the "Antialias:8x" entry

bool equalsNoCase(const qvstring& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  return i == a.size() && b[i] == '\0';
}

// A typed number: a leading decimal number (a unit after it is ignored), or
// "on" / "off" for switches. False for anything else or a non-finite number.
bool parseTypedNumber(const qvstring& text, float& out) {
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  const qvstring t = first == qvstring::npos ? qvstring() : text.substr(first, last - first + 1);
  if (equalsNoCase(t, "on")) {
    out = 1.0f;
    return true;
  }
  if (equalsNoCase(t, "off")) {
    out = 0.0f;
    return true;
  }
  char* end = nullptr;
  const float v = std::strtof(t.c_str(), &end);
  if (end == t.c_str() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// The anti-aliasing menu's entries are the factors 1 to 6 and 8: its seventh
// entry is 8x. A value of 8 (the factor itself) is taken as well.
int32_t oversamplingChoice(float value) {
  const int32_t k = commandIndex(value);
  if (k == 7 || k == kMaxOversampling) return kMaxOversampling;
  return k >= 1 && k < 7 ? k : 0;
}

}  // namespace

void qvengine::applyOption(const qvcontrol& c, float value) {
  if (c.index < 0 || c.index >= kSettingCount) return;
  qvparam& p = *state.settings[static_cast<uint32_t>(c.index)];
  switch (c.index) {
    case kSetOversampling: {
      const int32_t factor = oversamplingChoice(value);
      if (factor == 0) return;
      p.setValue(static_cast<float>(factor));
      break;
    }
    case kSetInputSource:
    case kSetBypassOrMute: {  // radio groups of three
      const int32_t choice = commandIndex(value);
      if (choice < 0 || choice > 2) return;
      p.setValue(static_cast<float>(choice));
      break;
    }
    default:
      if (reportsPosition(c)) p.setNormalized(value);
      else if (p.getType() == 4) p.setValue(value != 0.0f ? 1.0f : 0.0f);  // a toggle's on value
      else p.setValue(value);
      break;
  }
  settingChanged(c.index);
  switch (c.index) {
    case kSetShowValue:
    case kSetLayoutSwitch:
    case kSetShowTips:
    case kSetBypassOrMute: requestRebuild(); break;
    case kSetProjectFolder:
    case kSetInputSource:
    case kSetDisableCabSims: openBox(qvboxkind::none); break;
    default: break;
  }
}

void qvengine::applyValueField(const qvcontrol& c) {
  if (c.scope != qvcontrolscope::unit || c.position < 0 ||
      static_cast<uint32_t>(c.position) >= chain.units.count())
    return;
  qvutil& unit = *chain.units[static_cast<uint32_t>(c.position)];
  float v = 0.0f;
  if (c.index < 0 || static_cast<uint32_t>(c.index) >= unit.params.count() ||
      !parseTypedNumber(c.text, v))
    return;
  unit.params[static_cast<uint32_t>(c.index)]->setValue(v);
  unit.update(c.index);
  requestRebuild();  // the knob follows
}

void qvengine::applyParamField(const qvcontrol& c) {
  if (c.scope != qvcontrolscope::unit || c.position < 0 ||
      static_cast<uint32_t>(c.position) >= chain.units.count())
    return;
  qvutil& unit = *chain.units[static_cast<uint32_t>(c.position)];
  const uint32_t k = static_cast<uint32_t>(c.index);
  if (c.index < 0 || k >= unit.params.count() || k >= unit.records.count()) return;
  qvparamrecord& r = *unit.records[k];
  qvparam& p = *unit.params[k];
  float v = 0.0f;
  if (c.subindex == kFieldName) {
    r.nametag = c.text;
  } else if (!parseTypedNumber(c.text, v)) {
    return;
  } else {
    switch (c.subindex) {
      case kFieldRange:
        if (v == 0.0f) return;  // every mapping back from an engine value divides by it
        r.xscale = p.xscale = v;
        break;
      case kFieldMin: r.xlow = p.xlow = v; break;
      case kFieldShownRange: r.uscale = p.uscale = v; break;
      case kFieldShownMin: r.ulow = p.ulow = v; break;
      case kFieldX:
      case kFieldY: {
        // -1 places the control automatically; otherwise it stays in the window.
        const int32_t limit = c.subindex == kFieldX ? 840 : 480;
        if (v < -1.0f || v >= static_cast<float>(limit)) return;
        (c.subindex == kFieldX ? r.posx : r.posy) = static_cast<int32_t>(v);
        break;
      }
      default: return;
    }
    // The knob keeps its place; the engine and shown values follow the new scale.
    p.setNormalized(p.fpos);
    unit.update(c.index);
  }
  noteRecordEdit(*this, c.position);
  requestRebuild();
}

void qvengine::applyRigKind(const qvcontrol& c, float value) {
  switch (c.kind) {
    case kKindDeleteBlock: afterRigEdit(removeBlock(*this, c.position), true); break;
    case kKindResetBlock: afterRigEdit(resetBlock(*this, c.position), false); break;
    case kKindAntiAlias: afterRigEdit(toggleBlockAntiAlias(*this, c.position), false); break;
    case kKindAddBlock:
      if (const int32_t k = menuEntry(value, static_cast<int32_t>(std::size(kBlockTypes))))
        afterRigEdit(insertBlock(*this, k - 1, c.position), true);
      break;
    case kKindSetPedal:
    case kKindAddPedalPre:
    case kKindAddPedalPost: {
      // "Set Pedal" lists "None" before the pedals.
      const int32_t entries = static_cast<int32_t>(data.pedalData.count()) + (c.kind == kKindSetPedal);
      if (const int32_t k = menuEntry(value, entries)) applyPedalMenu(c, k);
      break;
    }
    case kKindPedalRoute:
      if (const int32_t k = menuEntry(value, 2)) afterRigEdit(routePedal(*this, c.position, k == 2), true);
      break;
    case kKindGroupActive:
      if (setGroupActive(*this, c.position, value != 0.0f) == kRigChanged) requestRebuild();
      break;
    case kKindSetAmp:
      if (const int32_t k = menuEntry(value, static_cast<int32_t>(data.ampData.count())))
        afterRigEdit(setAmp(*this, k - 1), true);
      break;
    case kKindCabSimMenu:
      if (menuEntry(value, 1) == 1 && state.settingInt(kSetDisableCabSims) != 1 &&
          data.impulses.count() > 0 && loadImpulse(0, -1)) {
        chain.updateCabActivity();
        requestRebuild();
      }
      break;
    case kKindPresetMenu:
      if (const int32_t k = menuEntry(value, 4)) applyPresetMenu(k);
      break;
    case kKindAmpSkin:
      if (const int32_t k = menuEntry(value, kAmpFaceMenuEntries)) {
        setRigBackground(*this, kFirstBackgroundImage + k - 1);
        requestRebuild();
      }
      break;
    case kKindPedalSkin:
      if (const int32_t k = menuEntry(value, kPedalFaceMenuEntries)) {
        setRigBackground(*this, kFirstPedalFaceImage + k - 1);
        requestRebuild();
      }
      break;
    case kKindKnobStyle:
      if (const int32_t k = menuEntry(value, kKnobStyleMenuEntries)) {
        setRigKnobProfile(*this, k);
        requestRebuild();
      }
      break;
    case kKindLogo:
      if (const int32_t k = menuEntry(value, kLogoMenuEntries)) {
        setRigLogo(*this, k == 1 ? -1 : kFirstLogoImage + k - 2);
        requestRebuild();
      }
      break;
    default: break;  // 10, 16, 22: captions and spacers
  }
}

void qvengine::applyPedalMenu(const qvcontrol& c, int32_t entry) {
  const int32_t definition = c.kind == kKindSetPedal ? entry - 2 : entry - 1;  // -1: "None"
  const int32_t pedals = static_cast<int32_t>(chain.pedalSlots.count());
  if (c.position < 1 || c.position - 1 > pedals) return;
  if (c.position - 1 < pedals) {
    afterRigEdit(setPedal(*this, c.position, definition), true);
    return;
  }
  if (definition == -1) return;
  if (pedals >= kMaxPedalsWhenLimited && state.settingInt(kSetLimitItems) != 0) {
    showMessage("Pedals can't be more than max, set in options.", 2);
    return;
  }
  afterRigEdit(addPedal(*this, definition, c.kind == kKindAddPedalPost), true);
}

void qvengine::applyPresetMenu(int32_t entry) {
  const int32_t cur = data.currentPreset;
  const bool current = cur >= 0 && static_cast<uint32_t>(cur) < data.presets.count();
  switch (entry) {
    case 1: savePresetCommand(false); break;  // normally run at once on the editor's thread
    case 2: savePresetCommand(true); break;
    case 3:
      if (current) selectPresetCommand(cur);
      break;
    case 4:
      if (current) {
        clearRigAndReset(*this);
        openBox(qvboxkind::none);
      }
      break;
    default: break;
  }
}

void qvengine::applyDrop(const qvcontrol& target) {
  int result = kRigUnchanged;
  switch (ui_.drag) {
    case qvdragphase::movingPedal: result = movePedal(*this, ui_.pickedPosition, target.position); break;
    case qvdragphase::pickedBlock: result = moveBlock(*this, ui_.pickedPosition, target.position); break;
    case qvdragphase::picked:
      // A pedal's own control picked up carries the pedal.
      if (ui_.pickedKind == kKindSetPedal || ui_.pickedKind == kKindPedalRoute ||
          ui_.pickedKind == kKindPedalMove || ui_.pickedKind == kKindGroupActive)
        result = movePedal(*this, ui_.pickedPosition, target.position);
      break;
    default: return;  // nothing picked
  }
  ui_.drag = qvdragphase::none;
  ui_.pickedTag = ui_.pickedPosition = -1;
  ui_.pickedKind = 0;
  afterRigEdit(result, true);
  requestRebuild();  // the overlay goes
}

void qvengine::afterRigEdit(int result, bool blocksMoved) {
  if (result == kRigUnchanged) return;
  if (result == kRigPedalBlock) {
    showMessage("A pedal's blocks come with the pedal: choose another pedal instead.", 2);
    return;
  }
  if (result != kRigChanged) {
    showMessage("Warning: loadpreset failed ~ " + std::to_string(result), 2);
    return;
  }
  if (blocksMoved && boxNumber(ui_.box) == boxNumber(qvboxkind::blockParams)) openBox(qvboxkind::none);
  requestRebuild();
}
