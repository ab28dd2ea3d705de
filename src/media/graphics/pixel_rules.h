#pragma once
// What every drawing routine that touches pixels itself shares: the 16-bit channel arithmetic of
// the surface and screen layouts, the transparent test of each back end, the colour a blend pair
// adds to a pixel, and which Direct3D draws are made as a textured quad instead of through locked
// pixels. Used inside the graphics layer only.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/surface.h"

// The colour operation of a blend pair whose colour is added to each pixel drawn (Direct3D ADD).
constexpr int kBlendOpAdd = 7;

// The Direct3D 16-bit back buffer of a full-screen display: pixels written straight into it use the
// screen layout (R5G6B5) instead of the surfaces' A1R5G5B5.
inline bool DDIsScreenLayoutTarget(const DDSURFACEDATA* dst) {
  return lpDTCon && g_nDisplayBpp == 16 && dst == &g_BackBufferSD && lpDTCon->fmtBackBuffer == gfx::Format::R5G6B5;
}

// A value of a field with maximum `mask` widened to 0-255, and back (integer division).
inline uint32_t DDWidenField(uint32_t v, int mask) { return mask > 0 ? v * 255 / static_cast<uint32_t>(mask) : 0; }
inline uint32_t DDNarrowField(uint32_t v, int mask) { return v * static_cast<uint32_t>(mask) / 255; }

// The red, green and blue fields of a 16-bit pixel in a layout, and a pixel made of three fields
// (other bits 0).
struct DDFIELDS {
  uint32_t r, g, b;
};
inline DDFIELDS DDSplit16(uint32_t p, const DDCHANNELLAYOUT& l) {
  return {(p >> l.nRedShift) & static_cast<uint32_t>(l.nRedMask),
          (p >> l.nGreenShift) & static_cast<uint32_t>(l.nGreenMask),
          (p >> l.nBlueShift) & static_cast<uint32_t>(l.nBlueMask)};
}
inline uint16_t DDCompose16(const DDFIELDS& f, const DDCHANNELLAYOUT& l) {
  return static_cast<uint16_t>(f.r << l.nRedShift | f.g << l.nGreenShift | f.b << l.nBlueShift);
}
// The red, green and blue bytes (2, 1, 0) of a 32-bit pixel, and a pixel made of them and a byte 3.
inline DDFIELDS DDSplit32(uint32_t p) { return {(p >> 16) & 255, (p >> 8) & 255, p & 255}; }
inline uint32_t DDCompose32(const DDFIELDS& f, uint32_t top) { return top << 24 | f.r << 16 | f.g << 8 | f.b; }

// A Direct3D 16-bit surface pixel moved into the screen layout: its fields with green doubled (5-bit
// texture green to 6-bit screen green).
inline uint16_t DDSurfaceToScreen16(uint32_t p) {
  DDFIELDS f = DDSplit16(p, g_SurfaceLayout);
  f.g *= 2;
  return DDCompose16(f, g_ScreenLayout);
}

// Whether a source pixel is transparent for a keyed effect: Direct3D 16 bits when bits 15 and 13
// are both clear, Direct3D 32 bits when its alpha is 0, DirectDraw when it is the colour-key value.
inline bool DDIsKeyedOut(uint32_t p) {
  if (!lpDTCon) return p == g_dwColorKey;
  if (g_nDisplayBpp == 16) return (p & 0xA000) == 0;
  return (p >> 24) == 0;
}

// A Direct3D pixel with the colour of a blend pair whose operation is ADD added, channel by channel,
// clamped at the field maximum (16 bits: the colour's bytes narrowed to the fields first; the result
// gets its alpha bit). Other pairs, and no pair, leave the pixel as it is.
inline uint32_t DDAddPairColour(uint32_t p, const DDALPHA* pair) {
  if (!pair || pair->nBlendMode != kBlendOpAdd) return p;
  const uint32_t colour = static_cast<uint32_t>(pair->nAlpha);
  const DDFIELDS c = DDSplit32(colour);
  if (g_nDisplayBpp == 16) {
    const DDCHANNELLAYOUT& l = g_SurfaceLayout;
    const DDFIELDS f = DDSplit16(p, l);
    const DDFIELDS sum = {std::min(f.r + DDNarrowField(c.r, l.nRedMask), static_cast<uint32_t>(l.nRedMask)),
                          std::min(f.g + DDNarrowField(c.g, l.nGreenMask), static_cast<uint32_t>(l.nGreenMask)),
                          std::min(f.b + DDNarrowField(c.b, l.nBlueMask), static_cast<uint32_t>(l.nBlueMask))};
    return DDCompose16(sum, l) | static_cast<uint32_t>(l.nAlphaMask) << l.nAlphaShift;
  }
  const DDFIELDS f = DDSplit32(p);
  return DDCompose32({std::min(f.r + c.r, 255u), std::min(f.g + c.g, 255u), std::min(f.b + c.b, 255u)}, p >> 24);
}

// The two surfaces of a per-pixel effect as the back end draws them: in Direct3D mode each record
// that draws from another one's texture is replaced by it, and BackBuffer by VirBackBuffer while the
// virtual back buffer is on.
inline void DDResolveEffectSurfaces(DDSURFACEDATA*& dst, DDSURFACEDATA*& src) {
  if (!lpDTCon) return;
  DDFollowAlias(dst);
  DDMapVirtualBackBuffer(dst);
  DDFollowAlias(src);
  DDMapVirtualBackBuffer(src);
}

// Direct3D draws an effect as one textured quad when the destination is a render target and the
// source is not a system-memory texture; every other case works on locked pixels.
inline bool DDEffectUsesQuad(const DDSURFACEDATA* dst, const DDSURFACEDATA* src) {
  return lpDTCon && dst->lpDT && dst->lpDT->bRenderTarget && src->lpDT && src->lpDT->nMemoryKind != DTMEMORYTYPE_SYSTEM;
}

