#pragma once
// Conditions of kinds 4-7 on a character: its status values, its status flags, its state flags,
// and whether another character lies within an area around it; and the display of the distance
// areas. Stage play's condition-list evaluation handles kinds 1-3 itself and calls these.
#include <cstdint>

#include "data/cond.h"

struct DDSURFACEDATA;
class cCharaBase;

// Kind 4: a status value, variable or flow variable compared with a right side (constant, random,
// status, variable, flow variable); the right value is stored into the operand.
bool CheckStatusCond(cCond& cond, cCharaBase& chara, int32_t* flowVars);
// Kind 5: a status flag (or the stage's auto-scroll speed setting).
bool CheckStatusCond2(cCharaBase& chara, cCond& cond);
// Kind 6: facing, standing, on screen, exists.
bool CheckStateCond(cCharaBase& chara, cCond& cond);
// Kind 7: the reference character within (or outside) the area of the shape around the character.
bool CheckDistanceCond(cCharaBase& chara, cCond& cond);
// Draws the areas of the displayed distance conditions of the stage's characters.
void DrawDistanceAreas(DDSURFACEDATA* target);
