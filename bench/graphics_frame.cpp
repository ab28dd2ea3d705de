// A representative game frame through the graphics layer (bench/frame_scene.h: a full-screen
// background and 300 colour-keyed 32 x 32 sprites, half of them from the mirrored sheet), in
// Direct3D mode at 32 bits and in DirectDraw mode at 16 and 32 bits, on one core.
//
// Two measures per mode: the same work SDL_BlitSurface does in the same run (background and
// sprites; "Work"), and the full frame a game shows (that work, two lines of text and the
// presentation: Direct3D's present, DirectDraw's windowed copy to the primary surface, each turning
// the picture into the shown frame; "Frame"). Both are printed as a ratio to the SDL frame of the
// same format. Targets: 1.0 or more, and never below 1000 frames per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
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
  ~GameFolder() {
    std::filesystem::current_path(m_old);
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }

 private:
  std::filesystem::path m_dir, m_old;
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
  benchmark::Shutdown();
  return 0;
}
