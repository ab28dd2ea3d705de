// Items: building from the item type, grid placement, growing from the bottom, drawing.
#include "objects/item.h"

#include "data/stage_data.h"
#include "media/graphics/blit.h"
#include "objects/flow_runner.h"
#include "objects/graphic_source.h"

namespace {

// Items show the two frames of their cell in turn, each for 16 draws (a quarter of a second and a
// little): the item sheet keeps two 32-dot frames side by side for every item (the frame moves the
// cell 32 dots right), so a designer who drew both sees them alternate; on a character sheet the
// second frame is the next cell of the row. A sheet whose second frame repeats the first shows a
// still picture.
constexpr int kItemFrameTime = 16;

const std::vector<cFrameScript>& ItemAnimePatterns() {
  static const std::vector<cFrameScript> patterns = {
      {{0, kItemFrameTime, 0}, {1, kItemFrameTime, 0}, {kScriptRestart, 0, 0}}};
  return patterns;
}

}  // namespace

int cItem::InitItem(int id, cItemType& type, int flag) {
  if (type.m_nScale == 0) type.m_nScale = 1;
  m_Type = type;

  const int width = g_StageFile.m_anItemHitBox[0];
  const int height = g_StageFile.m_anItemHitBox[1];
  InitObject(id, 0, 0, 0, m_Type.m_nGraphic, &ItemAnimePatterns(), 0, 16 - (width >> 1), 16 - (height >> 1), width,
             height, 32, 32, 0, 1, 0);

  m_bSyncScroll = 0;
  m_anFlowVars[0] = 0;
  m_anFlowVars[1] = 0;
  m_bTakenFromChara = flag;
  if (flag)
    m_bActive = 1;
  else
    SetScale(m_Type.m_nScale, 1, 1);

  ExpandRepeats(m_Type.m_aCmds);
  return 0;
}

// The graphic's bottom stays where it was: the item grows upward.
void cItem::AdjustAfterResize(int newScale, int oldScale, int anchor) {
  if (newScale == oldScale) return;
  m_dY -= (newScale - oldScale) * (m_nBaseHeight + m_nBaseHitOffsetY);
  ClampToStageY(2);
}

void cItem::PlaceItemOnGrid(int column, int row, int anchor) {
  m_dX = GridDotX(column);
  m_dY = GridDotY(row);
  AdjustAfterResize(m_Type.m_nScale, 1, anchor);
  ClampToStageX(2);
  ClampToStageY(2);
}

// A graphic made for the item's scale is copied as it is; one made for another scale is stretched
// to the item's size. The icon sheet's cells are made for scale 1.
void cItem::DrawItem(DDSURFACEDATA* target, int hold) {
  if (m_Type.m_bInvisible) return;
  int pattern = hold ? m_Anim.CurrentPattern() : m_Anim.StepAnime();
  if (pattern < 0) pattern = 0;
  const GRAPHICSOURCE source = GetGraphicSource(kGraphicForBlockChara, m_Type.m_nGraphicKind, m_nGraphic,
                                                m_Type.m_nGraphicSub, nullptr, pattern);
  const int x = m_ScreenRect.left;
  const int y = m_ScreenRect.top;
  const int scale = m_Type.m_nScale;
  if (source.lpSD) {
    if (source.nCellUnits == scale) {
      DDBlt(target, x, y, m_nGraphicWidth, m_nGraphicHeight, source.lpSD, source.nSrcX, source.nSrcY, 1);
    } else {
      const int cell = 32 * source.nCellUnits;
      DDBltStretch(target, x, y, m_nGraphicWidth, m_nGraphicHeight, source.lpSD, source.nSrcX, source.nSrcY, cell, cell,
                   1);
    }
  }
  if (m_Type.m_nIconDisplay == 1) {
    const int icon = m_Type.m_nIcon;
    const int iconX = icon / 15 * 32;
    const int iconY = icon % 15 * 32;
    if (scale > 1)
      DDBltStretch(target, x, y, m_nGraphicWidth, m_nGraphicHeight, g_lpItemIconSD, iconX, iconY, 32, 32, 1);
    else
      DDBlt(target, x, y, 32, 32, g_lpItemIconSD, iconX, iconY, 1);
  }
}
