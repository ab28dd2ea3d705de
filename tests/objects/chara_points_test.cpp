// Life and special points: changes limited to 0..maximum, refused while invincible unless forced,
// the end of life reported, and the gauge display of a change.
#include <gtest/gtest.h>

#include <cstdint>

#include "motion_test_support.h"
#include "test_support/fresh_play_objects.h"

namespace {

cTestChara WithHp(int hp, int maxHp) {
  cTestChara chara;
  chara.m_nHp = hp;
  chara.m_Type.m_nMaxHp = maxHp;
  return chara;
}

}  // namespace

TEST(CharaPoints, HitPointsChange) {
  cFreshPlayObjects fresh;
  struct Case {
    const char* what;
    int hp, maxHp, invincible, delta, forced;
    int result, newHp;
  };
  const Case cases[] = {
      {"a hit", 8, 10, 0, -5, 0, 0, 3},
      {"refused while invincible", 8, 10, 1, -5, 0, 0, 8},
      {"refused under the other invincibility", 8, 10, 2, -5, 0, 0, 8},
      {"forced through invincibility", 8, 10, 1, -5, 1, 0, 3},
      {"healing is never refused", 8, 10, 1, 1, 0, 0, 9},
      {"the end of life", 3, 10, 0, -10, 0, 1, 0},
      {"healing up to the maximum", 95, 100, 0, 100, 0, 0, 100},
      {"no overflow", 5, 2147483647, 0, 2147483647, 0, 0, 2147483647},
      {"no underflow", 5, 10, 0, -2147483647 - 1, 0, 1, 0},
      {"a maximum of 0", 0, 0, 0, 5, 0, 1, 0},
  };
  for (const Case& c : cases) {
    cTestChara chara = WithHp(c.hp, c.maxHp);
    chara.m_Type.m_nOpt32 = static_cast<int8_t>(c.invincible);
    EXPECT_EQ(chara.ChangeHP(c.delta, c.forced, 0), c.result) << c.what;
    EXPECT_EQ(chara.m_nHp, c.newHp) << c.what;
    EXPECT_EQ(chara.m_HpGauge.nShowTimer, 0) << c.what;  // not asked to show
  }
}

// A change of 0 on an invincible character: not forced, step 1 refuses it before anything (even at
// life 0); forced, the life stays and a life of 0 is reported. A change of 0 never shows the gauge.
TEST(CharaPoints, AChangeOfZeroOnAnInvincibleCharacter) {
  cFreshPlayObjects fresh;
  struct Case {
    int hp, invincible, forced;
    int result;
  };
  const Case cases[] = {
      {10, 1, 0, 0}, {10, 2, 0, 0}, {0, 1, 0, 0}, {10, 1, 1, 0}, {0, 1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "hp " << c.hp << " invincible " << c.invincible << " forced " << c.forced);
    cTestChara chara = WithHp(c.hp, 10);
    chara.m_Type.m_nOpt32 = static_cast<int8_t>(c.invincible);
    EXPECT_EQ(chara.ChangeHP(0, c.forced, 1), c.result);
    EXPECT_EQ(chara.m_nHp, c.hp);
    EXPECT_EQ(chara.m_HpGauge.nShowTimer, 0);
  }
}

TEST(CharaPoints, TheGaugeShowsTheChange) {
  cFreshPlayObjects fresh;
  cTestChara chara = WithHp(95, 100);
  EXPECT_EQ(chara.ChangeHP(100, 0, 1), 0);  // only 5 are added
  EXPECT_EQ(chara.m_HpGauge.nShowTimer, 120);
  EXPECT_EQ(chara.m_HpGauge.nLength, 50);
  EXPECT_DOUBLE_EQ(chara.m_HpGauge.dChange, 2.5);
  EXPECT_DOUBLE_EQ(chara.m_HpGauge.dChangeStep, 2.5 * 0.016666666666666666);
  chara.ChangeHP(-33, 0, 1);
  EXPECT_EQ(chara.m_HpGauge.nLength, 67 * 50 / 100);
  EXPECT_DOUBLE_EQ(chara.m_HpGauge.dChange, -16.5);

  cTestChara ended = WithHp(3, 10);
  EXPECT_EQ(ended.ChangeHP(-10, 0, 1), 1);
  EXPECT_EQ(ended.m_HpGauge.nShowTimer, 0);  // no gauge for the end of life
  cTestChara unchanged = WithHp(10, 10);
  unchanged.ChangeHP(5, 0, 1);  // nothing added, nothing shown
  EXPECT_EQ(unchanged.m_HpGauge.nShowTimer, 0);

  // A maximum of 0 leaves the gauge as it was instead of dividing by it.
  cTestChara none = WithHp(0, 0);
  none.m_HpGauge.nLength = 7;
  none.ShowHpChange(3);
  EXPECT_EQ(none.m_HpGauge.nLength, 7);
  EXPECT_EQ(none.m_HpGauge.nShowTimer, 0);
}

TEST(CharaPoints, SpecialPoints) {
  cFreshPlayObjects fresh;
  cTestChara chara;
  chara.m_Type.m_nMaxSp = 40;
  chara.m_nSp = 10;
  chara.m_Type.m_nOpt32 = 1;  // invincibility does not protect special points
  chara.ChangeSP(-4, 1);
  EXPECT_EQ(chara.m_nSp, 6);
  EXPECT_EQ(chara.m_SpGauge.nLength, 6 * 50 / 40);
  EXPECT_DOUBLE_EQ(chara.m_SpGauge.dChange, -5);
  chara.ChangeSP(100, 0);
  EXPECT_EQ(chara.m_nSp, 40);
  chara.ChangeSP(-100, 1);
  EXPECT_EQ(chara.m_nSp, 0);
  EXPECT_EQ(chara.m_SpGauge.nLength, 6 * 50 / 40);  // emptied: not shown

  cTestChara noSp;  // maximum 0: nothing to gain, no gauge
  noSp.ChangeSP(5, 1);
  EXPECT_EQ(noSp.m_nSp, 0);
  noSp.m_nSp = 3;
  noSp.ShowSpChange(2);
  EXPECT_EQ(noSp.m_SpGauge.nShowTimer, 0);
}
