// The pedal floor: the menus that add pedals before and after the amplifier, a
// panel per pedal slot on its own pedal skin (its menus, move button, knobs and
// foot switch), three at a time, and along the bottom the block strip: every
// block of the rig in signal order with its header buttons.
#include <algorithm>
#include <string>

#include "editor/editorlayout.hpp"
#include "editor/pages.hpp"
#include "editor/pictures.hpp"
#include "editor/qveditor.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/cviewcontainer.hpp"

using namespace layout;

namespace {

constexpr int32_t kAddPedalImage = 28;   // "uclickpre.png", 140 x 20 a state
constexpr int32_t kFootSwitchImage = 32;
constexpr int32_t kPedalKnobImage = 60;  // pedals carry the small panel knob
constexpr int32_t kMoveImage = 48;       // "circleo.png"
constexpr int32_t kPedalNameImage = 22;  // "longfield.png", 128 x 20
constexpr int32_t kPedalRouteImage = 53; // "bordmenumini.png", 36 x 20
constexpr int32_t kBlockBoxImage = 3;
constexpr int32_t kBlockTitleImage = 20;  // "uclickall.png", 100 x 20, off above on
constexpr CCoord kBlockTitleW = 100;
constexpr int32_t kBlockStripImage = 1;  // "boxbg.png"

void buildPedal(qveditor& ed, CViewContainer* page, uint32_t slot, CCoord x) {
  qvengine& e = ed.engine();
  qvguimodel& m = ed.model();
  const qvslot& s = *e.chain.pedalSlots[slot];
  const int32_t position = static_cast<int32_t>(slot) + 1;
  const bool pedalFace = s.bgimg >= kFirstSkinImage + kAmpSkinCount && s.bgimg < kFirstLogoImage;
  const int32_t face = pedalFace ? s.bgimg : kFirstSkinImage + kAmpSkinCount + static_cast<int32_t>(slot % kPedalSkinCount);
  auto* panel = new CViewContainer(CRect(x, kPedalY, x + kPedalW, kPedalY + kPedalH));
  panel->setBackground(m.image(face));
  page->addView(panel);

  qvcontrolstyle menu;
  menu.entries = &m.pedalDefinitions;
  menu.firstEntry = "None";
  const std::string name = s.dataind >= 0 && static_cast<size_t>(s.dataind) < m.pedalDefinitions.size()
                               ? m.pedalDefinitions[static_cast<size_t>(s.dataind)].name
                               : std::string("Set Pedal");
  // The pedal's name takes the long field so that names like "Classic OD Pro" fit;
  // the routing needs only the short menu beside it.
  menu.image = kPedalNameImage;
  ed.makeControl(kClassMenu, kKindSetPedal, nullptr, panel, position, -1, name, 8, 8, "Set Pedal", menu);
  menu.entries = &m.routing;
  menu.firstEntry = nullptr;
  menu.image = kPedalRouteImage;
  ed.makeControl(kClassMenu, kKindPedalRoute, nullptr, panel, position, -1, s.positioncode > 0 ? "Post" : "Pre",
                 144, 8, "Pre/Post Amp", menu);
  qvcontrolstyle move;
  move.image = kMoveImage;
  ed.makeControl(kClassPushButton, kKindPedalMove, nullptr, panel, position, -1, "", 8, 40, "Move Pedal", move);

  // Up to four knobs in two columns on the plate, more in three.
  std::vector<std::pair<int32_t, const qvparamrecord*>> knobs;
  for (uint32_t u = 0; u < e.chain.units.count(); ++u) {
    qvutil& unit = *e.chain.units[u];
    if (unit.blockgroup != position) continue;
    for (uint32_t r = 0; r < unit.records.count(); ++r) {
      const qvparamrecord& rec = *unit.records[r];
      if (rec.setvis && rec.pind >= 0 && static_cast<uint32_t>(rec.pind) < unit.params.count())
        knobs.push_back({static_cast<int32_t>(u), &rec});
    }
  }
  const int columns = knobs.size() <= 4 ? 2 : 3;
  const CCoord cell = kPedalKnobPlate.w / columns;
  for (size_t k = 0; k < knobs.size() && k < 6; ++k) {
    const auto [unit, rec] = knobs[k];
    const CCoord kx = kPedalKnobPlate.x + static_cast<CCoord>(k % columns) * cell + (cell - 44) / 2;
    const CCoord ky = kPedalKnobPlate.y + 6 + static_cast<CCoord>(k / columns) * 66;
    qvcontrolstyle knob;
    knob.image = kPedalKnobImage;
    ed.makeControl(kClassKnob, kKindBlockParam, e.chain.units[static_cast<uint32_t>(unit)]->params[static_cast<uint32_t>(rec->pind)],
                   panel, unit, rec->pind, rec->nametag, kx, ky, "", knob);
  }
  qvcontrolstyle foot;
  foot.image = kFootSwitchImage;
  const int32_t tag = ed.makeControl(kClassToggle, kKindGroupActive, nullptr, panel, position, -1, "",
                                     kPedalFootSwitch.x, kPedalFootSwitch.y, "Pedal On or Off", foot);
  if (CView* v = ed.controlView(tag)) static_cast<CControl*>(v)->setValue(s.active ? 1.0f : 0.0f);
}

// What a block belongs to: the amplifier's or the pedal's name.
std::string groupName(qveditor& ed, int32_t group) {
  qvengine& e = ed.engine();
  const qvguimodel& m = ed.model();
  const int32_t def = group == 0 ? e.chain.ampSlot.dataind
                      : group <= static_cast<int32_t>(e.chain.pedalSlots.count())
                          ? e.chain.pedalSlots[static_cast<uint32_t>(group - 1)]->dataind
                          : -1;
  const qvnamedlist& list = group == 0 ? m.ampDefinitions : m.pedalDefinitions;
  if (def >= 0 && static_cast<size_t>(def) < list.size()) return list[static_cast<size_t>(def)].name;
  return group == 0 ? "Amplifier" : "Pedal " + std::to_string(group);
}

const char* blockName(const qveditor& ed, int type) {
  for (const qvnamedentry& e : ed.model().blockTypes)
    if (e.id == type) return e.name.c_str();
  return "Block";
}

void buildBlockStrip(qveditor& ed, CViewContainer* page) {
  qvengine& e = ed.engine();
  qvguimodel& m = ed.model();
  page->addView(pictureView(sized(0, kBlockStripY, m.image(kBlockStripImage)), m.image(kBlockStripImage)));
  const int32_t count = static_cast<int32_t>(e.chain.units.count());
  m.firstBlockShown = std::clamp(m.firstBlockShown, 0, std::max(0, count - kBlocksShown));
  for (int32_t u = m.firstBlockShown; u < count && u < m.firstBlockShown + kBlocksShown; ++u) {
    qvutil& unit = *e.chain.units[static_cast<uint32_t>(u)];
    const CCoord x = 26 + static_cast<CCoord>(u - m.firstBlockShown) * (kBlockBoxW + kBlockGap);
    const CCoord y = kBlockStripY + 8;
    auto* box = new CViewContainer(CRect(x, y, x + kBlockBoxW, y + kBlockBoxH));
    box->setBackground(m.image(kBlockBoxImage));
    page->addView(box);
    qvcontrolstyle title;
    title.image = kBlockTitleImage;  // a button: it opens the block's parameters
    title.draggable = true;          // in drag mode the title picks the block up
    ed.makeControl(kClassPushButton, kKindBlockTitle, nullptr, box, u, -1, blockName(ed, unit.blocktype()),
                   (kBlockBoxW - kBlockTitleW) / 2, 6, "Block Params", title);
    const std::string group = groupName(ed, unit.blockgroup);
    qvcontrolstyle caption;
    caption.text = group;
    caption.width = kBlockBoxW - 16;
    ed.makeControl(12, 22, nullptr, box, -1, -1, "", 10, 32, "", caption);
    struct icon {
      int32_t cls, kind, image;
      const char* tip;
    } icons[] = {{kClassPushButton, kKindDeleteBlock, 4, "Delete Block"},
                 {kClassPushButton, kKindResetBlock, 13, "Reset Block"},
                 {kClassToggle, kKindBypassBlock, 12, "Bypass Block"},
                 {kClassPushButton, kKindAntiAlias, 15, "Anit Alias Block"}};
    CCoord ix = 14;
    for (const icon& i : icons) {
      qvcontrolstyle style;
      style.image = i.image;
      const int32_t tag = ed.makeControl(i.cls, i.kind, nullptr, box, u, -1, "", ix, 62, i.tip, style);
      if (i.kind == kKindBypassBlock)
        if (CView* v = ed.controlView(tag)) static_cast<CControl*>(v)->setValue(unit.bypassed ? 1.0f : 0.0f);
      ix += 28;
    }
  }
  qvcontrolstyle dragMode;
  dragMode.commandTag = qveditor::kLocalDragMode;
  dragMode.image = 7;  // "boxtoggle.png"
  ed.makeControl(kClassToggle, 0, nullptr, page, -1, -1, "", 818, kBlockStripY + 8,
                 "Drag Mode: press a block's title to move it", dragMode);
  static_cast<CControl*>(page->getView(page->getNbViews() - 1))->setValue(ed.shownState().dragMode ? 1.0f : 0.0f);
  if (count > kBlocksShown) {
    qvcontrolstyle arrow;
    arrow.commandTag = qveditor::kLocalBlocksBack;
    arrow.image = 45;
    ed.makeControl(kClassPushButton, 0, nullptr, page, -1, -1, "", 818, kBlockStripY + 30, "Earlier blocks", arrow);
    arrow.commandTag = qveditor::kLocalBlocksOn;
    arrow.image = 46;
    ed.makeControl(kClassPushButton, 0, nullptr, page, -1, -1, "", 818, kBlockStripY + 64, "Later blocks", arrow);
  }
}

}  // namespace

