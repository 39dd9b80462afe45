// The amplifier page: the face of the rig's amplifier skin with its logo, the
// input and output knobs and the presets button on its plate, the amplifier's
// visible parameters as knobs in the face's knob band, the row of menus under
// the face, and the lower strip with the gate and cab-sim panels.
#include <algorithm>
#include <string>

#include "editor/editorlayout.hpp"
#include "editor/pages.hpp"
#include "editor/pictures.hpp"
#include "editor/qveditor.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/ctextlabel.hpp"
#include "toolkit/cviewcontainer.hpp"

using namespace layout;

namespace {

constexpr int32_t kActiveToggleImage = 34;  // "utoggleact.png"

// The places of the amplifier's visible parameters that ask for a default
// place: one row centred in the face's knob band, or two when they do not fit.
std::vector<CPoint> knobPlaces(int count, CCoord side, CCoord captionH) {
  std::vector<CPoint> at;
  const CCoord band_x = kAmpKnobBand.x, band_w = kAmpKnobBand.w;
  const CCoord cell = std::max<CCoord>(side + 28, 74);
  const int perRow = std::max(1, static_cast<int>(band_w / cell));
  const int rows = std::min(2, (count + perRow - 1) / perRow);
  const CCoord unitH = side + captionH + 4;
  const CCoord top = kAmpKnobBand.y + (kAmpKnobBand.h - rows * unitH) / 2;
  for (int r = 0, placed = 0; r < std::max(rows, 1) && placed < count; ++r) {
    const int inRow = std::min(perRow, count - placed);
    const CCoord left = band_x + (band_w - inRow * cell) / 2;
    for (int k = 0; k < inRow; ++k, ++placed)
      at.push_back(CPoint(left + k * cell + (cell - side) / 2, top + r * unitH));
  }
  // More than two rows' worth: the rest follow the last row's spacing further down.
  while (static_cast<int>(at.size()) < count) at.push_back(CPoint(at.back().x, at.back().y));
  return at;
}

void buildAmpKnobs(qveditor& ed, CViewContainer* panel) {
  qvengine& e = ed.engine();
  const qvknobprofile& knob = ed.model().profile(ed.model().classProfiles[kClassKnob]);
  CBitmap* strip = ed.model().image(knob.image >= kFirstKnobImage ? knob.image : kFirstKnobImage);
  const CCoord side = strip ? strip->getWidth() : 44;
  struct want {
    int32_t unit, param;
    const qvparamrecord* record;
  };
  std::vector<want> knobs;
  for (uint32_t u = 0; u < e.chain.units.count(); ++u) {
    qvutil& unit = *e.chain.units[u];
    if (unit.blockgroup != 0) continue;
    for (uint32_t r = 0; r < unit.records.count(); ++r) {
      const qvparamrecord& rec = *unit.records[r];
      if (rec.setvis && rec.pind >= 0 && static_cast<uint32_t>(rec.pind) < unit.params.count())
        knobs.push_back({static_cast<int32_t>(u), rec.pind, &rec});
    }
  }
  int defaults = 0;
  for (const want& k : knobs) defaults += k.record->posx < 0 || k.record->posy < 0;
  const std::vector<CPoint> places = knobPlaces(defaults, side, knob.extra2 > 0 ? knob.extra2 : 14);
  size_t next = 0;
  for (const want& k : knobs) {
    CPoint at(k.record->posx, k.record->posy);
    if (k.record->posx < 0 || k.record->posy < 0) at = places[next++];
    qvparam* p = e.chain.units[static_cast<uint32_t>(k.unit)]->params[static_cast<uint32_t>(k.param)];
    ed.makeControl(kClassKnob, kKindBlockParam, p, panel, k.unit, k.param, k.record->nametag, at.x, at.y, "");
  }
}

// The lower strip's cab-sim panel, for the shown cab sim.
void buildCabPanel(qveditor& ed, CViewContainer* strip) {
  qvengine& e = ed.engine();
  strip->addView(pictureView(sized(kCabPanelX, 0, ed.model().image(23)), ed.model().image(23)));
  if (e.state.settingInt(kSetDisableCabSims) == 1) {
    ed.makeHint("", "Cab sims are off.", strip, 580, 40);
    return;
  }
  const int32_t count = static_cast<int32_t>(e.chain.cabBlocks.count());
  if (count == 0) {
    ed.makeHint("Cab Sim Panel", "Add a new cab sim in the Cab Sim menu.", strip, 535, 40);
    return;
  }
  const int32_t shown = std::clamp(e.data.currentCabBlock, 0, count - 1);
  qvusconv& cab = *e.chain.cabBlocks[static_cast<uint32_t>(shown)];
  // The cab's visible parameters: small knobs for the levels, buttons under them
  // for the switches, left of the impulse's buttons and names.
  CCoord x = kCabPanelX + 10, toggleX = kCabPanelX + 10;
  for (uint32_t r = 0; r < cab.records.count(); ++r) {
    const qvparamrecord& rec = *cab.records[r];
    if (!rec.setvis || rec.pind < 0 || static_cast<uint32_t>(rec.pind) >= cab.params.count()) continue;
    qvparam* p = cab.params[static_cast<uint32_t>(rec.pind)];
    qvcontrolstyle style;
    style.scope = qvcontrolscope::cabBlock;
    if (p->getType() == 4) {
      style.image = 39;  // "uclick2.png", 60 x 20 a state
      ed.makeControl(kClassToggle, kKindBlockParam, p, strip, shown, rec.pind, rec.nametag, toggleX, 104, "", style);
      toggleX += 64;
    } else {
      style.image = kFirstKnobImage;  // the small panel knob
      ed.makeControl(kClassKnob, kKindBlockParam, p, strip, shown, rec.pind, rec.nametag, x, 28, "", style);
      x += 52;
    }
  }
  qvcontrolstyle change;
  change.commandTag = kCmdChangeCab;
  change.image = 39;
  ed.makeControl(kClassPushButton, 0, nullptr, strip, -1, -1, "Cab", 630, 56, "Change cab", change);
  qvcontrolstyle open;
  open.commandTag = kCmdAddImpulseFile;
  open.image = 39;
  ed.makeControl(kClassPushButton, 0, nullptr, strip, -1, -1, "File", 630, 78, "Open IR file", open);
  const qvimpulse* ir = cab.impulse >= 0 && static_cast<uint32_t>(cab.impulse) < e.data.impulses.count()
                            ? e.data.impulses[static_cast<uint32_t>(cab.impulse)]
                            : nullptr;
  qvcontrolstyle text;
  text.width = 110;
  text.text = "Size: " + std::to_string(ir ? e.chain.cabEngine->impulseLength(cab.slot) : 0);
  ed.makeControl(12, 22, nullptr, strip, -1, -1, "Length", 730, 70, "", text);
  text.text = "Cab: " + (ir ? ir->name : qvstring("none"));
  text.width = 200;
  ed.makeControl(12, 22, nullptr, strip, -1, -1, "IR Name", 630, 104, "", text);
  text.text = std::to_string(shown + 1) + " of " + std::to_string(count);
  text.width = 50;
  ed.makeControl(12, 22, nullptr, strip, -1, -1, "Counts", 782, 34, "", text);
  qvcontrolstyle arrow;
  arrow.commandTag = kCmdChooseCabBlock;
  arrow.image = 45;
  arrow.onValue = static_cast<float>(std::max(shown, 1));  // the previous one, 1-based
  ed.makeControl(kClassPushButton, 0, nullptr, strip, -1, -1, "", 788, 52, "Previous cab sim", arrow);
  arrow.image = 46;
  arrow.onValue = static_cast<float>(std::min(shown + 2, count));
  ed.makeControl(kClassPushButton, 0, nullptr, strip, -1, -1, "", 806, 52, "Next cab sim", arrow);
  qvcontrolstyle del;
  del.commandTag = kCmdRemoveCabBlock;
  del.image = 16;
  ed.makeControl(kClassPushButton, 0, nullptr, strip, -1, -1, "", 806, 16, "Delete Sim", del);
}

// The lower strip's left part: the preset playing and its category, large.
void buildPresetPanel(qveditor& ed, CViewContainer* strip) {
  qvengine& e = ed.engine();
  const int32_t cur = e.data.currentPreset;
  const bool named = cur >= 0 && static_cast<uint32_t>(cur) < e.data.presets.count();
  qvstring category;
  if (named)
    for (uint32_t k = 0; k < e.data.presetCategories.count(); ++k)
      if (e.data.presetCategories[k]->id == e.data.presets[static_cast<uint32_t>(cur)]->categoryid)
        category = e.data.presetCategories[k]->name;
  auto* title = new CTextLabel(CRect(34, 24, 262, 50), named ? e.data.currentPresetName : qvstring("No preset"),
                               nullptr, kNoFrame);
  CFontDesc big;
  big.size = 17;
  big.style = kBoldFace;
  title->setFont(big);
  title->setFontColor(CColor{235, 235, 235, 255});
  title->setHoriAlign(kLeftText);
  title->setMouseEnabled(false);
  strip->addView(title);
  qvcontrolstyle text;
  text.text = category.empty() ? qvstring("Preset") : category;
  text.width = 220;
  text.textColour = CColor{170, 170, 170, 255};
  ed.makeControl(12, 22, nullptr, strip, -1, -1, "", 36, 54, "", text);
}

void buildGatePanel(qveditor& ed, CViewContainer* strip) {
  qvengine& e = ed.engine();
  strip->addView(pictureView(sized(kGatePanelX, 0, ed.model().image(24)), ed.model().image(24)));
  qvutil& gate = *e.chain.gate;
  // Small knobs, spread over the panel's width.
  std::vector<const qvparamrecord*> shown;
  for (uint32_t r = 0; r < gate.records.count(); ++r) {
    const qvparamrecord& rec = *gate.records[r];
    if (rec.setvis && rec.pind >= 0 && static_cast<uint32_t>(rec.pind) < gate.params.count()) shown.push_back(&rec);
  }
  const CCoord cell = shown.empty() ? 0 : (194 - 16) / static_cast<CCoord>(shown.size());
  qvcontrolstyle knob;
  knob.image = kFirstKnobImage;
  for (size_t k = 0; k < shown.size(); ++k) {
    const CCoord x = kGatePanelX + 8 + static_cast<CCoord>(k) * cell + (cell - 44) / 2;
    ed.makeControl(kClassKnob, kKindGlobalGate, gate.params[static_cast<uint32_t>(shown[k]->pind)], strip, -1,
                   shown[k]->pind, shown[k]->nametag, x, 34, "", knob);
  }
}

}  // namespace

