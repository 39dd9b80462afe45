// The engine's side of the editor's controls: the control table, how a control's
// post is routed, and what a control does when its command runs between blocks.
// The kinds that edit the rig, the options and the menus are in controlkinds.cpp.
#include <cmath>
#include <mutex>

#include "data/impulsecmds.hpp"
#include "plugin/qvengine.hpp"
#include "plugin/rigedit.hpp"

namespace {

// Options whose controls post without waiting: the level knobs and the
// oversampling menu are moved often and need no answer.
bool optionPostsAsync(int32_t option) {
  return option == kSetOutputLevel || option == kSetInputLevel || option == kSetOversampling ||
         option == kSetVolumeScale || option == kSetInputScale;
}

// Kinds whose position or index name a place in the rig: a control made for an
// earlier rig would land on whatever now holds that place.
bool actsOnRigPlace(int32_t kind) {
  switch (kind) {
    case kKindBlockParam: case kKindValueField: case kKindShowControl: case kKindParamSettings:
    case kKindParamField: case kKindBlockTitle: case kKindDeleteBlock: case kKindAddBlock:
    case kKindSetPedal: case kKindAddPedalPre: case kKindAddPedalPost: case kKindDragTarget:
    case kKindBypassBlock: case kKindResetBlock: case kKindAntiAlias: case kKindPedalRoute:
    case kKindPedalMove: case kKindGroupActive: return true;
    default: return false;
  }
}

// Menus whose choice is an action: their shown value goes back to 0.
bool isActionMenu(int32_t kind) {
  switch (kind) {
    case kKindAddBlock: case kKindSetPedal: case kKindAddPedalPre: case kKindAddPedalPost:
    case kKindSetAmp: case kKindPedalRoute: case kKindCabSimMenu: case kKindPresetMenu:
    case kKindAmpSkin: case kKindPedalSkin: case kKindKnobStyle: case kKindLogo: return true;
    default: return false;
  }
}

}  // namespace

bool reportsPosition(const qvcontrol& c) {
  return c.controlClass == kClassKnob || c.controlClass == kClassSlider;
}

int32_t menuEntry(float value, int32_t entries) {
  const int32_t k = commandIndex(value);
  return k >= 1 && k <= entries ? k : 0;
}

int32_t qvengine::addControl(qvcontrol control) {
  control.rigGeneration = chain.rigGeneration;
  return static_cast<int32_t>(controls.append(std::make_unique<qvcontrol>(control)));
}

void qvengine::clearControls() {
  mailbox.dropPendingControl();
  controls.clear();
}

void qvengine::postText(int32_t tag, const qvstring& text) {
  {
    std::lock_guard<qvlock> hold(mailbox.commandLock());
    if (tag < 0 || static_cast<uint32_t>(tag) >= controls.count()) return;
    controls[static_cast<uint32_t>(tag)]->text = text;
  }
  postCommand(tag, 1.0f);
}

qvcommandtarget::ControlPost qvengine::classifyControl(int32_t code, float value,
                                                      int32_t& editorCode) {
  if (code < 0 || static_cast<uint32_t>(code) >= controls.count()) return ControlPost::Ignore;
  const qvcontrol& c = *controls[static_cast<uint32_t>(code)];
  if (c.draggable && pickInDragMode(code)) return ControlPost::Ignore;
  switch (c.kind) {
    case kKindCabSimMenu:
      if (state.settingInt(kSetDisableCabSims) == 1) return ControlPost::Ignore;
      if (value == 2.0f || value == 3.0f) {
        editorCode = value == 2.0f ? kCmdAddImpulseFile : kCmdImportFolder;
        return ControlPost::RunNow;
      }
      return ControlPost::QueueSync;
    case kKindPresetMenu:
      // The saves write the user document: on the editor's thread, as their
      // buttons do, not on the audio thread.
      if (value == 1.0f || value == 2.0f) {
        editorCode = value == 1.0f ? kCmdSavePreset : kCmdSavePresetAsNew;
        return ControlPost::RunNow;
      }
      return ControlPost::QueueSync;
    case kKindBlockParam:
    case kKindValueDisplay:
    case kKindGlobalGate: return ControlPost::QueueAsync;
    case kKindOption: return optionPostsAsync(c.index) ? ControlPost::QueueAsync : ControlPost::QueueSync;
    default: return ControlPost::QueueSync;
  }
}

