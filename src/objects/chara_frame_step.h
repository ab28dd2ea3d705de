#pragma once
// What the frame steps of the hero and of the other characters share: the per-step resets, the
// running of the character's flows, the release of flow ids and removal of flagged flow states at
// the end, and the basic animation chosen from the movement.
class cCharaBase;

// Friction back on for both axes, the movement commands' speeds and animation request and the
// movement-disabled flag cleared, the crush grace counted down. True when the grace ran out in
// this step.
bool ResetStepMotion(cCharaBase& chara);

// Steps each running flow state once: a state without commands is stopped, suspended and halted
// states are skipped, and with flag 1 (the defeat's last step) only death flows run; a flow that
// reports its end is stopped. True when the step must end at once: after a flow the character was
// erased (when endWhenVanished), or, outside the defeat, a flow other than a death flow left it
// without life.
bool StepRunningFlows(cCharaBase& chara, int flag, bool endWhenVanished);

// Clears the flow context the stage published for the flows (current object, flow state, flow
// variables and the fourth slot).
void ClearStepContext();

// The end of a frame step: the flows handed over while the character's flows ran are installed,
// the flow states flagged for removal removed, and the ids that flows released in this step become
// free again.
void FinishFlowStep(cCharaBase& chara);

// A pending movement-command animation; else, while no impact pushes the character, the standing
// animation of its form (2 flying, 0 walking).
void StepBaseAnimation(cCharaBase& chara);
