#include "tools/skingen/output.hpp"

bool writeSkinPng(cairo_surface_t* s, const char* path) {
  cairo_surface_flush(s);
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  bool opaque = cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32;
  if (!opaque) {
    opaque = true;
    for (int y = 0; y < h && opaque; ++y) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
      for (int x = 0; x < w; ++x)
        if ((row[x] >> 24) != 0xff) {
          opaque = false;
          break;
        }
    }
  }
  cairo_status_t st;
  if (opaque && cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32) {
    cairo_surface_t* rgb = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(rgb);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    st = cairo_surface_write_to_png(rgb, path);
    cairo_surface_destroy(rgb);
  } else {
    st = cairo_surface_write_to_png(s, path);
  }
  return st == CAIRO_STATUS_SUCCESS;
}
