// The quad personality's pixel pipeline.
//
// Rules (see d3d_device.h for the whole list):
// - positions snap to 1/256 pixel; pixel centres are at integer coordinates; top-left fill rule;
// - texture coordinates are evaluated at pixel centres, snapped to 1/256 texel, then floored
//   (point sampling) and wrapped / mirrored / clamped;
// - MODULATE: (a * b + 127) / 255; blending: (s * F + d * G + 127) / 255 per channel, alpha included;
// - the destination is widened to 8 bits per channel before blending and the result narrowed by
//   truncation (pixel_format.h).
// Axis-aligned quads go through DrawAlignedQuad, which computes one texel column per destination
// column and one texel row per destination row and runs specialised row loops for the common
// cases; it writes exactly the pixels the triangle path would.
#include "platform/gfx/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gfx/pixel_format.h"
#include "platform/gfx/simd.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx::raster {

namespace {

using State = Device::PipelineState;

inline uint32_t Div255(uint32_t x) { return (x + 127) / 255; }

// std::llround(v * 256) without the library call: for |x| < 2^51 adding 0.5 to a float scaled by
// 256 loses no bit that could move it across an integer, so truncating gives the same rounding
// (half away from zero). Larger values, infinities and NaN take the library path.
inline int64_t Snap(float v) {
  const double x = static_cast<double>(v) * 256.0;
  const double magnitude = std::fabs(x);
  if (magnitude < 2251799813685248.0) {
    const auto q = static_cast<int64_t>(magnitude + 0.5);
    return x < 0 ? -q : q;
  }
  return std::llround(x);
}

inline int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}
inline int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// std::llround(x) without the library call: the fraction left by truncation is exact, and a half
// or more of it moves the result away from zero. Huge values, infinities and NaN take the library.
inline int64_t RoundHalfAway(double x) {
  if (!(std::fabs(x) < 4611686018427387904.0)) return std::llround(x);
  int64_t q = static_cast<int64_t>(x);
  const double fraction = x - static_cast<double>(q);
  if (fraction >= 0.5) ++q;
  if (fraction <= -0.5) --q;
  return q;
}

// Texel index from a coordinate in texels (snapped to 1/256 texel, floored), then addressed.
inline int TexelIndex(double t, int size, uint32_t address) {
  const int64_t q = FloorDiv(RoundHalfAway(t * 256.0), 256);
  switch (address) {
    case kAddressClamp: return static_cast<int>(std::clamp<int64_t>(q, 0, size - 1));
    case kAddressMirror: {
      int64_t m = q % (2 * int64_t{size});
      if (m < 0) m += 2 * int64_t{size};
      return static_cast<int>(m < size ? m : 2 * int64_t{size} - 1 - m);
    }
    default: {
      int64_t m = q % size;
      if (m < 0) m += size;
      return static_cast<int>(m);
    }
  }
}

inline uint32_t ChannelOp(uint32_t op, uint32_t a1, uint32_t a2, uint32_t diffuseA, uint32_t texA, uint32_t factorA) {
  switch (op) {
    case kOpSelectArg1: return a1;
    case kOpSelectArg2: return a2;
    case kOpModulate: return Div255(a1 * a2);
    case kOpModulate2x: return std::min<uint32_t>(2 * Div255(a1 * a2), 255);
    case kOpModulate4x: return std::min<uint32_t>(4 * Div255(a1 * a2), 255);
    case kOpAdd: return std::min<uint32_t>(a1 + a2, 255);
    case kOpAddSigned: return static_cast<uint32_t>(std::clamp<int>(int(a1) + int(a2) - 128, 0, 255));
    case kOpAddSigned2x: return static_cast<uint32_t>(std::clamp<int>(2 * (int(a1) + int(a2) - 128), 0, 255));
    case kOpSubtract: return a1 > a2 ? a1 - a2 : 0;
    case kOpAddSmooth: return std::min<uint32_t>(a1 + a2 - Div255(a1 * a2), 255);
    case kOpBlendDiffuseAlpha: return Div255(a1 * diffuseA + a2 * (255 - diffuseA));
    case kOpBlendTextureAlpha: return Div255(a1 * texA + a2 * (255 - texA));
    case kOpBlendFactorAlpha: return Div255(a1 * factorA + a2 * (255 - factorA));
    default: return a1;
  }
}

inline uint32_t ArgValue(uint32_t arg, uint32_t texel, uint32_t diffuse, uint32_t factor) {
  switch (arg & 0xF) {
    case kTaTexture: return texel;
    case kTaTFactor: return factor;
    default: return diffuse;  // DIFFUSE, CURRENT (stage 0)
  }
}

inline uint32_t BlendFactorValue(uint32_t f, uint32_t sa) {
  switch (f) {
    case kBlendZero: return 0;
    case kBlendSrcAlpha: return sa;
    case kBlendInvSrcAlpha: return 255 - sa;
    default: return 255;  // ONE and anything not implemented
  }
}

inline uint32_t BlendSrcAlpha(uint32_t s, uint32_t d) {
  const uint32_t a = s >> 24, ia = 255 - a;
  const uint32_t r = Div255((s >> 16 & 255) * a + (d >> 16 & 255) * ia);
  const uint32_t g = Div255((s >> 8 & 255) * a + (d >> 8 & 255) * ia);
  const uint32_t b = Div255((s & 255) * a + (d & 255) * ia);
  const uint32_t al = Div255(a * a + (d >> 24) * ia);
  return al << 24 | r << 16 | g << 8 | b;
}

}  // namespace

uint32_t Combine(const State& st, uint32_t texel, uint32_t diffuse) {
  if (st.colourOp == kOpDisable) return diffuse;
  const uint32_t factor = st.textureFactor;
  const uint32_t c1 = ArgValue(st.colourArg1, texel, diffuse, factor);
  const uint32_t c2 = ArgValue(st.colourArg2, texel, diffuse, factor);
  const uint32_t dA = diffuse >> 24, tA = texel >> 24, fA = factor >> 24;
  const uint32_t r = ChannelOp(st.colourOp, c1 >> 16 & 255, c2 >> 16 & 255, dA, tA, fA);
  const uint32_t g = ChannelOp(st.colourOp, c1 >> 8 & 255, c2 >> 8 & 255, dA, tA, fA);
  const uint32_t b = ChannelOp(st.colourOp, c1 & 255, c2 & 255, dA, tA, fA);
  uint32_t a;
  if (st.alphaOp == kOpDisable) {
    a = dA;
  } else {
    const uint32_t a1 = ArgValue(st.alphaArg1, texel, diffuse, factor) >> 24;
    const uint32_t a2 = ArgValue(st.alphaArg2, texel, diffuse, factor) >> 24;
    a = ChannelOp(st.alphaOp, a1, a2, dA, tA, fA);
  }
  return a << 24 | r << 16 | g << 8 | b;
}

uint32_t Blend(const State& st, uint32_t s, uint32_t d) {
  if (!st.blendEnable) return s;
  if (st.srcBlend == kBlendSrcAlpha && st.destBlend == kBlendInvSrcAlpha) return BlendSrcAlpha(s, d);
  const uint32_t sa = s >> 24;
  const uint32_t F = BlendFactorValue(st.srcBlend, sa), G = BlendFactorValue(st.destBlend, sa);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t v = Div255((s >> shift & 255) * F + (d >> shift & 255) * G);
    out |= std::min<uint32_t>(v, 255) << shift;
  }
  return out;
}

