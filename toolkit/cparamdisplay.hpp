// A control that shows its value as text over a background (colour and bitmap)
// with an optional frame. The text comes from a formatting function or from the
// value with a fixed number of decimals. Labels and menus derive from it; their
// drawing steps (background, text) are virtual so derived views can change one.
#pragma once
#include <functional>
#include <string>

#include "toolkit/ccontrol.hpp"
#include "toolkit/cdrawcontext.hpp"

// Style bits.
enum CParamDisplayStyle : int32_t {
  kNoFrame = 1 << 0,      // no frame line
  kNoTextStyle = 1 << 1,  // no text
  kNoDrawStyle = 1 << 2,  // draws nothing at all (a transparent, clickable area)
};

class CParamDisplay : public CControl {
public:
  // Turns a value into the text shown; false to show the default text.
  using ValueToString = std::function<bool(float value, std::string& text)>;

  explicit CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);

  void setFont(const CFontDesc& font);
  const CFontDesc& getFont() const { return font_; }
  void setFontColor(const CColor& color);
  CColor getFontColor() const { return fontColor_; }
  void setBackColor(const CColor& color);
  CColor getBackColor() const { return backColor_; }
  void setFrameColor(const CColor& color);
  CColor getFrameColor() const { return frameColor_; }
  void setHoriAlign(CHoriTxtAlign align);
  CHoriTxtAlign getHoriAlign() const { return align_; }
  void setStyle(int32_t style);
  int32_t getStyle() const { return style_; }
  // Decimals of the default text (0..9).
  void setPrecision(int precision);
  void setValueToStringFunction(ValueToString function);
  // Inset of the text from the left and right edges, pixels.
  void setTextInset(CCoord inset);
  CCoord getTextInset() const { return textInset_; }

  // The value's text by the formatting function or the precision.
  std::string getValueText() const;
  // The text the display shows: the value's text here, a label's own text in CTextLabel.
  virtual std::string getDisplayText() const { return getValueText(); }

  void draw(CDrawContext* context) override;
  bool isTypeOf(IdStringPtr name) const override;

protected:
  // Back colour, then the background bitmap from its top-left corner.
  virtual void drawBack(CDrawContext* context);
  // `text` in the font, colour and alignment, inside the text inset.
  virtual void drawText(CDrawContext* context, const std::string& text);
  virtual void drawFrame(CDrawContext* context);

private:
  CFontDesc font_;
  CColor fontColor_ = kWhiteCColor;
  CColor backColor_ = kTransparentCColor;
  CColor frameColor_ = kTransparentCColor;
  CHoriTxtAlign align_ = kCenterText;
  int32_t style_;
  int precision_ = 2;
  CCoord textInset_ = 2;  // pixels
  ValueToString valueToString_;
};
