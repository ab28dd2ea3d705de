#include "stage/view_mask.h"

#include <algorithm>

#include "core/log.h"
#include "media/graphics/blit.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/display.h"
#include "media/graphics/surface.h"
#include "media/graphics/surface_table.h"
#include "objects/hero.h"
#include "shell/startup_media.h"

namespace {

constexpr uint32_t kMaskColour = 16;
constexpr uint32_t kTransparentColour = 0;

// Fills the hole with the transparent colour: the project's own colour where it gives one (in
// Direct3D the transparent black that clears a keyed surface), else palette colour 0.
void FillTransparent(DDSURFACEDATA* surface, int width, int height) {
  if (!ProjectHasOwnTransparentColour()) {
    DDFillRect(surface, 0, 0, width, height, kTransparentColour);
    return;
  }
  uint32_t colour = 0;
  if (!lpDTCon && lpDDCon) {
    const RGBTRIPLE& key = lpDDCon->rgbTransmit;
    colour = (uint32_t{key.rgbtRed} << 16) | (uint32_t{key.rgbtGreen} << 8) | key.rgbtBlue;
  }
  DDFillRectRGB(surface, 0, 0, width, height, colour);
}

}  // namespace

int ViewMaskRadius(int viewRange) { return std::clamp(viewRange, 0, kViewMaskMaxRange); }

void RebuildViewMask(cHero& hero) {
  DDSURFACEDATA* mask = &g_SurfaceData[kSlotViewMask];
  DDSURFACEDATA* hole = &g_SurfaceData[kSlotViewHole];
  DDReleaseSurface(mask);
  DDReleaseSurface(hole);
  const int r = ViewMaskRadius(hero.m_nViewRange);
  const int width = 1280 + 2 * r;
  const int height = 960 + 2 * r;
  if (!DDCreateSurface(mask, width, height, 1, 1, 0, 0, 0)) {
    OutOfMemoryQuit();
    return;
  }
  DDFillRect(mask, 0, 0, width, height, kMaskColour);
  if (r == 0) return;
  const int shape = hero.m_Type.m_nViewMode;
  if (shape != 1 && shape != 2) {
    DDFillRect(mask, (width >> 1) - r, (height >> 1) - r, 2 * r, 2 * r, kTransparentColour);
    return;
  }
  if (!DDCreateSurface(hole, 2 * r, 2 * r, 1, 1, 0, 0, 0)) {
    OutOfMemoryQuit();
    return;
  }
  FillTransparent(hole, 2 * r, 2 * r);
  DDBltCircle(mask, width >> 1, height >> 1, width, height, r, 1, hole, r, r, 0);
}