void ClearRect(Surface* target, const Rect& rect, Colour colour) {
  const int l = std::max(rect.left, 0), t = std::max(rect.top, 0);
  const int r = std::min(rect.right, target->Width()), b = std::min(rect.bottom, target->Height());
  if (l >= r || t >= b) return;
  const Format f = target->GetFormat();
  const int bpp = BytesPerPixel(f);
  const uint32_t raw = ArgbToPixel(f, colour);
  for (int y = t; y < b; ++y) {
    uint8_t* row = target->Row(y) + l * bpp;
    if (bpp == 4 || bpp == 2) {
      // Sixteen bytes a store (a plain fill loop is not vectorised at -O2).
      const int n = r - l;
      int i = 0;
#if defined(__SSE2__)
      const __m128i v = bpp == 4 ? _mm_set1_epi32(static_cast<int>(raw)) : _mm_set1_epi16(static_cast<int16_t>(raw));
      const int perStore = 16 / bpp;
      for (; i + perStore <= n; i += perStore) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i * bpp), v);
#endif
      if (bpp == 4) {
        auto* p = reinterpret_cast<uint32_t*>(row);
        std::fill(p + i, p + n, raw);
      } else {
        auto* p = reinterpret_cast<uint16_t*>(row);
        std::fill(p + i, p + n, static_cast<uint16_t>(raw));
      }
    } else {
      std::memset(row, static_cast<int>(raw & 255), r - l);
    }
  }
}

// ------------------------------------------------------------------------------------------------
// General triangles.

int64_t DrawTriangle(const DrawContext& ctx, const Vertex& va, const Vertex& vb, const Vertex& vc, bool flipWinding) {
  const State& st = *ctx.state;
  int64_t ax = Snap(va.x), ay = Snap(va.y), bx = Snap(vb.x), by = Snap(vb.y), cx = Snap(vc.x), cy = Snap(vc.y);
  // Winding on screen (y down): cross > 0 is clockwise.
  int64_t cross = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
  if (cross == 0) return 0;
  const bool clockwise = flipWinding ? cross < 0 : cross > 0;
  if (st.cullMode == kCullCw && clockwise) return 0;
  if (st.cullMode == kCullCcw && !clockwise) return 0;

  const Vertex* A = &va;
  const Vertex* B = &vb;
  const Vertex* C = &vc;
  if (cross < 0) {  // make the interior lie where the edge functions are positive
    std::swap(B, C);
    std::swap(bx, cx);
    std::swap(by, cy);
    cross = -cross;
  }
  Surface* target = ctx.target;
  const int64_t minX = std::max<int64_t>(CeilDiv(std::min({ax, bx, cx}), 256), 0);
  const int64_t maxX = std::min<int64_t>(FloorDiv(std::max({ax, bx, cx}), 256), target->Width() - 1);
  const int64_t minY = std::max<int64_t>(CeilDiv(std::min({ay, by, cy}), 256), 0);
  const int64_t maxY = std::min<int64_t>(FloorDiv(std::max({ay, by, cy}), 256), target->Height() - 1);
  if (minX > maxX || minY > maxY) return 0;

  struct Edge {
    int64_t x0, y0, dx, dy;
    bool topLeft;
    int64_t At(int64_t px, int64_t py) const { return dx * (py - y0) - dy * (px - x0); }
    bool Inside(int64_t e) const { return e > 0 || (e == 0 && topLeft); }
  };
  auto makeEdge = [](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    Edge e{x0, y0, x1 - x0, y1 - y0, false};
    e.topLeft = (e.dy == 0 && e.dx > 0) || e.dy < 0;
    return e;
  };
  const Edge eBC = makeEdge(bx, by, cx, cy);  // weight of A
  const Edge eCA = makeEdge(cx, cy, ax, ay);  // weight of B
  const Edge eAB = makeEdge(ax, ay, bx, by);  // weight of C

  const Surface* tex = ctx.texture;
  const int tw = tex ? tex->Width() : 1, th = tex ? tex->Height() : 1;
  const Format tf = tex ? tex->GetFormat() : Format::Unknown;
  const int tbpp = BytesPerPixel(tf);
  const Format df = target->GetFormat();
  const int dbpp = BytesPerPixel(df);
  const double area = static_cast<double>(cross);
  const bool flatColour = A->diffuse == B->diffuse && B->diffuse == C->diffuse;
  int64_t written = 0;

  for (int64_t py = minY; py <= maxY; ++py) {
    const int64_t sy = py * 256;
    uint8_t* row = target->Row(static_cast<int>(py));
    for (int64_t px = minX; px <= maxX; ++px) {
      const int64_t sx = px * 256;
      const int64_t wa = eBC.At(sx, sy), wb = eCA.At(sx, sy), wc = eAB.At(sx, sy);
      if (!eBC.Inside(wa) || !eCA.Inside(wb) || !eAB.Inside(wc)) continue;
      const double la = wa / area, lb = wb / area, lc = wc / area;
      uint32_t diffuse = A->diffuse;
      if (!flatColour) {
        diffuse = 0;
        for (int shift = 0; shift < 32; shift += 8) {
          const double v =
              la * (A->diffuse >> shift & 255) + lb * (B->diffuse >> shift & 255) + lc * (C->diffuse >> shift & 255);
          diffuse |= static_cast<uint32_t>(std::clamp(std::floor(v + 0.5), 0.0, 255.0)) << shift;
        }
      }
      uint32_t texel = 0xFFFFFFFF;
      if (tex) {
        const double u = la * A->u + lb * B->u + lc * C->u;
        const double v = la * A->v + lb * B->v + lc * C->v;
        const int tx = TexelIndex(u * tw, tw, st.addressU);
        const int ty = TexelIndex(v * th, th, st.addressV);
        texel = PixelToArgb(tf, LoadPixel(tex->Row(ty) + tx * tbpp, tbpp));
      }
      const uint32_t shaded = Combine(st, texel, diffuse);
      uint8_t* p = row + px * dbpp;
      const uint32_t dst = PixelToArgb(df, LoadPixel(p, dbpp));
      StorePixel(p, dbpp, ArgbToPixel(df, Blend(st, shaded, dst)));
      ++written;
    }
  }
  return written;
}

// ------------------------------------------------------------------------------------------------
// Axis-aligned quads.

