// Pixel formats, channel layouts and the conversions between raw pixels and 32-bit ARGB.
// The widening and narrowing rules are stated in pixel_format.h.
#include "platform/gfx/pixel_format.h"

#include <cstring>

#include "platform/gfx/simd.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx {

const char* ResultName(Result r) {
  switch (r) {
    case kOk: return "ok";
    case kErrInvalidCall: return "invalid call";
    case kErrInvalidRect: return "invalid rectangle";
    case kErrDeviceLost: return "device lost";
    case kErrDeviceNotReset: return "device not reset";
    case kErrOutOfVideoMemory: return "out of video memory";
    case kErrOutOfMemory: return "out of memory";
    case kErrSurfaceLost: return "surface lost";
    case kErrSurfaceBusy: return "surface busy";
    case kErrNotLocked: return "not locked";
    case kErrInvalidData: return "invalid data";
    case kErrNotFound: return "not found";
    case kErrUnsupported: return "unsupported";
    default: return r >= 0 ? "ok" : "error";
  }
}

int BitsPerPixel(Format f) {
  switch (f) {
    case Format::I8: return 8;
    case Format::R5G6B5:
    case Format::A1R5G5B5: return 16;
    case Format::X8R8G8B8:
    case Format::A8R8G8B8: return 32;
    default: return 0;
  }
}

int BytesPerPixel(Format f) { return BitsPerPixel(f) / 8; }

const char* FormatName(Format f) {
  switch (f) {
    case Format::I8: return "I8";
    case Format::R5G6B5: return "R5G6B5";
    case Format::A1R5G5B5: return "A1R5G5B5";
    case Format::X8R8G8B8: return "X8R8G8B8";
    case Format::A8R8G8B8: return "A8R8G8B8";
    case Format::Index16: return "Index16";
    default: return "Unknown";
  }
}

ChannelLayout LayoutOf(Format f) {
  switch (f) {
    case Format::R5G6B5: return {11, 5, 0, 16, 31, 63, 31, 0};
    case Format::A1R5G5B5: return {10, 5, 0, 15, 31, 31, 31, 1};
    case Format::X8R8G8B8: return {16, 8, 0, 24, 255, 255, 255, 0};
    case Format::A8R8G8B8: return {16, 8, 0, 24, 255, 255, 255, 255};
    default: return {};
  }
}

uint32_t PixelToArgb(Format f, uint32_t raw, const PaletteEntry* palette) {
  switch (f) {
    case Format::I8: {
      const uint32_t i = raw & 255;
      if (!palette) return 0xFF000000u | i << 16 | i << 8 | i;
      const PaletteEntry& e = palette[i];
      return 0xFF000000u | uint32_t{e.red} << 16 | uint32_t{e.green} << 8 | e.blue;
    }
    case Format::R5G6B5:
      return 0xFF000000u | Widen5(raw >> 11 & 31) << 16 | Widen6(raw >> 5 & 63) << 8 | Widen5(raw & 31);
    case Format::A1R5G5B5:
      return ((raw & 0x8000) ? 0xFF000000u : 0u) | Widen5(raw >> 10 & 31) << 16 | Widen5(raw >> 5 & 31) << 8 |
             Widen5(raw & 31);
    case Format::X8R8G8B8: return 0xFF000000u | (raw & 0xFFFFFF);
    case Format::A8R8G8B8: return raw;
    default: return 0;
  }
}

