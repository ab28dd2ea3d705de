#include "menus/replay_start.h"

#include "core/log.h"
#include "stage/replay_play.h"
#include "stage/stage_loading.h"

bool StartReplayFromList(const std::string& path) {
  // The reader has given the load error when the file does not read.
  if (!LoadReplayForPlayback(path.c_str())) return false;
  const int hero = HeroTypeIndex(g_StageFile);
  if (hero < 0) {
    ErrorBoxf("主人公が配置されていないのでプレイできません！");
    return false;
  }
  g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(hero)];
  g_bReplaySwitched = 0;
  return true;
}