namespace {

// What the stage computes from a texel when the diffuse colour and the factor are constant:
// TexelModAlpha keeps the texel's colour and scales its alpha by a constant (a texture drawn
// semi-transparent through the vertex colour's alpha).
enum class Shade { TexelDirect, TexelConstAlpha, TexelModAlpha, Constant, Generic };

// Classifies one channel group: returns 0 = the texel's value, 1 = constant (in *k), 2 = other.
int ClassifyOp(uint32_t op, uint32_t arg1, uint32_t arg2, uint32_t diffuse, uint32_t factor, uint32_t mask,
               uint32_t* k) {
  auto isTex = [](uint32_t a) { return (a & 0xF) == kTaTexture; };
  auto value = [&](uint32_t a) { return ((a & 0xF) == kTaTFactor ? factor : diffuse) & mask; };
  switch (op) {
    case kOpSelectArg1:
      if (isTex(arg1)) return 0;
      *k = value(arg1);
      return 1;
    case kOpSelectArg2:
      if (isTex(arg2)) return 0;
      *k = value(arg2);
      return 1;
    case kOpModulate:
      if (isTex(arg1) && !isTex(arg2) && value(arg2) == mask) return 0;
      if (isTex(arg2) && !isTex(arg1) && value(arg1) == mask) return 0;
      return 2;
    case kOpAdd:
      if (isTex(arg1) && !isTex(arg2) && value(arg2) == 0) return 0;
      if (isTex(arg2) && !isTex(arg1) && value(arg1) == 0) return 0;
      return 2;
    default: return 2;
  }
}

Shade ClassifyShade(const State& st, uint32_t diffuse, uint32_t* constant) {
  if (st.colourOp == kOpDisable) {
    *constant = diffuse;
    return Shade::Constant;
  }
  uint32_t krgb = 0, ka = 0;
  const int c = ClassifyOp(st.colourOp, st.colourArg1, st.colourArg2, diffuse, st.textureFactor, 0x00FFFFFF, &krgb);
  int a;
  if (st.alphaOp == kOpDisable) {
    ka = diffuse & 0xFF000000;
    a = 1;
  } else {
    a = ClassifyOp(st.alphaOp, st.alphaArg1, st.alphaArg2, diffuse, st.textureFactor, 0xFF000000, &ka);
  }
  if (c == 0 && a == 0) return Shade::TexelDirect;
  if (c == 0 && a == 1) {
    *constant = ka;
    return Shade::TexelConstAlpha;
  }
  if (c == 1 && a == 1) {
    *constant = ka | krgb;
    return Shade::Constant;
  }
  // The alpha of a texel modulated by a constant one: MODULATE is commutative.
  if (c == 0 && a == 2 && st.alphaOp == kOpModulate) {
    const bool tex1 = (st.alphaArg1 & 0xF) == kTaTexture, tex2 = (st.alphaArg2 & 0xF) == kTaTexture;
    if (tex1 != tex2) {
      const uint32_t other = tex1 ? st.alphaArg2 : st.alphaArg1;
      *constant = ((other & 0xF) == kTaTFactor ? st.textureFactor : diffuse) & 0xFF000000u;
      return Shade::TexelModAlpha;
    }
  }
  return Shade::Generic;
}

enum class BlendKind { Replace, SrcAlpha, Generic };

BlendKind ClassifyBlend(const State& st) {
  if (!st.blendEnable || (st.srcBlend == kBlendOne && st.destBlend == kBlendZero)) return BlendKind::Replace;
  if (st.srcBlend == kBlendSrcAlpha && st.destBlend == kBlendInvSrcAlpha) return BlendKind::SrcAlpha;
  return BlendKind::Generic;
}

template <Format F>
inline uint32_t Fetch(const uint8_t* row, int x) {
  if constexpr (F == Format::A8R8G8B8)
    return reinterpret_cast<const uint32_t*>(row)[x];
  else if constexpr (F == Format::X8R8G8B8)
    return reinterpret_cast<const uint32_t*>(row)[x] | 0xFF000000u;
  else
    return PixelToArgb(F, reinterpret_cast<const uint16_t*>(row)[x]);
}

template <Format F>
inline uint32_t ReadDst(const uint8_t* row, int x) {
  return Fetch<F>(row, x);
}

template <Format F>
inline void WriteDst(uint8_t* row, int x, uint32_t argb) {
  if constexpr (F == Format::A8R8G8B8)
    reinterpret_cast<uint32_t*>(row)[x] = argb;
  else if constexpr (F == Format::X8R8G8B8)
    reinterpret_cast<uint32_t*>(row)[x] = argb | 0xFF000000u;
  else
    reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(ArgbToPixel(F, argb));
}

struct QuadSpan {
  int x0, x1;       // destination columns [x0, x1)
  const int* cols;  // texel column per destination column (index x - x0)
  bool contiguous;  // cols[i] == cols[0] + i
  bool mirrored;    // cols[i] == cols[0] - i (a sheet drawn flipped left to right)
};

// One A8R8G8B8 texel blended by its own alpha onto a 32-bit destination pixel.
template <Format DF>
inline void BlendTexel32(uint32_t* d, uint32_t tv) {
  const uint32_t av = tv >> 24;
  if (av == 0) return;
  if (av == 255) {
    *d = tv;
    return;
  }
  const uint32_t dv = DF == Format::X8R8G8B8 ? *d | 0xFF000000u : *d;
  *d = BlendSrcAlpha(tv, dv) | (DF == Format::X8R8G8B8 ? 0xFF000000u : 0);
}

// The rows of one quad: destination rows from `dst` on (one per texel row), texel row rows[y] of
// the texture for destination row y.
struct TexelBlock {
  uint8_t* dst;
  intptr_t dstPitch;
  const uint8_t* tex;
  intptr_t texPitch;
  const int* rows;
  int h;
};

#if QC4_GFX_AVX2
// SrcAlphaRow32 over every row of a quad, eight texels at a time with AVX2. One call per quad: a
// sprite's rows are only a few vector steps long, so the rows loop lives in here too.
template <Format DF, bool Mirrored>
QC4_TARGET_AVX2 void SrcAlphaRect32Avx2(const TexelBlock& b, const QuadSpan& span) {
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  const int n = span.x1 - span.x0;
  for (int y = 0; y < b.h; ++y) {
    uint32_t* d = reinterpret_cast<uint32_t*>(b.dst + y * b.dstPitch) + span.x0;
    const uint32_t* s = reinterpret_cast<const uint32_t*>(b.tex + b.rows[y] * b.texPitch) + span.cols[0];
    int i = 0;
    for (; i + 8 <= n; i += 8) {
      __m256i t;
      if constexpr (Mirrored) {
        // Texels s[-i - 7] .. s[-i] lie inside the row: s[-(n - 1)] is the row's leftmost one used.
        t = _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s - i - 7)), reverse);
      } else {
        t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
      }
      const __m256i a = _mm256_and_si256(t, alphaMask);
      const __m256i zero = _mm256_cmpeq_epi32(a, _mm256_setzero_si256());
      const __m256i full = _mm256_cmpeq_epi32(a, alphaMask);
      // Opaque and transparent runs (backgrounds, sprite bodies and margins) leave the destination
      // unread; mixed groups choose per pixel.
      const int fullBits = _mm256_movemask_epi8(full);
      if (fullBits == -1) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), t);
        continue;
      }
      const int zeroBits = _mm256_movemask_epi8(zero);
      if (zeroBits == -1) continue;
      if ((fullBits | zeroBits) == -1) {
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(t, dv, zero));
        continue;
      }
      for (int k = i; k < i + 8; ++k) BlendTexel32<DF>(d + k, Mirrored ? s[-k] : s[k]);
    }
    for (; i < n; ++i) BlendTexel32<DF>(d + i, Mirrored ? s[-i] : s[i]);
  }
}
#endif

// A8R8G8B8 texels blended by their own alpha onto a 32-bit row: d[i] gets texel s[i] (s[-i] when
// mirrored). Groups of texels that are each fully transparent or fully opaque (keyed sprites,
// opaque backgrounds) give a per-pixel choice between texel and destination, made without branching
// on the picture; groups holding a partial alpha blend pixel by pixel.
template <Format DF, bool Mirrored>
void SrcAlphaRow32(uint32_t* d, const uint32_t* s, int n) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; i + 4 <= n; i += 4) {
    __m128i t;
    if constexpr (Mirrored) {
      // Texels s[-i - 3] .. s[-i] lie inside the row: s[-(n - 1)] is the row's leftmost one used.
      t = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s - i - 3)), _MM_SHUFFLE(0, 1, 2, 3));
    } else {
      t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    }
    const __m128i a = _mm_and_si128(t, alphaMask);
    const __m128i zero = _mm_cmpeq_epi32(a, _mm_setzero_si128());
    const __m128i full = _mm_cmpeq_epi32(a, alphaMask);
    if (_mm_movemask_epi8(_mm_or_si128(zero, full)) == 0xFFFF) {
      const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                       _mm_or_si128(_mm_and_si128(zero, dv), _mm_andnot_si128(zero, t)));
      continue;
    }
    for (int k = i; k < i + 4; ++k) BlendTexel32<DF>(d + k, Mirrored ? s[-k] : s[k]);
  }
