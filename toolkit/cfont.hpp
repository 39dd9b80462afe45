// Fonts: a description (family, pixel size, face) and the frame's cache of the
// cairo faces they resolve to. Families are matched through fontconfig with
// DejaVu Sans as the first fallback; rendering options (grey antialiasing, slight
// hinting, hinted metrics) are fixed here rather than taken from the user's
// fontconfig settings, so the same font packages give the same pixels anywhere.
#pragma once
#include <string>
#include <vector>

#include "toolkit/cairoholders.hpp"
#include "toolkit/geometry.hpp"

enum CTxtFace : int32_t { kNormalFace = 0, kBoldFace = 1, kItalicFace = 2 };

struct CFontDesc {
  std::string name = "DejaVu Sans";  // fontconfig family
  CCoord size = 12;                  // pixels
  int32_t style = kNormalFace;       // CTxtFace bits
  bool operator==(const CFontDesc&) const = default;
};

// The font options every drawing context and measurement uses.
CairoFontOptionsPtr makeKitFontOptions();

class CFontCache {
public:
  // [ui] The face for `font`'s family and style, resolved on first use; owned by
  // the cache. Falls back to cairo's own sans face when fontconfig finds nothing.
  cairo_font_face_t* face(const CFontDesc& font);

private:
  struct Entry {
    std::string name;
    int32_t style;
    CairoFontFacePtr face;
  };
  std::vector<Entry> entries_;  // few fonts per editor: a linear search is enough
};
