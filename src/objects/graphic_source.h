#pragma once
// Graphic references (a kind, a number and a sub-number) turned into the surfaces and the source
// cell to draw them from, and the icon sheets chosen for the drawing mode at stage load.
//
// Every sheet of the game's surface table is present as a pair: the sheet as drawn and its
// mirrored form for objects facing right. The character and shot sheets also have system-memory
// copies 18 slots after them (`g_bMirrorTwins`); in Direct3D mode those copies, like the block and
// item copies, are aliases that draw from the original texture (mirrored through the alias's own
// mirror width). A look-up therefore yields two pairs, one per drawing back end, and picks one at
// the end: the copy pair with Direct3D and mirrored copies kept, the pair as loaded otherwise.
#include "core/containers.h"
#include "media/graphics/blit.h"
#include "media/graphics/surface_data.h"

// Who asks for a graphic.
constexpr int kGraphicForPlain = 0;       // a block cell: no facing, no frame
constexpr int kGraphicForChara = 1;       // a character: its facing picks the mirrored sheet
constexpr int kGraphicForBlockChara = 2;  // a block character or an item: frames step down the item sheet

// Graphic kinds, in the order of the editor's list.
// The sheets stand their cells in columns: graphic n of a sheet of 15 to a column is in column n / 15
// and row n % 15.
constexpr int kGraphicKindBlock = 0;     // the block sheet: 32-dot cells, 15 to a column
constexpr int kGraphicKindChara = 1;     // the character sheets: 15 characters down, their patterns across
constexpr int kGraphicKindItem = 2;      // the item sheet: 15 to a column of 64 dots, two 32-dot frames across
constexpr int kGraphicKindShot = 3;      // the shot cell sheets: 30 graphics per column of 64 dots
constexpr int kGraphicKindCharaExc = 4;  // a dedicated bitmap of the character-graphics database

// Slots of the game's surface table that the look-up draws from.
constexpr int kSlotBlockSheet = 2;
constexpr int kSlotBlockCopy = 3;
constexpr int kSlotCharaSheet = 4;  // sheet s at 4 + 2s, its mirrored form at 5 + 2s
constexpr int kCharaSheetCount = 8;
constexpr int kSlotShotSheet = 20;
constexpr int kSlotTwinOffset = 18;  // the system-memory copies of slots 4-21
constexpr int kSlotItemSheet = 40;
constexpr int kSlotItemCopy = 41;
constexpr int kSlotMiniItemSheet = 42;  // the small pictures: 16 x 16, 15 to a 32-dot column
constexpr int kSlotGaugeSheet = 50;     // the system sheet with the life and special-point gauges
constexpr int kSlotIconSheet = 43;
constexpr int kSlotIconCopy = 44;
constexpr int kSlotShotCells = 64;  // 256 x 960, built from the shot sheet at stage start
constexpr int kSlotShotCellsMirrored = 65;

// Character patterns from this one on (32 dots each, 640 dots from the sheet's left) are drawn from
// the second set of sheets (the copies).
constexpr int kCharaPatternsFirstSet = 20;

// What the look-up needs of the object a graphic is drawn for. Characters fill it from their own
// facing; a null owner draws the sheet as loaded.
struct GRAPHICOWNER {
  int nFacing = 0;  // 0 left, 1 right (right draws the mirrored sheet)
};

struct GRAPHICSOURCE {
  // {as loaded, mirrored} for Direct3D with mirrored copies kept, then for every other case.
  DDSURFACEDATA* lpDirect3D[2] = {nullptr, nullptr};
  DDSURFACEDATA* lpDirectDraw[2] = {nullptr, nullptr};
  int nSrcX = 0;  // top-left of the cell in the sheet
  int nSrcY = 0;
  int bOwnCellSize = 0;               // kind 4: the bitmap's cells are larger than 32 dots
  int nCellUnits = 1;                 // the cell's width in blocks (the scale the graphic was made for)
  DDSURFACEDATA* lpSD = nullptr;      // the surface to draw from: back end and facing applied
  DDSURFACEDATA* lpSDBack = nullptr;  // the same pair's other face (the back of a turning effect)
  // Filled by the character drawing: draw with this {vertex colour, colour operation} pair.
  int bUseBlend = 0;
  DDALPHA blend{0, 0};
};

// Resolves a graphic reference. `frame` adds 32-dot patterns to a character-sheet cell, and to an
// item-sheet cell for block characters and items. A character-sheet cell outside its sheet, or on
// a sheet that is not loaded, becomes the first sheet's first cell. An unknown kind, a negative number or a
// database entry that does not exist gives null surfaces (nothing is drawn).
GRAPHICSOURCE GetGraphicSource(int context, int kind, int number, int subNumber, const GRAPHICOWNER* owner, int frame);

// What the look-up asks of stage play, which installs it at start-up (before the game thread runs).
struct cGraphicSourceHooks {
  // The dedicated bitmaps' surfaces are loaded by the stage, four per database entry (plain,
  // mirrored, plain copy, mirrored copy): surface `which` (0-3) of entry `entry`, or null when the
  // entry has none. Without the hook kind 4 draws nothing.
  DDSURFACEDATA* (*charaExcSurface)(int entry, int which) = nullptr;
};
// Installs the hooks; returns the ones they replace.
cGraphicSourceHooks SetGraphicSourceHooks(const cGraphicSourceHooks& hooks);

// The project's fixed layout of dedicated bitmaps: 16 cells of 32 dots per row whatever the
// bitmap's width (cells of n blocks: 16 / n per row). Off: as many cells per row as the width holds.
extern int g_bCharaExcFixedLayout;

// The icon sheets that item and block icons are drawn from (icon i at column i / 15, row i % 15).
extern DDSURFACEDATA* g_lpItemIconSD;
extern DDSURFACEDATA* g_lpBlockIconSD;
// Picks the icon sheets for the drawing mode: the copy with Direct3D and mirrored copies kept,
// the sheet as loaded otherwise. Called at stage load.
void SelectIconSurfaces();

// Two {object, slot} pairs are equal when both members are (the link lists of characters).
bool PairEquals(const cIntPair& a, const cIntPair& b);
