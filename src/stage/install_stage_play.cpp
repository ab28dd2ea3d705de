#include "stage/install_stage_play.h"

#include "flow/install_flow_hooks.h"
#include "flow/var_params.h"
#include "media/graphics/display.h"
#include "shell/game_loop.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "shell/screen_effect.h"
#include "stage/modal_waits.h"
#include "stage/next_scene.h"
#include "stage/play_trace.h"
#include "stage/replay_play.h"
#include "stage/replay_save.h"
#include "stage/scene_stage.h"
#include "stage/screen_colour.h"
#include "stage/stage_end.h"
#include "stage/stage_play_hooks.h"
#include "stage/stage_services.h"
#include "stage/stage_start.h"

namespace {
cScene* CreateStageScene() { return new cSceneStage; }

// The direct start of the run: a replay named on the command line, else the FreeStage or test-play
// stage (none: the game starts at its title).
bool StartDirectly(const std::string& path) {
  const std::string replay = ReplayRunPlayPath();
  if (!replay.empty()) return StartReplayDirectly(replay);
  return path.empty() || StartStageDirectly(path);
}

// A wait's frame draws the stage outside play, with its captions.
void DrawWaitFrame() {
  if (cSceneStage* scene = SceneStage()) scene->DrawStage(0, 1);
}
// A key that ended a wait does not act again in the next play frame.
void HoldButtons() {
  if (cSceneStage* scene = SceneStage()) scene->m_bButtonHold = 1;
}
bool PlayInputFrame(cInputState& input) { return PlayReplayFrame(input) == 0; }
bool WaitReplayKeys() { return CheckReplayKeys() != 0; }
// The play frames so far, for the run's end line; the trace numbers frames as the frame loop counts
// them (the numbering of --input).
void AfterFrameLogic(int32_t playFrames) {
  NotePlayFrames(playFrames);
  TracePlayFrame(PolledFrames());
}

bool StartFromDialog(const std::string& path) {
  if (!StartStageFromFile(path, false)) return false;
  g_SceneMgr.m_nRequestScene = kSceneStage;
  return true;
}
}  // namespace

void InstallStagePlay() {
  cSceneHooks scenes = SetSceneHooks(cSceneHooks());
  scenes.createScene[kSceneStage] = CreateStageScene;
  SetSceneHooks(scenes);

  cUiHooks ui = UiHooks();
  ui.startStageDirectly = StartDirectly;
  ui.startStageFromFile = StartFromDialog;
  ui.makeReplayFileName = MakeReplayNameFor;
  ui.saveReplay = SaveReplayFor;
  SetUiHooks(ui);

  InitVarParamTable();
  InstallFlowHooks();
  InstallStageServices();
  InstallModalWaits();
  InstallScreenColour();
  InstallStageEnd();
  InstallNextScene();

  // The blink's hidden frames cover the picture with the stage's background layers.
  cScreenEffectHooks effects;
  effects.drawBackLayers = [] {
    if (cSceneStage* scene = SceneStage()) {
      scene->DrawBackLayers(&g_BackBufferSD, 0);
      scene->DrawBackLayers(&g_BackBufferSD, 1);
    }
  };
  SetScreenEffectHooks(effects);

  cModalWaitHooks waits;
  waits.drawWaitFrame = DrawWaitFrame;
  waits.holdButtons = HoldButtons;
  waits.checkReplayKeys = WaitReplayKeys;
  SetModalWaitHooks(waits);

  cStagePlayHooks play = StagePlayHooks();
  play.playInputFrame = PlayInputFrame;
  play.recordInputFrame = RecordReplayFrame;
  play.checkReplayKeys = CheckReplayKeys;
  play.afterFrameLogic = AfterFrameLogic;
  SetStagePlayHooks(play);
}
