// Frame-rate benchmark of the software graphics device against SDL_BlitSurface.
//
// One representative game frame: a full-screen 640x480 background copied opaque, then 300
// colour-keyed 32x32 sprites from a sprite sheet at scattered positions (some hanging over the
// screen edges). Drawn through:
//   - the blit personality at 16 and 32 bits (BltFast, source colour key),
//   - the quad personality at 32 bits (textured quads, alpha-blended, keyed texels alpha 0),
//   - SDL_BlitSurface at 16 and 32 bits (SDL_SetColorKey, no RLE acceleration) for comparison.
// Each reports frames per second ("fps"); after the run the ratios ours / SDL are printed.
// Targets: ratio >= 1.0 and >= 1000 fps.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/gfx/d3d_device.h"
#include "platform/gfx/directdraw.h"
#include "platform/gfx/pixel_format.h"

namespace {

using namespace gfx;

constexpr int kWidth = 640, kHeight = 480, kSprites = 300, kCell = 32, kSheet = 256;

struct SpritePos {
  int x, y, sx, sy;
};

// Deterministic scattered positions (a small linear congruential sequence).
std::vector<SpritePos> Positions() {
  std::vector<SpritePos> out;
  uint32_t s = 12345;
  auto next = [&s]() { s = s * 1103515245u + 12345u; return (s >> 16) & 0x7FFF; };
  for (int i = 0; i < kSprites; ++i) {
    SpritePos p;
    p.x = static_cast<int>(next() % (kWidth + kCell)) - kCell / 2;
    p.y = static_cast<int>(next() % (kHeight + kCell)) - kCell / 2;
    p.sx = static_cast<int>(next() % (kSheet / kCell)) * kCell;
    p.sy = static_cast<int>(next() % (kSheet / kCell)) * kCell;
    out.push_back(p);
  }
  return out;
}

// Picture contents as ARGB: background opaque gradient; sheet with a transparent ring per cell.
uint32_t BackgroundArgb(int x, int y) { return 0xFF000000u | (x & 255) << 16 | (y & 255) << 8 | ((x + y) & 255); }
bool SheetKeyed(int x, int y) {
  const int cx = x % kCell - 16, cy = y % kCell - 16;
  return cx * cx + cy * cy > 15 * 15;
}
uint32_t SheetArgb(int x, int y) { return 0xFF000000u | (x * 3 & 255) << 16 | (y * 5 & 255) << 8 | 0x40; }
constexpr uint32_t kKeyArgb = 0xFFFF00FF;

void FillSurface(Surface* s, bool sheet) {
  const Format f = s->GetFormat();
  const int bpp = BytesPerPixel(f);
  for (int y = 0; y < s->Height(); ++y)
    for (int x = 0; x < s->Width(); ++x) {
      const uint32_t argb = sheet ? (SheetKeyed(x, y) ? kKeyArgb : SheetArgb(x, y)) : BackgroundArgb(x, y);
      StorePixel(s->Row(y) + x * bpp, bpp, ArgbToPixel(f, argb) & (bpp == 4 ? 0x00FFFFFF : 0xFFFF));
    }
}

void BlitPersonality(benchmark::State& state, int bits) {
  DirectDraw* dd = nullptr;
  DirectDraw::Create(&dd);
  dd->SetCooperativeLevel(true);
  dd->SetDisplayMode(kWidth, kHeight, bits);
  Surface *primary = nullptr, *back = nullptr, *bg = nullptr, *sheet = nullptr;
  dd->CreatePrimarySurface(1, &primary);
  primary->GetAttachedBackBuffer(&back);
  dd->CreateSurface(kWidth, kHeight, Pool::SystemMem, &bg);
  dd->CreateSurface(kSheet, kSheet, Pool::SystemMem, &sheet);
  FillSurface(bg, false);
  FillSurface(sheet, true);
  sheet->SetColorKey(ArgbToPixel(dd->DisplayFormat(), kKeyArgb) & (bits == 32 ? 0x00FFFFFF : 0xFFFF));
  const auto pos = Positions();
  for (auto _ : state) {
    back->BltFast(0, 0, bg, nullptr, kBltFastNoColorKey);
    for (const SpritePos& p : pos) {
      const Rect r{p.sx, p.sy, p.sx + kCell, p.sy + kCell};
      back->BltFast(p.x, p.y, sheet, &r, kBltFastSrcColorKey);
    }
    benchmark::DoNotOptimize(back->Bits());
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  sheet->Release();
  bg->Release();
  back->Release();
  primary->Release();
  dd->Release();
}

void BM_Ours_Blit16(benchmark::State& state) { BlitPersonality(state, 16); }
void BM_Ours_Blit32(benchmark::State& state) { BlitPersonality(state, 32); }

void BM_Ours_Quad32(benchmark::State& state) {
  Direct3D* d3d = Direct3D::Create();
  PresentParams pp;
  pp.backBufferWidth = kWidth;
  pp.backBufferHeight = kHeight;
  pp.backBufferFormat = Format::X8R8G8B8;
  Device* dev = nullptr;
  d3d->CreateDevice(true, &pp, &dev);
  Texture *bg = nullptr, *sheet = nullptr;
  dev->CreateTexture(1024, 512, 1, 0, Format::A8R8G8B8, Pool::Managed, &bg);
  dev->CreateTexture(kSheet, kSheet, 1, 0, Format::A8R8G8B8, Pool::Managed, &sheet);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) reinterpret_cast<uint32_t*>(bg->Level0()->Row(y))[x] = BackgroundArgb(x, y);
  for (int y = 0; y < kSheet; ++y)
    for (int x = 0; x < kSheet; ++x)
      reinterpret_cast<uint32_t*>(sheet->Level0()->Row(y))[x] = SheetKeyed(x, y) ? 0u : SheetArgb(x, y);
  // The game's draw state: cull none, blending source alpha, modulate by white, texture alpha.
  dev->SetRenderState(kRsCullMode, kCullNone);
  dev->SetRenderState(kRsAlphaBlendEnable, 1);
  dev->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
  dev->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
  dev->SetTextureStageState(0, kTssColorOp, kOpModulate);
  dev->SetTextureStageState(0, kTssColorArg1, kTaTexture);
  dev->SetTextureStageState(0, kTssColorArg2, kTaDiffuse);
  dev->SetTextureStageState(0, kTssAlphaOp, kOpSelectArg1);
  dev->SetTextureStageState(0, kTssAlphaArg1, kTaTexture);
  dev->SetFVF(kFvfXyzrhwDiffuseTex1);
  // One vertex buffer with every quad, as a draw layer builds it.
  const auto pos = Positions();
  VertexBuffer* vb = nullptr;
  dev->CreateVertexBuffer(static_cast<int>((pos.size() + 1) * 4 * sizeof(Vertex)), kUsageWriteOnly,
                          kFvfXyzrhwDiffuseTex1, Pool::Managed, &vb);
  void* mem = nullptr;
  vb->Lock(0, 0, &mem);
  auto* v = static_cast<Vertex*>(mem);
  auto quad = [](Vertex* q, int x, int y, int w, int h, int sx, int sy, float tw, float th) {
    const float l = x - 0.5f, t = y - 0.5f, r = x + w - 0.5f, b = y + h - 0.5f;
    q[0] = {l, t, 0, 1, 0xFFFFFFFF, sx / tw, sy / th};
    q[1] = {l, b, 0, 1, 0xFFFFFFFF, sx / tw, (sy + h) / th};
    q[2] = {r, t, 0, 1, 0xFFFFFFFF, (sx + w) / tw, sy / th};
    q[3] = {r, b, 0, 1, 0xFFFFFFFF, (sx + w) / tw, (sy + h) / th};
  };
  quad(v, 0, 0, kWidth, kHeight, 0, 0, 1024, 512);
  for (size_t i = 0; i < pos.size(); ++i)
    quad(v + 4 * (i + 1), pos[i].x, pos[i].y, kCell, kCell, pos[i].sx, pos[i].sy, kSheet, kSheet);
  vb->Unlock();
  dev->SetStreamSource(0, vb, 0, sizeof(Vertex));
  for (auto _ : state) {
    dev->BeginScene();
    dev->SetTexture(0, bg);
    dev->SetRenderState(kRsAlphaBlendEnable, 0);  // the background is copied opaque
    dev->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
    dev->SetRenderState(kRsAlphaBlendEnable, 1);
    dev->SetTexture(0, sheet);
    for (size_t i = 0; i < pos.size(); ++i) dev->DrawPrimitive(PrimitiveType::TriangleStrip, static_cast<int>(4 * (i + 1)), 2);
    dev->EndScene();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  vb->Release();
  bg->Release();
  sheet->Release();
  dev->Release();
  d3d->Release();
}

void SdlFrame(benchmark::State& state, Uint32 format) {
  SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 0, format);
  SDL_Surface* bg = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 0, format);
  SDL_Surface* sheet = SDL_CreateRGBSurfaceWithFormat(0, kSheet, kSheet, 0, format);
  auto fill = [](SDL_Surface* s, bool isSheet) {
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) {
        const uint32_t argb = isSheet ? (SheetKeyed(x, y) ? kKeyArgb : SheetArgb(x, y)) : BackgroundArgb(x, y);
        const Uint32 px = SDL_MapRGB(s->format, argb >> 16 & 255, argb >> 8 & 255, argb & 255);
        auto* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
        if (s->format->BytesPerPixel == 2) reinterpret_cast<Uint16*>(row)[x] = static_cast<Uint16>(px);
        else reinterpret_cast<Uint32*>(row)[x] = px;
      }
  };
  fill(bg, false);
  fill(sheet, true);
  SDL_SetColorKey(sheet, SDL_TRUE, SDL_MapRGB(sheet->format, 255, 0, 255));
  const auto pos = Positions();
  for (auto _ : state) {
    SDL_BlitSurface(bg, nullptr, screen, nullptr);
    for (const SpritePos& p : pos) {
      SDL_Rect src{p.sx, p.sy, kCell, kCell}, dst{p.x, p.y, kCell, kCell};
      SDL_BlitSurface(sheet, &src, screen, &dst);
    }
    benchmark::DoNotOptimize(screen->pixels);
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  SDL_FreeSurface(sheet);
  SDL_FreeSurface(bg);
  SDL_FreeSurface(screen);
}

