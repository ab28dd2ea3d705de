#include "media/sound/midi_stream.h"

#include <cstring>

#include "core/log.h"
#include "media/sound/music_slots.h"
#include "platform/messages.h"
#include "platform/midi/midi_bytes.h"

namespace {

void PutLe32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}
uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

// The end of the track travels as a no-op that asks for a callback, so it reaches the player's
// thread but never the synthesiser (a lone FF there would be a full reset).
constexpr uint32_t kEndOfTrackEvent = MEVT_F_CALLBACK | (MEVT_NOP << 24) | 0x002FFF;

bool IsEndOfTrack(uint32_t word) { return (word & 0x00FFFFFF) == 0x002FFF && ((word >> 24) & 0x3F) == MEVT_NOP; }

}  // namespace

cMidiStream::cMidiStream(const char* path, cMidiRenderer* renderer) : cSmf(path) {
  if (HasImage()) OpenMidiStream(renderer);
}

cMidiStream::~cMidiStream() {
  // The callback thread must be gone before the stream and the buffers it reads are freed.
  if (m_Thread.joinable()) {
    const uint32_t id = m_nThreadId.load();
    // A thread that already left its loop (a stray WM_QUIT) has no queue to post to any more.
    while (!m_bThreadEnded.load() && !PostThreadMessage(id, WM_QUIT, 0, 0)) std::this_thread::yield();
    m_Thread.join();
  }
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (m_pStream) {
    if (int r = m_pStream->Reset(); r != kMidiOk) Report("Reset", r);
    for (MIDIHDR& header : m_Headers)
      if (header.lpData != nullptr)
        if (int r = m_pStream->UnprepareHeader(&header); r != kMidiOk) Report("Unprepare", r);
    m_pStream.reset();
  }
}

void cMidiStream::Report(const char* what, int result) {
  LogPrintf("Midi %s %s %s", m_strName.c_str(), what, MidiErrorText(result));
}

void cMidiStream::ThreadMain(std::promise<uint32_t>* started) {
  EnsureMessageQueue();
  started->set_value(GetCurrentThreadId());
  MSG msg;
  while (GetMessage(&msg)) {
    if (msg.message == MM_MOM_POSITIONCB) {
      OnPositionCallback(reinterpret_cast<MIDIHDR*>(msg.lParam));
      ++m_nCallbacksHandled;
    }
  }
  m_bThreadEnded = true;
  ReleaseMessageQueue();
}

void cMidiStream::OpenMidiStream(cMidiRenderer* renderer) {
  for (int i = 0; i < kHeaderCount; ++i) {
    m_Buffers[i].assign(m_nBufferSize, 0);
    m_Headers[i] = MIDIHDR{};
    m_Headers[i].lpData = m_Buffers[i].data();
    m_Headers[i].dwBufferLength = m_nBufferSize;
    m_Headers[i].dwUser = static_cast<uintptr_t>(i);
  }
  m_nNextHeader = 0;
  // The thread has its queue before the stream can post to it.
  std::promise<uint32_t> started;
  std::future<uint32_t> id = started.get_future();
  m_Thread = std::thread(&cMidiStream::ThreadMain, this, &started);
  m_nThreadId = id.get();

  int result = kMidiOk;
  m_pStream = cMidiStreamOut::Open(m_nThreadId.load(), &result, renderer);
  if (!m_pStream) {
    LogPrintf("Midi %s Open %s", m_strName.c_str(), MidiErrorText(result));
    return;
  }
  if (int r = m_pStream->SetTimeDivision(Division()); r != kMidiOk) Report("Property", r);
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  m_nReadOffset = kSmfImageHeader;
  m_nState = 0;
  FillMidiBuffer();
}

