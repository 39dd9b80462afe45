// Drawing: bitmaps with a source offset and alpha, PNG decoding, view alpha,
// text that is not valid UTF-8, and the same pixels from the same text.
#include <cstring>

#include "tests/toolkit/toolkitfixture.hpp"
#include "toolkit/cdrawcontext.hpp"
#include "toolkit/ctextlabel.hpp"
#include "toolkit/utf8.hpp"

namespace {
constexpr CColor kRed{255, 0, 0, 255};
constexpr CColor kGreen{0, 255, 0, 255};
constexpr CColor kBlue{0, 0, 255, 255};

// Draws its bitmap into its rectangle from a source offset with an alpha.
class OffsetView : public CView {
public:
  OffsetView(const CRect& r, CBitmap* b, CPoint offset, float alpha) : CView(r), offset_(offset), alpha_(alpha) {
    setBackground(b);
  }
  void draw(CDrawContext* context) override { context->drawBitmap(getBackground(), size_, offset_, alpha_); }

private:
  CPoint offset_;
  float alpha_;
};

// Red upper half, green lower half, 10 x 20.
CBitmap* twoStates() {
  auto* b = new CBitmap(10, 20);
  CairoContextPtr cr(cairo_create(b->getSurface()));
  cairo_set_source_rgb(cr.get(), 1, 0, 0);
  cairo_rectangle(cr.get(), 0, 0, 10, 10);
  cairo_fill(cr.get());
  cairo_set_source_rgb(cr.get(), 0, 1, 0);
  cairo_rectangle(cr.get(), 0, 10, 10, 10);
  cairo_fill(cr.get());
  return b;
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::vector<uint8_t>*>(closure)->insert(static_cast<std::vector<uint8_t>*>(closure)->end(), data,
                                                       data + length);
  return CAIRO_STATUS_SUCCESS;
}
}  // namespace

TEST(Drawing, BitmapDrawnWithOffsetAndAlpha) {
  const struct {
    CPoint offset;
    float alpha;
    CColor top;     // pixel (5, 2) of the 10 x 10 destination
    CColor bottom;  // pixel (5, 7)
  } rows[] = {
      {{0, 0}, 1.0f, kRed, kRed},
      {{0, 10}, 1.0f, kGreen, kGreen},          // the lower state
      {{0, 5}, 1.0f, kRed, kGreen},             // half of each
      {{0, 10}, 0.5f, {0, 128, 128, 255}, {0, 128, 128, 255}},  // green half over blue
      {{0, 0}, 0.0f, kBlue, kBlue},
      {{0, 15}, 1.0f, kGreen, kBlue},           // past the bitmap's end: nothing drawn
  };
  for (const auto& row : rows) {
    TestFrame f(40, 40);
    f->setBackgroundColor(kBlue);
    CBitmap* b = twoStates();
    f->addView(new OffsetView(CRect(10, 10, 20, 20), b, row.offset, row.alpha));
    b->forget();
    f->idle();
    EXPECT_TRUE(colorNear(framePixel(*f, 15, 12), row.top, 1)) << row.offset.y << " " << row.alpha;
    EXPECT_TRUE(colorNear(framePixel(*f, 15, 17), row.bottom, 1)) << row.offset.y << " " << row.alpha;
    EXPECT_TRUE(colorNear(framePixel(*f, 25, 15), kBlue)) << "nothing outside the destination";
  }
}

TEST(Drawing, ViewAlphaBlendsEverythingItDraws) {
  TestFrame f(40, 40);
  f->setBackgroundColor(kBlackCColor);
  auto* box = new CViewContainer(CRect(0, 0, 20, 20));
  box->setBackgroundColor(kWhiteCColor);
  box->setAlphaValue(0.25f);
  f->addView(box);
  f->idle();
  EXPECT_TRUE(colorNear(framePixel(*f, 10, 10), CColor{64, 64, 64, 255}, 1));
  box->setAlphaValue(0.0f);
  f->idle();
  EXPECT_TRUE(colorNear(framePixel(*f, 10, 10), kBlackCColor));
}

