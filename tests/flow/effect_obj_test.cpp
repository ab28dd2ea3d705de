// Effect objects: placed at a hit (centre of the overlap, size by the scale when the effect may be
// enlarged, random spread), played while the stage runs or held, ended at the end of the script,
// and an effect number outside the database skipped without stopping the game.
#include <gtest/gtest.h>

#include "core/numbers.h"
#include "data/anim_scripts.h"
#include "data/database.h"
#include "flow/effect_obj.h"
#include "test_support/flow_harness.h"

namespace {

class EffectObjTest : public ::testing::Test {
 protected:
  EffectObjTest() : h({"H...", "####"}) {
    cEffectData plain;
    plain.m_nCellWidth = plain.m_nCellHeight = 32;
    plain.m_aFrames.assign(2, cEffectFrame{});
    plain.m_aFrames[0].m_nPattern = 0;
    plain.m_aFrames[1].m_nPattern = 1;
    cEffectData large = plain;
    large.m_bEnlargeable = 1;
    cEffectData empty;
    empty.m_aFrames.clear();
    g_Database.m_aEffect = {plain, plain, large, empty};
    BuildEffectScripts(g_EffectScripts);
  }

  // x and y of an effect at a hit after the same draws as a reference seeded alike.
  static void ExpectSpreadWithin(int effect, int scale, int reach) {
    const cDblRect a{100, 100, 131, 131};
    for (uint32_t seed = 1; seed < 40; ++seed) {
      QcSrand(seed);
      const cEffectObj obj = EffectObjAtHit(effect, a, a, scale);
      const double centreX = 100 + 16 - (obj.m_nWidth >> 1);
      EXPECT_LE(std::abs(obj.m_dX - centreX), reach);
      EXPECT_LE(std::abs(obj.m_dY - centreX), reach);
    }
  }

  cFlowHarness h;
};

}  // namespace

TEST_F(EffectObjTest, RectanglesTouchingAtAnEdgeCentreTheEffectOnTheEdge) {
  const cDblRect a{100, 100, 131, 131};
  const cDblRect b{131, 110, 160, 120};
  QcSrand(5);
  const cEffectObj obj = EffectObjAtHit(1, a, b, 1);
  QcSrand(5);
  const int dx = RandRange(-4, 4);
  const int dy = RandRange(-4, 4);
  // Overlap x 131..131, y 110..120.
  EXPECT_EQ(obj.m_dX, 131 + 0 - 16 + dx);
  EXPECT_EQ(obj.m_dY, 110 + 5 - 16 + dy);
  EXPECT_EQ(obj.m_nLayer, 1);
  EXPECT_EQ(obj.m_bStretched, 0);
}

TEST_F(EffectObjTest, TheScaleEnlargesAndSpreadsOnlyEnlargeableEffects) {
  QcSrand(1);
  cEffectObj large = EffectObjAtHit(2, {0, 0, 10, 10}, {0, 0, 10, 10}, 3);
  EXPECT_EQ(large.m_nWidth, 96);
  EXPECT_EQ(large.m_bStretched, 1);
  cEffectObj plain = EffectObjAtHit(1, {0, 0, 10, 10}, {0, 0, 10, 10}, 3);
  EXPECT_EQ(plain.m_nWidth, 32);
  EXPECT_EQ(plain.m_bStretched, 0);
  ExpectSpreadWithin(2, 3, 12);
  ExpectSpreadWithin(1, 3, 4);
  ExpectSpreadWithin(2, 0, 0);
}

TEST_F(EffectObjTest, AHeldStageKeepsTheFrameUnlessTheEffectRunsWhileHeld) {
  cEffectObj held(1, 0, 0, 32, 32, 0, 0);
  cEffectObj runs(1, 0, 0, 32, 32, 0, 1);
  held.DrawEffectObj(nullptr, 0);
  runs.DrawEffectObj(nullptr, 0);
  const int heldFrame = held.m_Anim.m_nFrame;
  const int heldTime = held.m_Anim.m_nTime;
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(held.DrawEffectObj(nullptr, 1), 0);
    runs.DrawEffectObj(nullptr, 1);
  }
  EXPECT_EQ(held.m_Anim.m_nFrame, heldFrame);
  EXPECT_EQ(held.m_Anim.m_nTime, heldTime);
  EXPECT_NE(runs.m_Anim.m_nFrame * 100 + runs.m_Anim.m_nTime, heldFrame * 100 + heldTime);
}

TEST_F(EffectObjTest, AnEffectEndsWithItsScript) {
  cEffectObj obj(1, 0, 0, 32, 32, 0, 0);
  int draws = 0;
  while (obj.DrawEffectObj(nullptr, 0) == 0 && draws < 100) ++draws;
  EXPECT_EQ(draws, 11);  // two frames of one tenth each: the twelfth step reports the end
  cEffectObj empty(3, 0, 0, 32, 32, 0, 0);
  EXPECT_EQ(empty.DrawEffectObj(nullptr, 0), 1);
}

TEST_F(EffectObjTest, AMissingEffectIsSkippedAfterTheSameRandomDraws) {
  QcSrand(9);
  RandRange(-4, 4);
  RandRange(-4, 4);
  const int next = QcRand();
  QcSrand(9);
  cEffectObj missing = EffectObjAtHit(0x8001, {0, 0, 10, 10}, {0, 0, 10, 10}, 1);
  EXPECT_EQ(QcRand(), next);
  EXPECT_EQ(missing.DrawEffectObj(nullptr, 0), 1);
  cEffectObj beyond(99, 0, 0, 32, 32, 0, 0);
  EXPECT_EQ(beyond.DrawEffectObj(nullptr, 0), 1);
}
