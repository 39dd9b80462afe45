#include "toolkit/ctextlabel.hpp"

#include <cstring>

CTextLabel::CTextLabel(const CRect& size, const std::string& text, CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style), text_(text) {}

void CTextLabel::setText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  invalid();
}

bool CTextLabel::isTypeOf(IdStringPtr name) const {
  return (name && std::strcmp(name, "CTextLabel") == 0) || CParamDisplay::isTypeOf(name);
}
