// Helper-library textures from bitmap files (Windows bitmaps only, through the platform's reader).
#include <string>

#include "platform/bmp/bmp_reader.h"
#include "platform/files.h"
#include "platform/gfx/d3dx.h"

namespace gfx {

Result LoadImageArgb(const char* path, ImageArgb* out) {
  if (!path || !out) return kErrInvalidCall;
  BmpDecodeResult decoded = LoadBmpFile(path);
  if (decoded.error == BmpError::FileUnreadable) {
    // A game-relative Windows path ("bmp\\Title.bmp", Shift-JIS): find the file on disk.
    std::string onDisk;
    if (FindOnDisk(path, onDisk) && onDisk != path) decoded = LoadBmpFile(onDisk);
  }
  if (decoded.error == BmpError::FileUnreadable) return kErrNotFound;
  if (!decoded.ok()) return kErrInvalidData;
  out->width = decoded.image.width;
  out->height = decoded.image.height;
  out->pixels = std::move(decoded.image.pixels);
  return kOk;
}

Result CreateTextureFromFileEx(Device* device, const char* path, int width, int height, int levels, uint32_t usage,
                               Format format, Pool pool, Colour colourKey, Texture** out, int* imageWidth,
                               int* imageHeight) {
  if (!device || !out || !path) return kErrInvalidCall;
  *out = nullptr;
  ImageArgb image;
  const Result r = LoadImageArgb(path, &image);
  if (Failed(r)) return r;
  if (imageWidth) *imageWidth = image.width;
  if (imageHeight) *imageHeight = image.height;
  return CreateTextureFromImage(device, image, width, height, levels, usage, format, pool, colourKey, out);
}

}  // namespace gfx
