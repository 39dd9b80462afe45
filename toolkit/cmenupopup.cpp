#include "toolkit/cmenupopup.hpp"

#include <algorithm>
#include <cmath>

#include "toolkit/cdrawcontext.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/coptionmenu.hpp"

namespace {
constexpr CColor kListBack{40, 40, 44, 255};
constexpr CColor kListFrame{150, 150, 160, 255};
constexpr CColor kHighlight{70, 110, 170, 255};
constexpr CColor kText{230, 230, 230, 255};
constexpr CColor kDimText{140, 140, 140, 255};
}  // namespace

CMenuPopup::CMenuPopup(COptionMenu* menu, const CRect& anchor, CFrame& frame)
    : CView(frame.getViewSize()), menu_(menu) {
  const CRect area = frame.getViewSize();
  const int32_t n = std::max(entryCount(), 1);
  const CCoord usable = area.getHeight() - 2 * kMargin - 2 * kBorder;
  rows_ = std::clamp(static_cast<int32_t>(std::floor(usable / kRowHeight)), 1, n);
  columns_ = (n + rows_ - 1) / rows_;
  CCoord widest = 0;
  for (int32_t i = 0; i < entryCount(); ++i)
    widest = std::max(widest, frame.getStringWidth(menu_->getFont(), menu_->getEntry(i)->getTitle()));
  columnWidth_ = std::max(std::ceil(widest) + 2 * kTextInset, anchor.getWidth() / columns_);
  const CCoord maxWidth = area.getWidth() - 2 * kMargin;
  if (columnWidth_ * columns_ + 2 * kBorder > maxWidth) columnWidth_ = std::floor((maxWidth - 2 * kBorder) / columns_);
  const CCoord width = columnWidth_ * columns_ + 2 * kBorder;
  const CCoord height = rows_ * kRowHeight + 2 * kBorder;

  CCoord top = anchor.bottom;
  if (top + height > area.bottom - kMargin) top = anchor.top - height;  // above the menu
  if (top < area.top + kMargin) top = std::max(area.top + kMargin, area.bottom - kMargin - height);
  CCoord left = std::min(anchor.left, area.right - kMargin - width);
  left = std::max(left, area.left + kMargin);
  list_ = CRect(left, top, left + width, top + height);
  size_ = list_;  // redraws touch only the list; hitTest still takes the whole frame
  highlighted_ = menu_->getCurrentIndex();
}

int32_t CMenuPopup::entryCount() const { return menu_ ? menu_->getNbEntries() : 0; }

CRect CMenuPopup::getEntryRect(int32_t index) const {
  if (index < 0 || index >= entryCount()) return CRect();
  const int32_t column = index / rows_;
  const int32_t row = index % rows_;
  const CCoord left = list_.left + kBorder + column * columnWidth_;
  const CCoord top = list_.top + kBorder + row * kRowHeight;
  return CRect(left, top, left + columnWidth_, top + kRowHeight);
}

int32_t CMenuPopup::entryAt(const CPoint& where) const {
  CRect inner = list_;
  inner.inset(kBorder, kBorder);
  if (!inner.pointInside(where)) return -1;
  const auto column = static_cast<int32_t>((where.x - inner.left) / columnWidth_);
  const auto row = static_cast<int32_t>((where.y - inner.top) / kRowHeight);
  if (column >= columns_ || row >= rows_) return -1;
  const int32_t index = column * rows_ + row;
  return index < entryCount() ? index : -1;
}

void CMenuPopup::close() {
  COptionMenu* menu = menu_;
  menu_ = nullptr;
  if (menu) menu->popupClosed();
  if (CFrame* frame = getFrame()) frame->closeModalView(this);
}

void CMenuPopup::choose(int32_t index) {
  COptionMenu* menu = menu_;
  const CMenuItem* item = menu ? menu->getEntry(index) : nullptr;
  if (!item || !item->isChoosable()) return;
  // Closed first: the listener may open another pop-up or rebuild the views.
  close();
  menu->chooseEntry(index);
}

void CMenuPopup::highlight(int32_t index) {
  if (index == highlighted_) return;
  invalidRect(getEntryRect(highlighted_));
  highlighted_ = index;
  invalidRect(getEntryRect(highlighted_));
}

int32_t CMenuPopup::nextChoosable(int32_t index, int32_t step) const {
  for (int32_t i = index + step; i >= 0 && i < entryCount(); i += step)
    if (menu_->getEntry(i)->isChoosable()) return i;
  return index;
}

void CMenuPopup::draw(CDrawContext* context) {
  context->setFillColor(kListBack);
  context->setFrameColor(kListFrame);
  context->setLineWidth(kBorder);
  context->drawRect(list_, kDrawFilledAndStroked);
  if (menu_) context->setFont(menu_->getFont());
  for (int32_t i = 0; i < entryCount(); ++i) {
    const CMenuItem* item = menu_->getEntry(i);
    const CRect r = getEntryRect(i);
    if (item->isSeparator()) {
      context->setFrameColor(kDimText);
      context->drawLine(CPoint(r.left + kTextInset, r.getCenter().y), CPoint(r.right - kTextInset, r.getCenter().y));
      continue;
    }
    if (i == highlighted_ && item->isChoosable()) {
      context->setFillColor(kHighlight);
      context->drawRect(r, kDrawFilled);
    }
    context->setFontColor(item->isChoosable() ? kText : kDimText);
    CRect text = r;
    text.inset(kTextInset, 0);
    context->drawString(item->getTitle(), text, kLeftText);
  }
  setDirty(false);
}

CMouseEventResult CMenuPopup::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!list_.pointInside(where)) {
    close();
    return kMouseEventHandled;
  }
  if (buttons.isLeftButton()) choose(entryAt(where));
  return kMouseEventHandled;
}

CMouseEventResult CMenuPopup::onMouseMoved(const CPoint& where, const CButtonState&) {
  const int32_t index = entryAt(where);
  if (index >= 0 && menu_->getEntry(index)->isChoosable()) highlight(index);
  return kMouseEventHandled;
}

CMouseEventResult CMenuPopup::onMouseUp(const CPoint&, const CButtonState&) { return kMouseEventHandled; }

int32_t CMenuPopup::onKeyDown(const CKeyCode& key) {
  if (!menu_) return -1;
  switch (key.virt) {
  case kVKeyEscape: close(); return 1;
  case kVKeyUp: highlight(nextChoosable(highlighted_, -1)); return 1;
  case kVKeyDown: highlight(nextChoosable(highlighted_, 1)); return 1;
  case kVKeyReturn:
  case kVKeyEnter: choose(highlighted_); return 1;
  default: return -1;
  }
}
