#pragma once
// Running a character's flows: installing them (with the repeat expansion), starting them by
// trigger after their conditions and key sequence hold, stepping their commands frame by frame,
// stopping, suspending and halting them, preparing and dispatching a command's body through the
// command tables, and the pre-roll of command animations. While flows run, the stage publishes the
// current object, flow state, flow variables and command state (cStageState); a nested run keeps
// it with cFlowContextScope (objects/flow_context.h).
#include <cstdint>
#include <vector>

#include "data/flow.h"
#include "objects/flow_state.h"

class cCharaBase;
class cInputState;

// Commands one flow may hold once its repeats are expanded; a repeat that would go beyond makes
// fewer copies.
constexpr int kMaxFlowCmds = 8192;

// Installs flows on a character: append 0 replaces its flow states (the flows are its own flow
// vector), append 1 inserts the flows before position at (or appends them). The number of flows.
int InstallFlows(cCharaBase& chara, const std::vector<cFlow>& flows, int append, int at);
// ExpandOneRepeat until none is left.
void ExpandRepeats(std::vector<cFlowCmd>& cmds);
// Expands the first repeat ("ループ") command of the list; 1 when one was expanded.
int ExpandOneRepeat(std::vector<cFlowCmd>& cmds);
// Stops, removes the overlays of and erases flow state i and flow i, then rebinds.
void RemoveFlowState(cCharaBase& chara, int i);
// Removes every flow of id g (g = 0: every flow); the first removed index, or -1.
int RemoveFlowsByGroup(cCharaBase& chara, int group);
// While the character's flows are being triggered or stepped, RemoveFlowState and
// RemoveFlowsByGroup stop the states and flag them, and InstallFlows keeps the flows aside. At the end
// of its frame step the kept flows are installed and the flagged states removed.
void RemoveFlaggedFlows(cCharaBase& chara);
// The end of the frame step: every id whose release byte is set is free again.
void ReleaseFlowIds(cCharaBase& chara);
// Clears the tried and started flags of every state and the character's started-this-frame bytes.
void ResetFlowFrameFlags(cCharaBase& chara);
// TriggerFlowsWith(chara, trigger, no partner, group 0).
void TriggerFlows(cCharaBase& chara, int trigger);
// Starts every idle flow of the trigger (and group when g >= 1) whose conditions and key sequence
// hold; a partner goes into the target slot the flow asks for.
void TriggerFlowsWith(cCharaBase& chara, int trigger, cCharaBase* partner, int group);
// The key-input test of a flow state (repeat and latch rules).
bool CheckKeySteps(cCharaBase& chara, cFlowState& state);
// The key sequence against the player's hero's input history, walked from the last step back.
bool MatchKeySteps(cCharaBase& chara, cFlowState& state);
// The step's listed keys are in their asked state right now (newest run of each key log).
bool KeyStepHeldNow(const cInputState& input, const cKeyCond& step);
// Index of the first of the 10 direction keys pressed now, else 0.
int FirstDirKeyDown(const cInputState& input);
// Starts a flow (a trigger-25 flow runs its run-on commands of kind 16 and above at once).
void StartFlow(cFlowState& state);
// One step of a running flow; 1 when its last command is done.
int StepFlow(cFlowState& state);
void StopFlow(cFlowState& state, cCharaBase& chara);
void SuspendFlow(cFlowState& state);
void ResumeFlow(cFlowState& state);
// Halted: neither stepped nor started until reset; a running flow releases its id as StopFlow does.
void HaltFlow(cFlowState& state, cCharaBase& chara);
// remaining = duration, working values 0, variable parameters applied (not for kind 38).
void PrepareCmd(cCmdState& state);
// Publishes the state, dispatches its body, counts down; 1 when done.
int RunCmd(cCmdState& state);
// Calls the character command table's entry of the command's kind.
void DispatchCmd(cCharaBase& chara, cCmdState& state);
// Starts the overlay animations whose pre-roll start is the state's sub-steps-run value.
void StartPreRollAnimations(cCharaBase& chara);
// Builds a flow state's pre-roll list.
void BuildPreRoll(cCharaBase& chara, cFlowState& state);
// Per-kind initialisers at install time.
void InitCmdStateOfKind(cCmdState& state, cCharaBase& chara);
// Speed from a distance, or duration from a speed (M23 1 / 2) of the movement commands.
void SpeedFromDistance(cCmdState& state, int clone);
