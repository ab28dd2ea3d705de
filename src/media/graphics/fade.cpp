// Scene fades and palette effects.
#include "media/graphics/fade.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/log.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/surface.h"

namespace {

constexpr double kDegree = 0.017453292519943295;

double g_dFadeOutPhaseD3D = 90;
double g_dFadeOutPhaseDD = 90;
double g_dFadeInPhaseD3D = 0;
double g_dFadeInPhaseDD = 0;

// Draws the black quad of a Direct3D fade step; false when the scene or the target failed.
bool DrawFadeQuad(int alpha) {
  DDSURFACEDATA* target = &g_BackBufferSD;
  DDMapVirtualBackBuffer(target);
  if (!target->lpDT || !target->lpDT->lpVertexBuffer) return true;
  gfx::VertexBuffer* vb = target->lpDT->lpVertexBuffer;
  void* data = nullptr;
  if (gfx::Failed(vb->Lock(0, 0, &data))) return true;
  const int w = target->nWidth, h = target->nHeight;
  DDMakeQuad(static_cast<gfx::Vertex*>(data), 0, 0, w, h, static_cast<gfx::Colour>(alpha) << 24, 0, 0,
             static_cast<float>(w) / target->nTexWidth, static_cast<float>(h) / target->nTexHeight);
  vb->Unlock();
  if (!DDBeginScene() || !DDSetTarget(target)) return false;
  gfx::Device* d = g_lpDevice;
  d->SetTextureStageState(0, gfx::kTssColorOp, gfx::kOpSelectArg2);
  d->SetTextureStageState(0, gfx::kTssColorArg2, gfx::kTaDiffuse);
  d->SetTextureStageState(0, gfx::kTssAlphaOp, gfx::kOpSelectArg2);
  d->SetTextureStageState(0, gfx::kTssAlphaArg2, gfx::kTaDiffuse);
  d->SetStreamSource(0, vb, 0, sizeof(gfx::Vertex));
  d->SetFVF(gfx::kFvfXyzrhwDiffuseTex1);
  d->DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 2);
  return DDSetTarget(lpDTCon->lpIdleTarget);
}

// DirectDraw: the picture at the given weight (0-256) of the colour, by depth.
void DirectDrawFadeStep(PALETTEENTRY* work, int first, int last, uint8_t red, uint8_t green, uint8_t blue,
                        const PALETTEENTRY* source, int strength) {
  if (g_nDisplayBpp == 8) {
    DDPalBlend(work, first, last, strength, red, green, blue, source);
    if (g_lpDDPalette && first <= last && first >= 0 && last <= 255) {
      g_lpDDPalette->SetEntries(first, last - first + 1, work + first);
    }
  } else if (g_nDisplayBpp == 16 || g_nDisplayBpp == 24 || g_nDisplayBpp == 32) {
    DDFade_UnPal(&g_BackBufferSD, strength, red, green, blue, &g_ScreenWorkSD);
  }
}

bool FadeStep(bool out, PALETTEENTRY* work, int first, int last, uint8_t red, uint8_t green, uint8_t blue, double step,
              const PALETTEENTRY* source, int reset) {
  const bool doReset = (reset & 0xFF) != 0;
  double& phase =
      lpDTCon ? (out ? g_dFadeOutPhaseD3D : g_dFadeInPhaseD3D) : (out ? g_dFadeOutPhaseDD : g_dFadeInPhaseDD);
  if (lpDTCon) {
    if (doReset) phase = out ? 0 : 90;
    int alpha = 255 - static_cast<int>(255 * std::sin(phase * kDegree));
    if (!DrawFadeQuad(alpha)) return false;
  } else {
    if (phase == (out ? 90.0 : 0.0) && g_nDisplayBpp != 8) {
      DDBlt(&g_ScreenWorkSD, 0, 0, g_ScreenWorkSD.nWidth, g_ScreenWorkSD.nHeight, &g_BackBufferSD, 0, 0, 0);
    }
    if (doReset) phase = out ? 0 : 90;
    int strength = static_cast<int>(256 * std::sin(phase * kDegree));
    DirectDrawFadeStep(work, first, last, red, green, blue, source, strength);
  }
  if (out) {
    if (phase > 0) {
      phase = phase - step < 0 ? 0 : phase - step;
      return false;
    }
    phase = 90;
    return true;
  }
  if (phase < 90) {
    phase = phase + step > 90 ? 90 : phase + step;
    return false;
  }
  phase = 0;
  return true;
}

}  // namespace

