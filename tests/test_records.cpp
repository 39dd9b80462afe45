#include <gtest/gtest.h>

#include <memory>

#include "data/datamodel.hpp"

namespace {
void addCategories(qvlist<qvcategory>& list, std::initializer_list<int32_t> ids) {
  for (int32_t id : ids) {
    auto c = std::make_unique<qvcategory>();
    c->id = id;
    list.append(std::move(c));
  }
}

void addFactoryImpulses(qvdatamodel& m, int32_t lastUid) {
  for (int32_t uid = 2; uid <= lastUid; ++uid) {
    auto e = std::make_unique<qvimpulse>();
    e->uid = uid;
    e->res = uid;
    m.impulses.append(std::move(e));
  }
}
}  // namespace

TEST(Records, CategoryIdsGoOneAboveTheLargest) {
  qvlist<qvcategory> list;
  EXPECT_EQ(addCategory(list, "First"), 0u);
  EXPECT_EQ(list[0]->id, 0) << "an empty list starts at 0";
  EXPECT_EQ(list[0]->name, "First");

  qvlist<qvcategory> used;
  addCategories(used, {7, 8, 3});
  EXPECT_EQ(addCategory(used, "New"), 3u);
  EXPECT_EQ(used[3]->id, 9);

  qvlist<qvcategory> full;
  addCategories(full, {2, INT32_MAX, 3});
  addCategory(full, "Overflow");
  EXPECT_EQ(full[3]->id, 4) << "past the largest id an unused one is taken, never a repeat";
}

TEST(Records, UserImpulsesStartAtUid100AndPathsAreUnique) {
  qvdatamodel m;
  addFactoryImpulses(m, 30);
  const uint32_t first = addImpulseFile(m, "/home/me/irs/Room Mic.wav", 5, -1);
  EXPECT_EQ(first, 29u);
  const qvimpulse& e = *m.impulses[first];
  EXPECT_EQ(e.uid, 100);
  EXPECT_EQ(e.file, "Room Mic.wav");
  EXPECT_EQ(e.name, "Room Mic");
  EXPECT_EQ(e.categoryid, 5);
  EXPECT_EQ(e.res, -1);
  EXPECT_EQ(e.bufferIndex, -1);

  EXPECT_EQ(addImpulseFile(m, "/home/me/irs/Room Mic.wav", 1, -1), first) << "same path, same entry";
  EXPECT_EQ(m.impulses.count(), 30u);

  const uint32_t second = addImpulseFile(m, "C:\\irs\\v30.wav", 5, -1);
  EXPECT_EQ(m.impulses[second]->uid, 101);
  EXPECT_EQ(m.impulses[second]->file, "v30.wav") << "a backslash separates too";
  EXPECT_EQ(m.impulses[second]->name, "v30");

  EXPECT_EQ(addImpulseFile(m, "", 5, -1), 31u) << "an empty path never matches a factory entry";
  EXPECT_EQ(addImpulseFile(m, "a/x", 5, -1), 32u);
  EXPECT_EQ(m.impulses[32]->name, "") << "names shorter than an extension are empty";

  qvdatamodel empty;
  addImpulseFile(empty, "one.wav", 0, -1);
  EXPECT_EQ(empty.impulses[0]->uid, 100);
  EXPECT_EQ(empty.impulses[0]->file, "one.wav");
}

TEST(Records, Lookups) {
  qvdatamodel m;
  addFactoryImpulses(m, 4);
  addImpulseFile(m, "x.wav", 0, -1);
  EXPECT_EQ(findImpulseByUid(m.impulses, 3), 1);
  EXPECT_EQ(findImpulseByUid(m.impulses, 100), 3);
  EXPECT_EQ(findImpulseByUid(m.impulses, 50), -1);

  for (const char* name : {"Clean", "Drive", "Clean"}) {
    auto p = std::make_unique<qvpreset>();
    p->name = name;
    m.presets.append(std::move(p));
  }
  EXPECT_EQ(findPresetByName(m.presets, "Clean"), 0) << "first match wins";
  EXPECT_EQ(findPresetByName(m.presets, "Drive"), 1);
  EXPECT_EQ(findPresetByName(m.presets, "drive"), -1) << "names match exactly";
}
