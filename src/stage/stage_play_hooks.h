#pragma once
// What stage play's frame asks of the replay code, which installs it at start-up: player 0's input
// of a play frame from the replay log (playback) or into it (a recording live play), the replay keys,
// and a look at each play frame once its logic has run (the trace of --trace). Without them a play
// frame takes live input, records nothing and is not watched.
#include <cstdint>
#include <vector>

class cInputState;

struct cStagePlayHooks {
  // Playback: fills the direction and button words of a frame from g_InputLog; false once the log
  // has ended.
  bool (*playInputFrame)(cInputState& input) = nullptr;
  // A live play that records replays: appends the frame's words to g_InputLog.
  void (*recordInputFrame)(const cInputState& input) = nullptr;
  // F1 / F2: saves a replay; 1 when a key was handled (the frame then does nothing more).
  int (*checkReplayKeys)() = nullptr;
  // After each play frame's logic, before its drawing: frame is the play phase's frame count (1 for
  // the first frame after set-up). Also called for a frame the logic ended early.
  void (*afterFrameLogic)(int32_t frame) = nullptr;
};
// Installs the hooks; returns the ones they replace.
cStagePlayHooks SetStagePlayHooks(const cStagePlayHooks& hooks);
const cStagePlayHooks& StagePlayHooks();
// F1 / F2 through the installed hooks: true when a key was handled (the frame does nothing more).
bool ReplayKeysHandled();

// n logic sub-steps and k shot-hit checks per frame: the sub-steps that run the shot-hit pass.
std::vector<int32_t> SubStepFlags(int n, int k);
