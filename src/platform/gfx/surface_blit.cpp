// The blit personality's drawing operations on surfaces: 1:1 copies (BltFast), stretched copies and
// colour fills (Blt), page flipping (Flip).
//
// Rectangle rules: an inverted or empty rectangle is refused with kErrInvalidRect and nothing is
// drawn. A rectangle that reaches past an edge of its surface (on either side of either axis) is
// clipped: for 1:1 copies the source and destination are cut together; for stretched copies every
// visible destination pixel keeps the source pixel the unclipped mapping gives it, and pixels whose
// source lies outside the source surface are left alone. Nothing is ever written outside a surface.
//
// Colour keys compare raw pixels; on X8R8G8B8 the unused top byte is ignored.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gfx/directdraw.h"
#include "platform/gfx/pixel_format.h"
#include "platform/gfx/simd.h"
#include "platform/gfx/surface.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx {

namespace {

bool IsValidRect(const Rect& r) { return r.left < r.right && r.top < r.bottom; }

uint32_t KeyMask(Format f) {
  switch (f) {
    case Format::I8: return 0xFF;
    case Format::R5G6B5:
    case Format::A1R5G5B5: return 0xFFFF;
    case Format::X8R8G8B8: return 0x00FFFFFF;
    default: return 0xFFFFFFFF;
  }
}

// Copies n pixels, skipping those whose masked value equals the key. The vector loops blend
// without branching on the picture: a sprite's edges change from keyed to drawn within a few pixels,
// so tests on each group would mostly mispredict. Keyed pixels are rewritten with their own value.
void KeyedRow32(uint32_t* d, const uint32_t* s, int n, uint32_t key, uint32_t mask) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i k = _mm_set1_epi32(static_cast<int>(key & mask));
  const __m128i m = _mm_set1_epi32(static_cast<int>(mask));
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i eq = _mm_cmpeq_epi32(_mm_and_si128(sv, m), k);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(_mm_and_si128(eq, dv), _mm_andnot_si128(eq, sv)));
  }
#endif
  for (; i < n; ++i)
    if ((s[i] & mask) != (key & mask)) d[i] = s[i];
}

void KeyedRow16(uint16_t* d, const uint16_t* s, int n, uint16_t key) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i k = _mm_set1_epi16(static_cast<short>(key));
  for (; i + 8 <= n; i += 8) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i eq = _mm_cmpeq_epi16(sv, k);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(_mm_and_si128(eq, dv), _mm_andnot_si128(eq, sv)));
  }
#endif
  for (; i < n; ++i)
    if (s[i] != key) d[i] = s[i];
}

void KeyedRow8(uint8_t* d, const uint8_t* s, int n, uint8_t key) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i k = _mm_set1_epi8(static_cast<char>(key));
  for (; i + 16 <= n; i += 16) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i eq = _mm_cmpeq_epi8(sv, k);
    const int bits = _mm_movemask_epi8(eq);
    if (bits == 0xFFFF) continue;
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(_mm_and_si128(eq, dv), _mm_andnot_si128(eq, sv)));
  }
#endif
  for (; i < n; ++i)
    if (s[i] != key) d[i] = s[i];
}

#if QC4_GFX_AVX2
// KeyedRow32 / KeyedRow16 over a whole rectangle with AVX2 (32 bytes at a time); the rows loop is
// inside so that a sprite's short rows pay for no call each. Wider groups are often wholly keyed
// (skipped) or wholly drawn (stored without reading the destination); mixed groups blend.
QC4_TARGET_AVX2 void KeyedRect32Avx2(uint8_t* d, size_t dPitch, const uint8_t* s, size_t sPitch, int w, int h,
                                     uint32_t key, uint32_t mask) {
  const __m256i k = _mm256_set1_epi32(static_cast<int>(key & mask));
  const __m256i m = _mm256_set1_epi32(static_cast<int>(mask));
  for (int y = 0; y < h; ++y) {
    auto* dr = reinterpret_cast<uint32_t*>(d + y * dPitch);
    auto* sr = reinterpret_cast<const uint32_t*>(s + y * sPitch);
    int i = 0;
    for (; i + 8 <= w; i += 8) {
      const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sr + i));
      const __m256i eq = _mm256_cmpeq_epi32(_mm256_and_si256(sv, m), k);
      const int keyed = _mm256_movemask_epi8(eq);
      if (keyed == -1) continue;
      if (keyed == 0) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dr + i), sv);
        continue;
      }
      const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dr + i));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dr + i), _mm256_blendv_epi8(sv, dv, eq));
    }
    for (; i < w; ++i)
      if ((sr[i] & mask) != (key & mask)) dr[i] = sr[i];
  }
}

