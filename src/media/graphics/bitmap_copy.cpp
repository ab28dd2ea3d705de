// Copying bitmap pixels into surfaces, mirrored sheets and the palette-index map.
#include "media/graphics/bitmap_copy.h"

#include <cstring>

#include "core/log.h"
#include "media/graphics/bitmap_file.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/palette.h"
#include "media/graphics/surface.h"
#include "platform/gfx/pixel_format.h"

namespace {

// Where column (or row) i of a picture goes when every cell of size c is mirrored in place.
inline int MirrorIndex(int i, int c) { return c * (i / c + 1) - i % c - 1; }

// The first game-palette entry with exactly this colour (0 when none has it).
uint8_t NearestPaletteIndex(uint32_t rgb) {
  for (int i = 0; i < 256; ++i) {
    const PALETTEENTRY& e = g_GamePalette[i];
    if (e.red == ((rgb >> 16) & 255) && e.green == ((rgb >> 8) & 255) && e.blue == (rgb & 255)) {
      return static_cast<uint8_t>(i);
    }
  }
  return 0;
}

// 8-bit display: palette indexes byte for byte, mirrored cell by cell; targets past the edge dropped.
void CopyIndexes(const BmpImage& image, uint8_t* bits, int pitch, int mirrorX, int mirrorY) {
  for (int y = 0; y < image.height; ++y) {
    int ty = mirrorY ? MirrorIndex(y, mirrorY) : y;
    if (ty >= image.height) continue;
    uint8_t* row = bits + static_cast<intptr_t>(ty) * pitch;
    for (int x = 0; x < image.width; ++x) {
      int tx = mirrorX ? MirrorIndex(x, mirrorX) : x;
      if (tx >= image.width) continue;
      row[tx] = image.IsPalettised() ? image.IndexAt(x, y) : NearestPaletteIndex(image.PixelAt(x, y));
    }
  }
}

// 16-bit display, true-colour bitmap: the exact transparent colour becomes the colour key, and an
// opaque pixel that would pack to the key moves one step in blue so it stays opaque.
void CopyTrueColourTo16(const BmpImage& image, uint8_t* bits, int pitch, int mirrorX, int mirrorY) {
  const DDCHANNELLAYOUT& l = g_SurfaceLayout;
  const RGBTRIPLE exact = lpDDCon ? lpDDCon->rgbTransmitExact : RGBTRIPLE{};
  const uint16_t key = static_cast<uint16_t>(g_dwColorKey);
  for (int y = 0; y < image.height; ++y) {
    int ty = mirrorY ? MirrorIndex(y, mirrorY) : y;
    if (ty >= image.height) continue;
    auto* row = reinterpret_cast<uint16_t*>(bits + static_cast<intptr_t>(ty) * pitch);
    for (int x = 0; x < image.width; ++x) {
      int tx = mirrorX ? MirrorIndex(x, mirrorX) : x;
      if (tx >= image.width) continue;
      uint32_t p = image.PixelAt(x, y);
      uint32_t r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      uint16_t out;
      if (r == exact.rgbtRed && g == exact.rgbtGreen && b == exact.rgbtBlue) {
        out = key;
      } else {
        uint32_t bf = b * l.nBlueMask / 255;
        uint32_t v =
            bf << l.nBlueShift | (g * l.nGreenMask / 255) << l.nGreenShift | (r * l.nRedMask / 255) << l.nRedShift;
        if (static_cast<uint16_t>(v) == key) {
          bf = bf == static_cast<uint32_t>(l.nBlueMask) ? bf - 1 : bf + 1;
          v = (v & ~(static_cast<uint32_t>(l.nBlueMask) << l.nBlueShift)) | bf << l.nBlueShift;
        }
        out = static_cast<uint16_t>(v);
      }
      row[tx] = out;
    }
  }
}

// The general path (what GDI draws): whole cells mirrored by a negative stretch, columns and rows
// past the last whole cell left as they are; without mirroring one plain copy.
void CopyThroughConversion(const BmpImage& image, gfx::Surface* surface, uint8_t* bits, int pitch) {
  const gfx::Format format = surface->GetFormat();
  const int bytes = gfx::BytesPerPixel(format);
  for (int y = 0; y < image.height && y < surface->Height(); ++y) {
    uint8_t* row = bits + static_cast<intptr_t>(y) * pitch;
    for (int x = 0; x < image.width && x < surface->Width(); ++x) {
      uint32_t p = image.PixelAt(x, y);
      // 32-bit DirectDraw pixels keep their top byte 0, as the fills and the colour key have it.
      uint32_t raw = bytes == 4 ? (p & 0x00FFFFFFu) : gfx::ArgbToPixel(format, p | 0xFF000000u);
      gfx::StorePixel(row + x * bytes, bytes, raw);
    }
  }
}

void CopyMirroredThroughConversion(const BmpImage& image, gfx::Surface* surface, uint8_t* bits, int pitch, int mirrorX,
                                   int mirrorY) {
  const gfx::Format format = surface->GetFormat();
  const int bytes = gfx::BytesPerPixel(format);
  const int spanX = mirrorX ? image.width / mirrorX * mirrorX : image.width;
  const int spanY = mirrorY ? image.height / mirrorY * mirrorY : image.height;
  for (int y = 0; y < spanY && y < surface->Height(); ++y) {
    int ty = mirrorY ? MirrorIndex(y, mirrorY) : y;
    if (ty >= surface->Height()) continue;
    uint8_t* row = bits + static_cast<intptr_t>(ty) * pitch;
    for (int x = 0; x < spanX; ++x) {
      int tx = mirrorX ? MirrorIndex(x, mirrorX) : x;
      if (tx >= surface->Width()) continue;
      uint32_t p = image.PixelAt(x, y);
      uint32_t raw = bytes == 4 ? (p & 0x00FFFFFFu) : gfx::ArgbToPixel(format, p | 0xFF000000u);
      gfx::StorePixel(row + tx * bytes, bytes, raw);
    }
  }
}

}  // namespace

