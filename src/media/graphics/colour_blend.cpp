// The two colour blends: semi-transparency (DDBltTrans, DDBltHalfTrans) and the pull towards a
// colour (DDBltColorChange), with the 8-bit blend table they look colours up in on palette screens.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "core/log.h"
#include "media/graphics/bitmap_copy.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/pixel_effects.h"
#include "media/graphics/pixel_rules.h"
#include "platform/files.h"

uint8_t g_BlendTable[kBlendTableSize];

namespace {

// A file bigger than this is not a blend table; reading stops before it is loaded.
constexpr size_t kBlendFileLimit = size_t{16} << 20;

// The four vertices of a quad over (x, y, w, h) showing the source rectangle (sx, sy, w, h) of src,
// mirrored as the blits mirror it, with texture coordinates of the surface it draws from.
void SourceQuad(gfx::Vertex (&v)[4], DDSURFACEDATA* original, DDSURFACEDATA* drawn, int x, int y, int w, int h, int sx,
                int sy, gfx::Colour diffuse) {
  int sw = w, sh = h;
  DDMirrorSource(original, sx, sy, sw, sh);
  const float tw = static_cast<float>(std::max(drawn->nTexWidth, 1));
  const float th = static_cast<float>(std::max(drawn->nTexHeight, 1));
  DDMakeQuad(v, x, y, w, h, diffuse, static_cast<float>(sx) / tw, static_cast<float>(sy) / th,
             static_cast<float>(sx + sw) / tw, static_cast<float>(sy + sh) / th);
}

// One pixel of the half-and-half mix of source pixel s over destination pixel d.
uint32_t TransPixel(uint32_t s, uint32_t d, bool screen, const uint8_t* table) {
  if (lpDTCon) {
    if (g_nDisplayBpp == 16) {
      const DDFIELDS a = DDSplit16(s, g_SurfaceLayout);
      if (screen) {
        const DDFIELDS b = DDSplit16(d, g_ScreenLayout);
        return DDCompose16({(a.r + b.r) / 2, (b.g + 2 * a.g) / 2, (a.b + b.b) / 2}, g_ScreenLayout);
      }
      const DDFIELDS b = DDSplit16(d, g_SurfaceLayout);
      return DDCompose16({(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2}, g_SurfaceLayout) |
             static_cast<uint32_t>(g_SurfaceLayout.nAlphaMask) << g_SurfaceLayout.nAlphaShift;
    }
    const DDFIELDS a = DDSplit32(s), b = DDSplit32(d);
    return DDCompose32({(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2}, 255);
  }
  switch (g_nDisplayBpp) {
    case 8: return d != 0 ? table[s + 256 * d] : s;
    case 16: {
      if (d == g_dwColorKey) return s;
      const DDCHANNELLAYOUT& l = g_SurfaceLayout;
      const DDFIELDS a = DDSplit16(s, l), b = DDSplit16(d, l);
      auto mix = [](uint32_t p, uint32_t q, int mask) {
        return DDNarrowField((DDWidenField(p, mask) + DDWidenField(q, mask)) >> 1, mask);
      };
      return DDCompose16({mix(a.r, b.r, l.nRedMask), mix(a.g, b.g, l.nGreenMask), mix(a.b, b.b, l.nBlueMask)}, l);
    }
    default: {
      if (d == g_dwColorKey) return (d & 0xFF000000u) | (s & 0x00FFFFFFu);
      const DDFIELDS a = DDSplit32(s), b = DDSplit32(d);
      return DDCompose32({(a.r + b.r) >> 1, (a.g + b.g) >> 1, (a.b + b.b) >> 1}, d >> 24);
    }
  }
}

void TransPixels(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, bool keyed,
                 const uint8_t* table) {
  if (g_nDisplayBpp == 8 && !table) return;
  const bool screen = DDIsScreenLayoutTarget(dst);
  // On palette screens index 0 is transparent on both sides, whatever the colour key is.
  const bool paletteKey = !lpDTCon && g_nDisplayBpp == 8;
  DDForEachEffectPixel(dst, x, y, w, h, src, sx, sy, [&](cEffectLocks& locks, int i, int j) {
    const uint32_t s = DDReadPixel(locks.Src(), sx + j, sy + i);
    if (keyed && (paletteKey ? s == 0 : DDIsKeyedOut(s))) return;
    const uint32_t d = DDReadPixel(locks.Dst(), x + j, y + i);
    DDWritePixel(locks.Dst(), x + j, y + i, TransPixel(s, d, screen, table));
  });
}

// The texture-factor alpha of the quad form for a strength level: the texture's share.
uint32_t QuadShareOfLevel(int level) {
  switch (level) {
    case 1: return 128;
    case 2: return 80;
    case 3: return 48;
    case 4: return 16;
    default: return 0;
  }
}

// Direct3D: the source's weight for levels 2-4 in single precision, 0 for any other level.
float PixelWeightOfLevel(int level) {
  switch (level) {
    case 2: return 64.0f / 255.0f;
    case 3: return 32.0f / 255.0f;
    case 4: return 16.0f / 255.0f;
    default: return 0.0f;
  }
}

// Direct3D: one field (or byte) s pulled towards the colour's field c.
uint32_t PullField(uint32_t s, uint32_t c, int level, float weight) {
  if (level == 1) return (s + c) >> 1;
  return static_cast<uint32_t>(static_cast<float>(s) * weight + (1.0f - weight) * static_cast<float>(c));
}

// DirectDraw: a channel (0-255) halved towards the colour level times. The halving settles on the
// colour or one below it within nine steps, so more steps change nothing.
uint32_t HalveTowards(uint32_t v, uint32_t c, int level) {
  for (int k = std::min(level, 16); k > 0; --k) v = (v + c) >> 1;
  return v;
}

// 8 bits: index p replaced level times by the table's mix of p and the colour, as one look-up per
// index (the mapping raised to the level by squaring).
std::array<uint8_t, 256> PaletteMixMap(const uint8_t* table, int colour, int level) {
  std::array<uint8_t, 256> result{}, step{};
  for (int p = 0; p < 256; ++p) {
    result[p] = static_cast<uint8_t>(p);
    step[p] = table[p * 256 + colour];
  }
  for (int n = std::max(level, 0); n > 0; n >>= 1) {
    if (n & 1)
      for (uint8_t& r : result) r = step[r];
    std::array<uint8_t, 256> squared{};
    for (int p = 0; p < 256; ++p) squared[p] = step[step[p]];
    step = squared;
  }
  return result;
}

void ColourChangePixels(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, bool keyed,
                        const PALETTEENTRY& entry, const uint8_t* table, int colourNumber, int level,
                        const DDALPHA* alpha) {
  if (!lpDTCon && g_nDisplayBpp == 8 && !table) return;
  const bool screen = DDIsScreenLayoutTarget(dst);
  const DDCHANNELLAYOUT& l = g_SurfaceLayout;
  const float weight = PixelWeightOfLevel(level);
  std::array<uint8_t, 256> paletteMap{};
  if (!lpDTCon && g_nDisplayBpp == 8) paletteMap = PaletteMixMap(table, colourNumber, level);
  // The colour in the units each path mixes in.
  DDFIELDS colour{entry.red, entry.green, entry.blue};
  if (lpDTCon && g_nDisplayBpp == 16) {
    colour = {DDNarrowField(colour.r, l.nRedMask), DDNarrowField(colour.g, l.nGreenMask),
              DDNarrowField(colour.b, l.nBlueMask)};
  } else if (!lpDTCon && g_nDisplayBpp == 16) {
    colour = {DDWidenField(colour.r, l.nRedMask), DDWidenField(colour.g, l.nGreenMask),
              DDWidenField(colour.b, l.nBlueMask)};
  }
  DDForEachEffectPixel(dst, x, y, w, h, src, sx, sy, [&](cEffectLocks& locks, int i, int j) {
    uint32_t s = DDReadPixel(locks.Src(), sx + j, sy + i);
    if (keyed && DDIsKeyedOut(s)) return;
    uint32_t out;
    if (lpDTCon) {
      s = DDAddPairColour(s, alpha);
      if (g_nDisplayBpp == 16) {
        const DDFIELDS f = DDSplit16(s, l);
        out = DDCompose16({PullField(f.r, colour.r, level, weight), PullField(f.g, colour.g, level, weight),
                           PullField(f.b, colour.b, level, weight)},
                          l) |
              static_cast<uint32_t>(l.nAlphaMask) << l.nAlphaShift;
        if (screen) out = DDSurfaceToScreen16(out);
      } else {
        const DDFIELDS f = DDSplit32(s);
        out = DDCompose32({PullField(f.r, colour.r, level, weight), PullField(f.g, colour.g, level, weight),
                           PullField(f.b, colour.b, level, weight)},
                          255);
      }
    } else if (g_nDisplayBpp == 8) {
      out = paletteMap[s & 255];
    } else if (g_nDisplayBpp == 16) {
      const DDFIELDS f = DDSplit16(s, l);
      auto pull = [&](uint32_t v, uint32_t c, int mask) {
        return DDNarrowField(HalveTowards(DDWidenField(v, mask), c, level), mask);
      };
      out = DDCompose16(
          {pull(f.r, colour.r, l.nRedMask), pull(f.g, colour.g, l.nGreenMask), pull(f.b, colour.b, l.nBlueMask)}, l);
    } else {
      const DDFIELDS f = DDSplit32(s);
      const uint32_t d = DDReadPixel(locks.Dst(), x + j, y + i);
      out = DDCompose32(
          {HalveTowards(f.r, colour.r, level), HalveTowards(f.g, colour.g, level), HalveTowards(f.b, colour.b, level)},
          d >> 24);
    }
    DDWritePixel(locks.Dst(), x + j, y + i, out);
  });
}

bool SupportedDepth() { return g_nDisplayBpp == 8 || g_nDisplayBpp == 16 || g_nDisplayBpp == 32; }

}  // namespace

bool DDLoadBlendTable(uint8_t* table, const char* path) {
  if (lpDTCon) return true;
  if (!table || !path) return false;
  std::vector<uint8_t> bytes;
  // A table cut short would leave part of the previous palette's mixes in place: refused whole.
  if (!ReadWholeFile(path, kBlendFileLimit, bytes) || bytes.size() < kBlendTableSize) return false;
  std::memcpy(table, bytes.data(), kBlendTableSize);
  return true;
}

void DDBltTrans(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                const uint8_t* blendTable, int alpha) {
  if (DDTraceCall("DDBltTrans", dst, src,
                  {double(x), double(y), double(w), double(h), double(sx), double(sy), double(flags), double(alpha)}))
    return;
  if (!dst || !src || w <= 0 || h <= 0 || !SupportedDepth()) return;
  DDSURFACEDATA* original = src;
  DDResolveEffectSurfaces(dst, src);
  if (DDEffectUsesQuad(dst, src)) {
    const uint32_t opacity = static_cast<uint32_t>(255 - std::clamp(alpha, 0, 255));
    gfx::Vertex v[4];
    SourceQuad(v, original, src, x, y, w, h, sx, sy, opacity << 24 | 0x00FFFFFFu);
    DDSetQuadStage(gfx::kOpModulate, gfx::kOpModulate);
    DDDrawEffectQuad(dst, src, v);
    g_lpDevice->SetTextureStageState(0, gfx::kTssAlphaOp, gfx::kOpSelectArg1);
    return;
  }
  TransPixels(dst, x, y, w, h, src, sx, sy, flags == 1, blendTable);
}

void DDBltHalfTrans(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                    const uint8_t* blendTable) {
  if (DDTraceCall("DDBltHalfTrans", dst, src,
                  {double(x), double(y), double(w), double(h), double(sx), double(sy), double(flags)}))
    return;
  DDBltTrans(dst, x, y, w, h, src, sx, sy, flags, blendTable, 128);
}

void DDBltColorChange(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                      const PALETTEENTRY* palette, const uint8_t* blendTable, int colourNumber, int level,
                      const DDALPHA* alpha) {
  if (DDTraceCall("DDBltColorChange", dst, src,
                  DDTraceArgsWithPair({double(x), double(y), double(w), double(h), double(sx), double(sy),
                                       double(flags), double(colourNumber), double(level)},
                                      alpha)))
    return;
  if (level == 0 || !dst || !src || !palette || w <= 0 || h <= 0 || !SupportedDepth()) return;
  if (colourNumber < 0 || colourNumber > 255) {
    // A colour from game data outside the palette costs the effect, not the game.
    ReportLogPrintf("err V[%d] ( %d , %d )", colourNumber, 256, static_cast<int>(sizeof(PALETTEENTRY)));
    return;
  }
  const PALETTEENTRY& entry = palette[colourNumber];
  DDSURFACEDATA* original = src;
  DDResolveEffectSurfaces(dst, src);
  if (DDEffectUsesQuad(dst, src)) {
    const uint32_t factor = QuadShareOfLevel(level) << 24 | static_cast<uint32_t>(entry.red) << 16 |
                            static_cast<uint32_t>(entry.green) << 8 | entry.blue;
    gfx::Vertex v[4];
    SourceQuad(v, original, src, x, y, w, h, sx, sy, 0xFFFFFFFFu);
    gfx::Device* d = g_lpDevice;
    d->SetRenderState(gfx::kRsTextureFactor, factor);
    d->SetTextureStageState(0, gfx::kTssColorOp, gfx::kOpBlendFactorAlpha);
    d->SetTextureStageState(0, gfx::kTssColorArg1, gfx::kTaTexture);
    d->SetTextureStageState(0, gfx::kTssColorArg2, gfx::kTaTFactor);
    d->SetTextureStageState(0, gfx::kTssAlphaOp, gfx::kOpSelectArg1);
    d->SetTextureStageState(0, gfx::kTssAlphaArg1, gfx::kTaTexture);
    DDDrawEffectQuad(dst, src, v);
    return;
  }
  ColourChangePixels(dst, x, y, w, h, src, sx, sy, flags == 1, entry, blendTable, colourNumber, level, alpha);
}