void BM_Sdl_Blit16(benchmark::State& state) { SdlFrame(state, SDL_PIXELFORMAT_RGB565); }
void BM_Sdl_Blit32(benchmark::State& state) { SdlFrame(state, SDL_PIXELFORMAT_RGB888); }

BENCHMARK(BM_Ours_Blit16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sdl_Blit16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ours_Blit32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sdl_Blit32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ours_Quad32)->Unit(benchmark::kMicrosecond);

// Prints the usual table and remembers each benchmark's seconds per frame for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.iterations > 0) secondsPerFrame[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  std::map<std::string, double> secondsPerFrame;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const char* ours, const char* sdl) {
    const auto a = reporter.secondsPerFrame.find(ours), b = reporter.secondsPerFrame.find(sdl);
    if (a == reporter.secondsPerFrame.end() || b == reporter.secondsPerFrame.end() || a->second <= 0) return;
    std::printf("%-16s %8.0f fps   %-14s %8.0f fps   ratio %.2f\n", ours, 1e6 / a->second, sdl, 1e6 / b->second,
                b->second / a->second);
  };
  ratio("BM_Ours_Blit16", "BM_Sdl_Blit16");
  ratio("BM_Ours_Blit32", "BM_Sdl_Blit32");
  ratio("BM_Ours_Quad32", "BM_Sdl_Blit32");
  benchmark::Shutdown();
  return 0;
}
