#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "editor/skinfiles.hpp"
#include "resources/resources.hpp"
#include "tools/skingen/pngmemory.hpp"

// The skin images are the embedded resource set "skins" (tools/skingen), linked
// into the tests beside the test set.

namespace {

struct decoded {
  cairo_surface_t* s = nullptr;
  explicit decoded(const qvskinfile& f) {
    char name[64];
    qvresource r;
    if (skinResourceName(f.file, name) && loadSkinResource(name, r)) s = decodePng(r.bytes, r.size);
  }
  ~decoded() {
    if (s) cairo_surface_destroy(s);
  }
  bool ok() const { return s && cairo_surface_status(s) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(s); }
  int height() const { return cairo_image_surface_get_height(s); }
  // The pixel's channels as 0..255, alpha last (premultiplied colour undone).
  void pixel(int x, int y, double out[4]) const {
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
    double a = cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32 ? (p >> 24) : 255;
    for (int c = 0; c < 3; ++c) out[c] = a > 0 ? ((p >> (16 - 8 * c)) & 0xff) * 255.0 / a : 0;
    out[3] = a;
  }
};

double linear(double v) {
  v /= 255;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Mean relative luminance over a rectangle.
double meanLuminance(const decoded& img, const qvfacerect& r) {
  double sum = 0, px[4];
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x) {
      img.pixel(x, y, px);
      sum += 0.2126 * linear(px[0]) + 0.7152 * linear(px[1]) + 0.0722 * linear(px[2]);
    }
  return sum / (double(r.w) * r.h);
}

double contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

}  // namespace

TEST(SkinImages, EveryListEntryIsEmbeddedDecodesAndHasItsSize) {
  std::set<std::string> files;
  for (const qvskinfile& f : kSkinFiles) {
    files.insert(f.file);
    decoded img(f);
    ASSERT_TRUE(img.ok()) << f.index << " " << f.file << " is embedded and decodes";
    EXPECT_EQ(img.width(), f.width) << f.file;
    EXPECT_EQ(img.height(), f.height) << f.file;
    if (f.frames > 1) {
      EXPECT_EQ(f.height, kKnobFrames * f.width) << f.file << " is 91 square frames";
    }
    if (f.states == 2) {
      EXPECT_EQ(f.height % 2, 0) << f.file << " stacks two equal states";
    }
  }
  EXPECT_EQ(files.size(), size_t(kSkinFileCount));
  EXPECT_EQ(corvinaSkinCount, size_t(kSkinFileCount)) << "one resource per distinct file";
  qvresource r;
  EXPECT_TRUE(loadSkinResource("ampguibg1.png", r)) << "names match without regard to case";
  EXPECT_FALSE(loadSkinResource("AMPGUIBG15.PNG", r));
  EXPECT_FALSE(loadDataResource("AMPGUIBG1.PNG", r)) << "the skins are not in the data set";
}

// Knob captions are white (200, 200, 200) or black by profile; both must read on
// the knob band and the input/output plate of every face and on every pedal's
// knob plate (contrast ratio 3:1 or better, as for large text).
TEST(SkinImages, KnobAreasReadUnderWhiteAndBlackCaptions) {
  const double white = linear(200), black = 0.0;
  auto check = [&](int index, const qvfacerect& r, const char* area) {
    const qvskinfile& f = kSkinFiles[size_t(index)];
    decoded img(f);
    ASSERT_TRUE(img.ok()) << f.file;
    double l = meanLuminance(img, r);
    EXPECT_GE(contrast(l, white), 3.0) << f.file << " " << area << " luminance " << l;
    EXPECT_GE(contrast(l, black), 3.0) << f.file << " " << area << " luminance " << l;
  };
  for (int i = 0; i < kAmpSkinCount; ++i) {
    check(kFirstSkinImage + i, kAmpKnobBand, "knob band");
    check(kFirstSkinImage + i, kAmpIoPlate, "input/output plate");
  }
  for (int i = 0; i < kPedalSkinCount; ++i)
    check(kFirstSkinImage + kAmpSkinCount + i, kPedalKnobPlate, "knob plate");
}

// Every logo sits in the one logo box: ink inside it, nothing beyond its shadow
// and glow margin.
TEST(SkinImages, LogosStayInTheLogoBox) {
  constexpr int margin = 24;
  const qvfacerect& b = kAmpLogoBox;
  for (int i = 0; i < kLogoCount; ++i) {
    const qvskinfile& f = kSkinFiles[size_t(kFirstLogoImage + i)];
    decoded img(f);
    ASSERT_TRUE(img.ok()) << f.file;
    int inside = 0, outside = 0;
    double px[4];
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        img.pixel(x, y, px);
        if (px[3] < 128) continue;
        bool in = x >= b.x - margin && x < b.x + b.w + margin && y >= b.y - margin &&
                  y < b.y + b.h + margin;
        (in ? inside : outside)++;
      }
    EXPECT_GT(inside, 2000) << f.file << " has a visible word mark";
    EXPECT_EQ(outside, 0) << f.file;
  }
}

// Every knob strip turns one way through 270 degrees centred on the top: frame 0
// points to the lower left, frame 45 up, frame 90 to the lower right, and no two
// neighbouring frames are the same. Checked on where two frames differ (the
// weighted centre of their difference), whatever the knob looks like.
TEST(SkinImages, KnobStripsTurnThreeQuartersOfATurnOverTheTop) {
  for (int i = 0; i < kKnobImageCount; ++i) {
    const qvskinfile& f = kSkinFiles[size_t(kFirstKnobImage + i)];
    decoded img(f);
    ASSERT_TRUE(img.ok()) << f.file;
    const int side = f.width;
    const double c = (side - 1) / 2.0;
    struct centre {
      double weight = 0, x = 0, y = 0;
    };
    auto where = [&](int a, int b) {
      centre m;
      double pa[4], pb[4];
      for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
          img.pixel(x, a * side + y, pa);
          img.pixel(x, b * side + y, pb);
          double d = 0;
          for (int ch = 0; ch < 4; ++ch) d += std::fabs(pa[ch] - pb[ch]);
          m.weight += d, m.x += d * x, m.y += d * y;
        }
      if (m.weight > 0) m.x /= m.weight, m.y /= m.weight;
      return m;
    };
    for (int k = 1; k < kKnobFrames; ++k)
      ASSERT_GT(where(k - 1, k).weight, 0.0) << f.file << " frames " << k - 1 << " and " << k;
    // Pairs of nearby frames change the picture where their pointer is; the
    // light is fixed, so compare such places with each other.
    centre ends = where(0, 90), start = where(0, 10), top = where(40, 50), end = where(80, 90);
    EXPECT_GT(ends.y, c + 0.05 * side) << f.file << ": both ends point downwards";
    EXPECT_NEAR(ends.x, c, 0.06 * side) << f.file << ": the ends mirror each other";
    EXPECT_LT(start.x, end.x - 0.04 * side) << f.file << ": turning right, from left to right";
    EXPECT_LT(top.y, std::min(start.y, end.y) - 0.04 * side) << f.file << ": over the top";
  }
}