void DDResetFadePhases() {
  g_dFadeOutPhaseD3D = g_dFadeOutPhaseDD = 90;
  g_dFadeInPhaseD3D = g_dFadeInPhaseDD = 0;
}

bool DDFadeOut(PALETTEENTRY* work, int first, int last, uint8_t red, uint8_t green, uint8_t blue, double step,
               const PALETTEENTRY* source, int reset) {
  return FadeStep(true, work, first, last, red, green, blue, step, source, reset);
}

bool DDFadeIn(PALETTEENTRY* work, int first, int last, uint8_t red, uint8_t green, uint8_t blue, double step,
              const PALETTEENTRY* source, int reset) {
  return FadeStep(false, work, first, last, red, green, blue, step, source, reset);
}

void DDPalBlend(PALETTEENTRY* dst, int first, int last, int strength, uint8_t red, uint8_t green, uint8_t blue,
                const PALETTEENTRY* src) {
  if (first < 0) first = 0;
  if (last > 255) last = 255;
  if (first > last) return;
  for (int i = first; i <= last; ++i) {
    PALETTEENTRY s = src[i];
    dst[i].red = static_cast<uint8_t>((s.red * strength + red * (256 - strength)) >> 8);
    dst[i].green = static_cast<uint8_t>((s.green * strength + green * (256 - strength)) >> 8);
    dst[i].blue = static_cast<uint8_t>((s.blue * strength + blue * (256 - strength)) >> 8);
    dst[i].flags = 1;
  }
}

void DDPalRotate(PALETTEENTRY* dst, int first, int last, int n, int direction, const PALETTEENTRY* src) {
  if (g_nDisplayBpp != 8 && g_nDisplayBpp != 16 && g_nDisplayBpp != 32) return;
  if (dst != src) std::memmove(dst, src, 256 * sizeof(PALETTEENTRY));
  if (first < 0 || last > 255 || first > last) return;
  const int count = last - first + 1;
  n %= count;
  if (n < 0) n += count;
  if (n == 0 || (direction != 0 && direction != 1)) return;
  std::vector<PALETTEENTRY> range(dst + first, dst + last + 1);
  for (int i = 0; i < count; ++i) {
    // Direction 0 moves every entry n places up; 1 moves it n places down.
    int to = direction == 0 ? (i + n) % count : (i - n + count) % count;
    dst[first + to] = range[i];
  }
}

int DDFade_UnPal(DDSURFACEDATA* dst, int strength, uint8_t red, uint8_t green, uint8_t blue, DDSURFACEDATA* src) {
  if (lpDTCon) {
    ECLogPrintf("D3DではDDFade_UnPalは未対応");
    return 1;
  }
  if (g_nDisplayBpp != 16 && g_nDisplayBpp != 32) return 1;
  gfx::LockedRect dl, sl;
  uint8_t* dbits = nullptr;
  uint8_t* sbits = nullptr;
  if (!DDLock(dst, &dl, &dbits, g_nDisplayBpp)) return 0;
  if (!DDLock(src, &sl, &sbits, g_nDisplayBpp)) {
    dst->lpDD->lpSurface->UnlockRect();
    return 0;
  }
  const int w = std::min(dst->nWidth, src->nWidth), h = std::min(dst->nHeight, src->nHeight);
  const DDCHANNELLAYOUT& l = g_SurfaceLayout;
  for (int y = 0; y < h; ++y) {
    if (g_nDisplayBpp == 16) {
      auto* d = reinterpret_cast<uint16_t*>(dbits + static_cast<intptr_t>(y) * dl.pitch);
      auto* s = reinterpret_cast<const uint16_t*>(sbits + static_cast<intptr_t>(y) * sl.pitch);
      for (int x = 0; x < w; ++x) {
        auto channel = [&](int shift, int mask, int colour) -> uint32_t {
          if (mask == 0) return 0;
          int wide = ((s[x] >> shift) & mask) * 255 / mask;
          int out = (colour * (256 - strength) + strength * wide) >> 8;
          return static_cast<uint32_t>(out * mask / 255) << shift;
        };
        d[x] =
            static_cast<uint16_t>(channel(l.nRedShift, l.nRedMask, red) | channel(l.nGreenShift, l.nGreenMask, green) |
                                  channel(l.nBlueShift, l.nBlueMask, blue));
      }
    } else {
      auto* d = reinterpret_cast<uint32_t*>(dbits + static_cast<intptr_t>(y) * dl.pitch);
      auto* s = reinterpret_cast<const uint32_t*>(sbits + static_cast<intptr_t>(y) * sl.pitch);
      for (int x = 0; x < w; ++x) {
        uint32_t p = s[x];
        uint32_t r = (red * (256 - strength) + strength * ((p >> 16) & 255)) >> 8;
        uint32_t g = (green * (256 - strength) + strength * ((p >> 8) & 255)) >> 8;
        uint32_t b = (blue * (256 - strength) + strength * (p & 255)) >> 8;
        d[x] = (d[x] & 0xFF000000u) | r << 16 | g << 8 | b;
      }
    }
  }
  src->lpDD->lpSurface->UnlockRect();
  dst->lpDD->lpSurface->UnlockRect();
  return 1;
}

