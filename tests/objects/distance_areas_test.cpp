// Distance conditions: the seven area shapes around the tested character with its facing, against
// the reference's hit columns or rows, the bottom-aligned hit box, the circle, inside and outside,
// the refresh of the reference by project age and replay version; and the display of the areas as
// recorded draw calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/log.h"
#include "data/game_data.h"
#include "data/play_mode.h"
#include "data/system_data.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "objects/chara.h"
#include "objects/chara_conditions.h"
#include "objects/flow_test_support.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "test_support/fresh_play_objects.h"

namespace {

// A walking character whose graphic stands at (left, top) on the screen of a view at the map's
// start, with its hit box inside the graphic; its screen rectangle is left stale on purpose.
void Place(cCharaBase& c, int left, int top, int hitX = 0, int hitY = 0, int width = 32, int height = 32) {
  c.m_nHitOffsetX = hitX;
  c.m_nHitOffsetY = hitY;
  c.m_nWidth = width;
  c.m_nHeight = height;
  c.m_nGraphicWidth = 32;
  c.m_nGraphicHeight = 32;
  c.m_dX = left + hitX;
  c.m_dY = top + hitY;
  c.m_dX2 = c.m_dX + width - 1;
  c.m_dY2 = c.m_dY + height - 1;
  c.m_ScreenRect = {-1000, -1000, -1000, -1000};
}

cCond DistanceCond(int shape, int halfBlocks, int dots = 0, int op = 0, int whose = 0) {
  cCond cond;
  cond.m_nKind = kCondDistance;
  cond.m_nShape = static_cast<int8_t>(shape);
  cond.m_nOperand = halfBlocks;
  cond.m_nRightVarIndex = static_cast<int16_t>(dots);
  cond.m_nOperator = static_cast<int8_t>(op);
  cond.m_nLeftWhose = static_cast<int8_t>(whose);
  return cond;
}

class DistanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bQuit = 0;
    g_HeroList.resize(1);
    // The tested character's graphic spans x 100-131, y 200-231.
    Place(m_Chara, 100, 200);
    m_Chara.m_nFacing = 1;
  }
  void TearDown() override { EXPECT_EQ(g_bQuit.load(), 0); }

  cHero& Hero() { return g_HeroList[0]; }

  bool Holds(cCond cond) { return CheckDistanceCond(m_Chara, cond); }

  cFreshPlayObjects m_FreshRun;
  cTestStage m_Stage;
  cChara m_Chara;
};

}  // namespace

TEST_F(DistanceTest, HorizontalShapes) {
  struct Case {
    std::string name;
    cCond cond;
    int facing;
    int heroLeft;  // the hero's hit columns are heroLeft + 4 .. heroLeft + 27
    bool holds;
  };
  const std::vector<Case> cases = {
      // Range 0 on both sides: the graphic's columns 100 .. 132 against the hit columns.
      {"both sides, touching on the right", DistanceCond(0, 0), 1, 128, true},
      {"both sides, one column beyond", DistanceCond(0, 0), 1, 129, false},
      {"both sides, touching on the left", DistanceCond(0, 0), 1, 73, true},
      {"both sides, one column before", DistanceCond(0, 0), 1, 72, false},
      // Range 0 to the front: only the centre column 116.
      {"front 0, hit columns reach the centre", DistanceCond(1, 0), 1, 112, true},
      {"front 0, just past the centre", DistanceCond(1, 0), 1, 113, false},
      {"front 0, ending at the centre", DistanceCond(1, 0), 1, 89, true},
      // 2 half blocks and 3 dots (35) to the front: 116 .. 167 facing right.
      {"front, at the far end", DistanceCond(1, 2, 3), 1, 163, true},
      {"front, beyond it", DistanceCond(1, 2, 3), 1, 164, false},
      {"front, behind", DistanceCond(1, 2, 3), 1, 70, false},
      {"front facing left: 65 .. 116", DistanceCond(1, 2, 3), 0, 38, true},
      {"front facing left, beyond", DistanceCond(1, 2, 3), 0, 37, false},
      {"back facing right: 65 .. 116", DistanceCond(2, 2, 3), 1, 38, true},
      {"back facing right, ahead", DistanceCond(2, 2, 3), 1, 140, false},
      {"back facing left: 116 .. 167", DistanceCond(2, 2, 3), 0, 163, true},
      {"both sides 35: 65 .. 167", DistanceCond(0, 2, 3), 1, 163, true},
      {"outside", DistanceCond(0, 2, 3, 1), 1, 164, true},
      {"outside, but inside", DistanceCond(0, 2, 3, 1), 1, 100, false},
      {"other operators", DistanceCond(0, 2, 3, 2), 1, 100, false},
  };
  for (const Case& c : cases) {
    m_Chara.m_nFacing = c.facing;
    Place(Hero(), c.heroLeft, 200, 4, 0, 24, 32);
    EXPECT_EQ(Holds(c.cond), c.holds) << c.name;
  }
}