#endif
  for (; i < n; ++i) BlendTexel32<DF>(d + i, Mirrored ? s[-i] : s[i]);
}

// Every texel written with alpha 255, as the stage gives it for an opaque copy (alpha operation
// DISABLE with an opaque diffuse colour): under source-alpha blending too that is a plain write.
template <Format SF, Format DF>
void OpaqueRow(uint8_t* drow, const uint8_t* srow, const QuadSpan& span) {
  const int n = span.x1 - span.x0;
  constexpr bool kThirtyTwo =
      (SF == Format::A8R8G8B8 || SF == Format::X8R8G8B8) && (DF == Format::A8R8G8B8 || DF == Format::X8R8G8B8);
  if constexpr (kThirtyTwo) {
    if (span.contiguous || span.mirrored) {
      const uint32_t* s = reinterpret_cast<const uint32_t*>(srow) + span.cols[0];
      uint32_t* d = reinterpret_cast<uint32_t*>(drow) + span.x0;
      int i = 0;
#if defined(__SSE2__)
      const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
      if (span.contiguous) {
        for (; i + 4 <= n; i += 4)
          _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                           _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), opaque));
      }
#endif
      if (span.contiguous) {
        for (; i < n; ++i) d[i] = s[i] | 0xFF000000u;
      } else {
        for (; i < n; ++i) d[i] = s[-i] | 0xFF000000u;
      }
      return;
    }
  }
  if constexpr (SF == DF && SF == Format::A1R5G5B5) {
    // Widening and narrowing 5-bit fields gives them back: only the alpha bit is set.
    const uint16_t* s = reinterpret_cast<const uint16_t*>(srow);
    uint16_t* d = reinterpret_cast<uint16_t*>(drow) + span.x0;
    int i = 0;
    if (span.contiguous) {
      s += span.cols[0];
#if defined(__SSE2__)
      const __m128i alphaBit = _mm_set1_epi16(static_cast<int16_t>(0x8000));
      for (; i + 8 <= n; i += 8)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), alphaBit));
#endif
      for (; i < n; ++i) d[i] = static_cast<uint16_t>(s[i] | 0x8000);
      return;
    }
    for (; i < n; ++i) d[i] = static_cast<uint16_t>(s[span.cols[i]] | 0x8000);
    return;
  }
  if constexpr (SF == DF && SF == Format::R5G6B5) {
    const uint16_t* s = reinterpret_cast<const uint16_t*>(srow);
    uint16_t* d = reinterpret_cast<uint16_t*>(drow) + span.x0;
    for (int i = 0; i < n; ++i) d[i] = s[span.cols[i]];
    return;
  }
  for (int i = 0; i < n; ++i) WriteDst<DF>(drow, span.x0 + i, Fetch<SF>(srow, span.cols[i]) | 0xFF000000u);
}

// 1-bit-alpha texels blended by their alpha onto a target of the same format: a texel is either
// transparent (the destination stays) or opaque (it is written as it stands, since widening and
// narrowing its fields gives them back).
#if QC4_GFX_AVX2
// The sixteen-pixel steps of a contiguous OneBitAlphaRow; returns how many pixels it did. Runs that
// are wholly transparent leave the destination unread, wholly opaque ones unmixed.
QC4_TARGET_AVX2 int OneBitAlphaRowAvx2(uint16_t* d, const uint16_t* s, int n) {
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i opaque = _mm256_srai_epi16(t, 15);
    const int bits = _mm256_movemask_epi8(opaque);
    if (bits == 0) continue;
    if (bits == -1) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), t);
      continue;
    }
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(dv, t, opaque));
  }
  return i;
}
#endif

inline void OneBitAlphaRow(uint8_t* drow, const uint8_t* srow, const QuadSpan& span) {
  const int n = span.x1 - span.x0;
  const uint16_t* s = reinterpret_cast<const uint16_t*>(srow);
  uint16_t* d = reinterpret_cast<uint16_t*>(drow) + span.x0;
  int i = 0;
  if (span.contiguous) {
    s += span.cols[0];
#if QC4_GFX_AVX2
    if (UseAvx2()) i = OneBitAlphaRowAvx2(d, s, n);
#endif
#if defined(__SSE2__)
    for (; i + 8 <= n; i += 8) {
      const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
      const __m128i opaque = _mm_srai_epi16(t, 15);
      const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                       _mm_or_si128(_mm_and_si128(opaque, t), _mm_andnot_si128(opaque, dv)));
    }
#endif
    for (; i < n; ++i)
      if (s[i] & 0x8000) d[i] = s[i];
    return;
  }
  for (; i < n; ++i) {
    const uint16_t t = s[span.cols[i]];
    if (t & 0x8000) d[i] = t;
  }
}

// Texel-driven row: TexelDirect or TexelConstAlpha, Replace or SrcAlpha blending.
template <Format SF, Format DF, bool ConstAlpha, bool SrcAlphaBlend>
void TexelRow(uint8_t* drow, const uint8_t* srow, const QuadSpan& span, uint32_t alpha) {
  const int n = span.x1 - span.x0;
  if constexpr (ConstAlpha) {
    if (alpha == 0xFF000000u) {
      OpaqueRow<SF, DF>(drow, srow, span);
      return;
    }
    if constexpr (SrcAlphaBlend) {
      if (alpha == 0) return;  // every texel transparent
    }
  }
  if constexpr (!ConstAlpha && SrcAlphaBlend && SF == DF && SF == Format::A1R5G5B5) {
    OneBitAlphaRow(drow, srow, span);
    return;
  }
  if constexpr (!ConstAlpha && !SrcAlphaBlend && SF == DF && SF != Format::X8R8G8B8) {
    if (span.contiguous) {
      std::memcpy(drow + span.x0 * BytesPerPixel(DF), srow + span.cols[0] * BytesPerPixel(SF),
                  static_cast<size_t>(n) * BytesPerPixel(DF));
      return;
    }
  }
  if constexpr (SF == Format::A8R8G8B8 && DF == Format::X8R8G8B8 && !ConstAlpha && !SrcAlphaBlend) {
    if (span.contiguous) {  // opaque copy into a target without alpha
      const uint32_t* s = reinterpret_cast<const uint32_t*>(srow) + span.cols[0];
      uint32_t* d = reinterpret_cast<uint32_t*>(drow) + span.x0;
      int i = 0;
#if defined(__SSE2__)
      const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
      for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(a, opaque));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4), _mm_or_si128(b, opaque));
      }
#endif
      for (; i < n; ++i) d[i] = s[i] | 0xFF000000u;
      return;
    }
  }
  if constexpr (SF == Format::A8R8G8B8 && (DF == Format::X8R8G8B8 || DF == Format::A8R8G8B8) && !ConstAlpha &&
                SrcAlphaBlend) {
    if (span.contiguous) {
      SrcAlphaRow32<DF, false>(reinterpret_cast<uint32_t*>(drow) + span.x0,
                               reinterpret_cast<const uint32_t*>(srow) + span.cols[0], n);
      return;
    }
    if (span.mirrored) {
      SrcAlphaRow32<DF, true>(reinterpret_cast<uint32_t*>(drow) + span.x0,
                              reinterpret_cast<const uint32_t*>(srow) + span.cols[0], n);
      return;
    }
  }
  for (int i = 0; i < n; ++i) {
    uint32_t t = Fetch<SF>(srow, span.cols[i]);
    if constexpr (ConstAlpha) t = (t & 0x00FFFFFF) | alpha;
    const int x = span.x0 + i;
    if constexpr (SrcAlphaBlend) {
      const uint32_t a = t >> 24;
      if (a == 0) continue;
      if (a == 255) {
        WriteDst<DF>(drow, x, t);
        continue;
      }
      WriteDst<DF>(drow, x, BlendSrcAlpha(t, ReadDst<DF>(drow, x)));
    } else {
      WriteDst<DF>(drow, x, t);
    }
  }
}

