#include "shell/palette_helpers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/log.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/fade.h"
#include "media/graphics/palette.h"
#include "media/graphics/pixel_effects.h"
#include "media/graphics/surface_table.h"
#include "shell/scene_mgr.h"

CHARACOLOURCHANGE g_aCharaColourChange[10];

namespace {
constexpr int kSavedFrameSlot = 45;

struct cPulseState {
  int values[9] = {};
  int directions[9] = {};
  int colourType = 0;
  int ddCount = 0;
};
cPulseState g_pulse;

uint32_t argb(int a, int r, int g, int b) {
  return static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r & 255) << 16 | static_cast<uint32_t>(g & 255) << 8 |
         static_cast<uint32_t>(b & 255);
}

bool eightBitDirectDraw() { return !lpDTCon && g_nDisplayBpp == 8; }
}  // namespace

void ResetPaletteAnimation() {
  g_pulse = cPulseState{};
  for (auto& e : g_aCharaColourChange) e = CHARACOLOURCHANGE{};
}

void RedrawAndPresent() {
  DDSURFACEDATA& saved = g_SurfaceData[kSavedFrameSlot];
  if (!saved.lpDT && !saved.lpDD) return;
  DDBlt(&g_BackBufferSD, 0, 0, 640, 480, &saved, 0, 0, 0);
  g_SceneMgr.PresentFrame();
}

void ShiftPaletteSet(PALETTEENTRY* palette, int n) {
  if (n < 12) {
    const int shift = std::max(0, n) * 16 % 192;
    std::rotate(palette + 16, palette + 16 + shift, palette + 208);
    return;
  }
  PALETTEENTRY block[16];
  int from = (n - 11) * 16;
  if (from + 16 > 256) from = 240;
  std::memcpy(block, &palette[from], sizeof block);
  for (int b = 16; b <= 192; b += 16) std::memcpy(&palette[b], block, sizeof block);
}

int LoadHbtPalette(int n) {
  if (!eightBitDirectDraw()) return 1;
  char path[64];
  std::snprintf(path, sizeof path, "bmp\\hbt\\hbt%02d.dat", n);
  if (!DDLoadBlendTable(g_BlendTable, path)) {
    ErrorBoxf("%s の読み込みに失敗！", path);
    return 0;
  }
  if (!DDLoadPaletteFromFile(g_GamePalette, g_SurfaceInfo[0].szPath, 0)) {
    ECLogPuts("DDLoadPaletteFromFile失敗");
    return 0;
  }
  ShiftPaletteSet(g_GamePalette, n);
  std::memcpy(g_WorkPalette, g_GamePalette, sizeof g_WorkPalette);
  if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 255, g_WorkPalette);
  return 1;
}

void AnimatePalette() {
  if (lpDTCon) {
    const int step = g_SystemData.m_nPaletteStep;
    for (int i = 0; i < 9; ++i) {
      const int v = g_pulse.values[i];
      CHARACOLOURCHANGE& e = g_aCharaColourChange[i + 1];
      switch (i + 1) {
        case 1: e = {argb(255, v, v, v), 7}; break;
        case 2: e = {argb(255, v, v, v), 10}; break;
        case 3: e = {argb(255, v, 0, 0), 7}; break;
        case 4: e = {argb(255, 0, v, 0), 7}; break;
        case 5: e = {argb(255, 0, 0, v), 7}; break;
        case 6: e = {argb(255, v, v, 0), 7}; break;
        case 7: e = {argb(255, v, 0, v / 4), 7}; break;
        case 8: e = {argb(255, v / 4, 0, v), 7}; break;
        default: {
          static constexpr int kRgb[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
          const int* c = kRgb[g_pulse.colourType & 3];
          e = {argb(255, v * c[0], v * c[1], v * c[2]), 7};
          break;
        }
      }
      if (PulseValue(g_pulse.values[i], g_pulse.directions[i], step, 0, 255) && i == 8)
        g_pulse.colourType = (g_pulse.colourType + 1) % 4;
    }
    return;
  }
  if (eightBitDirectDraw() && g_SystemData.m_nPaletteOpt289) {
    if (++g_pulse.ddCount < 6) return;
    g_pulse.ddCount = 0;
    for (int first = 208; first < 240; first += 4) DDPalRotate(g_WorkPalette, first, first + 3, 1, 1, g_WorkPalette);
    if (g_lpDDPalette) g_lpDDPalette->SetEntries(208, 32, &g_WorkPalette[208]);
  }
}
