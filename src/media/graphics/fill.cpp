// Fills: palette-number and device-colour rectangles, the Direct3D fill batch, pixels and circles.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/log.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/palette.h"
#include "media/graphics/surface.h"

namespace {

struct cFillRecord {
  DDSURFACEDATA* target;
  int x, y, w, h;
  gfx::Colour colour;
};

bool g_bFillBatch = false;
std::vector<cFillRecord> g_FillRecords;

// Cuts a rectangle to [0, width) x [0, height) on both edges of each axis.
bool ClipRect(int& x, int& y, int& w, int& h, int width, int height) {
  const int right = static_cast<int>(std::max<int64_t>(std::min<int64_t>(int64_t{x} + w, width), 0));
  const int bottom = static_cast<int>(std::max<int64_t>(std::min<int64_t>(int64_t{y} + h, height), 0));
  x = std::max(x, 0);
  y = std::max(y, 0);
  w = right - x;
  h = bottom - y;
  return w > 0 && h > 0;
}

// One axis of a fill on a render target: a start before the target moves to its edge keeping the
// length (so the fill reaches further than asked), a start past it moves back to the far edge, and
// the length is cut to end at the far edge. What is left is drawn as a quad, which the device clips.
void PlaceOnRenderTarget(int& pos, int& len, int size) {
  pos = std::clamp(pos, 0, std::max(size, 0));
  if (int64_t{pos} + len > size) len = size - pos;
}

void FillDirectDraw(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t colour) {
  if (!dst || !dst->lpDD || !dst->lpDD->lpSurface) return;
  if (!ClipRect(x, y, w, h, dst->nWidth, dst->nHeight)) return;
  gfx::Rect r = gfx::MakeRect(x, y, w, h);
  dst->lpDD->lpSurface->Blt(&r, nullptr, nullptr, gfx::kBltColorFill | gfx::kBltWait, colour);
}

void FillPixels(DDSURFACEDATA* dst, int x, int y, int w, int h, gfx::Colour colour) {
  cSurfaceLock lock;
  if (!lock.Lock(dst)) return;
  DDSURFACEDATA* target = lock.Surface();
  const int width = target->nTexWidth, height = target->nTexHeight;
  uint32_t pixel = colour;
  if (g_nDisplayBpp == 16) {
    const DDCHANNELLAYOUT& s = g_SurfaceLayout;
    uint32_t a = (colour >> 24) * s.nAlphaMask / 255;
    uint32_t r = ((colour >> 16) & 255) * s.nRedMask / 255;
    uint32_t g = ((colour >> 8) & 255) * s.nGreenMask / 255;
    uint32_t b = (colour & 255) * s.nBlueMask / 255;
    if (target == &g_BackBufferSD && lpDTCon->fmtBackBuffer == gfx::Format::R5G6B5) {
      const DDCHANNELLAYOUT& d = g_ScreenLayout;
      pixel = r << d.nRedShift | (g * 2) << d.nGreenShift | b << d.nBlueShift;
    } else {
      pixel = a << s.nAlphaShift | r << s.nRedShift | g << s.nGreenShift | b << s.nBlueShift;
    }
  }
  for (int i = std::max(y, 0); i < std::min(y + h, height); ++i) {
    for (int j = std::max(x, 0); j < std::min(x + w, width); ++j) {
      if (g_nDisplayBpp == 16) {
        lock.Row16(i)[j] = static_cast<uint16_t>(pixel);
      } else {
        lock.Row32(i)[j] = pixel;
      }
    }
  }
}

void DrawColouredQuad(DDSURFACEDATA* dst, int x, int y, int w, int h, gfx::Colour colour) {
  gfx::VertexBuffer* vb = dst->lpDT->lpVertexBuffer;
  if (!vb) return;
  void* data = nullptr;
  if (gfx::Failed(vb->Lock(0, 0, &data))) return;
  DDMakeQuad(static_cast<gfx::Vertex*>(data), x, y, w, h, colour, 0, 0, 0, 0);
  vb->Unlock();
  if (!DDBeginScene() || !DDSetTarget(dst)) return;
  gfx::Device* d = g_lpDevice;
  d->SetRenderState(gfx::kRsTextureFactor, colour);
  d->SetTextureStageState(0, gfx::kTssColorOp, gfx::kOpSelectArg2);
  d->SetTextureStageState(0, gfx::kTssColorArg2, gfx::kTaTFactor);
  d->SetTextureStageState(0, gfx::kTssAlphaOp, gfx::kOpSelectArg2);
  d->SetTextureStageState(0, gfx::kTssAlphaArg2, gfx::kTaTFactor);
  d->SetStreamSource(0, vb, 0, sizeof(gfx::Vertex));
  d->SetFVF(gfx::kFvfXyzrhwDiffuseTex1);
  d->DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 2);
  DDSetIdleTarget();
}

