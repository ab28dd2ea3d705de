#include "stage/stage_end.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/containers.h"
#include "core/file_helpers.h"
#include "core/log.h"
#include "data/game_data.h"
#include "data/input_log.h"
#include "data/ranking.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "flow/game_wait.h"
#include "flow/mes_window.h"
#include "media/sound/sound_effects.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "stage/extra_lives.h"
#include "stage/modal_waits.h"
#include "stage/ranking_entry.h"
#include "stage/scene_stage.h"
#include "stage/stage_menus.h"

namespace {
// The stage file extension of the loader.
constexpr const char* kStageExt = "stg4";

// Set while one stage end shows its extra lives; cleared once the stage is being closed.
bool s_showLives = false;

// One extra life shown: its window over the first hero for a moment, the stage standing still.
void ShowExtraLife() {
  RequestSound(kSoundExtraLife);
  cSceneStage* scene = SceneStage();
  if (!scene || !s_showLives) return;
  MESWINDOWARGS args;
  args.nKind = kMesExtraLife;
  args.nAnchor = 4;
  args.nLifeFrames = kExtraLifeFrames;
  if (!g_HeroList.empty()) args.nTarget = VecAt(g_HeroList, 0).m_nNumber;
  scene->m_MesWindows.emplace_back(args);
  const auto window = std::prev(scene->m_MesWindows.end());
  SetupGameWait(kWaitTimer, 0, kExtraLifeFrames, 0, nullptr);
  RunModalWait(1);
  // The wait's drawing may have ended the window already.
  for (auto it = scene->m_MesWindows.begin(); it != scene->m_MesWindows.end(); ++it) {
    if (it == window) {
      scene->m_MesWindows.erase(it);
      break;
    }
  }
  if (StageWaitAborted(*scene)) {
    // The window is closing: no further life is shown.
    PostMessage(g_hMainWnd.load(), WM_CLOSE, 0, 0);
    s_showLives = false;
    return;
  }
  while (!g_AppActive.load()) QcSleep(1);
}

bool KindFlag(const std::vector<uint8_t>& flags, int kind) {
  return static_cast<size_t>(kind) < flags.size() && flags[static_cast<size_t>(kind)] != 0;
}
bool KindFlag(const std::vector<int32_t>& flags, int kind) {
  return static_cast<size_t>(kind) < flags.size() && flags[static_cast<size_t>(kind)] != 0;
}
}  // namespace

int BuildNextStagePath(std::string& out, int stage, int keep) {
  out.clear();
  if (!g_SaveData.m_bNumberedStage || !g_SaveData.m_nNextStage) return 0;
  std::string built;
  if (!g_SaveData.m_strNextStagePath.empty()) {
    built = g_SaveData.m_strNextStagePath + "." + kStageExt;
  } else {
    std::string base = g_SaveData.m_strStageKey;
    if (!base.empty()) base.pop_back();
    built = base + "-" + std::to_string(stage) + "." + kStageExt;
  }
  std::string found;
  if (FindLastNumberedFileStr(found, built, kStageExt)) {
    out = found;
    return 1;
  }
  if (keep) out = built;
  return 0;
}

int IsLastStage(int stage) {
  std::string scratch;
  return BuildNextStagePath(scratch, stage, 0) ? 0 : 1;
}

void AddPlayTotals(cSceneStage& scene) {
  const int64_t oldTotal = g_SaveData.m_nScoreTotal;
  int32_t hp = 0, sp = 0;
  if (!g_HeroList.empty()) {
    const cHero& hero = VecAt(g_HeroList, 0);
    hp = hero.m_nHp;
    sp = hero.m_nSp;
  }
  g_SaveData.AddStageTotals(scene.m_nTimer, scene.m_bTimerStopped == 0, scene.m_nPlayTime, hp, sp);
  s_showLives = true;
  GrantExtraLives(g_SaveData, oldTotal, g_SaveData.m_nScoreTotal, ShowExtraLife);
  s_showLives = false;
}

void FinishStage(cSceneStage& scene) {
  RequestSound(kSoundStageClear);
  if (g_SaveData.m_bClearCounts) g_InputLog.m_bCleared = 1;
  AddPlayTotals(scene);
  scene.m_bRankingDone = 0;
  scene.m_bNewRanking = 0;
  scene.m_anRankPlaces.assign(kRankingKindCount, -1);
  if (!g_DirectPlay && (!g_RankingOn || !IsLastStage(g_SaveData.m_nNextStage))) return;
  scene.m_anRankValues = {g_SaveData.m_nScoreTotal, g_SaveData.m_nRemainTimeTotal, g_SaveData.m_nClearTimeTotal,
                          g_SaveData.m_nRemainHpTotal, g_SaveData.m_nRemainSpTotal};
  if (g_TestPlay) return;
  // A game kind without an entry in the project's table ranks nothing.
  const std::vector<cSysFlags>& modes = g_SystemData.m_aModeRanking;
  if (g_ModeIndex < 0 || static_cast<size_t>(g_ModeIndex) >= modes.size()) return;
  const std::vector<uint8_t>& modeKinds = modes[static_cast<size_t>(g_ModeIndex)].m_abKinds;
  for (int kind = 0; kind < kRankingKindCount; ++kind) {
    if (!KindFlag(modeKinds, kind) || !KindFlag(g_StageData.m_anTotalsLines, kind)) continue;
    // A ranking file without this kind's table ranks nothing there.
    if (static_cast<size_t>(kind) >= g_Ranking.m_aTables.size()) continue;
    const int place =
        FindRankPos(g_Ranking.m_aTables[static_cast<size_t>(kind)], scene.m_anRankValues[static_cast<size_t>(kind)]);
    scene.m_anRankPlaces[static_cast<size_t>(kind)] = place;
    if (place != -1) scene.m_bNewRanking = 1;
  }
}

void InstallStageEnd() {
  cStageMenuHooks menus = SetStageMenuHooks({});
  menus.finishStage = FinishStage;
  menus.registerRanking = RegisterRanking;
  SetStageMenuHooks(menus);
}
