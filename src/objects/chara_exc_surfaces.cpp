// The graphic look-up's access to the dedicated character bitmaps.
#include "objects/chara_exc_surfaces.h"

#include "data/system_data.h"

namespace {

constexpr int kSurfacesPerEntry = 4;

std::vector<DDSURFACEDATA>* g_lpCharaExcSurfaces = nullptr;

DDSURFACEDATA* LookUpCharaExcSurface(int entry, int which) {
  return g_lpCharaExcSurfaces ? CharaExcSurfaceIn(*g_lpCharaExcSurfaces, entry, which) : nullptr;
}

}  // namespace

DDSURFACEDATA* CharaExcSurfaceIn(std::vector<DDSURFACEDATA>& surfaces, int entry, int which) {
  if (entry < 1 || which < 0 || which >= kSurfacesPerEntry) return nullptr;
  const size_t index = static_cast<size_t>(entry - 1) * kSurfacesPerEntry + static_cast<size_t>(which);
  return index < surfaces.size() ? &surfaces[index] : nullptr;
}

// Projects saved by editors older than version 855 lay the bitmaps' cells out 16 to a row whatever
// the bitmap's width.
cGraphicSourceHooks UseCharaExcSurfaces(std::vector<DDSURFACEDATA>* surfaces) {
  g_lpCharaExcSurfaces = surfaces;
  g_bCharaExcFixedLayout = g_SystemData.m_bLegacy855 ? 1 : 0;
  cGraphicSourceHooks hooks;
  hooks.charaExcSurface = surfaces ? LookUpCharaExcSurface : nullptr;
  return SetGraphicSourceHooks(hooks);
}
