// Pixel formats, channel layouts and the conversions between raw pixels and 32-bit ARGB.
// The widening and narrowing rules are stated in pixel_format.h.
#include "platform/gfx/pixel_format.h"

#include <cstring>

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
      return 0xFF000000u | Widen5(raw >> 11 & 31) << 16 | Widen6(raw >> 5 & 63) << 8 |
             Widen5(raw & 31);
    case Format::A1R5G5B5:
      return ((raw & 0x8000) ? 0xFF000000u : 0u) | Widen5(raw >> 10 & 31) << 16 |
             Widen5(raw >> 5 & 31) << 8 | Widen5(raw & 31);
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
    case 2: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case 4: { uint32_t v; std::memcpy(&v, p, 4); return v; }
    default: return 0;
  }
}

void StorePixel(uint8_t* p, int bytesPerPixel, uint32_t raw) {
  switch (bytesPerPixel) {
    case 1: *p = static_cast<uint8_t>(raw); break;
    case 2: { const uint16_t v = static_cast<uint16_t>(raw); std::memcpy(p, &v, 2); break; }
    case 4: std::memcpy(p, &raw, 4); break;
    default: break;
  }
}

void ConvertRow(Format from, const uint8_t* src, Format to, uint8_t* dst, int count,
                const PaletteEntry* palette) {
  const int sb = BytesPerPixel(from), db = BytesPerPixel(to);
  if (from == to && from != Format::I8) {
    std::memmove(dst, src, static_cast<size_t>(count) * sb);
    return;
  }
  for (int i = 0; i < count; ++i)
    StorePixel(dst + i * db, db, ArgbToPixel(to, PixelToArgb(from, LoadPixel(src + i * sb, sb), palette)));
}

void RowToRgb32(Format from, const uint8_t* src, uint32_t* dst, int count,
                const PaletteEntry* palette) {
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
    default: {
      const int sb = BytesPerPixel(from);
      for (int i = 0; i < count; ++i) dst[i] = PixelToArgb(from, LoadPixel(src + i * sb, sb)) & 0xFFFFFF;
      return;
    }
  }
}

}  // namespace gfx
