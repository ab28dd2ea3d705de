#include "stage/replay_save.h"

#include <utility>

#include "core/log.h"
#include "data/game_data.h"
#include "data/option_data.h"
#include "data/replay_file.h"
#include "data/save_data.h"
#include "media/sound/sound_effects.h"
#include "platform/clock.h"
#include "platform/disk_space.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"
#include "stage/stage_loading.h"

int g_ReplaySaveWhich = 0;
cReplaySaveState g_ReplaySave;

namespace {

constexpr const char* kLowSpaceText = "リプレイファイルの保存に失敗しました...ストレージを100MB以上空けてください。";

cReplaySaveHooks g_saveHooks;

// The free space where the replays go: the replay folder may lie on another file system than the
// game (a link to another disk).
int32_t DiskFreeBytes() {
  return g_saveHooks.diskFreeBytes ? g_saveHooks.diskFreeBytes(kReplayFolder) : GetDiskFreeBytes(kReplayFolder);
}

// A stage's replays may be saved when the stage allows them, or when "System.ini" says so for every
// stage ("Replay_On" 2).
bool StageAllowsReplays() {
  return g_StageFile.m_bReplayAllowed || (g_IniSettings.Replay_On.bPresent && g_IniSettings.Replay_On.nValue == 2);
}

cInputLog& LogOf(int whichPlay) { return whichPlay == 1 ? g_PrevInputLog : g_InputLog; }
cSaveData& SnapshotOf(int whichPlay) { return whichPlay == 1 ? g_PrevPlayStartSave : g_PlayStartSave; }

// Asks the main window for the replay-save dialog and waits until it has answered. A window that is
// gone answers nothing (the send returns at once), so the wait ends with it instead of hanging.
void AskReplaySaveDialog(int whichPlay) {
  g_nReplaySaveDone.store(0);
  SendMessage(g_hMainWnd.load(), kMsgReplaySaveDialog, static_cast<WPARAM>(whichPlay), 0);
  while (!g_nReplaySaveDone.load()) {
    if (!IsWindow(g_hMainWnd.load())) return;
    HandleSentMessages();
    WaitRealTime(1);
  }
}

}  // namespace

cReplaySaveHooks SetReplaySaveHooks(const cReplaySaveHooks& hooks) { return std::exchange(g_saveHooks, hooks); }

int AutoSaveReplay() {
  if (g_PlayMode == kPlayModeReplay || !g_SystemData.m_bReplayOn || g_DirectPlay || g_TestPlay || g_ReplaySave.m_bSaved)
    return 0;
  if (!StageAllowsReplays()) return 0;
  switch (g_OptionData.m_nReplayAutoSave) {
    case kReplayAutoSaveEvery: break;
    case kReplayAutoSaveCleared:
      if (!g_InputLog.m_bCleared) return 0;
      break;
    default: return 0;  // off
  }
  g_ReplaySave.m_bSaved = 1;

  // 0 is the answer of a query that failed: the space is not known to be short, and the save goes
  // ahead (a write that then fails is reported as any other).
  const int32_t freeBytes = DiskFreeBytes();
  if (freeBytes != 0 && static_cast<int64_t>(freeBytes) < kReplaySaveMinFreeBytes) {
    ErrorBox(kLowSpaceText);
    ReportLogPuts(kLowSpaceText);
    return 0;
  }
  if (g_InputLog.m_anDirStates.empty()) return 0;
  g_ReplaySaveWhich = 0;
  std::string name;
  // No free name (every numbered form taken): the report log says so, and the play goes on unsaved.
  if (!MakeReplayFileName(name, g_StagePath, g_InputLog.m_bCleared) || name.empty()) return 0;
  // A replay that cannot be written (a full disk, a folder that cannot be written to) is the
  // player's to know about, not a reason to end the game: the play goes on unsaved.
  if (!SaveReplayFile(name.c_str(), g_InputLog, g_StageFile, g_StageData, g_PlayStartSave)) {
    if (!g_bQuit.load()) ShowSaveMessage("%s の保存に失敗しました！", name);
    return 0;
  }
  return 1;
}

int CheckReplayKeys() {
  if (g_PlayMode == kPlayModeReplay || !g_SystemData.m_bReplayOn || !g_SystemData.m_bReplayKeys) return 0;
  g_ReplaySaveWhich = 0;
  if (g_ReplaySave.m_nRefusalCountdown > 0) --g_ReplaySave.m_nRefusalCountdown;
  const bool allowed = StageAllowsReplays();

  int whichPlay = -1;
  if (GetAsyncKeyState(VK_F1) & 0x8000) {
    if (!g_InputLog.m_anDirStates.empty() && allowed) whichPlay = 0;
  } else if (GetAsyncKeyState(VK_F2) & 0x8000) {
    if (!g_PrevInputLog.m_anDirStates.empty() && allowed) whichPlay = 1;
  } else {
    return 0;
  }
  if (whichPlay < 0) {
    if (g_ReplaySave.m_nRefusalCountdown > 0) return 0;
    RequestSound(kSoundReplayRefused);
    g_ReplaySave.m_nRefusalCountdown = kReplayRefusalFrames;
    return 0;
  }

  g_ReplaySaveWhich = whichPlay;
  RequestSound(kSoundReplayDecide);
  if (g_SystemData.m_bFileDialogs)
    RequestFileDialog(g_nReplaySaveRequest, whichPlay);
  else
    AskReplaySaveDialog(whichPlay);
  return 1;
}

bool MakeReplayNameFor(int whichPlay, std::string& name) {
  return MakeReplayFileName(name, g_StagePath, LogOf(whichPlay).m_bCleared) != 0;
}

bool SaveReplayFor(int whichPlay, const std::string& name) {
  // A name that is taken (a file chosen in the file dialog, or one saved since the name was
  // proposed) keeps its replay: this one goes under the first free numbered form of the name.
  const std::string freeName = FreeReplayFileName(name);
  // Every numbered form taken: nothing is replaced and nothing is lost but this save, which the
  // report log names; the game goes on.
  if (freeName.empty()) return true;
  return SaveReplayFile(freeName.c_str(), LogOf(whichPlay), g_StageFile, g_StageData, SnapshotOf(whichPlay)) != 0;
}
