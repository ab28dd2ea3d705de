// A representative game frame through the graphics layer (bench/frame_scene.h: a full-screen
// background and 300 colour-keyed 32 x 32 sprites, half of them from the mirrored sheet), in
// Direct3D mode at 32 bits and in DirectDraw mode at 16 and 32 bits, on one core.
//
// Two measures per mode: the same work SDL_BlitSurface does in the same run (background and
// sprites; "Work"), and the full frame a game shows (that work, two lines of text and the
// presentation: Direct3D's present, DirectDraw's windowed copy to the primary surface, each turning
// the picture into the shown frame; "Frame"). Both are printed as a ratio to the SDL frame of the
// same format. Targets: 1.0 or more, and never below 1000 frames per second.
//
// Beside them the stage frame (bench/frame_scene.h, stage_frame): a busy stage picture with eight
// background layers, a 20 x 15 block map, 300 characters, 200 shots, the status bar and the timer,
// a wave screen effect and a flashing screen colour, drawn through the graphics layer as the stage
// drawing draws it ("StageFrame/<mode>") and with SDL_BlitSurface ("StageFrameSDL/<mode>").
// Targets: at least 500 frames per second in every mode on one core, and 1.0 or more against SDL.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "frame_scene.h"
#include "media/graphics/graphics.h"
#include "platform/clock.h"

namespace {

void WriteBmp24(const std::filesystem::path& p, int w, int h, uint32_t (*pixel)(int, int)) {
  std::filesystem::create_directories(p.parent_path());
  const int rowBytes = (w * 3 + 3) & ~3;
  std::vector<uint8_t> b(54 + static_cast<size_t>(rowBytes) * h, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t v = pixel(x, y);
      uint8_t* px = &b[54 + static_cast<size_t>(h - 1 - y) * rowBytes + x * 3];
      px[0] = v & 255;
      px[1] = (v >> 8) & 255;
      px[2] = (v >> 16) & 255;
    }
  }
  FILE* f = std::fopen(p.c_str(), "wb");
  if (!f) return;
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
}

// An 8-bit bitmap over the stage frame's palette, each pixel the palette entry nearest its colour.
void WriteBmp8(const std::filesystem::path& p, int w, int h, uint32_t (*pixel)(int, int)) {
  namespace sf = frame_scene::stage_frame;
  std::filesystem::create_directories(p.parent_path());
  const int rowBytes = (w + 3) & ~3;
  const size_t offset = 54 + 1024;
  std::vector<uint8_t> b(offset + static_cast<size_t>(rowBytes) * h, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, static_cast<uint32_t>(offset));
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  b[26] = 1;
  b[28] = 8;
  put32(46, 256);
  for (int i = 0; i < 256; ++i) put32(54 + 4 * static_cast<size_t>(i), sf::PaletteRgb(i));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b[offset + static_cast<size_t>(h - 1 - y) * rowBytes + x] = sf::PaletteIndex(pixel(x, y));
  FILE* f = std::fopen(p.c_str(), "wb");
  if (!f) return;
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
}

