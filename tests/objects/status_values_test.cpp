#include "objects/status_values.h"

#include <gtest/gtest.h>

#include <climits>

#include "data/cond.h"
#include "objects/chara.h"
#include "objects/stage_state.h"

namespace {

struct IntOpCase {
  int32_t target;
  int32_t value;
  int op;
  int32_t min;
  int32_t max;
  int32_t expected;
};

TEST(ApplyIntOp, OperationsWrapsAndClamps) {
  const IntOpCase cases[] = {
      {5, 7, 0, -10, 10, 7},                         // set
      {5, 70, 0, -10, 10, 10},                       // set, clamped
      {5, 7, 1, -100, 100, 12},                      // add
      {5, 7, 2, -100, 100, -2},                      // subtract
      {INT_MAX, 1, 1, INT_MIN, INT_MAX, INT_MIN},    // a 32-bit sum wraps
      {INT_MIN, 1, 2, INT_MIN, INT_MAX, INT_MAX},    // so does a difference
      {INT_MAX, 1, 1, -999999, 999999, -999999},     // the wrapped sum is then clamped
      {6, 7, 3, -100, 100, 42},                      // multiply
      {50000, 50000, 3, INT_MIN, INT_MAX, INT_MAX},  // equal signs wrapping negative: the maximum
      {-50000, -50000, 3, -5, 5, 5},                 // (both negative too)
      {-2, INT_MAX, 3, INT_MIN, INT_MAX, INT_MIN},   // different signs wrapping positive: the minimum
      {-2, INT_MAX, 3, -999999, 999999, -999999},
      {65536, 65537, 3, INT_MIN, INT_MAX, 65536},  // a wrap that keeps the sign stays a wrap
      {-65536, 65537, 3, INT_MIN, INT_MAX, -65536},
      {65536, 65536, 3, -10, 10, 0},  // a product wrapping to 0 is 0
      {0, -5, 3, -10, 10, 0},         // a zero factor has no sign
      {-7, 2, 4, -100, 100, -3},      // division truncates toward zero
      {7, -2, 4, -100, 100, -3},
      {9, 0, 4, -100, 100, 9},                      // divide by 0: unchanged
      {INT_MIN, -1, 4, INT_MIN, INT_MAX, INT_MIN},  // INT_MIN / -1 wraps (and does not trap)
      {-7, 3, 5, -100, 100, -1},                    // remainder takes the left sign
      {7, -3, 5, -100, 100, 1},
      {9, 0, 5, -100, 100, 9},                // remainder by 0: unchanged
      {INT_MIN, -1, 5, INT_MIN, INT_MAX, 0},  // INT_MIN % -1 is 0 (and does not trap)
      {-3, 50, 6, -100, 100, -2},             // percent rounds half away from zero
      {3, 50, 6, -100, 100, 2},
      {200, 150, 6, 0, 250, 250},  // percent, clamped
      {42, 9, 7, -100, 100, 42},   // an unknown operation leaves the value
      {42, 9, 7, 0, 10, 10},       // ... but the clamp still applies
  };
  for (const IntOpCase& c : cases) {
    int32_t target = c.target;
    ApplyIntOp(target, c.value, c.op, c.min, c.max);
    EXPECT_EQ(target, c.expected) << c.target << " op " << c.op << " " << c.value;
  }
}

TEST(ApplyIntOp, NarrowFieldsOperateOnTheirOwnWidth) {
  int8_t id = 97;
  ApplyByteOp(id, 5, 1, 0, 99);
  EXPECT_EQ(id, 99);  // a character id of 97 plus 5
  int8_t b = 120;
  ApplyByteOp(b, 20, 1, -128, 127);
  EXPECT_EQ(b, -116);  // the byte wraps before the clamp
  int8_t impact = 12;
  ApplyByteOp(impact, 12, 3, -20, 20);
  EXPECT_EQ(impact, 20);  // 144 wraps negative in a byte: equal signs give the maximum
  int8_t divided = -128;
  ApplyByteOp(divided, -1, 4, -128, 127);
  EXPECT_EQ(divided, -128);
  int8_t set = 0;
  ApplyByteOp(set, 300, 0, -128, 127);
  EXPECT_EQ(set, 44);  // the value is stored into the byte as it is

  int16_t badge = 100;
  ApplyShortOp(badge, 50, 1, 0, 119);
  EXPECT_EQ(badge, 119);
  int16_t s = 30000;
  ApplyShortOp(s, 10000, 1, -32768, 32767);
  EXPECT_EQ(s, -25536);
  int16_t stop = 10;
  ApplyShortOp(stop, 0, 4, 0, 200);
  EXPECT_EQ(stop, 10);
  int16_t percent = -3;
  ApplyShortOp(percent, 50, 6, -100, 100);
  EXPECT_EQ(percent, -2);
}

TEST(ApplyIntOp, PercentagesAndClampsOfNarrowValues) {
  EXPECT_EQ(BytePercent(200, 50), -28);     // 200 is -56 as a byte
  EXPECT_EQ(BytePercent(15, 10), 2);        // 1.5 rounds away from zero
  EXPECT_EQ(ShortPercent(70000, 10), 446);  // 70000 is 4464 as a 16-bit value
  EXPECT_EQ(ShortPercent(-32768, 100), -32768);
  int8_t b = 50;
  EXPECT_EQ(ClampByte(b, 0, 40), 40);
  EXPECT_EQ(b, 40);
  b = -5;
  EXPECT_EQ(ClampByte(b, 0, 40), 0);
  int16_t s = 500;
  EXPECT_EQ(ClampShort(s, 0, 200), 200);
  EXPECT_EQ(s, 200);
  s = 150;
  EXPECT_EQ(ClampShort(s, 0, 200), 150);
}

TEST(CompareStatus, NarrowComparisonsAndTheStatusCondition) {
  EXPECT_TRUE(CompareByte(300, 44, 0));  // compared as the byte it is stored in
  EXPECT_TRUE(CompareByte(-3, -3, 3));
  EXPECT_FALSE(CompareByte(5, 6, 2));
  EXPECT_TRUE(CompareShort(65536 + 12, 12, 0));
  EXPECT_TRUE(CompareShort(-12, 4, 6));  // |a| a multiple of b
  EXPECT_TRUE(CompareShort(12, 0, 6));   // b = 0: true
  EXPECT_FALSE(CompareShort(12, 0, 7));  // b = 0: false
  EXPECT_TRUE(CompareShort(13, 4, 7));
  EXPECT_FALSE(CompareShort(1, 1, 8));  // an unknown comparison is false

  cCond cond;
  cond.m_nOperator = 0;
  cond.m_nOperand = 50;
  cond.m_bPercent = 1;
  EXPECT_TRUE(CompareStatusValue(4, 7, cond, 0, 999999));  // 50 % of 7 is 3.5, rounded to 4
  EXPECT_FALSE(CompareStatusValue(3, 7, cond, 0, 999999));
  cond.m_nOperand = 300;
  EXPECT_TRUE(CompareStatusValue(40, 100, cond, 0, 40));  // 300 % of 100, limited to the range
  cond.m_bPercent = 0;
  cond.m_nOperand = 2000000;
  cond.m_nOperator = 2;
  EXPECT_FALSE(CompareStatusValue(999999, 0, cond, -999999, 999999));  // a plain operand is not limited
  cond.m_nOperand = 1000000;
  cond.m_nOperator = 0;
  EXPECT_TRUE(CompareStatusValue(1000000, 0, cond, -999999, 999999));
}

// Positions read in the three coordinate systems, from the screen rectangles the stage keeps.
class CharaPosition : public ::testing::Test {
 protected:
  void SetUp() override {
    m_lpPrevStage = g_lpSceneStage;
    g_lpSceneStage = &m_Stage;
    m_Stage.m_ScrollX.m_dPosition = 400.4;
    m_Stage.m_ScrollY.m_dPosition = 99.5;
    m_Stage.m_nBlockOriginX = 10;
    m_Stage.m_nBlockOriginY = 10;
    m_Chara.m_ScreenRect = {100, 200, 131, 247};
    m_Chara.m_nGraphicWidth = 32;
    m_Chara.m_nGraphicHeight = 48;
    m_Actor.m_ScreenRect = {50, 60, 69, 89};
    m_Actor.m_nGraphicWidth = 20;
    m_Actor.m_nGraphicHeight = 30;
  }
  void TearDown() override { g_lpSceneStage = m_lpPrevStage; }

