#pragma once
// The frame entries of a sword type as a swing reads them. An entry's ten values are, in order:
// x and y offset (dots at scale 1), the two offset mirror flags (an offset with its flag set is
// subtracted while the owner faces right; the x flag came later and starts at 1 in older files),
// the placement around the owner (0 in front, 1 behind, 2 above, 3 below), the swing's width and
// height, the cell's left and top in the sword picture, and the duration in tenths of a second.
#include "data/database_records.h"

// Placements of a swing around its owner's graphic box.
enum : int {
  kSwordFront = 0,
  kSwordBehind = 1,
  kSwordAbove = 2,
  kSwordBelow = 3,
};

inline int SwordEntryOffsetX(const cSwordEntry& e) { return e.m_nValue1; }
inline int SwordEntryOffsetY(const cSwordEntry& e) { return e.m_nValue2; }
inline int SwordEntryMirrorX(const cSwordEntry& e) { return e.m_nValue3; }
inline int SwordEntryMirrorY(const cSwordEntry& e) { return e.m_nValue4; }
inline int SwordEntryPlacement(const cSwordEntry& e) { return e.m_nValue5; }
inline int SwordEntryWidth(const cSwordEntry& e) { return e.m_nValue6; }
inline int SwordEntryHeight(const cSwordEntry& e) { return e.m_nValue7; }
inline int SwordEntryCellX(const cSwordEntry& e) { return e.m_nValue8; }
inline int SwordEntryCellY(const cSwordEntry& e) { return e.m_nValue9; }
inline int SwordEntryDuration(const cSwordEntry& e) { return e.m_nValue10; }

// The sword type of a database row, or null (reported) when the row does not exist.
const cSwordTypeData* SwordTypeOf(int swordType);
// Entry `frame` of a sword type, or null when the type or the entry does not exist (a type without
// entries is reported).
const cSwordEntry* SwordEntryOf(int swordType, int frame);
