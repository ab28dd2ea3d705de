// Blits: clipping, the DirectDraw copies, Direct3D quads and the pixel-copy fallback.
#include "media/graphics/blit.h"

#include <algorithm>
#include <cstdlib>

#include "core/log.h"
#include "media/graphics/bitmap_copy.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/layer.h"
#include "media/graphics/palette.h"
#include "media/graphics/pixel_rules.h"
#include "media/graphics/surface.h"

namespace {

// Cuts one axis of a same-size copy: the source rectangle to its surface first, then the
// destination. A source cut does not move the destination (the picture lands shifted, as games
// expect); a destination left of or above its surface moves the source start by as much, and only
// a destination that starts inside may have its far edge cut. Whatever still reaches past the
// destination is clipped by the device when drawn.
bool ClipSameSizeAxis(int& dstPos, int& srcPos, int& len, int srcSize, int dstSize) {
  int64_t first = std::max<int64_t>(srcPos, 0);
  int64_t last = std::min<int64_t>(int64_t{srcPos} + len, srcSize);
  if (dstPos < 0) {
    first -= dstPos;
    dstPos = 0;
  } else if (dstPos + (last - first) > dstSize) {
    last = first + dstSize - dstPos;
  }
  if (last - first <= 0) return false;
  srcPos = static_cast<int>(first);
  len = static_cast<int>(last - first);
  return true;
}

// Cuts the source extent of a scaled copy to its surface, keeping the direction of a mirrored
// (negative) extent; the destination length shrinks by the share cut away.
bool ClipScaledSourceAxis(int& srcPos, int& srcLen, int& dstLen, int srcSize) {
  int lo = std::min(srcPos, srcPos + srcLen);
  int hi = std::max(srcPos, srcPos + srcLen);
  int full = hi - lo;
  int cutLo = std::max(lo, 0);
  int cutHi = std::min(hi, srcSize);
  int kept = cutHi - cutLo;
  if (kept <= 0 || full <= 0) return false;
  if (kept != full) dstLen = static_cast<int>(static_cast<int64_t>(dstLen) * kept / full);
  if (srcLen > 0) {
    srcPos = cutLo;
    srcLen = kept;
  } else {
    srcPos = cutHi;
    srcLen = -kept;
  }
  return true;
}

// DirectDraw: cuts a scaled copy's destination extent to its surface.
bool ClipScaledDestAxis(int& dstPos, int& dstLen, int& srcPos, int& srcLen, int dstSize) {
  if (dstPos < 0) {
    if (dstPos + dstLen <= 0 || dstLen == 0) return false;
    int cut = static_cast<int>(static_cast<double>(-dstPos) / dstLen * srcLen);
    srcPos += cut;
    srcLen -= cut;
    dstLen += dstPos;
    dstPos = 0;
  }
  if (dstPos + dstLen > dstSize) {
    if (dstPos >= dstSize) return false;
    srcLen = static_cast<int>(static_cast<double>(dstSize - dstPos) / dstLen * srcLen);
    dstLen = dstSize - dstPos;
  }
  return true;
}

// The 1:1 case of CopyPixels: the rectangle is cut to both surfaces once, then whole rows are
// copied. A 16-bit source pixel is transparent when its alpha bit and top red bit (0xA000) are both
// clear; a 32-bit one when its alpha is 0.
void CopySameSize(cSurfaceLock& dstLock, int x, int y, int w, int h, cSurfaceLock& srcLock, int sx, int sy, bool keyed,
                  bool screen, int dstW, int dstH, int srcW, int srcH) {
  const int j0 = std::max({0, -x, -sx}), j1 = std::min({w, dstW - x, srcW - sx});
  const int i0 = std::max({0, -y, -sy}), i1 = std::min({h, dstH - y, srcH - sy});
  if (j0 >= j1 || i0 >= i1) return;
  const int n = j1 - j0;
  if (g_nDisplayBpp == 16) {
    const DDCHANNELLAYOUT s = g_SurfaceLayout, d = g_ScreenLayout;
    for (int i = i0; i < i1; ++i) {
      const uint16_t* from = srcLock.Row16(sy + i) + sx + j0;
      uint16_t* to = dstLock.Row16(y + i) + x + j0;
      if (!screen && !keyed) {  // element by element: a copy inside one surface reads as before
        for (int j = 0; j < n; ++j) to[j] = from[j];
        continue;
      }
      for (int j = 0; j < n; ++j) {
        const uint16_t p = from[j];
        if (keyed && (p & 0xA000) == 0) continue;
        if (!screen) {
          to[j] = p;
          continue;
        }
        const uint32_t r = (p >> s.nRedShift) & s.nRedMask;
        const uint32_t g = (p >> s.nGreenShift) & s.nGreenMask;
        const uint32_t b = (p >> s.nBlueShift) & s.nBlueMask;
        to[j] = static_cast<uint16_t>(r << d.nRedShift | (g * 2) << d.nGreenShift | b << d.nBlueShift);
      }
    }
    return;
  }
  for (int i = i0; i < i1; ++i) {
    const uint32_t* from = srcLock.Row32(sy + i) + sx + j0;
    uint32_t* to = dstLock.Row32(y + i) + x + j0;
    if (!keyed) {
      for (int j = 0; j < n; ++j) to[j] = from[j];
      continue;
    }
    for (int j = 0; j < n; ++j)
      if ((from[j] >> 24) != 0) to[j] = from[j];
  }
}

// The pixel-copy path of a Direct3D blit: the destination is not a render target or the source
// lives in system memory.
void CopyPixels(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                int flags) {
  cSurfaceLock dstLock;
  if (!dstLock.Lock(dst)) return;
  cSurfaceLock srcLock;
  if (!srcLock.Lock(src)) return;
  const int dstW = dst->nTexWidth, dstH = dst->nTexHeight;
  const int srcW = src->nTexWidth, srcH = src->nTexHeight;
  const bool sameSize = sw == w && sh == h;
  const bool screen = DDIsScreenLayoutTarget(dst);
  if (sameSize) {
    CopySameSize(dstLock, x, y, w, h, srcLock, sx, sy, flags == 1, screen, dstW, dstH, srcW, srcH);
    srcLock.Unlock();
    dstLock.Unlock();
    return;
  }
  const float ratioX = static_cast<float>(sw) / static_cast<float>(w);
  const float ratioY = static_cast<float>(sh) / static_cast<float>(h);
  for (int i = 0; i < h; ++i) {
    const int dy = y + i;
    if (dy < 0 || dy >= dstH) continue;
    int syi;
    if (sameSize) {
      syi = sy + i;
    } else {
      int k = static_cast<int>(static_cast<float>(i) * ratioY);
      if (sh < 0) {
        if (!(sh < k && k <= 0)) continue;
        k -= 1;
      }
      syi = sy + k;
    }
    if (syi < 0 || syi >= srcH) continue;
    for (int j = 0; j < w; ++j) {
      const int dx = x + j;
      if (dx < 0 || dx >= dstW) continue;
      int sxj;
      if (sameSize) {
        sxj = sx + j;
      } else {
        int k = static_cast<int>(static_cast<float>(j) * ratioX);
        if (sw < 0) {
          if (!(sw < k && k <= 0)) continue;
          k -= 1;
        }
        sxj = sx + k;
      }
      if (sxj < 0 || sxj >= srcW) continue;
      if (g_nDisplayBpp == 16) {
        uint16_t p = srcLock.Row16(syi)[sxj];
        // The transparent test looks at the alpha bit and the top red bit together.
        if (flags == 1 && (p & 0xA000) == 0) continue;
        dstLock.Row16(dy)[dx] = screen ? DDSurfaceToScreen16(p) : p;
      } else {
        uint32_t p = srcLock.Row32(syi)[sxj];
        if (flags == 1 && (sameSize ? (p >> 24) == 0 : p < 0x01000000u)) continue;
        dstLock.Row32(dy)[dx] = p;
      }
    }
  }
  srcLock.Unlock();
  dstLock.Unlock();
}

void DrawQuad(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
              int flags) {
  DTSURFACEDATA* sdt = src->lpDT;
  if (!sdt->lpVertexBuffer || !sdt->lpTexture) return;
  void* data = nullptr;
  if (gfx::Failed(sdt->lpVertexBuffer->Lock(0, 0, &data))) return;
  const float tw = static_cast<float>(src->nTexWidth), th = static_cast<float>(src->nTexHeight);
  DDMakeQuad(static_cast<gfx::Vertex*>(data), x, y, w, h, lpDTCon->dwVertexColor, sx / tw, sy / th, (sx + sw) / tw,
             (sy + sh) / th);
  sdt->lpVertexBuffer->Unlock();
  if (!DDBeginScene() || !DDSetTarget(dst)) return;
  if (flags == 0 && sdt->bColorKey) DDClearToTransparent(dst, x, y, w, h);
  DDSetQuadStage(lpDTCon->nColorOp, lpDTCon->nAlphaOp);
  DDDrawSourceBuffer(sdt);
  DDSetIdleTarget();
}

}  // namespace

