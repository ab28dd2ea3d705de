#include "stage/install_stage_play.h"

#include "flow/install_flow_hooks.h"
#include "flow/var_params.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "stage/scene_stage.h"
#include "stage/stage_start.h"

namespace {
cScene* CreateStageScene() { return new cSceneStage; }

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
  ui.startStageDirectly = StartStageDirectly;
  ui.startStageFromFile = StartFromDialog;
  SetUiHooks(ui);

  InitVarParamTable();
  InstallFlowHooks();
  // TODO(lead): InstallStageServices();  (src/stage/stage_services.h, the stage's services)
  // TODO(lead): InstallModalWaits();     (src/stage/modal_waits.h, the modal waits)
}
