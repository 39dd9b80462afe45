// The pop-up boxes over the window, built from the engine's editor state: the
// preset box (presets or the impulse catalogue by category) with the category
// box over it, the block box and the parameter editor box. While a row, a pedal
// or a block is picked for moving, the drag layer goes over everything with the
// places it may be dropped on.
#include <mutex>

#include "editor/boxparts.hpp"
#include "editor/editorlayout.hpp"
#include "editor/pages.hpp"
#include "editor/pictures.hpp"
#include "editor/qvguimodel.hpp"
#include "editor/qvtricklabel.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/cscrollview.hpp"
#include "toolkit/ctextedit.hpp"
#include "editor/qvscrollbardrawer.hpp"

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
  qvcontrolspec spec;
  spec.commandTag = tag;
  spec.onValue = value;
  spec.image = image;
  spec.width = width;
  spec.height = height;
  ed.makeControl(kClassPushButton, 0, nullptr, in, -1, -1, label, x, y, tooltip, spec);
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

// The pedal panels of the pedal floor as drop targets: a drag-target control per
// pedal slot, its area the panel when it is shown. Returns the control that
// puts the picked pedal back (a drop on itself); `picked` becomes the picked
// pedal's move button, where the overlay starts.
int32_t pedalTargets(qvboxbuilder& b, CRect& picked) {
  using namespace layout;
  qveditor& ed = b.ed;
  const int32_t pedals = static_cast<int32_t>(b.e.chain.pedalSlots.count());
  const int32_t first = ed.model().firstPedalShown;
  int32_t cancel = -1;
  for (int32_t k = 0; k < pedals; ++k) {
    qvcontrolspec spec;
    spec.width = 1;
    const int32_t tag = ed.makeControl(12, kKindDragTarget, nullptr, ed.page(1), k + 1, -1, "", 0, 0, "", spec);
    const bool shown = b.ui.page == 1 && k >= first && k < first + kPedalsShown;
    const CCoord x = kPedalFirstX + static_cast<CCoord>(k - first) * (kPedalW + kPedalGap);
    const CRect area = shown ? CRect(x, kPedalY, x + kPedalW, kPedalY + kPedalH) : CRect();
    if (k + 1 == b.ui.pickedPosition) {
      cancel = tag;
      if (shown) picked = CRect(x + 8, kPedalY + 40, x + 24, kPedalY + 56);  // its move button
    } else if (shown) {
      b.targets.push_back(qvdroptarget{nullptr, nullptr, area, -1, -1, tag});
    }
  }
  return cancel;
}

// The block boxes of the block strip as drop targets, as pedalTargets does for pedals.
int32_t blockTargets(qvboxbuilder& b, CRect& picked) {
  using namespace layout;
  qveditor& ed = b.ed;
  const int32_t count = static_cast<int32_t>(b.e.chain.units.count());
  const int32_t first = ed.model().firstBlockShown;
  int32_t cancel = -1;
  for (int32_t u = 0; u < count; ++u) {
    qvcontrolspec spec;
    spec.width = 1;
    const int32_t tag = ed.makeControl(12, kKindDragTarget, nullptr, ed.page(1), u, -1, "", 0, 0, "", spec);
    const bool shown = b.ui.page == 1 && u >= first && u < first + kBlocksShown;
    const CCoord x = 26 + static_cast<CCoord>(u - first) * (kBlockBoxW + kBlockGap);
    const CRect area = shown ? CRect(x, kBlockStripY + 8, x + kBlockBoxW, kBlockStripY + 8 + kBlockBoxH) : CRect();
    if (u == b.ui.pickedPosition) {
      cancel = tag;
      if (shown) picked = CRect(x, kBlockStripY + 8, x + kBlockBoxW, kBlockStripY + 28);  // its title
    } else if (shown) {
      b.targets.push_back(qvdroptarget{nullptr, nullptr, area, -1, -1, tag});
    }
  }
  return cancel;
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
