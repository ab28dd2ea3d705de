// The map's blocks on screen, one pass per block layer.
#include "core/numbers.h"
#include "media/graphics/layer.h"
#include "media/graphics/surface_table.h"
#include "objects/block_type_draw.h"
#include "objects/graphic_source.h"
#include "objects/object.h"
#include "stage/condition_lists.h"
#include "stage/scene_stage.h"

namespace {
// The cells that can show in the 640 x 480 view: 21 columns and 16 rows from the cell at its
// top-left corner.
constexpr int kViewColumns = 21;
constexpr int kViewRows = 16;
}  // namespace

void cSceneStage::DrawBlockLayer(DDSURFACEDATA* surface, int layer) {
  DDBeginLayer(1);
  DDLayerAddTexture(&g_SurfaceData[kSlotIconSheet]);
  const int px = TruncToInt(m_ScrollX.m_dPosition);
  const int py = TruncToInt(m_ScrollY.m_dPosition);
  for (int r = 0; r < kViewRows; ++r) {
    const int row = (py >> 5) + r;
    if (row < 0 || row >= m_ScrollY.m_nCells) continue;
    for (int c = 0; c < kViewColumns; ++c) {
      const int column = (px >> 5) + c;
      if (column < 0 || column >= m_ScrollX.m_nCells) continue;
      cBlock* block = BlockAtCell(column, row);
      // In this order: the condition is tested (and latched) only for a block this pass draws.
      if (!block || block->m_nGraphic == 0 || block->m_nLayer != layer || !CheckBlockCondition(*block) ||
          block->m_bInvisible != 0)
        continue;
      DrawBlockType(*block, surface, 32 * c - (px & 31), 32 * r - (py & 31));
    }
  }
  DDEndLayer();
}