TEST(Drawing, PngBytesDecodeOnlyWhenWhole) {
  CairoSurfacePtr source(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 7, 5));
  {
    CairoContextPtr cr(cairo_create(source.get()));
    cairo_set_source_rgba(cr.get(), 0.2, 0.4, 0.6, 1.0);
    cairo_paint(cr.get());
    cairo_set_source_rgba(cr.get(), 1, 1, 0, 1);
    cairo_rectangle(cr.get(), 3, 2, 1, 1);
    cairo_fill(cr.get());
  }
  std::vector<uint8_t> png;
  ASSERT_EQ(cairo_surface_write_to_png_stream(source.get(), appendBytes, &png), CAIRO_STATUS_SUCCESS);
  const struct {
    size_t size;
    bool loads;
  } rows[] = {{png.size(), true}, {png.size() / 2, false}, {8, false}, {0, false}};
  for (const auto& row : rows) {
    auto* bitmap = new CBitmap(png.data(), row.size);
    EXPECT_EQ(bitmap->isLoaded(), row.loads) << row.size << " of " << png.size() << " bytes";
    if (row.loads) {
      EXPECT_EQ(bitmap->getWidth(), 7);
      EXPECT_EQ(bitmap->getHeight(), 5);
      EXPECT_TRUE(colorNear(surfacePixel(bitmap->getSurface(), 3, 2), CColor{255, 255, 0, 255}));
      EXPECT_TRUE(colorNear(surfacePixel(bitmap->getSurface(), 0, 0), CColor{51, 102, 153, 255}));
    }
    bitmap->forget();
  }
  const char text[] = "not a png at all";
  auto* garbage = new CBitmap(reinterpret_cast<const uint8_t*>(text), sizeof text);
  EXPECT_FALSE(garbage->isLoaded());
  garbage->forget();
}

TEST(Drawing, BytesThatAreNotUtf8ShowAsLatin1) {
  const struct {
    const char* bytes;
    const char* shown;
  } rows[] = {
      {"abc", "abc"},
      {"caf\xc3\xa9", "caf\xc3\xa9"},                   // valid UTF-8 stays
      {"\xff", "\xc3\xbf"},                             // ÿ
      {"\xc3", "\xc3\x83"},                             // a cut sequence: Ã
      {"\xc0\xaf", "\xc3\x80\xc2\xaf"},                 // overlong form
      {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xc2\x80"},     // a surrogate
      {"\xe2\x82\xac!", "\xe2\x82\xac!"},               // €
  };
  for (const auto& row : rows) EXPECT_EQ(displayableUtf8(row.bytes), row.shown) << row.bytes;

  // A label with such bytes draws, and so does everything after it.
  TestFrame f(200, 40);
  auto* label = new CTextLabel(CRect(0, 0, 100, 20), "bad \xff\xfe\xc3 bytes");
  f->addView(label);
  auto* after = new CViewContainer(CRect(150, 0, 200, 40));
  after->setBackgroundColor(kGreen);
  f->addView(after);
  f->idle();
  EXPECT_TRUE(colorNear(framePixel(*f, 175, 20), kGreen));
  int lit = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 100; ++x) lit += framePixel(*f, x, y).red > 100;
  EXPECT_GT(lit, 30) << "the text itself was drawn";
}

TEST(Drawing, TextIsAlignedAndTheSameEveryTime) {
  // Where the text's ink lies, for each alignment, in two separate frames.
  const auto inkSpan = [](CHoriTxtAlign align) {
    TestFrame f(300, 30);
    auto* label = new CTextLabel(CRect(0, 0, 300, 30), "Corvina Hg");
    label->setHoriAlign(align);
    f->addView(label);
    f->idle();
    int first = 300, last = -1;
    for (int x = 0; x < 300; ++x)
      for (int y = 0; y < 30; ++y)
        if (framePixel(*f, x, y).red > 60) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
    std::vector<uint8_t> bytes(cairo_image_surface_get_data(f->getImage()),
                               cairo_image_surface_get_data(f->getImage()) + 300 * 4 * 30);
    return std::make_tuple(first, last, bytes);
  };
  const auto [l0, l1, left] = inkSpan(kLeftText);
  const auto [c0, c1, centre] = inkSpan(kCenterText);
  const auto [r0, r1, right] = inkSpan(kRightText);
  EXPECT_LT(l0, 6);
  EXPECT_GT(r1, 292);
  EXPECT_NEAR((c0 + c1) / 2.0, 150, 3);
  EXPECT_NEAR(l1 - l0, r1 - r0, 1) << "the same text, only moved";
  EXPECT_EQ(std::get<2>(inkSpan(kCenterText)), centre) << "the same pixels every time";
}
