// The shot patterns: rows, the angle step over the pattern's launches, fan, explosion, lightning
// and surround, the random spread drawn once per launch, and summons placed by the same loop.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/numbers.h"
#include "data/palette.h"
#include "data/vocabulary_tables.h"
#include "objects/chara.h"
#include "objects/flow_state.h"
#include "objects/shot_launch.h"
#include "objects/shot_pattern.h"
#include "test_support/stage_harness.h"

namespace {

constexpr double kTolerance = 1e-9;

class ShotPatternTest : public ::testing::Test {
 protected:
  ShotPatternTest() : h({"................", "..H.....C.......", "................", "################"}) {}

  std::vector<cShot*> Fire(cCharaBase& firer, const cEdShot& settings) {
    h.Stage().m_ShotList.clear();
    for (auto& group : h.Stage().m_aShotGroups) group.clear();
    cCmdState state;
    StepShotPattern(h.Stage().m_ShotList, firer, state, settings);
    std::vector<cShot*> shots;
    for (cShot& shot : h.Stage().m_ShotList) shots.push_back(&shot);
    return shots;
  }

  // Settings of n shots of one kind flying left at 6 dots per frame, no mirroring.
  static cEdShot Settings(int kind, int perRow) {
    cEdShot s;
    s.m_nShotKind = static_cast<int8_t>(kind);
    s.m_nPerRow = static_cast<int8_t>(perRow);
    s.m_nDirection = kMoveDirLeft;
    s.m_bAngleMirror = 0;
    s.m_nSpeed = 60;
    return s;
  }

  // The angle in degrees of a shot's flight, in the (-cos, -sin) convention of the patterns.
  static double FlightAngle(const cShot& shot) {
    double a = std::atan2(-shot.m_dVelY, -shot.m_dVelX) * 180 / std::numbers::pi;
    return a < -1e-6 ? a + 360 : a;
  }

  cStageHarness h;
};

}  // namespace

TEST_F(ShotPatternTest, ARowLeavesTheFirersSideCentredOnIt) {
  cChara& firer = h.Chara(0);
  cEdShot s = Settings(0, 3);
  s.m_nDirection = kMoveDirRight;
  s.m_anPattern[0] = 1;  // 16 dots between the shots
  const std::vector<cShot*> shots = Fire(firer, s);
  ASSERT_EQ(shots.size(), 3u);
  const cIntRect box = GraphicBoxOnMap(firer);
  const int centreY = box.top + firer.m_nGraphicHeight / 2;
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(shots[k]->m_dX, box.right + 1) << k;
    EXPECT_EQ(shots[k]->m_dY, centreY - 16 - 24 + k * 32) << k;
    EXPECT_EQ(shots[k]->m_dVelX, 6.0) << k;  // n = 1
    EXPECT_EQ(shots[k]->m_dVelY, 0.0) << k;
    EXPECT_EQ(shots[k]->m_nFacing, 1) << k;
  }
  // Leftward: the row starts a shot's width left of the box.
  s.m_nDirection = kMoveDirLeft;
  const std::vector<cShot*> left = Fire(firer, s);
  EXPECT_EQ(left[0]->m_dX, box.left + 1 - 16);
  EXPECT_EQ(left[0]->m_dVelX, -6.0);
}

TEST_F(ShotPatternTest, ExtraLaunchesStepTheAngleAndTheSpeed) {
  cEdShot s = Settings(0, 1);
  s.m_nExtraShots = 2;  // three launches
  s.m_nAngleStep = 30;
  s.m_nSpeedStep = 10;
  const std::vector<cShot*> shots = Fire(h.Chara(0), s);
  ASSERT_EQ(shots.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(FlightAngle(*shots[i]), 30.0 * i, 1e-6) << i;
    EXPECT_NEAR(std::hypot(shots[i]->m_dVelX, shots[i]->m_dVelY), 6.0 + i, kTolerance) << i;
  }
}

TEST_F(ShotPatternTest, MirroringTurnsTheAngleForAFirerFacingRight) {
  cChara& firer = h.Chara(0);
  firer.m_nFacing = 1;
  cEdShot s = Settings(0, 1);
  s.m_nAngle = 30;
  s.m_bAngleMirror = 1;
  const std::vector<cShot*> shots = Fire(firer, s);
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_NEAR(FlightAngle(*shots[0]), 330.0, 1e-6);
}