class GameFolder {
 public:
  GameFolder() {
    char tmpl[] = "/tmp/qc4_bench_XXXXXX";
    m_dir = mkdtemp(tmpl);
    m_old = std::filesystem::current_path();
    std::filesystem::current_path(m_dir);
    WriteBmp24(m_dir / "bmp/plt/Palette.bmp", 32, 24, [](int x, int y) -> uint32_t {
      if (x == 0 && y == 0) return 0xFF00FF;
      return static_cast<uint32_t>((y * 16 + x) * 0x010101) & 0xFFFFFF;
    });
    WriteBmp24(m_dir / "bmp/Title.bmp", frame_scene::kWidth, frame_scene::kHeight, frame_scene::BackgroundRgb);
    WriteBmp24(m_dir / "bmp/Character1.bmp", frame_scene::kSheetWidth, frame_scene::kSheetHeight,
               frame_scene::SheetRgb);
  }
  // The pictures of the stage frame, in the slots the stage drawing takes them from; the background
  // layers' slots are given their files as a stage's layers give them.
  void WriteStagePictures() {
    namespace sf = frame_scene::stage_frame;
    // The palette picture: its top-left pixel the transparent entry 0, the 16 x 16 block at (0, 8)
    // every entry in order.
    WriteBmp8(m_dir / "bmp/plt/Palette.bmp", 32, 24,
              [](int x, int y) { return y >= 8 && x < 16 ? sf::PaletteRgb((y - 8) * 16 + x) : frame_scene::kKeyRgb; });
    WriteBmp8(m_dir / "bmp/Block.bmp", sf::kBlockSheetWidth, sf::kBlockSheetHeight, sf::BlockRgb);
    WriteBmp8(m_dir / "bmp/Character1.bmp", frame_scene::kSheetWidth, frame_scene::kSheetHeight, frame_scene::SheetRgb);
    WriteBmp8(m_dir / "bmp/Shot.bmp", sf::kShotSheetWidth, sf::kShotSheetHeight, sf::ShotRgb);
    WriteBmp8(m_dir / "bmp/StatusWindow.bmp", sf::kStatusWidth, sf::kStatusHeight, sf::StatusRgb);
    WriteBmp8(m_dir / "bmp/Accessory.bmp", sf::kAccessoryWidth, sf::kAccessoryHeight, sf::AccessoryRgb);
    WriteBmp8(m_dir / "bmp/Word.bmp", sf::kWordWidth, sf::kWordHeight, sf::WordRgb);
    static uint32_t (*const layerRgb[sf::kBackLayers])(int, int) = {
        [](int x, int y) { return sf::LayerRgb(0, x, y); }, [](int x, int y) { return sf::LayerRgb(1, x, y); },
        [](int x, int y) { return sf::LayerRgb(2, x, y); }, [](int x, int y) { return sf::LayerRgb(3, x, y); },
        [](int x, int y) { return sf::LayerRgb(4, x, y); }, [](int x, int y) { return sf::LayerRgb(5, x, y); },
        [](int x, int y) { return sf::LayerRgb(6, x, y); }, [](int x, int y) { return sf::LayerRgb(7, x, y); }};
    for (int i = 0; i < sf::kBackLayers; ++i) {
      const std::string name = "bmp/back/Layer" + std::to_string(i) + ".bmp";
      WriteBmp8(m_dir / name, sf::kLayerSizes[i].w, sf::kLayerSizes[i].h, layerRgb[i]);
      DDSURFACEINFO& info = g_SurfaceInfo[kSlotBackLayer + i];
      std::memcpy(m_savedLayerPaths[i], info.szPath, sizeof info.szPath);
      std::snprintf(info.szPath, sizeof info.szPath, "bmp\\back\\Layer%d.bmp", i);
    }
    m_bLayerPathsSet = true;
  }
  static constexpr int kSlotBackLayer = 56;

  ~GameFolder() {
    if (m_bLayerPathsSet)
      for (int i = 0; i < frame_scene::stage_frame::kBackLayers; ++i)
        std::memcpy(g_SurfaceInfo[kSlotBackLayer + i].szPath, m_savedLayerPaths[i], sizeof m_savedLayerPaths[i]);
    std::filesystem::current_path(m_old);
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }

 private:
  std::filesystem::path m_dir, m_old;
  char m_savedLayerPaths[frame_scene::stage_frame::kBackLayers][sizeof(DDSURFACEINFO::szPath)] = {};
  bool m_bLayerPathsSet = false;
};

// What each measured frame does: the work both sides share, or the whole frame.
enum class Part { Work, Frame };

void RunFrames(benchmark::State& state, int d3d, int bpp, Part part) {
  SetVirtualClock(true);
  GameFolder folder;
  if (!DDInit(d3d, nullptr, frame_scene::kWidth, frame_scene::kHeight, bpp, 1, 1, 1, 60, 0, g_SurfaceData,
              g_SurfaceInfo, kSurfaceTableSize, 0)) {
    state.SkipWithError("DDInit failed");
    return;
  }
  LinkMirrorSurfaces();
  DDLoadPaletteFromFile(g_GamePalette, "bmp\\plt\\Palette.bmp", 0);
  std::copy(g_GamePalette, g_GamePalette + 256, g_WorkPalette);
  DDSetTransmitFromFile("bmp\\plt\\Palette.bmp");
  const int slots[] = {4, 5, 48};
  if (!DDLoadSurfaces(g_SurfaceData, slots, 3)) {
    state.SkipWithError("DDLoadSurfaces failed");
    DDRelease();
    return;
  }
  cFont& font = g_Font[1];
  font.Create(g_FontInfo[1].szFace, 0, 16, 16, 16, 255, 1, nullptr, 1, 240, nullptr, 1);
  int frame = 0;
  for (auto _ : state) {
    DDBlt(&g_BackBufferSD, 0, 0, frame_scene::kWidth, frame_scene::kHeight, &g_SurfaceData[48], 0, 0, 0);
    DDBeginLayer(1);
    for (int i = 0; i < frame_scene::kSprites; ++i) {
      // Slot 5 holds the sheet mirrored cell by cell.
      const frame_scene::Sprite sp = frame_scene::SpriteAt(i, frame);
      DDBlt(&g_BackBufferSD, sp.x, sp.y, frame_scene::kCell, frame_scene::kCell, &g_SurfaceData[sp.mirrored ? 5 : 4],
            sp.sx, 0, 1);
    }
    DDEndLayer();
    if (part == Part::Work) {
      benchmark::DoNotOptimize(g_BackBufferSD.lpDD);
      ++frame;
      continue;
    }
    font.DrawString(&g_BackBufferSD, 16, 420, "SCORE 0012345  TIME 300", 0);
    font.DrawString(&g_BackBufferSD, 16, 440, "ステージ１　スタート！", 0);
    if (d3d) {
      DDPresent(60, 0, nullptr);
    } else if (g_PrimarySD.lpDD && g_PrimarySD.lpDD->lpSurface) {
      gfx::Rect r = gfx::MakeRect(0, 0, frame_scene::kWidth, frame_scene::kHeight);
      g_PrimarySD.lpDD->lpSurface->Blt(&r, g_BackBufferSD.lpDD->lpSurface, &r, gfx::kBltWait);
    }
    ++frame;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frame), benchmark::Counter::kIsRate);
  font.Release();
  DDRelease();
  for (DDSURFACEDATA& sd : g_SurfaceData) DDInitSurfaceData(&sd);
}

