// Owning holders for cairo objects: each releases its object with the matching
// cairo call when it goes out of scope.
#pragma once
#include <cairo.h>

#include <memory>

struct CairoRelease {
  void operator()(cairo_t* p) const { cairo_destroy(p); }
  void operator()(cairo_surface_t* p) const { cairo_surface_destroy(p); }
  void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
  void operator()(cairo_font_face_t* p) const { cairo_font_face_destroy(p); }
  void operator()(cairo_font_options_t* p) const { cairo_font_options_destroy(p); }
};

using CairoContextPtr = std::unique_ptr<cairo_t, CairoRelease>;
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoRelease>;
using CairoPatternPtr = std::unique_ptr<cairo_pattern_t, CairoRelease>;
using CairoFontFacePtr = std::unique_ptr<cairo_font_face_t, CairoRelease>;
using CairoFontOptionsPtr = std::unique_ptr<cairo_font_options_t, CairoRelease>;
