// Decoding a PNG held in memory (an embedded resource) into a cairo image
// surface, for the skin tests and the decode benchmark.
#pragma once
#include <cairo.h>

#include <cstddef>
#include <cstring>

struct qvpngreader {
  const unsigned char* at;
  size_t left;
};

inline cairo_status_t readPngBytes(void* closure, unsigned char* data, unsigned int length) {
  auto* r = static_cast<qvpngreader*>(closure);
  if (length > r->left) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, r->at, length);
  r->at += length;
  r->left -= length;
  return CAIRO_STATUS_SUCCESS;
}

// The decoded image, or an error surface (check cairo_surface_status); the
// caller destroys it either way.
inline cairo_surface_t* decodePng(const unsigned char* bytes, size_t size) {
  qvpngreader r{bytes, size};
  return cairo_image_surface_create_from_png_stream(readPngBytes, &r);
}