void cMidiStream::FillMidiBuffer() {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (!m_pStream || !HasImage()) return;
  const size_t end = TrackEnd();
  if (m_nReadOffset >= end) return;
  MIDIHDR& header = m_Headers[m_nNextHeader];
  if (m_pStream->IsInQueue(&header)) return;

  uint8_t* out = m_Buffers[m_nNextHeader].data();
  const uint8_t* img = m_Image.data();
  uint32_t written = 0;
  uint32_t lastEvent = 0;
  size_t at = m_nReadOffset;
  while (at < end) {
    size_t p = at;
    uint32_t delta = 0;
    if (!ReadVarLen(img, end, p, delta) || p >= end) {
      at = end;
      break;
    }
    const uint8_t status = img[p++];
    uint32_t word = 0;
    const uint8_t* longData = nullptr;
    uint32_t longLength = 0;
    bool endOfTrack = false;
    if (status == 0xF0 || status == 0xF7) {
      uint32_t len;
      if (!ReadBodyLength(img, end, p, len)) {
        at = end;
        break;
      }
      longData = img + p;
      longLength = len;
      p += len;
      word = MEVT_F_LONG | (len + 1);
    } else if (status == 0xFF) {
      if (p >= end) {
        at = end;
        break;
      }
      const uint8_t type = img[p++];
      uint32_t len;
      if (!ReadBodyLength(img, end, p, len)) {
        at = end;
        break;
      }
      if (type == 0x51 && len >= 3) {
        word = (MEVT_TEMPO << 24) | (img[p] << 16) | (img[p + 1] << 8) | img[p + 2];
      } else if (type == 0x2F) {
        word = kEndOfTrackEvent;
        endOfTrack = true;
      } else {
        word = MEVT_NOP << 24;  // other meta events only keep their time
      }
      p += len;
    } else if (status >= 0xC0 && status <= 0xDF) {
      if (p + 1 > end) {
        at = end;
        break;
      }
      word = status | (img[p] << 8);
      p += 1;
    } else {
      if (p + 2 > end) {
        at = end;
        break;
      }
      word = status | (img[p] << 8) | (img[p + 1] << 16);
      p += 2;
    }
    uint32_t size = 12;
    if (longData != nullptr) size += (longLength + 1 + 3) & ~3u;
    if (written + size > m_nBufferSize) {
      if (written != 0) break;
      // A message larger than a whole buffer cannot be sent; its time is kept.
      word = MEVT_NOP << 24;
      longData = nullptr;
      size = 12;
    }
    uint8_t* e = out + written;
    PutLe32(e, delta);
    PutLe32(e + 4, 0);
    PutLe32(e + 8, word);
    if (longData != nullptr) {
      e[12] = status;
      std::memcpy(e + 13, longData, longLength);
      std::memset(e + 13 + longLength, 0, size - 13 - longLength);
    }
    lastEvent = written;
    written += size;
    at = p;
    if (endOfTrack) break;
  }
  if (written == 0) {
    m_nReadOffset = at;
    return;
  }
  PutLe32(out + lastEvent + 8, Le32(out + lastEvent + 8) | MEVT_F_CALLBACK);
  header.dwBytesRecorded = written;
  header.dwBufferLength = m_nBufferSize;
  header.dwFlags = 0;
  header.dwOffset = 0;
  m_nReadOffset = at;
  if (int r = m_pStream->PrepareHeader(&header); r != kMidiOk) Report("Prepare", r);
  if (int r = m_pStream->Out(&header); r != kMidiOk) Report("Out", r);
  m_nNextHeader = (m_nNextHeader + 1) % kHeaderCount;
}

void cMidiStream::OnPositionCallback(MIDIHDR* header) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (header != &m_Headers[0] && header != &m_Headers[1]) return;
  if (header->dwOffset + 12 > header->dwBytesRecorded) return;
  const uint32_t word = Le32(header->lpData + header->dwOffset + 8);
  if (IsEndOfTrack(word)) {
    // Only a song that was playing starts again: an end that arrives just after a stop or a pause
    // from the user-interface thread rewinds it but leaves it silent.
    const bool wasPlaying = m_nState == 1;
    StopMidiStream(0);
    if (m_bLoop && wasPlaying) RestartMidiStream(1);
  } else if (m_nReadOffset < TrackEnd()) {
    FillMidiBuffer();
  }
}

void cMidiStream::RestartMidiStream(int loop) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (!HasImage()) return;
  m_bLoop = loop;
  if (m_nState == 1) return;
  if (m_pStream)
    if (int r = m_pStream->Restart(); r != kMidiOk) Report("Restart", r);
  const int previous = m_nState;
  m_nState = 1;
  if (previous == 2) return;
  if (m_nReadOffset < TrackEnd()) FillMidiBuffer();
}

void cMidiStream::StopMidiStream(int pause) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (!HasImage()) return;
  if (pause == 0) {
    if (m_pStream)
      if (int r = m_pStream->Stop(); r != kMidiOk) Report("Stop", r);
    m_nState = 0;
    m_nReadOffset = kSmfImageHeader;
    FillMidiBuffer();
  } else if (m_nState == 1) {
    if (m_pStream)
      if (int r = m_pStream->Pause(); r != kMidiOk) Report("Pause", r);
    m_nState = 2;
  }
}

void cMidiStream::SetVolume(int percent) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (m_pStream) m_pStream->SetMasterGain(percent < 0 ? 0.0f : percent > 100 ? 1.0f : percent / 100.0f);
}

void cMidiStream::WaitForCallbacks() {
  if (!m_pStream) return;
  // A thread that has left its loop handles nothing more.
  while (m_nCallbacksHandled.load() < m_pStream->CallbacksPosted() && !m_bThreadEnded.load()) std::this_thread::yield();
}

int cMidiStream::State() {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return m_nState;
}

size_t cMidiStream::ReadOffset() {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return m_nReadOffset;
}

int PlayMidiStream(tMidiStreams& players, int channel, const MIDISLOT* entry, int loop, cMidiRenderer* renderer) {
  StopMidiStreams(players, 1);
  for (auto& player : players) player.reset();
  if (entry == nullptr || channel < 0 || channel >= static_cast<int>(players.size())) return 0;
  const char* ext = PathExtension(entry->path);
  if (ext == nullptr || std::strcmp(ext, "mid") != 0) return 0;
  players[channel] = std::make_unique<cMidiStream>(entry->path, renderer);
  if (!players[channel]->HasImage()) return 0;
  players[channel]->SetVolume(entry->volume);
  players[channel]->RestartMidiStream(loop);
  return 1;
}

void StopMidiStreams(tMidiStreams& players, int pause) {
  for (auto& player : players)
    if (player) player->StopMidiStream(pause);
}

void WaitForMidiStreamCallbacks(tMidiStreams& players) {
  for (auto& player : players)
    if (player) player->WaitForCallbacks();
}
