// Graphic references to surfaces and source cells; icon sheets by drawing mode.
#include "objects/graphic_source.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "data/database.h"
#include "media/graphics/display.h"
#include "media/graphics/surface_table.h"
#include "objects/cell_math.h"

int g_bCharaExcFixedLayout = 0;
DDSURFACEDATA* g_lpItemIconSD = &g_SurfaceData[kSlotIconSheet];
DDSURFACEDATA* g_lpBlockIconSD = &g_SurfaceData[kSlotIconSheet];

namespace {

constexpr int kCell = 32;

cGraphicSourceHooks g_graphicSourceHooks;

bool HoldsImage(const DDSURFACEDATA* sd) { return sd && (sd->lpDT || sd->lpDD) && sd->nWidth > 0; }

// Direct3D with mirrored copies kept draws from the copy pairs.
bool UsesCopies() { return lpDTCon != nullptr && g_bMirrorTwins != 0; }

DDSURFACEDATA* Slot(int slot) { return &g_SurfaceData[slot]; }

// The copy of a slot when it holds an image, else the slot itself.
DDSURFACEDATA* CopyOr(int slot, int copySlot) {
  DDSURFACEDATA* copy = Slot(copySlot);
  return HoldsImage(copy) ? copy : Slot(slot);
}

void SetPairs(GRAPHICSOURCE& gs, DDSURFACEDATA* d3dNormal, DDSURFACEDATA* d3dMirrored, DDSURFACEDATA* ddNormal,
              DDSURFACEDATA* ddMirrored) {
  gs.lpDirect3D[0] = d3dNormal;
  gs.lpDirect3D[1] = d3dMirrored;
  gs.lpDirectDraw[0] = ddNormal;
  gs.lpDirectDraw[1] = ddMirrored;
}

// A sheet with a mirrored form and copies 18 slots after (character and shot sheets). The second
// set draws from the copies in every mode.
void SetTwinnedSheet(GRAPHICSOURCE& gs, int slot, bool secondSet) {
  const bool twins = g_bMirrorTwins != 0;
  DDSURFACEDATA* plain = Slot(slot);
  DDSURFACEDATA* mirrored = Slot(slot + 1);
  DDSURFACEDATA* copyPlain = twins ? CopyOr(slot, slot + kSlotTwinOffset) : plain;
  DDSURFACEDATA* copyMirrored = twins ? CopyOr(slot + 1, slot + 1 + kSlotTwinOffset) : mirrored;
  if (secondSet) {
    SetPairs(gs, copyPlain, copyMirrored, copyPlain, copyMirrored);
  } else {
    SetPairs(gs, copyPlain, copyMirrored, plain, mirrored);
  }
}

// A sheet that never turns (blocks, items): both faces are the same surface.
void SetUnturnedSheet(GRAPHICSOURCE& gs, int slot, int copySlot) {
  DDSURFACEDATA* copy = CopyOr(slot, copySlot);
  SetPairs(gs, copy, copy, Slot(slot), Slot(slot));
}

DDSURFACEDATA* const* UsedPair(const GRAPHICSOURCE& gs) { return UsesCopies() ? gs.lpDirect3D : gs.lpDirectDraw; }

bool CellInside(const DDSURFACEDATA* sd, int x, int y) {
  return HoldsImage(sd) && x >= 0 && y >= 0 && x <= sd->nWidth - kCell && y <= sd->nHeight - kCell;
}

void CharaSheetCell(GRAPHICSOURCE& gs, int number, int subNumber, int frame) {
  const int sheet = number / 15;
  const int64_t pattern = int64_t{subNumber} + frame;
  if (number >= 0 && sheet < kCharaSheetCount && pattern >= 0 && pattern * kCell <= INT32_MAX) {
    SetTwinnedSheet(gs, kSlotCharaSheet + 2 * sheet, pattern >= kCharaPatternsFirstSet);
    gs.nSrcX = static_cast<int>(pattern) * kCell;
    gs.nSrcY = (number % 15) * kCell;
    if (CellInside(UsedPair(gs)[0], gs.nSrcX, gs.nSrcY)) return;
  }
  // Outside its sheet (or a sheet that is not there): the first sheet's first cell.
  SetTwinnedSheet(gs, kSlotCharaSheet, false);
  gs.nSrcX = 0;
  gs.nSrcY = 0;
}

void CharaExcCell(GRAPHICSOURCE& gs, int number, int subNumber) {
  const std::vector<cBmpCharaExcData>& list = g_Database.m_aBmpCharaExc;
  // Entry 0 is never loaded.
  if (number < 1 || number >= static_cast<int>(list.size()) || subNumber < 0) return;
  const cBmpCharaExcData& entry = VecAt(list, number);
  DDSURFACEDATA* surfaces[4] = {};
  if (auto lookup = g_graphicSourceHooks.charaExcSurface) {
    for (int i = 0; i < 4; ++i) surfaces[i] = lookup(number, i);
  }
  auto copyOr = [](DDSURFACEDATA* copy, DDSURFACEDATA* original) { return HoldsImage(copy) ? copy : original; };
  SetPairs(gs, copyOr(surfaces[2], surfaces[0]), copyOr(surfaces[3], surfaces[1]), surfaces[0], surfaces[1]);

  const int64_t width = HoldsImage(surfaces[0]) ? surfaces[0]->nWidth : 0;
  if (entry.m_bCellSize) {
    // Divisions by a cell width or a count of cells that data can make 0 leave the value as it is.
    const int64_t units = entry.m_nCellUnits;
    const int64_t cell = units * kCell;
    const int64_t perRow = g_bCharaExcFixedLayout ? DivOrKeep(16, units) : DivOrKeep(width, cell);
    gs.nSrcX = SaturateToInt(ModOrKeep(subNumber, perRow) * cell);
    gs.nSrcY = SaturateToInt(DivOrKeep(subNumber, perRow) * cell);
    gs.bOwnCellSize = 1;
    gs.nCellUnits = entry.m_nCellUnits;
  } else if (g_bCharaExcFixedLayout) {
    gs.nSrcX = (subNumber & 15) * kCell;
    gs.nSrcY = (subNumber >> 4) * kCell;
  } else {
    const int64_t perRow = DivOrKeep(width, kCell);
    gs.nSrcX = SaturateToInt(ModOrKeep(subNumber, perRow) * kCell);
    gs.nSrcY = SaturateToInt(DivOrKeep(subNumber, perRow) * kCell);
  }
}

}  // namespace