// TexelRow over every row of a quad.
template <Format SF, Format DF, bool ConstAlpha, bool SrcAlphaBlend>
void TexelRect(const TexelBlock& b, const QuadSpan& span, uint32_t alpha) {
#if QC4_GFX_AVX2
  if constexpr (SF == Format::A8R8G8B8 && (DF == Format::X8R8G8B8 || DF == Format::A8R8G8B8) && !ConstAlpha &&
                SrcAlphaBlend) {
    if ((span.contiguous || span.mirrored) && UseAvx2()) {
      if (span.contiguous)
        SrcAlphaRect32Avx2<DF, false>(b, span);
      else
        SrcAlphaRect32Avx2<DF, true>(b, span);
      return;
    }
  }
#endif
  for (int y = 0; y < b.h; ++y)
    TexelRow<SF, DF, ConstAlpha, SrcAlphaBlend>(b.dst + y * b.dstPitch, b.tex + b.rows[y] * b.texPitch, span, alpha);
}

using TexelRectFn = void (*)(const TexelBlock&, const QuadSpan&, uint32_t);

template <Format SF, Format DF>
TexelRectFn PickRow(bool constAlpha, bool srcAlpha) {
  if (constAlpha) return srcAlpha ? TexelRect<SF, DF, true, true> : TexelRect<SF, DF, true, false>;
  return srcAlpha ? TexelRect<SF, DF, false, true> : TexelRect<SF, DF, false, false>;
}

template <Format SF>
TexelRectFn PickRowDst(Format df, bool constAlpha, bool srcAlpha) {
  switch (df) {
    case Format::A8R8G8B8: return PickRow<SF, Format::A8R8G8B8>(constAlpha, srcAlpha);
    case Format::X8R8G8B8: return PickRow<SF, Format::X8R8G8B8>(constAlpha, srcAlpha);
    case Format::A1R5G5B5: return PickRow<SF, Format::A1R5G5B5>(constAlpha, srcAlpha);
    case Format::R5G6B5: return PickRow<SF, Format::R5G6B5>(constAlpha, srcAlpha);
    default: return nullptr;
  }
}

TexelRectFn PickTexelRect(Format sf, Format df, bool constAlpha, bool srcAlpha) {
  switch (sf) {
    case Format::A8R8G8B8: return PickRowDst<Format::A8R8G8B8>(df, constAlpha, srcAlpha);
    case Format::X8R8G8B8: return PickRowDst<Format::X8R8G8B8>(df, constAlpha, srcAlpha);
    case Format::A1R5G5B5: return PickRowDst<Format::A1R5G5B5>(df, constAlpha, srcAlpha);
    case Format::R5G6B5: return PickRowDst<Format::R5G6B5>(df, constAlpha, srcAlpha);
    default: return nullptr;
  }
}

#if defined(__SSE2__)
// (x + 127) / 255 for 16-bit lanes holding at most 255 x 255: exact, as (x + 127) * 0x8081 >> 23.
inline __m128i Div255Lanes(__m128i x) {
  return _mm_srli_epi16(_mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(127)), _mm_set1_epi16(-32639)), 7);
}

// Four A8R8G8B8 texels whose alpha is scaled by k (Div255(alpha x k)), blended by that alpha onto
// four 32-bit destination pixels (source-alpha blending, alpha channel included).
inline __m128i ModAlphaBlend4(__m128i t, __m128i dv, __m128i k) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i a = Div255Lanes(_mm_mullo_epi16(_mm_srli_epi32(t, 24), k));  // alpha per 32-bit lane
  const __m128i s = _mm_or_si128(_mm_and_si128(t, _mm_set1_epi32(0x00FFFFFF)), _mm_slli_epi32(a, 24));
  const __m128i a2 = _mm_or_si128(a, _mm_slli_epi32(a, 16));  // 16-bit lanes: a0 a0 a1 a1 ...
  const __m128i aLo = _mm_unpacklo_epi32(a2, a2), aHi = _mm_unpackhi_epi32(a2, a2);
  const __m128i full = _mm_set1_epi16(255);
  const __m128i lo = Div255Lanes(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), aLo),
                                               _mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), _mm_sub_epi16(full, aLo))));
  const __m128i hi = Div255Lanes(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), aHi),
                                               _mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), _mm_sub_epi16(full, aHi))));
  return _mm_packus_epi16(lo, hi);
}
#endif

#if QC4_GFX_AVX2
// ModAlphaBlend4 for eight pixels (every step works inside each 128-bit half, as there).
QC4_TARGET_AVX2 inline __m256i Div255Lanes8(__m256i x) {
  return _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(127)), _mm256_set1_epi16(-32639)),
                           7);
}
QC4_TARGET_AVX2 inline __m256i ModAlphaBlend8(__m256i t, __m256i dv, __m256i k) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i a = Div255Lanes8(_mm256_mullo_epi16(_mm256_srli_epi32(t, 24), k));
  const __m256i s = _mm256_or_si256(_mm256_and_si256(t, _mm256_set1_epi32(0x00FFFFFF)), _mm256_slli_epi32(a, 24));
  const __m256i a2 = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
  const __m256i aLo = _mm256_unpacklo_epi32(a2, a2), aHi = _mm256_unpackhi_epi32(a2, a2);
  const __m256i full = _mm256_set1_epi16(255);
  const __m256i lo =
      Div255Lanes8(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), aLo),
                                    _mm256_mullo_epi16(_mm256_unpacklo_epi8(dv, zero), _mm256_sub_epi16(full, aLo))));
  const __m256i hi =
      Div255Lanes8(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), aHi),
                                    _mm256_mullo_epi16(_mm256_unpackhi_epi8(dv, zero), _mm256_sub_epi16(full, aHi))));
  return _mm256_packus_epi16(lo, hi);
}

// The eight-pixel steps of a 32-bit ModAlphaRect row; returns how many pixels it did.
QC4_TARGET_AVX2 int ModAlphaRow32Avx2(uint32_t* d, const uint32_t* s, int n, uint32_t k, uint32_t top) {
  const __m256i kv = _mm256_set1_epi32(static_cast<int>(k));
  const __m256i topv = _mm256_set1_epi32(static_cast<int>(top));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i dv = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i)), topv);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_or_si256(ModAlphaBlend8(t, dv, kv), topv));
  }
  return i;
}
#endif

