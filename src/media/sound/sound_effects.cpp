#include "media/sound/sound_effects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>

#include "core/log.h"
#include "data/database.h"
#include "data/system_data.h"
#include "platform/audio/audio_mixer.h"
#include "platform/files.h"

const int kSoundVolumeTable[11] = {-10000, -3000, -2000, -1300, -1000, -800, -600, -400, -200, -100, 0};

std::vector<DSSOUNDDATA> g_SoundSlots;
std::vector<SOUNDINFO> g_SoundInfos;

namespace {

// Slot state is touched by the user-interface thread (requests) and the game thread (cursor sound).
std::recursive_mutex s_lock;
bool s_bDevice = false;
HWND s_hOwner = nullptr;
std::vector<DSSOUNDDATA>* s_pSlots = nullptr;
const std::vector<SOUNDINFO>* s_pInfos = nullptr;

cAudioMixer& Mixer() { return cAudioMixer::Shared(); }

void CopyName(char (&dst)[260], const char* src) { std::snprintf(dst, sizeof dst, "%s", src != nullptr ? src : ""); }

}  // namespace

int SoundVolumeForStep(int step) { return kSoundVolumeTable[std::clamp(step, 0, 10)]; }

bool DS_Init(HWND window, int samplesPerSec, int bitsPerSample, int channels) {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  // The mixer always runs at its own rate and format; the requested primary format only documents
  // what the effects were made for.
  (void)samplesPerSec;
  (void)bitsPerSample;
  (void)channels;
  if (!Mixer().OpenDevice()) {
    s_bDevice = false;
    return false;
  }
  s_hOwner = window;
  s_bDevice = true;
  return true;
}

void DS_InitPullOnly() {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  Mixer().OpenPullOnly();
  s_bDevice = true;
}

bool DS_HasDevice() {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  return s_bDevice;
}

bool ReadWaveFile(const char* path, cWaveData& out) {
  const eWaveResult result = ReadWave(ResolvePath(path), out);
  switch (result) {
    case eWaveResult::kOk: return true;
    case eWaveResult::kNotWave: LogPrintf("%s の読み込みに失敗しました…\n不正なファイルです。", path); return false;
    case eWaveResult::kBadFormat:
      LogPrintf(
          "%s の読み込みに失敗しました…。対応していない形式か、不正なwavファイルです。"
          "本ソフトではWave拡張フォーマットが無効かつ非圧縮のPCM形式のみ再生できます。",
          path);
      return false;
    case eWaveResult::kNoData:
    case eWaveResult::kTooLong:
    case eWaveResult::kUnreadable: return false;
  }
  return false;
}

bool DS_CreateBufferFromFile(int& buffer, const char* path) {
  buffer = 0;
  if (!s_bDevice) return true;
  cWaveData wave;
  if (!ReadWaveFile(path, wave)) {
    LogPrintf("%s の読み込みに失敗しました！", path);
    return false;
  }
  buffer = Mixer().CreateBuffer(MakeClipFromWave(wave));
  if (buffer == 0) {
    std::string text;
    FormatStr(text, "%s生成失敗！", path);
    ECLogWrite(text.c_str());
    return false;
  }
  return true;
}

bool DS_LoadSound(DSSOUNDDATA& slot, const char* path, int count, int volume) {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  if (!s_bDevice) return true;
  for (int id : slot.buffers)
    if (id != 0) Mixer().ReleaseBuffer(id);
  slot = DSSOUNDDATA{};
  count = std::max(count, 1);
  std::vector<int> buffers(static_cast<size_t>(count), 0);
  if (!DS_CreateBufferFromFile(buffers[0], path)) return false;
  for (int i = 1; i < count; ++i) {
    buffers[i] = Mixer().DuplicateBuffer(buffers[0]);
    if (buffers[i] == 0) {
      std::string text;
      FormatStr(text, "%sのメモリ共用バッファの生成失敗！", path);
      ECLogWrite(text.c_str());
      for (int id : buffers)
        if (id != 0) Mixer().ReleaseBuffer(id);
      return false;
    }
  }
  slot.buffers = std::move(buffers);
  slot.count = count;
  CopyName(slot.name, path);
  if (volume != 0)
    for (int i = 0; i < count; ++i) DS_SetVolume(slot, i, volume, 0);
  return true;
}

void DS_LoadAll(std::vector<DSSOUNDDATA>& slots, const std::vector<SOUNDINFO>& requests, int master) {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  s_pSlots = &slots;
  s_pInfos = &requests;
  const size_t n = std::min(slots.size(), requests.size());
  for (size_t i = 0; i < n; ++i) {
    if (!slots[i].buffers.empty()) continue;
    const SOUNDINFO& request = requests[i];
    const int volume = master != 0 ? master : request.volume;
    DS_LoadSound(slots[i], request.file.c_str(), request.count, volume);
  }
}

