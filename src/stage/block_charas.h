#pragma once
// Block characters as obstacles: which characters count as one for another character, the overlap
// arithmetic the push-out decides by, and the queries of riding, embedding and placing.
//
// A block character counts for a character (is a candidate) when its block-character flag is set,
// it is present (its appearance conditions hold), it is not dead and its object number differs from
// the character's. Rectangles are the characters' x, y, x2, y2 with inclusive edges.
#include <list>

#include "core/numbers.h"

class cChara;
class cCharaBase;
class cObject;

// Overlap widths of a against b: both 0 when they do not overlap (touching edges overlap), else the
// width and height of the shared part counted inclusively (from the edge of the later-starting one).
struct cOverlapWidths {
  double dX = 0.0;
  double dY = 0.0;
};
cOverlapWidths OverlapWidthsOf(const cDblRect& a, const cDblRect& b);

// x, y, x2, y2 of an object.
cDblRect RectOf(const cObject& object);
// q is a block character that counts for the object number ownNumber.
bool IsBlockCharaFor(const cChara& q, int ownNumber);
// The first character of the list with the object number, else none.
cChara* FindCharaByNumber(std::list<cChara>& list, int number);

// The character's rectangle overlaps a block character of the list.
bool OverlapsBlockChara(const cCharaBase& chara, std::list<cChara>& list);
// A rectangle of the character ownNumber overlaps a block character other than exceptNumber.
bool OverlapsBlockCharaExcept(const cDblRect& rect, int ownNumber, int exceptNumber, std::list<cChara>& list);
// The ridden block character still lies in the 5-dot strip under the character's feet.
bool IsStillOnRiddenChara(const cCharaBase& chara, std::list<cChara>& list);
// The first block character in that strip, or none.
cChara* FindBlockCharaUnderFeet(const cCharaBase& chara, std::list<cChara>& list);
// Each of the four corner points (the bottom ones a dot above the bottom edge, the right ones a dot
// inside the right edge unless the legacy contact rule holds) lies inside some block character,
// at the character's rectangle now or at the rectangle the push-out started from.
bool IsEmbeddedInBlockCharas(const cCharaBase& chara, const cDblRect& start, std::list<cChara>& list);

// The place test of summons and warps: the character's place is taken when one of its recorded
// corner cells has any contact for it, or a block character overlaps it. A character flying
// through blocks never finds its place taken.
bool IsCharaPlaceTaken(cCharaBase& chara);
