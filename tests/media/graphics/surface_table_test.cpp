// The game's surface table: its 72 descriptors, the mirrored-twin links, loading from the game
// folder, reloading after a loss, and message boxes over the display.
#include <gtest/gtest.h>

#include <string>

#include "graphics_fixture.h"
#include "platform/message_box.h"

using namespace gfxtest;

namespace {

struct SlotRow {
  std::string path;
  int key, memory, kind, alias, optional, mirrorX, width, height;
};

// The table as the game defines it, row by row.
std::vector<SlotRow> ExpectedTable() {
  std::vector<SlotRow> t(72);
  auto file = [&](int slot, std::string path, int key, int memory, int alias, int optional, int mirrorX) {
    t[slot] = {std::move(path), key, memory, 0, alias, optional, mirrorX, 0, 0};
  };
  auto blank = [&](int slot, int key, int memory, int kind, int alias, int w, int h) {
    t[slot] = {"E", key, memory, kind, alias, 0, 0, w, h};
  };
  file(0, "bmp\\plt\\Palette.bmp", 0, 1, 0, 0, 0);
  file(1, "bmp\\Debug.bmp", 1, 0, 0, 0, 0);
  file(2, "bmp\\Block.bmp", 1, 0, 0, 0, 0);
  file(3, "bmp\\Block.bmp", 1, 1, 1, 0, 0);
  file(4, "bmp\\Character1.bmp", 1, 0, 0, 0, 0);
  file(5, "bmp\\Character1.bmp", 1, 0, 1, 0, 32);
  for (int n = 2; n <= 8; ++n) {
    const std::string path = "bmp\\Character" + std::to_string(n) + ".bmp";
    file(2 * n + 2, path, 1, 0, 0, 1, 0);
    file(2 * n + 3, path, 1, 0, 1, 1, 32);
    file(2 * n + 20, path, 1, 1, 1, 1, 0);
    file(2 * n + 21, path, 1, 1, 1, 1, 32);
  }
  file(20, "bmp\\Shot.bmp", 1, 0, 0, 0, 0);
  file(21, "bmp\\Shot.bmp", 1, 0, 1, 0, 16);
  file(22, "bmp\\Character1.bmp", 1, 1, 1, 0, 0);
  file(23, "bmp\\Character1.bmp", 1, 1, 1, 0, 32);
  file(38, "bmp\\Shot.bmp", 1, 1, 1, 0, 0);
  file(39, "bmp\\Shot.bmp", 1, 1, 1, 0, 16);
  file(40, "bmp\\Item.bmp", 1, 0, 0, 0, 0);
  file(41, "bmp\\Item.bmp", 1, 1, 1, 0, 0);
  file(42, "bmp\\Item_Mini.bmp", 1, 0, 0, 0, 0);
  file(43, "bmp\\Mark.bmp", 1, 0, 0, 0, 0);
  file(44, "bmp\\Mark.bmp", 1, 1, 1, 0, 0);
  file(45, "bmp\\Loading.bmp", 1, 0, 0, 1, 0);
  file(46, "bmp\\Window.bmp", 1, 0, 0, 0, 0);
  file(47, "bmp\\StatusWindow.bmp", 1, 0, 0, 0, 0);
  file(48, "bmp\\Title.bmp", 0, 0, 0, 0, 0);
  file(49, "bmp\\GameMode.bmp", 1, 0, 0, 1, 0);
  file(50, "bmp\\Accessory.bmp", 1, 0, 0, 0, 0);
  file(51, "bmp\\Symbol.bmp", 1, 0, 0, 0, 0);
  file(52, "bmp\\Word.bmp", 1, 0, 0, 0, 0);
  file(53, "bmp\\WorldMapChip.bmp", 1, 0, 0, 0, 0);
  file(54, "bmp\\WorldEvent.bmp", 1, 1, 0, 0, 0);
  file(55, "bmp\\WorldBack.bmp", 0, 1, 0, 1, 0);
  const char* backgrounds[] = {"背景その1.bmp", "背景その2.bmp", "背景その3.bmp", "背景その4.bmp",
                               "背景その5.bmp", "背景その6.bmp", "背景その7.bmp", "背景その8.bmp"};
  for (int k = 0; k < 8; ++k) file(56 + k, backgrounds[k], 1, 0, 0, 1, 0);
  blank(64, 1, 1, 0, 0, 256, 960);
  blank(65, 1, 1, 0, 0, 256, 960);
  blank(66, 1, 1, 0, 0, 640, 480);
  blank(67, 0, 1, 0, 0, 640, 480);
  blank(68, 1, 0, 0, 0, 640, 480);
  blank(69, 1, 1, 0, 1, 640, 480);
  blank(70, 1, 0, 2, 0, 1024, 1024);
  blank(71, 1, 1, 1, 0, 1024, 1024);
  return t;
}

TEST(SurfaceTable, EverySlotHasItsDescriptor) {
  const std::vector<SlotRow> expected = ExpectedTable();
  for (int slot = 0; slot < kSurfaceTableSize; ++slot) {
    const DDSURFACEINFO& info = g_SurfaceInfo[slot];
    const SlotRow& row = expected[static_cast<size_t>(slot)];
    EXPECT_EQ(std::string(info.szPath), row.path) << slot;
    EXPECT_EQ(info.bColorKey, row.key) << slot;
    EXPECT_EQ(info.nMemoryType, row.memory) << slot;
    EXPECT_EQ(info.nMemoryKind, row.kind) << slot;
    EXPECT_EQ(info.bAlias, row.alias) << slot;
    EXPECT_EQ(info.bOptional, row.optional) << slot;
    EXPECT_EQ(info.nMirrorX, row.mirrorX) << slot;
    EXPECT_EQ(info.nMirrorY, 0) << slot;
    EXPECT_EQ(info.bPalMap, 0) << slot;
    EXPECT_EQ(info.nWidth, row.width) << slot;
    EXPECT_EQ(info.nHeight, row.height) << slot;
  }
}

TEST(SurfaceTable, Direct3DLinksEveryTwinToTheSlotItDrawsFrom) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  int links[kSurfaceTableSize];
  std::fill(std::begin(links), std::end(links), -1);
  for (int slot = 3; slot <= 21; slot += 2) links[slot] = slot - 1;
  const int copies[] = {4, 4, 6, 6, 8, 8, 10, 10, 12, 12, 14, 14, 16, 16, 18, 18, 20, 20};
  for (int k = 0; k < 18; ++k) links[22 + k] = copies[k];
  links[41] = 40;
  links[44] = 43;
  links[69] = 68;
  for (int slot = 0; slot < kSurfaceTableSize; ++slot) {
    DDSURFACEDATA* expect = links[slot] < 0 ? nullptr : &g_SurfaceData[links[slot]];
    EXPECT_EQ(g_SurfaceData[slot].lpAlias, expect) << slot;
  }
}

