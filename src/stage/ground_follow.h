#pragma once
// Keeping a walking character on the ground after its floor's effect ends.
class cCharaBase;

// Before a grounded character's move: gives it a little fall speed so that it stays in contact
// with descending ground. The probe form sets 7/n dots per sub-step when the ground lies within 4
// dots below its feet at the place of its pending horizontal move; the simple form adds one dot.
void StickToGround(cCharaBase& chara);
