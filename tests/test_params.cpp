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
  p->setNormalized(0.0f);
  EXPECT_FLOAT_EQ(p->x, 5.0f);
  p->setNormalized(1.0f);
  EXPECT_FLOAT_EQ(p->x, 20005.0f);
  p->setNormalized(0.5f);
  EXPECT_NEAR(p->x, 3092.7f, 0.1f);
  EXPECT_NEAR(p->u, 3092.7f, 0.1f) << "type 2 shows the tapered value";
  const float x = p->x;
  p->setValue(x);
  EXPECT_NEAR(p->fpos, 0.5f, 1e-6f) << "engine value back to the same position";
  p->setNormalized(0.130414f);
  EXPECT_NEAR(p->x, 390.0f, 0.1f);

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
    EXPECT_FLOAT_EQ(ord->getValue(), static_cast<float>(s.xi));
  }
  EXPECT_FLOAT_EQ(ord->u, 4.0f + 1.0f - 1.0f) << "end of travel shows uscale + ulow - 1";

  auto sw = createParam(4, 0, 1, 0, 1, 0);
  for (float f : {0.0f, 0.5f, 0.999f}) {
    sw->setNormalized(f);
    EXPECT_EQ(sw->xi, 0) << "position " << f;
  }
  sw->setNormalized(1.0f);
  EXPECT_EQ(sw->xi, 1);
  sw->setValue(1.0f);
  EXPECT_EQ(sw->xi, 1);
  EXPECT_FLOAT_EQ(sw->fpos, 1.0f);

  auto unknown = createParam(42, 2, 8, 1, 8, 1);
  EXPECT_EQ(unknown->getType(), 5) << "unknown types make a stepped parameter";
  EXPECT_EQ(unknown->xi, 2);
}

TEST(Params, SteppedKeepsItsStepThroughSixDecimals) {
  auto mode = createParam(5, 2, 9, 1, 9, 1);  // tube "Mode", default 2 at position 1/9
  EXPECT_EQ(mode->xi, 2);
  mode->setNormalized(0.111111f);  // the position as a document stores it
  EXPECT_EQ(mode->xi, 2);
  mode->setNormalized(0.1110f);  // clearly below the step stays below
  EXPECT_EQ(mode->xi, 1);
}

TEST(Params, LinearValuesAndNoClamping) {
  auto p = createParam(1, 0.1f, 10, 0, 10, 0);
  EXPECT_NEAR(p->fpos, 0.01f, 1e-7f);
  EXPECT_NEAR(p->u, 0.1f, 1e-7f);
  p->setNormalized(1.5f);
  EXPECT_FLOAT_EQ(p->x, 15.0f);
  auto pan = createParam(1, 1, 2, 0, 2, -1);
  pan->setNormalized(0.0f);
  EXPECT_FLOAT_EQ(pan->x, 0.0f);
  EXPECT_FLOAT_EQ(pan->u, -1.0f);
  pan->setNormalized(1.0f);
  EXPECT_FLOAT_EQ(pan->u, 1.0f);
}

TEST(Params, DisplayValueAgreesFromPositionOrValue) {
  for (int type = 1; type <= 5; ++type) {
    auto a = createParam(type, 0, 8, 1, 16, -2);
    auto b = createParam(type, 0, 8, 1, 16, -2);
    b->setValue(5.0f);
    a->setNormalized(b->fpos);
    EXPECT_NEAR(a->u, b->u, 1e-4f) << "type " << type;
  }
}

TEST(Params, RecordsCarryTheirFields) {
  qvlist<qvparamrecord> recs;
  auto p = createParamWithRecord(3, 0.18f, 1.7f, 0, 10, 0, 0, recs, "Volume", true);
  ASSERT_EQ(recs.count(), 1u);
  const qvparamrecord& r = *recs[0];
  EXPECT_EQ(r.nametag, "Volume");
  EXPECT_EQ(r.posx, -1);
  EXPECT_EQ(r.posy, -1);
  EXPECT_EQ(r.posmode, 0);
  EXPECT_TRUE(r.setvis);
  EXPECT_FLOAT_EQ(p->x, 0.18f);
}

TEST(Params, GlobalSettingsDefaults) {
  qvprocstate st;
  ASSERT_EQ(st.settings.count(), 18u);
  EXPECT_EQ(st.settingInt(kSetOversampling), 1);
  EXPECT_EQ(st.settingInt(kSetGlobalGate), 1);
  EXPECT_FLOAT_EQ(st.setting(kSetBalance), 0.5f);
  EXPECT_FLOAT_EQ(st.setting(kSetOutputLevel), 1.0f);
  st.settings[kSetOversampling]->setNormalized(0.1875f);
  EXPECT_EQ(st.settingInt(kSetOversampling), 4) << "the factory position gives factor 4";
}
