// The program's long-lived objects as they stand before the program's entry runs: built empty, with
// their records' defaults, nothing loaded. Checked in a process of its own, started afresh, so that
// no other test has touched them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "core/thread.h"
#include "data/game_data.h"
#include "data/option_data.h"
#include "data/system_data.h"
#include "data/world_map.h"
#include "media/graphics/surface_table.h"
#include "media/sound/bgm_player.h"
#include "media/sound/sound_effects.h"
#include "shell/app_globals.h"
#include "shell/boot_data.h"
#include "shell/input_state.h"
#include "shell/list_positions.h"
#include "shell/main_window.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"

namespace {

int s_failures = 0;

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "not as built: %s\n", what);
  ++s_failures;
}

#define CHECK_BUILT(condition) check((condition), #condition)

// Runs in a freshly started process: every object as its construction left it.
void checkAsBuilt() {
  CHECK_BUILT(g_MainWindow.m_hWnd == nullptr);
  for (const cThread* t : {&thGame, &thPause, &thRanking, &thLoad}) {
    CHECK_BUILT(!t->HasThread());
    CHECK_BUILT(t->GetThreadId() == 0);
  }
  CHECK_BUILT(g_MenuCursor.Depth() == 1);
  CHECK_BUILT(g_MenuCursor.Top().nColumn == 0 && g_MenuCursor.Top().nRow == 0 && g_MenuCursor.Top().nX == 0);
  CHECK_BUILT(g_InputStates.size() == 1);
  // The game surface table: 72 empty slots.
  for (const DDSURFACEDATA& slot : g_SurfaceData) {
    CHECK_BUILT(slot.lpDT == nullptr && slot.lpDD == nullptr);
    CHECK_BUILT(slot.szName[0] == '\0' && slot.nWidth == 0 && slot.nHeight == 0);
  }
  CHECK_BUILT(std::size(g_SurfaceData) == 72);
  CHECK_BUILT(g_SoundSlots.empty());
  CHECK_BUILT(g_BgmPlayer.m_nCurrentSlot == -1);
  // The project settings and the world map with the defaults of a new project.
  CHECK_BUILT(g_SystemData.m_nFontFace == 60);
  CHECK_BUILT(g_SystemData.m_nDisplayOpt670b == 2);
  CHECK_BUILT(g_SystemData.m_aIniKeys.size() == 11);
  CHECK_BUILT(g_WorldMap.m_nWidth == 20 && g_WorldMap.m_nHeight == 15);
  CHECK_BUILT(g_WorldMap.m_nStartX == 9 && g_WorldMap.m_nStartY == 7);
  // The stage: nothing read yet.
  CHECK_BUILT(g_StageFile.m_aCharas.empty());
  // The player's records with their defaults.
  CHECK_BUILT(g_FreeData.m_nCursor == 0 && g_FreeData.m_strFileName.empty());
  CHECK_BUILT(g_ReplayData.m_nCursor == 0 && g_ReplayData.m_nSortOrder == 0 && g_ReplayData.m_strFileName.empty());
  CHECK_BUILT(g_OptionData.m_nGamepad == 1 && g_OptionData.m_nSeVolume == 7);
  CHECK_BUILT(g_OptionData.m_strRankingName == "aaa" && g_OptionData.m_nMessageAutoSeconds == 21);
  CHECK_BUILT(g_BootData.m_nDrawMode == 1 && g_BootData.m_bNoAsk == 0);
  CHECK_BUILT(g_TestPlayPath.empty());
  CHECK_BUILT(g_TestPlay == 0 && g_DirectPlay == 0 && g_ReturnToTitle == 0 && g_GameStarted.load() == 0);
  CHECK_BUILT(g_SceneMgr.m_nScene.load() == 0 && g_SceneMgr.m_nRequestScene == 0 && g_SceneMgr.m_nFramesRun == 0);
}

TEST(GlobalObjectsDeathTest, BuiltEmptyBeforeTheProgramRuns) {
  // A death test's child starts the test program anew: its objects are freshly built.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        checkAsBuilt();
        std::exit(s_failures);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
