// The pop-up boxes over the window, built from the engine's editor state: the
// preset box (presets or the impulse catalogue by category) with the category
// box over it, the block box and the parameter editor box. While a row, a pedal
// or a block is picked for moving, the drag layer goes over everything with the
// places it may be dropped on.
#include <mutex>

#include "editor/boxparts.hpp"
#include "editor/editorlayout.hpp"
#include "editor/pages.hpp"
#include "editor/qvguimodel.hpp"
#include "editor/qvscrollbardrawer.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/cscrollview.hpp"

namespace {

constexpr int32_t kDragIcon = 49;        // "dragicon.png"
constexpr int32_t kDragOverlay = 50;     // "dragoverlay.png", a row
constexpr int32_t kDragOverlayPedal = 51;  // "dragoverlayped.png"
constexpr int32_t kDragNone = 52;        // "dragnone.png"

}  // namespace

CViewContainer* qvboxbuilder::panel(const CRect& size, const std::string& title) {
  using namespace boxlook;
  auto* p = new CViewContainer(size);
  p->setBackgroundColor(kPanelBack);
  auto* frameLine = new CTextLabel(CRect(0, 0, size.getWidth(), size.getHeight()), "", nullptr, 0);
  frameLine->setBackColor(kTransparentCColor);
  frameLine->setFrameColor(kPanelFrame);
  frameLine->setMouseEnabled(false);
  p->addView(frameLine);
  auto* bar = new CTextLabel(CRect(1, 1, size.getWidth() - 1, kTitleH), title, nullptr, kNoFrame);
  bar->setBackColor(kTitleBack);
  bar->setFontColor(kCurrentText);
  CFontDesc bold;
  bold.size = 11;
  bold.style = kBoldFace;
  bar->setFont(bold);
  bar->setHoriAlign(kLeftText);
  bar->setTextInset(kPad);
  bar->setMouseEnabled(false);
  p->addView(bar);
  ed.frame_->addView(p);
  if (!ed.boxPanel_) ed.boxPanel_ = p;
  return p;
}

CTextLabel* qvboxbuilder::caption(CViewContainer* in, CCoord x, CCoord y, CCoord w, const std::string& text,
                                  const CColor& colour, bool bold, CHoriTxtAlign align) {
  auto* c = new CTextLabel(CRect(x, y, x + w, y + 20), text, nullptr, kNoFrame);
  CFontDesc f;
  f.size = 10;
  f.style = bold ? kBoldFace : kNormalFace;
  c->setFont(f);
  c->setFontColor(colour);
  c->setHoriAlign(align);
  c->setMouseEnabled(false);
  in->addView(c);
  return c;
}

CView* qvboxbuilder::commandButton(CViewContainer* in, int32_t tag, float value, int32_t image, CCoord x, CCoord y,
                                   const std::string& label, const std::string& tooltip, CCoord width,
                                   CCoord height) {
  qvcontrolstyle style;
  style.commandTag = tag;
  style.onValue = value;
  style.image = image;
  style.width = width;
  style.height = height;
  ed.makeControl(kClassPushButton, 0, nullptr, in, -1, -1, label, x, y, tooltip, style);
  return in->getView(in->getNbViews() - 1);
}

CScrollView* qvboxbuilder::list(CViewContainer* in, const CRect& size, int rows) {
  const CCoord content = std::max<CCoord>(size.getHeight(), rows * boxlook::kRowH + 2 * boxlook::kPad);
  auto* s = new CScrollView(size, CRect(0, 0, size.getWidth(), content));
  if (!ed.model().scrollBarDrawers.empty())
    s->getVerticalScrollbar()->setDrawer(ed.model().scrollBarDrawers.front().get());
  in->addView(s);
  if (!ed.boxList_) {
    ed.boxList_ = s;
    s->setScrollOffset(CPoint(0, ed.boxListOffset_));
  }
  return s;
}

