#include "media/sound/music_requests.h"

#include <algorithm>
#include <atomic>

#include "core/log.h"
#include "data/database.h"
#include "data/system_data.h"
#include "media/sound/bgm_player.h"

const int kBgmVolumeTable[8] = {0, 20, 50, 74, 82, 89, 95, 100};

namespace {
std::atomic<int> s_nBgmVolumeStep{7};
}

int InitMusic(int windowed, int midiDirectMusic) {
  const int option = windowed != 0 ? midiDirectMusic : 0;
  return g_BgmPlayer.InitBgm(1, g_OggSlots, g_MidiSlots, kBgmSlotCount, option);
}

void SetBgmVolumeStep(int step) { s_nBgmVolumeStep = std::clamp(step, 0, 7); }
int GetBgmVolumeStep() { return s_nBgmVolumeStep.load(); }

void SetBgmSlot(int slot, int number) {
  const auto& records = g_Database.m_aBgm;
  if (records.empty()) return;
  if (number < 0 || number >= static_cast<int>(records.size())) {
    ReportLogPrintf("err V[%d] ( %d , %d )", number, static_cast<int>(records.size()),
                    static_cast<int>(sizeof(cBgmData)));
    number = 0;
  }
  const cBgmData& record = records[static_cast<size_t>(number)];
  const int volume = kBgmVolumeTable[GetBgmVolumeStep()] * record.m_nVolume / 100;
  g_BgmPlayer.SetBgmFile(slot, record.m_strFileName.c_str(), volume);
}

LRESULT PlayBgmKind(WPARAM situation, LPARAM number, int stageLoopFlag) {
  const auto k = static_cast<intptr_t>(situation);
  if (k >= 0 && k < kBgmSituationStage) {
    const auto& numbers = g_SystemData.m_anSceneBgm;
    const auto& loops = g_SystemData.m_abSceneBgm;
    const int n = k < static_cast<intptr_t>(numbers.size()) ? numbers[static_cast<size_t>(k)] : 0;
    if (n == 0) {
      g_BgmPlayer.StopBgm();
      return 0;
    }
    const int loop = k < static_cast<intptr_t>(loops.size()) ? loops[static_cast<size_t>(k)] : 1;
    SetBgmSlot(static_cast<int>(k), n);
    g_BgmPlayer.PlayBgm(0, static_cast<int>(k), loop, 0, 1);
  } else if (k == kBgmSituationStage) {
    const int n = static_cast<int>(number);
    SetBgmSlot(kBgmSituationStage, n);
    if (n == 0)
      g_BgmPlayer.StopBgm();
    else
      g_BgmPlayer.PlayBgm(0, kBgmSituationStage, stageLoopFlag, 0, 1);
  }
  return 0;
}