bool CopyBitmap(DDSURFACEDATA* lpSD, const char* path, int bpp, int bPalMap, int mirrorX, int mirrorY) {
  if (lpDTCon || !path || !*path) return true;
  BmpImage image;
  if (!LoadBitmapFile(path, image)) return false;
  if (!lpSD->lpDD || !lpSD->lpDD->lpSurface) return false;
  gfx::Surface* surface = lpSD->lpDD->lpSurface;
  gfx::LockedRect lock;
  uint8_t* bits = nullptr;
  if (bpp == 8) {
    if (DDLock(lpSD, &lock, &bits, bpp)) {
      if (image.width != surface->Width() || image.height != surface->Height()) {
        ECLogPrintf("CopyBitmap Err %s Surface(%d,%d) Bmp(%d,%d)", path, surface->Width(), surface->Height(),
                    image.width, image.height);
      } else {
        CopyIndexes(image, bits, lock.pitch, mirrorX, mirrorY);
      }
      surface->UnlockRect();
    }
  } else if (bpp == 16 && (image.bitsPerPixel == 24 || image.bitsPerPixel == 32)) {
    if (DDLock(lpSD, &lock, &bits, bpp)) {
      if (image.width <= surface->Width() && image.height <= surface->Height()) {
        CopyTrueColourTo16(image, bits, lock.pitch, mirrorX, mirrorY);
      }
      surface->UnlockRect();
    }
  } else if (DDLock(lpSD, &lock, &bits, bpp)) {
    if (mirrorX || mirrorY) {
      CopyMirroredThroughConversion(image, surface, bits, lock.pitch, mirrorX, mirrorY);
    } else {
      CopyThroughConversion(image, surface, bits, lock.pitch);
    }
    surface->UnlockRect();
  }
  // The bitmap's size, which is the surface's: the surface is made from the bitmap. A file that
  // changed size on disk before a reload is copied clipped as above, and the record keeps the size
  // of the surface it describes, so that no blit, lock or fade reaches past its pixels.
  lpSD->nWidth = lpSD->nTexWidth = surface->Width();
  lpSD->nHeight = lpSD->nTexHeight = surface->Height();
  lpSD->nMirrorX = mirrorX;
  lpSD->nMirrorY = mirrorY;
  if (lpSD->szPath != path) {
    std::strncpy(lpSD->szPath, path, sizeof lpSD->szPath - 1);
    lpSD->szPath[sizeof lpSD->szPath - 1] = '\0';
  }
  if (bPalMap && bpp != 8) {
    if (!DDBuildPaletteMap(&lpSD->lpDD->lpPalMap, lpSD)) return false;
  } else {
    delete[] lpSD->lpDD->lpPalMap;
    lpSD->lpDD->lpPalMap = nullptr;
  }
  return true;
}

