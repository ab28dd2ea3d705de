// Draw layers and the bitmap-font printf.
#include "media/graphics/layer.h"

#include <algorithm>
#include <cstdarg>
#include <string>

#include "core/log.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/surface.h"

namespace {

struct cTextureKey {
  DDSURFACEDATA* lpSD;
  int bHasCell;
  int x, y;
  int64_t nBase;
};

struct cLayer {
  int bQueue = 1;
  std::vector<DDLAYERDRAW> draws;
  int nSequence = 0;
  int bGroup = 0;
  std::vector<cTextureKey> keys;
};

std::vector<cLayer> g_Layers;

cLayer* CurrentLayer() { return g_Layers.empty() ? nullptr : &g_Layers.back(); }

bool SameJoin(const DDLAYERDRAW& a, const DDLAYERDRAW& b) {
  return a.lpSrc == b.lpSrc && a.lpDst == b.lpDst && a.dwVertexColor == b.dwVertexColor && a.nFlags == b.nFlags &&
         a.nColorOp == b.nColorOp && a.nAlphaOp == b.nAlphaOp && a.nReserved == b.nReserved;
}

std::vector<DDLAYERDRAW> SortedDraws(const cLayer& layer) {
  std::vector<DDLAYERDRAW> draws = layer.draws;
  if (layer.bGroup) {
    std::sort(draws.begin(), draws.end(), [](const DDLAYERDRAW& a, const DDLAYERDRAW& b) {
      return a.nOrder != b.nOrder ? a.nOrder < b.nOrder : a.nIndex < b.nIndex;
    });
  }
  return draws;
}

void DrawJoin(const DDLAYERDRAW* first, size_t n) {
  DDSURFACEDATA* src = first->lpSrc;
  DDSURFACEDATA* dst = first->lpDst;
  if (!src->lpDT || !src->lpDT->lpTexture) return;
  gfx::Device* d = g_lpDevice;
  gfx::VertexBuffer* vb = nullptr;
  gfx::IndexBuffer* ib = nullptr;
  if (gfx::Failed(d->CreateVertexBuffer(static_cast<int>(n * 4 * sizeof(gfx::Vertex)), gfx::kUsageWriteOnly,
                                        gfx::kFvfXyzrhwDiffuseTex1, gfx::Pool::Managed, &vb))) {
    LogPrintf("CreateVertexBuffer Err");
    return;
  }
  void* data = nullptr;
  const float tw = static_cast<float>(src->nTexWidth), th = static_cast<float>(src->nTexHeight);
  if (gfx::Succeeded(vb->Lock(0, 0, &data))) {
    auto* v = static_cast<gfx::Vertex*>(data);
    for (size_t k = 0; k < n; ++k) {
      const DDLAYERDRAW& r = first[k];
      DDMakeQuad(v + 4 * k, r.x, r.y, r.w, r.h, r.dwVertexColor, r.sx / tw, r.sy / th, (r.sx + r.sw) / tw,
                 (r.sy + r.sh) / th);
    }
    vb->Unlock();
  }
  if (gfx::Failed(d->CreateIndexBuffer(static_cast<int>(n * 4 * 2), gfx::kUsageWriteOnly, gfx::Format::Index16,
                                       gfx::Pool::Managed, &ib))) {
    vb->Release();
    return;
  }
  if (gfx::Succeeded(ib->Lock(0, 0, &data))) {
    auto* idx = static_cast<uint16_t*>(data);
    for (size_t i = 0; i < n * 4; ++i) idx[i] = static_cast<uint16_t>(i);
    ib->Unlock();
  }
  if (DDBeginScene() && DDSetTarget(dst)) {
    // An opaque copy of a keyed picture: every rectangle of the join is cleared before any quad of
    // the join is drawn.
    if (first->nFlags == 0 && src->lpDT->bColorKey) {
      for (size_t k = 0; k < n; ++k) DDClearToTransparent(dst, first[k].x, first[k].y, first[k].w, first[k].h);
    }
    d->SetTextureStageState(0, gfx::kTssColorOp, first->nColorOp);
    d->SetTextureStageState(0, gfx::kTssColorArg1, gfx::kTaTexture);
    d->SetTextureStageState(0, gfx::kTssColorArg2, gfx::kTaDiffuse);
    d->SetTextureStageState(0, gfx::kTssAlphaOp, first->nAlphaOp);
    d->SetTextureStageState(0, gfx::kTssAlphaArg1, gfx::kTaTexture);
    d->SetTextureStageState(0, gfx::kTssAlphaArg2, gfx::kTaDiffuse);
    d->SetTexture(0, src->lpDT->lpTexture);
    d->SetStreamSource(0, vb, 0, sizeof(gfx::Vertex));
    d->SetIndices(ib);
    d->SetFVF(gfx::kFvfXyzrhwDiffuseTex1);
    for (size_t k = 0; k < n; ++k) {
      d->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleStrip, 0, static_cast<int>(4 * k), 4, static_cast<int>(4 * k),
                              2);
    }
    d->SetIndices(nullptr);
  }
  DDSetIdleTarget();
  ib->Release();
  vb->Release();
}

}  // namespace

