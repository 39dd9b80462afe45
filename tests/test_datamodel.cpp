// The data model: the owning record list, category ids, the impulse catalogue's
// user entries and the lookups.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "data/datamodel.hpp"

namespace {
struct Rec {
  Rec(int v, int* alive) : v(v), alive(alive) { ++*alive; }
  ~Rec() { --*alive; }
  int v;
  int* alive;
};

void addCategories(qvlist<qvcategory>& list, std::initializer_list<int32_t> ids) {
  for (int32_t id : ids) list[addCategory(list, "c")]->id = id;
}
}  // namespace

TEST(QvList, OwnsItsRecordsHandsRemovedOnesBackAndRefusesBadIndices) {
  int alive = 0;
  {
    qvlist<Rec> l;
    for (int i = 0; i < 5; ++i) l.append(new Rec(i, &alive));  // grows past its first room
    auto taken = l.remove(1);
    EXPECT_EQ(l[1]->v, 2);
    EXPECT_EQ(alive, 5) << "the removed record belongs to the caller now";
    taken.reset();
    EXPECT_EQ(alive, 4);
    l.move(0, 2);
    EXPECT_EQ(l[2]->v, 0);
    l.insert(0, std::make_unique<Rec>(9, &alive));
    l.replace(0, std::make_unique<Rec>(8, &alive));
    EXPECT_EQ(l[0]->v, 8);
    EXPECT_EQ(alive, 5);
    try {
      (void)l[5];
      FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
      EXPECT_STREQ(e.what(), "array: attempting to access element:5 in array of length:5");
    }
    EXPECT_THROW(l.remove(5), std::out_of_range);
    EXPECT_THROW(l.insert(6, std::make_unique<Rec>(0, &alive)), std::out_of_range);
  }
  EXPECT_EQ(alive, 0) << "the list frees what it holds, and what it refused";
}

TEST(Records, CategoryIdsGoOneAboveTheLargestAndNeverRepeat) {
  const struct { std::initializer_list<int32_t> ids; int32_t expected; } rows[] = {
      {{}, 0}, {{7, 8, 3}, 9}, {{2, INT32_MAX, 3}, 4}};
  for (const auto& r : rows) {
    qvlist<qvcategory> list;
    addCategories(list, r.ids);
    const uint32_t at = addCategory(list, "New");
    EXPECT_EQ(list[at]->id, r.expected);
    EXPECT_EQ(list[at]->name, "New");
  }
}

TEST(Records, UserImpulsesStartAtUid100AndPathsAreUnique) {
  qvdatamodel m;
  for (int32_t uid = 2; uid <= 30; ++uid) {
    auto e = std::make_unique<qvimpulse>();
    e->uid = e->res = uid;
    m.impulses.append(std::move(e));
  }
  const uint32_t first = addImpulseFile(m, "/home/me/irs/Room Mic.wav", 5, -1);
  const qvimpulse& e = *m.impulses[first];
  EXPECT_EQ(e.uid, 100);
  EXPECT_EQ(e.file, "Room Mic.wav");
  EXPECT_EQ(e.name, "Room Mic");
  EXPECT_EQ(e.categoryid, 5);
  EXPECT_EQ(e.res, -1);
  EXPECT_EQ(addImpulseFile(m, "/home/me/irs/Room Mic.wav", 1, -1), first) << "same path, same entry";
  const uint32_t second = addImpulseFile(m, "C:\\irs\\v30.wav", 5, -1);
  EXPECT_EQ(m.impulses[second]->uid, 101);
  EXPECT_EQ(m.impulses[second]->name, "v30") << "a backslash separates too";
  EXPECT_EQ(addImpulseFile(m, "", 5, -1), 31u) << "an empty path never matches a factory entry";
  EXPECT_EQ(m.impulses[addImpulseFile(m, "a/x", 5, -1)]->name, "") << "shorter than an extension";

  EXPECT_EQ(findImpulseByUid(m.impulses, 3), 1);
  EXPECT_EQ(findImpulseByUid(m.impulses, 101), int32_t(second));
  EXPECT_EQ(findImpulseByUid(m.impulses, 50), -1);
  for (const char* name : {"Clean", "Drive", "Clean"}) {
    auto p = std::make_unique<qvpreset>();
    p->name = name;
    m.presets.append(std::move(p));
  }
  EXPECT_EQ(findPresetByName(m.presets, "Clean"), 0) << "first match wins";
  EXPECT_EQ(findPresetByName(m.presets, "drive"), -1) << "names match exactly";
}
