// The stage's picture surfaces: the background pictures entered into their rows, the shot cell
// sheets built from the shot sheet, and the database's dedicated character bitmaps, swords and
// effects loaded as collections (with the later surfaces of an entry drawing from its first ones in
// Direct3D mode).
#include "stage/stage_pictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/game_data.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/graphics_fixture.h"
#include "stage/back_layers.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/hooks_guard.h"

namespace {

std::vector<DDTRACECALL> g_calls;
void Record(const DDTRACECALL& call) { g_calls.push_back(call); }

TEST(ShotCellSheets, EachShotGraphicStandsInTheMiddleOfItsCell) {
  g_calls.clear();
  cHooksGuard<cDrawTraceHooks> trace(SetDrawTraceHooks, cDrawTraceHooks{Record});
  DDSURFACEDATA* plain = &g_SurfaceData[64];
  DDSURFACEDATA* mirrored = &g_SurfaceData[65];
  plain->nWidth = mirrored->nWidth = 256;
  plain->nHeight = mirrored->nHeight = 960;
  BuildShotCellSheets();
  int fills = 0, blits = 0;
  std::vector<std::vector<double>> graphic37;
  for (const DDTRACECALL& c : g_calls) {
    if (c.strName == "DDFillRect") {
      ++fills;
      EXPECT_EQ(c.adArgs, (std::vector<double>{0, 0, 256, 960, 0}));
      EXPECT_TRUE(c.lpDst == plain || c.lpDst == mirrored);
    }
    if (c.strName != "DDBlt") continue;
    ++blits;
    // Plain frames from the shot sheet, mirrored ones from its mirrored form.
    EXPECT_EQ(c.lpSrc, c.lpDst == plain ? &g_SurfaceData[20] : &g_SurfaceData[21]);
    if (c.adArgs[4] >= 32 && c.adArgs[4] < 64 && c.adArgs[5] == 112 && c.lpDst == plain) graphic37.push_back(c.adArgs);
  }
  EXPECT_EQ(fills, 2);
  EXPECT_EQ(blits, 480);
  // Graphic 37 (column 1, row 7 of the shot sheet): its frames land in the cell at (64, 224).
  EXPECT_EQ(graphic37,
            (std::vector<std::vector<double>>{{72, 232, 16, 16, 32, 112, 1}, {104, 232, 16, 16, 48, 112, 1}}));
  plain->nWidth = mirrored->nWidth = plain->nHeight = mirrored->nHeight = 0;
}

TEST(BackLayerPictures, TheFirstEightPictureLayersNameTheirRowsPictures) {
  cFreshPlayObjects run;
  std::vector<cBackLayer> layers(9);
  layers[0].m_strPicture = "sky.bmp";
  layers[1].m_bColourFill = 1;
  layers[1].m_strPicture = "unused.bmp";
  layers[2].m_strPicture = "";
  layers[3].m_strPicture = "hills.bmp";
  layers[8].m_strPicture = "ninth.bmp";
  for (int i = 4; i < 8; ++i) layers[static_cast<size_t>(i)].m_bColourFill = 1;
  SetBackLayerPictures(layers);
  const char* expected[] = {"sky.bmp", "", "", "hills.bmp", "", "", "", ""};
  for (int i = 0; i < kBackLayerSlots; ++i) EXPECT_STREQ(g_SurfaceInfo[kSlotBackLayer + i].szPath, expected[i]) << i;
  EXPECT_STREQ(g_SurfaceInfo[64].szPath, "E");  // the row after them stays as it is
  // Fewer layers leave the rows after them without a picture.
  SetBackLayerPictures({layers[0]});
  EXPECT_STREQ(g_SurfaceInfo[kSlotBackLayer + 3].szPath, "");
}

// In DirectDraw mode a background larger than the screen is kept in system memory.
TEST(BackLayerPictures, ALargePictureGoesToSystemMemoryInDirectDraw) {
  cFreshPlayObjects run;
  gfxtest::Display display({0, 32, "DD32"});
  ASSERT_TRUE(display.ok);
  gfxtest::WritePaletteBmp(display.Dir() / "big.bmp", 641, 480, [](int, int) { return 1u; });
  gfxtest::WritePaletteBmp(display.Dir() / "fits.bmp", 640, 480, [](int, int) { return 1u; });
  std::vector<cBackLayer> layers(3);
  layers[0].m_strPicture = "big.bmp";
  layers[1].m_strPicture = "fits.bmp";
  layers[2].m_strPicture = "missing.bmp";
  for (int i = 0; i < 3; ++i) g_SurfaceInfo[kSlotBackLayer + i].nMemoryType = 1;
  SetBackLayerPictures(layers);
  EXPECT_EQ(g_SurfaceInfo[kSlotBackLayer].nMemoryType, 1);
  EXPECT_EQ(g_SurfaceInfo[kSlotBackLayer + 1].nMemoryType, 0);
  EXPECT_EQ(g_SurfaceInfo[kSlotBackLayer + 2].nMemoryType, 0);
}

class PictureCollections : public testing::TestWithParam<gfxtest::Mode> {
 protected:
  PictureCollections() : m_Display(GetParam()) {
    for (const char* name : {"c1.bmp", "s1a.bmp", "s1b.bmp", "e1.bmp"})
      gfxtest::WritePaletteBmp(m_Display.Dir() / name, 64, 32, [](int x, int) { return 1u + x; });
  }
  bool Direct3D() const { return GetParam().d3d != 0; }
  // The entry surface each surface draws from (-1: itself), and whether each holds the picture.
  static std::vector<int> Links(const cSurfaceCollection& c) {
    std::vector<int> links;
    for (const DDSURFACEDATA& s : c.m_aSurfaces)
      links.push_back(s.lpAlias ? static_cast<int>(s.lpAlias - &c.m_aSurfaces[0]) : -1);
    return links;
  }
  static std::vector<int> Widths(const cSurfaceCollection& c) {
    std::vector<int> widths;
    for (const DDSURFACEDATA& s : c.m_aSurfaces) widths.push_back(s.lpDD || s.lpDT ? s.nWidth : 0);
    return widths;
  }
  template <typename Field>
  static std::vector<int> Infos(const cSurfaceCollection& c, Field field) {
    std::vector<int> values;
    for (const DDSURFACEINFO& info : c.m_aInfos) values.push_back(info.*field);
    return values;
  }

