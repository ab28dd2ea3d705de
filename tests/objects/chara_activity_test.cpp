// Which characters act in a frame: the activity range by the axes a character looks at, the groups
// that wake their members, the jump a character finishes out of range, and the activity mode that
// keeps a character acting for good.
#include <gtest/gtest.h>

#include "core/log.h"
#include "objects/play_objects.h"
#include "test_support/stage_harness.h"

namespace {

// A wide map with the view at its left end: characters on row 0 are on screen up to column 19.
cHarnessSetup WideStage(const std::string& row0) {
  cHarnessSetup setup;
  setup.map = {row0, std::string(row0.size(), '.'), std::string(row0.size(), '#')};
  return setup;
}

// The view: x 320..960, y 320..800 (the harness centres it on the hero at the map's top left).
void PutAt(cChara& c, double x, double y) {
  c.m_dX = x;
  c.m_dY = y;
  c.m_dX2 = x + c.m_nWidth - 1;
  c.m_dY2 = y + c.m_nHeight - 1;
}

}  // namespace

TEST(CharaActivity, InRangeByTheAxesTheCharacterLooksAt) {
  struct Case {
    int range;  // 0 on screen, 1 x only, 2 y only, 3 everywhere
    double x, y;
    int inRange;
  };
  const Case cases[] = {
      {0, 500, 400, 1},  {0, 1000, 400, 0}, {0, 500, 900, 0},   {1, 500, 900, 1}, {1, 1000, 400, 0},
      {2, 1000, 400, 1}, {2, 500, 900, 0},  {3, 5000, 9000, 1}, {0, 945, 400, 1}, {0, 960, 400, 0},
  };
  for (const Case& t : cases) {
    cCharaType type = HarnessCharaType();
    type.m_nActiveRange = static_cast<int8_t>(t.range);
    cHarnessSetup setup = WideStage("H.A.........................");
    setup.charas['A'] = type;
    cStageHarness h(setup);
    ASSERT_EQ(h.Stage().m_ScrollX.m_dPosition, 320);
    ASSERT_EQ(h.Stage().m_ScrollY.m_dPosition, 320);
    cChara& c = h.Chara(0);
    PutAt(c, t.x, t.y);
    std::vector<uint8_t> groups(60, 0);
    EXPECT_EQ(c.CheckActiveRange(groups), t.inRange) << t.range << " " << t.x << " " << t.y;
    EXPECT_EQ(c.m_bInRange, t.inRange);
  }
}

TEST(CharaActivity, AGroupInRangeWakesItsMembersOutOfRange) {
  cCharaType type = HarnessCharaType();
  type.m_bGroupFlag = 1;
  type.m_nGroup = 3;
  cHarnessSetup setup = WideStage("H.A.........................A");
  setup.charas['A'] = type;
  cStageHarness h(setup);
  std::vector<uint8_t>& groups = h.Stage().m_abActiveGroups;
  cChara& near = h.Chara(0);
  cChara& far = h.Chara(1);
  // The far one alone: out of range, its group asleep.
  EXPECT_EQ(far.CheckActiveRange(groups), 0);
  EXPECT_EQ(far.IsActiveNow(groups), 0);
  EXPECT_EQ(groups[3], 0);
  // The near one wakes the group, and the far one acts with it.
  EXPECT_EQ(near.CheckActiveRange(groups), 1);
  EXPECT_EQ(groups[3], 1);
  EXPECT_EQ(far.IsActiveNow(groups), 1);
  EXPECT_EQ(far.m_bLatchedActive, 1);
  // A character without the group flag is not woken by its group number (standing on the ground: it
  // is not finishing a jump either).
  far.m_Type.m_bGroupFlag = 0;
  far.m_bInAir = 0;
  EXPECT_EQ(far.IsActiveNow(groups), 0);
}

// Out of range and out of an active group, a character acts only while it finishes a jump: walking,
// and either it has taken off or it acted before and is still in the air.
TEST(CharaActivity, OutOfRangeOnlyAWalkingCharacterFinishingAJumpActs) {
  struct Case {
    int flying, tookOff, latched, inAir, acts;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0}, {0, 1, 0, 0, 1}, {0, 0, 1, 1, 1}, {0, 0, 1, 0, 0},
      {0, 0, 0, 1, 0}, {1, 1, 1, 1, 0}, {1, 1, 0, 0, 0},
  };
  cStageHarness h(WideStage("H.C.........................C"));
  cChara& c = h.Chara(1);
  std::vector<uint8_t> groups(60, 0);
  for (const Case& t : cases) {
    c.CheckActiveRange(groups);
    ASSERT_EQ(c.m_bInRange, 0);
    c.m_bGravityFree = t.flying;
    c.m_bTookOff = t.tookOff;
    c.m_bLatchedActive = t.latched;
    c.m_bInAir = t.inAir;
    EXPECT_EQ(c.IsActiveNow(groups), t.acts) << t.flying << t.tookOff << t.latched << t.inAir;
  }
}