void buildAmpPage(qveditor& ed, CViewContainer* page) {
  qvengine& e = ed.engine();
  qvguimodel& m = ed.model();
  const qvslot& amp = e.chain.ampSlot;
  const CCoord y = kAmpPanelY + m.ampPanelOffset;
  auto* panel = new CViewContainer(CRect(kAmpPanelX, y, kAmpPanelX + kAmpPanelW, y + kAmpPanelH));
  panel->setBackground(m.image(amp.bgimg));
  page->addView(panel);
  ed.ampPanel_ = panel;
  if (amp.logoimg >= 0) panel->addView(pictureView(sized(0, 0, m.image(amp.logoimg)), m.image(amp.logoimg)));

  // The plate: presets, input and output.
  qvcontrolstyle presets;
  presets.commandTag = kCmdShowPresets;
  ed.makeControl(kClassPushButton, 0, nullptr, panel, -1, -1, "Presets", 26, 7, "Show Presets", presets);
  ed.makeControl(kClassKnob, kKindOption, e.state.settings[kSetInputLevel], panel, -1, kSetInputLevel, "Input", 26,
                 38, "");
  ed.makeControl(kClassKnob, kKindOption, e.state.settings[kSetOutputLevel], panel, -1, kSetOutputLevel, "Output",
                 122, 38, "");

  bool hasAmp = false;
  for (uint32_t u = 0; u < e.chain.units.count() && !hasAmp; ++u) hasAmp = e.chain.units[u]->blockgroup == 0;
  if (hasAmp)
    buildAmpKnobs(ed, panel);
  else
    ed.makeHint("Amp Panel", "Select an amp in the Set Amp menu.", page, 325, 263);

  // The row under the face.
  const CCoord row = kAmpRowY + m.ampPanelOffset;
  qvcontrolstyle active;
  active.image = kActiveToggleImage;
  const int32_t activeTag =
      ed.makeControl(kClassToggle, kKindGroupActive, nullptr, page, 0, -1, "Active", kRowActiveX, row,
                     "Amplifier: Active or Bypassed", active);
  if (CView* v = ed.controlView(activeTag)) static_cast<CControl*>(v)->setValue(amp.active ? 1.0f : 0.0f);
  qvcontrolstyle menu;
  menu.entries = &m.ampDefinitions;
  ed.makeControl(kClassMenu, kKindSetAmp, nullptr, page, 0, -1, "Set Amp", kRowSetAmpX, row, "Set Amp", menu);
  menu.entries = &m.editActions;
  ed.makeControl(kClassMenu, kKindPresetMenu, nullptr, page, -1, -1, "Preset", kRowPresetX, row, "Preset", menu);
  menu.entries = &m.cabActions;
  ed.makeControl(kClassMenu, kKindCabSimMenu, nullptr, page, -1, -1, "Cab Sim", kRowCabSimX, row, "Cab Sim", menu);
  menu.entries = &m.ampSkins;
  ed.makeControl(kClassMenu, kKindAmpSkin, nullptr, page, -1, -1, "Skin", kRowLookX[0], row, "Amplifier skin", menu);
  menu.entries = &m.knobProfileNames;
  ed.makeControl(kClassMenu, kKindKnobStyle, nullptr, page, -1, -1, "Knobs", kRowLookX[1], row, "Knob style", menu);
  menu.entries = &m.logos;
  ed.makeControl(kClassMenu, kKindLogo, nullptr, page, -1, -1, "Logo", kRowLookX[2], row, "Logo", menu);
  menu.entries = &m.antiAliasing;
  ed.makeControl(kClassMenu, kKindOption, nullptr, page, -1, kSetOversampling, "Antialiasing", kRowAntiAliasX,
                 row, "Antialiasing", menu);

  // The lower strip: window x, its own y.
  auto* strip = new CViewContainer(CRect(0, kLowerStripY, qveditor::kWidth, kLowerStripY + kLowerStripH));
  page->addView(strip);
  ed.lowerStrip_ = strip;
  buildPresetPanel(ed, strip);
  buildGatePanel(ed, strip);
  buildCabPanel(ed, strip);
}
