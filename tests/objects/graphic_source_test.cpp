// Graphic look-up: each kind's cell arithmetic (the sheets stand their graphics in columns of 15, or
// 30 for the shot cells; a character's patterns run across), the fallback of character cells outside
// their sheet, the second set of character sheets, facing, dedicated bitmaps with and without their
// own cell size and the fixed layout, and which pair each drawing mode uses.
#include "objects/graphic_source.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "data/database.h"
#include "media/graphics/graphics_fixture.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"

namespace {

DDRAWSURFACEDATA g_FakeHalf;

// Sheets of the surface table as records that "hold an image" of a given size, without a display
// (DirectDraw mode, since no display runs).
class GraphicSourceTest : public ::testing::Test {
 protected:
  cFreshGameData m_FreshGameData;
  void SetUp() override {
    ASSERT_EQ(lpDTCon, nullptr);
    Clear();
    g_bMirrorTwins = 1;
    g_bCharaExcFixedLayout = 0;
  }
  void TearDown() override {
    Clear();
    g_bMirrorTwins = 1;
    g_bCharaExcFixedLayout = 0;
  }
  static void Clear() {
    for (DDSURFACEDATA& sd : g_SurfaceData) std::memset(&sd, 0, sizeof sd);
  }
  static void Give(int slot, int w, int h) {
    g_SurfaceData[slot].lpDD = &g_FakeHalf;
    g_SurfaceData[slot].nWidth = w;
    g_SurfaceData[slot].nHeight = h;
  }
  // Character sheet s with its mirrored form and both copies, 15 characters down, `patterns` across.
  static void GiveCharaSheet(int s, int patterns, bool copies = true) {
    for (int i = 0; i < 2; ++i) {
      Give(kSlotCharaSheet + 2 * s + i, patterns * 32, 15 * 32);
      if (copies) Give(kSlotCharaSheet + 2 * s + i + kSlotTwinOffset, patterns * 32, 15 * 32);
    }
  }
  static DDSURFACEDATA* S(int slot) { return &g_SurfaceData[slot]; }
};

struct CellCase {
  int number;
  int x, y;
};

TEST_F(GraphicSourceTest, BlockSheetCellsRunFifteenToAColumnAndNeverTurn) {
  Give(kSlotBlockSheet, 256, 480);
  Give(kSlotBlockCopy, 256, 480);
  const CellCase cases[] = {{0, 0, 0}, {1, 0, 32}, {14, 0, 448}, {15, 32, 0}, {47, 96, 64}};
  const GRAPHICOWNER right{1};
  for (const CellCase& c : cases) {
    const GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindBlock, c.number, 9, &right, 3);
    EXPECT_EQ(gs.nSrcX, c.x) << c.number;
    EXPECT_EQ(gs.nSrcY, c.y) << c.number;
    EXPECT_EQ(gs.lpSD, S(kSlotBlockSheet));
    EXPECT_EQ(gs.lpSDBack, S(kSlotBlockSheet));
    EXPECT_EQ(gs.lpDirect3D[0], S(kSlotBlockCopy));
    EXPECT_EQ(gs.bOwnCellSize, 0);
    EXPECT_EQ(gs.nCellUnits, 1);
  }
}

TEST_F(GraphicSourceTest, ItemSheetColumnsAre64DotsAndFramesStepAcrossOnlyForBlockCharacters) {
  Give(kSlotItemSheet, 512, 480);
  EXPECT_EQ(GetGraphicSource(kGraphicForPlain, kGraphicKindItem, 17, 0, nullptr, 0).nSrcX, 64);
  EXPECT_EQ(GetGraphicSource(kGraphicForPlain, kGraphicKindItem, 17, 0, nullptr, 0).nSrcY, 64);
  EXPECT_EQ(GetGraphicSource(kGraphicForPlain, kGraphicKindItem, 31, 0, nullptr, 0).nSrcX, 128);
  EXPECT_EQ(GetGraphicSource(kGraphicForPlain, kGraphicKindItem, 31, 0, nullptr, 0).nSrcY, 32);
  EXPECT_EQ(GetGraphicSource(kGraphicForBlockChara, kGraphicKindItem, 17, 0, nullptr, 1).nSrcX, 96);
  EXPECT_EQ(GetGraphicSource(kGraphicForBlockChara, kGraphicKindItem, 17, 0, nullptr, 1).nSrcY, 64);
  EXPECT_EQ(GetGraphicSource(kGraphicForChara, kGraphicKindItem, 17, 0, nullptr, 1).nSrcX, 64);
  // No copy loaded: the Direct3D pair falls back on the sheet itself.
  EXPECT_EQ(GetGraphicSource(kGraphicForPlain, kGraphicKindItem, 3, 0, nullptr, 0).lpDirect3D[0], S(kSlotItemSheet));
}

