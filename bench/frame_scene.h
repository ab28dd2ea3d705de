// The representative frame both frame benchmarks draw, and the SDL_BlitSurface version of it that
// they measure themselves against.
//
// The frame: a full-screen 640x480 background copied opaque, then 300 colour-keyed 32x32 sprites
// from a 256x32 sheet of eight cells at positions that move from frame to frame (some hanging over
// the screen edges); every odd sprite comes from the sheet mirrored cell by cell. The pictures are
// given as 0x00RRGGBB; the sheet's transparent pixels hold the key colour.
#pragma once

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace frame_scene {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kSprites = 300, kCell = 32;
constexpr int kSheetWidth = 256, kSheetHeight = 32;
constexpr uint32_t kKeyRgb = 0xFF00FF;

inline uint32_t BackgroundRgb(int x, int y) {
  return static_cast<uint32_t>((x & 255) << 16 | (y & 255) << 8 | ((x + y) & 255));
}

// Each cell holds a disc of radius 15 around its centre; outside it lies the key colour. No drawn
// pixel meets the key in 16 bits either (its blue stays at 0x40).
inline bool SheetKeyed(int x, int y) {
  const int cx = x % kCell - 16, cy = y % kCell - 16;
  return cx * cx + cy * cy > 15 * 15;
}
inline uint32_t SheetRgb(int x, int y) {
  if (SheetKeyed(x, y)) return kKeyRgb;
  return static_cast<uint32_t>((x * 3 & 255) << 16 | (y * 5 & 255) << 8 | 0x40);
}
// The sheet with each cell mirrored left to right.
inline uint32_t MirroredSheetRgb(int x, int y) { return SheetRgb(x / kCell * kCell + kCell - 1 - x % kCell, y); }

struct Sprite {
  int x, y;  // top-left on screen
  int sx;    // left of the cell on the sheet
  bool mirrored;
};

inline Sprite SpriteAt(int i, int frame) {
  return {(i * 37 + frame * 3) % (kWidth + 20) - 10, (i * 53 + frame) % (kHeight + 20) - 10, (i % 8) * kCell,
          (i & 1) != 0};
}

// The frame drawn with SDL_BlitSurface on software surfaces of `format` (SDL_PIXELFORMAT_RGB565 or
// SDL_PIXELFORMAT_RGB888), sheets keyed with SDL_SetColorKey (no RLE acceleration).
inline void SdlFrame(benchmark::State& state, Uint32 format) {
  SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 0, format);
  SDL_Surface* bg = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 0, format);
  SDL_Surface* sheets[2] = {SDL_CreateRGBSurfaceWithFormat(0, kSheetWidth, kSheetHeight, 0, format),
                            SDL_CreateRGBSurfaceWithFormat(0, kSheetWidth, kSheetHeight, 0, format)};
  if (!screen || !bg || !sheets[0] || !sheets[1]) {
    state.SkipWithError("SDL_CreateRGBSurfaceWithFormat failed");
    return;
  }
  auto fill = [](SDL_Surface* s, uint32_t (*rgb)(int, int)) {
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) {
        const uint32_t c = rgb(x, y);
        const Uint32 px = SDL_MapRGB(s->format, c >> 16 & 255, c >> 8 & 255, c & 255);
        auto* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
        if (s->format->BytesPerPixel == 2)
          reinterpret_cast<Uint16*>(row)[x] = static_cast<Uint16>(px);
        else
          reinterpret_cast<Uint32*>(row)[x] = px;
      }
  };
  fill(bg, BackgroundRgb);
  fill(sheets[0], SheetRgb);
  fill(sheets[1], MirroredSheetRgb);
  for (SDL_Surface* sheet : sheets)
    SDL_SetColorKey(sheet, SDL_TRUE, SDL_MapRGB(sheet->format, kKeyRgb >> 16, kKeyRgb >> 8 & 255, kKeyRgb & 255));
  int frame = 0;
  for (auto _ : state) {
    SDL_BlitSurface(bg, nullptr, screen, nullptr);
    for (int i = 0; i < kSprites; ++i) {
      const Sprite sp = SpriteAt(i, frame);
      SDL_Rect src{sp.sx, 0, kCell, kCell}, dst{sp.x, sp.y, kCell, kCell};
      SDL_BlitSurface(sheets[sp.mirrored], &src, screen, &dst);
    }
    benchmark::DoNotOptimize(screen->pixels);
    ++frame;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frame), benchmark::Counter::kIsRate);
  SDL_FreeSurface(sheets[1]);
  SDL_FreeSurface(sheets[0]);
  SDL_FreeSurface(bg);
  SDL_FreeSurface(screen);
}

// Prints the usual table and keeps each benchmark's seconds per frame (the median when repeated).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations <= 0) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      const std::string& name = run.run_name.function_name;
      if (!median && m_fromMedian.count(name)) continue;
      m_secondsPerFrame[name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      if (median) m_fromMedian[name] = true;
    }
  }
  // "ours fps   SDL fps   ratio" for two benchmarks that both ran.
  void PrintRatio(const char* ours, const char* sdl) const {
    const auto a = m_secondsPerFrame.find(ours), b = m_secondsPerFrame.find(sdl);
    if (a == m_secondsPerFrame.end() || b == m_secondsPerFrame.end() || a->second <= 0 || b->second <= 0) return;
    std::printf("%-22s %8.0f fps   %-16s %8.0f fps   ratio %.2f\n", ours, 1 / a->second, sdl, 1 / b->second,
                b->second / a->second);
  }

 private:
  std::map<std::string, double> m_secondsPerFrame;
  std::map<std::string, bool> m_fromMedian;
};

}  // namespace frame_scene
