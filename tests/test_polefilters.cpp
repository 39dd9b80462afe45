#include <gtest/gtest.h>

#include "units/polefilters.hpp"

TEST(PoleFilters, OnePoleAtFullCoefficientPassesTheInput) {
  polefilt_1lp lp;
  lp.setrate(48000);
  lp.setfreq(24000, 0);
  EXPECT_FLOAT_EQ(lp.k, 1.0f);
  EXPECT_FLOAT_EQ(lp.process(0.3f), 0.3f);
  polefilt_1lp hp;
  hp.setkind(1);
  hp.setrate(48000);
  hp.setfreq(24000, 0);
  EXPECT_NEAR(hp.process(0.0f), -1e-20f, 1e-22f) << "silence leaves only the offset";
}

TEST(PoleFilters, TwoPoleDcGain) {
  for (int kind : {0, 1}) {
    polefilt_2lpc f;
    f.setkind(kind);
    f.setrate(48000);
    f.setfreq(0, 0);  // 0.01 Hz is added, so this still designs
    f.setfreq(1000, 0);
    float y = 0;
    for (int i = 0; i < 20000; ++i) y = f.process(1.0f);
    EXPECT_NEAR(y, kind == 0 ? 1.0f : 0.0f, 1e-4f) << "kind " << kind;
  }
}
