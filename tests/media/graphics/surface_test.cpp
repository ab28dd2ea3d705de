// Surfaces: the surface table loader, bitmaps from the test corpus, device loss and recovery, and
// the container helpers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/log.h"
#include "graphics_fixture.h"
#include "platform/message_box.h"

using namespace gfxtest;

namespace {

std::vector<uint32_t> TestPalette() {
  std::vector<uint32_t> pal;
  for (int i = 0; i < 256; ++i) pal.push_back(PaletteColour(i));
  return pal;
}

void WriteCharacterSheets(const Display& d, std::initializer_list<int> numbers) {
  for (int n : numbers) {
    char name[64];
    std::snprintf(name, sizeof name, "bmp/Character%d.bmp", n);
    WriteFile(d.Dir() / name, MakeBmp(
                                  64, 32, [](int x, int) { return x < 8 ? 200u : 50u; }, TestPalette()));
  }
}

class SurfaceModes : public ::testing::TestWithParam<Mode> {};

TEST_P(SurfaceModes, MissingOptionalSheetsStayEmpty) {
  Display d(GetParam());
  ASSERT_TRUE(d.ok);
  WriteCharacterSheets(d, {2, 3, 4, 6, 7, 8});
  std::vector<int> slots;
  for (int s = 6; s <= 19; ++s) slots.push_back(s);
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots.data(), static_cast<int>(slots.size())));
  EXPECT_EQ(g_SurfaceData[12].lpDT, nullptr);
  EXPECT_EQ(g_SurfaceData[12].lpDD, nullptr);
  EXPECT_EQ(g_SurfaceData[13].lpDT, nullptr);
  EXPECT_EQ(g_SurfaceData[6].nWidth, 64);
  // Drawing from an empty slot draws nothing.
  DDFillSurface(&g_BackBufferSD, 7);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, &g_SurfaceData[12], 0, 0, 1);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 1, 1), AsShown(PaletteColour(7)));
}

TEST_P(SurfaceModes, AMissingRequiredBitmapStopsTheLoadWithItsMessage) {
  Display d(GetParam());
  ASSERT_TRUE(d.ok);
  std::string shown;
  SetMessageBoxHandler([&](const char* text, const char*, unsigned) {
    shown = text;
    return 1;
  });
  const int slots[] = {4};
  EXPECT_FALSE(DDLoadSurfaces(g_SurfaceData, slots, 1));
  SetMessageBoxHandler(nullptr);
  EXPECT_EQ(shown, "bmp\\Character1.bmp の読み込みに失敗！");
}

TEST_P(SurfaceModes, TheBitmapCorpusLoadsAndBadFilesAreRefused) {
  Display d(GetParam());
  ASSERT_TRUE(d.ok);
  const std::filesystem::path suite = std::filesystem::path(QC4_TESTDATA_DIR) / "bmpsuite";
  int good = 0;
  for (const auto& entry : std::filesystem::directory_iterator(suite / "g")) {
    DDSURFACEDATA sd{};
    int code = DDCreateSurfaceFromFile(&sd, entry.path().c_str(), 1, g_nDisplayBpp, 1, 1, 0, 0, 0, 0, 0);
    EXPECT_EQ(code, 0) << entry.path();
    EXPECT_GT(sd.nWidth, 0);
    DDReleaseSurface(&sd);
    ++good;
  }
  EXPECT_GT(good, 0);
  for (const char* folder : {"b", "q"}) {
    for (const auto& entry : std::filesystem::directory_iterator(suite / folder)) {
      DDSURFACEDATA sd{};
      int code = DDCreateSurfaceFromFile(&sd, entry.path().c_str(), 1, g_nDisplayBpp, 1, 1, 0, 0, 0, 0, 0);
      EXPECT_TRUE(code == 0 || code == DDSFF_LOADIMAGE_ERR) << entry.path();
      DDReleaseSurface(&sd);
    }
  }
  // Another picture format fails before any texture is made.
  WriteFile(d.Dir() / "bmp/Picture.png", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0});
  DDSURFACEDATA sd{};
  EXPECT_EQ(DDCreateSurfaceFromFile(&sd, "bmp\\Picture.png", 1, g_nDisplayBpp, 0, 0, 0, 0, 0, 0, 0),
            DDSFF_LOADIMAGE_ERR);
  EXPECT_TRUE(sd.lpDT == nullptr || sd.lpDT->lpTexture == nullptr);
  DDReleaseSurface(&sd);
  DDReleaseSurface(&sd);  // a second release does nothing
}