struct CharaCase {
  int number, sub, frame;
  int slot, x, y;
};

TEST_F(GraphicSourceTest, CharacterCellsPickSheetRowAndPattern) {
  GiveCharaSheet(0, 20);
  GiveCharaSheet(2, 30);
  const CharaCase cases[] = {
      {1, 0, 0, 4, 0, 32},       // character 1, first pattern
      {2, 3, 2, 4, 160, 64},     // graphic number 3 plus pattern 2
      {14, 19, 0, 4, 608, 448},  // last cell of a sheet of 20 patterns
      {31, 5, 0, 8, 160, 32},    // sheet 2 ("Character3")
  };
  for (const CharaCase& c : cases) {
    const GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindChara, c.number, c.sub, nullptr, c.frame);
    EXPECT_EQ(gs.lpSD, S(c.slot)) << c.number;
    EXPECT_EQ(gs.lpSDBack, S(c.slot + 1)) << c.number;
    EXPECT_EQ(gs.nSrcX, c.x) << c.number;
    EXPECT_EQ(gs.nSrcY, c.y) << c.number;
  }
}

TEST_F(GraphicSourceTest, CharacterCellsOutsideTheirSheetBecomeTheFirstSheetsFirstCell) {
  GiveCharaSheet(0, 20);
  Give(8, 10 * 32, 5 * 32);  // sheet 2 smaller: five characters, ten patterns
  const CharaCase cases[] = {
      {5, 20, 0, 0, 0, 0},   // pattern 20 of a sheet of 20 (its copy is as wide)
      {3, 18, 2, 0, 0, 0},   // the frame carries the pattern past the end
      {35, 0, 0, 0, 0, 0},   // character 5 of a five-character sheet
      {30, 10, 0, 0, 0, 0},  // pattern 10 of a ten-pattern sheet
      {45, 0, 0, 0, 0, 0},   // sheet 3 is not loaded
      {120, 0, 0, 0, 0, 0},  // there is no ninth sheet
      {-1, 0, 0, 0, 0, 0},   // negative number
      {1, -1, 0, 0, 0, 0},   // negative row
  };
  for (const CharaCase& c : cases) {
    const GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindChara, c.number, c.sub, nullptr, c.frame);
    EXPECT_EQ(gs.lpSD, S(kSlotCharaSheet)) << c.number << "," << c.sub;
    EXPECT_EQ(gs.nSrcX, 0) << c.number << "," << c.sub;
    EXPECT_EQ(gs.nSrcY, 0) << c.number << "," << c.sub;
  }
  // Inside the narrow sheet it is used.
  EXPECT_EQ(GetGraphicSource(kGraphicForChara, kGraphicKindChara, 34, 9, nullptr, 0).lpSD, S(8));
}

