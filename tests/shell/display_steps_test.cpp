// The frame loop's display chores on a real graphics device: lost DirectDraw surfaces come back with
// their pictures before the frame runs, and the 8-bit palette-table set-up shifts the game palette.
#include <gtest/gtest.h>

#include <string>

#include "media/graphics/graphics_fixture.h"
#include "platform/message_box.h"
#include "shell/palette_helpers.h"
#include "shell/scene_mgr.h"

using namespace gfxtest;

namespace {
std::vector<uint32_t> testPalette() {
  std::vector<uint32_t> pal;
  for (int i = 0; i < 256; ++i) pal.push_back(PaletteColour(i));
  return pal;
}

TEST(FrameStepDisplay, LostSurfacesAreRestoredWithTheirPictures) {
  Display d(kModes[4]);  // DirectDraw, 32 bits, windowed
  ASSERT_TRUE(d.ok);
  WriteFile(d.Dir() / "bmp/Character1.bmp", MakeBmp(
                                                64, 32, [](int x, int) { return x < 8 ? 200u : 50u; }, testPalette()));
  const int slots[] = {4};
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 1));
  g_SceneMgr.DestroyAllScenes();
  g_SceneMgr.m_nScene = kSceneTitle;
  g_lpDD->SimulateDisplayLoss();
  ASSERT_EQ(g_SceneMgr.FrameStep(), 1);
  // The game surface is usable again and holds its picture.
  DDFillSurface(&g_BackBufferSD, 7);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, &g_SurfaceData[4], 0, 0, 1);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 0), AsShown(PaletteColour(200)));
  g_SceneMgr.DestroyAllScenes();
}

TEST(LoadHbtPalette, ShiftsTheGamePaletteInEightBitMode) {
  Display d(kModes[2]);  // DirectDraw, 8 bits
  ASSERT_TRUE(d.ok);
  for (const char* table : {"bmp/hbt/hbt12.dat", "bmp/hbt/hbt02.dat"})
    WriteFile(d.Dir() / table, std::vector<uint8_t>(65536, 3));
  WriteFile(d.Dir() / "bmp/hbt/hbt04.dat", std::vector<uint8_t>(65535, 3));
  auto colourOf = [](const PALETTEENTRY& e) {
    return static_cast<uint32_t>(e.red) << 16 | static_cast<uint32_t>(e.green) << 8 | e.blue;
  };
  // 12 and above: the sixteen entries from (n - 11) * 16 copied into every block of 16..207.
  g_BlendTable[0] = 0;
  ASSERT_EQ(LoadHbtPalette(12), 1);
  EXPECT_EQ(g_BlendTable[0], 3);  // the blend table the effects mix with
  EXPECT_EQ(g_BlendTable[65535], 3);
  for (int i = 16; i < 208; ++i) EXPECT_EQ(colourOf(g_GamePalette[i]), PaletteColour(16 + (i & 15))) << i;
  EXPECT_EQ(colourOf(g_GamePalette[208]), PaletteColour(208));
  EXPECT_EQ(colourOf(g_WorkPalette[20]), PaletteColour(20));
  // Below 12: entries 16..207 rotated by n x 16 (entry 16 shows what entry 16 + 16 n held).
  ASSERT_EQ(LoadHbtPalette(2), 1);
  EXPECT_EQ(colourOf(g_GamePalette[16]), PaletteColour(48));
  EXPECT_EQ(colourOf(g_GamePalette[207 - 31]), PaletteColour(16));
  EXPECT_EQ(colourOf(g_GamePalette[207]), PaletteColour(47));
  EXPECT_EQ(colourOf(g_GamePalette[15]), PaletteColour(15));

  // Without its blend table file, or with one cut short: the game's message and a failure.
  std::string shown;
  SetMessageBoxHandler([&](const char* text, const char*, unsigned) {
    shown = text;
    return IDOK;
  });
  EXPECT_EQ(LoadHbtPalette(3), 0);
  EXPECT_EQ(shown, "bmp\\hbt\\hbt03.dat の読み込みに失敗！");
  g_BlendTable[7] = 42;
  EXPECT_EQ(LoadHbtPalette(4), 0);
  EXPECT_EQ(shown, "bmp\\hbt\\hbt04.dat の読み込みに失敗！");
  EXPECT_EQ(g_BlendTable[7], 42);  // a table cut short is not loaded in part
  SetMessageBoxHandler(nullptr);
}

TEST(LoadHbtPalette, NothingToDoOutsideEightBits) {
  Display d(kModes[4]);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(LoadHbtPalette(3), 1);  // no blend table wanted, none read
}
}  // namespace
