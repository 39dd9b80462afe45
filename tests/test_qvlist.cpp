#include <gtest/gtest.h>

#include "data/qvlist.hpp"

namespace {
struct Rec {
  explicit Rec(int v, int* alive = nullptr) : v(v), alive(alive) { if (alive) ++*alive; }
  ~Rec() { if (alive) --*alive; }
  int v;
  int* alive;
};
}  // namespace

TEST(QvList, GrowsByDoublingFromTwo) {
  qvlist<Rec> l;
  EXPECT_EQ(l.capacity(), 2u);
  l.append(new Rec(1));
  l.append(new Rec(2));
  EXPECT_EQ(l.capacity(), 2u);
  l.append(new Rec(3));
  EXPECT_EQ(l.capacity(), 4u) << "a third record doubles the room";
  for (int i = 4; i <= 5; ++i) l.append(new Rec(i));
  EXPECT_EQ(l.capacity(), 8u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(l[i]->v, i + 1);
}

TEST(QvList, OutOfRangeThrowsTheListError) {
  qvlist<Rec> l;
  l.append(new Rec(1));
  try {
    (void)l[3];
    FAIL() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "array: attempting to access element:3 in array of length:1");
  }
  EXPECT_THROW(l.remove(1), std::out_of_range);
  EXPECT_THROW(l.insert(2, std::make_unique<Rec>(0)), std::out_of_range);
}

TEST(QvList, OwnsItsRecordsAndHandsRemovedOnesBack) {
  int alive = 0;
  {
    qvlist<Rec> l;
    for (int i = 0; i < 4; ++i) l.append(new Rec(i, &alive));
    auto taken = l.remove(1);
    EXPECT_EQ(taken->v, 1);
    EXPECT_EQ(l.count(), 3u);
    EXPECT_EQ(l[1]->v, 2);
    EXPECT_EQ(alive, 4) << "the removed record belongs to the caller now";
    taken.reset();
    EXPECT_EQ(alive, 3);
    l.move(0, 2);
    EXPECT_EQ(l[0]->v, 2);
    EXPECT_EQ(l[2]->v, 0);
    l.insert(0, std::make_unique<Rec>(9, &alive));
    EXPECT_EQ(l[0]->v, 9);
    l.replace(0, std::make_unique<Rec>(8, &alive));
    EXPECT_EQ(alive, 4);
  }
  EXPECT_EQ(alive, 0) << "the list frees what it holds";
}
