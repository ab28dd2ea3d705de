#include "media/sound/midi_dll.h"

#include <cstring>

#include "media/sound/music_slots.h"
#include "platform/files.h"
#include "platform/midi/midi_file_player.h"

namespace {
// The component's one player, shared by every wrapper as the loaded library's state is.
// Never destroyed: g_BgmPlayer may still close it during static destruction.
cMidiFilePlayer& Player() {
  static cMidiFilePlayer* player = new cMidiFilePlayer;
  return *player;
}
}  // namespace

int LoadMidiDll() { return 0; }

int cMidiDll::OpenMidiDll(int directMusicOption, cMidiRenderer* renderer) {
  // The component sounds through its software synthesiser (device -1100). Its other device, the
  // system's MIDI output (-1), does not exist here: without the option the own stream player plays.
  const int device = directMusicOption != 0 ? -1100 : -1;
  if (LoadMidiDll() != 0 || device != -1100 || Player().OpenDevice(renderer) != kMidiPlayerOk) return 0;
  m_nCurrentId = 0;
  m_nVolume = 0;
  std::memset(m_anSaved, 0, sizeof m_anSaved);
  return 1;
}

bool cMidiDll::IsOpen() const { return Player().IsOpen(); }

int cMidiDll::PlayMidiDll(int id, const MIDISLOT* entry, int loop, int volumePercent) {
  StopMidiDll(1);
  if (entry == nullptr) return 0;
  const char* ext = PathExtension(entry->path);
  if (ext == nullptr || std::strcmp(ext, "mid") != 0) return 0;
  if (Player().AddListFromFile(ResolvePath(entry->path), id) != kMidiPlayerOk) return 0;
  m_nVolume = static_cast<int32_t>(volumePercent * 1.27) - 127;
  Player().SetMasterVolume(m_nVolume);
  Player().Play(loop != 0, id);
  m_nCurrentId = id;
  return 1;
}

void cMidiDll::StopMidiDll(int pause) {
  const cMidiPlayerStatus status = Player().GetStatus();
  if (status.state == 1) {
    m_anSaved[0] = m_nCurrentId;
    m_anSaved[1] = status.tick;
    m_anSaved[2] = m_nVolume;
  }
  if (pause == 1)
    Player().Pause();
  else
    Player().Stop();
}

void cMidiDll::UnloadMidiDll() { Player().CloseDevice(); }
