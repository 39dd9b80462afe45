#include <gtest/gtest.h>

#include "tests/memwriter.hpp"
#include "units/cabsim.hpp"

TEST(CabSim, DefaultsPassThroughAndBlockType) {
  qvprocstate st;
  qvusconv cab(st, true);
  EXPECT_EQ(cab.blocktype(), 999);
  ASSERT_EQ(cab.params.count(), 5u);
  const float defaults[] = {0.18f, 1.0f, 0.0f, 1.0f, 0.0f};
  for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(cab.params[i]->getValue(), defaults[i]) << i;
  EXPECT_EQ(cab.slot, -1);
  EXPECT_EQ(cab.impulse, -1);
  EXPECT_EQ(cab.process(0.25f), 0.25f);
  qvusconv bare(st, false);
  EXPECT_EQ(bare.params.count(), 0u);
}

TEST(CabSim, SerialiseconvWritesEveryPositionOnly) {
  qvprocstate st;
  qvusconv cab(st, true);
  cab.records[2]->setvis = false;  // written all the same
  const float pos[] = {0.5f, 0.25f, 0.75f, 1.0f, 0.0f};
  for (int i = 0; i < 5; ++i) cab.params[i]->setNormalized(pos[i]);
  MemWriter w;
  w.openObject(nullptr);
  cab.serialiseconv(w, 7);
  w.close();
  EXPECT_EQ(w.text,
            "{\"sourceuid\":7,\"pars\":[{\"fpos\":0.5},{\"fpos\":0.25},{\"fpos\":0.75},"
            "{\"fpos\":1},{\"fpos\":0}]}");
}
