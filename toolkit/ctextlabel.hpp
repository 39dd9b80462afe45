// A display that shows a fixed text instead of its value.
#pragma once
#include <string>

#include "toolkit/cparamdisplay.hpp"

class CTextLabel : public CParamDisplay {
public:
  explicit CTextLabel(const CRect& size, const std::string& text = "", CBitmap* background = nullptr,
                      int32_t style = 0);

  virtual void setText(const std::string& text);
  const std::string& getText() const { return text_; }

  std::string getDisplayText() const override { return text_; }
  bool isTypeOf(IdStringPtr name) const override;

private:
  std::string text_;  // bytes
};
