// "ステージクリア": chooses the stage that follows (next number, a stage file, or the world's end)
// and, in story play, the world-map place, the story save and the hero's start place there.
#include <algorithm>
#include <cstdint>
#include <string>

#include "core/containers.h"
#include "core/file_helpers.h"
#include "core/log.h"
#include "data/play_mode.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "data/world_map.h"
#include "flow/cmd_tables.h"
#include "objects/play_objects.h"
#include "objects/stage_state.h"

namespace {

// How the next stage is named (P0).
enum : int32_t {
  kNextStageFollowing = 0,
  kNextStageByNumber = 1,
  kNextStageByPath = 2,
  kNextStageWorldClear = 3,
};
// Hero facing of the start-place override that keeps the facing at the clear.
constexpr int32_t kFacingAsAtClear = 2;

// The stage file's name without its extension, kept with its ".": the command's own text stays as
// it is, so the command gives the same name every time it runs.
std::string NextStageName(const std::string& path) {
  std::string name = path;
  RemoveExtensionStr(name);
  return name + ".";
}

}  // namespace

int CmdStageClear(cCharaBase&, cFlowCmd& cmd) {
  const auto P = [&](int i) { return Param(cmd, i); };
  cSaveData& save = g_SaveData;
  switch (P(0)) {
    case kNextStageFollowing:
      save.m_nNextStage = save.m_nStage < INT32_MAX ? save.m_nStage + 1 : save.m_nStage;
      save.m_strNextStagePath.clear();
      break;
    case kNextStageByNumber:
      save.m_nNextStage = P(1);
      save.m_strNextStagePath.clear();
      break;
    case kNextStageByPath:
      save.m_nNextStage = save.m_nStage;
      if (cmd.m_strText.empty()) {
        ErrorBoxf("ステージファイル %s が不正です。\nステージファイルとして認識できません。", "");
        save.m_strNextStagePath.clear();
      } else {
        save.m_strNextStagePath = NextStageName(cmd.m_strText);
      }
      break;
    case kNextStageWorldClear:
      save.m_nNextStage = 0;
      save.m_strNextStagePath.clear();
      break;
    default: break;
  }

  if (g_nPlayMode == kPlayModeStoryNew || g_nPlayMode == kPlayModeStoryContinue) {
    if (g_lpSceneStage) g_lpSceneStage->m_bSaveOnClear = g_SystemData.m_bForceSaveOnClear ? 1 : P(9);
    if (P(2) != 0) {
      // A place past the map's far edges is lowered onto them (a negative one is the world map's to
      // keep inside). The walk that left the map for this stage is over: the world map must not put
      // the hero back on the cell it came from.
      save.m_nMapX = std::min(P(3), std::max(g_WorldMap.m_nWidth - 1, 0));
      save.m_nMapY = std::min(P(4), std::max(g_WorldMap.m_nHeight - 1, 0));
      save.m_bLeftStage = 0;
    }
  }

  if (P(5) != 0) {
    save.m_bPlaceRequest = 1;
    save.m_nPlaceX = P(6);
    save.m_nPlaceY = P(7);
    save.m_nPlaceFacing = P(8);
    if (P(8) == kFacingAsAtClear && !g_HeroList.empty()) save.m_nPlaceFacing = g_HeroList.front().m_nFacing;
  } else {
    save.m_bPlaceRequest = 0;
  }
  save.m_bClearCounts = P(10) != 0 ? 1 : 0;
  return 1;
}