// ---- the stage frame ----------------------------------------------------------------------------

namespace sf = frame_scene::stage_frame;

// Surface-table slots the stage drawing takes its pictures from.
constexpr int kSlotBlocks = 2, kSlotChara = 4, kSlotCharaMirrored = 5, kSlotShot = 20, kSlotShotMirrored = 21;
constexpr int kSlotMark = 43, kSlotStatus = 47, kSlotAccessory = 50, kSlotWord = 52, kSlotBackLayer = 56;
constexpr int kSlotWork = 68;  // the screen effect's copy of the picture, then the screen colour's plain surface

// The background layers of one group, each tiled in one draw layer: the first layer drawn opaque,
// every other one with the colour key.
void DrawBackLayers(int first, int last, int frame) {
  for (int i = first; i < last; ++i) {
    DDSURFACEDATA* picture = &g_SurfaceData[kSlotBackLayer + i];
    const int key = i == 0 ? 0 : 1;
    DDBeginLayer(0);
    sf::ForEachTile(i, frame, [&](int x, int y, int w, int h, int sx, int sy) {
      DDBlt(&g_BackBufferSD, x, y, w, h, picture, sx, sy, key);
    });
    DDEndLayer();
  }
}

void DrawStageFrame(int frame, cFont& font) {
  DDSURFACEDATA* screen = &g_BackBufferSD;
  DrawBackLayers(0, sf::kBackLayers - sf::kFrontLayers, frame);
  // The block map, in the block layer's draw layer.
  DDBeginLayer(1);
  DDLayerAddTexture(&g_SurfaceData[kSlotMark]);
  for (int row = 0; row < sf::kMapRows; ++row)
    for (int column = 0; column < sf::kMapColumns; ++column)
      DDBlt(screen, column * frame_scene::kCell, row * frame_scene::kCell, frame_scene::kCell, frame_scene::kCell,
            &g_SurfaceData[kSlotBlocks], sf::BlockSx(column, row), sf::BlockSy(column, row), 1);
  DDEndLayer();
  // The characters, their sheets ranked in Direct3D mode.
  DDBeginLayer(1);
  if (lpDTCon) {
    DDLayerAddTexture(&g_SurfaceData[kSlotBlocks]);
    DDLayerAddTexture(&g_SurfaceData[kSlotChara]);
    DDLayerAddTexture(&g_SurfaceData[kSlotCharaMirrored]);
  }
  for (int i = 0; i < sf::kCharas; ++i) {
    const frame_scene::Sprite sp = frame_scene::SpriteAt(i, frame);
    DDBlt(screen, sp.x, sp.y, frame_scene::kCell, frame_scene::kCell,
          &g_SurfaceData[sp.mirrored ? kSlotCharaMirrored : kSlotChara], sp.sx, 0, 1);
  }
  DDEndLayer();
  DDBeginLayer(0);
  for (int i = 0; i < sf::kShots; ++i) {
    const sf::Shot shot = sf::ShotAt(i, frame);
    DDBlt(screen, shot.x, shot.y, sf::kShotCell, sf::kShotCell,
          &g_SurfaceData[shot.mirrored ? kSlotShotMirrored : kSlotShot], shot.sx, shot.sy, 1);
  }
  DDEndLayer();
  DrawBackLayers(sf::kBackLayers - sf::kFrontLayers, sf::kBackLayers, frame);
  // The wave screen effect over the finished picture.
  DDSURFACEDATA* work = &g_SurfaceData[kSlotWork];
  DDBlt(work, 0, 0, frame_scene::kWidth, frame_scene::kHeight, screen, 0, 0, 0);
  DDFillRect(screen, 0, 0, frame_scene::kWidth, frame_scene::kHeight, 16);
  DDSetFilter(1);
  DDBltWave(screen, 0, 0, frame_scene::kWidth, frame_scene::kHeight, sf::kWaves, sf::kWaveAmplitude, frame % 360,
            sf::kWaveLine, work, 0, 0, 1, 0);
  DDResetFilter();
  // The status bar and the timer.
  DDSURFACEDATA* accessory = &g_SurfaceData[kSlotAccessory];
  DDBlt(screen, 0, 0, sf::kStatusWidth, sf::kStatusHeight, &g_SurfaceData[kSlotStatus], 0, 0, 1);
  for (int k = 0; k < 5; ++k) DDBlt(screen, sf::kEntryX[k], 3, 16, 16, accessory, 16 * k, 32, 1);
  font.DrawStringF(screen, sf::kEntryX[0] + 16, 3, "%d", sf::kScoreTotal);
  font.DrawStringF(screen, sf::kEntryX[1] + 16, 3, "%d", sf::kStageScore);
  for (int k = 2; k < 4; ++k) {
    DDBlt(screen, sf::kEntryX[k] + 16, 3, 50, 16, accessory, (k - 2) * 64, 128, 1);
    DDBlt(screen, sf::kEntryX[k] + 16, 3, 40, 16, accessory, (k - 2) * 64, 144, 1);
  }
  font.DrawStringF(screen, sf::kEntryX[4] + 16, 3, "%d", sf::kLives);
  DDDrawNumber(screen, 272, 24, sf::kDigitCell, sf::kDigitCell, &g_SurfaceData[kSlotWord], 0, sf::kDigitRowY, 1,
               sf::TimerValue(frame), 3, 1);
  // The screen colour: blended over the picture drawn aside in Direct3D mode, which is then shown;
  // an 8-bit screen blends its palette; other DirectDraw screens show none.
  const int t = sf::FlashTransparency(frame);
  if (lpDTCon) {
    DDFillSurfaceRGB(work, 0xFF000000u | sf::kFlashRgb);
    DDBltTrans(screen, 0, 0, frame_scene::kWidth, frame_scene::kHeight, work, 0, 0, 0, g_BlendTable, t);
    DDCopyVirtualBackBuffer();
  } else if (g_nDisplayBpp == 8) {
    // An 8-bit screen shows the colour through its palette.
    DDPalBlend(g_WorkPalette, 0, 255, t, sf::kFlashRgb >> 16, sf::kFlashRgb >> 8 & 255, sf::kFlashRgb & 255,
               g_GamePalette);
    if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_WorkPalette);
  }
}