TEST_F(DistanceTest, VerticalShapesAndBottomAlignedHitBoxes) {
  struct Case {
    std::string name;
    cCond cond;
    int facing;
    int heroTop;
    int hitY, height;
    int legacy733;
    bool holds;
  };
  // Rows 200 .. 232; the hero's hit rows are heroTop + hitY .. heroTop + 31 - hitY (or its bottom).
  const std::vector<Case> cases = {
      {"both sides 0, touching below", DistanceCond(3, 0), 1, 232, 0, 32, 0, true},
      {"both sides 0, below", DistanceCond(3, 0), 1, 233, 0, 32, 0, false},
      {"centred hit box, above", DistanceCond(3, 0), 1, 162, 4, 24, 0, false},
      {"bottom-aligned hit box reaches the bottom", DistanceCond(3, 0), 1, 170, 8, 24, 0, true},
      {"older projects leave the bottom off", DistanceCond(3, 0), 1, 170, 8, 24, 1, false},
      {"front Y facing right looks down: 216 .. 264", DistanceCond(4, 2), 1, 264, 0, 32, 0, true},
      {"front Y facing right, above the centre", DistanceCond(4, 2), 1, 150, 0, 32, 0, false},
      {"front Y facing left looks up: 168 .. 216", DistanceCond(4, 2), 0, 137, 0, 32, 0, true},
      {"back Y facing right looks up", DistanceCond(5, 2), 1, 137, 0, 32, 0, true},
      {"back Y facing left looks down", DistanceCond(5, 2), 0, 264, 0, 32, 0, true},
      {"back Y facing left, beyond", DistanceCond(5, 2), 0, 265, 0, 32, 0, false},
  };
  for (const Case& c : cases) {
    g_SystemData.m_bLegacy733 = c.legacy733;
    m_Chara.m_nFacing = c.facing;
    Place(Hero(), 100, c.heroTop, 0, c.hitY, 32, c.height);
    EXPECT_EQ(Holds(c.cond), c.holds) << c.name;
  }
}

TEST_F(DistanceTest, TheCircleMeasuresBetweenHitBoxCentres) {
  // Centres: (116, 216) and the hero's; 3 half blocks = 48 dots.
  Place(Hero(), 100 + 48, 200);
  EXPECT_TRUE(Holds(DistanceCond(6, 3)));
  Place(Hero(), 100 + 49, 200);
  EXPECT_FALSE(Holds(DistanceCond(6, 3)));
  EXPECT_TRUE(Holds(DistanceCond(6, 3, 0, 1)));
  Place(Hero(), 100 + 30, 200 + 40);  // 50 away
  EXPECT_TRUE(Holds(DistanceCond(6, 3, 2)));
  EXPECT_FALSE(Holds(DistanceCond(6, 3, 1)));
}

TEST_F(DistanceTest, TheReferenceIsTheHeroOrATarget) {
  cChara target;
  Place(target, 100, 200);
  Place(Hero(), 5000, 200);
  m_Chara.SetTarget(1, &target);
  EXPECT_FALSE(Holds(DistanceCond(0, 0, 0, 0, 0)));
  EXPECT_TRUE(Holds(DistanceCond(0, 0, 0, 0, 2)));
  EXPECT_FALSE(Holds(DistanceCond(0, 0, 0, 0, 3)));  // empty slot
  EXPECT_FALSE(Holds(DistanceCond(0, 0, 0, 1, 3)));  // ... whatever the operator
  EXPECT_FALSE(Holds(DistanceCond(0, 0, 0, 1, 5)));
  EXPECT_FALSE(Holds(DistanceCond(7, 0)));  // no such shape
  m_Chara.UnlinkAll();
}

