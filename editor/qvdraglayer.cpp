#include "editor/qvdraglayer.hpp"

#include "toolkit/cbitmap.hpp"
#include "toolkit/cdrawcontext.hpp"
#include "toolkit/events.hpp"

namespace {
const CColor kMarkColour{255, 176, 64, 255};
constexpr CCoord kIconGap = 10;  // the icon sits below and right of the pointer
}  // namespace

qvdraglayer::qvdraglayer(const CRect& size, CBitmap* overlay, CBitmap* icon, CBitmap* none, const CRect& picked,
                         std::function<void()> onEscape)
    : CView(size), overlayImage_(overlay), icon_(icon), none_(none), onEscape_(std::move(onEscape)) {
  const CCoord w = overlay ? overlay->getWidth() : picked.getWidth();
  const CCoord h = overlay ? overlay->getHeight() : picked.getHeight();
  const CPoint c = picked.getCenter();
  overlay_ = CRect(c.x - w / 2, c.y - h / 2, c.x - w / 2 + w, c.y - h / 2 + h);
  mouse_ = c;  // the press that picked it was there
}

CRect qvdraglayer::areaOf(const qvdroptarget& t) {
  if (!t.view) return t.area;
  CRect r = t.view->getFrameRect();
  if (t.clip) r.bound(t.clip->getFrameRect());
  return r;
}

const qvdroptarget* qvdraglayer::targetAt(const CPoint& where) const {
  for (const qvdroptarget& t : targets_) {
    const CRect r = areaOf(t);
    if (!r.isEmpty() && r.pointInside(where)) return &t;
  }
  return nullptr;
}

void qvdraglayer::follow(const CPoint& where) {
  const CRect before = overlay_;
  const qvdroptarget* markedBefore = marked_;
  const CPoint iconBefore = mouse_;
  overlay_.offset(where.x - mouse_.x, where.y - mouse_.y);
  mouse_ = where;
  marked_ = targetAt(where);
  invalidRect(CRect(before).inset(-2, -2));
  invalidRect(CRect(overlay_).inset(-2, -2));
  invalidRect(CRect(iconBefore.x, iconBefore.y, iconBefore.x + 40, iconBefore.y + 50));
  invalidRect(CRect(where.x, where.y, where.x + 40, where.y + 50));
  if (markedBefore != marked_) {
    if (markedBefore) invalidRect(areaOf(*markedBefore).inset(-3, -3));
    if (marked_) invalidRect(areaOf(*marked_).inset(-3, -3));
  }
}

void qvdraglayer::draw(CDrawContext* context) {
  if (marked_) {
    context->setLineWidth(2);
    context->setFrameColor(kMarkColour);
    context->drawRect(areaOf(*marked_).inset(-1, -1), kDrawStroked);
  }
  if (overlayImage_) overlayImage_->draw(context, overlay_, CPoint(), 0.85f);
  if (CBitmap* icon = marked_ ? icon_ : none_) {
    const CCoord w = icon->getWidth();
    const CCoord h = icon == none_ ? icon->getHeight() / 2 : icon->getHeight();
    const CRect at(mouse_.x + kIconGap, mouse_.y + kIconGap, mouse_.x + kIconGap + w, mouse_.y + kIconGap + h);
    icon->draw(context, at, CPoint(), 1.0f);
  }
  setDirty(false);
}

CMouseEventResult qvdraglayer::onMouseDown(const CPoint&, const CButtonState&) { return kMouseEventHandled; }
CMouseEventResult qvdraglayer::onMouseUp(const CPoint&, const CButtonState&) { return kMouseEventHandled; }
CMouseEventResult qvdraglayer::onMouseMoved(const CPoint&, const CButtonState&) { return kMouseEventHandled; }

int32_t qvdraglayer::onKeyDown(const CKeyCode& key) {
  if (key.virt != kVKeyEscape) return 1;  // the views below get no keys meanwhile
  if (!finished_ && onEscape_) onEscape_();
  return 1;
}