  cFreshPlayObjects m_Run;
  gfxtest::Display m_Display;
};

TEST_P(PictureCollections, DedicatedCharacterBitmapsFromEntryOne) {
  ASSERT_TRUE(m_Display.ok);
  g_Database.m_aBmpCharaExc.resize(3);
  g_Database.m_aBmpCharaExc[0].m_strFileName = "c1.bmp";  // entry 0 is never loaded
  g_Database.m_aBmpCharaExc[1].m_strFileName = "c1.bmp";
  g_Database.m_aBmpCharaExc[1].m_bCellSize = 1;
  g_Database.m_aBmpCharaExc[1].m_nCellUnits = 2;
  g_Database.m_aBmpCharaExc[2].m_strFileName = "missing.bmp";
  cSurfaceCollection c;
  LoadCharaExcBitmaps(c);
  ASSERT_EQ(c.m_aSurfaces.size(), 8u);
  EXPECT_STREQ(c.m_aInfos[0].szPath, "c1.bmp");
  EXPECT_STREQ(c.m_aInfos[7].szPath, "missing.bmp");
  EXPECT_EQ(Infos(c, &DDSURFACEINFO::nMemoryType), (std::vector<int>{0, 0, 1, 1, 0, 0, 1, 1}));
  EXPECT_EQ(Infos(c, &DDSURFACEINFO::nMirrorX), (std::vector<int>{0, 64, 0, 64, 0, 32, 0, 32}));
  const int alias = Direct3D() ? 1 : 0;
  EXPECT_EQ(Infos(c, &DDSURFACEINFO::bAlias), (std::vector<int>{0, alias, alias, alias, 0, alias, alias, alias}));
  EXPECT_EQ(Links(c), (std::vector<int>{-1, 0, 0, 0, -1, 4, 4, 4}));
  // A bitmap that cannot be read leaves its surfaces empty.
  EXPECT_EQ(Widths(c), (std::vector<int>{64, 64, 64, 64, 0, 0, 0, 0}));
  // Loading again replaces the collection.
  g_Database.m_aBmpCharaExc.resize(1);
  LoadCharaExcBitmaps(c);
  EXPECT_TRUE(c.m_aSurfaces.empty());
}

TEST_P(PictureCollections, SwordsFromEntryZeroWithTheirTwoPictures) {
  ASSERT_TRUE(m_Display.ok);
  g_Database.m_aSwordType.resize(2);
  g_Database.m_aSwordType[0].m_strText2 = "s1a.bmp";
  g_Database.m_aSwordType[0].m_strPicture = "s1b.bmp";
  g_Database.m_aSwordType[1].m_strText2 = "missing.bmp";
  g_Database.m_aSwordType[1].m_strPicture = "s1b.bmp";
  cSurfaceCollection c;
  LoadSwordBitmaps(c);
  ASSERT_EQ(c.m_aSurfaces.size(), 8u);
  EXPECT_STREQ(c.m_aInfos[0].szPath, "s1a.bmp");
  EXPECT_STREQ(c.m_aInfos[1].szPath, "s1b.bmp");
  EXPECT_STREQ(c.m_aInfos[2].szPath, "s1a.bmp");
  EXPECT_STREQ(c.m_aInfos[3].szPath, "s1b.bmp");
  EXPECT_EQ(Infos(c, &DDSURFACEINFO::nMemoryType), (std::vector<int>{0, 0, 1, 1, 0, 0, 1, 1}));
  EXPECT_EQ(Infos(c, &DDSURFACEINFO::nMirrorX), (std::vector<int>(8, 0)));
  EXPECT_EQ(Links(c), (std::vector<int>{-1, -1, 0, 1, -1, -1, 4, 5}));
  EXPECT_EQ(Widths(c), (std::vector<int>{64, 64, 64, 64, 0, 64, 0, 64}));
}

TEST_P(PictureCollections, EffectsFromEntryOneAsOptionalPictures) {
  ASSERT_TRUE(m_Display.ok);
  g_Database.m_aEffect.resize(2);
  g_Database.m_aEffect[1].m_strPicture = "e1.bmp";
  cSurfaceCollection c;
  LoadEffectBitmaps(c);
  ASSERT_EQ(c.m_aSurfaces.size(), 2u);
  EXPECT_EQ(Infos(c, &DDSURFACEINFO::nMemoryType), (std::vector<int>{0, 1}));
  EXPECT_EQ(Infos(c, &DDSURFACEINFO::bOptional), (std::vector<int>{1, 1}));
  EXPECT_EQ(Links(c), (std::vector<int>{-1, 0}));
  EXPECT_EQ(Widths(c), (std::vector<int>{64, 64}));
}

INSTANTIATE_TEST_SUITE_P(Modes, PictureCollections,
                         testing::Values(gfxtest::Mode{0, 32, "DD32"}, gfxtest::Mode{1, 32, "D3D32"}),
                         [](const testing::TestParamInfo<gfxtest::Mode>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