GRAPHICSOURCE GetGraphicSource(int context, int kind, int number, int subNumber, const GRAPHICOWNER* owner, int frame) {
  GRAPHICSOURCE gs;
  bool turns = false;
  switch (kind) {
    case kGraphicKindBlock:
      if (number < 0) break;
      SetUnturnedSheet(gs, kSlotBlockSheet, kSlotBlockCopy);
      gs.nSrcX = (number / 15) * kCell;
      gs.nSrcY = (number % 15) * kCell;
      break;
    case kGraphicKindChara:
      CharaSheetCell(gs, number, subNumber, frame);
      turns = true;
      break;
    case kGraphicKindItem:
      if (number < 0) break;
      SetUnturnedSheet(gs, kSlotItemSheet, kSlotItemCopy);
      gs.nSrcX = SaturateToInt(int64_t{number / 15} * 2 * kCell +
                               (context == kGraphicForBlockChara ? int64_t{frame} * kCell : 0));
      gs.nSrcY = (number % 15) * kCell;
      break;
    case kGraphicKindShot:
      // Graphic g stands at (64 (g / 30), 32 (g % 30)) of the shot cell sheets, its two frames
      // side by side.
      if (number < 0) break;
      SetPairs(gs, Slot(kSlotShotCells), Slot(kSlotShotCellsMirrored), Slot(kSlotShotCells),
               Slot(kSlotShotCellsMirrored));
      gs.nSrcX = (number / 30) * 2 * kCell;
      gs.nSrcY = (number % 30) * kCell;
      turns = true;
      break;
    case kGraphicKindCharaExc:
      CharaExcCell(gs, number, subNumber);
      turns = true;
      break;
    default: break;
  }
  DDSURFACEDATA* const* pair = UsedPair(gs);
  const int face = (turns && context == kGraphicForChara && owner && owner->nFacing != 0) ? 1 : 0;
  gs.lpSD = pair[face];
  gs.lpSDBack = pair[1 - face];
  return gs;
}

cGraphicSourceHooks SetGraphicSourceHooks(const cGraphicSourceHooks& hooks) {
  return std::exchange(g_graphicSourceHooks, hooks);
}

void SelectIconSurfaces() {
  DDSURFACEDATA* icons = UsesCopies() ? CopyOr(kSlotIconSheet, kSlotIconCopy) : Slot(kSlotIconSheet);
  g_lpItemIconSD = icons;
  g_lpBlockIconSD = icons;
}

bool PairEquals(const cIntPair& a, const cIntPair& b) { return a.a == b.a && a.b == b.b; }