void DS_Play(DSSOUNDDATA& slot, uint32_t flags) {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  if (!s_bDevice || slot.count <= 0 || slot.next < 0 || slot.next >= static_cast<int>(slot.buffers.size())) return;
  const int id = slot.buffers[slot.next];
  if (id == 0) return;
  Mixer().Stop(id);
  Mixer().SetPosition(id, 0);
  Mixer().Play(id, (flags & DSBPLAY_LOOPING) != 0);
  slot.next += 1;
  if (slot.next >= slot.count) slot.next = 0;
}

int DS_SetVolume(DSSOUNDDATA& slot, int index, int volume, int relative) {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  if (!s_bDevice || index < 0 || index >= static_cast<int>(slot.buffers.size()) || slot.buffers[index] == 0) return 0;
  const int id = slot.buffers[index];
  if (relative == 1) volume += Mixer().GetVolume(id);
  volume = cAudioMixer::ClampVolume(volume);
  Mixer().SetVolume(id, volume);
  return volume;
}

void DS_PlayCursorSound(uint16_t directionWord, int axes, int slot) {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  if (slot < 0 || slot >= static_cast<int>(g_SoundSlots.size())) return;
  if ((axes & 1) && (directionWord & (1 | 2))) DS_Play(g_SoundSlots[slot], 0);
  if ((axes & 2) && (directionWord & (4 | 8))) DS_Play(g_SoundSlots[slot], 0);
}

void DS_Release() {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  if (!s_bDevice) return;
  std::vector<DSSOUNDDATA>& slots = s_pSlots != nullptr ? *s_pSlots : g_SoundSlots;
  for (DSSOUNDDATA& slot : slots) {
    for (size_t i = slot.buffers.size(); i-- > 0;)
      if (slot.buffers[i] != 0) Mixer().ReleaseBuffer(slot.buffers[i]);
    slot.buffers.clear();
    slot.count = 0;
    slot.next = 0;
  }
  s_pSlots = nullptr;
  s_pInfos = nullptr;
  s_hOwner = nullptr;
  s_bDevice = false;
  Mixer().Close();
}

namespace {
cSoundTraceHooks s_soundTraceHooks;
}

cSoundTraceHooks SetSoundTraceHooks(const cSoundTraceHooks& hooks) { return std::exchange(s_soundTraceHooks, hooks); }

LRESULT RequestSound(int slot) {
  if (s_soundTraceHooks.record) {
    s_soundTraceHooks.record(slot);
    return 0;
  }
  return SendMessage(g_hMainWnd.load(), WM_PLAYSOUND, static_cast<WPARAM>(slot), 0);
}

LRESULT RequestDataSound(int16_t number) {
  if (number == 0) return 0;
  return RequestSound(number + kDataSoundSlotBase);
}

LRESULT PlaySoundSlot(WPARAM slot) {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  const auto index = static_cast<intptr_t>(slot);
  if (index < 0 || index >= static_cast<intptr_t>(g_SoundSlots.size())) {
    // A bad number from game data costs the sound, not the game.
    ReportLogPrintf("err V[%d] ( %d , %d )", static_cast<int>(index), static_cast<int>(g_SoundSlots.size()),
                    static_cast<int>(sizeof(DSSOUNDDATA)));
    return 0;
  }
  DS_Play(g_SoundSlots[static_cast<size_t>(index)], 0);
  return 0;
}

bool InitSoundEffects(HWND window, int soundVolumeStep) {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  // Slot 16 + k for database sound k; database entry 0 stands for "none", so at least the 17 system
  // slots exist even with an empty list.
  const size_t databaseSounds = g_Database.m_aSound.size();
  const size_t slotCount = std::max<size_t>(kSystemSoundCount17, kDataSoundSlotBase + databaseSounds);
  g_SoundInfos.assign(slotCount, SOUNDINFO{});
  for (size_t i = 0; i < slotCount; ++i) g_SoundInfos[i].count = kSoundBuffersPerSlot;
  for (int i = 0; i < kSystemSoundCount17 && i < static_cast<int>(g_SystemData.m_astrSystemSounds.size()); ++i)
    g_SoundInfos[i].file = g_SystemData.m_astrSystemSounds[i];
  for (size_t k = 1; k < databaseSounds; ++k)
    g_SoundInfos[kDataSoundSlotBase + k].file = g_Database.m_aSound[k].m_strFileName;
  g_SoundSlots.assign(slotCount, DSSOUNDDATA{});
  if (!s_bDevice && !DS_Init(window, 22050, 8, 1)) {
    ECLogWrite("DS_Init失敗！");
    ReportLogPrintf("DSInit Err");
    return false;
  }
  DS_LoadAll(g_SoundSlots, g_SoundInfos, SoundVolumeForStep(soundVolumeStep));
  return true;
}

void ApplySoundVolumeStep(int soundVolumeStep) {
  std::lock_guard<std::recursive_mutex> lock(s_lock);
  const int volume = SoundVolumeForStep(soundVolumeStep);
  // Every buffer of a slot: plays take the buffers in turn, so setting only the first would leave
  // the later plays of an effect at the old volume.
  for (DSSOUNDDATA& slot : g_SoundSlots)
    for (int i = 0; i < static_cast<int>(slot.buffers.size()); ++i) DS_SetVolume(slot, i, volume, 0);
}
