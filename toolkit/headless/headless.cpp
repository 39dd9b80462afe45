#include "toolkit/headless/headless.hpp"

#include <algorithm>
#include <cstring>

#include "toolkit/utf8.hpp"

int writeFramePng(CFrame& frame, const std::string& path) {
  frame.drawDirty();
  return cairo_surface_write_to_png(frame.getImage(), path.c_str()) == CAIRO_STATUS_SUCCESS ? 0 : 1;
}

CColor surfacePixel(cairo_surface_t* surface, int x, int y) {
  if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return kTransparentCColor;
  const cairo_format_t format = cairo_image_surface_get_format(surface);
  if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32) return kTransparentCColor;
  if (x < 0 || y < 0 || x >= cairo_image_surface_get_width(surface) || y >= cairo_image_surface_get_height(surface))
    return kTransparentCColor;
  cairo_surface_flush(surface);
  const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
  uint32_t pixel;
  std::memcpy(&pixel, row + 4 * x, 4);  // native-endian 0xAARRGGBB
  const auto channel = [&](int shift) { return static_cast<uint8_t>((pixel >> shift) & 0xFF); };
  CColor c{channel(16), channel(8), channel(0), 255};
  if (format == CAIRO_FORMAT_ARGB32) {
    c.alpha = channel(24);
    if (c.alpha > 0 && c.alpha < 255) {
      const auto unpremultiply = [&](uint8_t v) { return static_cast<uint8_t>(std::min(255, (v * 255 + c.alpha / 2) / c.alpha)); };
      c.red = unpremultiply(c.red);
      c.green = unpremultiply(c.green);
      c.blue = unpremultiply(c.blue);
    }
  }
  return c;
}

void injectClick(CFrame& frame, const CPoint& where, CButtonState buttons) {
  frame.platformOnMouseMoved(where, buttons & ~(kLButton | kMButton | kRButton));
  frame.platformOnMouseDown(where, buttons);
  frame.platformOnMouseUp(where, buttons);
}

void injectDrag(CFrame& frame, const CPoint& from, const CPoint& to, CButtonState buttons, int steps) {
  frame.platformOnMouseMoved(from, buttons & ~(kLButton | kMButton | kRButton));
  frame.platformOnMouseDown(from, buttons);
  steps = std::max(steps, 1);
  for (int i = 1; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    frame.platformOnMouseMoved(CPoint(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t), buttons);
  }
  frame.platformOnMouseUp(to, buttons);
}

void injectText(CFrame& frame, const std::string& text) {
  for (size_t pos = 0; pos < text.size(); pos = nextCharBoundary(text, pos)) {
    CKeyCode key;
    key.character = static_cast<int32_t>(codePointAt(text, pos));
    frame.onKeyDown(key);
  }
}

void injectKey(CFrame& frame, VirtualKey virt, int32_t modifiers) {
  CKeyCode key;
  key.virt = virt;
  key.modifier = modifiers;
  frame.onKeyDown(key);
}
