// Drawing the hero: the character itself, the display of its boxes and the view mask around it.
#include <algorithm>
#include <cstdint>

#include "core/containers.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/display.h"
#include "media/graphics/surface_table.h"
#include "objects/cell_math.h"
#include "objects/hero.h"

namespace {

// The surface stage set-up draws the view mask on.
constexpr int kSlotViewMask = 66;
// Palette colour of box colour choice c: 208 + 4c, cycling through the next three every 8 frames.
constexpr int kBoxColourBase = 208;
constexpr int kBoxColourCycle = 32;

cHitBoxDisplayEntry DisplayEntry(int kind, int show, int colourChoice, int width, int height) {
  cHitBoxDisplayEntry entry;
  entry.nKind = kind;
  entry.nShowMode = show;
  // A damaged stage's colour choice may be any int: the sum is held at the ends of the int range.
  entry.nColour = SaturateToInt(kBoxColourBase + 4 * int64_t{colourChoice});
  entry.nWidth = width;
  entry.nHeight = height;
  return entry;
}

// v limited to [0, high]; a high below 0 gives 0.
int ClampWindow(int v, int high) { return std::max(0, std::min(v, high)); }

}  // namespace

// Smaller boxes are drawn over larger ones.
void cHero::BuildHitBoxDisplay() {
  const cStageData& stage = g_StageFile;
  m_aHitBoxDisplay.clear();
  m_aHitBoxDisplay.push_back(DisplayEntry(0, stage.m_nHeroHitBoxShow, stage.m_nHeroHitBoxColour, m_nWidth, m_nHeight));
  m_aHitBoxDisplay.push_back(
      DisplayEntry(2, stage.m_anHeroBoxShow[2], stage.m_anHeroBoxColour[2], m_ItemBox.nWidth, m_ItemBox.nHeight));
  m_aHitBoxDisplay.push_back(
      DisplayEntry(1, stage.m_anHeroBoxShow[0], stage.m_anHeroBoxColour[0], m_CharaBox.nWidth, m_CharaBox.nHeight));
  m_aHitBoxDisplay.push_back(
      DisplayEntry(3, stage.m_anHeroBoxShow[1], stage.m_anHeroBoxColour[1], m_ShotBox.nWidth, m_ShotBox.nHeight));
  std::stable_sort(m_aHitBoxDisplay.begin(), m_aHitBoxDisplay.end(),
                   [](const cHitBoxDisplayEntry& a, const cHitBoxDisplayEntry& b) {
                     return static_cast<int64_t>(a.nWidth) * a.nHeight > static_cast<int64_t>(b.nWidth) * b.nHeight;
                   });
}

void cHero::DrawHero(DDSURFACEDATA* target, int mode) {
  DrawChara(target, mode);
  // With the project's palette animation on an 8-bit display the colours do not cycle.
  const bool fixedColours = g_nDisplayBpp == 8 && g_SystemData.m_nPaletteOpt289;
  for (int i = 0; i < static_cast<int>(m_aHitBoxDisplay.size()); ++i) {
    cHitBoxDisplayEntry& entry = VecAt(m_aHitBoxDisplay, i);
    if (entry.nShowMode == 0) continue;
    int64_t x = int64_t{m_ScreenRect.left} + m_nHitOffsetX;
    int64_t y = int64_t{m_ScreenRect.top} + m_nHitOffsetY;
    const cHitBox* box = entry.nKind == 1   ? &m_CharaBox
                         : entry.nKind == 2 ? &m_ItemBox
                         : entry.nKind == 3 ? &m_ShotBox
                                            : nullptr;
    if (box) {
      x += box->nX;
      y += box->nY;
    }
    const int colour = fixedColours ? entry.nColour : SaturateToInt(int64_t{entry.nColour} + (entry.nCounter >> 3));
    if (entry.nShowMode == 1)
      DDFillRect(target, SaturateToInt(x), SaturateToInt(y), entry.nWidth, entry.nHeight,
                 static_cast<uint32_t>(colour));
    else if (entry.nShowMode == 2)
      DDFrameRect(target, SaturateToInt(x), SaturateToInt(y), entry.nWidth, entry.nHeight, 1,
                  static_cast<uint32_t>(colour));
    if (++entry.nCounter >= kBoxColourCycle) entry.nCounter = 0;
  }
}

// A 640 x 480 window of the mask, cut so that its hole lies round the hero (or in front of it for
// the forward view shapes).
void cHero::DrawHeroOverlay(DDSURFACEDATA* target) {
  if (!target || m_Type.m_nViewMode == 0) return;
  DDSURFACEDATA* mask = &g_SurfaceData[kSlotViewMask];
  int x = (mask->nWidth >> 1) - (m_nGraphicWidth >> 1) - m_ScreenRect.left;
  if (m_Type.m_nViewMode == 2 || m_Type.m_nViewMode == 4)
    x += FacingSign() * (m_nGraphicWidth >> 1) - FacingSign() * m_nViewRange;
  int y = (mask->nHeight >> 1) - (m_nGraphicHeight >> 1) - m_ScreenRect.top;
  x = ClampWindow(x, mask->nWidth - 640);
  y = ClampWindow(y, mask->nHeight - 480);
  DDBlt(target, 0, 0, 640, 480, mask, x, y, 1);
}
