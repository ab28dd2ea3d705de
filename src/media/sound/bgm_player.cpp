#include "media/sound/bgm_player.h"

#include <cstdio>
#include <cstring>

#include "core/log.h"
#include "platform/audio/audio_mixer.h"

cBgmPlayer g_BgmPlayer;

namespace {

template <size_t N>
void CopyPath(char (&dst)[N], const char* src) {
  std::snprintf(dst, N, "%s", src != nullptr ? src : "");
}

}  // namespace

cBgmPlayer::~cBgmPlayer() { ReleaseBgm(); }

bool cBgmPlayer::ValidSlot(int slot) const {
  return slot >= 0 && slot < static_cast<int>(m_anKinds.size()) && m_pOggTable != nullptr && m_pMidiTable != nullptr;
}

bool cBgmPlayer::ValidChannel(int channel) const {
  return channel >= 0 && channel < static_cast<int>(m_anChannelStates.size());
}

int cBgmPlayer::InitBgm(int channels, OGGSLOT* oggTable, MIDISLOT* midiTable, int slots, int midiDllOption) {
  m_bEnabled = 1;
  if (channels < 1) channels = 1;
  if (slots < 0) slots = 0;
  // Music is heard through the sound output; it opens here too in case the effects never do.
  cAudioMixer::Shared().OpenDevice();
  if (m_MidiDll.OpenMidiDll(midiDllOption, m_pMidiRenderer) == 1) {
    m_bUseMidiDll = 1;
    m_apStreams.clear();
    m_anStreamValues.clear();
  } else {
    m_bUseMidiDll = 0;
    m_apStreams.clear();
    m_anStreamValues.clear();
    m_apStreams.resize(static_cast<size_t>(channels));
    m_anStreamValues.assign(static_cast<size_t>(channels), 0);
  }
  // The tables are sized before the OGG start-up can fail, so MIDI music still plays without it.
  m_anChannelStates.assign(static_cast<size_t>(channels), 0);
  m_pOggTable = oggTable;
  m_pMidiTable = midiTable;
  m_anKinds.assign(static_cast<size_t>(slots), 0);
  m_nCurrentSlot = -1;
  if (m_Ogg.InitOgg() == 0) {
    ErrorBoxf("oggの初期化に失敗！");
    return 0;
  }
  m_Ogg.SetOggChannels(channels);
  return 1;
}

int cBgmPlayer::SetBgmFile(int slot, const char* path, int volume) {
  if (!ValidSlot(slot)) {
    ReportLogPrintf("err V[%d] ( %d , %d )", slot, static_cast<int>(m_anKinds.size()),
                    static_cast<int>(sizeof(int32_t)));
    return 0;
  }
  const char* ext = PathExtension(path);
  if (ext != nullptr && (std::strcmp(ext, "mid") == 0 || std::strcmp(ext, "MID") == 0)) {
    char replaced[260];
    std::snprintf(replaced, sizeof replaced, "%.*smid", static_cast<int>(ext - path), path);
    CopyPath(m_pMidiTable[slot].path, replaced);
    m_pMidiTable[slot].volume = volume;
    m_anKinds[slot] = 2;
    return 1;
  }
  if (ext != nullptr && (std::strcmp(ext, "ogg") == 0 || std::strcmp(ext, "OGG") == 0)) {
    CopyPath(m_pOggTable[slot].path, path);
    m_pOggTable[slot].volume = volume;
    m_anKinds[slot] = 1;
    return 1;
  }
  // No extension: an empty path and volume 0. Any other extension: tried as OGG, then as MIDI.
  const char* kept = ext != nullptr ? path : "";
  const int keptVolume = ext != nullptr ? volume : 0;
  CopyPath(m_pOggTable[slot].path, kept);
  m_pOggTable[slot].volume = keptVolume;
  CopyPath(m_pMidiTable[slot].path, kept);
  m_pMidiTable[slot].volume = keptVolume;
  m_anKinds[slot] = 0;
  return 0;
}

int cBgmPlayer::PlayMidi(int channel, int slot, int loop) {
  const MIDISLOT* entry = &m_pMidiTable[slot];
  if (m_bUseMidiDll == 1) return m_MidiDll.PlayMidiDll(channel, entry, loop, entry->volume);
  return PlayMidiStream(m_apStreams, channel, entry, loop, m_pMidiRenderer);
}

void cBgmPlayer::StopMidi(int pause) {
  if (m_bUseMidiDll == 1)
    m_MidiDll.StopMidiDll(pause);
  else
    StopMidiStreams(m_apStreams, pause);
}

int cBgmPlayer::PlayBgm(int channel, int slot, int loop, int pause, int force) {
  if (m_bEnabled == 0 || (slot == m_nCurrentSlot && force == 0)) return 1;
  m_nCurrentSlot = slot;
  if (!ValidSlot(slot) || !ValidChannel(channel)) {
    ReportLogPrintf("err V[%d] ( %d , %d )", slot, static_cast<int>(m_anKinds.size()),
                    static_cast<int>(sizeof(int32_t)));
    m_nCurrentSlot = -1;
    return 0;
  }
  const int kind = m_anKinds[slot];
  if (kind == 2) {
    if (PlayMidi(channel, slot, loop)) {
      m_anChannelStates[channel] = 2;
      m_Ogg.StopOgg();
      return 1;
    }
  } else if (kind == 1) {
    if (m_Ogg.PlayOgg(channel, &m_pOggTable[slot], loop, m_pOggTable[slot].volume)) {
      m_anChannelStates[channel] = 1;
      StopMidi(0);
      return 1;
    }
  } else {
    if (m_Ogg.PlayOgg(channel, &m_pOggTable[slot], loop, m_pOggTable[slot].volume)) {
      m_anChannelStates[channel] = 1;
      StopMidi(pause == 1 ? 1 : 0);
      return 1;
    }
    if (PlayMidi(channel, slot, loop)) {
      m_anChannelStates[channel] = 2;
      m_Ogg.StopOgg();
      return 1;
    }
  }
  m_anChannelStates[channel] = 0;
  m_nCurrentSlot = -1;
  m_Ogg.StopOgg();
  StopMidi(0);
  return 0;
}

void cBgmPlayer::StopBgm() {
  if (m_bEnabled == 0) return;
  StopMidi(0);
  m_Ogg.StopOgg();
}

void cBgmPlayer::SettleMidi() {
  if (m_bEnabled == 0 || m_bUseMidiDll == 1) return;
  WaitForMidiStreamCallbacks(m_apStreams);
}

void cBgmPlayer::ReleaseBgm() {
  if (m_bEnabled == 0) return;
  m_Ogg.ReleaseOgg();
  if (m_bUseMidiDll == 1) {
    m_MidiDll.UnloadMidiDll();
  } else {
    m_apStreams.clear();
    m_anStreamValues.clear();
  }
  m_bEnabled = 0;
}