QC4_TARGET_AVX2 void KeyedRect16Avx2(uint8_t* d, size_t dPitch, const uint8_t* s, size_t sPitch, int w, int h,
                                     uint16_t key) {
  const __m256i k = _mm256_set1_epi16(static_cast<short>(key));
  for (int y = 0; y < h; ++y) {
    auto* dr = reinterpret_cast<uint16_t*>(d + y * dPitch);
    auto* sr = reinterpret_cast<const uint16_t*>(s + y * sPitch);
    int i = 0;
    for (; i + 16 <= w; i += 16) {
      const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sr + i));
      const __m256i eq = _mm256_cmpeq_epi16(sv, k);
      const int keyed = _mm256_movemask_epi8(eq);
      if (keyed == -1) continue;
      if (keyed == 0) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dr + i), sv);
        continue;
      }
      const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dr + i));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dr + i), _mm256_blendv_epi8(sv, dv, eq));
    }
    for (; i < w; ++i)
      if (sr[i] != key) dr[i] = sr[i];
  }
}
#endif

// Copies h rows of w pixels (keyed or not) with the row loop picked once for the whole rectangle.
void CopyRows(Format f, uint8_t* d, size_t dPitch, const uint8_t* s, size_t sPitch, int w, int h, bool keyed,
              uint32_t key) {
  const int bpp = BytesPerPixel(f);
  const size_t rowBytes = static_cast<size_t>(w) * bpp;
  if (!keyed) {
    for (int i = 0; i < h; ++i) std::memcpy(d + i * dPitch, s + i * sPitch, rowBytes);
    return;
  }
#if QC4_GFX_AVX2
  if (bpp >= 2 && UseAvx2()) {
    if (bpp == 2)
      KeyedRect16Avx2(d, dPitch, s, sPitch, w, h, static_cast<uint16_t>(key));
    else
      KeyedRect32Avx2(d, dPitch, s, sPitch, w, h, key, KeyMask(f));
    return;
  }
#endif
  switch (bpp) {
    case 1:
      for (int i = 0; i < h; ++i) KeyedRow8(d + i * dPitch, s + i * sPitch, w, static_cast<uint8_t>(key));
      break;
    case 2:
      for (int i = 0; i < h; ++i)
        KeyedRow16(reinterpret_cast<uint16_t*>(d + i * dPitch), reinterpret_cast<const uint16_t*>(s + i * sPitch), w,
                   static_cast<uint16_t>(key));
      break;
    case 4: {
      const uint32_t mask = KeyMask(f);
      for (int i = 0; i < h; ++i)
        KeyedRow32(reinterpret_cast<uint32_t*>(d + i * dPitch), reinterpret_cast<const uint32_t*>(s + i * sPitch), w,
                   key, mask);
      break;
    }
    default: break;
  }
}

void FillRow(uint8_t* d, int bpp, int n, uint32_t value) {
  switch (bpp) {
    case 1: std::memset(d, static_cast<int>(value & 255), n); break;
    case 2: {
      auto* p = reinterpret_cast<uint16_t*>(d);
      for (int i = 0; i < n; ++i) p[i] = static_cast<uint16_t>(value);
      break;
    }
    case 4: {
      auto* p = reinterpret_cast<uint32_t*>(d);
      for (int i = 0; i < n; ++i) p[i] = value;
      break;
    }
    default: break;
  }
}

// Cuts a 1:1 copy of `sr` to (x, y) to both surfaces. False when nothing is left.
bool ClipCopy(Rect& sr, int64_t& x, int64_t& y, int srcW, int srcH, int dstW, int dstH) {
  if (sr.left < 0) {
    x -= sr.left;
    sr.left = 0;
  }
  if (sr.top < 0) {
    y -= sr.top;
    sr.top = 0;
  }
  if (sr.right > srcW) sr.right = srcW;
  if (sr.bottom > srcH) sr.bottom = srcH;
  if (sr.left >= sr.right || sr.top >= sr.bottom) return false;
  if (x >= dstW || y >= dstH) return false;
  if (x < 0) {
    if (-x >= sr.right - sr.left) return false;
    sr.left += static_cast<int>(-x);
    x = 0;
  }
  if (y < 0) {
    if (-y >= sr.bottom - sr.top) return false;
    sr.top += static_cast<int>(-y);
    y = 0;
  }
  if (x + (sr.right - sr.left) > dstW) sr.right = sr.left + static_cast<int>(dstW - x);
  if (y + (sr.bottom - sr.top) > dstH) sr.bottom = sr.top + static_cast<int>(dstH - y);
  return sr.left < sr.right && sr.top < sr.bottom;
}

