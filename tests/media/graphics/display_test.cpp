// Display set-up lines in the report log, frame pacing of the Direct3D present, texture size limits
// and the 16-bit conversion of true-colour bitmaps.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/log.h"
#include "core/timing.h"
#include "graphics_fixture.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/message_box.h"

using namespace gfxtest;

namespace {

std::string ReadLog(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> LogLines(const std::filesystem::path& p) {
  std::vector<std::string> lines;
  std::istringstream in(ReadLog(p));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(DisplayLog, AWindowOnADesktopThatRefuses60HzTurnsVerticalSyncOff) {
  gfx::DisplayMode mode;
  mode.refreshRate = 75;
  gfx::Direct3D::SetSimulatedDisplayMode(mode);
  gfx::Direct3D::SetSimulatedRefreshRateFixed(true);
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  ReportLogInit((d.Dir() / "Report_Game.txt").c_str());
  DDRelease();
  ASSERT_TRUE(DDInit(1, nullptr, 640, 480, 32, 1, 1, 1, 60, 0, g_SurfaceData, g_SurfaceInfo, kSurfaceTableSize, 0));
  gfx::Direct3D::SetSimulatedRefreshRateFixed(false);
  EXPECT_EQ(g_bVSync, 0);
  EXPECT_FALSE(g_lpDevice->Params().vsync);
  EXPECT_EQ(LogLines(d.Dir() / "Report_Game.txt"),
            (std::vector<std::string>{
                "VSync : 1", "ChangeDisplaySettings != DISP_CHANGE_SUCCESSFUL", "RefreshRate : 75",
                "リフレッシュレートの変更に失敗しました！垂直同期が無効になります！", "Device HAL-HARD", "X8R8G8B8"}));
  // A 75-Hz desktop that accepts 60 Hz keeps vertical sync on.
  ReportLogInit((d.Dir() / "Report_Game.txt").c_str());
  DDRelease();
  gfx::Direct3D::SetSimulatedDisplayMode(mode);
  ASSERT_TRUE(DDInit(1, nullptr, 640, 480, 32, 1, 1, 1, 60, 0, g_SurfaceData, g_SurfaceInfo, kSurfaceTableSize, 0));
  mode.refreshRate = 60;
  gfx::Direct3D::SetSimulatedDisplayMode(mode);
  EXPECT_EQ(g_bVSync, 1);
  EXPECT_TRUE(g_lpDevice->Params().vsync);
  EXPECT_EQ(LogLines(d.Dir() / "Report_Game.txt"),
            (std::vector<std::string>{"VSync : 1", "RefreshRate : 60", "Device HAL-HARD", "X8R8G8B8"}));
}

// The report-log lines of the display set-up in each mode, depth and window setting, and of the
// failures that end it.
TEST(DisplayLog, SetUpLinesOfEveryModeAndDepth) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  DDRelease();
  const std::filesystem::path log = d.Dir() / "Report_Game.txt";
  enum Knob { kNone, kSoftOnly, kNoDevice, kNoD3D, kOldDriver, kNoDirectDraw };
  struct Case {
    int d3d, bpp, vsync, windowed;
    Knob knob;
    bool ok;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {1, 32, 1, 1, kNone, true, {"VSync : 1", "RefreshRate : 60", "Device HAL-HARD", "X8R8G8B8"}},
      {1, 32, 1, 0, kSoftOnly, true, {"VSync : 1", "Device HAL-SOFT", "X8R8G8B8"}},
      {1, 16, 0, 1, kNone, true, {"VSync : 0", "Device HAL-HARD", "A1R5G5B5"}},
      {1, 16, 1, 0, kNone, true, {"VSync : 1", "Device HAL-HARD", "R5G6B5"}},
      {1, 24, 0, 1, kNone, false, {"VSync : 0"}},
      {1, 32, 0, 1, kNoDevice, false, {"VSync : 0"}},  // "CreateDevice Err" goes to the developer log
      {1, 32, 0, 1, kNoD3D, false, {"VSync : 0", "ビデオカードがDirectX9をサポートしていません！"}},
      {1, 32, 0, 1, kOldDriver, false, {"VSync : 0", "ビデオカードのドライバがDirectX9をサポートしていません！ 8"}},
      {0, 8, 1, 0, kNone, true, {"VSync : 1"}},
      {0, 16, 1, 0, kNone, true, {"VSync : 1"}},
      {0, 32, 0, 0, kNone, true, {"VSync : 0"}},
      {0, 8, 1, 1, kNone, true, {"VSync : 1"}},
      {0, 16, 1, 1, kNone, true, {"VSync : 1"}},
      {0, 32, 1, 1, kNone, true, {"VSync : 1"}},
      {0, 32, 1, 0, kNoDirectDraw, false, {"VSync : 1", "DirectDrawCreateEx Err"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.d3d << " bpp " << c.bpp << " windowed " << c.windowed << " knob "
                                    << c.knob);
    ReportLogInit(log.c_str());
    gfx::Direct3D::SetHardwareVertexProcessingFailure(c.knob == kSoftOnly);
    gfx::Direct3D::SetCreateDeviceFailure(c.knob == kNoDevice);
    gfx::Direct3D::SetCreateFailure(c.knob == kNoD3D);
    gfx::DirectDraw::SetCreateFailure(c.knob == kNoDirectDraw);
    g_nDDIVersion = c.knob == kOldDriver ? 8 : 9;
    const bool ok = DDInit(c.d3d, nullptr, 640, 480, c.bpp, c.vsync, c.windowed, 1, 60, 0, g_SurfaceData, g_SurfaceInfo,
                           kSurfaceTableSize, 0);
    gfx::Direct3D::SetHardwareVertexProcessingFailure(false);
    gfx::Direct3D::SetCreateDeviceFailure(false);
    gfx::Direct3D::SetCreateFailure(false);
    gfx::DirectDraw::SetCreateFailure(false);
    g_nDDIVersion = 9;
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(LogLines(log), c.lines);
    if (ok) {
      EXPECT_EQ(g_nDisplayBytesPerPixel, c.bpp / 8);
      EXPECT_EQ(lpDTCon != nullptr, c.d3d != 0);
      EXPECT_EQ(g_bWindowed, c.windowed);
      if (c.d3d) {
        // The draw state starts at its reset values: opaque white, modulate, texture alpha.
        EXPECT_EQ(lpDTCon->dwVertexColor, 0xFFFFFFFFu);
        EXPECT_EQ(lpDTCon->nColorOp, 4);
        EXPECT_EQ(lpDTCon->nAlphaOp, 2);
        EXPECT_EQ(lpDTCon->nNextSurfaceSerial, 3);  // BackBuffer 0, VirBackBuffer 1, WorkSD 2
        EXPECT_STREQ(g_VirBackBufferSD.szName, "VirBackBuffer");
        EXPECT_STREQ(g_WorkSD.szName, "WorkSD");
      }
      EXPECT_STREQ(g_BackBufferSD.szName, "BackBuffer");
    }
    DDRelease();
    EXPECT_EQ(lpDTCon, nullptr);
    EXPECT_EQ(lpDDCon, nullptr);
    EXPECT_EQ(g_lpDevice, nullptr);
    EXPECT_EQ(g_lpDD, nullptr);
  }
}

// Releasing a DirectDraw display that still has references reports it in a box; a second DirectDraw
// start releases the display it finds first.
TEST(Display, ADirectDrawReleaseWithReferencesLeftShowsABox) {
  Display d(kModes[3], true);
  ASSERT_TRUE(d.ok);
  std::vector<std::string> boxes;
  SetMessageBoxHandler([&](const char* text, const char* caption, unsigned type) {
    boxes.push_back(std::string(text) + "|" + caption + "|" + std::to_string(type));
    return IDOK;
  });
  ASSERT_TRUE(DDInit(0, nullptr, 640, 480, 16, 1, 1, 1, 60, 0, g_SurfaceData, g_SurfaceInfo, kSurfaceTableSize, 0));
  ASSERT_NE(lpDDCon, nullptr);
  DDFillRect(&g_BackBufferSD, 0, 0, 4, 4, 200);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 1, 1), AsShown(PaletteColour(200)));
  EXPECT_TRUE(boxes.empty());
  gfx::DirectDraw* held = g_lpDD;
  held->AddRef();
  DDRelease();
  EXPECT_EQ(boxes, (std::vector<std::string>{"解放漏れがあります|DirectDraw|16"}));
  held->Release();
  SetMessageBoxHandler({});
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

TEST(Present, WithoutVerticalSyncWaitsForTheFramePace) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  ResetFrameTiming();
  const uint32_t start = timeGetTime();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
  EXPECT_EQ(timeGetTime(), start);  // vertical sync on: no pacing
  g_bVSync = 0;
  // Frame n of the second is due n x 16.67 ms after its first: the present sleeps 1 ms at a time.
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
  EXPECT_EQ(timeGetTime() - start, 0u);
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
  EXPECT_EQ(timeGetTime() - start, 17u);
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
  EXPECT_EQ(timeGetTime() - start, 34u);
  ResetFrameTiming();
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
    WriteFile(d.Dir() / "bmp/Shot.bmp",
              MakeBmp(
                  100, 2, [](int x, int) { return x == 0    ? 200u
                                                  : x >= 96 ? 201u
                                                            : 50u; }, pal));
    DDSURFACEDATA sd{};
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "bmp\\Shot.bmp", 1, mode.bpp, 1, 0, 0, 0, 32, 0, 0), 0);
    EXPECT_EQ(ReadRgb(&sd, 31, 0), PaletteColour(200)) << mode.name;
    EXPECT_EQ(ReadRgb(&sd, 0, 0), PaletteColour(50)) << mode.name;
    for (int x = 96; x < 100; ++x) EXPECT_NE(ReadRgb(&sd, x, 0), PaletteColour(201)) << mode.name << " " << x;
    DDReleaseSurface(&sd);
  }
}

}  // namespace
