// Sampling the block map along a character's edges.
#include "stage/map_sampling.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/containers.h"
#include "core/numbers.h"
#include "objects/chara_base.h"
#include "objects/play_objects.h"
#include "objects/stage_state.h"

namespace {

// The map's extent in dots on both axes; false when there is no stage to sample.
bool MapExtent(int& width, int& height) {
  const cStageState* stage = g_lpSceneStage;
  if (!stage) return false;
  width = stage->m_ScrollX.m_nMapDots;
  height = stage->m_ScrollY.m_nMapDots;
  return width > 0 && height > 0;
}

// The best sample so far: its cell, its contact and its distance from the middle of the edge.
struct cSample {
  int nCell = 0;
  int nContact = -1;  // below every contact kind, so that the first sample always counts
  int nDistance = 0;
};

// v + step held in 0 .. high; the step comes from a character's size, which a damaged stage can make
// any int.
int ClampSum(int v, int64_t step, int high) { return static_cast<int>(std::clamp<int64_t>(v + step, 0, high)); }

}  // namespace

int MapCellIndex(int x, int y) {
  int width = 0;
  int height = 0;
  if (!MapExtent(width, height)) return 0;
  x = std::clamp(x, 0, width - 1);
  y = std::clamp(y, 0, height - 1);
  return (x >> 5) + ((y >> 5) << g_lpSceneStage->BlockRowShift());
}

int8_t CellContact(int cell, int group) { return GetBlockContact(VecAt(g_BlockTable, cell), group); }

int FindContactCell(const cCharaBase& chara, int x1, int y1, int x2, int y2) {
  int width = 0;
  int height = 0;
  if (!MapExtent(width, height)) return 0;
  x1 = std::clamp(x1, 0, width - 1);
  x2 = std::clamp(x2, 0, width - 1);
  y1 = std::clamp(y1, 0, height - 1);
  y2 = std::clamp(y2, 0, height - 1);
  const int samples = chara.m_Type.m_nScale + 1;
  if (samples <= 0) return 0;
  cSample best;
  if (x1 == x2) {
    // Down the edge from its top; a later sample wins only with a greater contact. The step is
    // clamped on both sides: a base height of 0 would otherwise walk upward out of the map.
    int y = y1;
    for (int i = 0; i < samples; ++i) {
      const int cell = MapCellIndex(x1, y);
      const int contact = CellContact(cell, chara.m_nKind);
      if (contact > best.nContact) best = {cell, contact, 0};
      y = ClampSum(y, chara.m_nBaseHeight - int64_t{1}, height - 1);
    }
    return best.nCell;
  }
  if (y1 == y2) {
    // Along the edge from its left end; among equal contacts the sample nearest the middle wins.
    const int middle = (x1 + x2) >> 1;
    int x = x1;
    for (int i = 0; i < samples; ++i) {
      const int cell = MapCellIndex(x, y1);
      const int contact = CellContact(cell, chara.m_nKind);
      const int distance = std::abs(x - middle);
      if (contact > best.nContact || (contact == best.nContact && distance < best.nDistance))
        best = {cell, contact, distance};
      x = ClampSum(x, chara.m_nBaseWidth - int64_t{1}, width - 1);
    }
    return best.nCell;
  }
  return 0;
}

int FindPlayerFloorCell(const cCharaBase& chara) {
  int width = 0;
  int height = 0;
  if (!MapExtent(width, height)) return 0;
  const int scale = chara.m_Type.m_nScale;
  const int samples = (scale & 1) ? scale + 2 : scale + 1;
  // One sample (a scale below 1) has no spacing: it is the last one, at the right end.
  const int step = samples > 1 ? chara.m_nWidth / (samples - 1) : 0;
  const int left = TruncToInt(chara.m_dX);
  const int right = TruncToInt(chara.m_dX2);
  const int y = std::clamp(TruncToInt(chara.m_dY2), 0, height - 1);
  // In 64 bits: a character far outside the map (a damaged stage) has edges near the ends of the int
  // range.
  const int64_t middle = (int64_t{left} + right) >> 1;
  cSample best;
  int64_t x = left;
  for (int i = 0; i < samples; ++i) {
    const int sampleX = static_cast<int>(std::clamp<int64_t>(i == samples - 1 ? right : x, 0, width - 1));
    const int cell = MapCellIndex(sampleX, y);
    const int contact = CellContact(cell, chara.m_nKind);
    const int distance = static_cast<int>(std::min<int64_t>(std::abs(sampleX - middle), INT32_MAX));
    if (contact > best.nContact || (contact == best.nContact && distance < best.nDistance))
      best = {cell, contact, distance};
    x += step;
  }
  return best.nCell;
}

int FindCornerContactCell(int columnLeft, int rowTop, int columnRight, int rowBottom, int group) {
  const cStageState* stage = g_lpSceneStage;
  if (!stage || stage->m_ScrollX.m_nCells <= 0 || stage->m_ScrollY.m_nCells <= 0) return 0;
  const int lastColumn = stage->m_ScrollX.m_nCells - 1;
  const int lastRow = stage->m_ScrollY.m_nCells - 1;
  const int shift = stage->BlockRowShift();
  const auto cellOf = [&](int column, int row) {
    return std::clamp(column, 0, lastColumn) + (std::clamp(row, 0, lastRow) << shift);
  };
  const int corners[4] = {cellOf(columnLeft, rowTop), cellOf(columnRight, rowTop), cellOf(columnLeft, rowBottom),
                          cellOf(columnRight, rowBottom)};
  int best = corners[0];
  int bestContact = CellContact(best, group);
  for (int i = 1; i < 4; ++i) {
    const int contact = CellContact(corners[i], group);
    if (contact > bestContact) {
      best = corners[i];
      bestContact = contact;
    }
  }
  return best;
}