// TexelModAlpha rows: the texel's colour with its alpha scaled by k (0-255), written as it is or
// blended by that alpha; the same pixels the stage and Blend give one by one.
// ModAlphaRect of 1-bit-alpha texels onto a target of the same format: an opaque texel's alpha
// becomes k itself, so each 5-bit field's result depends only on the texel's and the destination's
// field, and is looked up in a table made once for the quad with the same formulas.
void ModAlphaRectOneBit(const TexelBlock& b, const QuadSpan& span, uint32_t k) {
  if (k == 0) return;  // every texel transparent
  if (k == 255) {
    for (int y = 0; y < b.h; ++y) OneBitAlphaRow(b.dst + y * b.dstPitch, b.tex + b.rows[y] * b.texPitch, span);
    return;
  }
  uint8_t field[32 * 32];
  for (uint32_t sv = 0; sv < 32; ++sv)
    for (uint32_t dv = 0; dv < 32; ++dv)
      field[sv * 32 + dv] = static_cast<uint8_t>(Div255(Widen5(sv) * k + Widen5(dv) * (255 - k)) >> 3);
  const uint16_t alphaBit[2] = {static_cast<uint16_t>(Div255(k * k) >> 7 << 15),
                                static_cast<uint16_t>(Div255(k * k + 255 * (255 - k)) >> 7 << 15)};
  const int n = span.x1 - span.x0;
  for (int y = 0; y < b.h; ++y) {
    const uint16_t* s = reinterpret_cast<const uint16_t*>(b.tex + b.rows[y] * b.texPitch);
    uint16_t* d = reinterpret_cast<uint16_t*>(b.dst + y * b.dstPitch) + span.x0;
    int i = 0;
#if defined(__SSE2__)
    if (span.contiguous) {
      // Eight pixels at a time, each field widened, mixed and narrowed in 16-bit lanes as the table
      // was made.
      const uint16_t* sc = s + span.cols[0];
      const __m128i kv = _mm_set1_epi16(static_cast<int16_t>(k)), ik = _mm_set1_epi16(static_cast<int16_t>(255 - k));
      const __m128i five = _mm_set1_epi16(31);
      const __m128i bitFor[2] = {_mm_set1_epi16(static_cast<int16_t>(alphaBit[0])),
                                 _mm_set1_epi16(static_cast<int16_t>(alphaBit[1]))};
      auto mix = [&](__m128i sv, __m128i dv) {  // 5-bit fields in 16-bit lanes
        const __m128i sw = _mm_or_si128(_mm_slli_epi16(sv, 3), _mm_srli_epi16(sv, 2));
        const __m128i dw = _mm_or_si128(_mm_slli_epi16(dv, 3), _mm_srli_epi16(dv, 2));
        return _mm_srli_epi16(Div255Lanes(_mm_add_epi16(_mm_mullo_epi16(sw, kv), _mm_mullo_epi16(dw, ik))), 3);
      };
      for (; i + 8 <= n; i += 8) {
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sc + i));
        const __m128i opaque = _mm_srai_epi16(t, 15);
        if (_mm_movemask_epi8(opaque) == 0) continue;
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i destAlpha = _mm_srai_epi16(p, 15);
        const __m128i alpha = _mm_or_si128(_mm_and_si128(destAlpha, bitFor[1]), _mm_andnot_si128(destAlpha, bitFor[0]));
        const __m128i r = mix(_mm_and_si128(_mm_srli_epi16(t, 10), five), _mm_and_si128(_mm_srli_epi16(p, 10), five));
        const __m128i g = mix(_mm_and_si128(_mm_srli_epi16(t, 5), five), _mm_and_si128(_mm_srli_epi16(p, 5), five));
        const __m128i bl = mix(_mm_and_si128(t, five), _mm_and_si128(p, five));
        const __m128i out =
            _mm_or_si128(_mm_or_si128(alpha, _mm_slli_epi16(r, 10)), _mm_or_si128(_mm_slli_epi16(g, 5), bl));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_or_si128(_mm_and_si128(opaque, out), _mm_andnot_si128(opaque, p)));
      }
      for (; i < n; ++i) {
        const uint32_t t = sc[i];
        if (!(t & 0x8000)) continue;
        const uint32_t p = d[i];
        d[i] = static_cast<uint16_t>(alphaBit[p >> 15] | field[(t >> 10 & 31) * 32 + (p >> 10 & 31)] << 10 |
                                     field[(t >> 5 & 31) * 32 + (p >> 5 & 31)] << 5 | field[(t & 31) * 32 + (p & 31)]);
      }
      continue;
    }
#endif
    for (; i < n; ++i) {
      const uint32_t t = s[span.cols[i]];
      if (!(t & 0x8000)) continue;
      const uint32_t p = d[i];
      d[i] = static_cast<uint16_t>(alphaBit[p >> 15] | field[(t >> 10 & 31) * 32 + (p >> 10 & 31)] << 10 |
                                   field[(t >> 5 & 31) * 32 + (p >> 5 & 31)] << 5 | field[(t & 31) * 32 + (p & 31)]);
    }
  }
}

template <Format SF, Format DF, bool SrcAlphaBlend>
void ModAlphaRect(const TexelBlock& b, const QuadSpan& span, uint32_t k) {
  if constexpr (SrcAlphaBlend && SF == DF && SF == Format::A1R5G5B5) {
    ModAlphaRectOneBit(b, span, k);
    return;
  }
  const int n = span.x1 - span.x0;
  for (int y = 0; y < b.h; ++y) {
    uint8_t* drow = b.dst + y * b.dstPitch;
    const uint8_t* srow = b.tex + b.rows[y] * b.texPitch;
    int i = 0;
#if defined(__SSE2__)
    if constexpr (SrcAlphaBlend && SF == Format::A8R8G8B8 && (DF == Format::A8R8G8B8 || DF == Format::X8R8G8B8)) {
      if (span.contiguous) {
        const uint32_t* s = reinterpret_cast<const uint32_t*>(srow) + span.cols[0];
        uint32_t* d = reinterpret_cast<uint32_t*>(drow) + span.x0;
        const __m128i kv = _mm_set1_epi32(static_cast<int>(k));
        const __m128i top = _mm_set1_epi32(DF == Format::X8R8G8B8 ? static_cast<int>(0xFF000000u) : 0);
#if QC4_GFX_AVX2
        if (UseAvx2()) i = ModAlphaRow32Avx2(d, s, n, k, DF == Format::X8R8G8B8 ? 0xFF000000u : 0);
#endif
        for (; i + 4 <= n; i += 4) {
          const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
          const __m128i dv = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i)), top);
          _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(ModAlphaBlend4(t, dv, kv), top));
        }
      }
    }
#endif
    for (; i < n; ++i) {
      uint32_t t = Fetch<SF>(srow, span.cols[i]);
      const uint32_t a = Div255((t >> 24) * k);
      t = (t & 0x00FFFFFF) | a << 24;
      const int x = span.x0 + i;
      if constexpr (SrcAlphaBlend) {
        if (a == 0) continue;
        if (a == 255) {
          WriteDst<DF>(drow, x, t);
          continue;
        }
        WriteDst<DF>(drow, x, BlendSrcAlpha(t, ReadDst<DF>(drow, x)));
      } else {
        WriteDst<DF>(drow, x, t);
      }
    }
  }
}

template <Format SF, Format DF>
TexelRectFn PickModAlpha(bool srcAlpha) {
  return srcAlpha ? ModAlphaRect<SF, DF, true> : ModAlphaRect<SF, DF, false>;
}

template <Format SF>
TexelRectFn PickModAlphaDst(Format df, bool srcAlpha) {
  switch (df) {
    case Format::A8R8G8B8: return PickModAlpha<SF, Format::A8R8G8B8>(srcAlpha);
    case Format::X8R8G8B8: return PickModAlpha<SF, Format::X8R8G8B8>(srcAlpha);
    case Format::A1R5G5B5: return PickModAlpha<SF, Format::A1R5G5B5>(srcAlpha);
    case Format::R5G6B5: return PickModAlpha<SF, Format::R5G6B5>(srcAlpha);
    default: return nullptr;
  }
}

TexelRectFn PickModAlphaRect(Format sf, Format df, bool srcAlpha) {
  switch (sf) {
    case Format::A8R8G8B8: return PickModAlphaDst<Format::A8R8G8B8>(df, srcAlpha);
    case Format::X8R8G8B8: return PickModAlphaDst<Format::X8R8G8B8>(df, srcAlpha);
    case Format::A1R5G5B5: return PickModAlphaDst<Format::A1R5G5B5>(df, srcAlpha);
    case Format::R5G6B5: return PickModAlphaDst<Format::R5G6B5>(df, srcAlpha);
    default: return nullptr;
  }
}

