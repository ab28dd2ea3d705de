// The game palette, the transparent colour and palette-number conversion.
#include "media/graphics/palette.h"

#include "core/log.h"
#include "media/graphics/bitmap_file.h"
#include "media/graphics/fade.h"
#include "media/graphics/surface.h"

PALETTEENTRY g_GamePalette[256];
PALETTEENTRY g_WorkPalette[256];

bool DDLoadPaletteFromFile(PALETTEENTRY* palette, const char* path, int /*unused*/) {
  BmpImage image;
  if (!LoadBitmapFile(path, image)) return false;
  bool fromTable = false;
  if (lpDTCon && image.bitsPerPixel == 8) {
    for (size_t i = 0; i < 256 && i < image.palette.size(); ++i) {
      palette[i] = {image.palette[i].red, image.palette[i].green, image.palette[i].blue, 255};
    }
  }
  if (!lpDTCon && g_nDisplayBpp == 8 && image.bitsPerPixel == 8) {
    for (int i = 0; i < 256; ++i) {
      BmpColour c = static_cast<size_t>(i) < image.palette.size() ? image.palette[i] : BmpColour{};
      uint8_t flag = (i >= 10 && i <= 245) ? gfx::kPaletteReserved : gfx::kPaletteExplicit;
      palette[i] = {c.red, c.green, c.blue, flag};
    }
    fromTable = true;
  }
  if (!lpDTCon && g_nDisplayBpp == 8) {
    if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, palette);
  } else if (!fromTable && (g_nDisplayBpp == 16 || g_nDisplayBpp == 24 || g_nDisplayBpp == 32)) {
    DDSURFACEDATA temp{};
    if (DDCreateSurfaceFromFile(&temp, path, 0, g_nDisplayBpp, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0) == 0) {
      DDSetPalette_UnPal(palette, &temp);
    }
    DDReleaseSurface(&temp);
  }
  return true;
}

int DDSetTransmitFromFile(const char* path) {
  DDSURFACEDATA temp{};
  if (DDCreateSurfaceFromFile(&temp, path, 0, g_nDisplayBpp, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0) != 0) {
    ECLogPrintf("%s 作成失敗！", path);
    DDReleaseSurface(&temp);
    return 0;
  }
  {
    cSurfaceLock lock;
    if (!lock.Lock(&temp)) {
      ECLogPrintf("Lock 失敗！");
      lock.Unlock();
      DDReleaseSurface(&temp);
      return 0;
    }
    if (lpDTCon && g_nDisplayBpp == 16) {
      uint16_t first = lock.Row16(0)[0];
      g_dwColorKey = first;
      BmpImage image;
      if (!LoadBitmapFile(path, image)) {
        lock.Unlock();
        DDReleaseSurface(&temp);
        return 0;
      }
      if (image.bitsPerPixel == 8 && !image.palette.empty()) {
        lpDTCon->rgbTransmitExact = {image.palette[0].blue, image.palette[0].green, image.palette[0].red};
      } else {
        // A bitmap without a colour table: the exact colour is the top-left pixel itself, so that
        // file textures are keyed with the real transparent colour rather than with black.
        uint32_t p = image.PixelAt(0, 0);
        lpDTCon->rgbTransmitExact = {static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 8),
                                     static_cast<uint8_t>(p >> 16)};
      }
      const DDCHANNELLAYOUT& l = g_SurfaceLayout;
      DDSetTransmit(static_cast<uint8_t>((first >> l.nRedShift) & l.nRedMask),
                    static_cast<uint8_t>((first >> l.nGreenShift) & l.nGreenMask),
                    static_cast<uint8_t>((first >> l.nBlueShift) & l.nBlueMask));
      ECLogPrintf("SetTrans(filename) lpDTCon->wTransmit_16 = (%x)", lpDTCon->wTransmit_16);
    } else if (lpDTCon) {
      uint32_t first = lock.Row32(0)[0];
      DDSetTransmit(static_cast<uint8_t>(first >> 16), static_cast<uint8_t>(first >> 8), static_cast<uint8_t>(first));
    } else {
      if (g_nDisplayBpp == 8) {
        g_dwColorKey = lock.Row8(0)[0];
      } else if (g_nDisplayBpp == 16) {
        g_dwColorKey = lock.Row16(0)[0];
        // The 16-bit copy of true-colour bitmaps compares pixels with the exact colour: it starts as
        // the picture's own top-left colour (start-up replaces it by the project's colour, if any),
        // so that black pixels are not taken for transparent ones.
        BmpImage image;
        if (lpDDCon && LoadBitmapFile(path, image)) {
          uint32_t p = image.PixelAt(0, 0);
          lpDDCon->rgbTransmitExact = {static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 8),
                                       static_cast<uint8_t>(p >> 16)};
        }
      } else {
        uint32_t first = lock.Row32(0)[0];
        g_dwColorKey = first;
        if (g_nDisplayBpp == 32 && lpDDCon) {
          lpDDCon->rgbTransmit = {static_cast<uint8_t>(first), static_cast<uint8_t>(first >> 8),
                                  static_cast<uint8_t>(first >> 16)};
        }
      }
    }
  }
  DDReleaseSurface(&temp);
  return 1;
}

