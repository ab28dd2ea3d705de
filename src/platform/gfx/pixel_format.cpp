// Pixel formats, channel layouts and the conversions between raw pixels and 32-bit ARGB.
// The widening and narrowing rules are stated in pixel_format.h.
#include "platform/gfx/pixel_format.h"

#include <cstring>

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
void RowToRgb32Sixteen(const uint8_t* src, uint32_t* dst, int count, bool a1r5g5b5) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i redMask = _mm_set1_epi16(static_cast<short>(a1r5g5b5 ? 0x7C00 : 0xF800));
  const __m128i redMul = _mm_set1_epi16(static_cast<short>(a1r5g5b5 ? 528 : 264));
  const __m128i greenMask = _mm_set1_epi16(static_cast<short>(a1r5g5b5 ? 0x03E0 : 0x07E0));
  const __m128i greenMul = _mm_set1_epi16(static_cast<short>(a1r5g5b5 ? 16896 : 8320));
  const __m128i blueMul = _mm_set1_epi16(264);
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
  for (; i < count; ++i) {
    uint16_t v;
    std::memcpy(&v, src + 2 * i, 2);
    const uint32_t p = v;
    dst[i] = a1r5g5b5 ? Widen5(p >> 10 & 31) << 16 | Widen5(p >> 5 & 31) << 8 | Widen5(p & 31)
                      : Widen5(p >> 11 & 31) << 16 | Widen6(p >> 5 & 63) << 8 | Widen5(p & 31);
  }
}

}  // namespace

void RowToRgb32(Format from, const uint8_t* src, uint32_t* dst, int count, const PaletteEntry* palette) {
  switch (from) {
    case Format::X8R8G8B8:
    case Format::A8R8G8B8:
      for (int i = 0; i < count; ++i) {
        uint32_t v;
        std::memcpy(&v, src + 4 * i, 4);
        dst[i] = v & 0xFFFFFF;
      }
      return;
    case Format::I8: {
      uint32_t lut[256];
      for (int i = 0; i < 256; ++i) lut[i] = PixelToArgb(Format::I8, i, palette) & 0xFFFFFF;
      for (int i = 0; i < count; ++i) dst[i] = lut[src[i]];
      return;
    }
    case Format::R5G6B5: RowToRgb32Sixteen(src, dst, count, false); return;
    case Format::A1R5G5B5: RowToRgb32Sixteen(src, dst, count, true); return;
    default: {
      const int sb = BytesPerPixel(from);
      for (int i = 0; i < count; ++i) dst[i] = PixelToArgb(from, LoadPixel(src + i * sb, sb)) & 0xFFFFFF;
      return;
    }
  }
}

}  // namespace gfx
