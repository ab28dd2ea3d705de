#include "core/containers.h"

#include <gtest/gtest.h>

#include "core/log.h"

namespace {

std::vector<int> toVector(const std::list<int>& l) { return {l.begin(), l.end()}; }

TEST(ListInsertAt, PositionsIncludingOutOfRange) {
  struct Case {
    std::list<int> start;
    int32_t n;
    std::vector<int> expected;
  } cases[] = {
      {{}, 0, {9}},           {{1, 2}, 0, {9, 1, 2}}, {{1, 2}, 1, {1, 9, 2}},
      {{1, 2}, 2, {1, 2, 9}}, {{1, 2}, 7, {1, 2, 9}}, {{1, 2}, -1, {1, 2, 9}},
  };
  for (auto& c : cases) {
    ListInsertAt(c.start, c.n, 9);
    EXPECT_EQ(toVector(c.start), c.expected) << "n=" << c.n;
  }
}

TEST(ListEraseAt, ReturnsFollowingPositionOrEnd) {
  std::list<int> l{1, 2, 3};
  EXPECT_EQ(ListEraseAt(l, 3), 3);
  EXPECT_EQ(ListEraseAt(l, -1), 3);
  EXPECT_EQ(toVector(l), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(ListEraseAt(l, 1), 1);
  EXPECT_EQ(toVector(l), (std::vector<int>{1, 3}));
}

TEST(AssignVector, ResizesAndCopies) {
  std::vector<int> dst{1, 2, 3, 4, 5}, empty;
  AssignVector(dst, empty);
  EXPECT_TRUE(dst.empty());
  std::vector<int> src{7, 8};
  AssignVector(dst, src);
  EXPECT_EQ(dst, src);
}

TEST(ContainsPair, MatchesBothValues) {
  std::vector<cIntPair> v{{1, 2}, {3, 4}};
  EXPECT_EQ(ContainsPair(v, {3, 4}), 1);
  EXPECT_EQ(ContainsPair(v, {1, 4}), 0);
}

}  // namespace
