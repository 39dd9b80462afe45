#include "toolkit/ctextedit.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/cbitmap.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/utf8.hpp"

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, const std::string& text,
                     CBitmap* background, int32_t style)
    : CTextLabel(size, text, background, style) {
  setListener(listener);
  setTag(tag);
}

CCoord CTextEdit::widthOf(const std::string& text) const {
  CFrame* frame = getFrame();
  return frame ? frame->getStringWidth(getFont(), text) : 0;
}

CCoord CTextEdit::innerWidth() const { return std::max(0.0, getWidth() - 2 * getTextInset()); }

void CTextEdit::setText(const std::string& text) {
  CTextLabel::setText(text);
  caret_ = std::min(caret_, getText().size());
  if (editing_) keepCaretVisible();
}

void CTextEdit::keepCaretVisible() {
  const CCoord caretX = widthOf(getText().substr(0, caret_));
  const CCoord inner = innerWidth();
  if (caretX < scroll_) scroll_ = caretX;
  if (caretX > scroll_ + inner) scroll_ = caretX - inner;
  // No empty space after the text while it is wider than the field.
  scroll_ = std::clamp(scroll_, 0.0, std::max(0.0, widthOf(getText()) - inner));
}

void CTextEdit::caretMoved() {
  keepCaretVisible();
  if (CFrame* frame = getFrame()) caretEpoch_ = frame->getClock().now_ms();
  caretShown_ = true;
  invalid();
}

void CTextEdit::draw(CDrawContext* context) {
  if (!editing_) {
    CTextLabel::draw(context);
    return;
  }
  drawBack(context);
  CRect inner = size_;
  inner.inset(getTextInset(), 0);
  context->saveGlobalState();
  context->clipRect(inner);
  context->setFont(getFont());
  context->setFontColor(getFontColor());
  const CCoord left = inner.left - scroll_;
  context->drawString(getText(), CRect(left, size_.top, left + widthOf(getText()) + 1, size_.bottom), kLeftText);
  context->restoreGlobalState();
  if (caretShown_) {
    const CCoord x = std::floor(inner.left - scroll_ + widthOf(getText().substr(0, caret_)));
    context->setFrameColor(getFontColor());
    context->setLineWidth(1);
    context->drawLine(CPoint(x, size_.top + 3), CPoint(x, size_.bottom - 4));
  }
  drawFrame(context);
  setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  CFrame* frame = getFrame();
  if (!frame) return kMouseEventNotHandled;
  if (!editing_) frame->setFocusView(this);
  if (!editing_) return kMouseEventHandled;
  // The caret goes to the character boundary nearest the press.
  const CCoord x = where.x - (size_.left + getTextInset()) + scroll_;
  const std::string& text = getText();
  size_t best = 0;
  CCoord bestDistance = std::abs(x);
  for (size_t pos = 0; pos < text.size();) {
    pos = nextCharBoundary(text, pos);
    const CCoord d = std::abs(widthOf(text.substr(0, pos)) - x);
    if (d < bestDistance) {
      bestDistance = d;
      best = pos;
    }
  }
  caret_ = best;
  caretMoved();
  return kMouseEventHandled;
}

int32_t CTextEdit::onKeyDown(const CKeyCode& key) {
  if (!editing_) return -1;
  std::string text = getText();
  switch (key.virt) {
  case kVKeyReturn:
  case kVKeyEnter: endEditing(true); return 1;
  case kVKeyEscape: endEditing(false); return 1;
  case kVKeyLeft: caret_ = prevCharBoundary(text, caret_); break;
  case kVKeyRight: caret_ = nextCharBoundary(text, caret_); break;
  case kVKeyHome: caret_ = 0; break;
  case kVKeyEnd: caret_ = text.size(); break;
  case kVKeyBack:
    if (caret_ > 0) {
      const size_t from = prevCharBoundary(text, caret_);
      text.erase(from, caret_ - from);
      caret_ = from;
    }
    break;
  case kVKeyDelete:
    if (caret_ < text.size()) text.erase(caret_, nextCharBoundary(text, caret_) - caret_);
    break;
  case kVKeyNone: {
    if (key.character < 0x20 || key.character == 0x7F || (key.modifier & kControl)) return -1;
    std::string bytes;
    appendUtf8(bytes, static_cast<char32_t>(key.character));
    if (bytes.empty()) return -1;
    if (maxLength_ >= 0 && text.size() + bytes.size() > static_cast<size_t>(maxLength_)) return 1;
    text.insert(caret_, bytes);
    caret_ += bytes.size();
    break;
  }
  default: return -1;
  }
  CTextLabel::setText(text);
  caretMoved();
  return 1;
}

void CTextEdit::onIdle() {
  CFrame* frame = getFrame();
  if (!editing_ || !frame) return;
  const bool shown = ((frame->getClock().now_ms() - caretEpoch_) / kCaretBlinkMs) % 2 == 0;
  if (shown != caretShown_) {
    caretShown_ = shown;
    invalid();
  }
}

void CTextEdit::takeFocus() {
  editing_ = true;
  original_ = getText();
  caret_ = getText().size();
  setWantsIdle(true);
  caretMoved();
}

void CTextEdit::looseFocus() {
  if (editing_ && !ending_) endEditing(true);
}

void CTextEdit::endEditing(bool commit) {
  if (!editing_) return;
  editing_ = false;
  setWantsIdle(false);
  scroll_ = 0;
  if (!commit) CTextLabel::setText(original_);
  invalid();
  if (CFrame* frame = getFrame(); frame && frame->getFocusView() == this) {
    ending_ = true;
    frame->setFocusView(nullptr);
    ending_ = false;
  }
  if (commit) valueChanged();
}

bool CTextEdit::isTypeOf(IdStringPtr name) const {
  return (name && std::strcmp(name, "CTextEdit") == 0) || CTextLabel::isTypeOf(name);
}