void RunStageFrames(benchmark::State& state, int d3d, int bpp) {
  SetVirtualClock(true);
  GameFolder folder;
  folder.WriteStagePictures();
  // 8 bits only on a full screen.
  const int windowed = bpp == 8 ? 0 : 1;
  if (!DDInit(d3d, nullptr, frame_scene::kWidth, frame_scene::kHeight, bpp, 1, windowed, 1, 60, 0, g_SurfaceData,
              g_SurfaceInfo, kSurfaceTableSize, 0)) {
    state.SkipWithError("DDInit failed");
    return;
  }
  LinkMirrorSurfaces();
  DDLoadPaletteFromFile(g_GamePalette, "bmp\\plt\\Palette.bmp", 0);
  std::copy(g_GamePalette, g_GamePalette + 256, g_WorkPalette);
  DDSetTransmitFromFile("bmp\\plt\\Palette.bmp");
  const int slots[] = {kSlotBlocks,        kSlotChara,         kSlotCharaMirrored, kSlotShot,
                       kSlotShotMirrored,  kSlotStatus,        kSlotAccessory,     kSlotWord,
                       kSlotBackLayer,     kSlotBackLayer + 1, kSlotBackLayer + 2, kSlotBackLayer + 3,
                       kSlotBackLayer + 4, kSlotBackLayer + 5, kSlotBackLayer + 6, kSlotBackLayer + 7,
                       kSlotWork};
  if (!DDLoadSurfaces(g_SurfaceData, slots, static_cast<int>(std::size(slots)))) {
    state.SkipWithError("DDLoadSurfaces failed");
    DDRelease();
    return;
  }
  cFont& font = g_Font[1];
  font.Create(g_FontInfo[1].szFace, 0, 16, 16, 16, 255, 1, nullptr, 1, 240, nullptr, 1);
  // The wave runs all along: the stage is drawn aside in Direct3D mode.
  DDSetVirtualBackBuffer(1);
  int frame = 0;
  for (auto _ : state) {
    DrawStageFrame(frame, font);
    benchmark::DoNotOptimize(g_BackBufferSD.lpDD);
    ++frame;
  }
  DDSetVirtualBackBuffer(0);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frame), benchmark::Counter::kIsRate);
  font.Release();
  DDRelease();
  for (DDSURFACEDATA& sd : g_SurfaceData) DDInitSurfaceData(&sd);
}

