// Drawing of a block type: its graphic from the graphic look-up and its icon over it.
#include "data/block_type.h"

#include "media/graphics/blit.h"
#include "objects/graphic_source.h"

void cBlockType::DrawBlockType(DDSURFACEDATA* target, int x, int y) const {
  if (m_nGraphic == 0) return;
  const GRAPHICSOURCE source =
      GetGraphicSource(kGraphicForPlain, m_nGraphicKind, m_nGraphic, m_nGraphicSub, nullptr, 0);
  DDBlt(target, x, y, 32, 32, source.lpSD, source.nSrcX, source.nSrcY, 1);
  // Icons stand 15 to a column of the icon sheet.
  if (m_nIconDisplay == 1) {
    DDBlt(target, x, y, 32, 32, g_lpBlockIconSD, (m_nIcon / 15) * 32, (m_nIcon % 15) * 32, 1);
  }
}