TEST_F(GraphicSourceTest, PatternsFromTwentyOnTakeTheSecondSetOfSheets) {
  GiveCharaSheet(1, 40);
  const GRAPHICOWNER right{1};
  GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindChara, 16, 19, nullptr, 0);
  EXPECT_EQ(gs.lpSD, S(6));
  gs = GetGraphicSource(kGraphicForChara, kGraphicKindChara, 16, 18, &right, 2);
  EXPECT_EQ(gs.lpSD, S(6 + 1 + kSlotTwinOffset));
  EXPECT_EQ(gs.lpSDBack, S(6 + kSlotTwinOffset));
  EXPECT_EQ(gs.nSrcX, 640);
  EXPECT_EQ(gs.nSrcY, 32);
  // Without copies the sheets as loaded serve every row.
  g_bMirrorTwins = 0;
  EXPECT_EQ(GetGraphicSource(kGraphicForChara, kGraphicKindChara, 16, 25, nullptr, 0).lpSD, S(6));
  g_bMirrorTwins = 1;
  Clear();
  GiveCharaSheet(1, 40, false);
  EXPECT_EQ(GetGraphicSource(kGraphicForChara, kGraphicKindChara, 16, 25, nullptr, 0).lpSD, S(6));
}

TEST_F(GraphicSourceTest, OnlyACharacterFacingRightDrawsTheMirroredSheet) {
  GiveCharaSheet(0, 20);
  Give(kSlotShotCells, 256, 960);
  Give(kSlotShotCellsMirrored, 256, 960);
  const GRAPHICOWNER left{0}, right{1};
  struct FaceCase {
    int context;
    const GRAPHICOWNER* owner;
    int face;
  } cases[] = {{kGraphicForChara, &right, 1},
               {kGraphicForChara, &left, 0},
               {kGraphicForChara, nullptr, 0},
               {kGraphicForBlockChara, &right, 0},
               {kGraphicForPlain, &right, 0}};
  for (const FaceCase& c : cases) {
    EXPECT_EQ(GetGraphicSource(c.context, kGraphicKindChara, 2, 0, c.owner, 0).lpSD, S(kSlotCharaSheet + c.face));
    EXPECT_EQ(GetGraphicSource(c.context, kGraphicKindShot, 2, 0, c.owner, 0).lpSD, S(kSlotShotCells + c.face));
  }
}

TEST_F(GraphicSourceTest, ShotGraphicsStandThirtyToAColumnOfTheShotCellSheets) {
  Give(kSlotShotCells, 256, 960);
  const CellCase cases[] = {{0, 0, 0}, {1, 0, 32}, {29, 0, 928}, {30, 64, 0}, {119, 192, 928}};
  for (const CellCase& c : cases) {
    const GRAPHICSOURCE gs = GetGraphicSource(kGraphicForPlain, kGraphicKindShot, c.number, 0, nullptr, 0);
    EXPECT_EQ(gs.nSrcX, c.x) << c.number;
    EXPECT_EQ(gs.nSrcY, c.y) << c.number;
    EXPECT_EQ(gs.lpSD, S(kSlotShotCells));
  }
}

TEST_F(GraphicSourceTest, UnknownKindsAndNegativeNumbersDrawNothing) {
  Give(kSlotBlockSheet, 480, 256);
  for (int kind : {-1, 5, 100}) EXPECT_EQ(GetGraphicSource(kGraphicForPlain, kind, 1, 0, nullptr, 0).lpSD, nullptr);
  EXPECT_EQ(GetGraphicSource(kGraphicForPlain, kGraphicKindBlock, -3, 0, nullptr, 0).lpSD, nullptr);
  EXPECT_EQ(GetGraphicSource(kGraphicForPlain, kGraphicKindItem, -3, 0, nullptr, 0).lpSD, nullptr);
  EXPECT_EQ(GetGraphicSource(kGraphicForPlain, kGraphicKindShot, -3, 0, nullptr, 0).lpSD, nullptr);
}

// Dedicated bitmaps: four surfaces per database entry, found through the stage's hook.
DDSURFACEDATA g_ExcSurfaces[3][4];

DDSURFACEDATA* ExcLookup(int entry, int which) {
  if (entry < 1 || entry > 2 || which < 0 || which > 3) return nullptr;
  return &g_ExcSurfaces[entry][which];
}

