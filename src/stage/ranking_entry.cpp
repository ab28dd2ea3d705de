#include "stage/ranking_entry.h"

#include <cstddef>
#include <string>

#include "core/log.h"
#include "data/game_data.h"
#include "data/option_data.h"
#include "data/ranking.h"
#include "data/save_data.h"
#include "media/sound/sound_effects.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "stage/modal_waits.h"
#include "stage/scene_stage.h"

namespace {
// The ranking-entry options with a fixed name (by hand or by themselves).
bool FixedName() { return g_OptionData.m_nRankingEntry == 1 || g_OptionData.m_nRankingEntry == 3; }

// Asks the main window for the name-entry dialog (it edits the scene's ranking name) and waits
// until it has answered. A window that is gone answers nothing, so the wait ends with it instead of
// hanging.
void AskRankingName() {
  g_nNameEntryDone.store(0);
  SendMessage(g_hMainWnd.load(), kMsgNameEntry, 0, 0);
  while (!g_nNameEntryDone.load()) {
    if (!IsWindow(g_hMainWnd.load())) return;
    HandleSentMessages();
    WaitRealTime(1);
  }
}
}  // namespace

void RegisterRanking(cSceneStage& scene) {
  if (!g_RankingOn || !scene.m_bNewRanking || scene.m_bRankingDone) return;
  if (FixedName()) {
    scene.m_strRankName = g_OptionData.m_strRankingName;
  } else {
    // A cancelled dialog leaves the name as it started.
    scene.m_strRankName = g_SaveData.m_strRankingName;
    AskRankingName();
    g_SaveData.m_strRankingName = scene.m_strRankName;
  }
  RequestSound(kSoundRankingEntered);
  for (size_t kind = 0; kind < g_Ranking.m_aTables.size(); ++kind) {
    if (kind >= scene.m_anRankPlaces.size() || kind >= scene.m_anRankValues.size()) break;
    if (scene.m_anRankPlaces[kind] == -1) continue;
    InsertRank(g_Ranking.m_aTables[kind], scene.m_strRankName, scene.m_anRankValues[kind]);
  }
  SaveRankingFile(g_Ranking, g_ModeIndex, g_SaveData.m_strStageKey, g_SaveData.m_bCondOn, g_SaveData.m_nCondVar,
                  g_SaveData.m_nCondValue);
  scene.m_bRankingDone = 1;
  RunRankingDisplay();
}
