// Drawing on cairo: colours, line width and font as state, rectangles, lines,
// bitmaps with a source offset and alpha, one-line text with alignment, and
// clipping. The view tree draws with one context per redraw; views find their
// own rectangle in their parent's coordinates, as in events.
#pragma once
#include <cairo.h>

#include <string>
#include <vector>

#include "toolkit/cfont.hpp"
#include "toolkit/geometry.hpp"

class CBitmap;

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

class CDrawContext {
public:
  // [ui] Draws through `cr`, borrowed for the context's life; sets the kit's font options on it.
  CDrawContext(cairo_t* cr, CFontCache& fonts);
  CDrawContext(const CDrawContext&) = delete;
  CDrawContext& operator=(const CDrawContext&) = delete;

  cairo_t* getCairo() const { return cr_; }
  CFontCache& fonts() const { return fonts_; }

  void setFillColor(const CColor& c) { state_.fill = c; }
  CColor getFillColor() const { return state_.fill; }
  void setFrameColor(const CColor& c) { state_.frame = c; }
  CColor getFrameColor() const { return state_.frame; }
  void setFontColor(const CColor& c) { state_.fontColor = c; }
  CColor getFontColor() const { return state_.fontColor; }
  void setLineWidth(CCoord width) { state_.lineWidth = width; }
  CCoord getLineWidth() const { return state_.lineWidth; }
  void setFont(const CFontDesc& font) { state_.font = font; }
  const CFontDesc& getFont() const { return state_.font; }

  // A stroked rectangle keeps its line inside `rect`.
  void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
  // A line between pixel centres, so a 1-pixel line covers whole pixels.
  void drawLine(const CPoint& from, const CPoint& to);
  // `bitmap` drawn into `dest`, its pixel `offset` at dest's top-left, clipped to `dest`.
  void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint(), float alpha = 1.0f);
  // One line of text (bytes, shown as UTF-8 where valid), centred vertically in
  // `rect`, aligned horizontally, clipped to `rect`.
  void drawString(const std::string& text, const CRect& rect, CHoriTxtAlign align = kCenterText);
  CCoord getStringWidth(const std::string& text);

  // Save and restore the drawing state (colours, font, clip, translation).
  void saveGlobalState();
  void restoreGlobalState();
  // Narrows the clip to `rect` until the next restoreGlobalState.
  void clipRect(const CRect& rect);
  void translate(CCoord dx, CCoord dy) { cairo_translate(cr_, dx, dy); }

private:
  struct State {
    CColor fill = kWhiteCColor;
    CColor frame = kBlackCColor;
    CColor fontColor = kWhiteCColor;
    CCoord lineWidth = 1;  // pixels
    CFontDesc font;
  };
  void useFont();
  void setSource(const CColor& c);

  cairo_t* cr_;          // borrowed
  CFontCache& fonts_;    // the frame's
  State state_;
  std::vector<State> saved_;
};

// Width of `text` in `font`, measured on any cairo context (the kit's font options apply).
CCoord measureStringWidth(cairo_t* cr, CFontCache& fonts, const CFontDesc& font, const std::string& text);
