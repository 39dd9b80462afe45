// Writing the generator's images: an image with no transparent pixel is stored as
// an RGB PNG (a quarter smaller), any other as RGBA.
#pragma once
#include <cairo.h>

#include "editor/skinfiles.hpp"

// Draws the file at its stored size. Null when no drawer knows the name; the
// caller destroys the surface.
cairo_surface_t* renderSkinImage(const qvskinfile& f);
// False when the file cannot be written.
bool writeSkinPng(cairo_surface_t* s, const char* path);