void DrawFillRun(size_t first, size_t count) {
  DDSURFACEDATA* target = g_FillRecords[first].target;
  gfx::Device* d = g_lpDevice;
  gfx::VertexBuffer* vb = nullptr;
  gfx::IndexBuffer* ib = nullptr;
  const int bytes = static_cast<int>(count * 4 * sizeof(gfx::Vertex));
  if (gfx::Failed(
          d->CreateVertexBuffer(bytes, gfx::kUsageWriteOnly, gfx::kFvfXyzrhwDiffuseTex1, gfx::Pool::Managed, &vb))) {
    LogPrintf("CreateVertexBuffer Err");
    return;
  }
  void* data = nullptr;
  if (gfx::Succeeded(vb->Lock(0, 0, &data))) {
    auto* v = static_cast<gfx::Vertex*>(data);
    for (size_t k = 0; k < count; ++k) {
      const cFillRecord& r = g_FillRecords[first + k];
      DDMakeQuad(v + 4 * k, r.x, r.y, r.w, r.h, r.colour, 0, 0, static_cast<float>(r.w), static_cast<float>(r.h));
    }
    vb->Unlock();
  }
  if (gfx::Failed(d->CreateIndexBuffer(static_cast<int>(count * 4 * 2), gfx::kUsageWriteOnly, gfx::Format::Index16,
                                       gfx::Pool::Managed, &ib))) {
    vb->Release();
    return;
  }
  if (gfx::Succeeded(ib->Lock(0, 0, &data))) {
    auto* idx = static_cast<uint16_t*>(data);
    for (size_t i = 0; i < count * 4; ++i) idx[i] = static_cast<uint16_t>(i);
    ib->Unlock();
  }
  if (DDBeginScene() && DDSetTarget(target)) {
    d->SetTextureStageState(0, gfx::kTssColorOp, gfx::kOpSelectArg2);
    d->SetTextureStageState(0, gfx::kTssColorArg2, gfx::kTaDiffuse);
    d->SetTextureStageState(0, gfx::kTssAlphaOp, gfx::kOpDisable);
    d->SetTexture(0, g_WorkSD.lpDT ? g_WorkSD.lpDT->lpTexture : nullptr);
    d->SetStreamSource(0, vb, 0, sizeof(gfx::Vertex));
    d->SetIndices(ib);
    d->SetFVF(gfx::kFvfXyzrhwDiffuseTex1);
    for (size_t k = 0; k < count; ++k) {
      d->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleStrip, 0, static_cast<int>(4 * k), 4, static_cast<int>(4 * k),
                              2);
    }
    d->SetIndices(nullptr);
  }
  ib->Release();
  vb->Release();
  DDSetIdleTarget();
}

}  // namespace

void DDFillRect(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t palNum) {
  if (DDTraceCall("DDFillRect", dst, nullptr, {double(x), double(y), double(w), double(h), double(palNum)})) return;
  if (lpDTCon) {
    DDFillRectRGB(dst, x, y, w, h, PalNumToRGB(palNum));
    return;
  }
  FillDirectDraw(dst, x, y, w, h, PalNumToRGB(palNum));
}

void DDFillSurface(DDSURFACEDATA* dst, uint32_t palNum) {
  if (DDTraceCall("DDFillSurface", dst, nullptr, {double(palNum)})) return;
  if (!dst) return;
  DDFillRect(dst, 0, 0, dst->nWidth, dst->nHeight, palNum);
}

