// Helper-library textures: blank textures sized for the device, textures from decoded pictures
// with a colour key.
#include <algorithm>

#include "platform/gfx/d3dx.h"
#include "platform/gfx/pixel_format.h"

namespace gfx {

namespace {
int RoundUpPow2(int v) {
  int p = 1;
  while (p < v && p < (1 << 30)) p <<= 1;
  return p;
}
}  // namespace

Result CreateTextureHelper(Device* device, int width, int height, int levels, uint32_t usage, Format format, Pool pool,
                           Texture** out) {
  if (!device || !out || width <= 0 || height <= 0) return kErrInvalidCall;
  const DeviceCaps& caps = device->Caps();
  if (caps.pow2Textures) {
    width = RoundUpPow2(width);
    height = RoundUpPow2(height);
  }
  if (caps.squareOnlyTextures) width = height = std::max(width, height);
  width = std::min(width, caps.maxTextureWidth);
  height = std::min(height, caps.maxTextureHeight);
  if (caps.squareOnlyTextures) width = height = std::min(width, height);
  return device->CreateTexture(width, height, levels, usage, format, pool, out);
}

Result CreateTextureFromImage(Device* device, const ImageArgb& image, int width, int height, int levels, uint32_t usage,
                              Format format, Pool pool, Colour colourKey, Texture** out) {
  if (!device || !out) return kErrInvalidCall;
  *out = nullptr;
  if (image.width <= 0 || image.height <= 0 || image.pixels.size() < static_cast<size_t>(image.width) * image.height)
    return kErrInvalidData;
  if (width == kDefaultSize)
    width = RoundUpPow2(image.width);
  else if (width == kDefaultSizeNonPow2 || width == 0)
    width = image.width;
  if (height == kDefaultSize)
    height = RoundUpPow2(image.height);
  else if (height == kDefaultSizeNonPow2 || height == 0)
    height = image.height;
  Texture* tex = nullptr;
  const Result r = CreateTextureHelper(device, width, height, levels, usage & kUsageDynamic, format, pool, &tex);
  if (Failed(r)) return r;
  Surface* level = tex->Level0();
  const int bpp = BytesPerPixel(format);
  const int cw = std::min(image.width, level->Width()), ch = std::min(image.height, level->Height());
  // The texture starts as transparent black: only the picture's part is written.
  for (int y = 0; y < ch; ++y) {
    const uint32_t* src = image.pixels.data() + static_cast<size_t>(y) * image.width;
    uint8_t* dst = level->Row(y);
    for (int x = 0; x < cw; ++x) {
      const uint32_t argb = (colourKey != 0 && src[x] == colourKey) ? 0u : src[x];
      StorePixel(dst + x * bpp, bpp, argb == 0 ? 0u : ArgbToPixel(format, argb));
    }
  }
  *out = tex;
  return kOk;
}

}  // namespace gfx