// The display modes: Direct3D at 16 and 32 bits, DirectDraw on a full screen of 8 bits and in a
// window at 16 and 32 bits.
struct cStageMode {
  const char* name;
  int d3d, bpp;
  Uint32 sdlFormat;
};
constexpr cStageMode kStageModes[] = {{"Direct3D16", 1, 16, SDL_PIXELFORMAT_RGB565},
                                      {"Direct3D32", 1, 32, SDL_PIXELFORMAT_RGB888},
                                      {"DirectDraw8", 0, 8, SDL_PIXELFORMAT_INDEX8},
                                      {"DirectDraw16", 0, 16, SDL_PIXELFORMAT_RGB565},
                                      {"DirectDraw32", 0, 32, SDL_PIXELFORMAT_RGB888}};

void RegisterStageFrames() {
  for (const cStageMode& mode : kStageModes) {
    benchmark::RegisterBenchmark((std::string("StageFrame/") + mode.name).c_str(),
                                 [mode](benchmark::State& state) { RunStageFrames(state, mode.d3d, mode.bpp); })
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(
        (std::string("StageFrameSDL/") + mode.name).c_str(),
        [mode](benchmark::State& state) { sf::SdlStageFrame(state, mode.sdlFormat, mode.d3d != 0); })
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
  }
}

void BM_WorkDirect3D32(benchmark::State& state) { RunFrames(state, 1, 32, Part::Work); }
void BM_WorkDirectDraw16(benchmark::State& state) { RunFrames(state, 0, 16, Part::Work); }
void BM_WorkDirectDraw32(benchmark::State& state) { RunFrames(state, 0, 32, Part::Work); }
void BM_FrameDirect3D32(benchmark::State& state) { RunFrames(state, 1, 32, Part::Frame); }
void BM_FrameDirectDraw16(benchmark::State& state) { RunFrames(state, 0, 16, Part::Frame); }
void BM_FrameDirectDraw32(benchmark::State& state) { RunFrames(state, 0, 32, Part::Frame); }
void BM_SdlFrame16(benchmark::State& state) { frame_scene::SdlFrame(state, SDL_PIXELFORMAT_RGB565); }
void BM_SdlFrame32(benchmark::State& state) { frame_scene::SdlFrame(state, SDL_PIXELFORMAT_RGB888); }

BENCHMARK(BM_WorkDirect3D32)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WorkDirectDraw16)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WorkDirectDraw32)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameDirect3D32)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameDirectDraw16)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameDirectDraw32)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SdlFrame16)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SdlFrame32)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RegisterStageFrames();
  frame_scene::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nThe same work on both sides (background and %d keyed sprites):\n", frame_scene::kSprites);
  reporter.PrintRatio("BM_WorkDirect3D32", "BM_SdlFrame32");
  reporter.PrintRatio("BM_WorkDirectDraw16", "BM_SdlFrame16");
  reporter.PrintRatio("BM_WorkDirectDraw32", "BM_SdlFrame32");
  std::printf("\nThe full frame (also two lines of text and the presentation) beside it:\n");
  reporter.PrintRatio("BM_FrameDirect3D32", "BM_SdlFrame32");
  reporter.PrintRatio("BM_FrameDirectDraw16", "BM_SdlFrame16");
  reporter.PrintRatio("BM_FrameDirectDraw32", "BM_SdlFrame32");
  std::printf("\nThe stage frame (target: 500 fps or more, ratio 1.0 or more):\n");
  for (const cStageMode& mode : kStageModes)
    reporter.PrintRatio((std::string("StageFrame/") + mode.name).c_str(),
                        (std::string("StageFrameSDL/") + mode.name).c_str());
  benchmark::Shutdown();
  return 0;
}
