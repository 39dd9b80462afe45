// The options page: the global settings in two columns on the options panel,
// each with a short explanation where it needs one, and the button that saves
// them with the rest of the user's document.
#include <string>

#include "editor/editorlayout.hpp"
#include "editor/pages.hpp"
#include "editor/pictures.hpp"
#include "editor/qveditor.hpp"
#include "editor/qvtricklabel.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/cviewcontainer.hpp"

using namespace layout;

namespace {

constexpr int32_t kOptionsImage = 26;  // "paneloptions.png"
constexpr int32_t kChoiceImage = 20;   // "uclickall.png": the radio members
constexpr int32_t kToggleImage = 2;    // "utoggleall.png"

// A radio group of three for option `option` under its caption at y.
void optionRadio(qveditor& ed, CViewContainer* page, int32_t option, const char* title, const char* const labels[3],
                 CCoord y) {
  qvengine& e = ed.engine();
  qvcontrol record;
  record.controlClass = kClassToggle;
  record.kind = kKindOption;
  record.index = option;
  qvradiogroup& group = ed.radioGroups().emplace_back();
  group.tag = e.addControl(record);
  qvcontrolstyle caption;
  caption.text = title;
  ed.makeControl(12, 22, nullptr, page, -1, -1, "", kOptionsLeftX + 2, y, "", caption);
  for (int k = 0; k < 3; ++k)
    ed.makeRadio(group, static_cast<float>(k), kChoiceImage, page, kOptionsLeftX + k * 100, y + 16, labels[k]);
  ed.setRadio(group, static_cast<float>(e.state.settingInt(option)));
  e.controls[static_cast<uint32_t>(group.tag)]->view = group.members[0];
}

// A toggle for option `option` at x, y, with its explanation under it.
void optionToggle(qveditor& ed, CViewContainer* page, int32_t option, const char* label, CCoord x, CCoord y,
                  const char* hint = nullptr) {
  qvengine& e = ed.engine();
  qvcontrolstyle style;
  style.image = kToggleImage;
  const int32_t tag = ed.makeControl(kClassToggle, kKindOption, nullptr, page, -1, option, label, x, y, label, style);
  if (CView* v = ed.controlView(tag)) static_cast<CControl*>(v)->setValue(e.state.settingInt(option) != 0 ? 1.0f : 0.0f);
  if (hint) {
    qvcontrolstyle text;
    text.text = hint;
    text.width = 360;
    ed.makeControl(12, 22, nullptr, page, -1, -1, "", x + 4, y + 23, "", text);
  }
}

}  // namespace

void buildOptionsPage(qveditor& ed, CViewContainer* page) {
  qvengine& e = ed.engine();
  page->addView(pictureView(sized(kAmpPanelX, kAmpPanelY, ed.model().image(kOptionsImage)),
                            ed.model().image(kOptionsImage)));
  static const char* const bypass[3] = {"Active", "Bypass", "Mute"};
  static const char* const source[3] = {"Left", "Right", "Mix"};
  const CCoord top = kOptionsFirstRowY;
  optionRadio(ed, page, kSetBypassOrMute, "Bypass or Mute", bypass, top);
  optionRadio(ed, page, kSetInputSource, "Input Source", source, top + 46);
  ed.makeHint("Input", "Instrument input selection.", page, 340, top + 46);

  optionToggle(ed, page, kSetShowValue, "Show Value", kOptionsLeftX, top + 100);
  optionToggle(ed, page, kSetShowTips, "Show Tips", kOptionsRightX, top + 100);
  optionToggle(ed, page, kSetDisableCabSims, "Disable Cab Sims", kOptionsLeftX, top + 134,
               "All cab sims and related controls will be turned off.");
  optionToggle(ed, page, kSetGlobalGate, "Global Gate Settings", kOptionsRightX, top + 134,
               "Gate settings will be global not per preset.");
  optionToggle(ed, page, kSetLimitItems, "Limit Items", kOptionsLeftX, top + 184,
               "Don't allow too many cab sims, pedals, etc.");
  optionToggle(ed, page, kSetLimitImpulseFiles, "Limit Impulse Files", kOptionsRightX, top + 184,
               "Don't allow large cabs / impulses.");

  qvcontrolstyle knob;
  knob.image = kFirstKnobImage;  // the small panel knob, dark captions on the light panel
  knob.textColour = CColor{20, 20, 20, 255};
  ed.makeControl(kClassKnob, kKindOption, e.state.settings[kSetInputScale], page, -1, kSetInputScale, "Input Scale",
                 48, top + 222, "", knob);
  ed.makeControl(kClassKnob, kKindOption, e.state.settings[kSetVolumeScale], page, -1, kSetVolumeScale,
                 "Volume Scale", 144, top + 222, "", knob);
  qvcontrolstyle save;
  save.commandTag = kCmdSaveDocument;
  ed.makeControl(kClassPushButton, 0, nullptr, page, -1, -1, "Save", kOptionsRightX, top + 252,
                 "Save Current Options and Misc. Data", save);
}
