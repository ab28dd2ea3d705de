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
  // The firer 'C' (character 0) with another character (1) to its right; every screen rectangle
  // as the activity pass leaves it.
  ShotPatternTest() : h({"................", "..H.....C..C....", "................", "################"}) {
    h.Hero().UpdateScreenRect();
    for (int i = 0; i < 2; ++i) h.Chara(i).UpdateScreenRect();
  }

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

// An explosion's shots all leave from the start position of a single shot, outside the firer's
// box on the side of the direction (offsets added), at base + k x 360 / S1.
TEST_F(ShotPatternTest, AnExplosionCoversTheFullCircleFromTheStartPosition) {
  cChara& firer = h.Chara(0);
  const cIntRect box = GraphicBoxOnMap(firer);
  const int centreX = box.left + firer.m_nGraphicWidth / 2;
  const int centreY = box.top + firer.m_nGraphicHeight / 2;
  struct Case {
    const char* what;
    int direction, offsetX, offsetY;
    int x, y;
    double base;
  };
  const Case cases[] = {
      {"left", kMoveDirLeft, 0, 0, box.left + 1 - 16, centreY - 8, 0},
      {"left with offsets", kMoveDirLeft, 5, -3, box.left + 1 - 16 + 5, centreY - 8 - 3, 0},
      {"right", kMoveDirRight, 0, 0, box.right + 1, centreY - 8, 180},
      {"up", kMoveDirUp, 0, 0, centreX - 8, box.top - 16, 90},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cEdShot s = Settings(4, 8);
    s.m_nDirection = static_cast<int8_t>(c.direction);
    s.m_nOffsetX = static_cast<int16_t>(c.offsetX);
    s.m_nOffsetY = static_cast<int16_t>(c.offsetY);
    const std::vector<cShot*> shots = Fire(firer, s);
    ASSERT_EQ(shots.size(), 8u);
    for (int k = 0; k < 8; ++k) {
      EXPECT_NEAR(FlightAngle(*shots[k]), std::fmod(c.base + 45.0 * k, 360.0), 1e-6) << k;
      EXPECT_EQ(shots[k]->m_dX, c.x) << k;
      EXPECT_EQ(shots[k]->m_dY, c.y) << k;
    }
  }
  EXPECT_TRUE(Fire(firer, Settings(4, 0)).empty());  // no division by a count of 0
}

// Lightning and surround take their target by S4: 0 the firer's target slot S7 (0-3, "ターゲット1"
// to "ターゲット4"; nothing when empty), 1 the hero, 2 the firer itself. Stage set-up puts the hero
// into every character's target 1, and the hero's own target 1 is the hero.
TEST_F(ShotPatternTest, LightningAndSurroundFindTheirTarget) {
  cChara& firer = h.Chara(0);
  cChara& other = h.Chara(1);
  enum Who { kNone, kHero, kFirer, kOther };
  struct Case {
    const char* what;
    bool heroFires;
    int choice, slot;
    bool clearSlot0;
    bool otherInSlot2;
    Who expected;
  };
  const Case cases[] = {
      {"the defaults: target 1, the hero", false, 0, 0, false, false, kHero},
      {"target 1 cleared", false, 0, 0, true, false, kNone},
      {"target 3 holds another character", false, 0, 2, false, true, kOther},
      {"target 3 empty", false, 0, 2, false, false, kNone},
      {"the hero, whatever the slot", false, 1, 2, false, false, kHero},
      {"the firer itself", false, 2, 2, false, false, kFirer},
      {"the hero firing with the defaults", true, 0, 0, false, false, kHero},
  };
  for (int kind : {3, 5}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << ": " << c.what);
      firer.SetTarget(0, c.clearSlot0 ? nullptr : &h.Hero());
      firer.SetTarget(2, c.otherInSlot2 ? &other : nullptr);
      cEdShot s = Settings(kind, 2);
      s.m_anPattern[0] = kind == 5 ? 2 : 0;  // a surround's radius of 32 dots
      s.m_anPattern[1] = 2;                  // two shots a lightning column
      s.m_nTargetChoice = static_cast<int8_t>(c.choice);
      s.m_nTargetSlot = static_cast<int8_t>(c.slot);
      cCharaBase& shooter = c.heroFires ? static_cast<cCharaBase&>(h.Hero()) : firer;
      const std::vector<cShot*> shots = Fire(shooter, s);
      cCharaBase* target = c.expected == kHero    ? static_cast<cCharaBase*>(&h.Hero())
                           : c.expected == kFirer ? static_cast<cCharaBase*>(&firer)
                           : c.expected == kOther ? static_cast<cCharaBase*>(&other)
                                                  : nullptr;
      if (!target) {
        EXPECT_TRUE(shots.empty());
        continue;
      }
      ASSERT_EQ(shots.size(), kind == 3 ? 4u : 2u);
      const cIntRect box = GraphicBoxOnMap(*target);
      const int cx = box.left + target->m_nGraphicWidth / 2;
      const int cy = box.top + target->m_nGraphicHeight / 2;
      if (kind == 3) {
        EXPECT_EQ(shots[0]->m_dX, cx - 16);  // two columns of 16 dots centred over the target
        EXPECT_EQ(shots[2]->m_dX, cx);
      } else {
        EXPECT_EQ(shots[0]->m_dX, cx - 8 + 32);  // angle 0: right of the target's centre
        EXPECT_EQ(shots[0]->m_dY, cy - 8);
      }
    }
  }
  // Every launch of the pattern fires the whole formation again.
  cEdShot s = Settings(3, 3);
  s.m_anPattern[1] = 2;
  s.m_nExtraShots = 1;
  EXPECT_EQ(Fire(firer, s).size(), 12u);
  s.m_nShotKind = 5;
  EXPECT_EQ(Fire(firer, s).size(), 6u);
}

