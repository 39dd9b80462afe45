#include "toolkit/cfont.hpp"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <memory>

namespace {
struct FcPatternRelease {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternRelease>;

constexpr const char* kFirstFallback = "DejaVu Sans";

// The file fontconfig picks for the family and style, as a pattern that names only
// that file and our rendering settings: none of the user's fontconfig rules for
// antialiasing or hinting reach cairo.
FcPatternPtr matchFontFile(const std::string& name, int32_t style) {
  FcPatternPtr want(FcPatternCreate());
  if (!want) return nullptr;
  FcPatternAddString(want.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  if (name != kFirstFallback)
    FcPatternAddString(want.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(kFirstFallback));
  FcPatternAddInteger(want.get(), FC_WEIGHT, (style & kBoldFace) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(want.get(), FC_SLANT, (style & kItalicFace) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, want.get(), FcMatchPattern);
  FcDefaultSubstitute(want.get());
  FcResult result = FcResultNoMatch;
  FcPatternPtr match(FcFontMatch(nullptr, want.get(), &result));
  FcChar8* file = nullptr;
  if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return nullptr;
  int index = 0;
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
  FcPatternPtr exact(FcPatternCreate());
  if (!exact) return nullptr;
  FcPatternAddString(exact.get(), FC_FILE, file);
  FcPatternAddInteger(exact.get(), FC_INDEX, index);
  FcPatternAddBool(exact.get(), FC_ANTIALIAS, FcTrue);
  FcPatternAddBool(exact.get(), FC_HINTING, FcTrue);
  FcPatternAddInteger(exact.get(), FC_HINT_STYLE, FC_HINT_SLIGHT);
  FcPatternAddInteger(exact.get(), FC_RGBA, FC_RGBA_NONE);
  FcPatternAddBool(exact.get(), FC_AUTOHINT, FcFalse);
  return exact;
}
}  // namespace

CairoFontOptionsPtr makeKitFontOptions() {
  CairoFontOptionsPtr options(cairo_font_options_create());
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_subpixel_order(options.get(), CAIRO_SUBPIXEL_ORDER_DEFAULT);
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_ON);
  return options;
}

cairo_font_face_t* CFontCache::face(const CFontDesc& font) {
  for (const Entry& e : entries_)
    if (e.name == font.name && e.style == font.style) return e.face.get();
  CairoFontFacePtr face;
  if (FcPatternPtr pattern = matchFontFile(font.name, font.style))
    face.reset(cairo_ft_font_face_create_for_pattern(pattern.get()));
  if (!face || cairo_font_face_status(face.get()) != CAIRO_STATUS_SUCCESS)
    face.reset(cairo_toy_font_face_create(
        "sans", (font.style & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
        (font.style & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL));
  entries_.push_back({font.name, font.style, std::move(face)});
  return entries_.back().face.get();
}