TEST_F(DistanceTest, TheReferenceIsRefreshedExceptForOldProjectsAndReplays) {
  // The hero stands far away, but its screen rectangle still says it overlaps.
  struct Case {
    int legacy782, playMode;
    uint32_t replayVersion;
    bool refreshed;
  };
  for (const Case& c : {Case{0, kPlayModeFree, 0, true}, Case{1, kPlayModeFree, 0, false},
                        Case{0, kPlayModeReplay, 781, false}, Case{0, kPlayModeReplay, 782, true}}) {
    g_SystemData.m_bLegacy782 = c.legacy782;
    g_nPlayMode = c.playMode;
    g_GameData.m_nReplayVersion = c.replayVersion;
    Place(Hero(), 5000, 200);
    Hero().m_ScreenRect = {100, 200, 131, 231};
    EXPECT_EQ(Holds(DistanceCond(0, 0)), !c.refreshed) << c.legacy782 << c.playMode << c.replayVersion;
    EXPECT_EQ(m_Chara.m_ScreenRect.left, 100);  // the tested character always
  }
}

namespace {

std::vector<DDTRACECALL>& Recorded() {
  static std::vector<DDTRACECALL> calls;
  return calls;
}

// The distance areas' display, with the drawing recorded instead of made.
class DistanceDisplayTest : public DistanceTest {
 protected:
  void SetUp() override {
    DistanceTest::SetUp();
    Recorded().clear();
    m_Stage.m_aCharaGroups[2].push_back(&m_Chara);
    m_Chara.m_bActive = 1;
    m_Chara.m_nKind = 2;
    m_Chara.m_Type.m_aFlows.resize(1);
    m_Chara.m_aFlowStates.resize(1);
    RebindFlowStates(m_Chara);
    m_Chara.UpdateScreenRect();
  }

  // A condition shown always, in colour choice 2, added to the character's one flow.
  cCond& Show(cCond cond, int display = 1) {
    cond.m_nLeftSource = static_cast<int8_t>(display);
    cond.m_nLeftWhich = 2;
    std::vector<cCond>& conds = m_Chara.m_Type.m_aFlows[0].m_aConds;
    conds.push_back(cond);
    return conds.back();
  }

  // The recorded calls as "name args..." lines, the batch brackets left out.
  // Each draw at the colour cycle's first frame unless the test keeps the cycle going.
  std::vector<std::string> Draw() {
    if (!m_bKeepFrame) m_Stage.m_nAreaFrame = 0;
    Recorded().clear();
    DrawDistanceAreas(&m_Target);
    std::vector<std::string> lines;
    EXPECT_FALSE(Recorded().empty());
    if (!Recorded().empty()) {
      EXPECT_EQ(Recorded().front().strName, "DDBeginFillBatch");
      EXPECT_EQ(Recorded().back().strName, "DDEndFillBatch");
    }
    for (const DDTRACECALL& call : Recorded()) {
      if (call.strName == "DDBeginFillBatch" || call.strName == "DDEndFillBatch") continue;
      std::string line = call.strName + (call.lpDst == &m_Target ? "" : call.lpDst == &m_Circle ? " circle" : " ?");
      for (double a : call.adArgs) line += " " + std::to_string(static_cast<long long>(a));
      lines.push_back(line);
    }
    return lines;
  }

