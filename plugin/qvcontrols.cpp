// The engine's side of the editor's controls: the control table, how a control's
// post is routed, and what a control does when its command runs between blocks.
#include <cmath>

#include "plugin/qvengine.hpp"

namespace {

// Options whose controls post without waiting: the level knobs and the
// oversampling menu are moved often and need no answer.
bool optionPostsAsync(int32_t option) {
  return option == kSetOutputLevel || option == kSetInputLevel || option == kSetOversampling ||
         option == kSetVolumeScale || option == kSetInputScale;
}

bool reportsPosition(const qvcontrol& c) {
  return c.controlClass == kClassKnob || c.controlClass == kClassSlider;
}

}  // namespace

int32_t qvengine::addControl(qvcontrol control) {
  control.rigGeneration = chain.rigGeneration;
  return static_cast<int32_t>(controls.append(std::make_unique<qvcontrol>(control)));
}

void qvengine::clearControls() {
  mailbox.dropPendingControl();
  controls.clear();
}

qvcommandtarget::ControlPost qvengine::classifyControl(int32_t code, float value,
                                                      int32_t& editorCode) {
  if (code < 0 || static_cast<uint32_t>(code) >= controls.count()) return ControlPost::Ignore;
  const qvcontrol& c = *controls[static_cast<uint32_t>(code)];
  switch (c.kind) {
    case kKindCabSimMenu:
      if (state.settingInt(kSetDisableCabSims) == 1) return ControlPost::Ignore;
      if (value == 2.0f || value == 3.0f) {
        editorCode = value == 2.0f ? kCmdAddImpulseFile : kCmdImportFolder;
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

void qvengine::runControlCommand(int32_t code, float value) {
  if (code < 0 || static_cast<uint32_t>(code) >= controls.count()) return;
  if (!std::isfinite(value)) return;  // a broken view must not poison a parameter
  qvcontrol& c = *controls[static_cast<uint32_t>(code)];
  c.value = value;
  switch (c.kind) {
    case kKindBlockParam: {
      // A control made for an earlier rig would land on whatever unit now holds
      // its position: the editor rebuilds its controls after every rig change,
      // and until then the old ones do nothing.
      if (c.rigGeneration != chain.rigGeneration) return;
      if (c.position < 0 || static_cast<uint32_t>(c.position) >= chain.units.count()) return;
      qvutil& unit = *chain.units[static_cast<uint32_t>(c.position)];
      if (c.index < 0 || static_cast<uint32_t>(c.index) >= unit.params.count()) return;
      qvparam& p = *unit.params[static_cast<uint32_t>(c.index)];
      if (reportsPosition(c)) p.setNormalized(value);
      else p.setValue(value);
      unit.update(c.index);
      break;
    }
    case kKindBypassBlock: {
      if (c.rigGeneration != chain.rigGeneration) return;
      if (c.position < 0 || static_cast<uint32_t>(c.position) >= chain.units.count()) return;
      qvutil& unit = *chain.units[static_cast<uint32_t>(c.position)];
      unit.bypassed = !unit.bypassed;
      break;
    }
    case kKindOption: {
      if (c.index < 0 || c.index >= kSettingCount) return;
      qvparam& p = *state.settings[static_cast<uint32_t>(c.index)];
      if (reportsPosition(c)) p.setNormalized(value);
      else p.setValue(value);
      settingChanged(c.index);
      break;
    }
    case kKindCabSimMenu:
      if (value == 1.0f && data.impulses.count() > 0 && loadImpulse(0, -1)) {
        chain.updateCabActivity();
        viewsChanged.fetch_add(1, std::memory_order_release);
      }
      break;
    default: break;  // the remaining kinds act on the editor itself
  }
}