INSTANTIATE_TEST_SUITE_P(AllModes, SurfaceModes, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Surfaces, PowerOfTwoAndSquareTextureSizes) {
  gfx::DeviceCaps caps;
  caps.pow2Textures = true;
  gfx::Direct3D::SetSimulatedCaps(caps);
  {
    Display d(kModes[1]);
    ASSERT_TRUE(d.ok);
    std::list<DDSURFACEDATA> l;
    std::list<DDSURFACEINFO> i;
    ASSERT_TRUE(DDPushSurfaceList(l, i, 640, 480, 1, 0, 0, 0));
    EXPECT_EQ(l.back().nTexWidth, 1024);
    EXPECT_EQ(l.back().nTexHeight, 512);
    EXPECT_EQ(l.back().nWidth, 640);
    DDReleaseSurfaceList(l);
  }
  caps.squareOnlyTextures = true;
  gfx::Direct3D::SetSimulatedCaps(caps);
  {
    Display d(kModes[1]);
    ASSERT_TRUE(d.ok);
    std::list<DDSURFACEDATA> l;
    std::list<DDSURFACEINFO> i;
    ASSERT_TRUE(DDPushSurfaceList(l, i, 640, 480, 1, 0, 0, 0));
    EXPECT_EQ(l.back().nTexWidth, 1024);
    EXPECT_EQ(l.back().nTexHeight, 1024);
    DDReleaseSurfaceList(l);
  }
  gfx::Direct3D::ResetSimulatedCaps();
}