  cHooksGuard<cDrawTraceHooks> m_Trace{SetDrawTraceHooks,
                                       cDrawTraceHooks{[](const DDTRACECALL& call) { Recorded().push_back(call); }}};
  DDSURFACEDATA m_Target{};
  DDSURFACEDATA m_Circle{};
  bool m_bKeepFrame = false;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(DistanceDisplayTest, LinesAtTheAreasEdges) {
  Show(DistanceCond(0, 2, 3));  // 65 .. 167
  Show(DistanceCond(4, 1));     // facing right: 216 .. 248
  EXPECT_EQ(Draw(), (Lines{"DDFillRect 65 0 1 480 216", "DDFillRect 167 0 1 480 216", "DDFillRect 0 216 640 1 216",
                           "DDFillRect 0 248 640 1 216"}));
}

TEST_F(DistanceDisplayTest, CirclesDirectlyOrStretchedFromTheCircleSurface) {
  cCond& small = Show(DistanceCond(6, 4));  // 64 dots
  EXPECT_EQ(Draw(), (Lines{"DDCircle 116 216 64 216"}));
  small.m_nRightVarIndex = 1;  // 65 dots: still direct without the circle surface
  EXPECT_EQ(Draw(), (Lines{"DDCircle 116 216 65 216"}));
  m_Stage.m_lpAreaCircle = &m_Circle;
  EXPECT_EQ(Draw(), (Lines{"DDFillSurface circle 0", "DDCircle circle 64 64 64 216",
                           "DDBltStretch 51 151 130 130 0 0 129 129 1"}));
  small.m_nRightVarIndex = 0;
  EXPECT_EQ(Draw(), (Lines{"DDCircle 116 216 64 216"}));
}

TEST_F(DistanceDisplayTest, WhichConditionsAndCharactersAreShown) {
  cCond& cond = Show(DistanceCond(0, 0));
  const Lines shown = {"DDFillRect 100 0 1 480 216", "DDFillRect 132 0 1 480 216"};
  EXPECT_EQ(Draw(), shown);
  // Only in a test play.
  cond.m_nLeftSource = 2;
  EXPECT_EQ(Draw(), Lines{});
  g_GameData.m_bTestPlay = 1;
  EXPECT_EQ(Draw(), shown);
  cond.m_nLeftSource = 0;
  EXPECT_EQ(Draw(), Lines{});
  cond.m_nLeftSource = 1;
  // Not active: only when the condition asks for it, from the refreshed screen rectangle.
  m_Chara.m_bActive = 0;
  EXPECT_EQ(Draw(), Lines{});
  cond.m_nRightSource = 1;
  m_Chara.m_ScreenRect = {0, 0, 0, 0};
  EXPECT_EQ(Draw(), shown);
  // Invisible: only when the condition asks for it.
  m_Chara.m_Type.m_nOpt18 = 1;
  EXPECT_EQ(Draw(), Lines{});
  cond.m_nRightWhose = 1;
  EXPECT_EQ(Draw(), shown);
  m_Chara.m_Type.m_nOpt18 = 0;
  m_Chara.m_bActive = 1;
  // A latched flow's conditions are no longer shown; neither are other kinds.
  m_Chara.m_Type.m_aFlows[0].m_bCondLatch = 1;
  m_Chara.m_aFlowStates[0].m_bCondLatch = 1;
  EXPECT_EQ(Draw(), Lines{});
  m_Chara.m_aFlowStates[0].m_bCondLatch = 0;
  cond.m_nKind = kCondStatus;
  EXPECT_EQ(Draw(), Lines{});
  cond.m_nKind = kCondDistance;
  // Appearance conditions too, unless satisfied once and latched.
  cCond appearance = DistanceCond(3, 0);
  appearance.m_nLeftSource = 1;
  m_Chara.m_Type.m_aConds = {appearance};
  const Lines withAppearance = {"DDFillRect 0 200 640 1 208", "DDFillRect 0 232 640 1 208", shown[0], shown[1]};
  EXPECT_EQ(Draw(), withAppearance);
  m_Chara.m_Type.m_bCondLatch = 1;
  m_Chara.m_bCondLatch = 1;
  EXPECT_EQ(Draw(), shown);
  // Dead or off-screen characters: nothing.
  m_Chara.m_bDead = 1;
  EXPECT_EQ(Draw(), Lines{});
  m_Chara.m_bDead = 0;
  Place(m_Chara, 900, 200);
  EXPECT_EQ(Draw(), Lines{});
}

TEST_F(DistanceDisplayTest, TheColoursCycleEveryEightFramesUnlessThePaletteCyclesThem) {
  Show(DistanceCond(6, 1));
  m_bKeepFrame = true;
  std::vector<int> colours;
  for (int frame = 0; frame < 34; ++frame) {
    const std::string line = Draw().at(0);
    colours.push_back(std::stoi(line.substr(line.rfind(' '))));
  }
  EXPECT_EQ(colours[0], 216);
  EXPECT_EQ(colours[7], 216);
  EXPECT_EQ(colours[8], 217);
  EXPECT_EQ(colours[31], 219);
  EXPECT_EQ(colours[32], 216);

  const int bpp = g_nDisplayBpp;
  g_nDisplayBpp = 8;
  g_SystemData.m_nPaletteOpt289 = 1;
  m_Stage.m_nAreaFrame = 9;
  EXPECT_EQ(Draw(), (Lines{"DDCircle 116 216 16 216"}));
  EXPECT_EQ(m_Stage.m_nAreaFrame, 9);
  g_nDisplayBpp = bpp;
}