void DDSetTransmit(uint8_t red, uint8_t green, uint8_t blue) {
  if (lpDTCon) {
    lpDTCon->rgbTransmit = {blue, green, red};
    ECLogPrintf(
        "SetTrans lpDTCon->rgbTransmit.rgbtRed = %d,lpDTCon->rgbTransmit.rgbtGreen = %d,"
        "lpDTCon->rgbTransmit.rgbtBlue = %d",
        red, green, blue);
    if (g_nDisplayBpp == 32 || g_nDisplayBpp == 16) {
      lpDTCon->dwTargetClear = 0;
      lpDTCon->dwBackBufferClear = gfx::MakeArgb(255, red, green, blue);
      lpDTCon->wTargetClear_16 = 0;
    }
    if (g_nDisplayBpp == 32) {
      lpDTCon->wTransmit_16 = 0;
      g_dwColorKey = 0;
    } else if (g_nDisplayBpp == 16) {
      const DDCHANNELLAYOUT& l = g_SurfaceLayout;
      lpDTCon->wTransmit_16 =
          static_cast<uint16_t>(((blue & l.nBlueMask) << l.nBlueShift) | ((green & l.nGreenMask) << l.nGreenShift) |
                                ((red & l.nRedMask) << l.nRedShift) | ((l.nAlphaMask & 1) << l.nAlphaShift));
    }
    return;
  }
  if (g_nDisplayBpp == 16) {
    const DDCHANNELLAYOUT& l = g_SurfaceLayout;
    uint32_t key = ((red * l.nRedMask / 255) << l.nRedShift) | ((green * l.nGreenMask / 255) << l.nGreenShift) |
                   ((blue * l.nBlueMask / 255) << l.nBlueShift);
    g_dwColorKey = key & 0xFFFF;
    ECLogPrintf("※16bit色で　DDSetTransmit(BYTE cbRed,BYTE cbGreen,BYTE cbBlue)　は未対応！");
    // The developer's notice of the conversion (a box in a developer build; here a log line).
    auto widen = [&](int shift, int mask) {
      return mask ? static_cast<int>((g_dwColorKey >> shift) & mask) * 255 / mask : 0;
    };
    ECLogPrintf("Tr %d RGB32(%d,%d,%d) -> RGB16(%d,%d,%d)", static_cast<int>(g_dwColorKey), red, green, blue,
                widen(l.nRedShift, l.nRedMask), widen(l.nGreenShift, l.nGreenMask), widen(l.nBlueShift, l.nBlueMask));
  } else if (g_nDisplayBpp == 32) {
    g_dwColorKey = static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
    if (lpDDCon) lpDDCon->rgbTransmit = {blue, green, red};
  }
}

gfx::Colour DDBackBufferClearColour() {
  if (!lpDTCon) return 0;
  if (g_nDisplayBpp == 16 && lpDTCon->dwBackBufferClear != 0) {
    const RGBTRIPLE& e = lpDTCon->rgbTransmitExact;
    return gfx::MakeArgb(255, e.rgbtRed, e.rgbtGreen, e.rgbtBlue);
  }
  return lpDTCon->dwBackBufferClear;
}

uint32_t PalNumToRGB(uint32_t n) {
  if (n > 255) {
    ECLogPrintf("PalNumToRGB(DWORD dwPalNum) Err dwPalNum = %d", static_cast<int>(n));
    return 0;
  }
  const PALETTEENTRY& e = g_GamePalette[n];
  if (lpDTCon) {
    if (g_nDisplayBpp == 8) return n;
    if (n == 0) return lpDTCon->dwTargetClear;
    return gfx::MakeArgb(255, e.red, e.green, e.blue);
  }
  if (g_nDisplayBpp == 8) return n;
  if (g_nDisplayBpp == 16) return DDPalToRGB16(e);
  return static_cast<uint32_t>(e.red) << 16 | static_cast<uint32_t>(e.green) << 8 | e.blue;
}

uint16_t DDPalToRGB16(const PALETTEENTRY& e) {
  if (lpDTCon) {
    ECLogPrintf("DDPalToRGB16はDirect3Dでは未対応");
    return 0;
  }
  const DDCHANNELLAYOUT& l = g_SurfaceLayout;
  return static_cast<uint16_t>(((e.blue & l.nBlueMask) << l.nBlueShift) | ((e.green & l.nGreenMask) << l.nGreenShift) |
                               ((e.red & l.nRedMask) << l.nRedShift));
}

void DDReadChannelLayout(DDCHANNELLAYOUT* layout) {
  if (!g_lpDD) return;
  gfx::ChannelLayout f = gfx::LayoutOf(g_lpDD->DisplayFormat());
  if (gfx::BitsPerPixel(g_lpDD->DisplayFormat()) == 0 || g_lpDD->DisplayFormat() == gfx::Format::I8) return;
  // The layout holds shifts and right-aligned masks, as the pixel format's masks give them.
  layout->nRedShift = f.redShift;
  layout->nGreenShift = f.greenShift;
  layout->nBlueShift = f.blueShift;
  layout->nRedMask = f.redMask;
  layout->nGreenMask = f.greenMask;
  layout->nBlueMask = f.blueMask;
  layout->nAlphaShift = 0;
  layout->nAlphaMask = 0;
}