int DDSetPalette_UnPal(PALETTEENTRY* palette, DDSURFACEDATA* lpSD) {
  if (g_nDisplayBpp != 16 && g_nDisplayBpp != 32) return 1;
  if (!lpSD || lpSD->nWidth < 16 || lpSD->nHeight < 24) return 1;
  const DDCHANNELLAYOUT& l = g_SurfaceLayout;
  if (lpDTCon) {
    cSurfaceLock lock;
    if (!lock.Lock(lpSD)) {
      ECLogPrintf("DDSetPalette_UnPal Lock Err");
      return 1;
    }
    for (int r = 0; r < 16; ++r) {
      for (int c = 0; c < 16; ++c) {
        PALETTEENTRY& e = palette[r * 16 + c];
        if (g_nDisplayBpp == 16) {
          uint16_t p = lock.Row16(8 + r)[c];
          if (((p >> l.nAlphaShift) & l.nAlphaMask) == 0) continue;
          e.red = static_cast<uint8_t>(((p >> l.nRedShift) & l.nRedMask) * 255 / l.nRedMask);
          e.green = static_cast<uint8_t>(((p >> l.nGreenShift) & l.nGreenMask) * 255 / l.nGreenMask);
          e.blue = static_cast<uint8_t>(((p >> l.nBlueShift) & l.nBlueMask) * 255 / l.nBlueMask);
        } else {
          uint32_t p = lock.Row32(8 + r)[c];
          if ((p >> 24) == 0) continue;
          e = {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p),
               static_cast<uint8_t>(p >> 24)};
        }
      }
    }
    return 1;
  }
  gfx::LockedRect lock;
  uint8_t* bits = nullptr;
  if (!DDLock(lpSD, &lock, &bits, g_nDisplayBpp)) return 1;
  for (int r = 0; r < 16; ++r) {
    for (int c = 0; c < 16; ++c) {
      PALETTEENTRY& e = palette[r * 16 + c];
      const uint8_t* row = bits + static_cast<intptr_t>(8 + r) * lock.pitch;
      if (g_nDisplayBpp == 16) {
        uint16_t p = reinterpret_cast<const uint16_t*>(row)[c];
        e.red = static_cast<uint8_t>((p >> l.nRedShift) & l.nRedMask);
        e.green = static_cast<uint8_t>((p >> l.nGreenShift) & l.nGreenMask);
        e.blue = static_cast<uint8_t>((p >> l.nBlueShift) & l.nBlueMask);
      } else {
        uint32_t p = reinterpret_cast<const uint32_t*>(row)[c];
        e = {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p),
             static_cast<uint8_t>(p >> 24)};
      }
    }
  }
  lpSD->lpDD->lpSurface->UnlockRect();
  return 1;
}