// Draws an effect as one textured quad: the four vertices (strip order: top-left, bottom-left,
// top-right, bottom-right) go into the source's own vertex buffer and are drawn with its texture on
// dst, then the idle render target is put back. The caller sets texture stage 0 first. False, drawing
// nothing, when the buffer cannot be locked, the scene cannot begin or dst cannot be the target.
bool DDDrawEffectQuad(DDSURFACEDATA* dst, DDSURFACEDATA* src, const gfx::Vertex (&vertices)[4]);
// Draws the four vertices in a source's vertex buffer with its texture on the current target.
void DDDrawSourceBuffer(const DTSURFACEDATA* sdt);

// The traced arguments of an effect: its numbers, then the blend pair's two values when it has one.
inline std::vector<double> DDTraceArgsWithPair(std::initializer_list<double> args, const DDALPHA* pair) {
  std::vector<double> out(args);
  if (pair) {
    out.push_back(pair->nAlpha);
    out.push_back(pair->nBlendMode);
  }
  return out;
}

// Texture stage 0 of a textured quad: the colour and alpha operations, each of the texture and the
// vertex colour.
inline void DDSetQuadStage(int colourOp, int alphaOp) {
  gfx::Device* d = g_lpDevice;
  d->SetTextureStageState(0, gfx::kTssColorOp, colourOp);
  d->SetTextureStageState(0, gfx::kTssColorArg1, gfx::kTaTexture);
  d->SetTextureStageState(0, gfx::kTssColorArg2, gfx::kTaDiffuse);
  d->SetTextureStageState(0, gfx::kTssAlphaOp, alphaOp);
  d->SetTextureStageState(0, gfx::kTssAlphaArg1, gfx::kTaTexture);
  d->SetTextureStageState(0, gfx::kTssAlphaArg2, gfx::kTaDiffuse);
}

// Whether a pixel position lies inside a surface's picture.
inline bool DDInsideSurface(const DDSURFACEDATA* sd, int64_t x, int64_t y) {
  return x >= 0 && y >= 0 && x < sd->nWidth && y < sd->nHeight;
}

// The offsets [first, last) of a run of len pixels for which both dstPos + offset and srcPos + offset
// lie inside their surfaces (sizes dstSize and srcSize); false when there are none.
inline bool DDClipRun(int64_t dstPos, int64_t srcPos, int64_t len, int dstSize, int srcSize, int& first, int& last) {
  const int64_t lo = std::max<int64_t>({0, -dstPos, -srcPos});
  const int64_t hi = std::min<int64_t>({len, dstSize - dstPos, srcSize - srcPos});
  if (lo >= hi) return false;
  first = static_cast<int>(lo);
  last = static_cast<int>(hi);
  return true;
}

// The destination and the source of an effect locked for pixel access, the destination first (one
// lock when both are the same surface); released in reverse order.
class cEffectLocks {
 public:
  cEffectLocks(DDSURFACEDATA* dst, DDSURFACEDATA* src) {
    if (!m_Dst.Lock(dst)) return;
    if (src == dst) {
      m_bSame = true;
      return;
    }
    m_Src.Lock(src);
  }
  ~cEffectLocks() {
    m_Src.Unlock();
    m_Dst.Unlock();
  }
  cEffectLocks(const cEffectLocks&) = delete;
  cEffectLocks& operator=(const cEffectLocks&) = delete;
  bool Ok() const { return m_Dst.IsLocked() && (m_bSame || m_Src.IsLocked()); }
  bool IsDstLocked() const { return m_Dst.IsLocked(); }
  cSurfaceLock& Dst() { return m_Dst; }
  cSurfaceLock& Src() { return m_bSame ? m_Dst : m_Src; }

 private:
  cSurfaceLock m_Dst;
  cSurfaceLock m_Src;
  bool m_bSame = false;
};

// Runs pixel(locks, i, j) for every offset of a w x h run of a 1:1 effect whose destination pixel
// (x + j, y + i) and source pixel (sx + j, sy + i) both lie inside their surfaces, with both surfaces
// locked; nothing when there is none or a lock fails.
template <class Pixel>
void DDForEachEffectPixel(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                          Pixel pixel) {
  int j0, j1, i0, i1;
  if (!DDClipRun(x, sx, w, dst->nWidth, src->nWidth, j0, j1) ||
      !DDClipRun(y, sy, h, dst->nHeight, src->nHeight, i0, i1))
    return;
  cEffectLocks locks(dst, src);
  if (!locks.Ok()) return;
  for (int i = i0; i < i1; ++i)
    for (int j = j0; j < j1; ++j) pixel(locks, i, j);
}

// A pixel of a locked surface, and storing one (1, 2 or 4 bytes by the display depth).
inline uint32_t DDReadPixel(const cSurfaceLock& lock, int x, int y) {
  const uint8_t* p = lock.PixelAddress(x, y);
  switch (lock.BytesPerPixel()) {
    case 1: return *p;
    case 2: return *reinterpret_cast<const uint16_t*>(p);
    default: return *reinterpret_cast<const uint32_t*>(p);
  }
}
inline void DDWritePixel(const cSurfaceLock& lock, int x, int y, uint32_t v) {
  uint8_t* p = lock.PixelAddress(x, y);
  switch (lock.BytesPerPixel()) {
    case 1: *p = static_cast<uint8_t>(v); break;
    case 2: *reinterpret_cast<uint16_t*>(p) = static_cast<uint16_t>(v); break;
    default: *reinterpret_cast<uint32_t*>(p) = v; break;
  }
}
