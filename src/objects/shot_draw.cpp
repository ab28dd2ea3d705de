// Shots against the map's blocks, and drawing shots and sword swings.
#include "media/graphics/blit.h"
#include "media/graphics/surface_table.h"
#include "objects/graphic_source.h"
#include "objects/shot.h"
#include "objects/sword_entry.h"

namespace {

std::vector<DDSURFACEDATA>* g_lpSwordSurfaces = nullptr;

bool SolidCellAt(double x, double y, int kind) {
  cBlock* block = BlockAtCell(TruncToInt(x) >> 5, TruncToInt(y) >> 5);
  return block && GetBlockContact(*block, kind) != 0;
}

// The coordinates from a low edge to a high one in steps of 32, the last one on the high edge.
std::vector<double> CellWalk(double low, double high) {
  std::vector<double> values;
  for (double v = low; v < high; v += 32) values.push_back(v);
  values.push_back(high);
  return values;
}

}  // namespace

void UseSwordSurfaces(std::vector<DDSURFACEDATA>* surfaces) { g_lpSwordSurfaces = surfaces; }

bool cShot::ShotHitsBlock() const {
  if (m_Settings.m_bThroughBlocks == 1) return false;
  const cDblRect& r = m_HitBox.rect;
  if (m_HitBox.nWidth > 32) {
    // A wide shot can straddle a block with its corners free: every cell under it counts.
    const std::vector<double> columns = CellWalk(r.left, r.right);
    const std::vector<double> rows = CellWalk(r.top, r.bottom);
    for (double x : columns)
      for (double y : rows)
        if (SolidCellAt(x, y, m_nKind)) return true;
    return false;
  }
  for (double x : {r.left, r.right})
    for (double y : {r.top, r.bottom})
      if (SolidCellAt(x, y, m_nKind)) return true;
  return false;
}

void cShot::DrawShot(DDSURFACEDATA* target, int hold) {
  if (m_Settings.m_bHidden) return;
  UpdateScreenRect();
  const int x = m_ScreenRect.left;
  const int y = m_ScreenRect.top;
  const int scale = m_Settings.m_nSize > 0 ? m_Settings.m_nSize : 1;
  if (m_bIsShot) {
    const int pattern = hold ? m_Anim.CurrentPattern() : m_Anim.StepAnime();
    const int g = m_Settings.m_nGraphic;
    const int sx = (pattern + (g / 30) * 2) * 16;
    const int sy = (g % 30) * 16;
    DDSURFACEDATA* source = &g_GameSurfaces[SurfaceSlotFor(kSlotShotSheet + m_nFacing, m_nFacing)];
    if (scale > 1)
      DDBltStretch(target, x, y, m_nGraphicWidth, m_nGraphicHeight, source, sx, sy, 16, 16, 1);
    else
      DDBlt(target, x, y, 16, 16, source, sx, sy, 1);
    return;
  }
  const cSwordTypeData* type = SwordTypeOf(m_Settings.m_nTrajectory);
  if (!type || m_nSwordFrame < 0 || static_cast<size_t>(m_nSwordFrame) >= type->m_aEntries.size()) return;
  const cSwordEntry& entry = type->m_aEntries[static_cast<size_t>(m_nSwordFrame)];
  const size_t slot =
      static_cast<size_t>(m_Settings.m_nTrajectory) * 4 + static_cast<size_t>(m_nFacing) + (scale > 1 ? 2 : 0);
  DDSURFACEDATA* source = g_lpSwordSurfaces && slot < g_lpSwordSurfaces->size() ? &(*g_lpSwordSurfaces)[slot] : nullptr;
  const int w = SwordEntryWidth(entry);
  const int h = SwordEntryHeight(entry);
  if (scale > 1)
    DDBltStretch(target, x, y, m_nGraphicWidth, m_nGraphicHeight, source, SwordEntryCellX(entry),
                 SwordEntryCellY(entry), w, h, 1);
  else
    DDBlt(target, x, y, w, h, source, SwordEntryCellX(entry), SwordEntryCellY(entry), 1);
}
