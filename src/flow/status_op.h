#pragma once
// The status operation ("ステータスの操作", character kind 22, item kind 7): computes a value (constant,
// random, status, variable, flow variable) and combines it into a character's status, a stage
// value, a variable or a flow variable with one of seven operations and the destination's clamp;
// and the writing of a character's position through a warp.
#include <cstdint>

#include "data/flow_cmd.h"

class cCharaBase;

// The body: the command's 25 parameters, the running flow's variables (or none).
int StatusOperation(cCharaBase& actor, cFlowCmd& cmd, int32_t* flowVars);
// When P24 is set: A := 2 and B := 0.
void StoreStatusFailure(const cFlowCmd& cmd, int32_t* flowVars);
// Moves a character's centre to a value (clamped to +-16384) of system 0 relative, 1 absolute, 2
// screen, as a warp on that axis; false when the place is blocked.
bool SetCharaX(int32_t value, cCharaBase& chara, int system);
bool SetCharaY(int32_t value, cCharaBase& chara, int system, int reference);
