// Display set-up lines in the report log, frame pacing of the Direct3D present, texture size limits
// and the 16-bit conversion of true-colour bitmaps.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/log.h"
#include "platform/gfx/frame_mailbox.h"
#include "graphics_fixture.h"

using namespace gfxtest;

namespace {

std::string ReadLog(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(DisplayLog, AWindowOnADesktopThatRefuses60HzTurnsVerticalSyncOff) {
  gfx::DisplayMode mode;
  mode.refreshRate = 75;
  gfx::Direct3D::SetSimulatedDisplayMode(mode);
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  ReportLogInit((d.Dir() / "Report_Game.txt").c_str());
  DDRelease();
  ASSERT_TRUE(DDInit(1, nullptr, 640, 480, 32, 1, 1, 1, 60, 0, g_SurfaceData, g_SurfaceInfo, kSurfaceTableSize, 0));
  mode.refreshRate = 60;
  gfx::Direct3D::SetSimulatedDisplayMode(mode);
  EXPECT_EQ(g_bVSync, 0);
  EXPECT_FALSE(g_lpDevice->Params().vsync);
  const std::string log = ReadLog(d.Dir() / "Report_Game.txt");
  EXPECT_NE(log.find("VSync : 1"), std::string::npos);
  EXPECT_NE(log.find("RefreshRate : 75"), std::string::npos);
  EXPECT_NE(log.find("リフレッシュレートの変更に失敗しました！垂直同期が無効になります！"), std::string::npos);
  EXPECT_NE(log.find("Device HAL-HARD"), std::string::npos);
  EXPECT_NE(log.find("X8R8G8B8"), std::string::npos);
}

TEST(DisplayLog, TexturesPastTheDeviceLimitAreReportedAndStillRequested) {
  gfx::DeviceCaps caps;
  caps.maxTextureWidth = 1024;
  gfx::Direct3D::SetSimulatedCaps(caps);
  Display d(kModes[1]);
  gfx::Direct3D::ResetSimulatedCaps();
  ASSERT_TRUE(d.ok);
  ReportLogInit((d.Dir() / "Report_Game.txt").c_str());
  WriteFile(d.Dir() / "bmp/Wide.bmp", MakeBmp(2048, 4, [](int, int) { return 0x102030u; }));
  DDSURFACEDATA sd{};
  DDCreateSurfaceFromFile(&sd, "bmp\\Wide.bmp", 1, 32, 0, 0, 0, 0, 0, 0, 0);
  const std::string log = ReadLog(d.Dir() / "Report_Game.txt");
  EXPECT_NE(log.find("このビデオカードでは横幅1024を超える画像はサポートされていません！"), std::string::npos);
  EXPECT_NE(log.find("上記の理由でテクスチャの描画が失敗する可能性があります。(bmp\\Wide.bmp)"), std::string::npos);
  EXPECT_TRUE(DDCheckResult(static_cast<int>(gfx::kErrInvalidCall)));  // a device failure lets loading go on
  // A surface left without a texture (a failed creation or reset) draws nothing.
  if (sd.lpDT && sd.lpDT->lpTexture) {
    sd.lpDT->lpSurface->Release();
    sd.lpDT->lpSurface = nullptr;
    sd.lpDT->lpTexture->Release();
    sd.lpDT->lpTexture = nullptr;
  }
  DDFillSurface(&g_BackBufferSD, 7);
  DDBlt(&g_BackBufferSD, 0, 0, 8, 4, &sd, 0, 0, 0);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 1, 1), PaletteColour(7));
  DDReleaseSurface(&sd);
}

int g_nPaceCalls = 0;
bool PaceAfterThreeCalls(int, int, DDSURFACEDATA*) { return ++g_nPaceCalls > 3; }

TEST(Present, WithoutVerticalSyncWaitsForTheFramePace) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  g_pfnCheckFramePace = &PaceAfterThreeCalls;
  g_nPaceCalls = 0;
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
  EXPECT_EQ(g_nPaceCalls, 0);  // vertical sync on: no pacing
  g_bVSync = 0;
  const uint32_t before = timeGetTime();
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
  EXPECT_EQ(g_nPaceCalls, 4);
  EXPECT_EQ(timeGetTime() - before, 3u);  // one 1-ms sleep per refusal, on the virtual clock
  g_pfnCheckFramePace = nullptr;
}

TEST(Present, TheFrameReachesTheMailbox) {
  Display d(kModes[0]);
  ASSERT_TRUE(d.ok);
  DDFillSurface(&g_BackBufferSD, 241);
  ASSERT_EQ(DDPresent(60, 0, nullptr), 1);
  std::shared_ptr<const gfx::Frame> frame = gfx::TheFrameMailbox().Latest();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->At(10, 10) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(BitmapCopy, SixteenBitCopiesKeepOpaquePixelsOpaque) {
  Display d(kModes[3]);
  ASSERT_TRUE(d.ok);
  ASSERT_EQ(g_dwColorKey, 0xF81Fu);
  const uint32_t row[] = {0xFF04FF, 0xFF00FF, 0xFF0000, 0x000000};
  WriteFile(d.Dir() / "bmp/Item.bmp", MakeBmp(4, 1, [&](int x, int) { return row[x]; }));
  DDSURFACEDATA sd{};
  ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "bmp\\Item.bmp", 1, 16, 1, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(ReadRaw(&sd, 0, 0), 0xF81Eu);  // packs to the key: one blue step away
  EXPECT_EQ(ReadRaw(&sd, 1, 0), 0xF81Fu);  // the exact transparent colour
  EXPECT_EQ(ReadRaw(&sd, 2, 0), 0xF800u);
  EXPECT_EQ(ReadRaw(&sd, 3, 0), 0x0000u);  // black stays black and opaque
  DDReleaseSurface(&sd);
}

TEST(BitmapCopy, MirroredSheetsDropColumnsPastTheLastWholeCell) {
  for (Mode mode : {kModes[2], kModes[4]}) {
    Display d(mode);
    ASSERT_TRUE(d.ok);
    std::vector<uint32_t> pal;
    for (int i = 0; i < 256; ++i) pal.push_back(PaletteColour(i));
    WriteFile(d.Dir() / "bmp/Shot.bmp", MakeBmp(100, 2, [](int x, int) { return x == 0 ? 200u : x >= 96 ? 201u : 50u; }, pal));
    DDSURFACEDATA sd{};
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "bmp\\Shot.bmp", 1, mode.bpp, 1, 0, 0, 0, 32, 0, 0), 0);
    EXPECT_EQ(ReadRgb(&sd, 31, 0), PaletteColour(200)) << mode.name;
    EXPECT_EQ(ReadRgb(&sd, 0, 0), PaletteColour(50)) << mode.name;
    for (int x = 96; x < 100; ++x) EXPECT_NE(ReadRgb(&sd, x, 0), PaletteColour(201)) << mode.name << " " << x;
    DDReleaseSurface(&sd);
  }
}

}  // namespace
