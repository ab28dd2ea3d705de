#include "objects/block_type_draw.h"

#include "media/graphics/blit.h"
#include "objects/graphic_source.h"

void DrawBlockType(const cBlockType& block, DDSURFACEDATA* target, int x, int y) {
  const GRAPHICSOURCE source =
      GetGraphicSource(kGraphicForPlain, block.m_nGraphicKind, block.m_nGraphic, block.m_nGraphicSub, nullptr, 0);
  DDBlt(target, x, y, 32, 32, source.lpSD, source.nSrcX, source.nSrcY, 1);
  if (block.m_nIconDisplay == 1) {
    DDBlt(target, x, y, 32, 32, g_lpBlockIconSD, (block.m_nIcon / 15) * 32, (block.m_nIcon % 15) * 32, 1);
  }
}
