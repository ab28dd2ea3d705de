#pragma once
// The MIDI music component: a small player of Standard MIDI Files on the shared synthesiser. It keeps
// a list of loaded songs by id, plays one of them once or looping, pauses, resumes and stops, and has
// a master volume from -127 (silent) to 0 (full). Results: 0 success, otherwise an error number.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/midi/midi_playback.h"
#include "platform/midi/midi_sink.h"
#include "platform/midi/smf_song.h"

class cMidiRenderer;

constexpr int kMidiPlayerOk = 0;
constexpr int kMidiPlayerNoDevice = 1;
constexpr int kMidiPlayerBadFile = 2;
constexpr int kMidiPlayerNoSong = 3;

struct cMidiPlayerStatus {
  int32_t state = 0;  // 0 stopped, 1 playing, 2 paused
  int32_t songId = -1;
  int32_t tick = 0;
};

class cMidiFilePlayer : public cMidiSequencer {
 public:
  cMidiFilePlayer();
  ~cMidiFilePlayer() override;

  // Opens the player on a renderer (the shared synthesiser when null).
  int OpenDevice(cMidiRenderer* renderer = nullptr);
  void CloseDevice();
  bool IsOpen();

  int AddListFromFile(const std::string& path, int id);
  void ClearList();
  int Play(bool loop, int id);
  void Stop();
  void Pause();
  void Restart();
  void SetMasterVolume(int volume);  // -127..0
  cMidiPlayerStatus GetStatus();

  void Advance(int frames, int rate, cMidiSink& sink) override;

 private:
  std::mutex m_lock;
  cMidiRenderer* m_pRenderer = nullptr;
  std::map<int, std::shared_ptr<const cSmfSong>> m_songs;
  std::shared_ptr<const cSmfSong> m_pSong;
  int m_nSongId = -1;
  size_t m_nNext = 0;
  double m_dTick = 0;
  uint32_t m_nTempo = 500000;
  int32_t m_nState = 0;
  bool m_bLoop = false;
  cMidiSinkRequests m_requests{.gainChanged = true};
};
