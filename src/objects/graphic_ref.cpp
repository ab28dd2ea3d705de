// The 16 x 16 picture of a graphic reference (the icons of items and messages), and the character
// search by object number.
#include <vector>

#include "data/database.h"
#include "media/graphics/blit.h"
#include "media/graphics/surface_table.h"
#include "objects/cell_math.h"
#include "objects/chara.h"
#include "objects/draw_modes.h"
#include "objects/draw_report.h"
#include "objects/graphic_source.h"
#include "objects/hero.h"
#include "objects/play_objects.h"

namespace {

constexpr int kRefSize = 16;
constexpr int kCell = 32;

// A cell of a sheet shrunk to the reference's size, with the colour key.
void DrawShrunk(DDSURFACEDATA* target, int x, int y, DDSURFACEDATA* sheet, int sx, int sy, int size) {
  DDBltStretch(target, x, y, kRefSize, kRefSize, sheet, sx, sy, size, size, 1);
}

// A dedicated bitmap's picture: with a cell size of its own (m blocks), 16 / m cells to a row of
// 32m-dot cells; otherwise 16 cells of 32 dots to a row.
void DrawCharaExcRef(DDSURFACEDATA* target, int x, int y, int number, int pattern) {
  const std::vector<cBmpCharaExcData>& list = g_Database.m_aBmpCharaExc;
  const GRAPHICSOURCE source = GetGraphicSource(kGraphicForPlain, kGraphicKindCharaExc, number, 0, nullptr, 0);
  if (number < 1 || number >= static_cast<int>(list.size()) || !source.lpSD) {
    ReportDrawProblem("err V[%d] ( %d , %d )", number, static_cast<int>(list.size()),
                      static_cast<int>(sizeof(cBmpCharaExcData)));
    return;
  }
  const cBmpCharaExcData& entry = list[static_cast<size_t>(number)];
  if (entry.m_bCellSize) {
    // A cell multiplier or a count of cells per row of 0 (broken data) leaves the values unchanged.
    const int64_t m = entry.m_nCellUnits;
    const int64_t perRow = DivOrKeep(16, m);
    const int64_t cell = kCell * m;
    DrawShrunk(target, x, y, source.lpSD, SaturateToInt(ModOrKeep(pattern, perRow) * cell),
               SaturateToInt(DivOrKeep(pattern, perRow) * cell), SaturateToInt(cell));
  } else {
    DrawShrunk(target, x, y, source.lpSD, (pattern & 15) * kCell, (pattern & ~15) * 2, kCell);
  }
}

}  // namespace

void DrawGraphicRef(DDSURFACEDATA* target, int x, int y, int kind, int number, int pattern) {
  switch (kind) {
    case 0: {
      // The item sheet: item n in column n / 15 (64 dots, two frames), row n % 15.
      const GRAPHICSOURCE s = GetGraphicSource(kGraphicForPlain, kGraphicKindItem, number, 0, nullptr, 0);
      if (s.lpSD) DrawShrunk(target, x, y, s.lpSD, s.nSrcX, s.nSrcY, kCell);
      break;
    }
    case 1: {
      // Character n of sheet n / 15 in its row n % 15, the pattern across.
      const GRAPHICSOURCE s = GetGraphicSource(kGraphicForPlain, kGraphicKindChara, number, 0, nullptr, pattern);
      if (s.lpSD) DrawShrunk(target, x, y, s.lpSD, s.nSrcX, s.nSrcY, kCell);
      break;
    }
    case 2:
      // The small-picture sheet at its own size: 15 to a column of 32 dots.
      if (number < 0) {
        ReportDrawProblem("err GraphicRef[%d] ( %d )", number, kind);
        break;
      }
      DDBlt(target, x, y, kRefSize, kRefSize, &g_SurfaceData[kSlotMiniItemSheet], number / 15 * kCell,
            number % 15 * kRefSize, 1);
      break;
    case 3: {
      // The shot cell sheets: 30 to a column of 64 dots.
      const GRAPHICSOURCE s = GetGraphicSource(kGraphicForPlain, kGraphicKindShot, number, 0, nullptr, 0);
      if (s.lpSD) DrawShrunk(target, x, y, s.lpSD, s.nSrcX, s.nSrcY, kCell);
      break;
    }
    case 4: DrawCharaExcRef(target, x, y, number, pattern); break;
    default: break;
  }
}

cCharaBase* FindCharaById(int id) {
  for (cHero& hero : g_HeroList)
    if (hero.m_nNumber == id) return &hero;
  for (cChara& chara : g_CharaList)
    if (chara.m_nNumber == id) return &chara;
  return nullptr;
}
