#pragma once
// A character against the blocks of the map after each of its moves: the four edge tests snap it
// out of a solid cell, set its contacts, fire the block flows, land it on a floor or stop it under a
// ceiling, or report a fatal contact; the combined tests run them in the order the play loop asks
// for. Each test answers 0, or kContactFatal when the character dies (a deadly block touched by a
// player-operated character, any block touched by one that flies and dies on blocks). A character
// flying through blocks passes every test with 0.
class cCharaBase;

constexpr int kContactFatal = 2;
// The step of settling out of blocks after a snap or a push.
constexpr double kSettleStep = 0.1;

// The left (right) edge line: a solid cell snaps the character right (left) out of it.
int TestBlockLeft(cCharaBase& chara);
int TestBlockRight(cCharaBase& chara);
// The top edge line: a solid cell stops the character under it.
int TestBlockTop(cCharaBase& chara);
// The bottom edge line: a solid cell lands the character on it; none counts a sub-step in the air.
int TestBlockBottom(cCharaBase& chara);

// Right then left while moving right (always for a colliding flyer), else left then right.
int TestBlocksX(cCharaBase& chara);
// Right then left.
int TestBlocksXRightFirst(cCharaBase& chara);
// Clears the floor block, then bottom and top, bottom first while falling (always for a colliding
// flyer).
int TestBlocksY(cCharaBase& chara);
// The bottom line without counting air time, then the top line.
int TestBlocksBottomTop(cCharaBase& chara);

// Moves the character by (stepX, stepY) while one of its recorded corner cells is solid for it, at
// most 15 times, each move followed by its after-move hook. The first check sees the cells
// recorded before any move that preceded the call.
void SettleOutOfBlocks(cCharaBase& chara, double stepX, double stepY);
