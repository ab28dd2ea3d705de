// Installing the menu scenes: the title and the stage select are made by the scene manager, and the
// scenes other layers installed stay.
#include <gtest/gtest.h>

#include <memory>

#include "menus/install_menu_scenes.h"
#include "menus/stage_select_scene.h"
#include "menus/title_scene.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "test_support/hooks_guard.h"

namespace {

cScene* MakeOther() { return new cScene; }

TEST(InstallMenuScenesTest, TheMenuScenesJoinTheScenesAlreadyThere) {
  cSceneHooks before;
  before.createScene[kSceneStage] = MakeOther;
  cHooksGuard<cSceneHooks> scenes(SetSceneHooks, before);
  cHooksGuard<cUiHooks> ui(SetUiHooks, cUiHooks());
  InstallMenuScenes();
  const cSceneHooks now = SetSceneHooks(cSceneHooks());
  SetSceneHooks(now);
  EXPECT_EQ(now.createScene[kSceneStage], MakeOther);
  ASSERT_NE(now.createScene[kSceneTitle], nullptr);
  ASSERT_NE(now.createScene[kSceneStageSelect], nullptr);
  std::unique_ptr<cScene> title(now.createScene[kSceneTitle]());
  std::unique_ptr<cScene> select(now.createScene[kSceneStageSelect]());
  EXPECT_NE(dynamic_cast<cSceneTitle*>(title.get()), nullptr);
  EXPECT_NE(dynamic_cast<cSceneStageSelect*>(select.get()), nullptr);
  EXPECT_EQ(title->m_nPhase, -1);
  // A replay picked in the title's file dialog can be loaded.
  EXPECT_NE(UiHooks().loadReplayFile, nullptr);
}

}  // namespace