bool CreateMirror(DDSURFACEDATA* lpSD, DDSURFACEDATA* lpTemp, int mirrorX, int mirrorY) {
  if (!lpDTCon || mirrorX == 0 || mirrorY != 0) return true;
  // An alias shares its twin's texture: drawing into it would flip the twin in place.
  if (lpSD->lpAlias) return true;
  if (DDSetTarget(lpSD)) {
    g_lpDevice->Clear(0, nullptr, gfx::kClearTarget, lpDTCon->dwTargetClear, 1.0f, 0);
    DDSetIdleTarget();
  }
  const int cw = mirrorX;
  const int cells = lpTemp->nWidth / cw;
  for (int k = 0; k < cells; ++k) {
    DDBltStretch(lpSD, k * cw, 0, cw, lpTemp->nHeight, lpTemp, k * cw + cw, 0, -cw, lpTemp->nHeight, 0);
  }
  return true;
}

bool DDReloadSurface(DDSURFACEDATA* lpSD, int bpp) {
  if (lpDTCon) return true;
  const bool hasMap = lpSD->lpDD && lpSD->lpDD->lpPalMap;
  return CopyBitmap(lpSD, lpSD->szPath, bpp, hasMap, lpSD->nMirrorX, lpSD->nMirrorY);
}

int DDCheckBitmapSize(int* pbTooLarge, const char* path, int width, int height) {
  if (lpDTCon) return 1;
  BmpImage image;
  if (!path || !*path) {
    *pbTooLarge = 0;
    return 0;
  }
  if (!LoadBitmapFile(path, image)) {
    *pbTooLarge = 0;
    return 0;
  }
  *pbTooLarge = image.width > width || image.height > height;
  return 1;
}

int DDBuildPaletteMap(uint8_t** ppMap, DDSURFACEDATA* lpSD) {
  cSurfaceLock lock;
  if (!lock.Lock(lpSD)) {
    OutOfMemoryQuit();
    return 0;
  }
  delete[] * ppMap;
  DDSURFACEDATA* sd = lock.Surface();
  const int width = sd->nWidth, height = sd->nHeight, pitch = lock.Pitch();
  // Zero-filled: a pixel that matches no palette entry reads as entry 0.
  *ppMap = new uint8_t[static_cast<size_t>(height) * static_cast<size_t>(pitch)]();
  uint8_t* map = *ppMap;
  const DDCHANNELLAYOUT& l = g_SurfaceLayout;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int found = -1;
      if (lock.Bpp() == 16) {
        uint16_t p = lock.Row16(y)[x];
        if (lpDTCon) {
          if (sd->lpDT && sd->lpDT->bColorKey && p == 0) {
            found = 0;
          } else {
            int r = ((p >> l.nRedShift) & l.nRedMask) * 255 / l.nRedMask;
            int g = ((p >> l.nGreenShift) & l.nGreenMask) * 255 / l.nGreenMask;
            int b = ((p >> l.nBlueShift) & l.nBlueMask) * 255 / l.nBlueMask;
            for (int i = 0; i < 256 && found < 0; ++i) {
              const PALETTEENTRY& e = g_GamePalette[i];
              if (e.red == r && e.green == g && e.blue == b) found = i;
            }
          }
        } else {
          for (int i = 0; i < 256 && found < 0; ++i) {
            if (DDPalToRGB16(g_GamePalette[i]) == p) found = i;
          }
        }
      } else if (lock.Bpp() == 24 || lock.Bpp() == 32) {
        uint32_t p = lock.Row32(y)[x];
        for (int i = 0; i < 256 && found < 0; ++i) {
          const PALETTEENTRY& e = g_GamePalette[i];
          if (e.red == ((p >> 16) & 255) && e.green == ((p >> 8) & 255) && e.blue == (p & 255)) found = i;
        }
      }
      if (found >= 0) map[static_cast<size_t>(y) * pitch + x] = static_cast<uint8_t>(found);
    }
  }
  return 1;
}

void DDMirrorSource(DDSURFACEDATA* lpSD, int& sx, int& sy, int& sw, int& sh) {
  if (!lpDTCon || !lpSD || !lpSD->lpAlias) return;
  if (int a = lpSD->nMirrorX) {
    if (sw == a) {
      sx += a;
      sw = -a;
    } else if (sw < a) {
      sx = sx + a - 2 * (sx % a);
      sw = -sw;
    }
  }
  if (int b = lpSD->nMirrorY) {
    if (sh == b) {
      sy += b;
      sh = -b;
    } else if (sh < b) {
      sy = sy + b - 2 * (sy % b);
      sh = -sh;
    }
  }
}
