#include "toolkit/cparamdisplay.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "toolkit/cbitmap.hpp"

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, -1, background), style_(style) {}

void CParamDisplay::setFont(const CFontDesc& font) {
  font_ = font;
  invalid();
}
void CParamDisplay::setFontColor(const CColor& color) {
  fontColor_ = color;
  invalid();
}
void CParamDisplay::setBackColor(const CColor& color) {
  backColor_ = color;
  invalid();
}
void CParamDisplay::setFrameColor(const CColor& color) {
  frameColor_ = color;
  invalid();
}
void CParamDisplay::setHoriAlign(CHoriTxtAlign align) {
  align_ = align;
  invalid();
}
void CParamDisplay::setStyle(int32_t style) {
  style_ = style;
  invalid();
}
void CParamDisplay::setPrecision(int precision) {
  precision_ = std::clamp(precision, 0, 9);
  invalid();
}
void CParamDisplay::setValueToStringFunction(ValueToString function) {
  valueToString_ = std::move(function);
  invalid();
}
void CParamDisplay::setTextInset(CCoord inset) {
  textInset_ = inset;
  invalid();
}

std::string CParamDisplay::getValueText() const {
  std::string text;
  if (valueToString_ && valueToString_(getValue(), text)) return text;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", precision_, static_cast<double>(getValue()));
  return buffer;
}

void CParamDisplay::draw(CDrawContext* context) {
  if (!(style_ & kNoDrawStyle)) {
    drawBack(context);
    if (!(style_ & kNoTextStyle)) drawText(context, getDisplayText());
    if (!(style_ & kNoFrame)) drawFrame(context);
  }
  setDirty(false);
}

bool CParamDisplay::isTypeOf(IdStringPtr name) const {
  return (name && std::strcmp(name, "CParamDisplay") == 0) || CControl::isTypeOf(name);
}

void CParamDisplay::drawBack(CDrawContext* context) {
  if (backColor_.alpha > 0) {
    context->setFillColor(backColor_);
    context->drawRect(size_, kDrawFilled);
  }
  if (CBitmap* bg = getBackground()) bg->draw(context, size_);
}

void CParamDisplay::drawText(CDrawContext* context, const std::string& text) {
  CRect area = size_;
  area.inset(textInset_, 0);
  context->setFont(font_);
  context->setFontColor(fontColor_);
  context->drawString(text, area, align_);
}

void CParamDisplay::drawFrame(CDrawContext* context) {
  if (frameColor_.alpha == 0) return;
  context->setFrameColor(frameColor_);
  context->setLineWidth(1);
  context->drawRect(size_, kDrawStroked);
}