void buildFloorPage(qveditor& ed, CViewContainer* page) {
  qvengine& e = ed.engine();
  qvguimodel& m = ed.model();
  const int32_t pedals = static_cast<int32_t>(e.chain.pedalSlots.count());
  qvcontrolstyle add;
  add.image = kAddPedalImage;
  add.entries = &m.pedalDefinitions;
  add.width = 140;
  ed.makeControl(kClassMenu, kKindAddPedalPre, nullptr, page, pedals + 1, -1, "+Pre", kAddPreX, kAddPreY, "+Pre", add);
  ed.makeControl(kClassMenu, kKindAddPedalPost, nullptr, page, pedals + 1, -1, "+Post", kAddPostX, kAddPostY, "+Post",
                 add);
  // A block of any type at the end of the amplifier's blocks: just above the
  // strip that shows them.
  add.entries = &m.blockTypes;
  ed.makeControl(kClassMenu, kKindAddBlock, nullptr, page, -1, -1, "+Block", kAddPreX, kBlockStripY - 30,
                 "Add a block to the amplifier", add);
  qvcontrolstyle skin;
  skin.entries = &m.pedalSkins;
  ed.makeControl(kClassMenu, kKindPedalSkin, nullptr, page, -1, -1, "Pedal Skin", kAddPreX, kAddPostY + 36,
                 "Pedal skin for the amplifier panel", skin);

  if (pedals == 0) {
    ed.makeHint("Pedals Panel", "No Pedals: Use the Pre and Post buttons to add them.", page, 45, 173);
  } else {
    m.firstPedalShown = std::clamp(m.firstPedalShown, 0, std::max(0, pedals - kPedalsShown));
    for (int32_t k = m.firstPedalShown; k < pedals && k < m.firstPedalShown + kPedalsShown; ++k)
      buildPedal(ed, page, static_cast<uint32_t>(k),
                 kPedalFirstX + static_cast<CCoord>(k - m.firstPedalShown) * (kPedalW + kPedalGap));
    if (pedals > kPedalsShown) {
      qvcontrolstyle arrow;
      arrow.commandTag = qveditor::kLocalPedalsBack;
      arrow.image = 45;
      ed.makeControl(kClassPushButton, 0, nullptr, page, -1, -1, "", 60, 290, "Earlier pedals", arrow);
      arrow.commandTag = qveditor::kLocalPedalsOn;
      arrow.image = 46;
      ed.makeControl(kClassPushButton, 0, nullptr, page, -1, -1, "", 100, 290, "Later pedals", arrow);
    }
  }
  buildBlockStrip(ed, page);
}