  cStageState m_Stage;
  cStageState* m_lpPrevStage = nullptr;
  cChara m_Chara;
  cChara m_Actor;
};

TEST_F(CharaPosition, HorizontalInEachSystem) {
  int32_t x = -1;
  ASSERT_TRUE(GetCharaX(x, &m_Chara, 0, &m_Actor));
  EXPECT_EQ(x, 116 - 60);  // centre minus the actor's centre
  ASSERT_TRUE(GetCharaX(x, &m_Chara, 1, &m_Actor));
  EXPECT_EQ(x, 400 + 116 - 320);  // rounded scroll + centre on screen - the map's first column
  ASSERT_TRUE(GetCharaX(x, &m_Chara, 2, nullptr));
  EXPECT_EQ(x, 116);
  x = -1;
  EXPECT_FALSE(GetCharaX(x, nullptr, 2, &m_Actor));
  EXPECT_FALSE(GetCharaX(x, &m_Chara, 0, nullptr));  // relative needs an actor
  EXPECT_FALSE(GetCharaX(x, &m_Chara, 3, &m_Actor));
  EXPECT_EQ(x, -1);
}

TEST_F(CharaPosition, VerticalWithItsReferencePoints) {
  struct Case {
    int system;
    int reference;
    int gravityFree;
    int32_t expected;
  };
  const Case cases[] = {
      {0, 0, 0, 224 - 75},
      {1, 0, 0, 100 + 224 - 320},
      {2, 0, 0, 224},
      {0, 1, 0, 224 - 75},  // relative compares the centres whatever the reference
      {1, 1, 0, 100 + 232 - 320},
      {2, 1, 0, 232},  // the foot point: bottom - 15
      {2, 1, 1, 232},
      {2, 2, 0, 232},  // walking: the foot point
      {2, 2, 1, 224},  // flying: the centre
  };
  for (const Case& c : cases) {
    m_Chara.m_bGravityFree = c.gravityFree;
    int32_t y = 0;
    ASSERT_TRUE(GetCharaY(y, &m_Chara, c.system, c.reference, &m_Actor)) << c.system << " " << c.reference;
    EXPECT_EQ(y, c.expected) << c.system << " " << c.reference << " " << c.gravityFree;
  }
  int32_t y = 0;
  EXPECT_FALSE(GetCharaY(y, nullptr, 2, 0, &m_Actor));
  EXPECT_FALSE(GetCharaY(y, &m_Chara, 0, 0, nullptr));
}

}  // namespace