class CharaExcTest : public GraphicSourceTest {
 protected:
  void SetUp() override {
    GraphicSourceTest::SetUp();
    std::memset(g_ExcSurfaces, 0, sizeof g_ExcSurfaces);
    for (auto& entry : g_ExcSurfaces)
      for (DDSURFACEDATA& sd : entry) {
        sd.lpDD = &g_FakeHalf;
        sd.nWidth = 256;
        sd.nHeight = 512;
      }
    g_Database.m_aBmpCharaExc.resize(3);
    g_Database.m_aBmpCharaExc[2].m_bCellSize = 1;
    g_Database.m_aBmpCharaExc[2].m_nCellUnits = 2;
  }
  cHooksGuard<cGraphicSourceHooks> m_Hooks{SetGraphicSourceHooks, {.charaExcSurface = ExcLookup}};
};

struct ExcCase {
  int entry, fixed, sub;
  int x, y, ownCell, units;
};

TEST_F(CharaExcTest, CellsFollowTheEntrysCellSizeAndTheLayout) {
  const ExcCase cases[] = {
      {1, 0, 9, 32, 32, 0, 1},                            // 32-dot cells, 8 to a 256-dot row
      {1, 1, 9, 288, 0, 0, 1},                            // fixed layout: 16 to a row
      {1, 1, 17, 32, 32, 0, 1}, {2, 0, 5, 64, 64, 1, 2},  // 64-dot cells, 4 to a row
      {2, 1, 5, 320, 0, 1, 2},                            // fixed layout: 16 / 2 = 8 to a row
      {2, 1, 9, 64, 64, 1, 2},
  };
  for (const ExcCase& c : cases) {
    g_bCharaExcFixedLayout = c.fixed;
    const GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindCharaExc, c.entry, c.sub, nullptr, 0);
    EXPECT_EQ(gs.nSrcX, c.x) << c.entry << "/" << c.fixed << "/" << c.sub;
    EXPECT_EQ(gs.nSrcY, c.y) << c.entry << "/" << c.fixed << "/" << c.sub;
    EXPECT_EQ(gs.bOwnCellSize, c.ownCell);
    EXPECT_EQ(gs.nCellUnits, c.units);
    EXPECT_EQ(gs.lpSD, &g_ExcSurfaces[c.entry][0]);
  }
}

// A division by a cell width or a count of cells that is 0 leaves the value as it is: a cell of no
// width is a cell of no size at the sheet's corner, a row holding no cell puts the sub-number
// itself in both places (a cell off the bitmap, which draws nothing).
TEST_F(CharaExcTest, DivisionsByACellWidthOrCountOfZeroLeaveTheValueUnchanged) {
  cBmpCharaExcData& entry = g_Database.m_aBmpCharaExc[2];
  entry.m_nCellUnits = 0;
  for (int fixed : {0, 1}) {
    g_bCharaExcFixedLayout = fixed;
    GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindCharaExc, 2, 9, nullptr, 0);
    EXPECT_EQ(gs.nSrcX, 0);
    EXPECT_EQ(gs.nSrcY, 0);
    EXPECT_EQ(gs.nCellUnits, 0);
  }
  entry.m_nCellUnits = 20;  // wider than a fixed row and than the bitmap: no cell to a row
  for (int fixed : {0, 1}) {
    g_bCharaExcFixedLayout = fixed;
    const GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindCharaExc, 2, 3, nullptr, 0);
    EXPECT_EQ(gs.nSrcX, 3 * 640);
    EXPECT_EQ(gs.nSrcY, 3 * 640);
  }
  // A bitmap narrower than one 32-dot cell, without a cell size of its own.
  g_bCharaExcFixedLayout = 0;
  g_ExcSurfaces[1][0].nWidth = 16;
  const GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindCharaExc, 1, 5, nullptr, 0);
  EXPECT_EQ(gs.nSrcX, 5 * 32);
  EXPECT_EQ(gs.nSrcY, 5 * 32);
}