// Blank surfaces in each pool: a video-memory request that does not fit falls back to system
// memory (DirectDraw memory type 1, Direct3D memory kind 1 with its report-log line) and still
// takes blits and fills, through the pixel path in Direct3D mode.
TEST(Surfaces, BlankSurfacesInEveryPool) {
  {
    Display d(kModes[1]);
    ASSERT_TRUE(d.ok);
    ReportLogInit((d.Dir() / "Report_Game.txt").c_str());
    DDSURFACEDATA rt{}, nort{}, sys{}, full{};
    ASSERT_TRUE(DDCreateSurface(&rt, 8, 8, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    EXPECT_EQ(rt.lpDT->bRenderTarget, 1);
    EXPECT_NE(rt.lpDT->lpSystemSurface, nullptr);
    EXPECT_STREQ(rt.szName, "OffScreen");
    EXPECT_STREQ(rt.szPath, "E");
    ASSERT_TRUE(DDCreateSurface(&nort, 8, 8, 1, 0, DTMEMORYTYPE_VIDEO_NORT, 0, 0));
    EXPECT_EQ(nort.lpDT->bRenderTarget, 1);  // kind 2 is made as kind 0
    EXPECT_EQ(nort.lpDT->nMemoryKind, DTMEMORYTYPE_VIDEO_RT);
    ASSERT_TRUE(DDCreateSurface(&sys, 8, 8, 1, 0, DTMEMORYTYPE_SYSTEM, 0, 0));
    EXPECT_EQ(sys.lpDT->bRenderTarget, 0);
    EXPECT_EQ(sys.lpDT->lpSystemSurface, nullptr);
    g_lpDevice->SetVideoMemoryBudget(g_lpDevice->VideoMemoryUsed());
    ASSERT_TRUE(DDCreateSurface(&full, 8, 8, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    g_lpDevice->SetVideoMemoryBudget(-1);
    EXPECT_EQ(full.lpDT->nMemoryKind, DTMEMORYTYPE_SYSTEM);
    EXPECT_EQ(full.lpDT->bRenderTarget, 0);
    std::ifstream in(d.Dir() / "Report_Game.txt");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "VRAM不足のためシステムメモリにテクスチャを作成します。(空)");
    // Each surface takes the next serial and is registered once.
    EXPECT_EQ(nort.lpDT->nSerial, rt.lpDT->nSerial + 1);
    EXPECT_EQ(full.lpDT->nSerial, rt.lpDT->nSerial + 3);
    int registered = 0;
    for (DDSURFACEDATA* sd : DDSurfaceRegistry()) registered += sd == &rt || sd == &nort || sd == &sys || sd == &full;
    EXPECT_EQ(registered, 4);
    DDFillSurface(&rt, 200);
    for (DDSURFACEDATA* target : {&sys, &full}) {
      DDFillSurface(target, 51);
      DDBlt(target, 2, 2, 4, 4, &rt, 0, 0, 1);
      EXPECT_EQ(ReadRgb(target, 3, 3), PaletteColour(200));
      EXPECT_EQ(ReadRgb(target, 1, 1), PaletteColour(51));
    }
    // The pixel lock of DirectDraw does not exist here.
    gfx::LockedRect lock;
    uint8_t* bits = nullptr;
    EXPECT_FALSE(DDLock(&sys, &lock, &bits, 32));
    for (DDSURFACEDATA* sd : {&rt, &nort, &sys, &full}) DDReleaseSurface(sd);
    for (DDSURFACEDATA* sd : DDSurfaceRegistry()) EXPECT_TRUE(sd != &rt && sd != &nort && sd != &sys && sd != &full);
    DDReleaseSurface(&rt);  // a second release does nothing
  }
  {
    Display d(kModes[4]);
    ASSERT_TRUE(d.ok);
    DDSURFACEDATA video{}, system{}, full{};
    ASSERT_TRUE(DDCreateSurface(&video, 8, 8, 1, 0, 0, 0, 0));
    EXPECT_EQ(video.nMemoryType, 0);
    ASSERT_TRUE(DDCreateSurface(&system, 8, 8, 1, 1, 0, 0, 0));
    EXPECT_EQ(system.nMemoryType, 1);
    g_lpDD->SetVideoMemoryBudget(g_lpDD->VideoMemoryUsed());
    ASSERT_TRUE(DDCreateSurface(&full, 8, 8, 1, 0, 0, 0, 0));
    g_lpDD->SetVideoMemoryBudget(-1);
    EXPECT_EQ(full.nMemoryType, 1);
    EXPECT_EQ(full.szPath[0], '\0');
    // A new DirectDraw surface starts with palette number 0, the transparent colour.
    EXPECT_EQ(ReadRgb(&full, 3, 3), kMagenta);
    DDFillSurface(&video, 200);
    DDBlt(&full, 0, 0, 8, 8, &video, 0, 0, 1);
    EXPECT_EQ(ReadRgb(&full, 3, 3), PaletteColour(200));
    gfx::LockedRect lock;
    uint8_t* bits = nullptr;
    ASSERT_TRUE(DDLock(&video, &lock, &bits, 32));
    EXPECT_EQ(bits, lock.bits);
    video.lpDD->lpSurface->UnlockRect();
    for (DDSURFACEDATA* sd : {&video, &system, &full}) DDReleaseSurface(sd);
  }
}

TEST(Surfaces, InsertAndEraseKeepBothListsInStep) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  std::list<DDSURFACEDATA> l;
  std::list<DDSURFACEINFO> i;
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(DDPushSurfaceList(l, i, 8 + k, 8, 1, 0, 0, 0));
  ASSERT_TRUE(DDInsertSurface(l, i, 5, 20, 8, 1, 0, 0, 0));
  EXPECT_EQ(l.back().nWidth, 20);
  ASSERT_TRUE(DDInsertSurface(l, i, -2, 30, 8, 1, 0, 0, 0));
  EXPECT_EQ(l.front().nWidth, 30);
  EXPECT_EQ(l.size(), 5u);
  EXPECT_EQ(i.size(), 5u);
  DDSURFACEDATA* second = &*std::next(l.begin());
  EXPECT_EQ(DDEraseSurface(l, i, second), 1);
  EXPECT_EQ(DDEraseSurface(l, i, second), 0);
  EXPECT_EQ(l.size(), 4u);
  EXPECT_EQ(i.size(), 4u);
  DDReleaseSurfaceList(l);
}

TEST(Surfaces, ABlankSurfaceStartsWithTheOpaqueTransparentColourOnceItIsSet) {
  // At 16 bits the colour is the exact transparent colour narrowed once (not its 5-bit fields
  // narrowed again, which would give a near-black pixel).
  for (const auto& [mode, opaqueKey] : {std::pair{kModes[1], 0xFFFF00FFu}, std::pair{kModes[0], 0xFC1Fu}}) {
    SCOPED_TRACE(mode.name);
    Display d(mode);
    ASSERT_TRUE(d.ok);
    DDSURFACEDATA sd{};
    ASSERT_TRUE(DDCreateSurface(&sd, 8, 8, 0, 0, 0, 0, 0));
    EXPECT_EQ(ReadRaw(&sd, 3, 3), opaqueKey);
    DDReleaseSurface(&sd);
    // Before the transparent colour is set, a new surface starts transparent black.
    lpDTCon->dwBackBufferClear = 0;
    ASSERT_TRUE(DDCreateSurface(&sd, 8, 8, 0, 0, 0, 0, 0));
    EXPECT_EQ(ReadRaw(&sd, 3, 3), 0u);
    DDReleaseSurface(&sd);
  }
}

TEST(Surfaces, AliasRecordsLeaveTheRegistryAndTheirTwinUntouched) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  WriteCharacterSheets(d, {1});
  const int slots[] = {4, 5, 23};
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 3));
  EXPECT_EQ(g_SurfaceData[5].lpDT->lpTexture, nullptr);  // draws from slot 4's texture
  DDReleaseSurface(&g_SurfaceData[5]);
  for (DDSURFACEDATA* sd : DDSurfaceRegistry()) EXPECT_NE(sd, &g_SurfaceData[5]);
  // Slot 4 still holds the unmirrored picture.
  DDFillSurface(&g_BackBufferSD, 7);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, &g_SurfaceData[4], 0, 0, 1);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 0), PaletteColour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 31, 0), PaletteColour(50));
}

