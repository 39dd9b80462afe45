// The unit factory against the parameter tables, and the two forms a unit writes
// itself in (short: visible positions only; full: every record), and a cab sim's.
#include <gtest/gtest.h>

#include <string>

#include "data/jsoncursor.hpp"
#include "units/cabsim.hpp"
#include "units/unitfactory.hpp"

namespace {
// What `write` puts into one object of the array "b".
template <class Write>
std::string written(Write write) {
  qvjsoncursor w;
  w.selectArray("b");
  w.openObject(nullptr);
  write(w);
  w.close();
  return w.text();
}
}  // namespace

TEST(UnitBase, FactoryBuildsEveryUnitWithItsTableAtDefaults) {
  qvprocstate st;
  for (int t = 0; t < 12; ++t) {
    auto u = createUnit(t, st, true, true);
    ASSERT_TRUE(u) << "block type " << t;
    EXPECT_EQ(u->blocktype(), t);
    const auto table = paramTable(t);
    ASSERT_EQ(u->params.count(), table.size());
    ASSERT_EQ(u->records.count(), table.size());
    for (size_t i = 0; i < table.size(); ++i) {
      EXPECT_EQ(u->records[i]->pind, int(i));
      if (table[i].type <= 3)
        EXPECT_FLOAT_EQ(u->params[i]->x, table[i].defa) << "type " << t << " param " << i;
      else
        EXPECT_EQ(u->params[i]->xi, int(table[i].defa)) << "type " << t << " param " << i;
    }
    EXPECT_EQ(createUnit(t, st, false, false)->params.count(), 0u)
        << "without the table the loader fills the lists";
  }
  for (int t : {12, -1, int(kBlockCabSim)}) EXPECT_EQ(createUnit(t, st, true, true), nullptr) << t;
}

TEST(UnitBase, ShortAndFullFormsAndTheCabSimsPositions) {
  qvprocstate st;
  auto u = createUnit(kBlockTubeGain, st, true, true);
  u->blockgroup = 2;
  u->params[1]->setNormalized(0.25f);
  // Only Gain and Bias are visible on a tube stage.
  EXPECT_EQ(written([&](qvjsoncursor& w) { u->serialise(w, false); }),
            "{\"b\":[{\"sblock\":7,\"blockgroup\":2,\"pars\":[{},{\"fpos\":0.25},{\"fpos\":0.5},{},{},{},{},{}]}]}");
  const std::string full = written([&](qvjsoncursor& w) { u->serialise(w, true); });
  EXPECT_NE(full.find("\"pars\":[{\"defa\":1,\"pind\":0,\"type\":3,\"xscale\":5,\"xlow\":0,\"uscale\":10,"
                      "\"ulow\":0,\"setvis\":false,\"nametag\":\"Volume\",\"posmode\":0,\"posx\":-1,"
                      "\"posy\":-1,\"fpos\":"),
            std::string::npos)
      << full;
  EXPECT_NE(full.find("\"nametag\":\"Mode\""), std::string::npos);

  qvusconv cab(st, true);
  EXPECT_EQ(cab.process(0.25f), 0.25f) << "the cab stage, not the unit, convolves";
  cab.records[2]->setvis = false;  // written all the same
  const float pos[] = {0.5f, 0.25f, 0.75f, 1.0f, 0.0f};
  for (int i = 0; i < 5; ++i) cab.params[i]->setNormalized(pos[i]);
  EXPECT_EQ(written([&](qvjsoncursor& w) { cab.serialiseconv(w, 7); }),
            "{\"b\":[{\"sourceuid\":7,\"pars\":[{\"fpos\":0.5},{\"fpos\":0.25},{\"fpos\":0.75},"
            "{\"fpos\":1},{\"fpos\":0}]}]}");
}
