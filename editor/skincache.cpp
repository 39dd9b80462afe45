#include "editor/skincache.hpp"

#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "editor/skinfiles.hpp"
#include "resources/resources.hpp"

namespace {

struct pngreader {
  const unsigned char* at;
  size_t left;
};

cairo_status_t readPng(void* closure, unsigned char* data, unsigned int length) {
  auto* r = static_cast<pngreader*>(closure);
  if (length > r->left) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, r->at, length);
  r->at += length;
  r->left -= length;
  return CAIRO_STATUS_SUCCESS;
}

CairoSurfacePtr decode(const char* file) {
  char name[64];
  qvresource res;
  if (!skinResourceName(file, name) || !loadSkinResource(name, res)) return nullptr;
  pngreader reader{res.bytes, res.size};
  CairoSurfacePtr s(cairo_image_surface_create_from_png_stream(readPng, &reader));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return s;
}

}  // namespace

CairoSurfacePtr decodedSkin(const char* file) {
  // Instances of one process may open their editors from different threads.
  static std::mutex lock;
  static std::map<std::string, cairo_surface_t*> decoded;  // one reference each, for good
  std::lock_guard<std::mutex> hold(lock);
  auto it = decoded.find(file);
  if (it == decoded.end()) {
    CairoSurfacePtr s = decode(file);
    if (!s) return nullptr;  // tried again next time; a missing image costs nothing
    it = decoded.emplace(file, s.release()).first;
  }
  return CairoSurfacePtr(cairo_surface_reference(it->second));
}