int DDLayerDepth() { return static_cast<int>(g_Layers.size()); }

void DDBeginLayer(int group) {
  if (DDTraceCall("DDBeginLayer", nullptr, nullptr, {double(group)})) return;
  if (!lpDTCon || g_Layers.size() >= kMaxLayers) return;
  cLayer layer;
  layer.bGroup = group;
  g_Layers.push_back(std::move(layer));
}

bool DDLayerQueue(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                  int flags) {
  cLayer* layer = CurrentLayer();
  if (!lpDTCon || !layer || !layer->bQueue) return false;
  int64_t order = 0;
  bool inherited = false;
  if (layer->bGroup) {
    for (const DDLAYERDRAW& r : layer->draws) {
      if ((!r.bCellMatched && r.lpSrc == src) || (r.bCellMatched && r.lpSrc == src && r.sx == sx && r.sy == sy)) {
        order = r.nOrder;
        inherited = true;
        break;
      }
    }
  }
  int cellMatched = 0;
  if (!inherited) {
    order = layer->nSequence++;
    for (const cTextureKey& key : layer->keys) {
      if (key.lpSD != src) continue;
      if (key.bHasCell) {
        if (key.x == sx && key.y == sy) {
          order += key.nBase;
          cellMatched = 1;
        }
      } else {
        order += key.nBase;
      }
    }
  }
  layer->draws.push_back({static_cast<int>(layer->draws.size()), order, dst, src, x, y, w, h, sx, sy, sw, sh, flags,
                          lpDTCon->dwVertexColor, lpDTCon->nColorOp, lpDTCon->nAlphaOp, 0, cellMatched});
  return true;
}

namespace {
void AddKey(DDSURFACEDATA* lpSD, int hasCell, int x, int y) {
  cLayer* layer = CurrentLayer();
  if (!lpDTCon || !layer || !layer->bQueue || !layer->bGroup || !lpSD) return;
  DDFollowAlias(lpSD);
  for (const cTextureKey& k : layer->keys) {
    if (k.lpSD != lpSD) continue;
    if (!k.bHasCell || !hasCell) return;
    if (k.x == x && k.y == y) return;
  }
  layer->keys.push_back({lpSD, hasCell, x, y, static_cast<int64_t>(layer->keys.size() + 1) * kLayerKeyBase});
}
}  // namespace

void DDLayerAddCell(DDSURFACEDATA* lpSD, int x, int y) {
  if (DDTraceCall("DDLayerAddCell", nullptr, lpSD, {double(x), double(y)})) return;
  AddKey(lpSD, 1, x, y);
}
void DDLayerAddTexture(DDSURFACEDATA* lpSD) {
  if (DDTraceCall("DDLayerAddTexture", nullptr, lpSD, {})) return;
  AddKey(lpSD, 0, 0, 0);
}

void DDSuspendLayer() {
  if (DDTraceCall("DDSuspendLayer", nullptr, nullptr, {})) return;
  if (lpDTCon && CurrentLayer()) CurrentLayer()->bQueue = 0;
}
void DDResumeLayer() {
  if (DDTraceCall("DDResumeLayer", nullptr, nullptr, {})) return;
  if (lpDTCon && CurrentLayer()) CurrentLayer()->bQueue = 1;
}

std::vector<DDLAYERDRAW> DDLayerDrawOrder() {
  cLayer* layer = CurrentLayer();
  return layer ? SortedDraws(*layer) : std::vector<DDLAYERDRAW>{};
}

void DDEndLayer() {
  if (DDTraceCall("DDEndLayer", nullptr, nullptr, {})) return;
  if (!lpDTCon || g_Layers.empty()) return;
  cLayer layer = std::move(g_Layers.back());
  g_Layers.pop_back();
  // After the fatal stop the frame is being abandoned: the layer is closed without drawing, so that
  // the stack stays matched with its DDBeginLayer calls.
  if (g_bQuit.load()) return;
  if (!layer.draws.empty()) {
    std::vector<DDLAYERDRAW> draws = SortedDraws(layer);
    size_t i = 0;
    while (i < draws.size()) {
      size_t j = i + 1;
      // 16-bit indices reach 16384 quads: a longer join is drawn in parts.
      while (j < draws.size() && j - i < 16384 && SameJoin(draws[i], draws[j])) ++j;
      DrawJoin(&draws[i], j - i);
      i = j;
    }
  }
}

void DDPrintf(DDSURFACEDATA* dst, int x, int y, int cw, int ch, DDSURFACEDATA* sheet, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatBounded(256, format, args);
  va_end(args);
  DDBeginLayer(0);
  int c = 0;
  for (unsigned char b : text) {
    if (b == '\n') {
      c = 0;
      y += ch;
      continue;
    }
    int row = b >> 4;
    if (b >= 0xA6 && b <= 0xBF) {
      row -= 10;
    } else if (b >= 0xC0 && b <= 0xDD) {
      row -= 4;
    }
    int column = b & 15;
    DDBlt(dst, x + c, y, cw, ch, sheet, column * cw, row * ch, 1);
    c += cw;
    if (c >= g_nDisplayWidth) {
      c = 0;
      y += ch;
    }
  }
  DDEndLayer();
}