namespace {

// A row of panels on the pedal floor as drop targets: the pedal panels or the
// block strip's boxes. `count` places (positions `base` on) of which `shown`
// from `first` show, the first at `area`, each `step` further right; `grip` is
// where a picked one is held, relative to its panel.
struct qvdroprow {
  int32_t count, base, first, shown;
  CRect area;
  CCoord step;
  CRect grip;
};

// A drag-target control per place, its area the panel while it shows. Returns
// the control that puts the picked one back (a drop on itself); `picked`
// becomes its grip, where the overlay starts.
int32_t rowTargets(qvboxbuilder& b, const qvdroprow& row, CRect& picked) {
  qveditor& ed = b.ed;
  int32_t cancel = -1;
  for (int32_t k = 0; k < row.count; ++k) {
    qvcontrolstyle style;
    style.width = 1;
    const int32_t position = row.base + k;
    const int32_t tag = ed.makeControl(12, kKindDragTarget, nullptr, ed.page(1), position, -1, "", 0, 0, "", style);
    const bool shown = b.ui.page == 1 && k >= row.first && k < row.first + row.shown;
    const CRect area = shown ? CRect(row.area).offset(static_cast<CCoord>(k - row.first) * row.step, 0) : CRect();
    if (position == b.ui.pickedPosition) {
      cancel = tag;
      if (shown) picked = CRect(row.grip).offset(area.left, area.top);
    } else if (shown) {
      b.targets.push_back(qvdroptarget{nullptr, nullptr, area, -1, -1, tag});
    }
  }
  return cancel;
}

int32_t pedalTargets(qvboxbuilder& b, CRect& picked) {
  using namespace layout;
  const qvdroprow row{static_cast<int32_t>(b.e.chain.pedalSlots.count()), 1, b.ed.model().firstPedalShown,
                      kPedalsShown, CRect(kPedalFirstX, kPedalY, kPedalFirstX + kPedalW, kPedalY + kPedalH),
                      kPedalW + kPedalGap, CRect(8, 40, 24, 56) /* the move button */};
  return rowTargets(b, row, picked);
}

int32_t blockTargets(qvboxbuilder& b, CRect& picked) {
  using namespace layout;
  const qvdroprow row{static_cast<int32_t>(b.e.chain.units.count()), 0, b.ed.model().firstBlockShown,
                      kBlocksShown, CRect(26, kBlockStripY + 8, 26 + kBlockBoxW, kBlockStripY + 8 + kBlockBoxH),
                      kBlockBoxW + kBlockGap, CRect(0, 0, kBlockBoxW, 20) /* the title */};
  return rowTargets(b, row, picked);
}

}  // namespace

void buildBoxes(qveditor& ed, const qveditorstate& ui) {
  qvboxbuilder b{ed, ed.engine(), ui, boxNumber(ui.box), nullptr, {}};
  switch (ui.box) {
    case qvboxkind::presets: b.presetBox(); break;
    case qvboxkind::category:
      b.presetBox();
      b.categoryBox();
      break;
    case qvboxkind::blockParams: b.blockBox(); break;
    case qvboxkind::paramEditor: b.paramBox(); break;
    case qvboxkind::none: break;
  }
  // Save and Save As New take the preset box's name while its field shows.
  // (buildEditor holds the command lock throughout.)
  b.e.nameFieldOpen = ed.presetNameField_ != nullptr;

  const bool pedal = ui.drag == qvdragphase::movingPedal;
  const bool block = ui.drag == qvdragphase::pickedBlock;
  if (ui.drag != qvdragphase::movingRow && !pedal && !block) return;
  qvguimodel& m = ed.model();
  CRect picked = b.pickedView ? b.pickedView->getFrameRect() : CRect(360, 200, 480, 220);
  const int32_t cancel = pedal ? pedalTargets(b, picked) : block ? blockTargets(b, picked) : -1;
  // The overlay starts over the Move button that was pressed, so it sits under the mouse.
  auto* layer = new qvdraglayer(CRect(0, 0, qveditor::kWidth, qveditor::kHeight),
                                m.image(pedal ? kDragOverlayPedal : kDragOverlay), m.image(kDragIcon),
                                m.image(kDragNone), picked, [&ed] { ed.cancelDrag(); });
  layer->cancelTag = cancel;
  for (const qvdroptarget& t : b.targets) layer->addTarget(t);
  ed.frame_->addView(layer);
  ed.dragLayer_ = layer;
  ed.frame_->setFocusView(layer);  // Escape reaches it
}

// ---- the drag, from the mouse observer ----

void qveditor::dragMoved(const CPoint& where) {
  if (dragLayer_ && !dragLayer_->isFinished()) dragLayer_->follow(where);
}

void qveditor::dragPressed(const CPoint& where) {
  if (!dragLayer_ || dragLayer_->isFinished()) return;
  const qvdroptarget* t = dragLayer_->targetAt(where);
  if (!t) {
    cancelDrag();
    return;
  }
  dragLayer_->finish();
  if (t->tag >= 0) {
    engine_->postCommand(t->tag, 1.0f);
    return;
  }
  {
    std::lock_guard<qvlock> hold(engine_->mailbox.commandLock());
    engine_->drag.to = t->row;
    engine_->drag.category = t->category;
  }
  engine_->postCommand(kCmdDragAndDrop, 0.0f);
}

void qveditor::cancelDrag() {
  if (!dragLayer_ || dragLayer_->isFinished()) return;
  dragLayer_->finish();
  if (dragLayer_->cancelTag >= 0) {
    engine_->postCommand(dragLayer_->cancelTag, 1.0f);
    return;
  }
  {
    // A drop on no place and no category moves nothing and ends the move.
    std::lock_guard<qvlock> hold(engine_->mailbox.commandLock());
    engine_->drag.to = -1;
    engine_->drag.category = -1;
  }
  engine_->postCommand(kCmdDragAndDrop, 0.0f);
}