// Columns fall from above the view onto the target: S1 columns S3[0] half blocks apart, each of
// S3[1] shots stacked upward S3[2] half blocks apart.
TEST_F(ShotPatternTest, LightningFallsInColumnsOverTheTarget) {
  cEdShot s = Settings(3, 2);
  s.m_nTargetChoice = 1;
  s.m_anPattern[0] = 1;  // 16 dots between the columns
  s.m_anPattern[1] = 3;  // three shots a column
  s.m_anPattern[2] = 1;  // 16 dots between the shots of a column
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
      EXPECT_EQ(shot.m_dY, top - 16 - k * 32);
      EXPECT_NEAR(shot.m_dVelY, 6.0, kTolerance);
    }
  }
}

// Surround: centre = the target's graphic centre less half the shot; shot k at angle
// base + k x 360 / S1 on a circle of S3[0] half blocks, flying (-cos, -sin) x speed: toward the
// centre. Facing right, "前" is right (base 180) and S10 mirrors the first angle 0 to 360.
TEST_F(ShotPatternTest, SurroundPlacesTheShotsOnACircleAroundTheTarget) {
  cChara& firer = h.Chara(0);
  const cHero& hero = h.Hero();
  const cIntRect box = GraphicBoxOnMap(hero);
  const int cx = box.left + hero.m_nGraphicWidth / 2 - 8;
  const int cy = box.top + hero.m_nGraphicHeight / 2 - 8;
  struct Case {
    int facing;
    int at[4][2];
    double velocity[4][2];
  };
  const Case cases[] = {
      {0, {{cx + 96, cy}, {cx, cy + 96}, {cx - 96, cy}, {cx, cy - 96}}, {{-3, 0}, {0, -3}, {3, 0}, {0, 3}}},
      {1, {{cx - 96, cy}, {cx, cy - 96}, {cx + 96, cy}, {cx, cy + 96}}, {{3, 0}, {0, 3}, {-3, 0}, {0, -3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.facing);
    firer.m_nFacing = c.facing;
    cEdShot s = Settings(5, 4);
    s.m_nDirection = kMoveDirFront;
    s.m_bAngleMirror = 1;
    s.m_nSpeed = 30;
    s.m_anPattern[0] = 6;  // radius 96
    const std::vector<cShot*> shots = Fire(firer, s);
    ASSERT_EQ(shots.size(), 4u);
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(shots[k]->m_dX, c.at[k][0]) << k;
      EXPECT_EQ(shots[k]->m_dY, c.at[k][1]) << k;
      EXPECT_NEAR(shots[k]->m_dVelX, c.velocity[k][0], kTolerance) << k;
      EXPECT_NEAR(shots[k]->m_dVelY, c.velocity[k][1], kTolerance) << k;
    }
  }
}

// Aiming (S6) goes at the pattern's chosen target; with an empty slot, at the hero.
TEST_F(ShotPatternTest, AimingGoesAtTheChosenTarget) {
  cChara& firer = h.Chara(0);
  cChara& other = h.Chara(1);  // right of the firer, the hero left of it
  struct Case {
    int choice;
    cCharaBase* slot0;
    bool rightward;
  };
  const Case cases[] = {{0, &other, true}, {1, &other, false}, {0, nullptr, false}};
  for (const Case& c : cases) {
    firer.SetTarget(0, c.slot0);
    cEdShot s = Settings(0, 1);
    s.m_bAim = 1;
    s.m_nTargetChoice = static_cast<int8_t>(c.choice);
    const std::vector<cShot*> shots = Fire(firer, s);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0]->m_dVelX > 0, c.rightward) << c.choice << " " << (c.slot0 != nullptr);
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
  s.m_nTargetSlot = 1;  // target 2
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
