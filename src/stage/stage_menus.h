#pragma once
// The small menus and displays drawn over the frozen stage: the pause menu, the stage-end display
// with its ranking hint and play totals, the continue menu after a miss, and game over (the phase
// handlers are cSceneStage's, in stage_menus.cpp). What they ask of the stage end's results, the
// rankings and the replay list comes through cStageMenuHooks, which those parts install.
#include <cstdint>
#include <vector>

#include "data/system_data.h"

class cSceneStage;
struct DDSURFACEDATA;

// Entries of the pause menu, in the order of the project's system texts 19-25.
enum ePauseCmd : int {
  kPauseEnd = 0,
  kPauseContinue = 1,
  kPauseRetry = 2,
  kPauseWorldMap = 3,
  kPauseNextReplay = 4,
  kPausePrevReplay = 5,
  kPauseReplayList = 6,
  kPauseCmdCount = 7,
};

// Where the pause and continue menus stand: centred on x, their top at y.
constexpr int kStageMenuCentreX = 320;
constexpr int kStageMenuY = 272;
// The stage-end counter: it grows by 4 a frame; the clear word splits in until 100, the display
// may be left from 200 on, when the totals show.
constexpr int kStageEndSplitEnd = 100;
constexpr int kStageEndReady = 200;

struct cStageMenuHooks {
  // The stage-clear processing as the stage ends (totals, extra lives, the ranking places reached).
  // Without it the play marks its replay as cleared when the clear counts, and reaches no ranking
  // place.
  void (*finishStage)(cSceneStage& scene) = nullptr;
  // Enters the finished play in the rankings (name entry, then the table shown). Without it nothing
  // is entered.
  void (*registerRanking)(cSceneStage& scene) = nullptr;
  // The scene that follows a cleared stage (0 title, 1 world map, 3 stage select, 6 the stage scene
  // again, with the next stage loaded in place). Without it the scene the stage was started from,
  // the title when the stage scene followed itself.
  int (*decideNextScene)(cSceneStage& scene) = nullptr;
  // Replay playback moves to the replay before (-1) or after (+1) this one in the replay list.
  // Without it the same replay plays again, its progress put back whole.
  void (*stepToAdjacentReplay)(int explicitStep, int step) = nullptr;
  // Whether the replay list holds any replay. Without it the list is empty.
  bool (*replayListFilled)() = nullptr;
  // The play-totals panel at (x, y) with the ranking places reached (-1 none). Without it nothing is
  // drawn.
  void (*drawPlayTotals)(DDSURFACEDATA* surface, int x, int y, const std::vector<int32_t>& places) = nullptr;
};
// Installs the hooks; returns the ones they replace.
cStageMenuHooks SetStageMenuHooks(const cStageMenuHooks& hooks);
const cStageMenuHooks& StageMenuHooks();

// The end of a replay in playback (its log, or the hero's defeat display, has ended): the play moves
// to the adjacent replay by the playback-order option, through the hook (without it the same replay
// plays again, its progress put back whole). The caller then sets the stage up again.
void StepToNextReplay();

// The pause menu's seven entries, captions from the project's system texts 19-25, enabled as the
// game kind (g_ModeIndex) allows: a story play offers the retry and the world map only in a world
// already cleared and when the project enables them, a challenge play the retry only in a challenge
// stage already cleared, replay playback the replay entries only while the replay list has replays.
void BuildPauseCmds(std::vector<cCmd>& cmds);
