#include <gtest/gtest.h>

#include "memwriter.hpp"
#include "units/unitfactory.hpp"

TEST(UnitBase, BlockTypeTableInMenuOrder) {
  const char* names[] = {"Buffer", "Filter", "Equalizer", "Clipping", "Compression", "Gate",
                         "Tone", "Tube Gain", "Graphic EQ", "Presence", "Auto Wah", "Delay"};
  for (int t = 0; t < 12; ++t) {
    EXPECT_EQ(kBlockTypes[t].sblock, t);
    EXPECT_STREQ(blockDisplayName(t), names[t]);
  }
  EXPECT_STREQ(blockDisplayName(12), "");
  EXPECT_STREQ(blockDisplayName(-1), "");
}

TEST(UnitBase, TablesHaveTheirParameterCounts) {
  const size_t counts[] = {1, 5, 6, 7, 6, 4, 6, 8, 10, 3, 8, 4};
  for (int t = 0; t < 12; ++t) EXPECT_EQ(paramTable(t).size(), counts[t]) << "block type " << t;
  EXPECT_EQ(paramTable(kBlockCabSim).size(), 5u);
  EXPECT_TRUE(paramTable(12).empty());
}

TEST(UnitBase, FactoryBuildsEveryKnownUnitWithItsTableAtDefaults) {
  qvprocstate st;
  int built = 0;
  for (int t = 0; t < 12; ++t) {
    auto u = createUnit(t, st, true, true);
    if (!u) continue;  // not every block type exists yet
    ++built;
    EXPECT_EQ(u->blocktype(), t);
    const auto table = paramTable(t);
    ASSERT_EQ(u->params.count(), table.size());
    ASSERT_EQ(u->records.count(), table.size());
    for (size_t i = 0; i < table.size(); ++i) {
      EXPECT_EQ(u->records[i]->pind, static_cast<int>(i));
      EXPECT_EQ(u->records[i]->type, table[i].type);
      EXPECT_EQ(u->params[i]->getType(), table[i].type == 5 ? 5 : table[i].type);
      if (table[i].type <= 3)
        EXPECT_FLOAT_EQ(u->params[i]->x, table[i].defa) << "type " << t << " param " << i;
      else
        EXPECT_EQ(u->params[i]->xi, static_cast<int>(table[i].defa));
    }
    auto bare = createUnit(t, st, false, false);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->params.count(), 0u) << "without the table the loader fills the lists";
  }
  EXPECT_GE(built, 1);
  EXPECT_EQ(createUnit(12, st, true, true), nullptr);
  EXPECT_EQ(createUnit(-1, st, true, true), nullptr);
  EXPECT_EQ(createUnit(kBlockCabSim, st, true, true), nullptr) << "cab sims come from the cab code";
}

TEST(UnitBase, SerialiseFullAndShortForms) {
  qvprocstate st;
  auto u = createUnit(kBlockTubeGain, st, true, true);
  ASSERT_TRUE(u);
  u->blockgroup = 2;
  u->params[1]->setNormalized(0.25f);
  MemWriter shortForm;
  shortForm.openObject(nullptr);
  u->serialise(shortForm, false);
  shortForm.close();
  // Only Gain and Bias are visible on a tube stage.
  EXPECT_EQ(shortForm.text,
            "{\"sblock\":7,\"blockgroup\":2,\"pars\":[{},{\"fpos\":0.25},{\"fpos\":0.5},{},{},{},{},{}]}");

  MemWriter full;
  full.openObject(nullptr);
  u->serialise(full, true);
  full.close();
  const std::string firstEntry =
      "{\"defa\":1,\"pind\":0,\"type\":3,\"xscale\":5,\"xlow\":0,\"uscale\":10,\"ulow\":0,"
      "\"setvis\":false,\"nametag\":\"Volume\",\"posmode\":0,\"posx\":-1,\"posy\":-1,\"fpos\":";
  EXPECT_NE(full.text.find("\"pars\":[" + firstEntry), std::string::npos) << full.text;
  EXPECT_NE(full.text.find("\"nametag\":\"Mode\""), std::string::npos);
}
