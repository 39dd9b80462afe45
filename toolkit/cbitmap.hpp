// A picture held as a cairo image surface: decoded once from PNG bytes, or drawn
// by the program itself. Shared by reference counts: every view that shows it
// remembers it and forgets it when done.
#pragma once
#include <cstddef>
#include <cstdint>

#include "toolkit/cairoholders.hpp"
#include "toolkit/cbaseobject.hpp"
#include "toolkit/geometry.hpp"

class CDrawContext;

class CBitmap : public CBaseObject {
public:
  // [ui] Decodes `size` PNG bytes (not kept). isLoaded() tells whether they were a PNG.
  CBitmap(const uint8_t* png, size_t size);
  // [ui] A transparent picture of the given size (ARGB) to draw into through getSurface().
  CBitmap(int width, int height);
  // [ui] Takes over an image surface.
  explicit CBitmap(CairoSurfacePtr surface);

  bool isLoaded() const { return surface_ != nullptr; }
  CCoord getWidth() const { return width_; }
  CCoord getHeight() const { return height_; }
  // The image surface (null when not loaded); owned by the bitmap.
  cairo_surface_t* getSurface() const { return surface_.get(); }

  // [ui] Draws into `dest` so that the bitmap's pixel `offset` lands on dest's
  // top-left corner; only `dest` is touched. `alpha` 0..1 scales the opacity.
  void draw(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint(), float alpha = 1.0f);

private:
  void adopt(CairoSurfacePtr surface);
  CairoSurfacePtr surface_;
  CCoord width_ = 0;   // pixels
  CCoord height_ = 0;  // pixels
};