int DDChangeColor(DDSURFACEDATA* lpDstSD, int x, int y, int nWidth, int nHeight, int nAlpha, uint8_t bRed,
                  uint8_t bGreen, uint8_t bBlue) {
  if (DDTraceCall("DDChangeColor", lpDstSD, nullptr,
                  {double(x), double(y), double(nWidth), double(nHeight), double(nAlpha), double(bRed), double(bGreen),
                   double(bBlue)}))
    return 1;
  if (!lpDTCon) {
    ECLogPrintf(
        "DDrawでは DDChangeColor(DDSURFACEDATA *lpDstSD,int x,int y,int nWidth,int nHeight,int nAlpha,"
        "BYTE bRed,BYTE bGreen,BYTE bBlue) は未対応");
    return 1;
  }
  if (!lpDstSD) return 1;
  DDFollowAlias(lpDstSD);
  DDMapVirtualBackBuffer(lpDstSD);
  DTSURFACEDATA* dt = lpDstSD->lpDT;
  if (!dt || !dt->lpVertexBuffer || !dt->lpSurface) return 1;
  // A texture is not drawn onto itself: the tint reads from a copy of the picture taken first.
  gfx::Texture* copy = nullptr;
  if (gfx::Failed(
          g_lpDevice->CreateTexture(lpDstSD->nTexWidth, lpDstSD->nTexHeight, 1, gfx::kUsageRenderTarget,
                                    dt->desc.format == gfx::Format::Unknown ? lpDTCon->fmtTexture : dt->desc.format,
                                    gfx::Pool::Default, &copy))) {
    return 1;
  }
  gfx::Surface* copyLevel = copy->Level0();
  bool copied = false;
  {
    gfx::LockedRect from, to;
    if (gfx::Succeeded(dt->lpSurface->LockRect(&from))) {
      if (gfx::Succeeded(copyLevel->LockRect(&to))) {
        const int rowBytes =
            std::min(copyLevel->Width(), dt->lpSurface->Width()) * gfx::BytesPerPixel(copyLevel->GetFormat());
        for (int row = 0; row < std::min(copyLevel->Height(), dt->lpSurface->Height()); ++row) {
          std::memcpy(to.bits + static_cast<intptr_t>(row) * to.pitch,
                      from.bits + static_cast<intptr_t>(row) * from.pitch, rowBytes);
        }
        copyLevel->UnlockRect();
        copied = true;
      }
      dt->lpSurface->UnlockRect();
    }
  }
  void* data = nullptr;
  if (copied && gfx::Succeeded(dt->lpVertexBuffer->Lock(0, 0, &data))) {
    const int w = lpDstSD->nWidth, h = lpDstSD->nHeight;
    gfx::Colour diffuse = static_cast<gfx::Colour>(255 - nAlpha) << 24 | static_cast<gfx::Colour>(bRed) << 16 |
                          static_cast<gfx::Colour>(bGreen) << 8 | bBlue;
    DDMakeQuad(static_cast<gfx::Vertex*>(data), 0, 0, w, h, diffuse, 0, 0, static_cast<float>(w) / lpDstSD->nTexWidth,
               static_cast<float>(h) / lpDstSD->nTexHeight);
    dt->lpVertexBuffer->Unlock();
    if (DDBeginScene() && DDSetTarget(lpDstSD)) {
      gfx::Device* d = g_lpDevice;
      d->SetTextureStageState(0, gfx::kTssColorOp, gfx::kOpModulate);
      d->SetTextureStageState(0, gfx::kTssColorArg1, gfx::kTaTexture);
      d->SetTextureStageState(0, gfx::kTssColorArg2, gfx::kTaDiffuse);
      d->SetTextureStageState(0, gfx::kTssAlphaOp, gfx::kOpModulate);
      d->SetTextureStageState(0, gfx::kTssAlphaArg1, gfx::kTaTexture);
      d->SetTextureStageState(0, gfx::kTssAlphaArg2, gfx::kTaDiffuse);
      d->SetTexture(0, copy);
      d->SetStreamSource(0, dt->lpVertexBuffer, 0, sizeof(gfx::Vertex));
      d->SetFVF(gfx::kFvfXyzrhwDiffuseTex1);
      d->DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 2);
      d->SetTexture(0, nullptr);
      DDSetTarget(lpDTCon->lpIdleTarget);
    }
  }
  copy->Release();
  return 1;
}
