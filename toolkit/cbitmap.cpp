#include "toolkit/cbitmap.hpp"

#include <algorithm>
#include <cstring>

#include "toolkit/cdrawcontext.hpp"

namespace {
struct PngSource {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
  auto* src = static_cast<PngSource*>(closure);
  if (src->size - src->pos < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, src->data + src->pos, length);
  src->pos += length;
  return CAIRO_STATUS_SUCCESS;
}
}  // namespace

CBitmap::CBitmap(const uint8_t* png, size_t size) {
  if (!png || size == 0) return;
  PngSource src{png, size, 0};
  adopt(CairoSurfacePtr(cairo_image_surface_create_from_png_stream(readPng, &src)));
}

CBitmap::CBitmap(int width, int height) {
  adopt(CairoSurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(width, 0), std::max(height, 0))));
}

CBitmap::CBitmap(CairoSurfacePtr surface) { adopt(std::move(surface)); }

void CBitmap::adopt(CairoSurfacePtr surface) {
  if (!surface || cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_get_type(surface.get()) != CAIRO_SURFACE_TYPE_IMAGE)
    return;
  width_ = cairo_image_surface_get_width(surface.get());
  height_ = cairo_image_surface_get_height(surface.get());
  surface_ = std::move(surface);
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& offset, float alpha) {
  if (!context || !surface_ || dest.isEmpty() || alpha <= 0.0f) return;
  cairo_t* cr = context->getCairo();
  cairo_save(cr);
  cairo_rectangle(cr, dest.left, dest.top, dest.getWidth(), dest.getHeight());
  cairo_clip(cr);
  cairo_set_source_surface(cr, surface_.get(), dest.left - offset.x, dest.top - offset.y);
  if (alpha >= 1.0f) cairo_paint(cr);
  else cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}