// Everything a texel table is made from (n 0: no table).
struct TexelTableKey {
  int n = 0;
  int64_t p0 = 0;
  double a = 0, b = 0;
  float ta = 0, tb = 0;
  int size = 0;
  uint32_t address = 0;
  bool operator==(const TexelTableKey& o) const {
    // Bit for bit: a table made from -0.0 or a NaN is not taken for another one.
    auto same = [](auto x, auto y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    return n != 0 && n == o.n && p0 == o.p0 && same(a, o.a) && same(b, o.b) && same(ta, o.ta) && same(tb, o.tb) &&
           size == o.size && address == o.address;
  }
};

// Texel index for each of `n` destination columns (or rows) starting at pixel p0, for a quad edge
// running from position a to b with texture coordinate ta to tb over a texture of `size` texels.
// A mapping of exactly one texel per pixel (forwards or mirrored) that stays inside the texture is
// filled by stepping, which gives the same indexes as evaluating every pixel centre. Returns +1 or
// -1 when the table steps by that (made by stepping or found so), 0 otherwise.
#if QC4_GFX_AVX2
// The pixel-by-pixel part of FillTexelTable, four pixels at a time in doubles with the very same
// operations in the same order (no contraction), for groups whose four indexes all fall inside the
// texture, where addressing leaves them as they are; other groups are left to the caller, flagged
// in `pending` (one byte per group). Returns the number of pixels covered by whole groups.
QC4_TARGET_AVX2 int EvaluateTexelGroupsAvx2(int* out, int n, int64_t p0, double a, double span, double ta, double range,
                                            int size, uint8_t* pending) {
  const __m256d vA = _mm256_set1_pd(a), vSpan = _mm256_set1_pd(span), vTa = _mm256_set1_pd(ta);
  const __m256d vRange = _mm256_set1_pd(range), vSize = _mm256_set1_pd(static_cast<double>(size));
  const __m256d k256 = _mm256_set1_pd(256.0), kInv256 = _mm256_set1_pd(1.0 / 256.0);
  const __m256d half = _mm256_set1_pd(0.5), minusHalf = _mm256_set1_pd(-0.5), one = _mm256_set1_pd(1.0);
  const __m256d zero = _mm256_setzero_pd(), steps = _mm256_setr_pd(0, 1, 2, 3);
  const __m256d start = _mm256_set1_pd(static_cast<double>(p0));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m256d p = _mm256_add_pd(_mm256_add_pd(start, _mm256_set1_pd(static_cast<double>(i))), steps);
    const __m256d f = _mm256_div_pd(_mm256_sub_pd(p, vA), vSpan);
    const __m256d x = _mm256_mul_pd(_mm256_mul_pd(_mm256_add_pd(vTa, _mm256_mul_pd(f, vRange)), vSize), k256);
    __m256d q = _mm256_round_pd(x, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    const __m256d fraction = _mm256_sub_pd(x, q);
    q = _mm256_add_pd(q, _mm256_and_pd(_mm256_cmp_pd(fraction, half, _CMP_GE_OQ), one));
    q = _mm256_sub_pd(q, _mm256_and_pd(_mm256_cmp_pd(fraction, minusHalf, _CMP_LE_OQ), one));
    const __m256d index = _mm256_floor_pd(_mm256_mul_pd(q, kInv256));
    const __m256d inside =
        _mm256_and_pd(_mm256_cmp_pd(index, zero, _CMP_GE_OQ), _mm256_cmp_pd(index, vSize, _CMP_LT_OQ));
    const bool whole = _mm256_movemask_pd(inside) == 0xF;
    pending[i / 4] = whole ? 0 : 1;
    if (whole) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm256_cvttpd_epi32(index));
  }
  return i;
}
#endif

int FillTexelTable(int* out, int n, int64_t p0, double a, double b, float ta, float tb, int size, uint32_t address) {
  const double span = b - a;
  const double scale = (static_cast<double>(tb) - ta) * size / span;
  auto at = [&](int i) {
    const double f = (static_cast<double>(p0 + i) - a) / span;
    return TexelIndex((ta + f * (static_cast<double>(tb) - ta)) * size, size, address);
  };
  if (scale == 1.0 || scale == -1.0) {
    const int step = scale > 0 ? 1 : -1;
    const int first = at(0);
    const int64_t last = first + int64_t{step} * (n - 1);
    if (last >= 0 && last < size) {  // no crossing of the texture's edge, where addressing decides
      for (int i = 0; i < n; ++i) out[i] = first + step * i;
      return step;
    }
  }
  int done = 0;
#if QC4_GFX_AVX2
  // Positions stay far inside the doubles' exact integers; the texture coordinates are finite.
  thread_local std::vector<uint8_t> pending;
  if (UseAvx2() && n >= 4 && std::llabs(p0) < (int64_t{1} << 40) && std::isfinite(a) && std::isfinite(span)) {
    pending.resize(static_cast<size_t>(n / 4));
    done = EvaluateTexelGroupsAvx2(out, n, p0, a, span, ta, static_cast<double>(tb) - ta, size, pending.data());
    for (int g = 0; g < done / 4; ++g)
      if (pending[static_cast<size_t>(g)])
        for (int i = 4 * g; i < 4 * g + 4; ++i) out[i] = at(i);
  }
#endif
  for (int i = done; i < n; ++i) out[i] = at(i);
  // A table that steps by one all the same (a 1:1 mapping of a texture whose size is not a power of
  // two) says so, which spares its quads the scan.
  bool forwards = n > 1, backwards = n > 1;
  for (int i = 1; i < n && (forwards || backwards); ++i) {
    forwards = forwards && out[i] == out[0] + i;
    backwards = backwards && out[i] == out[0] - i;
  }
  return forwards ? 1 : backwards ? -1 : 0;
}

// Whether FillTexelTable makes the table by stepping (cheaply) rather than pixel by pixel.
bool TableSteps(const TexelTableKey& k) {
  const double scale = (static_cast<double>(k.tb) - k.ta) * k.size / (k.b - k.a);
  return scale == 1.0 || scale == -1.0;
}

// Texel tables: those made pixel by pixel (a texture whose size is not a power of two has texture
// coordinates that are not exact, so its 1:1 mapping is not recognised) are kept with the inputs
// they were made from, since quads drawn one after another often map their columns or rows alike
// (the tiles of a picture tiled over the screen, the lines of a wave), and a table made from the
// very same inputs is the same table. Stepped tables are made each time: that is cheaper than
// looking for them.
class TexelTables {
 public:
  // The table for `key` and its step (see FillTexelTable).
  const int* Get(const TexelTableKey& key, int* step) {
    if (TableSteps(key)) {
      if (static_cast<int>(m_aScratch.size()) < key.n) m_aScratch.resize(static_cast<size_t>(key.n));
      *step = Fill(m_aScratch.data(), key);
      return m_aScratch.data();
    }
    const int i = static_cast<int>(Hash(key) % kCount);
    if (!(m_aKeys[i] == key)) {
      m_aKeys[i] = TexelTableKey{};  // the table is being rewritten
      if (static_cast<int>(m_aTables[i].size()) < key.n) m_aTables[i].resize(static_cast<size_t>(key.n));
      m_anSteps[i] = Fill(m_aTables[i].data(), key);
      m_aKeys[i] = key;
    }
    *step = m_anSteps[i];
    return m_aTables[i].data();
  }

