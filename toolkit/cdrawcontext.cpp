#include "toolkit/cdrawcontext.hpp"

#include <cmath>

#include "toolkit/cbitmap.hpp"
#include "toolkit/utf8.hpp"

CDrawContext::CDrawContext(cairo_t* cr, CFontCache& fonts) : cr_(cr), fonts_(fonts) {
  CairoFontOptionsPtr options = makeKitFontOptions();
  cairo_set_font_options(cr_, options.get());
}

void CDrawContext::setSource(const CColor& c) {
  cairo_set_source_rgba(cr_, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void CDrawContext::useFont() {
  cairo_set_font_face(cr_, fonts_.face(state_.font));
  cairo_set_font_size(cr_, state_.font.size);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
  if (rect.isEmpty()) return;
  if (style != kDrawStroked) {
    setSource(state_.fill);
    cairo_rectangle(cr_, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_fill(cr_);
  }
  if (style != kDrawFilled && state_.lineWidth > 0) {
    const CCoord half = state_.lineWidth / 2;
    setSource(state_.frame);
    cairo_set_line_width(cr_, state_.lineWidth);
    cairo_rectangle(cr_, rect.left + half, rect.top + half, rect.getWidth() - state_.lineWidth,
                    rect.getHeight() - state_.lineWidth);
    cairo_stroke(cr_);
  }
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
  setSource(state_.frame);
  cairo_set_line_width(cr_, state_.lineWidth);
  cairo_move_to(cr_, from.x + 0.5, from.y + 0.5);
  cairo_line_to(cr_, to.x + 0.5, to.y + 0.5);
  cairo_stroke(cr_);
}

void CDrawContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha) {
  if (bitmap) bitmap->draw(this, dest, offset, alpha);
}

void CDrawContext::drawString(const std::string& text, const CRect& rect, CHoriTxtAlign align) {
  if (text.empty() || rect.isEmpty()) return;
  const std::string shown = displayableUtf8(text);
  useFont();
  cairo_text_extents_t te{};
  cairo_text_extents(cr_, shown.c_str(), &te);
  cairo_font_extents_t fe{};
  cairo_font_extents(cr_, &fe);
  CCoord x = rect.left;
  if (align == kCenterText) x = rect.left + (rect.getWidth() - te.x_advance) / 2;
  else if (align == kRightText) x = rect.right - te.x_advance;
  const CCoord baseline = rect.top + (rect.getHeight() + fe.ascent - fe.descent) / 2;
  cairo_save(cr_);
  cairo_rectangle(cr_, rect.left, rect.top, rect.getWidth(), rect.getHeight());
  cairo_clip(cr_);
  setSource(state_.fontColor);
  cairo_move_to(cr_, std::round(x), std::round(baseline));
  cairo_show_text(cr_, shown.c_str());
  cairo_restore(cr_);
}

CCoord CDrawContext::getStringWidth(const std::string& text) {
  return measureStringWidth(cr_, fonts_, state_.font, text);
}

void CDrawContext::saveGlobalState() {
  saved_.push_back(state_);
  cairo_save(cr_);
}

void CDrawContext::restoreGlobalState() {
  if (saved_.empty()) return;
  state_ = saved_.back();
  saved_.pop_back();
  cairo_restore(cr_);
}

void CDrawContext::clipRect(const CRect& rect) {
  cairo_rectangle(cr_, rect.left, rect.top, std::max(0.0, rect.getWidth()), std::max(0.0, rect.getHeight()));
  cairo_clip(cr_);
}

CCoord measureStringWidth(cairo_t* cr, CFontCache& fonts, const CFontDesc& font, const std::string& text) {
  if (text.empty()) return 0;
  const std::string shown = displayableUtf8(text);
  cairo_save(cr);
  CairoFontOptionsPtr options = makeKitFontOptions();
  cairo_set_font_options(cr, options.get());
  cairo_set_font_face(cr, fonts.face(font));
  cairo_set_font_size(cr, font.size);
  cairo_text_extents_t te{};
  cairo_text_extents(cr, shown.c_str(), &te);
  cairo_restore(cr);
  return te.x_advance;
}