bool IsWhole(const Rect& r, int width, int height) {
  return r.left == 0 && r.top == 0 && r.right == width && r.bottom == height;
}

bool Overlaps(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

// Copies the clipped 1:1 rectangle; handles a source that is the destination itself.
static void CopyRect(Surface* dst, int x, int y, const Surface* src, const Rect& sr, bool keyed) {
  const Format f = dst->GetFormat();
  const int bpp = BytesPerPixel(f);
  const int w = sr.Width(), h = sr.Height();
  const size_t rowBytes = static_cast<size_t>(w) * bpp;
  const Rect dr{x, y, x + w, y + h};
  if (src == dst && Overlaps(sr, dr)) {
    // Overlapping copy inside one surface: read the whole source first.
    std::vector<uint8_t> tmp(rowBytes * h);
    for (int i = 0; i < h; ++i) std::memcpy(tmp.data() + rowBytes * i, src->Row(sr.top + i) + sr.left * bpp, rowBytes);
    CopyRows(f, dst->Row(y) + x * bpp, static_cast<size_t>(dst->Pitch()), tmp.data(), rowBytes, w, h, keyed,
             src->ColorKey());
    return;
  }
  CopyRows(f, dst->Row(y) + x * bpp, static_cast<size_t>(dst->Pitch()), src->Row(sr.top) + sr.left * bpp,
           static_cast<size_t>(src->Pitch()), w, h, keyed, src->ColorKey());
}

Result Surface::BltFast(int x, int y, Surface* src, const Rect* srcRect, uint32_t flags) {
  if (!src) return kErrInvalidCall;
  if (m_lost || src->m_lost) return kErrSurfaceLost;
  if (src->m_format != m_format) return kErrInvalidCall;
  Rect sr = srcRect ? *srcRect : Rect{0, 0, src->m_width, src->m_height};
  if (!IsValidRect(sr)) return kErrInvalidRect;
  int64_t dx = x, dy = y;
  if (!ClipCopy(sr, dx, dy, src->m_width, src->m_height, m_width, m_height)) return kOk;
  const bool keyed = (flags & kBltFastSrcColorKey) && src->m_hasKey;
  CopyRect(this, static_cast<int>(dx), static_cast<int>(dy), src, sr, keyed);
  return kOk;
}

Result Surface::Blt(const Rect* dstRect, Surface* src, const Rect* srcRect, uint32_t flags, uint32_t fillColour) {
  if (m_lost) return kErrSurfaceLost;
  const Rect dr = dstRect ? *dstRect : Rect{0, 0, m_width, m_height};
  if (!IsValidRect(dr)) return kErrInvalidRect;
  const int bpp = BytesPerPixel(m_format);

  if (flags & kBltColorFill) {
    const int l = dr.left < 0 ? 0 : dr.left, t = dr.top < 0 ? 0 : dr.top;
    const int r = dr.right > m_width ? m_width : dr.right, b = dr.bottom > m_height ? m_height : dr.bottom;
    for (int yy = t; yy < b && l < r; ++yy) FillRow(Row(yy) + l * bpp, bpp, r - l, fillColour);
    if (m_isPrimary && m_ddraw) m_ddraw->PresentSurface(this);
    return kOk;
  }

  if (!src) return kErrInvalidCall;
  if (src->m_lost) return kErrSurfaceLost;
  if (src->m_format != m_format) return kErrInvalidCall;
  const Rect sr = srcRect ? *srcRect : Rect{0, 0, src->m_width, src->m_height};
  if (!IsValidRect(sr)) return kErrInvalidRect;
  const bool keyed = (flags & kBltKeySrc) && src->m_hasKey;

  if (m_isPrimary && m_ddraw && !keyed && src != this && IsWhole(dr, m_width, m_height) &&
      IsWhole(sr, src->m_width, src->m_height) && src->m_width == m_width && src->m_height == m_height) {
    m_ddraw->CopyAndPresent(this, src);  // the windowed present: copied and shown in one pass
    return kOk;
  }
  if (sr.Width() == dr.Width() && sr.Height() == dr.Height()) {
    Rect s = sr;
    int64_t dx = dr.left, dy = dr.top;
    if (ClipCopy(s, dx, dy, src->m_width, src->m_height, m_width, m_height))
      CopyRect(this, static_cast<int>(dx), static_cast<int>(dy), src, s, keyed);
  } else {
    // Nearest sampling: destination offset j takes source offset (2j + 1) * sw / (2 * dw).
    const int64_t dw = dr.Width(), dh = dr.Height(), sw = sr.Width(), sh = sr.Height();
    const int x0 = dr.left < 0 ? 0 : dr.left, x1 = dr.right > m_width ? m_width : dr.right;
    const int y0 = dr.top < 0 ? 0 : dr.top, y1 = dr.bottom > m_height ? m_height : dr.bottom;
    if (x0 < x1 && y0 < y1) {
      std::vector<int> cols(static_cast<size_t>(x1 - x0));
      for (int xx = x0; xx < x1; ++xx) {
        const int64_t j = xx - dr.left;
        const int64_t sx = sr.left + (2 * j + 1) * sw / (2 * dw);
        cols[xx - x0] = (sx >= 0 && sx < src->m_width) ? static_cast<int>(sx) : -1;
      }
      const bool sameSurface = src == this;
      std::vector<uint8_t> copy;
      const Surface* from = src;
      Surface* snapshot = nullptr;
      if (sameSurface) {
        snapshot = Surface::CreateStandalone(src->m_width, src->m_height, src->m_format);
        if (!snapshot) return kErrOutOfMemory;
        for (int i = 0; i < src->m_height; ++i)
          std::memcpy(snapshot->Row(i), src->Row(i), static_cast<size_t>(src->m_width) * bpp);
        from = snapshot;
      }
      const uint32_t key = src->m_key, mask = KeyMask(m_format);
      for (int yy = y0; yy < y1; ++yy) {
        const int64_t i = yy - dr.top;
        const int64_t sy = sr.top + (2 * i + 1) * sh / (2 * dh);
        if (sy < 0 || sy >= src->m_height) continue;
        const uint8_t* srow = from->Row(static_cast<int>(sy));
        uint8_t* drow = Row(yy);
        switch (bpp) {
          case 1:
            for (int xx = x0; xx < x1; ++xx) {
              const int c = cols[xx - x0];
              if (c < 0) continue;
              const uint8_t v = srow[c];
              if (!keyed || v != (key & 255)) drow[xx] = v;
            }
            break;
          case 2: {
            auto* d = reinterpret_cast<uint16_t*>(drow);
            auto* s = reinterpret_cast<const uint16_t*>(srow);
            for (int xx = x0; xx < x1; ++xx) {
              const int c = cols[xx - x0];
              if (c < 0) continue;
              const uint16_t v = s[c];
              if (!keyed || v != static_cast<uint16_t>(key)) d[xx] = v;
            }
            break;
          }
          case 4: {
            auto* d = reinterpret_cast<uint32_t*>(drow);
            auto* s = reinterpret_cast<const uint32_t*>(srow);
            for (int xx = x0; xx < x1; ++xx) {
              const int c = cols[xx - x0];
              if (c < 0) continue;
              const uint32_t v = s[c];
              if (!keyed || (v & mask) != (key & mask)) d[xx] = v;
            }
            break;
          }
          default: break;
        }
      }
      if (snapshot) snapshot->Release();
    }
  }
  if (m_isPrimary && m_ddraw) m_ddraw->PresentSurface(this);
  return kOk;
}

Result Surface::Flip() {
  if (!m_isPrimary || m_backBufferCount == 0) return kErrInvalidCall;
  if (m_lost) return kErrSurfaceLost;
  // Rotate the pixel memory: back buffer 1 becomes the front, the old front goes to the end.
  uint8_t* frontBits = m_bits;
  uint8_t* frontAlloc = m_allocation;
  m_bits = m_backBuffers[0]->m_bits;
  m_allocation = m_backBuffers[0]->m_allocation;
  for (int i = 0; i + 1 < m_backBufferCount; ++i) {
    m_backBuffers[i]->m_bits = m_backBuffers[i + 1]->m_bits;
    m_backBuffers[i]->m_allocation = m_backBuffers[i + 1]->m_allocation;
  }
  m_backBuffers[m_backBufferCount - 1]->m_bits = frontBits;
  m_backBuffers[m_backBufferCount - 1]->m_allocation = frontAlloc;
  if (m_ddraw) m_ddraw->PresentSurface(this);
  return kOk;
}

}  // namespace gfx