void qvengine::runControlCommand(int32_t code, float value) { applyControl(code, value); }

namespace {

// The unit a kind-1 control's position names, or null.
qvutil* controlUnit(qvchain& chain, const qvcontrol& c) {
  if (c.position < 0) return nullptr;
  const uint32_t p = static_cast<uint32_t>(c.position);
  if (c.scope == qvcontrolscope::cabBlock) return p < chain.cabBlocks.count() ? chain.cabBlocks[p] : nullptr;
  return p < chain.units.count() ? chain.units[p] : nullptr;
}

qvparam* unitParam(qvutil* unit, int32_t index) {
  if (!unit || index < 0 || static_cast<uint32_t>(index) >= unit->params.count()) return nullptr;
  return unit->params[static_cast<uint32_t>(index)];
}

void setFromControl(qvparam& p, const qvcontrol& c, float value) {
  if (reportsPosition(c)) p.setNormalized(value);
  else p.setValue(value);
}

}  // namespace

void qvengine::applyControl(int32_t tag, float value) {
  if (tag < 0 || static_cast<uint32_t>(tag) >= controls.count()) return;
  if (!std::isfinite(value)) return;  // a broken view must not poison a parameter
  qvcontrol& c = *controls[static_cast<uint32_t>(tag)];
  // The editor rebuilds its controls after every rig change and box change; until
  // then the old ones do nothing.
  if (actsOnRigPlace(c.kind) && c.rigGeneration != chain.rigGeneration) return;
  if (c.box != 0 && c.box != boxNumber(ui_.box)) return;
  c.value = value;
  qvutil* unit = controlUnit(chain, c);
  switch (c.kind) {
    case kKindBlockParam:
      if (qvparam* p = unitParam(unit, c.index)) {
        setFromControl(*p, c, value);
        unit->update(c.index);
        if (c.scope == qvcontrolscope::cabBlock) chain.updateCabActivity();  // "Enabled"
      }
      break;
    case kKindGlobalGate:
      if (qvparam* p = unitParam(chain.gate.get(), c.index)) {
        setFromControl(*p, c, value);
        chain.gate->update(c.index);
      }
      break;
    case kKindValueField: applyValueField(c); break;
    case kKindShowControl:
      if (unit && c.scope == qvcontrolscope::unit && c.index >= 0 &&
          static_cast<uint32_t>(c.index) < unit->records.count()) {
        unit->records[static_cast<uint32_t>(c.index)]->setvis = value > 0.0f;
        noteRecordEdit(*this, c.position);
        openBox(qvboxkind::blockParams, c.position);
      }
      break;
    case kKindParamSettings:
      if (unitParam(unit, c.index)) openBox(qvboxkind::paramEditor, c.position, c.index);
      break;
    case kKindParamField: applyParamField(c); break;
    case kKindBlockTitle:
      if (unit && c.scope == qvcontrolscope::unit) openBox(qvboxkind::blockParams, c.position);
      break;
    case kKindBypassBlock:
      if (unit && c.scope == qvcontrolscope::unit) unit->bypassed = !unit->bypassed;
      break;
    case kKindValueDisplay:
      if (c.index == 3) rebuildChain(*this);
      break;
    case kKindRefreshBlocks:
      rebuildChain(*this);
      requestRebuild();
      break;
    case kKindCategoryName: editorName = c.text; break;
    case kKindOption: applyOption(c, value); break;
    case kKindPedalMove:
      if (c.position >= 1 && static_cast<uint32_t>(c.position) <= chain.pedalSlots.count()) {
        ui_.drag = qvdragphase::movingPedal;
        ui_.pickedPosition = c.position;
        requestRebuild();
      }
      break;
    case kKindDragTarget: applyDrop(c); break;
    default: applyRigKind(c, value); break;
  }
  if (isActionMenu(c.kind)) c.value = 0.0f;
}