uint32_t ArgbToPixel(Format f, uint32_t argb) {
  const uint32_t a = argb >> 24, r = argb >> 16 & 255, g = argb >> 8 & 255, b = argb & 255;
  switch (f) {
    case Format::I8: return argb & 255;
    case Format::R5G6B5: return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    case Format::A1R5G5B5: return (a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    case Format::X8R8G8B8: return 0xFF000000u | (argb & 0xFFFFFF);
    case Format::A8R8G8B8: return argb;
    default: return 0;
  }
}

uint32_t LoadPixel(const uint8_t* p, int bytesPerPixel) {
  switch (bytesPerPixel) {
    case 1: return *p;
    case 2: {
      uint16_t v;
      std::memcpy(&v, p, 2);
      return v;
    }
    case 4: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
    default: return 0;
  }
}

void StorePixel(uint8_t* p, int bytesPerPixel, uint32_t raw) {
  switch (bytesPerPixel) {
    case 1: *p = static_cast<uint8_t>(raw); break;
    case 2: {
      const uint16_t v = static_cast<uint16_t>(raw);
      std::memcpy(p, &v, 2);
      break;
    }
    case 4: std::memcpy(p, &raw, 4); break;
    default: break;
  }
}

void ConvertRow(Format from, const uint8_t* src, Format to, uint8_t* dst, int count, const PaletteEntry* palette) {
  const int sb = BytesPerPixel(from), db = BytesPerPixel(to);
  if (from == to && from != Format::I8) {
    std::memmove(dst, src, static_cast<size_t>(count) * sb);
    return;
  }
  for (int i = 0; i < count; ++i)
    StorePixel(dst + i * db, db, ArgbToPixel(to, PixelToArgb(from, LoadPixel(src + i * sb, sb), palette)));
}

namespace {

// 16-bit rows to 0x00RRGGBB, widening each field by repeating its top bits (Widen5 / Widen6).
// Eight pixels at a time in 16-bit lanes: a field moved to the top of its lane and multiplied
// (keeping the high half) by the right constant gives exactly floor(v * 33 / 4) = v << 3 | v >> 2
// for 5 bits and floor(v * 65 / 16) = v << 2 | v >> 4 for 6 bits.
struct SixteenBitWidening {
  uint16_t redMask, redMul, greenMask, greenMul;
  explicit SixteenBitWidening(bool a1r5g5b5)
      : redMask(a1r5g5b5 ? 0x7C00 : 0xF800),
        redMul(a1r5g5b5 ? 528 : 264),
        greenMask(a1r5g5b5 ? 0x03E0 : 0x07E0),
        greenMul(a1r5g5b5 ? 16896 : 8320) {}
  static constexpr uint16_t kBlueMul = 264;
};

void RowToRgb32SixteenTail(const uint8_t* src, uint32_t* dst, int from, int count, bool a1r5g5b5) {
  for (int i = from; i < count; ++i) {
    uint16_t v;
    std::memcpy(&v, src + 2 * i, 2);
    const uint32_t p = v;
    dst[i] = a1r5g5b5 ? Widen5(p >> 10 & 31) << 16 | Widen5(p >> 5 & 31) << 8 | Widen5(p & 31)
                      : Widen5(p >> 11 & 31) << 16 | Widen6(p >> 5 & 63) << 8 | Widen5(p & 31);
  }
}

void RowToRgb32Sixteen(const uint8_t* src, uint32_t* dst, int count, bool a1r5g5b5) {
  int i = 0;
#if defined(__SSE2__)
  const SixteenBitWidening k(a1r5g5b5);
  const __m128i redMask = _mm_set1_epi16(static_cast<short>(k.redMask));
  const __m128i redMul = _mm_set1_epi16(static_cast<short>(k.redMul));
  const __m128i greenMask = _mm_set1_epi16(static_cast<short>(k.greenMask));
  const __m128i greenMul = _mm_set1_epi16(static_cast<short>(k.greenMul));
  const __m128i blueMul = _mm_set1_epi16(SixteenBitWidening::kBlueMul);
  for (; i + 8 <= count; i += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * i));
    const __m128i r = _mm_mulhi_epu16(_mm_and_si128(p, redMask), redMul);
    const __m128i g = _mm_mulhi_epu16(_mm_and_si128(p, greenMask), greenMul);
    const __m128i b = _mm_mulhi_epu16(_mm_slli_epi16(p, 11), blueMul);
    const __m128i gb = _mm_or_si128(_mm_slli_epi16(g, 8), b);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi16(gb, r));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 4), _mm_unpackhi_epi16(gb, r));
  }
#endif
  RowToRgb32SixteenTail(src, dst, i, count, a1r5g5b5);
}

void RowToRgb32ThirtyTwoTail(const uint8_t* src, uint32_t* dst, int from, int count) {
  for (int i = from; i < count; ++i) {
    uint32_t v;
    std::memcpy(&v, src + 4 * i, 4);
    dst[i] = v & 0xFFFFFF;
  }
}

// 32-bit rows to 0x00RRGGBB: the top byte cleared, eight pixels per step.
void RowToRgb32ThirtyTwo(const uint8_t* src, uint32_t* dst, int count) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
  for (; i + 8 <= count; i += 8) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i + 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_and_si128(a, rgb));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 4), _mm_and_si128(b, rgb));
  }
#endif
  RowToRgb32ThirtyTwoTail(src, dst, i, count);
}