 private:
  static constexpr uint64_t kCount = 64;
  static int Fill(int* out, const TexelTableKey& k) {
    return FillTexelTable(out, k.n, k.p0, k.a, k.b, k.ta, k.tb, k.size, k.address);
  }
  static uint64_t Hash(const TexelTableKey& k) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](auto v) {
      uint64_t bits = 0;
      std::memcpy(&bits, &v, sizeof v);
      h = (h ^ bits) * 1099511628211ull;
      h ^= h >> 29;
    };
    mix(k.n);
    mix(k.p0);
    mix(k.a);
    mix(k.b);
    mix(k.ta);
    mix(k.tb);
    mix(k.size);
    return h;
  }
  TexelTableKey m_aKeys[kCount];
  std::vector<int> m_aTables[kCount];
  int m_anSteps[kCount] = {};
  std::vector<int> m_aScratch;
};

}  // namespace

bool DrawAlignedQuad(const DrawContext& ctx, const Vertex& v0, const Vertex& v1, const Vertex& v2, const Vertex& v3,
                     int64_t* pixels) {
  *pixels = 0;
  if (v0.diffuse != v1.diffuse || v1.diffuse != v2.diffuse || v2.diffuse != v3.diffuse) return false;
  float xA, xB, yA, yB, uA, uB, vA, vB;
  if (v0.x == v1.x && v2.x == v3.x && v0.y == v2.y && v1.y == v3.y) {
    if (v0.u != v1.u || v2.u != v3.u || v0.v != v2.v || v1.v != v3.v) return false;
    xA = v0.x;
    xB = v2.x;
    uA = v0.u;
    uB = v2.u;
    yA = v0.y;
    yB = v1.y;
    vA = v0.v;
    vB = v1.v;
  } else if (v0.y == v1.y && v2.y == v3.y && v0.x == v2.x && v1.x == v3.x) {
    if (v0.u != v2.u || v1.u != v3.u || v0.v != v1.v || v2.v != v3.v) return false;
    xA = v0.x;
    xB = v1.x;
    uA = v0.u;
    uB = v1.u;
    yA = v0.y;
    yB = v2.y;
    vA = v0.v;
    vB = v2.v;
  } else {
    return false;
  }
  const State& st = *ctx.state;
  // Culling: both triangles of the strip share the winding of the first.
  {
    const int64_t cross =
        (Snap(v1.x) - Snap(v0.x)) * (Snap(v2.y) - Snap(v0.y)) - (Snap(v1.y) - Snap(v0.y)) * (Snap(v2.x) - Snap(v0.x));
    if (cross == 0) return true;
    const bool clockwise = cross > 0;
    if (st.cullMode == kCullCw && clockwise) return true;
    if (st.cullMode == kCullCcw && !clockwise) return true;
  }
  if (xA > xB) {
    std::swap(xA, xB);
    std::swap(uA, uB);
  }
  if (yA > yB) {
    std::swap(yA, yB);
    std::swap(vA, vB);
  }
  const int64_t XA = Snap(xA), XB = Snap(xB), YA = Snap(yA), YB = Snap(yB);
  Surface* target = ctx.target;
  const int64_t px0 = std::max<int64_t>(CeilDiv(XA, 256), 0);
  const int64_t px1 = std::min<int64_t>(CeilDiv(XB, 256), target->Width());
  const int64_t py0 = std::max<int64_t>(CeilDiv(YA, 256), 0);
  const int64_t py1 = std::min<int64_t>(CeilDiv(YB, 256), target->Height());
  if (px0 >= px1 || py0 >= py1) return true;

  const uint32_t diffuse = v0.diffuse;
  uint32_t constant = 0;
  const Shade shade = ClassifyShade(st, diffuse, &constant);
  const BlendKind blend = ClassifyBlend(st);
  const Surface* tex = ctx.texture;
  const Format df = target->GetFormat();
  const int dbpp = BytesPerPixel(df);
  const int w = static_cast<int>(px1 - px0), h = static_cast<int>(py1 - py0);
  *pixels = int64_t{w} * h;

  // Texel column per destination column, texel row per destination row. Kept between draws with
  // what they were made from (one drawing thread at a time; thread_local keeps threads apart).
  thread_local TexelTables colTables, rowTables;
  const int* cols = nullptr;
  const int* rows = nullptr;
  int colStep = 0, rowStep = 0;  // rowStep: unused, rows are read through the table
  if (tex) {
    const int tw = tex->Width(), th = tex->Height();
    const double sxA = XA / 256.0, sxB = XB / 256.0, syA = YA / 256.0, syB = YB / 256.0;
    cols = colTables.Get(TexelTableKey{w, px0, sxA, sxB, uA, uB, tw, st.addressU}, &colStep);
    rows = rowTables.Get(TexelTableKey{h, py0, syA, syB, vA, vB, th, st.addressV}, &rowStep);
  }
  const uint32_t texelWhite = 0xFFFFFFFF;

  if (shade == Shade::Constant || (!tex && shade != Shade::Generic)) {
    uint32_t c = constant;
    if (!tex && shade != Shade::Constant) c = Combine(st, texelWhite, diffuse);
    if (blend == BlendKind::Replace || (blend == BlendKind::SrcAlpha && (c >> 24) == 255)) {
      ClearRect(target,
                Rect{static_cast<int>(px0), static_cast<int>(py0), static_cast<int>(px1), static_cast<int>(py1)}, c);
      return true;
    }
    if (blend == BlendKind::SrcAlpha && (c >> 24) == 0) return true;
    for (int y = 0; y < h; ++y) {
      uint8_t* row = target->Row(static_cast<int>(py0) + y);
      for (int x = 0; x < w; ++x) {
        uint8_t* p = row + (px0 + x) * dbpp;
        const uint32_t d = PixelToArgb(df, LoadPixel(p, dbpp));
        StorePixel(p, dbpp, ArgbToPixel(df, Blend(st, c, d)));
      }
    }
    return true;
  }

  if ((shade == Shade::TexelDirect || shade == Shade::TexelConstAlpha || shade == Shade::TexelModAlpha) &&
      blend != BlendKind::Generic) {
    TexelRectFn fn =
        shade == Shade::TexelModAlpha
            ? PickModAlphaRect(tex->GetFormat(), df, blend == BlendKind::SrcAlpha)
            : PickTexelRect(tex->GetFormat(), df, shade == Shade::TexelConstAlpha, blend == BlendKind::SrcAlpha);
    if (fn) {
      // A stepped column table tells its direction; any other is scanned.
      QuadSpan span{static_cast<int>(px0), static_cast<int>(px1), cols, colStep != -1 || w == 1, colStep != 1 && w > 1};
      for (int i = 1; colStep == 0 && i < w && (span.contiguous || span.mirrored); ++i) {
        if (cols[i] != cols[0] + i) span.contiguous = false;
        if (cols[i] != cols[0] - i) span.mirrored = false;
      }
      const TexelBlock block{target->Row(static_cast<int>(py0)), target->Pitch(), tex->Row(0), tex->Pitch(), rows, h};
      fn(block, span, shade == Shade::TexelModAlpha ? constant >> 24 : constant & 0xFF000000u);
      return true;
    }
  }

  // Generic: full stage evaluation per pixel.
  const Format tf = tex ? tex->GetFormat() : Format::Unknown;
  const int tbpp = BytesPerPixel(tf);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = target->Row(static_cast<int>(py0) + y);
    const uint8_t* srow = tex ? tex->Row(rows[y]) : nullptr;
    for (int x = 0; x < w; ++x) {
      const uint32_t texel = tex ? PixelToArgb(tf, LoadPixel(srow + cols[x] * tbpp, tbpp)) : texelWhite;
      const uint32_t s = Combine(st, texel, diffuse);
      uint8_t* p = row + (px0 + x) * dbpp;
      const uint32_t d = PixelToArgb(df, LoadPixel(p, dbpp));
      StorePixel(p, dbpp, ArgbToPixel(df, Blend(st, s, d)));
    }
  }
  return true;
}

}  // namespace gfx::raster
