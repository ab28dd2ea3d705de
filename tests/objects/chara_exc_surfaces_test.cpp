// The graphic look-up's way to the dedicated character bitmaps stage play loads: four surfaces per
// database entry from entry 1, and the project's cell layout.
#include "objects/chara_exc_surfaces.h"

#include <gtest/gtest.h>

#include "data/database.h"
#include "data/system_data.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/hooks_guard.h"

TEST(CharaExcSurfaces, EachLoadedEntryHasFourSurfacesFromEntryOne) {
  std::vector<DDSURFACEDATA> surfaces(8);
  EXPECT_EQ(CharaExcSurfaceIn(surfaces, 1, 0), &surfaces[0]);
  EXPECT_EQ(CharaExcSurfaceIn(surfaces, 1, 3), &surfaces[3]);
  EXPECT_EQ(CharaExcSurfaceIn(surfaces, 2, 1), &surfaces[5]);
  EXPECT_EQ(CharaExcSurfaceIn(surfaces, 0, 0), nullptr);  // entry 0 is never loaded
  EXPECT_EQ(CharaExcSurfaceIn(surfaces, -1, 0), nullptr);
  EXPECT_EQ(CharaExcSurfaceIn(surfaces, 1, 4), nullptr);
  EXPECT_EQ(CharaExcSurfaceIn(surfaces, 1, -1), nullptr);
  EXPECT_EQ(CharaExcSurfaceIn(surfaces, 3, 0), nullptr);  // beyond what was loaded
}

TEST(CharaExcSurfaces, TheLookUpDrawsKindFourFromTheStagesCollection) {
  cFreshPlayObjects run;
  g_Database.m_aBmpCharaExc.resize(3);
  std::vector<DDSURFACEDATA> surfaces(8);
  cHooksGuard guard(SetGraphicSourceHooks, cGraphicSourceHooks{});
  UseCharaExcSurfaces(&surfaces);
  const GRAPHICOWNER right{1};
  GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindCharaExc, 2, 0, &right, 0);
  EXPECT_EQ(gs.lpDirectDraw[0], &surfaces[4]);
  EXPECT_EQ(gs.lpDirectDraw[1], &surfaces[5]);
  // Handing the collection back leaves kind 4 without surfaces.
  UseCharaExcSurfaces(nullptr);
  gs = GetGraphicSource(kGraphicForChara, kGraphicKindCharaExc, 2, 0, &right, 0);
  EXPECT_EQ(gs.lpDirectDraw[0], nullptr);
  EXPECT_EQ(gs.lpSD, nullptr);
}

TEST(CharaExcSurfaces, TheCellLayoutFollowsTheProjectsAge) {
  cFreshPlayObjects run;
  std::vector<DDSURFACEDATA> surfaces(4);
  for (int legacy855 = 0; legacy855 < 2; ++legacy855) {
    g_SystemData.m_bLegacy855 = legacy855;
    cHooksGuard guard(SetGraphicSourceHooks, cGraphicSourceHooks{});
    UseCharaExcSurfaces(&surfaces);
    EXPECT_EQ(g_bCharaExcFixedLayout, legacy855);
  }
  g_bCharaExcFixedLayout = 0;
}
