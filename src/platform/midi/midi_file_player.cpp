#include "platform/midi/midi_file_player.h"

#include <algorithm>

#include "platform/midi/midi_renderer.h"

cMidiFilePlayer::cMidiFilePlayer() = default;

cMidiFilePlayer::~cMidiFilePlayer() { CloseDevice(); }

int cMidiFilePlayer::OpenDevice(cMidiRenderer* renderer) {
  if (renderer == nullptr) renderer = cMidiRenderer::Shared();
  if (renderer == nullptr) return kMidiPlayerNoDevice;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_pRenderer != nullptr) return kMidiPlayerOk;
    m_pRenderer = renderer;
  }
  renderer->Attach(this);
  return kMidiPlayerOk;
}

void cMidiFilePlayer::CloseDevice() {
  cMidiRenderer* renderer;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    renderer = m_pRenderer;
    m_pRenderer = nullptr;
    if (m_nState != 0) m_requests.silence = true;
    m_nState = 0;
    m_pSong.reset();
    m_songs.clear();
  }
  if (renderer != nullptr) renderer->Detach(this);
}

bool cMidiFilePlayer::IsOpen() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_pRenderer != nullptr;
}

int cMidiFilePlayer::AddListFromFile(const std::string& path, int id) {
  auto song = std::make_shared<cSmfSong>();
  if (!LoadSmfSong(path, *song)) return kMidiPlayerBadFile;
  std::lock_guard<std::mutex> lock(m_lock);
  m_songs[id] = std::move(song);
  return kMidiPlayerOk;
}

void cMidiFilePlayer::ClearList() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_songs.clear();
}

int cMidiFilePlayer::Play(bool loop, int id) {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_pRenderer == nullptr) return kMidiPlayerNoDevice;
  auto it = m_songs.find(id);
  if (it == m_songs.end()) return kMidiPlayerNoSong;
  m_pSong = it->second;
  m_nSongId = id;
  m_nNext = 0;
  m_dTick = 0;
  m_nTempo = 500000;
  m_bLoop = loop;
  m_nState = 1;
  m_requests.silence = true;
  m_requests.resetChannels = true;
  return kMidiPlayerOk;
}

void cMidiFilePlayer::Stop() {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_nState != 0) m_requests.silence = true;
  m_nState = 0;
  m_nNext = 0;
  m_dTick = 0;
}

void cMidiFilePlayer::Pause() {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_nState == 1) {
    m_nState = 2;
    m_requests.silence = true;
  }
}

void cMidiFilePlayer::Restart() {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_nState == 2) m_nState = 1;
}

void cMidiFilePlayer::SetMasterVolume(int volume) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_requests.SetGain((std::clamp(volume, -127, 0) + 127) / 127.0f);
}

cMidiPlayerStatus cMidiFilePlayer::GetStatus() {
  std::lock_guard<std::mutex> lock(m_lock);
  cMidiPlayerStatus status;
  status.state = m_nState;
  status.songId = m_nSongId;
  status.tick = static_cast<int32_t>(m_dTick);
  return status;
}

void cMidiFilePlayer::Advance(int frames, int rate, cMidiSink& sink) {
  std::lock_guard<std::mutex> lock(m_lock);
  // A new song starts from the General MIDI defaults, whatever the last one left behind.
  m_requests.SendTo(sink);
  if (m_nState != 1 || !m_pSong || rate <= 0) return;
  double micros = frames * 1e6 / rate;
  const auto& events = m_pSong->events;
  while (micros > 0) {
    const double perTick = MidiMicrosPerTick(m_pSong->division, m_nTempo);
    const double target =
        m_nNext < events.size() ? static_cast<double>(events[m_nNext].tick) : static_cast<double>(m_pSong->endTick);
    const double needed = (target - m_dTick) * perTick;
    if (needed > micros) {
      m_dTick += micros / perTick;
      return;
    }
    micros -= std::max(0.0, needed);
    m_dTick = target;
    if (m_nNext < events.size()) {
      const cSmfEvent& ev = events[m_nNext++];
      const uint8_t* bytes = m_pSong->Bytes(ev);
      const uint8_t status = bytes[0];
      if (status == 0xFF) {
        if (ev.length >= 5 && bytes[1] == 0x51) {
          const uint32_t tempo = (bytes[2] << 16) | (bytes[3] << 8) | bytes[4];
          if (tempo != 0) m_nTempo = tempo;
        }
      } else if (status == 0xF0) {
        sink.LongMessage(bytes, ev.length);
      } else if (status < 0xF0) {
        uint32_t packed = status;
        if (ev.length > 1) packed |= bytes[1] << 8;
        if (ev.length > 2) packed |= bytes[2] << 16;
        sink.ShortMessage(packed);
      }
      continue;
    }
    // The end of the song.
    sink.AllNotesOff();
    if (!m_bLoop || (m_pSong->endTick == 0 && events.empty())) {
      m_nState = 0;
      m_nNext = 0;
      m_dTick = 0;
      return;
    }
    m_nNext = 0;
    m_dTick = 0;
    m_nTempo = 500000;
    if (m_pSong->endTick == 0) return;  // a song without length would loop forever in one slice
  }
}