TEST(CharaActivity, ActivityModeOneKeepsACharacterActingOnceItActed) {
  cCharaType type = HarnessCharaType();
  type.m_nActiveMode = 1;
  cHarnessSetup setup = WideStage("H.A...........................");
  setup.charas['A'] = type;
  setup.charas['B'] = HarnessCharaType();
  setup.map[0][3] = 'B';
  cStageHarness h(setup);
  std::vector<uint8_t>& groups = h.Stage().m_abActiveGroups;
  for (int i = 0; i < 2; ++i) {
    cChara& c = h.Chara(i);
    EXPECT_EQ(c.CheckActiveRange(groups), 1);
    EXPECT_EQ(c.IsActiveNow(groups), 1);
    PutAt(c, 2000, 400);  // far off screen, standing
    c.m_bInAir = 0;
    EXPECT_EQ(c.CheckActiveRange(groups), i == 0 ? 1 : 0) << i;
    EXPECT_EQ(c.IsActiveNow(groups), i == 0 ? 1 : 0) << i;
  }
  EXPECT_EQ(h.Chara(0).m_bSkipRangeX, 1);
  EXPECT_EQ(h.Chara(0).m_bSkipRangeY, 1);
}

TEST(CharaActivity, ActingRefreshesTheScreenRectangle) {
  cStageHarness h(WideStage("H.C......"));
  cChara& c = h.Chara(0);
  std::vector<uint8_t> groups(60, 0);
  PutAt(c, 400.7, 500.2);
  c.CheckActiveRange(groups);
  ASSERT_EQ(c.IsActiveNow(groups), 1);
  EXPECT_EQ(c.m_ScreenRect.left, 400 - 320 - c.m_nHitOffsetX);
  EXPECT_EQ(c.m_ScreenRect.top, 500 - 320 - c.m_nHitOffsetY);
}

TEST(CharaActivity, AGroupNumberOutsideTheFlagsIsARangeErrorAndRaisesNothing) {
  cCharaType type = HarnessCharaType();
  type.m_bGroupFlag = 1;
  type.m_nGroup = 60;
  cHarnessSetup setup = WideStage("H.A......");
  setup.charas['A'] = type;
  cStageHarness h(setup);
  h.ExpectFatalStop();
  std::vector<uint8_t>& groups = h.Stage().m_abActiveGroups;
  EXPECT_EQ(h.Chara(0).CheckActiveRange(groups), 1);
  EXPECT_EQ(g_bQuit.load(), 1);
  EXPECT_EQ(groups, std::vector<uint8_t>(60, 0));
}

TEST(CharaActivity, OverlapCountsTouchingEdges) {
  cStageHarness h(WideStage("H.C......"));
  cChara& c = h.Chara(0);
  PutAt(c, 100, 200);  // 16 x 24: 100..115, 200..223
  struct Case {
    double l, t, r, b;
    bool overlaps;
  };
  const Case cases[] = {
      {115, 223, 130, 240, true},  {116, 200, 130, 210, false}, {80, 180, 100, 200, true},
      {80, 180, 99.9, 230, false}, {105, 224, 110, 230, false},
  };
  for (const Case& t : cases) EXPECT_EQ(c.OverlapsRect(t.l, t.t, t.r, t.b), t.overlaps) << t.l << " " << t.t;
}

TEST(CharaActivity, PositionsAreReadAtTheFeetByReferenceModeAndForm) {
  cChara c;
  EXPECT_EQ(c.UsesFootPoint(0, 0), 0);
  EXPECT_EQ(c.UsesFootPoint(1, 0), 1);
  EXPECT_EQ(c.UsesFootPoint(1, 1), 1);
  EXPECT_EQ(c.UsesFootPoint(2, 0), 1);
  EXPECT_EQ(c.UsesFootPoint(2, 1), 0);
  EXPECT_EQ(c.UsesFootPoint(3, 0), 0);
}
