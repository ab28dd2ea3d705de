// The game's surface table: 72 slots with their descriptors, loaded by the callers' slot lists.
#include "media/graphics/surface_table.h"

#include <cstdio>
#include <cstring>

#include "core/log.h"
#include "media/graphics/display.h"
#include "media/graphics/surface.h"

DDSURFACEDATA g_SurfaceData[kSurfaceTableSize];
DDSURFACEINFO g_SurfaceInfo[kSurfaceTableSize];
DDSURFACEDATA (&g_GameSurfaces)[kSurfaceTableSize] = g_SurfaceData;
int g_bMirrorTwins = 1;

namespace {

void Row(int slot, const char* path, int key, int memory, int kind, int alias, int optional, int mirrorX, int width = 0,
         int height = 0) {
  DDSURFACEINFO& info = g_SurfaceInfo[slot];
  std::memset(&info, 0, sizeof info);
  std::snprintf(info.szPath, sizeof info.szPath, "%s", path);
  info.bColorKey = key;
  info.nMemoryType = memory;
  info.nMemoryKind = kind;
  info.bAlias = alias;
  info.bOptional = optional;
  info.nMirrorX = mirrorX;
  info.nWidth = width;
  info.nHeight = height;
}

struct cTableBuilder {
  cTableBuilder() {
    Row(0, "bmp\\plt\\Palette.bmp", 0, 1, 0, 0, 0, 0);
    Row(1, "bmp\\Debug.bmp", 1, 0, 0, 0, 0, 0);
    Row(2, "bmp\\Block.bmp", 1, 0, 0, 0, 0, 0);
    Row(3, "bmp\\Block.bmp", 1, 1, 0, 1, 0, 0);
    Row(4, "bmp\\Character1.bmp", 1, 0, 0, 0, 0, 0);
    Row(5, "bmp\\Character1.bmp", 1, 0, 0, 1, 0, 32);
    char path[64];
    for (int n = 2; n <= 8; ++n) {
      std::snprintf(path, sizeof path, "bmp\\Character%d.bmp", n);
      const int slot = 6 + (n - 2) * 2;
      Row(slot, path, 1, 0, 0, 0, 1, 0);
      Row(slot + 1, path, 1, 0, 0, 1, 1, 32);
      Row(24 + (n - 2) * 2, path, 1, 1, 0, 1, 1, 0);
      Row(25 + (n - 2) * 2, path, 1, 1, 0, 1, 1, 32);
    }
    Row(20, "bmp\\Shot.bmp", 1, 0, 0, 0, 0, 0);
    Row(21, "bmp\\Shot.bmp", 1, 0, 0, 1, 0, 16);
    Row(22, "bmp\\Character1.bmp", 1, 1, 0, 1, 0, 0);
    Row(23, "bmp\\Character1.bmp", 1, 1, 0, 1, 0, 32);
    Row(38, "bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0);
    Row(39, "bmp\\Shot.bmp", 1, 1, 0, 1, 0, 16);
    Row(40, "bmp\\Item.bmp", 1, 0, 0, 0, 0, 0);
    Row(41, "bmp\\Item.bmp", 1, 1, 0, 1, 0, 0);
    Row(42, "bmp\\Item_Mini.bmp", 1, 0, 0, 0, 0, 0);
    Row(43, "bmp\\Mark.bmp", 1, 0, 0, 0, 0, 0);
    Row(44, "bmp\\Mark.bmp", 1, 1, 0, 1, 0, 0);
    Row(45, "bmp\\Loading.bmp", 1, 0, 0, 0, 1, 0);
    Row(46, "bmp\\Window.bmp", 1, 0, 0, 0, 0, 0);
    Row(47, "bmp\\StatusWindow.bmp", 1, 0, 0, 0, 0, 0);
    Row(48, "bmp\\Title.bmp", 0, 0, 0, 0, 0, 0);
    Row(49, "bmp\\GameMode.bmp", 1, 0, 0, 0, 1, 0);
    Row(50, "bmp\\Accessory.bmp", 1, 0, 0, 0, 0, 0);
    Row(51, "bmp\\Symbol.bmp", 1, 0, 0, 0, 0, 0);
    Row(52, "bmp\\Word.bmp", 1, 0, 0, 0, 0, 0);
    Row(53, "bmp\\WorldMapChip.bmp", 1, 0, 0, 0, 0, 0);
    Row(54, "bmp\\WorldEvent.bmp", 1, 1, 0, 0, 0, 0);
    Row(55, "bmp\\WorldBack.bmp", 0, 1, 0, 0, 1, 0);
    for (int n = 1; n <= 8; ++n) {
      std::snprintf(path, sizeof path, "背景その%d.bmp", n);
      Row(55 + n, path, 1, 0, 0, 0, 1, 0);
    }
    Row(64, "E", 1, 1, 0, 0, 0, 0, 256, 960);
    Row(65, "E", 1, 1, 0, 0, 0, 0, 256, 960);
    Row(66, "E", 1, 1, 0, 0, 0, 0, 640, 480);
    Row(67, "E", 0, 1, 0, 0, 0, 0, 640, 480);
    Row(68, "E", 1, 0, 0, 0, 0, 0, 640, 480);
    Row(69, "E", 1, 1, 0, 1, 0, 0, 640, 480);
    Row(70, "E", 1, 0, 2, 0, 0, 0, 1024, 1024);
    Row(71, "E", 1, 1, 1, 0, 0, 0, 1024, 1024);
  }
};
const cTableBuilder g_TableBuilder;

}  // namespace

bool DDLoadSurfaces(DDSURFACEDATA* surfaces, const int* slots, int count) {
  for (int i = 0; i < count; ++i) {
    const int n = slots[i];
    if (!g_lpSurfaceInfoTable || n < 0 || n >= g_nSurfaceTableCount) continue;
    const DDSURFACEINFO& info = g_lpSurfaceInfoTable[n];
    DDSURFACEDATA* sd = &surfaces[n];
    DDReleaseSurface(sd);
    if (std::strcmp(info.szPath, "E") != 0) {
      int code = DDCreateSurfaceFromFile(sd, info.szPath, info.bColorKey, g_nDisplayBpp, info.nMemoryType,
                                         info.nMemoryKind, info.bAlias, info.bPalMap, info.nMirrorX, info.nMirrorY, 0);
      if (!DDCheckResult(code)) {
        if (info.bOptional) {
          DDReleaseSurface(sd);
          continue;
        }
        ErrorBoxf("%s の読み込みに失敗！", info.szPath);
        return false;
      }
    } else if (!DDCreateSurface(sd, info.nWidth, info.nHeight, info.bColorKey, info.nMemoryType, info.nMemoryKind,
                                info.bAlias, 0)) {
      if (info.bOptional) {
        DDReleaseSurface(sd);
        continue;
      }
      OutOfMemoryQuit();
      return false;
    }
  }
  return true;
}

void LinkMirrorSurfaces() {
  if (!lpDTCon) return;
  for (int slot = 3; slot <= 21; slot += 2) g_SurfaceData[slot].lpAlias = &g_SurfaceData[slot - 1];
  for (int slot = 22; slot <= 39; ++slot) {
    const int base = 4 + ((slot - 22) / 2) * 2;
    g_SurfaceData[slot].lpAlias = &g_SurfaceData[base];
  }
  g_SurfaceData[41].lpAlias = &g_SurfaceData[40];
  g_SurfaceData[44].lpAlias = &g_SurfaceData[43];
  g_SurfaceData[69].lpAlias = &g_SurfaceData[68];
}

void GetVideoMemoryMB(int* total, int* free) {
  int64_t used = g_lpDevice ? g_lpDevice->VideoMemoryUsed() : g_lpDD ? g_lpDD->VideoMemoryUsed() : 0;
  const int totalMb = 1024;
  if (total) *total = totalMb;
  if (free) *free = totalMb - static_cast<int>(used >> 20) > 0 ? totalMb - static_cast<int>(used >> 20) : 0;
}
