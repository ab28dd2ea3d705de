#include "media/graphics/bitmap_file.h"

#include <string>

#include "platform/files.h"
#include "platform/gfx/d3dx.h"

bool LoadBitmapFile(const char* gamePath, BmpImage& out) {
  if (!gamePath || !*gamePath) return false;
  std::string diskPath;
  if (!FindOnDisk(gamePath, diskPath)) return false;
  BmpDecodeResult r = LoadBmpFile(diskPath);
  if (!r.ok()) return false;
  out = std::move(r.image);
  return true;
}

gfx::Result CreateTextureFromBitmap(gfx::Device* device, const BmpImage& image, int texW, int texH, uint32_t usage,
                                    gfx::Format format, gfx::Pool pool, gfx::Colour colorKey, gfx::Texture** out) {
  gfx::ImageArgb argb;
  argb.width = image.width;
  argb.height = image.height;
  argb.pixels = image.pixels;
  return gfx::CreateTextureFromImage(device, argb, texW, texH, 1, usage, format, pool, colorKey | 0xFF000000u, out);
}
