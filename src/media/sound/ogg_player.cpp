#include "media/sound/ogg_player.h"

#include "core/log.h"
#include "media/sound/music_slots.h"
#include "platform/files.h"

int cOggPlayer::InitOgg() {
  // The decoder is part of the program, so the back end is always there.
  return 1;
}

void cOggPlayer::SetOggChannels(int channels) {
  m_apPlayers.clear();
  m_nCurrent = -1;
  m_nChannels = channels < 0 ? 0 : channels;
  for (int i = 0; i < m_nChannels; ++i) {
    auto player = std::make_unique<cOggStream>();
    if (!player) OutOfMemoryQuit();
    m_apPlayers.push_back(std::move(player));
  }
}

int cOggPlayer::PlayOgg(int channel, const OGGSLOT* entry, int loop, int volumePercent) {
  if (entry == nullptr || entry->path[0] == '\0') return 0;
  if (channel < 0 || channel >= static_cast<int>(m_apPlayers.size())) return 0;
  StopOgg();
  cOggStream& player = *m_apPlayers[channel];
  player.Prepare();
  if (!player.Load(ResolvePath(entry->path))) {
    m_nCurrent = -1;
    return 0;
  }
  if (volumePercent < 100) player.SetVolume(volumePercent * 0.01f);
  player.SetLoopCount(loop ? cOggStream::kLoopForever : 0);
  player.Play();
  m_nCurrent = channel;
  return 1;
}

void cOggPlayer::StopOgg() {
  if (m_nCurrent >= 0 && m_nCurrent < static_cast<int>(m_apPlayers.size())) m_apPlayers[m_nCurrent]->Stop();
  m_nCurrent = -1;
}

void cOggPlayer::ReleaseOgg() {
  m_apPlayers.clear();
  m_nChannels = 0;
  m_nCurrent = -1;
}