TEST_F(ShotPatternTest, AFanSpreadsEvenlyAroundTheDirection) {
  struct Case {
    int count;
    std::vector<double> angles;
  };
  const Case cases[] = {{4, {345, 355, 5, 15}}, {3, {350, 0, 10}}, {1, {0}}};
  for (const Case& c : cases) {
    cEdShot s = Settings(2, c.count);
    s.m_anPattern[0] = 10;
    const std::vector<cShot*> shots = Fire(h.Chara(0), s);
    ASSERT_EQ(shots.size(), c.angles.size()) << c.count;
    for (size_t k = 0; k < shots.size(); ++k) {
      EXPECT_NEAR(FlightAngle(*shots[k]), c.angles[k], 1e-6) << c.count << " shot " << k;
      EXPECT_EQ(shots[k]->m_dX, shots[0]->m_dX);  // one start point
    }
  }
}

TEST_F(ShotPatternTest, AnExplosionCoversTheFullCircleFromTheFirersCentre) {
  cChara& firer = h.Chara(0);
  const std::vector<cShot*> shots = Fire(firer, Settings(4, 8));
  ASSERT_EQ(shots.size(), 8u);
  const cIntRect box = GraphicBoxOnMap(firer);
  for (int k = 0; k < 8; ++k) {
    EXPECT_NEAR(FlightAngle(*shots[k]), 45.0 * k, 1e-6) << k;
    EXPECT_EQ(shots[k]->m_dX, box.left + firer.m_nGraphicWidth / 2 - 8) << k;
  }
  EXPECT_TRUE(Fire(firer, Settings(4, 0)).empty());  // no division by a count of 0
}

TEST_F(ShotPatternTest, LightningAndSurroundNeedATarget) {
  cChara& firer = h.Chara(0);
  for (int kind : {3, 5}) {
    cEdShot s = Settings(kind, 2);
    s.m_anPattern[1] = 2;
    s.m_nTargetChoice = 0;
    s.m_nTargetSlot = 3;  // empty
    EXPECT_TRUE(Fire(firer, s).empty()) << kind;
    s.m_nTargetChoice = 1;  // the hero
    EXPECT_FALSE(Fire(firer, s).empty()) << kind;
  }
}

TEST_F(ShotPatternTest, LightningFallsInColumnsOverTheTarget) {
  cEdShot s = Settings(3, 2);
  s.m_nTargetChoice = 1;
  s.m_anPattern[0] = 1;  // 16 dots between the columns
  s.m_anPattern[1] = 3;  // three shots a column
  const std::vector<cShot*> shots = Fire(h.Chara(0), s);
  ASSERT_EQ(shots.size(), 6u);
  const cHero& hero = h.Hero();
  const cIntRect box = GraphicBoxOnMap(hero);
  const int firstX = box.left + hero.m_nGraphicWidth / 2 - 16 - 8;
  const int top = static_cast<int>(h.Stage().m_ScrollY.m_dPosition);
  for (int c = 0; c < 2; ++c) {
    for (int k = 0; k < 3; ++k) {
      const cShot& shot = *shots[c * 3 + k];
      EXPECT_EQ(shot.m_dX, firstX + c * 32);
      EXPECT_EQ(shot.m_dY, top - 16 - k * 16);
      EXPECT_NEAR(shot.m_dVelY, 6.0, kTolerance);
    }
  }
}

TEST_F(ShotPatternTest, SurroundPlacesTheShotsOnACircleAroundTheTarget) {
  cEdShot s = Settings(5, 4);
  s.m_nTargetChoice = 1;
  s.m_anPattern[0] = 2;  // radius 32
  const std::vector<cShot*> shots = Fire(h.Chara(0), s);
  ASSERT_EQ(shots.size(), 4u);
  const cHero& hero = h.Hero();
  const cIntRect box = GraphicBoxOnMap(hero);
  const int cx = box.left + hero.m_nGraphicWidth / 2 - 8;
  const int cy = box.top + hero.m_nGraphicHeight / 2 - 8;
  const int expected[4][2] = {{cx + 32, cy}, {cx, cy + 32}, {cx - 32, cy}, {cx, cy - 32}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(shots[k]->m_dX, expected[k][0]) << k;
    EXPECT_EQ(shots[k]->m_dY, expected[k][1]) << k;
    EXPECT_NEAR(FlightAngle(*shots[k]), 90.0 * k, 1e-6) << k;
  }
}