#if QC4_GFX_AVX2
// The two row loops above, sixteen pixels per step with AVX2.
QC4_TARGET_AVX2 void RowToRgb32SixteenAvx2(const uint8_t* src, uint32_t* dst, int count, bool a1r5g5b5) {
  const SixteenBitWidening k(a1r5g5b5);
  const __m256i redMask = _mm256_set1_epi16(static_cast<short>(k.redMask));
  const __m256i redMul = _mm256_set1_epi16(static_cast<short>(k.redMul));
  const __m256i greenMask = _mm256_set1_epi16(static_cast<short>(k.greenMask));
  const __m256i greenMul = _mm256_set1_epi16(static_cast<short>(k.greenMul));
  const __m256i blueMul = _mm256_set1_epi16(SixteenBitWidening::kBlueMul);
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 2 * i));
    const __m256i r = _mm256_mulhi_epu16(_mm256_and_si256(p, redMask), redMul);
    const __m256i g = _mm256_mulhi_epu16(_mm256_and_si256(p, greenMask), greenMul);
    const __m256i b = _mm256_mulhi_epu16(_mm256_slli_epi16(p, 11), blueMul);
    const __m256i gb = _mm256_or_si256(_mm256_slli_epi16(g, 8), b);
    // The unpacks work within each 128-bit half: pixels 0-3 and 8-11, then 4-7 and 12-15.
    const __m256i lo = _mm256_unpacklo_epi16(gb, r);
    const __m256i hi = _mm256_unpackhi_epi16(gb, r);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_permute2x128_si256(lo, hi, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 8), _mm256_permute2x128_si256(lo, hi, 0x31));
  }
  RowToRgb32SixteenTail(src, dst, i, count, a1r5g5b5);
}

QC4_TARGET_AVX2 void RowToRgb32ThirtyTwoAvx2(const uint8_t* src, uint32_t* dst, int count) {
  const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 4 * i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 4 * i + 32));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_and_si256(a, rgb));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 8), _mm256_and_si256(b, rgb));
  }
  RowToRgb32ThirtyTwoTail(src, dst, i, count);
}
#endif

// The 0x00RRGGBB colour of each 8-bit index.
void IndexColours(const PaletteEntry* palette, uint32_t (&lut)[256]) {
  for (uint32_t i = 0; i < 256; ++i) lut[i] = PixelToArgb(Format::I8, i, palette) & 0xFFFFFF;
}

}  // namespace

void RowToRgb32(Format from, const uint8_t* src, uint32_t* dst, int count, const PaletteEntry* palette) {
  switch (from) {
    case Format::X8R8G8B8:
    case Format::A8R8G8B8:
#if QC4_GFX_AVX2
      if (UseAvx2()) return RowToRgb32ThirtyTwoAvx2(src, dst, count);
#endif
      return RowToRgb32ThirtyTwo(src, dst, count);
    case Format::I8: {
      uint32_t lut[256];
      IndexColours(palette, lut);
      for (int i = 0; i < count; ++i) dst[i] = lut[src[i]];
      return;
    }
    case Format::R5G6B5:
    case Format::A1R5G5B5:
#if QC4_GFX_AVX2
      if (UseAvx2()) return RowToRgb32SixteenAvx2(src, dst, count, from == Format::A1R5G5B5);
#endif
      return RowToRgb32Sixteen(src, dst, count, from == Format::A1R5G5B5);
    default: {
      const int sb = BytesPerPixel(from);
      for (int i = 0; i < count; ++i) dst[i] = PixelToArgb(from, LoadPixel(src + i * sb, sb)) & 0xFFFFFF;
      return;
    }
  }
}

void ImageToRgb32(Format from, const uint8_t* bits, size_t pitch, int width, int height, uint32_t* dst,
                  const PaletteEntry* palette) {
  if (width <= 0 || height <= 0) return;
  if (from == Format::I8) {  // one colour table for the whole picture
    uint32_t lut[256];
    IndexColours(palette, lut);
    for (int y = 0; y < height; ++y) {
      const uint8_t* src = bits + y * pitch;
      uint32_t* out = dst + static_cast<size_t>(y) * width;
      for (int i = 0; i < width; ++i) out[i] = lut[src[i]];
    }
    return;
  }
  for (int y = 0; y < height; ++y)
    RowToRgb32(from, bits + y * pitch, dst + static_cast<size_t>(y) * width, width, palette);
}

}  // namespace gfx
