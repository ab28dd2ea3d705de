#pragma once
// Reading the game's picture files: every picture is a Windows bitmap named by a game-relative path
// ("bmp\Title.bmp", Shift-JIS). A file in another format, or one that is missing, is refused.
#include <cstdint>

#include "platform/bmp/bmp_reader.h"
#include "platform/gfx/d3d_device.h"

// Loads and decodes a bitmap; false for an empty path, a missing file or anything not a bitmap.
bool LoadBitmapFile(const char* gamePath, BmpImage& out);

// A texture of texW x texH in `format` holding the bitmap at its top-left corner: pixels equal to
// `colorKey` (an opaque 0xFFRRGGBB) become transparent black, the padding stays transparent black,
// every other pixel is narrowed into the format.
gfx::Result CreateTextureFromBitmap(gfx::Device* device, const BmpImage& image, int texW, int texH, uint32_t usage,
                                    gfx::Format format, gfx::Pool pool, gfx::Colour colorKey, gfx::Texture** out);
