#pragma once
// The shots' pass of a logic sub-step, after the characters have moved: every shot and sword swing
// steps and moves, and goes when it ends, leaves its keep area (first sub-step only) or meets a block.
class cStageState;

void StepShots(cStageState& stage, int subStep);
