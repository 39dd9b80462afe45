// Parameter positions and values: the exponential taper, stepped and switch
// types, a step kept through six decimals, no clamping, and the display value.
#include <gtest/gtest.h>

#include <cmath>

#include "units/qvparam.hpp"
#include "units/qvprocstate.hpp"

TEST(Params, ExponentialTaperAndItsInverse) {
  EXPECT_FLOAT_EQ(expTaper(0.0f), 0.0f);
  EXPECT_FLOAT_EQ(expTaper(1.0f), 1.0f);
  EXPECT_NEAR(expTaper(0.5f), 0.154387f, 1e-6f);
  auto p = createParam(2, 20000, 20000, 5, 20000, 5);  // a filter "Cutoff"
  EXPECT_NEAR(p->fpos, 0.99993f, 2e-5f) << "default 20000 Hz sits just below the top";
  const struct { float fpos, x; } rows[] = {{0.0f, 5.0f}, {1.0f, 20005.0f}, {0.5f, 3092.7f}, {0.130414f, 390.0f}};
  for (const auto& r : rows) {
    p->setNormalized(r.fpos);
    EXPECT_NEAR(p->x, r.x, 0.1f) << "position " << r.fpos;
    EXPECT_NEAR(p->u, r.x, 0.1f) << "type 2 shows the tapered value";
    p->setValue(p->x);
    EXPECT_NEAR(p->fpos, r.fpos, 1e-6f) << "engine value back to the same position";
  }
  auto dial = createParam(3, 1, 5, 0, 10, 0);  // output level
  dial->setNormalized(0.5f);
  EXPECT_NEAR(dial->x, 5.0f * 0.154387f, 1e-5f);
  EXPECT_FLOAT_EQ(dial->u, 5.0f) << "type 3 shows the position";
}

TEST(Params, SteppedAndSwitchPositions) {
  auto ord = createParam(5, 1, 4, 1, 4, 1);  // "Filter Ord"
  struct { float f; int xi; } steps[] = {{0.0f, 1}, {0.25f, 2}, {0.5f, 3}, {0.99f, 4}, {1.0f, 4}};
  for (auto s : steps) {
    ord->setNormalized(s.f);
    EXPECT_EQ(ord->xi, s.xi) << "position " << s.f;
    EXPECT_FLOAT_EQ(ord->getValue(), float(s.xi));
  }
  EXPECT_FLOAT_EQ(ord->u, 4.0f) << "end of travel shows uscale + ulow - 1";
  auto sw = createParam(4, 0, 1, 0, 1, 0);
  for (float f : {0.0f, 0.5f, 0.999f, 1.0f}) {
    sw->setNormalized(f);
    EXPECT_EQ(sw->xi, f == 1.0f ? 1 : 0) << "position " << f;
  }
  EXPECT_EQ(createParam(42, 2, 8, 1, 8, 1)->getType(), 5) << "unknown types make a stepped parameter";
  // The tube "Mode" 2 sits at 1/9; a document stores it with six decimals.
  auto mode = createParam(5, 2, 9, 1, 9, 1);
  mode->setNormalized(0.111111f);
  EXPECT_EQ(mode->xi, 2) << "a step survives its six-decimal position";
  mode->setNormalized(0.1110f);
  EXPECT_EQ(mode->xi, 1) << "clearly below the step stays below";
  qvprocstate st;
  st.settings[kSetOversampling]->setNormalized(0.1875f);
  EXPECT_EQ(st.settingInt(kSetOversampling), 4) << "the factory position gives factor 4";
}

TEST(Params, LinearValuesAreNotClampedAndDisplaysAgree) {
  auto p = createParam(1, 0.1f, 10, 0, 10, 0);
  EXPECT_NEAR(p->fpos, 0.01f, 1e-7f);
  p->setNormalized(1.5f);
  EXPECT_FLOAT_EQ(p->x, 15.0f);
  auto pan = createParam(1, 1, 2, 0, 2, -1);
  pan->setNormalized(0.0f);
  EXPECT_FLOAT_EQ(pan->u, -1.0f);
  pan->setNormalized(1.0f);
  EXPECT_FLOAT_EQ(pan->u, 1.0f);
  for (int type = 1; type <= 5; ++type) {
    auto a = createParam(type, 0, 8, 1, 16, -2);
    auto b = createParam(type, 0, 8, 1, 16, -2);
    b->setValue(5.0f);
    a->setNormalized(b->fpos);
    EXPECT_NEAR(a->u, b->u, 1e-4f) << "display from position or value, type " << type;
  }
}
