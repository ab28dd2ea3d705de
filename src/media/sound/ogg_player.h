#pragma once
// The OGG music back end: one player object per channel, of which one at a time is current.
#include <memory>
#include <vector>

#include "platform/audio/ogg_stream.h"

struct OGGSLOT;

class cOggPlayer {
 public:
  std::vector<std::unique_ptr<cOggStream>> m_apPlayers;
  int m_nChannels = 0;
  int m_nCurrent = -1;

  int InitOgg();  // 1 when the back end is available
  void SetOggChannels(int channels);
  // Plays entry's file on the channel, looping without end when loop is set. 1 on success.
  int PlayOgg(int channel, const OGGSLOT* entry, int loop, int volumePercent);
  void StopOgg();
  void ReleaseOgg();
};
