#include "shell/startup_media.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "core/log.h"
#include "data/fixed_tables.h"
#include "data/system_data.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/palette.h"
#include "media/graphics/surface.h"
#include "media/graphics/surface_table.h"
#include "shell/game_loop.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"

const char* const kTextureFailureText =
    "テクスチャの作成に失敗しました！\nビデオカードの性能が十分ではないかもしれません。\n"
    "System.iniファイルで「Direct3D=0」に変更してDirect3Dを無効にすれば改善される可能性があります。";

namespace {
constexpr int kPaletteSlot = 0;
constexpr int kLoadingSlot = 45;
constexpr int kSystemSlots[] = {1, 51, kLoadingSlot};
// The software display refreshes 60 times a second (platform/window/vertical_blank.h).
constexpr int kDisplayRefreshRate = 60;

// The frames-per-second text on the back buffer: plain text of font 0, or boxed text of font 1
// with a box that fits the text.
void drawFpsText(int mode, const char* text, int x, int y) {
  if (mode == 2)
    g_Font[0].DrawStringF(&g_BackBufferSD, x, y, "%s", text);
  else
    g_Font[1].DrawBoxStringF(&g_BackBufferSD, x, y, 0, 0, "%s", text);
}
}  // namespace

bool ProjectHasOwnTransparentColour() { return g_SystemData.m_nViewMask != 0; }

bool SetUpPaletteAndTransparentColour() {
  if (!lpDTCon && !g_lpDDPalette) return true;
  const char* palettePath = g_SurfaceInfo[kPaletteSlot].szPath;
  if (!DDLoadPaletteFromFile(g_GamePalette, palettePath, 0)) {
    ECLogPuts("DDLoadPaletteFromFile失敗");
    return false;
  }
  std::memcpy(g_WorkPalette, g_GamePalette, sizeof g_WorkPalette);
  const uint8_t red = g_SystemData.m_byColour187R;
  const uint8_t green = g_SystemData.m_byColour187G;
  const uint8_t blue = g_SystemData.m_byColour187B;
  if (!ProjectHasOwnTransparentColour() || g_nDisplayBpp == 16) {
    if (!DDSetTransmitFromFile(palettePath)) {
      ECLogPuts("DDSetTransmit失敗");
      return false;
    }
    if (ProjectHasOwnTransparentColour()) {
      // At 16 bits the project's colour is kept exactly, as file pictures are keyed and copied with it.
      const RGBTRIPLE exact{blue, green, red};
      if (lpDTCon) lpDTCon->rgbTransmitExact = exact;
      if (lpDDCon) lpDDCon->rgbTransmitExact = exact;
    }
  } else {
    DDSetTransmit(red, green, blue);
  }
  return true;
}

int ChooseBltPresent(int windowed, int vsync, int frameRate) {
  if (windowed || !vsync) return 1;
  return kDisplayRefreshRate < frameRate ? 1 : 0;
}

bool LoadSystemSurfaces() {
  // The loading picture first, so that something shows while the rest loads; a missing one is only
  // logged.
  const DDSURFACEINFO& info = g_SurfaceInfo[kLoadingSlot];
  DDCheckResult(DDCreateSurfaceFromFile(&g_SurfaceData[kLoadingSlot], info.szPath, info.bColorKey, g_nDisplayBpp,
                                        info.nMemoryType, info.nMemoryKind, info.bAlias, info.bPalMap, info.nMirrorX,
                                        info.nMirrorY, 0));
  RedrawAndPresent();
  return DDLoadSurfaces(g_SurfaceData, kSystemSlots, static_cast<int>(std::size(kSystemSlots)));
}

bool SetUpFonts() {
  const char* face = FontFaceFor(g_SystemData.m_nFontFace);
  const int cache = lpDTCon ? g_IniSettings.D3D_FontCache : g_IniSettings.DD_FontCache;
  for (FONTINFO& info : g_FontInfo) {
    std::snprintf(info.szFace, sizeof info.szFace, "%s", face);
    if (info.nCacheMode == 2) info.nCacheMode = cache;
  }
  if (!CreateFonts(g_Font, g_FontInfo, kFontCount)) return false;
  for (cFont& font : g_Font) font.m_bShadow = g_SystemData.m_nFontOpt170;
  g_Font[0].m_bIcons = 0;
  g_Font[1].m_bIcons = g_SystemData.m_nFontOpt;
  g_Font[1].m_bCentre = g_SystemData.m_bFontOpt966;
  g_Font[2].m_bIcons = 0;
  if (!CreateFastFonts(g_FastFontSurface, g_FastFontInfo, kFontCount, g_Font, g_FontInfo)) return false;
  SetFrameStepHooks({.drawFpsText = drawFpsText});
  return true;
}

void ReleaseFonts() {
  SetFrameStepHooks({});
  for (cFont& font : g_Font) ReleaseFont(&font);
  for (DDSURFACEDATA& strip : g_FastFontSurface) DDReleaseSurface(&strip);
}
