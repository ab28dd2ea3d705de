#pragma once
// The stage's modal waits: a flow command that waits (game wait, a waiting message or choice, an
// effect or picture wait) arms the stage's cGameWait and blocks while thPause runs a nested frame
// loop (pacing, input, drawing, presenting) until the wait is over; the ranking table after a
// ranking registration is shown the same way on thRanking. The game thread is blocked in Join the
// whole time, so exactly one thread runs game frames; objects, timers and flows stand still while
// message windows, pictures and screen effects go on through drawing.
#include <cstdint>
#include <vector>

class cFlowStage;
struct cChoiceEntry;

// What the nested loops ask of the stage-play scene and of the menus, installed by them. Without a
// hook its part is left out (nothing drawn, no replay keys, one ranking kind).
struct cModalWaitHooks {
  // Draws one frame of the stage outside play, with captions (drawing may remove what has finished:
  // stage/deferred_removals.h). The frame is presented afterwards by the loop.
  void (*drawWaitFrame)() = nullptr;
  // The replay-save keys: true when one was handled this frame (the frame then draws nothing).
  bool (*checkReplayKeys)() = nullptr;
  // A press of button 1 ended a key wait: the scene holds the buttons so that the press does not act
  // again in the next play frame.
  void (*holdButtons)() = nullptr;
  // The ranking display: step the shown ranking kind (0 the first enabled for the mode, 1 the next,
  // wrapping), the number of kinds enabled for the mode, and drawing the shown kind's table.
  void (*stepRankingKind)(int step) = nullptr;
  int (*rankingKindCount)() = nullptr;
  void (*drawRanking)() = nullptr;
};
// Installs the hooks; returns the ones they replace.
cModalWaitHooks SetModalWaitHooks(const cModalWaitHooks& hooks);

// System sounds of the waits.
constexpr int kSoundWaitDecide = 1;
constexpr int kSoundRankingKind = 6;
constexpr int kSoundMessageEnds = 12;
// Thread message the message command posts to the wait loop once it runs (the loop drops it).
constexpr uint32_t kMsgWaitStart = 0x8000;

// Arms the published stage's wait record (kind 0 timer, 1 message, 2 effect, 3 picture).
void SetupStageGameWait(int kind, int waitKey, int frames, int noDelay, const std::vector<cChoiceEntry>* choices);
// Runs the published stage's wait on thPause and returns when it has ended: 0 when the stage is being
// closed (its abort flag), else 1.
int RunStageModalWait(int postStart);
// The nested loop of thPause over the stage's wait record: 0 at once when the abort flag was already
// set, else 1 when the wait has ended or the thread was told to quit.
int PauseThreadProc(cFlowStage& stage);
// Sets the published stage's abort flag (the window closes while a wait runs); thread-safe.
void AbortStageWait();
// Whether the stage's abort flag is set, read as the other threads write it.
bool StageWaitAborted(const cFlowStage& stage);

// Shows the ranking table on thRanking until button 1; returns 1.
int RunRankingDisplay();
int RankingThreadProc();

// Installs the waits into the stage services (setupGameWait, runModalWait) and the main window
// (abortStageWait), keeping every other hook as it is.
void InstallModalWaits();
