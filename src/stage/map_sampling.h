#pragma once
// Reading the block map along a character's edges. The map is the stage's grid of 32-dot cells with
// a margin of 10 empty cells on every side; a map dot (x, y) lies in block-table cell
// (x >> 5) + ((y >> 5) << shift), the shift being the x axis's row shift. Coordinates outside the
// map are first clamped to its edge, so every look-up stays inside the table; cell 0 (a margin cell,
// always empty) is the answer when there is nothing to sample.
#include <cstdint>

class cCharaBase;

// The block-table cell of a map dot, clamped into the map; 0 without a stage.
int MapCellIndex(int x, int y);
// The contact kind of a cell for an object of the group (signed: 0 none, 1 solid, 2 deadly to
// player-operated characters).
int8_t CellContact(int cell, int group);
// The cell of greatest contact along a vertical (x1 = x2) or horizontal (y1 = y2) edge: scale + 1
// samples one base size apart less a dot (from y1 downward, from x1 rightward). On a vertical edge
// the first of equal samples wins, on a horizontal one the sample nearest the edge's middle. Any
// other rectangle gives 0.
int FindContactCell(const cCharaBase& chara, int x1, int y1, int x2, int y2);
// The floor cell of a player-operated character: an odd number of samples (3 for scales 1 and 2, 5
// for 3 and 4, ...) spread over the bottom edge, the last one at its right end; the middle one wins
// among equals.
int FindPlayerFloorCell(const cCharaBase& chara);
// Of the four corner cells (top-left, top-right, bottom-left, bottom-right), the first of greatest
// contact for the group; columns and rows are clamped into the map.
int FindCornerContactCell(int columnLeft, int rowTop, int columnRight, int rowBottom, int group);
