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

#include <cmath>
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

// ---- the stage frame --------------------------------------------------------------------------
//
// A frame of a busy stage as the stage drawing composes it: eight background layers (six behind,
// two in front of the objects; the first one copied opaque, the others keyed, each tiled over the
// screen from its own scroll offset), a 20 x 15 block map, 300 characters, 200 shots, the status
// bar with its icons, gauges and numbers, the stage timer, a horizontal wave screen effect over the
// finished picture and a flashing screen colour over everything. In Direct3D mode the stage is drawn
// aside while the effect runs and copied to the back buffer at the end, and the screen colour is a
// blend with a plain surface; DirectDraw screens of 16 and 32 bits show no screen colour.
namespace stage_frame {

constexpr int kBackLayers = 8;
constexpr int kFrontLayers = 2;  // the last layers are drawn in front of the objects
struct Size {
  int w, h;
};
constexpr Size kLayerSizes[kBackLayers] = {{640, 480}, {320, 240}, {256, 128}, {200, 150},
                                           {640, 120}, {128, 128}, {400, 100}, {160, 240}};
constexpr int kMapColumns = 20, kMapRows = 15;
constexpr int kCharas = 300, kShots = 200, kShotCell = 16;
constexpr int kBlockSheetWidth = 256, kBlockSheetHeight = 64;
constexpr int kShotSheetWidth = 128, kShotSheetHeight = 480;
constexpr int kStatusWidth = 640, kStatusHeight = 20;
constexpr int kAccessoryWidth = 256, kAccessoryHeight = 224;
constexpr int kWordWidth = 320, kWordHeight = 192, kDigitCell = 32, kDigitRowY = 160;
// The wave: two turns over the screen, 8 dots wide, rows moved in pairs.
constexpr int kWaves = 2, kWaveLine = 2;
constexpr double kWaveAmplitude = 8.0;
// The flash: strength 50 % ramped in over 6 frames, then one frame without it.
constexpr int kFlashFrames = 7;
constexpr uint32_t kFlashRgb = 0xFFFFFF;
// The numbers of the status bar (score total, stage score, lives) and the timer.
constexpr int kScoreTotal = 123450, kStageScore = 6780, kLives = 3;

// The stage frame's pictures are 8-bit bitmaps over one palette, so that every display mode, the
// 8-bit one too, draws the same picture: entry 0 is the transparent colour, entries 16-231 a
// 6 x 6 x 6 colour cube (its magenta corner toned down so that it never meets the key), the rest
// black and greys. Each picture below is given as 0xRRGGBB and stored as the nearest entry.
inline uint32_t PaletteRgb(int i) {
  if (i == 0) return kKeyRgb;
  if (i >= 16 && i < 232) {
    const int c = i - 16, levels[6] = {0, 51, 102, 153, 204, 255};
    const uint32_t rgb = static_cast<uint32_t>(levels[c / 36] << 16 | levels[c / 6 % 6] << 8 | levels[c % 6]);
    return rgb == kKeyRgb ? 0xFF00CC : rgb;
  }
  const uint32_t grey = i < 16 ? 0 : static_cast<uint32_t>((i - 232) * 11);
  return grey * 0x010101;
}
inline uint8_t PaletteIndex(uint32_t rgb) {
  if (rgb == kKeyRgb) return 0;
  auto level = [](uint32_t v) { return static_cast<int>((v * 5 + 127) / 255); };
  return static_cast<uint8_t>(16 + level(rgb >> 16 & 255) * 36 + level(rgb >> 8 & 255) * 6 + level(rgb & 255));
}

// Transparency of the flash on a frame: 255 (nothing) at the ramp's start down to 128.
inline int FlashTransparency(int frame) {
  const int k = frame % kFlashFrames;
  if (k == kFlashFrames - 1) return 255;
  return static_cast<int>(255 - 50 * 2.55 * k / (kFlashFrames - 1));
}
inline int TimerValue(int frame) { return 300 - frame / 60 % 300; }

// Background layer pictures: the first a full-screen picture, the others a stepped skyline over a
// transparent sky (no drawn pixel meets the key, in 16 bits either: blue stays at 0x40 or more).
inline uint32_t LayerRgb(int layer, int x, int y) {
  if (layer == 0) return BackgroundRgb(x, y);
  const Size s = kLayerSizes[layer];
  const int top = s.h / 4 + (x / 16 + layer) % 4 * s.h / 8;
  if (y < top) return kKeyRgb;
  return static_cast<uint32_t>(((layer * 40 + y) & 255) << 16 | ((x * 2) & 255) << 8 | (0x40 + layer * 8));
}
// The layer's scroll offset on a frame; each layer moves at its own speed.
inline int LayerOffsetX(int layer, int frame) { return frame * (layer + 1); }
inline int LayerOffsetY(int layer, int frame) { return frame * layer / 2; }
// The tiles of a layer from its offset, as the stage drawing lays them: draw(x, y, w, h, sx, sy).
template <class Draw>
void ForEachTile(int layer, int frame, Draw draw) {
  const Size s = kLayerSizes[layer];
  const int x0 = LayerOffsetX(layer, frame), y0 = LayerOffsetY(layer, frame);
  int sy = ((y0 % s.h) + s.h) % s.h, rowH = s.h - sy;
  for (int y = 0; y < kHeight; y += rowH, sy = 0, rowH = s.h) {
    int sx = ((x0 % s.w) + s.w) % s.w, tileW = s.w - sx;
    for (int x = 0; x < kWidth; x += tileW, sx = 0, tileW = s.w) draw(x, y, tileW, rowH, sx, sy);
  }
}

// Blocks: 16 cells of 32 x 32, opaque but for their rounded corners.
inline uint32_t BlockRgb(int x, int y) {
  const int cx = x % kCell, cy = y % kCell, cell = y / kCell * 8 + x / kCell;
  if ((cx < 2 || cx > 29) && (cy < 2 || cy > 29)) return kKeyRgb;
  return static_cast<uint32_t>((cell * 15 & 255) << 16 | ((cx + cy) * 4 & 255) << 8 | 0x40);
}
// The block of a map cell: its sheet position.
inline int BlockSx(int column, int row) { return (column * 3 + row) % 8 * kCell; }
inline int BlockSy(int column, int row) { return (column + row) % 2 * kCell; }

// Shots: 16 x 16 discs of radius 6 in 8 columns and 30 rows.
inline uint32_t ShotRgb(int x, int y) {
  const int cx = x % kShotCell - 8, cy = y % kShotCell - 8;
  if (cx * cx + cy * cy > 36) return kKeyRgb;
  return static_cast<uint32_t>(0xF00000 | (x * 2 & 255) << 8 | (0x40 + y / kShotCell));
}
inline uint32_t MirroredShotRgb(int x, int y) {
  return ShotRgb(x / kShotCell * kShotCell + kShotCell - 1 - x % kShotCell, y);
}
struct Shot {
  int x, y, sx, sy;
  bool mirrored;
};
inline Shot ShotAt(int i, int frame) {
  return {(i * 71 + frame * 7) % (kWidth + 16) - 8, (i * 29 + frame) % (kHeight + 16) - 8, i % 8 * kShotCell,
          i % 30 * kShotCell, (i & 2) != 0};
}

// The status bar: a dark band; the accessory sheet's icons (16 x 16 at (16k, 32)) and gauges (frames
// at y 128, fills at y 144); the word sheet's 32 x 32 digits at y 160.
inline uint32_t StatusRgb(int x, int y) { return static_cast<uint32_t>((y * 6) << 8 | (0x40 + (x & 63))); }
inline uint32_t AccessoryRgb(int x, int y) {
  if (y >= 32 && y < 48 && x < 80) {
    const int cx = x % 16 - 8, cy = y - 40;
    return cx * cx + cy * cy > 49 ? kKeyRgb : static_cast<uint32_t>(0xC0C040 + x);
  }
  if (y >= 128 && y < 176 && x < 114) {
    const int gx = x % 64;
    if (gx >= 50) return kKeyRgb;
    if (y < 144) return (y == 128 || y == 143 || gx == 0 || gx == 49) ? 0xE0E0E0 : kKeyRgb;
    return y < 160 ? 0x20C040 : 0xE04040;
  }
  return kKeyRgb;
}
inline uint32_t WordRgb(int x, int y) {
  if (y < kDigitRowY) return kKeyRgb;
  const int cx = x % kDigitCell, cy = y - kDigitRowY;
  const bool stroke = (cx >= 6 && cx < 12) || (cy >= 4 && cy < 10) || (cx + x / kDigitCell * 3) % 26 < 5;
  return stroke ? static_cast<uint32_t>(0xF0F040 + (x / kDigitCell)) : kKeyRgb;
}
// The shown numbers' characters, as the SDL side draws them: 8 x 16 cells of a glyph strip.
constexpr int kGlyphWidth = 8, kGlyphHeight = 16;
inline uint32_t GlyphRgb(int x, int y) {
  const int cx = x % kGlyphWidth;
  return (cx == 1 || cx == 6 || y == 2 || y == 13) ? 0xF8F8F8 : kKeyRgb;
}
// Where the status bar's five entries stand: all shown as icons with 4, 3 and 2 digits reserved for
// the scores and the lives, they are 80, 64, 66, 66 and 48 dots wide with gaps of 52.
constexpr int kEntryX[5] = {52, 184, 300, 418, 536};

// Both sides' text: the digits of a number written at (x, y), one glyph cell each.
inline int DigitsOf(int n, int* digits) {
  int count = 0;
  char text[16];
  std::snprintf(text, sizeof text, "%d", n);
  for (const char* c = text; *c; ++c) digits[count++] = *c - '0';
  return count;
}

// The stage frame drawn with SDL_BlitSurface on software surfaces of `format` (SDL_PIXELFORMAT_INDEX8,
// RGB565 or RGB888); `direct3d` adds what that mode adds (the copy of the picture drawn aside, the
// screen-colour blend); at 8 bits the screen colour blends the display's palette.
inline void SdlStageFrame(benchmark::State& state, Uint32 format, bool direct3d) {
  const bool indexed = format == SDL_PIXELFORMAT_INDEX8;
  SDL_Color colours[256];
  for (int i = 0; i < 256; ++i) {
    const uint32_t c = PaletteRgb(i);
    colours[i] = {static_cast<Uint8>(c >> 16), static_cast<Uint8>(c >> 8 & 255), static_cast<Uint8>(c & 255), 255};
  }
  // 8 bits: the surfaces share the game palette; the screen colour changes the display's palette.
  SDL_Palette* display = SDL_AllocPalette(256);
  SDL_SetPaletteColors(display, colours, 0, 256);
  auto make = [&](int w, int h, uint32_t (*rgb)(int, int), bool keyed) -> SDL_Surface* {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 0, format);
    if (!s) return nullptr;
    if (indexed) SDL_SetPaletteColors(s->format->palette, colours, 0, 256);
    if (rgb) {
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const uint8_t index = PaletteIndex(rgb(x, y));
          const uint32_t c = PaletteRgb(index);
          auto* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
          if (indexed) {
            row[x] = index;
          } else {
            const Uint32 px = SDL_MapRGB(s->format, c >> 16 & 255, c >> 8 & 255, c & 255);
            if (s->format->BytesPerPixel == 2)
              reinterpret_cast<Uint16*>(row)[x] = static_cast<Uint16>(px);
            else
              reinterpret_cast<Uint32*>(row)[x] = px;
          }
        }
    }
    if (keyed)
      SDL_SetColorKey(s, SDL_TRUE,
                      indexed ? 0 : SDL_MapRGB(s->format, kKeyRgb >> 16, kKeyRgb >> 8 & 255, kKeyRgb & 255));
    return s;
  };
  std::vector<SDL_Surface*> all;
  auto keep = [&](SDL_Surface* s) {
    all.push_back(s);
    return s;
  };
  SDL_Surface* screen = keep(make(kWidth, kHeight, nullptr, false));
  SDL_Surface* aside = keep(make(kWidth, kHeight, nullptr, false));  // Direct3D: the picture drawn aside
  SDL_Surface* work = keep(make(kWidth, kHeight, nullptr, true));
  SDL_Surface* colour = keep(make(kWidth, kHeight, nullptr, false));
  SDL_Surface* layers[kBackLayers];
  static uint32_t (*const layerRgb[kBackLayers])(int, int) = {
      [](int x, int y) { return LayerRgb(0, x, y); }, [](int x, int y) { return LayerRgb(1, x, y); },
      [](int x, int y) { return LayerRgb(2, x, y); }, [](int x, int y) { return LayerRgb(3, x, y); },
      [](int x, int y) { return LayerRgb(4, x, y); }, [](int x, int y) { return LayerRgb(5, x, y); },
      [](int x, int y) { return LayerRgb(6, x, y); }, [](int x, int y) { return LayerRgb(7, x, y); }};
  for (int i = 0; i < kBackLayers; ++i) layers[i] = keep(make(kLayerSizes[i].w, kLayerSizes[i].h, layerRgb[i], i != 0));
  SDL_Surface* blocks = keep(make(kBlockSheetWidth, kBlockSheetHeight, BlockRgb, true));
  SDL_Surface* charas[2] = {keep(make(kSheetWidth, kSheetHeight, SheetRgb, true)),
                            keep(make(kSheetWidth, kSheetHeight, MirroredSheetRgb, true))};
  SDL_Surface* shots[2] = {keep(make(kShotSheetWidth, kShotSheetHeight, ShotRgb, true)),
                           keep(make(kShotSheetWidth, kShotSheetHeight, MirroredShotRgb, true))};
  SDL_Surface* status = keep(make(kStatusWidth, kStatusHeight, StatusRgb, true));
  SDL_Surface* accessory = keep(make(kAccessoryWidth, kAccessoryHeight, AccessoryRgb, true));
  SDL_Surface* word = keep(make(kWordWidth, kWordHeight, WordRgb, true));
  SDL_Surface* glyphs = keep(make(kGlyphWidth * 10, kGlyphHeight, GlyphRgb, true));
  for (SDL_Surface* s : all)
    if (!s) {
      state.SkipWithError("SDL_CreateRGBSurfaceWithFormat failed");
      for (SDL_Surface* t : all) SDL_FreeSurface(t);
      SDL_FreePalette(display);
      return;
    }
  SDL_SetSurfaceBlendMode(colour, SDL_BLENDMODE_BLEND);
  SDL_Surface* target = direct3d ? aside : screen;
  auto blit = [&](SDL_Surface* src, int sx, int sy, int w, int h, int x, int y) {
    SDL_Rect from{sx, sy, w, h}, to{x, y, w, h};
    SDL_BlitSurface(src, &from, target, &to);
  };
  auto number = [&](int n, int x, int y) {
    int digits[16];
    const int count = DigitsOf(n, digits);
    for (int i = 0; i < count; ++i) blit(glyphs, digits[i] * kGlyphWidth, 0, kGlyphWidth, kGlyphHeight, x + i * 8, y);
  };
  auto layer = [&](int i, int frame) {
    ForEachTile(i, frame, [&](int x, int y, int w, int h, int sx, int sy) { blit(layers[i], sx, sy, w, h, x, y); });
  };
  int frame = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBackLayers - kFrontLayers; ++i) layer(i, frame);
    for (int row = 0; row < kMapRows; ++row)
      for (int column = 0; column < kMapColumns; ++column)
        blit(blocks, BlockSx(column, row), BlockSy(column, row), kCell, kCell, column * kCell, row * kCell);
    for (int i = 0; i < kCharas; ++i) {
      const Sprite sp = SpriteAt(i, frame);
      blit(charas[sp.mirrored], sp.sx, 0, kCell, kCell, sp.x, sp.y);
    }
    for (int i = 0; i < kShots; ++i) {
      const Shot s = ShotAt(i, frame);
      blit(shots[s.mirrored], s.sx, s.sy, kShotCell, kShotCell, s.x, s.y);
    }
    for (int i = kBackLayers - kFrontLayers; i < kBackLayers; ++i) layer(i, frame);
    // The wave: the picture into the work surface, the screen cleared, the rows drawn back moved.
    SDL_BlitSurface(target, nullptr, work, nullptr);
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 16, 16, 16));
    const double turn = kWaves * 3.14159265358979323846 / 180.0, step = 360.0 / kHeight * kWaveLine;
    double sum = 0;
    for (int y = 0; y < kHeight; y += kWaveLine) {
      sum += step;
      const int offset = static_cast<int>(kWaveAmplitude * std::sin(turn * (frame % 360 + sum)));
      SDL_Rect from{0, y, kWidth, kWaveLine}, to{offset, y, kWidth, kWaveLine};
      SDL_BlitSurface(work, &from, target, &to);
    }
    // The status bar, its icons, gauges and numbers, and the timer's digits.
    blit(status, 0, 0, kStatusWidth, kStatusHeight, 0, 0);
    for (int k = 0; k < 5; ++k) blit(accessory, 16 * k, 32, 16, 16, kEntryX[k], 3);
    number(kScoreTotal, kEntryX[0] + 16, 3);
    number(kStageScore, kEntryX[1] + 16, 3);
    for (int k = 2; k < 4; ++k) {
      blit(accessory, (k - 2) * 64, 128, 50, 16, kEntryX[k] + 16, 3);
      blit(accessory, (k - 2) * 64, 144, 40, 16, kEntryX[k] + 16, 3);
    }
    number(kLives, kEntryX[4] + 16, 3);
    int digits[16];
    const int count = DigitsOf(TimerValue(frame), digits);
    for (int i = 0; i < count; ++i)
      blit(word, digits[i] * kDigitCell, kDigitRowY, kDigitCell, kDigitCell, 272 + i * kDigitCell, 24);
    if (indexed) {
      // The screen colour blends the display's palette.
      SDL_Color blended[256];
      const int t = FlashTransparency(frame);
      for (int i = 0; i < 256; ++i) {
        auto mix = [&](Uint8 c, uint32_t to) {
          return static_cast<Uint8>((c * t + static_cast<int>(to) * (255 - t)) / 255);
        };
        blended[i] = {mix(colours[i].r, kFlashRgb >> 16), mix(colours[i].g, kFlashRgb >> 8 & 255),
                      mix(colours[i].b, kFlashRgb & 255), 255};
      }
      SDL_SetPaletteColors(display, blended, 0, 256);
    }
    if (direct3d) {
      // The screen colour blended over the picture, then the picture drawn aside shown.
      SDL_FillRect(colour, nullptr, SDL_MapRGB(colour->format, kFlashRgb >> 16, kFlashRgb >> 8 & 255, kFlashRgb & 255));
      SDL_SetSurfaceAlphaMod(colour, static_cast<Uint8>(255 - FlashTransparency(frame)));
      SDL_BlitSurface(colour, nullptr, target, nullptr);
      SDL_BlitSurface(aside, nullptr, screen, nullptr);
    }
    benchmark::DoNotOptimize(screen->pixels);
    ++frame;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frame), benchmark::Counter::kIsRate);
  for (SDL_Surface* s : all) SDL_FreeSurface(s);
  SDL_FreePalette(display);
}

}  // namespace stage_frame

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