class TableModes : public ::testing::TestWithParam<Mode> {};

TEST_P(TableModes, BackgroundsLoadFromTheGameFolderItself) {
  Display d(GetParam());
  ASSERT_TRUE(d.ok);
  std::vector<uint32_t> pal;
  for (int i = 0; i < 256; ++i) pal.push_back(PaletteColour(i));
  // "背景その3.bmp" as the file system names it.
  WriteFile(d.Dir() / u8"背景その3.bmp", MakeBmp(
                                             40, 30, [](int, int) { return 200u; }, pal));
  std::vector<int> slots;
  for (int s = 56; s <= 63; ++s) slots.push_back(s);
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots.data(), static_cast<int>(slots.size())));
  EXPECT_EQ(g_SurfaceData[58].nWidth, 40);
  EXPECT_EQ(g_SurfaceData[58].nHeight, 30);
  for (int s : {56, 57, 59, 63}) EXPECT_EQ(g_SurfaceData[s].nWidth, 0) << s;  // optional and missing
  DDFillSurface(&g_BackBufferSD, 7);
  DDBlt(&g_BackBufferSD, 0, 0, 40, 30, &g_SurfaceData[58], 0, 0, 1);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 39, 29), AsShown(PaletteColour(200)));
}

INSTANTIATE_TEST_SUITE_P(AllModes, TableModes, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BitmapReload, ASheetThatChangedSizeOnDiskKeepsItsSurfaceSize) {
  Display d(kModes[3], true);
  ASSERT_TRUE(d.ok);
  std::vector<uint32_t> pal;
  for (int i = 0; i < 256; ++i) pal.push_back(PaletteColour(i));
  WriteFile(d.Dir() / "bmp/Character1.bmp", MakeBmp(
                                                64, 32, [](int, int) { return 50u; }, pal));
  const int slots[] = {4};
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 1));
  WriteFile(d.Dir() / "bmp/Character1.bmp", MakeBmp(
                                                128, 64, [](int, int) { return 200u; }, pal));
  g_lpDD->SimulateDisplayLoss();
  EXPECT_TRUE(DDRestore());
  EXPECT_EQ(g_SurfaceData[4].nWidth, 64);
  EXPECT_EQ(g_SurfaceData[4].nHeight, 32);
  // The reloaded picture, clipped to the surface.
  EXPECT_EQ(ReadRgb(&g_SurfaceData[4], 63, 31), AsShown(PaletteColour(200)));
  uint8_t* map = nullptr;
  EXPECT_EQ(DDBuildPaletteMap(&map, &g_SurfaceData[4]), 1);
  delete[] map;
}

TEST(MessageBoxes, ShownOverTheDisplayInAWindowAndInFullScreen) {
  for (bool fullScreen : {false, true}) {
    for (Mode mode : {kModes[1], kModes[4]}) {
      Display d(mode, fullScreen);
      ASSERT_TRUE(d.ok);
      std::string shown;
      SetMessageBoxHandler([&](const char* text, const char* caption, unsigned) {
        shown = std::string(text) + "|" + caption;
        return 1;
      });
      EXPECT_EQ(DDMesBox("本文", "題名", 0), 1) << mode.name << fullScreen;
      SetMessageBoxHandler(nullptr);
      EXPECT_EQ(shown, "本文|題名") << mode.name << fullScreen;
    }
  }
}

}  // namespace
