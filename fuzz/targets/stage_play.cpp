// Stage files and replays played headless: stage play as a test play runs it, without a window, a
// sound device or real time, on a fresh run for every input.
#include "targets/stage_play.h"

#include <memory>

#include "core/log.h"
#include "data/block_type.h"
#include "data/game_data.h"
#include "media/graphics/display.h"
#include "media/graphics/surface_table.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"
#include "platform/message_box.h"
#include "shell/input_state.h"
#include "stage/install_stage_play.h"
#include "stage/scene_stage.h"

namespace {

// The hero's input of play frame n: walking right and left, jumping and shooting in turn, so that
// movement, contacts, shots and the flows they trigger are reached.
void SetInput(cInputState& input, int frame) {
  static constexpr uint16_t kDirs[] = {kDirRight, kDirRight | kDirUp, 0, kDirLeft, kDirDown, kDirRight};
  static constexpr uint16_t kButtons[] = {0, 1, 2, 0, 4, 1 | 2};
  input.m_wDir = kDirs[frame % 6];
  input.m_wButton = kButtons[(frame / 2) % 6];
}

// A modal wait (a message, a wait command, a picture or effect wait) ends at once, as if the player
// answered it: the nested loop of the wait would wait for a key that never comes.
int EndWaitAtOnce(int /*postStart*/) { return 1; }

// The run's state renewed: the stage objects and the game data below them, no fatal stop.
void RenewRun() {
  g_bQuit = 0;
  g_PlayObjects.Reset();
  g_InputStates.assign(1, cInputState());
}
}  // namespace

cStagePlayRun::cStagePlayRun() {
  static const bool installed = [] {
    // Every message box is answered at once (errors are the normal outcome of a broken file).
    SetMessageBoxHandler([](const char*, const char*, unsigned) { return 1; });
    // A display, so that the stage's fills and texts reach a back buffer (its pictures are not
    // there: no picture file is). A device resource, not per-run state: made once.
    DDInit(0, nullptr, 640, 480, 16, 1, 1, 1, 60, 0, g_SurfaceData, g_SurfaceInfo, kSurfaceTableSize, 0);
    InstallStagePlay();
    cStageHooks hooks = SetStageHooks(cStageHooks());
    hooks.runModalWait = EndWaitAtOnce;
    SetStageHooks(hooks);
    RenewRun();
    return true;
  }();
  (void)installed;
}

cStagePlayRun::~cStagePlayRun() { RenewRun(); }

bool WorthPlaying() {
  // The block table's cells: rows of a power of two at least the columns with their margins.
  int64_t stride = 1;
  while (stride < int64_t{g_StageFile.m_nWidth} + 20) stride <<= 1;
  const int64_t cells = stride * (int64_t{g_StageFile.m_nHeight} + 20);
  // Set-up refuses a table beyond 1 GiB at once; one just below takes a second to fill.
  constexpr int64_t kPlayedCells = int64_t{1} << 18;
  const int64_t refusedCells = (int64_t{1} << 30) / static_cast<int64_t>(sizeof(cBlock));
  return cells <= kPlayedCells || cells > refusedCells;
}

void PlayFrames(int frames) {
  auto scene = std::make_unique<cSceneStage>();
  scene->SetupStage(0, 1);
  scene->m_nPhase = kStagePhasePlay;
  cInputState& input = g_InputStates[0];
  for (int frame = 0; frame < frames && !g_bQuit; ++frame) {
    SetInput(input, frame);
    scene->Step();
  }
}
