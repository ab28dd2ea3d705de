#include "menus/install_menu_scenes.h"

#include <string>

#include "data/game_data.h"
#include "menus/free_list_scene.h"
#include "menus/map_menu_scene.h"
#include "menus/option_scene.h"
#include "menus/replay_list_scene.h"
#include "menus/stage_select_scene.h"
#include "menus/title_scene.h"
#include "menus/world_map_scene.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "stage/replay_play.h"
#include "stage/stage_loading.h"

namespace {
cScene* CreateTitleScene() { return new cSceneTitle; }
cScene* CreateStageSelectScene() { return new cSceneStageSelect; }
cScene* CreateOptionScene() { return new cSceneOption; }

// A replay picked in the file dialog: its stage, progress and input log, with the hero of its stage.
bool LoadPickedReplay(const std::string& path) {
  if (!LoadReplayForPlayback(path.c_str())) return false;
  const int hero = HeroTypeIndex(g_StageFile);
  if (hero < 0) return false;
  g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(hero)];
  return true;
}
}  // namespace

void InstallMenuScenes() {
  cSceneHooks scenes = SetSceneHooks(cSceneHooks());
  scenes.createScene[kSceneTitle] = CreateTitleScene;
  scenes.createScene[kSceneWorldMap] = CreateWorldMapScene;
  scenes.createScene[kSceneMapMenu] = CreateMapMenuScene;
  scenes.createScene[kSceneStageSelect] = CreateStageSelectScene;
  scenes.createScene[kSceneFreeList] = CreateFreeListScene;
  scenes.createScene[kSceneReplayList] = CreateReplayListScene;
  scenes.createScene[kSceneOption] = CreateOptionScene;
  SetSceneHooks(scenes);

  cUiHooks ui = UiHooks();
  if (!ui.loadReplayFile) {
    ui.loadReplayFile = LoadPickedReplay;
    SetUiHooks(ui);
  }
}