void DDMakeQuad(gfx::Vertex* v, int x, int y, int w, int h, gfx::Colour diffuse, float u0, float v0, float u1,
                float v1) {
  const float left = static_cast<float>(x) - 0.5f, top = static_cast<float>(y) - 0.5f;
  const float right = static_cast<float>(x + w) - 0.5f, bottom = static_cast<float>(y + h) - 0.5f;
  v[0] = {left, top, 0, 1, diffuse, u0, v0};
  v[1] = {left, bottom, 0, 1, diffuse, u0, v1};
  v[2] = {right, top, 0, 1, diffuse, u1, v0};
  v[3] = {right, bottom, 0, 1, diffuse, u1, v1};
}

void DDClearToTransparent(DDSURFACEDATA* dst, int x, int y, int w, int h) {
  gfx::Rect r = gfx::MakeRect(x, y, w, h);
  gfx::Colour colour = dst == &g_BackBufferSD ? DDBackBufferClearColour() : 0;
  g_lpDevice->Clear(1, &r, gfx::kClearTarget, colour, 1.0f, 0);
}

bool DDClipBlit(DDSURFACEDATA* dst, int& x, int& y, int& w, int& h, DDSURFACEDATA* src, int& sx, int& sy, int& sw,
                int& sh) {
  if (w <= 0 || h <= 0 || sw == 0 || sh == 0) return false;
  if (sw == w && sh == h) {
    if (!ClipSameSizeAxis(x, sx, w, src->nWidth, dst->nWidth)) return false;
    if (!ClipSameSizeAxis(y, sy, h, src->nHeight, dst->nHeight)) return false;
    sw = w;
    sh = h;
    return true;
  }
  if (!lpDTCon) {
    // Mirrored extents exist only in Direct3D mode.
    if (sw < 0 || sh < 0) return false;
  }
  if (!ClipScaledSourceAxis(sx, sw, w, src->nWidth)) return false;
  if (!ClipScaledSourceAxis(sy, sh, h, src->nHeight)) return false;
  if (!lpDTCon) {
    if (!ClipScaledDestAxis(x, w, sx, sw, dst->nWidth)) return false;
    if (!ClipScaledDestAxis(y, h, sy, sh, dst->nHeight)) return false;
  }
  return sw != 0 && sh != 0 && w > 0 && h > 0;
}

void DDBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags) {
  if (DDTraceCall("DDBlt", dst, src,
                  {double(x), double(y), double(w), double(h), double(sx), double(sy), double(flags)}))
    return;
  if (lpDTCon) {
    DDBltStretch(dst, x, y, w, h, src, sx, sy, w, h, flags);
    return;
  }
  if (!dst || !src || !dst->lpDD || !src->lpDD || !dst->lpDD->lpSurface || !src->lpDD->lpSurface) return;
  int sw = w, sh = h;
  if (!DDClipBlit(dst, x, y, w, h, src, sx, sy, sw, sh)) return;
  gfx::Rect r = gfx::MakeRect(sx, sy, sw, sh);
  dst->lpDD->lpSurface->BltFast(x, y, src->lpDD->lpSurface, &r,
                                (flags == 1 ? gfx::kBltFastSrcColorKey : gfx::kBltFastNoColorKey) | gfx::kBltFastWait);
}

int DDBltStretch(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                 int flags) {
  if (DDTraceCall(
          "DDBltStretch", dst, src,
          {double(x), double(y), double(w), double(h), double(sx), double(sy), double(sw), double(sh), double(flags)}))
    return 1;
  if (g_bQuit.load()) return 0;
  if (!dst || !src) return 0;
  DDMirrorSource(src, sx, sy, sw, sh);
  if (!lpDTCon) {
    if (!dst->lpDD || !src->lpDD || !dst->lpDD->lpSurface || !src->lpDD->lpSurface) return 0;
    if (!DDClipBlit(dst, x, y, w, h, src, sx, sy, sw, sh)) return 0;
    gfx::Rect dr = gfx::MakeRect(x, y, w, h);
    gfx::Rect sr = gfx::MakeRect(sx, sy, sw, sh);
    dst->lpDD->lpSurface->Blt(&dr, src->lpDD->lpSurface, &sr, gfx::kBltWait | (flags == 1 ? gfx::kBltKeySrc : 0));
    return 1;
  }
  DDFollowAlias(dst);
  DDFollowAlias(src);
  if (lpDTCon->bCopyingVirtual) {
    dst = &g_BackBufferSD;
    src = &g_VirBackBufferSD;
  } else {
    DDMapVirtualBackBuffer(dst);
    DDMapVirtualBackBuffer(src);
  }
  if (!dst->lpDT || !src->lpDT) return 0;
  // A slot whose texture could not be made draws nothing.
  if (!src->lpDT->lpTexture || !dst->lpDT->lpSurface) return 0;
  if (dst->lpDT->bRenderTarget && src->lpDT->nMemoryKind != DTMEMORYTYPE_SYSTEM) {
    if (!DDClipBlit(dst, x, y, w, h, src, sx, sy, sw, sh)) return 0;
    if (DDLayerQueue(dst, x, y, w, h, src, sx, sy, sw, sh, flags)) return 1;
    DrawQuad(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
    return 1;
  }
  if (w <= 0 || h <= 0 || sw == 0 || sh == 0) return 0;
  CopyPixels(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
  return 1;
}

void DDBltAlpha(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                DDALPHA alpha) {
  if (DDTraceCall("DDBltAlpha", dst, src,
                  {double(x), double(y), double(w), double(h), double(sx), double(sy), double(flags),
                   double(alpha.nAlpha), double(alpha.nBlendMode)}))
    return;
  if (lpDTCon) {
    DDBltStretchAlpha(dst, x, y, w, h, src, sx, sy, w, h, flags, alpha);
  } else {
    DDBlt(dst, x, y, w, h, src, sx, sy, flags);
  }
}

void DDBltStretchAlpha(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw,
                       int sh, int flags, DDALPHA alpha) {
  if (DDTraceCall("DDBltStretchAlpha", dst, src,
                  {double(x), double(y), double(w), double(h), double(sx), double(sy), double(sw), double(sh),
                   double(flags), double(alpha.nAlpha), double(alpha.nBlendMode)}))
    return;
  if (!lpDTCon) {
    DDBltStretch(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
    return;
  }
  DDSetAlpha(static_cast<gfx::Colour>(alpha.nAlpha));
  DDSetBlendMode(alpha.nBlendMode);
  DDBltStretch(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
  DDResetAlpha();
  DDResetBlendMode();
}
