// Loading a stage file for play.
#include "stage/stage_loading.h"

#include <atomic>

#include "core/file_helpers.h"
#include "core/log.h"
#include "core/read_fault.h"
#include "core/record.h"
#include "core/thread.h"
#include "platform/clock.h"
#include "platform/messages.h"

std::string g_StagePath;
cCharaType g_HeroType;

namespace {

// Written once by the loader thread, read by the caller after the thread ended.
std::atomic<int> g_bLoadDone{0};
std::atomic<int> g_bLoadFinished{0};
// Why the read failed; written by the loader thread before it raises g_bLoadFinished.
cReadFault s_LoadFault;

unsigned LoadStageThreadProc(void*) {
  if (g_StageFile.LoadFile(g_StagePath)) g_bLoadDone.store(1);
  s_LoadFault = LastReadFault();
  g_bLoadFinished.store(1);
  return 0;
}

enum class eLoaderRead { kRead, kFailed, kQuit };

// Reads g_StagePath into g_StageFile on the loader thread thLoad, which the window's close stops
// with the other workers. The calling thread meanwhile takes the messages of its own queue, so that
// a thread sending to it is answered; a quit among them ends the wait.
eLoaderRead ReadOnLoaderThread() {
  g_bLoadDone.store(0);
  g_bLoadFinished.store(0);
  s_LoadFault = cReadFault{};
  if (!thLoad.Start(LoadStageThreadProc, nullptr)) {
    // No thread to read on: the read happens here.
    LoadStageThreadProc(nullptr);
    return g_bLoadDone.load() ? eLoaderRead::kRead : eLoaderRead::kFailed;
  }
  while (!g_bLoadFinished.load()) {
    MSG msg;
    if (!PeekMessage(&msg, true)) {
      // A short pause instead of the original's busy loop: the read takes as long anyway. It is
      // real time: how long a read takes must not move the virtual clock of a headless run.
      WaitRealTime(1);
      continue;
    }
    if (msg.message == WM_QUIT) {
      ECLogPuts("msg.message == WM_QUIT");
      thLoad.Exit();
      // The quit stays for the caller's own loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return eLoaderRead::kQuit;
    }
    DispatchMessage(&msg);
  }
  thLoad.Join();
  return g_bLoadDone.load() ? eLoaderRead::kRead : eLoaderRead::kFailed;
}

}  // namespace

int HeroTypeIndex(const cStageData& stage) { return stage.FindHero(); }

namespace {

// The message of a stage file the game would not play as it is.
int RefuseDamagedStage(const std::string& path) {
  ErrorBoxf("ステージファイル %s が破損しています！", path.c_str());
  return 0;
}

// What follows a read of g_StagePath into g_StageFile, read or failed with the fault.
int TakeLoadedStage(bool read, const cReadFault& fault, cStageData* settingsOut, cCharaType* heroOut) {
  if (!read) {
    // A map side beyond what placements can name is damage, as a missing trailer is.
    if (fault.kind == eReadFault::BeyondLimit)
      ErrorBoxf("ステージファイル %s が破損しています！", g_StagePath.c_str());
    else
      ErrorBoxf("ステージファイル %s の読み込みに失敗しました！", g_StagePath.c_str());
    ReportReadFault(g_StagePath.c_str(), fault);
    return 0;
  }
  const int hero = HeroTypeIndex(g_StageFile);
  if (hero < 0) {
    // The original stopped the program; a stage without a hero is the designer's mistake, so the
    // player is only told.
    ErrorBoxf("主人公が配置されていないのでプレイできません！");
    return 0;
  }
  if (settingsOut) {
    // Only g_StageFile keeps the type lists.
    CopyStageSettings(*settingsOut, g_StageFile);
    settingsOut->m_aPalBlocks.clear();
    settingsOut->m_aPalCharas.clear();
    settingsOut->m_aPalItems.clear();
    settingsOut->m_aBlocks.clear();
    settingsOut->m_aCharas.clear();
    settingsOut->m_aItems.clear();
  }
  if (heroOut) *heroOut = g_StageFile.m_aCharas[static_cast<size_t>(hero)];
  return 1;
}

}  // namespace

int CheckStageTrailer(const std::string& path) {
  std::unique_ptr<cDataFile> file = OpenDataFileR(path.c_str());
  if (!file) return 1;
  if (IsStageFileIntact(file->Bytes())) return 1;
  // The original also stopped the program here; the message is enough, the caller goes back.
  return RefuseDamagedStage(path);
}

int LoadPlayStage(const std::string& path, bool resolveNewest, cStageData* settingsOut, cCharaType* heroOut) {
  if (resolveNewest) {
    std::string found;
    if (!FindLastNumberedFileStr(found, path, "stg4")) return 0;
    g_StagePath = found;
  } else {
    g_StagePath = path;
  }
  ToRelativePathStr(g_StagePath, false);
  if (!CheckStageTrailer(g_StagePath)) return 0;
  switch (ReadOnLoaderThread()) {
    case eLoaderRead::kRead: return TakeLoadedStage(true, s_LoadFault, settingsOut, heroOut);
    case eLoaderRead::kQuit: return 0;  // the program is closing: nothing to tell
    case eLoaderRead::kFailed: return TakeLoadedStage(false, s_LoadFault, settingsOut, heroOut);
  }
  return 0;
}

int LoadPlayStageBytes(const std::vector<uint8_t>& bytes, const std::string& path, cStageData* settingsOut,
                       cCharaType* heroOut) {
  g_StagePath = path;
  std::unique_ptr<cDataFile> file = OpenDataBytesR(bytes, path);
  // A file that does not open is refused by the read below, with its reason.
  if (file && !IsStageFileIntact(file->Bytes())) return RefuseDamagedStage(path);
  const bool read = file && g_StageFile.LoadFromFile(*file);
  return TakeLoadedStage(read, LastReadFault(), settingsOut, heroOut);
}
