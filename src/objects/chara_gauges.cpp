// The life and special-point gauges over a character for a while after each change.
#include <algorithm>

#include "core/numbers.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/surface_table.h"
#include "objects/chara_base.h"
#include "objects/graphic_source.h"

namespace {

constexpr int kBarLength = 50;
constexpr int kBarThickness = 2;
// Frames of the display during which the moving part shrinks; it is gone for the rest.
constexpr int kMovingFrames = 60;
// Status entries of the two gauges (the threshold of the low colour).
constexpr int kEntryHp = 2;
constexpr int kEntrySp = 3;

// One gauge: the background, the fill (in the low colour when low), then the moving part of the
// last change, a gain over the end of the fill or a loss just after it. Rows of the gauge sheet:
// background r, fill r + g, low fill r + 2g, loss r + 3g, gain r + 4g.
void DrawGauge(const cCharaBase& chara, cGauge& gauge, DDSURFACEDATA* target, int entry, int value, int max, int above,
               int column) {
  if (gauge.nShowTimer <= 0 || chara.m_bDead) return;
  DDSURFACEDATA* sheet = &g_SurfaceData[kSlotGaugeSheet];
  const bool tall = sheet->nHeight > 208;
  const int r = tall ? 208 : 128, g = tall ? 2 : 16;
  const int x = chara.m_ScreenRect.left + (chara.m_nGraphicWidth >> 1) - 25;
  const int y = chara.m_ScreenRect.top - above;
  DDBlt(target, x, y, kBarLength, kBarThickness, sheet, column, r, 1);
  const int length = std::clamp(gauge.nLength, 0, kBarLength);
  const int fillRow = g_SystemData.IsGaugeLow(entry, value, max) ? r + 2 * g : r + g;
  if (length > 0) DDBlt(target, x, y, length, kBarThickness, sheet, column, fillRow, 1);
  const int moving = TruncToInt(gauge.dChange);
  if (moving > 0) {
    const int gain = std::min(moving, length);
    DDBlt(target, x + length - gain, y, gain, kBarThickness, sheet, column + length - gain, r + 4 * g, 1);
  } else if (moving < 0) {
    const int loss = std::min(-moving, kBarLength - length);
    if (loss > 0) DDBlt(target, x + length, y, loss, kBarThickness, sheet, column + length, r + 3 * g, 1);
  }
  --gauge.nShowTimer;
  if (gauge.nShowTimer < kMovingFrames) {
    gauge.dChange = 0.0;
  } else {
    gauge.dChange -= gauge.dChangeStep;
  }
}

}  // namespace

void cCharaBase::DrawHpGauge(DDSURFACEDATA* target) {
  DrawGauge(*this, m_HpGauge, target, kEntryHp, m_nHp, m_Type.m_nMaxHp, 3, 0);
}

void cCharaBase::DrawSpGauge(DDSURFACEDATA* target) {
  DrawGauge(*this, m_SpGauge, target, kEntrySp, m_nSp, m_Type.m_nMaxSp, 7, 64);
}
