// Conversions between the device's pixel formats and 32-bit ARGB colours.
//
// Rounding rules (the device uses these everywhere it converts):
// - Widening a 5- or 6-bit field to 8 bits replicates its top bits: v5 -> (v5 << 3) | (v5 >> 2),
//   v6 -> (v6 << 2) | (v6 >> 4); a 1-bit alpha becomes 0 or 255. So 31 -> 255 and 0 -> 0.
// - Narrowing 8 bits to a 5-, 6- or 1-bit field truncates: c >> 3, c >> 2, c >> 7.
// - X8R8G8B8 reads with alpha 255 and is written with its top byte 0xFF; R5G6B5 reads with alpha 255.
// - I8 pixels widen through a palette; there is no narrowing into I8 (writes of device colours into
//   an 8-bit surface store the low byte of the colour, which is how a raw palette index is given).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gfx/gfx_types.h"

namespace gfx {

// Widening helpers.
inline constexpr uint32_t Widen5(uint32_t v) { return (v << 3) | (v >> 2); }
inline constexpr uint32_t Widen6(uint32_t v) { return (v << 2) | (v >> 4); }

// A raw pixel (low BitsPerPixel bits of `raw`) as 0xAARRGGBB. I8 uses `palette` (256 entries; null
// gives grey levels index,index,index) and alpha 255.
uint32_t PixelToArgb(Format f, uint32_t raw, const PaletteEntry* palette = nullptr);
// 0xAARRGGBB as a raw pixel of format f (truncating narrowing). I8: the low byte of argb.
uint32_t ArgbToPixel(Format f, uint32_t argb);

// Reads / writes one pixel at a byte address (1, 2 or 4 bytes by format).
uint32_t LoadPixel(const uint8_t* p, int bytesPerPixel);
void StorePixel(uint8_t* p, int bytesPerPixel, uint32_t raw);

// Converts a row of `count` pixels from one format to another (through ARGB; same format copies).
// `palette` is used when `from` is I8.
void ConvertRow(Format from, const uint8_t* src, Format to, uint8_t* dst, int count,
                const PaletteEntry* palette = nullptr);

// Converts a row to 0x00RRGGBB words (the frame format of the present hook). The 16- and 32-bit
// formats take AVX2 loops when UseAvx2() allows, with the same results.
void RowToRgb32(Format from, const uint8_t* src, uint32_t* dst, int count, const PaletteEntry* palette = nullptr);
// RowToRgb32 over a whole picture of `height` rows `pitch` bytes apart, into packed rows of `width`
// words (a shown frame).
void ImageToRgb32(Format from, const uint8_t* bits, size_t pitch, int width, int height, uint32_t* dst,
                  const PaletteEntry* palette = nullptr);

}  // namespace gfx
