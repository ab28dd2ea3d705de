// Drawing shots and sword swings, seen through the drawing trace: the shot sheet's cell of graphic g
// and frame p ((p + (g / 30) x 2) x 16, (g % 30) x 16), the sheet of the shot's facing, 1:1 or
// stretched by the shot's size, nothing while hidden, the frame held or stepped; a swing's cell of
// its sword type's entry on the surface of the type and facing (+2 for the stretching copy).
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "data/database.h"
#include "media/graphics/surface_table.h"
#include "objects/graphic_source.h"
#include "objects/object.h"
#include "objects/shot.h"
#include "objects/shot_launch.h"
#include "objects/sword_entry.h"
#include "test_support/stage_harness.h"

namespace {

class ShotDrawTest : public ::testing::Test {
 protected:
  ShotDrawTest() : h({"..........", "..H...C...", "##########"}) {}

  cShot& Make(const cEdShot& settings, int cmdKind = kCmdKindShot) {
    SHOTLAUNCH launch;
    launch.nX = 500;
    launch.nY = 420;
    cShot& shot = h.Stage().m_ShotList.emplace_back();
    shot.InitShot(0, h.Chara(0), cmdKind, settings, launch);
    return shot;
  }

  // The screen position of a map position.
  int ScreenX(double x) { return static_cast<int>(x) - static_cast<int>(h.Stage().m_ScrollX.m_dPosition); }
  int ScreenY(double y) { return static_cast<int>(y) - static_cast<int>(h.Stage().m_ScrollY.m_dPosition); }

  cStageHarness h;
  DDSURFACEDATA target{};
};

}  // namespace

TEST_F(ShotDrawTest, AShotDrawsTheCellOfItsGraphicAndFrame) {
  struct Case {
    int graphic, frame, size, facing;
    int sx, sy;
  };
  const Case cases[] = {
      {0, 0, 1, 0, 0, 0},
      {29, 1, 1, 1, 16, 464},
      {30, 0, 2, 0, 32, 0},
      {119, 1, 3, 1, 112, 464},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.graphic);
    cEdShot s;
    s.m_nGraphic = static_cast<int16_t>(c.graphic);
    s.m_nSize = static_cast<int8_t>(c.size);
    cShot& shot = Make(s);
    shot.m_nFacing = c.facing;
    shot.m_Anim.m_nFrame = c.frame;  // the shot animation's frames show patterns 0 and 1
    h.ClearTraces();
    shot.DrawShot(&target, 1);
    ASSERT_EQ(h.Draws().size(), 1u);
    const DDTRACECALL& call = h.Draws()[0];
    EXPECT_EQ(call.lpDst, &target);
    // The sheet of its facing: slot 20 + facing, or that slot's mirrored twin where the graphics
    // layer keeps one.
    EXPECT_EQ(call.lpSrc, &g_GameSurfaces[SurfaceSlotFor(kSlotShotSheet + c.facing, c.facing)]);
    const double x = ScreenX(shot.m_dX);
    const double y = ScreenY(shot.m_dY);
    if (c.size == 1) {
      EXPECT_EQ(call.strName, "DDBlt");
      EXPECT_EQ(call.adArgs, (std::vector<double>{x, y, 16, 16, double(c.sx), double(c.sy), 1}));
    } else {
      const double side = 16.0 * c.size;
      EXPECT_EQ(call.strName, "DDBltStretch");
      EXPECT_EQ(call.adArgs, (std::vector<double>{x, y, side, side, double(c.sx), double(c.sy), 16, 16, 1}));
    }
  }
}

TEST_F(ShotDrawTest, AHiddenShotDrawsNothingAndAHeldOneKeepsItsFrame) {
  cEdShot s;
  s.m_bHidden = 1;
  Make(s).DrawShot(&target, 0);
  EXPECT_TRUE(h.Draws().empty());

  s.m_bHidden = 0;
  cShot& shot = Make(s);
  auto cellsDrawn = [&](int hold) {
    h.ClearTraces();
    for (int i = 0; i < 40; ++i) shot.DrawShot(&target, hold);
    std::set<double> cells;
    for (const DDTRACECALL& call : h.Draws()) cells.insert(call.adArgs[4]);
    return cells;
  };
  EXPECT_EQ(cellsDrawn(1).size(), 1u);                  // held: the same frame every time
  EXPECT_EQ(cellsDrawn(0), (std::set<double>{0, 16}));  // running: both frames of the graphic
}

TEST_F(ShotDrawTest, ASwingDrawsItsEntrysCellFromItsSwordPicture) {
  cSwordTypeData type;
  type.m_aEntries.assign(1, cSwordEntry{});
  cSwordEntry& entry = type.m_aEntries[0];
  entry.m_nValue6 = 24;  // width
  entry.m_nValue7 = 10;  // height
  entry.m_nValue8 = 48;  // cell left
  entry.m_nValue9 = 20;  // cell top
  entry.m_nValue10 = 5;
  g_Database.m_aSwordType.assign(2, type);
  std::vector<DDSURFACEDATA> swords(8);
  UseSwordSurfaces(&swords);
  struct Case {
    int size, facing;
    size_t surface;
  };
  const Case cases[] = {{1, 0, 4}, {1, 1, 5}, {2, 0, 6}, {2, 1, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " " << c.facing);
    h.Chara(0).m_nFacing = c.facing;
    cEdShot s;
    s.m_nTrajectory = 1;  // the sword type
    s.m_nSize = static_cast<int8_t>(c.size);
    cShot& swing = Make(s, kCmdKindSword);
    ASSERT_EQ(swing.StepShot(), 0);  // placed by its entry, facing as its owner
    h.ClearTraces();
    swing.DrawShot(&target, 0);
    ASSERT_EQ(h.Draws().size(), 1u);
    const DDTRACECALL& call = h.Draws()[0];
    EXPECT_EQ(call.lpSrc, &swords[c.surface]);
    const double x = ScreenX(swing.m_dX);
    const double y = ScreenY(swing.m_dY);
    if (c.size == 1) {
      EXPECT_EQ(call.strName, "DDBlt");
      EXPECT_EQ(call.adArgs, (std::vector<double>{x, y, 24, 10, 48, 20, 1}));
    } else {
      EXPECT_EQ(call.strName, "DDBltStretch");
      EXPECT_EQ(call.adArgs, (std::vector<double>{x, y, 48, 20, 48, 20, 24, 10, 1}));
    }
  }
  UseSwordSurfaces(nullptr);
}