TEST(Surfaces, ThePaletteIndexMapStartsZeroed) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  DDSURFACEDATA sd{};
  ASSERT_TRUE(DDCreateSurface(&sd, 4, 4, 1, 0, 1, 0, 0));
  DDFillRectRGB(&sd, 0, 0, 4, 4, 0xFF123456);
  DDFillRectRGB(&sd, 0, 0, 1, 1, 0xFF000000 | PaletteColour(200));
  uint8_t* map = nullptr;
  ASSERT_EQ(DDBuildPaletteMap(&map, &sd), 1);
  EXPECT_EQ(map[0], 200);
  EXPECT_EQ(map[1], 0);
  delete[] map;
  DDReleaseSurface(&sd);
}

TEST(Recovery, Direct3DResetRecreatesEverySurface) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  WriteCharacterSheets(d, {1});
  const int slots[] = {4, 68, 71};
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 3));
  DDFillSurface(&g_SurfaceData[71], 200);  // system memory: keeps its pixels
  // A request while the device works (a full-screen window's first activation) leaves it alone.
  EXPECT_EQ(DDRestoreSurface(), 1);
  EXPECT_EQ(g_SurfaceData[68].bContentsLost, 0);
  DDFillSurface(&g_BackBufferSD, 7);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, &g_SurfaceData[4], 0, 0, 1);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 0), PaletteColour(200));
  g_lpDevice->SimulateDeviceLoss(1);
  EXPECT_EQ(DDPresent(60, 0, nullptr), 0);
  EXPECT_EQ(DDRestoreSurface(), 0);  // still lost
  EXPECT_EQ(DDRestoreSurface(), 1);
  EXPECT_EQ(g_SurfaceData[68].bContentsLost, 1);
  EXPECT_EQ(g_SurfaceData[4].bContentsLost, 0);
  EXPECT_EQ(ReadRgb(&g_SurfaceData[71], 5, 5), PaletteColour(200));
  DDFillSurface(&g_BackBufferSD, 7);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, &g_SurfaceData[4], 0, 0, 1);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 0), PaletteColour(200));
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
}