TEST_F(ShotPatternTest, TheSpreadIsDrawnOncePerLaunchAndAfterTheLast) {
  cEdShot s = Settings(0, 2);
  s.m_nExtraShots = 2;
  s.m_nSpread = 20;
  // Three launches draw four times: once before the first, once after each.
  QcSrand(77);
  std::vector<int> draws;
  for (int i = 0; i < 4; ++i) draws.push_back(RandRange(-20, 20));
  const int next = QcRand();
  QcSrand(77);
  const std::vector<cShot*> shots = Fire(h.Chara(0), s);
  EXPECT_EQ(QcRand(), next);
  ASSERT_EQ(shots.size(), 6u);
  for (int i = 0; i < 3; ++i) {
    const double expected = draws[i] < 0 ? draws[i] + 360 : draws[i];
    EXPECT_NEAR(FlightAngle(*shots[2 * i]), expected, 1e-6) << i;
    EXPECT_NEAR(FlightAngle(*shots[2 * i + 1]), expected, 1e-6) << i;  // one draw per launch, not per shot
  }
}

TEST_F(ShotPatternTest, ShotsJoinTheListAndTheirGroupAndRegisterWithTheirCharacters) {
  cChara& firer = h.Chara(0);
  firer.SetTarget(1, &h.Hero());
  cEdShot s = Settings(0, 1);
  s.m_nTargetSlot = 2;
  const std::vector<cShot*> shots = Fire(firer, s);
  ASSERT_EQ(shots.size(), 1u);
  cShot& shot = *shots[0];
  EXPECT_EQ(shot.m_lpOwner, &firer);
  EXPECT_EQ(shot.m_lpTarget, &h.Hero());
  EXPECT_EQ(shot.m_nOwnerNumber, firer.m_nNumber);
  EXPECT_EQ(std::count(firer.m_aShotLinks.begin(), firer.m_aShotLinks.end(), cShotLink{&shot, kShotLinkOwner}), 1);
  EXPECT_EQ(std::count(h.Hero().m_aShotLinks.begin(), h.Hero().m_aShotLinks.end(), cShotLink{&shot, kShotLinkTarget}),
            1);
  const auto& group = h.Stage().m_aShotGroups[static_cast<size_t>(shot.m_nKind)];
  EXPECT_EQ(std::count(group.begin(), group.end(), &shot), 1);
  // The character going clears the shot's pointer to it.
  firer.UnlinkAll();
  EXPECT_EQ(shot.m_lpOwner, nullptr);
  // Erasing the shot takes it out of its group and off its target.
  const size_t kind = static_cast<size_t>(shot.m_nKind);
  EraseShot(h.Stage().m_ShotList.begin());
  EXPECT_TRUE(h.Stage().m_aShotGroups[kind].empty());
  EXPECT_TRUE(h.Hero().m_aShotLinks.empty());
}

TEST_F(ShotPatternTest, SummonsArePlacedWhereShotsWouldStart) {
  cEdShot s = Settings(0, 2);
  s.m_nDirection = kMoveDirRight;
  s.m_nSummonPalette = 0;  // the common palette
  s.m_nSummonIndex = 1;
  g_CommonPalette.m_aBlockTypes.resize(2);
  g_CommonPalette.m_aCharaTypes.resize(2);
  g_CommonPalette.m_aItemTypes.resize(2);
  cCmdState state;
  cChara& firer = h.Chara(0);
  SummonCharaPattern(firer, state, s);
  SummonItemPattern(firer, state, s);
  SummonBlockPattern(firer, state, s);
  const cIntRect box = GraphicBoxOnMap(firer);
  for (const char* name : {"summonChara", "summonItem", "summonBlock"}) {
    const std::vector<cHarnessCall> calls = h.CallsOf(name);
    ASSERT_EQ(calls.size(), 2u) << name;
    EXPECT_EQ(calls[0].adArgs[0], box.right + 1) << name;
    EXPECT_EQ(calls[1].adArgs[1] - calls[0].adArgs[1], 16) << name;
  }
  EXPECT_EQ(h.CallsOf("summonChara")[0].adArgs[2], firer.m_nNumber);
  EXPECT_TRUE(h.Stage().m_ShotList.empty());
  // A type the palette does not hold places nothing.
  s.m_nSummonIndex = 999;
  SummonCharaPattern(firer, state, s);
  EXPECT_EQ(h.CallsOf("summonChara").size(), 2u);
}
