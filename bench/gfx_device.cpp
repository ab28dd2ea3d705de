// Frame-rate benchmark of the software graphics device against SDL_BlitSurface.
//
// The representative frame of bench/frame_scene.h (a full-screen background copied opaque, then 300
// colour-keyed 32x32 sprites, half of them from the mirrored sheet) drawn straight through:
//   - the blit personality at 16 and 32 bits (BltFast, source colour key),
//   - the quad personality at 32 bits (textured quads, alpha-blended, keyed texels alpha 0, the
//     mirrored sprites drawn with mirrored texture coordinates from the one sheet),
//   - SDL_BlitSurface at 16 and 32 bits (SDL_SetColorKey, no RLE acceleration) for comparison.
// Each reports frames per second ("fps"); after the run the ratios ours / SDL are printed.
// Targets: ratio >= 1.0 and >= 1000 fps.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include "frame_scene.h"
#include "platform/gfx/d3d_device.h"
#include "platform/gfx/directdraw.h"
#include "platform/gfx/pixel_format.h"

namespace {

using namespace gfx;
using frame_scene::kCell;
using frame_scene::kHeight;
using frame_scene::kSheetHeight;
using frame_scene::kSheetWidth;
using frame_scene::kSprites;
using frame_scene::kWidth;

void FillSurface(Surface* s, uint32_t (*rgb)(int, int)) {
  const Format f = s->GetFormat();
  const int bpp = BytesPerPixel(f);
  for (int y = 0; y < s->Height(); ++y)
    for (int x = 0; x < s->Width(); ++x)
      StorePixel(s->Row(y) + x * bpp, bpp, ArgbToPixel(f, 0xFF000000u | rgb(x, y)) & (bpp == 4 ? 0x00FFFFFF : 0xFFFF));
}

void BlitPersonality(benchmark::State& state, int bits) {
  DirectDraw* dd = nullptr;
  DirectDraw::Create(&dd);
  dd->SetCooperativeLevel(true);
  dd->SetDisplayMode(kWidth, kHeight, bits);
  Surface *primary = nullptr, *back = nullptr, *bg = nullptr, *sheets[2] = {};
  dd->CreatePrimarySurface(1, &primary);
  primary->GetAttachedBackBuffer(&back);
  dd->CreateSurface(kWidth, kHeight, Pool::SystemMem, &bg);
  FillSurface(bg, frame_scene::BackgroundRgb);
  for (int m = 0; m < 2; ++m) {
    dd->CreateSurface(kSheetWidth, kSheetHeight, Pool::SystemMem, &sheets[m]);
    FillSurface(sheets[m], m ? frame_scene::MirroredSheetRgb : frame_scene::SheetRgb);
    sheets[m]->SetColorKey(ArgbToPixel(dd->DisplayFormat(), 0xFF000000u | frame_scene::kKeyRgb) &
                           (bits == 32 ? 0x00FFFFFF : 0xFFFF));
  }
  int frame = 0;
  for (auto _ : state) {
    back->BltFast(0, 0, bg, nullptr, kBltFastNoColorKey);
    for (int i = 0; i < kSprites; ++i) {
      const frame_scene::Sprite sp = frame_scene::SpriteAt(i, frame);
      const Rect r{sp.sx, 0, sp.sx + kCell, kCell};
      back->BltFast(sp.x, sp.y, sheets[sp.mirrored], &r, kBltFastSrcColorKey);
    }
    benchmark::DoNotOptimize(back->Bits());
    ++frame;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frame), benchmark::Counter::kIsRate);
  sheets[1]->Release();
  sheets[0]->Release();
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
  dev->CreateTexture(kSheetWidth, kSheetHeight, 1, 0, Format::A8R8G8B8, Pool::Managed, &sheet);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      reinterpret_cast<uint32_t*>(bg->Level0()->Row(y))[x] = 0xFF000000u | frame_scene::BackgroundRgb(x, y);
  for (int y = 0; y < kSheetHeight; ++y)
    for (int x = 0; x < kSheetWidth; ++x)
      reinterpret_cast<uint32_t*>(sheet->Level0()->Row(y))[x] =
          frame_scene::SheetKeyed(x, y) ? 0u : 0xFF000000u | frame_scene::SheetRgb(x, y);
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
  // One vertex buffer with every quad, rewritten each frame as a draw layer builds it.
  VertexBuffer* vb = nullptr;
  dev->CreateVertexBuffer(static_cast<int>((kSprites + 1) * 4 * sizeof(Vertex)), kUsageWriteOnly, kFvfXyzrhwDiffuseTex1,
                          Pool::Managed, &vb);
  auto quad = [](Vertex* q, int x, int y, int w, int h, float u0, float v0, float u1, float v1) {
    const float l = x - 0.5f, t = y - 0.5f, r = x + w - 0.5f, b = y + h - 0.5f;
    q[0] = {l, t, 0, 1, 0xFFFFFFFF, u0, v0};
    q[1] = {l, b, 0, 1, 0xFFFFFFFF, u0, v1};
    q[2] = {r, t, 0, 1, 0xFFFFFFFF, u1, v0};
    q[3] = {r, b, 0, 1, 0xFFFFFFFF, u1, v1};
  };
  dev->SetStreamSource(0, vb, 0, sizeof(Vertex));
  int frame = 0;
  for (auto _ : state) {
    void* mem = nullptr;
    vb->Lock(0, 0, &mem);
    auto* v = static_cast<Vertex*>(mem);
    quad(v, 0, 0, kWidth, kHeight, 0, 0, kWidth / 1024.0f, kHeight / 512.0f);
    for (int i = 0; i < kSprites; ++i) {
      const frame_scene::Sprite sp = frame_scene::SpriteAt(i, frame);
      const float left = static_cast<float>(sp.sx) / kSheetWidth;
      const float right = static_cast<float>(sp.sx + kCell) / kSheetWidth;
      quad(v + 4 * (i + 1), sp.x, sp.y, kCell, kCell, sp.mirrored ? right : left, 0, sp.mirrored ? left : right, 1);
    }
    vb->Unlock();
    dev->BeginScene();
    dev->SetTexture(0, bg);
    dev->SetRenderState(kRsAlphaBlendEnable, 0);  // the background is copied opaque
    dev->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
    dev->SetRenderState(kRsAlphaBlendEnable, 1);
    dev->SetTexture(0, sheet);
    for (int i = 0; i < kSprites; ++i) dev->DrawPrimitive(PrimitiveType::TriangleStrip, 4 * (i + 1), 2);
    dev->EndScene();
    ++frame;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frame), benchmark::Counter::kIsRate);
  vb->Release();
  bg->Release();
  sheet->Release();
  dev->Release();
  d3d->Release();
}

void BM_Sdl_Blit16(benchmark::State& state) { frame_scene::SdlFrame(state, SDL_PIXELFORMAT_RGB565); }
void BM_Sdl_Blit32(benchmark::State& state) { frame_scene::SdlFrame(state, SDL_PIXELFORMAT_RGB888); }

BENCHMARK(BM_Ours_Blit16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sdl_Blit16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ours_Blit32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sdl_Blit32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ours_Quad32)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  frame_scene::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("BM_Ours_Blit16", "BM_Sdl_Blit16");
  reporter.PrintRatio("BM_Ours_Blit32", "BM_Sdl_Blit32");
  reporter.PrintRatio("BM_Ours_Quad32", "BM_Sdl_Blit32");
  benchmark::Shutdown();
  return 0;
}
