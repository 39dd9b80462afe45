// The block box ("Block Params"): a row per parameter of a block with its value
// as text, whether it has a control on the panel, and a button to its settings;
// and the parameter editor box with the seven display settings of one parameter.
#include <cstdio>

#include "editor/boxparts.hpp"
#include "editor/qvguimodel.hpp"
#include "toolkit/cscrollview.hpp"

using namespace boxlook;

namespace {

constexpr CCoord kBlockBoxW = 260;
constexpr CCoord kBoxTop = 40;
constexpr int kRowsShown = 14;  // more scroll

qvutil* boxUnit(qvengine& e, int32_t position) {
  return position >= 0 && static_cast<uint32_t>(position) < e.chain.units.count()
             ? e.chain.units[static_cast<uint32_t>(position)]
             : nullptr;
}

std::string numberText(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.5g", v);  // a stored 79.99999 reads 80
  return text;
}

std::string typeName(const qveditor& ed, int type) {
  for (const qvnamedentry& t : ed.model().blockTypes)
    if (t.id == type) return t.name;
  return "Block";
}

}  // namespace

void qvboxbuilder::blockBox() {
  qvutil* unit = boxUnit(e, ui.boxBlock);
  if (!unit) return;
  const int rows = static_cast<int>(std::min(unit->params.count(), unit->records.count()));
  const CCoord listH = std::min(rows, kRowsShown) * kRowH + 2 * kPad;
  const CCoord h = kTitleH + 24 + listH + 32;
  const CCoord x = (qveditor::kWidth - kBlockBoxW) / 2;
  CViewContainer* p = panel(CRect(x, kBoxTop, x + kBlockBoxW, kBoxTop + h), "Block Params");
  caption(p, kPad, kTitleH + 2, 120, typeName(ed, unit->blocktype()), kCurrentText, true);
  caption(p, 176, kTitleH + 2, 72, "show / set", kDimText, false, kCenterText);
  CScrollView* list = this->list(p, CRect(0, kTitleH + 24, kBlockBoxW, kTitleH + 24 + listH), rows);
  for (int k = 0; k < rows; ++k) {
    const qvparamrecord& r = *unit->records[static_cast<uint32_t>(k)];
    const qvparam& param = *unit->params[static_cast<uint32_t>(k)];
    const CCoord y = kPad + k * kRowH;
    qvcontrolstyle style;
    style.box = box;
    style.text = param.getType() == 4 ? (param.xi != 0 ? "on" : "off") : numberText(param.getValue());
    style.width = 80;
    const std::string name = r.nametag.empty() ? "Param " + std::to_string(k + 1) : r.nametag;
    ed.makeControl(kClassTextField, kKindValueField, nullptr, list, ui.boxBlock, k, name, 96, y, name, style);
    qvcontrolstyle toggle;
    toggle.box = box;
    toggle.image = kRowToggle;
    const int32_t tag = ed.makeControl(kClassToggle, kKindShowControl, nullptr, list, ui.boxBlock, k, "", 190, y + 2,
                                       "show control", toggle);
    if (CView* v = ed.controlView(tag)) static_cast<CControl*>(v)->setValue(r.setvis ? 1.0f : 0.0f);
    qvcontrolstyle tool;
    tool.box = box;
    tool.image = kToolButton;
    ed.makeControl(kClassPushButton, kKindParamSettings, nullptr, list, ui.boxBlock, k, "", 218, y + 2, "settings",
                   tool);
  }
  commandButton(p, kCmdCloseBoxNumber, 1.0f, kCloseButton, kBlockBoxW - kPad - 128, h - 28, "Close", "Close Box", 128, 20);
}

void qvboxbuilder::paramBox() {
  qvutil* unit = boxUnit(e, ui.boxBlock);
  if (!unit || ui.boxParam < 0 || static_cast<uint32_t>(ui.boxParam) >= unit->records.count() ||
      static_cast<uint32_t>(ui.boxParam) >= unit->params.count())
    return;
  const qvparamrecord& r = *unit->records[static_cast<uint32_t>(ui.boxParam)];
  const std::string values[kParamFieldCount] = {numberText(r.xscale), numberText(r.xlow), numberText(r.uscale),
                                                numberText(r.ulow), std::to_string(r.posx), std::to_string(r.posy),
                                                r.nametag};
  const CCoord h = kTitleH + kPad + static_cast<int>(kParamFieldCount) * kRowH + 36;
  const CCoord x = (qveditor::kWidth - kBlockBoxW) / 2;
  CViewContainer* p = panel(CRect(x, kBoxTop, x + kBlockBoxW, kBoxTop + h),
                            "Param Settings: " + (r.nametag.empty() ? typeName(ed, unit->blocktype()) : r.nametag));
  for (int k = 0; k < kParamFieldCount; ++k) {
    qvcontrolstyle style;
    style.box = box;
    style.subindex = k;
    style.text = values[k];
    style.width = 140;
    ed.makeControl(kClassTextField, kKindParamField, nullptr, p, ui.boxBlock, ui.boxParam, kParamFieldKeys[k], 100,
                   kTitleH + kPad + k * kRowH, kParamFieldKeys[k], style);
  }
  commandButton(p, kCmdCloseBoxNumber, 1.0f, kCloseButton, kBlockBoxW - kPad - 128, h - 28, "Close", "Close Box", 128, 20);
}
