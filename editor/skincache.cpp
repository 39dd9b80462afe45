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

// The pictures decoded so far, one reference each, given back when the module
// unloads (a host that unloads the plug-in gets the memory back; editors and
// their bitmaps are gone by then).
struct decodedset {
  std::mutex lock;  // instances of one process may open editors from different threads
  std::map<std::string, cairo_surface_t*> surfaces;
  ~decodedset() {
    for (auto& entry : surfaces) cairo_surface_destroy(entry.second);
  }
};

}  // namespace

CairoSurfacePtr decodedSkin(const char* file) {
  static decodedset decoded;
  std::lock_guard<std::mutex> hold(decoded.lock);
  auto it = decoded.surfaces.find(file);
  if (it == decoded.surfaces.end()) {
    CairoSurfacePtr s = decode(file);
    if (!s) return nullptr;  // tried again next time; a missing image costs nothing
    it = decoded.surfaces.emplace(file, s.release()).first;
  }
  return CairoSurfacePtr(cairo_surface_reference(it->second));
}