TEST(Recovery, DirectDrawReloadsLostPictures) {
  Display d(kModes[3], true);
  ASSERT_TRUE(d.ok);
  WriteCharacterSheets(d, {1});
  const int slots[] = {4, 68};
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 2));
  EXPECT_TRUE(DDRestore());  // nothing lost: nothing changes
  EXPECT_EQ(g_SurfaceData[68].bContentsLost, 0);
  g_lpDD->SimulateDisplayLoss();
  EXPECT_TRUE(DDRestore());
  EXPECT_EQ(g_SurfaceData[68].bContentsLost, 1);
  DDFillSurface(&g_BackBufferSD, 7);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, &g_SurfaceData[4], 0, 0, 1);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 0), AsShown(PaletteColour(200)));
}

TEST(Display, Direct3DRefusesOtherDepthsAndOldDrivers) {
  Display d(kModes[1]);
  DDRelease();
  EXPECT_FALSE(DDInit(1, nullptr, 640, 480, 24, 1, 1, 1, 60, 0, g_SurfaceData, g_SurfaceInfo, kSurfaceTableSize, 0));
  DDRelease();
  g_nDDIVersion = 8;
  EXPECT_FALSE(DDInit(1, nullptr, 640, 480, 32, 1, 1, 1, 60, 0, g_SurfaceData, g_SurfaceInfo, kSurfaceTableSize, 0));
  EXPECT_EQ(g_lpD3D, nullptr);
  g_nDDIVersion = 9;
  DDRelease();
  EXPECT_EQ(lpDTCon, nullptr);
}

TEST(Display, VirtualBackBufferIsCopiedOnceWhenSwitchedOff) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  DDFillSurface(&g_BackBufferSD, 7);
  DDFillSurface(&g_VirBackBufferSD, 50);
  DDSetVirtualBackBuffer(0);  // already off: nothing is copied
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 3, 3), PaletteColour(7));
  DDSetVirtualBackBuffer(1);
  DDFillSurface(&g_BackBufferSD, 200);                            // lands on VirBackBuffer
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 3, 3), PaletteColour(200));  // the lock maps it too
  DDSetVirtualBackBuffer(0);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 3, 3), PaletteColour(200));
  EXPECT_EQ(lpDTCon->bCopyingVirtual, 0);
}

}  // namespace

namespace {

TEST(Surfaces, AGrowingVectorOfSurfacesKeepsTheRegistryPointingAtItsRecords) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  std::vector<DDSURFACEDATA> v;
  std::vector<DDSURFACEINFO> i;
  for (int k = 0; k < 20; ++k) ASSERT_TRUE(DDPushSurface(v, i, 4, 4, 1, 0, 0, 0));
  int found = 0;
  for (DDSURFACEDATA* sd : DDSurfaceRegistry()) found += sd >= v.data() && sd < v.data() + v.size();
  EXPECT_EQ(found, 20);
  g_lpDevice->SimulateDeviceLoss(0);
  EXPECT_EQ(DDRestoreSurface(), 1);
  EXPECT_EQ(v.back().bContentsLost, 1);
  DDReleaseSurfaceVec(v);
}

}  // namespace