TEST_F(CharaExcTest, FacingAndDrawingModePickAmongTheEntrysFourSurfaces) {
  const GRAPHICOWNER right{1};
  const GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindCharaExc, 1, 0, &right, 0);
  EXPECT_EQ(gs.lpSD, &g_ExcSurfaces[1][1]);
  EXPECT_EQ(gs.lpSDBack, &g_ExcSurfaces[1][0]);
  EXPECT_EQ(gs.lpDirectDraw[0], &g_ExcSurfaces[1][0]);
  EXPECT_EQ(gs.lpDirect3D[0], &g_ExcSurfaces[1][2]);
  EXPECT_EQ(gs.lpDirect3D[1], &g_ExcSurfaces[1][3]);
}

TEST_F(CharaExcTest, MissingEntriesAndAMissingHookDrawNothing) {
  for (int entry : {0, 3, -1})
    EXPECT_EQ(GetGraphicSource(kGraphicForChara, kGraphicKindCharaExc, entry, 0, nullptr, 0).lpSD, nullptr) << entry;
  cHooksGuard withoutHooks(SetGraphicSourceHooks, {});
  EXPECT_EQ(GetGraphicSource(kGraphicForChara, kGraphicKindCharaExc, 1, 0, nullptr, 0).lpSD, nullptr);
}

TEST(PairEqualsTest, BothMembersMustMatch) {
  EXPECT_TRUE(PairEquals({3, 4}, {3, 4}));
  EXPECT_FALSE(PairEquals({3, 4}, {3, 5}));
  EXPECT_FALSE(PairEquals({3, 4}, {2, 4}));
  EXPECT_FALSE(PairEquals({3, 4}, {4, 3}));
}

// With a real display: Direct3D with copies kept draws from the copies (aliases of the sheets
// as loaded), every other case from the sheets as loaded; the icon sheets follow the same rule.
class GraphicSourceModeTest : public ::testing::TestWithParam<gfxtest::Mode> {
 protected:
  void SetUp() override {
    display = std::make_unique<gfxtest::Display>(GetParam());
    ASSERT_TRUE(display->ok);
    std::vector<uint32_t> pal;
    for (int i = 0; i < 256; ++i) pal.push_back(gfxtest::PaletteColour(i));
    gfxtest::WriteFile(display->Dir() / "bmp/Character1.bmp", gfxtest::MakeBmp(
                                                                  64, 64, [](int, int) { return 9u; }, pal));
    gfxtest::WriteFile(display->Dir() / "bmp/Mark.bmp", gfxtest::MakeBmp(
                                                            64, 64, [](int, int) { return 9u; }, pal));
    const int slots[] = {4, 5, 22, 23, 43, 44};
    ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 6));
  }
  void TearDown() override {
    g_bMirrorTwins = 1;
    display.reset();
    SelectIconSurfaces();
  }
  std::unique_ptr<gfxtest::Display> display;
};

TEST_P(GraphicSourceModeTest, Direct3DWithCopiesKeptDrawsFromTheCopies) {
  const bool d3d = GetParam().d3d != 0;
  const GRAPHICOWNER right{1};
  GRAPHICSOURCE gs = GetGraphicSource(kGraphicForChara, kGraphicKindChara, 1, 1, &right, 0);
  EXPECT_EQ(gs.lpSD, &g_SurfaceData[d3d ? 23 : 5]);
  EXPECT_EQ(gs.lpSDBack, &g_SurfaceData[d3d ? 22 : 4]);
  SelectIconSurfaces();
  EXPECT_EQ(g_lpBlockIconSD, &g_SurfaceData[d3d ? 44 : 43]);
  EXPECT_EQ(g_lpItemIconSD, g_lpBlockIconSD);

  g_bMirrorTwins = 0;
  gs = GetGraphicSource(kGraphicForChara, kGraphicKindChara, 1, 1, &right, 0);
  EXPECT_EQ(gs.lpSD, &g_SurfaceData[5]);
  SelectIconSurfaces();
  EXPECT_EQ(g_lpBlockIconSD, &g_SurfaceData[43]);
}

INSTANTIATE_TEST_SUITE_P(Modes, GraphicSourceModeTest, ::testing::Values(gfxtest::kModes[1], gfxtest::kModes[4]),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