// Colour 0 (transparent black, what palette number 0 gives in Direct3D mode) clears a colour-keyed
// target to transparent and draws nothing on any other target, inside a fill batch as well as
// outside one: the batch takes its alpha from the vertex colour, so a transparent colour stays
// transparent there too.
void DDFillRectRGB(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t color) {
  if (!lpDTCon) {
    FillDirectDraw(dst, x, y, w, h, color);
    return;
  }
  if (!dst) return;
  DDFollowAlias(dst);
  DDMapVirtualBackBuffer(dst);
  if (!dst->lpDT || !dst->lpDT->lpSurface) return;
  if (!dst->lpDT->bRenderTarget) {
    FillPixels(dst, x, y, w, h, color);
    return;
  }
  PlaceOnRenderTarget(x, w, dst->nWidth);
  PlaceOnRenderTarget(y, h, dst->nHeight);
  const bool keyed = dst->lpDT->bColorKey && (g_nDisplayBpp == 16 || g_nDisplayBpp == 32);
  const gfx::Colour transparent = dst == &g_BackBufferSD ? DDBackBufferClearColour() : 0;
  if (keyed && color == transparent) {
    if (!DDBeginScene() || !DDSetTarget(dst)) return;
    gfx::Rect r = gfx::MakeRect(x, y, w, h);
    g_lpDevice->Clear(1, &r, gfx::kClearTarget, color, 1.0f, 0);
    DDSetIdleTarget();
    return;
  }
  if (g_bFillBatch) {
    g_FillRecords.push_back({dst, x, y, w, h, color});
    return;
  }
  DrawColouredQuad(dst, x, y, w, h, color);
}

void DDFillSurfaceRGB(DDSURFACEDATA* dst, uint32_t color) {
  if (DDTraceCall("DDFillSurfaceRGB", dst, nullptr, {double(color)})) return;
  if (!dst) return;
  DDFillRectRGB(dst, 0, 0, dst->nWidth, dst->nHeight, color);
}

void DDBeginFillBatch() {
  if (DDTraceCall("DDBeginFillBatch", nullptr, nullptr, {})) return;
  if (!lpDTCon) return;
  g_bFillBatch = true;
  g_FillRecords.clear();
}

int DDEndFillBatch() {
  if (DDTraceCall("DDEndFillBatch", nullptr, nullptr, {})) return 1;
  if (!lpDTCon) return 0;
  g_bFillBatch = false;
  size_t i = 0;
  while (i < g_FillRecords.size()) {
    size_t j = i + 1;
    // 16-bit indices reach 16384 quads: a longer run is drawn in parts.
    while (j < g_FillRecords.size() && j - i < 16384 && g_FillRecords[j].target == g_FillRecords[i].target) ++j;
    DrawFillRun(i, j - i);
    i = j;
  }
  g_FillRecords.clear();
  return 1;
}

void DDReleaseFillBatch() {
  g_bFillBatch = false;
  std::vector<cFillRecord>().swap(g_FillRecords);
}

void DDPutPixel(DDSURFACEDATA* dst, int x, int y, uint32_t palNum) {
  if (!dst || x < 0 || y < 0 || x >= dst->nWidth || y >= dst->nHeight) return;
  if (lpDTCon) {
    DDFillRect(dst, x, y, 1, 1, palNum);
  } else {
    FillDirectDraw(dst, x, y, 1, 1, PalNumToRGB(palNum));
  }
}

void DDCircle(DDSURFACEDATA* dst, int cx, int cy, int r, uint32_t palNum) {
  if (DDTraceCall("DDCircle", dst, nullptr, {double(cx), double(cy), double(r), double(palNum)})) return;
  if (!dst || r < 1) return;
  auto plot = [&](int px, int py) {
    if (lpDTCon) {
      DDFillRect(dst, px, py, 1, 1, palNum);
    } else if (px >= 0 && py >= 0 && px < dst->nWidth && py < dst->nHeight) {
      FillDirectDraw(dst, px, py, 1, 1, PalNumToRGB(palNum));
    }
  };
  int a = 0, b = r, d = 3 - 2 * r;
  while (a <= b) {
    plot(cx + a, cy + b);
    plot(cx - a, cy + b);
    plot(cx + a, cy - b);
    plot(cx - a, cy - b);
    plot(cx + b, cy + a);
    plot(cx - b, cy + a);
    plot(cx + b, cy - a);
    plot(cx - b, cy - a);
    if (d < 0) {
      d += 4 * a + 6;
    } else {
      d += 4 * (a - b) + 10;
      b -= 1;
    }
    a += 1;
  }
}

// Number of fill records waiting in the batch (for tests).
size_t DDFillBatchSize() { return g_FillRecords.size(); }
