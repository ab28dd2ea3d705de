// Rectangles, comparison codes, percentages and the random generator replays depend on.
#include "core/numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <thread>

namespace {

TEST(Numbers, RectanglesThatTouchOverlap) {
  cDblRect a;
  EXPECT_EQ(a.left, 0.0);
  EXPECT_EQ(a.bottom, 0.0);
  a = {0, 0, 10, 10};
  cDblRect edge{10, 0, 20, 10}, corner{10, 10, 20, 20}, apart{10.5, 0, 20, 10}, above{0, -5, 10, -0.1};
  EXPECT_TRUE(IsOverlapRect(a, edge));
  EXPECT_TRUE(IsOverlapRect(edge, a));
  EXPECT_TRUE(IsOverlapRect(a, corner));
  EXPECT_FALSE(IsOverlapRect(a, apart));
  EXPECT_FALSE(IsOverlapRect(a, above));
  cDblRect copy;
  AssignDblRect(copy, a);
  EXPECT_EQ(copy.right, 10.0);
  cDblRectEx ex;
  EXPECT_EQ(ex.nExtra, 0);
  EXPECT_EQ(ex.dExtraC, 0.0);
  cIntRect ir{1, 2, 3, 4}, ir2;
  AssignIntRect(ir2, ir);
  EXPECT_EQ(ir2.bottom, 4);
  EXPECT_DOUBLE_EQ(g_dSqrt2 * g_dSqrt2, 2.0);
  EXPECT_EQ(g_dHalfSqrt2, g_dSqrt2 / 2);
}

TEST(Numbers, CompareByOpCodes) {
  struct Case {
    int32_t a, b;
    int op, result;
  } cases[] = {
      {3, 3, 0, 1},
      {3, 4, 0, 0},
      {3, 4, 1, 1},
      {4, 4, 2, 1},
      {3, 4, 2, 0},
      {4, 4, 3, 1},
      {5, 4, 3, 0},
      {5, 4, 4, 1},
      {4, 4, 4, 0},
      {3, 4, 5, 1},
      {4, 4, 5, 0},
      {-6, 3, 6, 1},
      {7, 3, 6, 0},
      {7, 0, 6, 1},
      {7, 0, 7, 0},
      {7, 3, 7, 1},
      {-6, 3, 7, 0},
      {6, -3, 6, 1},
      {3, 3, 8, 0},
      {3, 3, -1, 0},
      {INT_MIN, -1, 6, 1},  // INT_MIN % -1 is defined here: a multiple
      {INT_MIN, 2, 6, 1},
      {INT_MIN, 3, 7, 1},
      {INT_MIN, INT_MIN, 6, 1},
      {INT_MAX, INT_MIN, 7, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(CompareByOp(c.a, c.b, c.op), c.result) << c.a << " " << c.b << " op " << c.op;
}

TEST(Numbers, PercentOfRoundsHalfAwayFromZero) {
  struct Case {
    int32_t a, b, result;
  } cases[] = {
      {5, 50, 3},
      {-5, 50, -3},
      {3, 33, 1},
      {0, 50, 0},
      {1, 49, 0},
      {-1, 49, 0},
      {100, 100, 100},
      {7, -150, -11},             // -10.5 away from zero
      {65536, 65536, 0},          // the int32 product wraps to 0
      {INT_MAX, 2, -0},           // wraps to -2: -0.02 rounds to 0
      {46341, 46341, -21474790},  // wraps to -2147479015
  };
  for (const auto& c : cases) EXPECT_EQ(PercentOf(c.a, c.b), c.result) << c.a << " x " << c.b;
}

TEST(Numbers, GeneratorRepeatsTheKnownSequencePerThread) {
  QcSrand(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int v : expected) EXPECT_EQ(QcRand(), v);
  QcSrand(1);
  EXPECT_EQ(QcRand(), 41);
  // Every thread starts from state 1, whatever this thread has done.
  QcSrand(12345);
  int first = -1;
  std::thread([&] { first = QcRand(); }).join();
  EXPECT_EQ(first, 41);
}

TEST(Numbers, RandRangeStaysInsideItsBounds) {
  QcSrand(7);
  std::set<int32_t> seen;
  for (int i = 0; i < 500; ++i) {
    int32_t v = RandRange(5, 1);
    ASSERT_GE(v, 1);
    ASSERT_LE(v, 5);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 5u);
  EXPECT_EQ(RandRange(1, 1), 1);
  // The same draw as lo + rand() % span.
  QcSrand(1);
  EXPECT_EQ(RandRange(10, 20), 10 + 41 % 11);
  // Ranges wider than int32 keep 32-bit arithmetic: hi - lo + 1 wraps, here to -5, and the draw is
  // taken modulo that (41 % -5 = 1); the full range wraps to 0 and takes the draw as it is.
  QcSrand(1);
  EXPECT_EQ(RandRange(INT_MIN, INT_MAX - 5), INT_MIN + 1);
  QcSrand(1);
  EXPECT_EQ(RandRange(INT_MAX - 5, INT_MIN), INT_MIN + 1);
  QcSrand(1);
  EXPECT_EQ(RandRange(INT_MIN, INT_MAX), INT_MIN + 41);
  QcSrand(1);
  EXPECT_EQ(RandRange(-2, INT_MAX), -2 + 41);  // wraps to INT_MIN + 2: still the draw
  // Wider than 32768 values: only the lowest 32768 come.
  for (int i = 0; i < 200; ++i) {
    int32_t v = RandRange(0, 1000000);
    ASSERT_LE(v, 32767);
    int32_t w = RandRange(INT_MIN, INT_MAX);  // hi - lo + 1 does not fit 32 bits
    ASSERT_LE(w, INT_MIN + 32767);
    int32_t x = RandRange(INT_MAX, INT_MAX - 2);
    ASSERT_GE(x, INT_MAX - 2);
  }
}

}  // namespace
