#include "platform/midi/midi_stream_out.h"

#include <cstring>

#include "platform/messages.h"
#include "platform/midi/midi_renderer.h"

namespace {
uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
}  // namespace

const char* MidiErrorText(int result) {
  switch (result) {
    case kMidiOk: return "no error";
    case kMidiErrInvalidParam: return "invalid parameter";
    case kMidiErrUnprepared: return "the buffer is not prepared";
    case kMidiErrStillPlaying: return "the buffer is still in the queue";
    case kMidiErrNoDevice: return "no MIDI synthesiser is available";
    case kMidiErrBadBuffer: return "the buffer is malformed";
    default: return "unknown error";
  }
}

cMidiStreamOut::cMidiStreamOut(uint32_t callbackThreadId, cMidiRenderer* renderer)
    : m_pRenderer(renderer), m_nCallbackThread(callbackThreadId) {}

std::unique_ptr<cMidiStreamOut> cMidiStreamOut::Open(uint32_t callbackThreadId, int* result, cMidiRenderer* renderer) {
  if (renderer == nullptr) renderer = cMidiRenderer::Shared();
  if (renderer == nullptr) {
    if (result != nullptr) *result = kMidiErrNoDevice;
    return nullptr;
  }
  std::unique_ptr<cMidiStreamOut> stream(new cMidiStreamOut(callbackThreadId, renderer));
  renderer->Attach(stream.get());
  if (result != nullptr) *result = kMidiOk;
  return stream;
}

cMidiStreamOut::~cMidiStreamOut() { m_pRenderer->Detach(this); }

int cMidiStreamOut::SetTimeDivision(uint32_t division) {
  if ((division & 0xFFFF) == 0) return kMidiErrInvalidParam;
  std::lock_guard<std::mutex> lock(m_lock);
  m_nDivision = division & 0xFFFF;
  return kMidiOk;
}

int cMidiStreamOut::PrepareHeader(MIDIHDR* header) {
  if (header == nullptr || header->lpData == nullptr) return kMidiErrInvalidParam;
  std::lock_guard<std::mutex> lock(m_lock);
  header->dwFlags |= MHDR_PREPARED;
  return kMidiOk;
}

int cMidiStreamOut::UnprepareHeader(MIDIHDR* header) {
  if (header == nullptr) return kMidiErrInvalidParam;
  std::lock_guard<std::mutex> lock(m_lock);
  if (header->dwFlags & MHDR_INQUEUE) return kMidiErrStillPlaying;
  header->dwFlags &= ~MHDR_PREPARED;
  return kMidiOk;
}

int cMidiStreamOut::Out(MIDIHDR* header) {
  if (header == nullptr || header->lpData == nullptr || header->dwBytesRecorded > header->dwBufferLength)
    return kMidiErrInvalidParam;
  std::lock_guard<std::mutex> lock(m_lock);
  if (!(header->dwFlags & MHDR_PREPARED)) return kMidiErrUnprepared;
  if (header->dwFlags & MHDR_INQUEUE) return kMidiErrStillPlaying;
  header->dwFlags = (header->dwFlags | MHDR_INQUEUE) & ~MHDR_DONE;
  header->dwOffset = 0;
  if (m_queue.empty()) {
    m_nReadOffset = 0;
    m_dTicksWaited = 0;
  }
  m_queue.push_back(header);
  return kMidiOk;
}

int cMidiStreamOut::Restart() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_bPlaying = true;
  return kMidiOk;
}

int cMidiStreamOut::Pause() {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_bPlaying) m_requests.silence = true;
  m_bPlaying = false;
  return kMidiOk;
}

void cMidiStreamOut::ReturnAllHeaders() {
  for (MIDIHDR* header : m_queue) header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
  m_queue.clear();
  m_nReadOffset = 0;
  m_dTicksWaited = 0;
  m_dMicrosPending = 0;
}

int cMidiStreamOut::Stop() {
  std::lock_guard<std::mutex> lock(m_lock);
  ReturnAllHeaders();
  m_bPlaying = false;
  m_requests.silence = true;
  m_nTicks = 0;
  m_nTempo = 500000;
  return kMidiOk;
}

int cMidiStreamOut::Reset() { return Stop(); }

bool cMidiStreamOut::IsPlaying() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_bPlaying;
}

bool cMidiStreamOut::IsInQueue(const MIDIHDR* header) {
  std::lock_guard<std::mutex> lock(m_lock);
  return header != nullptr && (header->dwFlags & MHDR_INQUEUE) != 0;
}

void cMidiStreamOut::SetMasterGain(float gain) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_requests.SetGain(gain < 0 ? 0 : gain > 1 ? 1 : gain);
}

uint64_t cMidiStreamOut::CallbacksPosted() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_nCallbacksPosted;
}

uint64_t cMidiStreamOut::TicksPlayed() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_nTicks;
}

bool cMidiStreamOut::PlayEvent(MIDIHDR* header, cMidiSink& sink) {
  const uint8_t* p = header->lpData + m_nReadOffset;
  const uint32_t eventOffset = m_nReadOffset;
  const uint32_t event = Le32(p + 8);
  uint32_t size = 12;
  const uint32_t type = (event >> 24) & 0xBF;  // without the callback flag
  if (event & MEVT_F_LONG) {
    const uint32_t length = event & 0x00FFFFFF;
    const uint32_t padded = (length + 3) & ~3u;
    if (padded > header->dwBytesRecorded - m_nReadOffset - 12) return false;
    if (type == MEVT_LONGMSG) sink.LongMessage(p + 12, length);
    size += padded;
  } else if (type == MEVT_SHORTMSG) {
    const uint32_t status = event & 0xFF;
    // Only channel messages reach the synthesiser: a lone FF would be a system reset.
    if (status >= 0x80 && status < 0xF0) sink.ShortMessage(event & 0x00FFFFFF);
  } else if (type == MEVT_TEMPO) {
    const uint32_t tempo = event & 0x00FFFFFF;
    if (tempo != 0) m_nTempo = tempo;
  }
  m_nReadOffset += size;
  if (m_nReadOffset + 12 > header->dwBytesRecorded) {
    // The buffer's last event: hand the buffer back before telling the caller, so a callback can
    // refill it at once.
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    m_queue.pop_front();
    m_nReadOffset = 0;
    m_dTicksWaited = 0;
  }
  if (event & MEVT_F_CALLBACK) {
    header->dwOffset = eventOffset;
    if (m_nCallbackThread != 0 &&
        PostThreadMessage(m_nCallbackThread, MM_MOM_POSITIONCB, 0, reinterpret_cast<LPARAM>(header)))
      ++m_nCallbacksPosted;
  }
  return true;
}

void cMidiStreamOut::Advance(int frames, int rate, cMidiSink& sink) {
  std::lock_guard<std::mutex> lock(m_lock);
  // A newly opened stream starts from the defaults, not from what the previous song left set on
  // the shared synthesiser.
  m_requests.SendTo(sink);
  if (!m_bPlaying || rate <= 0 || frames <= 0) return;
  m_dMicrosPending += frames * 1e6 / rate;
  while (!m_queue.empty()) {
    MIDIHDR* header = m_queue.front();
    if (m_nReadOffset + 12 > header->dwBytesRecorded) {
      // Buffer played (or too short to hold another event): hand it back and go on.
      header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
      m_queue.pop_front();
      m_nReadOffset = 0;
      m_dTicksWaited = 0;
      continue;
    }
    const uint32_t delta = Le32(header->lpData + m_nReadOffset);
    const double perTick = MidiMicrosPerTick(static_cast<uint16_t>(m_nDivision), m_nTempo);
    const double ticksLeft = delta - m_dTicksWaited;
    const double microsNeeded = ticksLeft * perTick;
    if (m_dMicrosPending + 1e-6 < microsNeeded) {
      const double ticks = m_dMicrosPending / perTick;
      m_dTicksWaited += ticks;
      m_dMicrosPending = 0;
      return;
    }
    m_dMicrosPending -= microsNeeded;
    if (m_dMicrosPending < 0) m_dMicrosPending = 0;
    m_nTicks += delta;
    m_dTicksWaited = 0;
    if (!PlayEvent(header, sink)) {
      // A malformed event: drop the rest of this buffer.
      header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
      m_queue.pop_front();
      m_nReadOffset = 0;
      m_dTicksWaited = 0;
    }
  }
  // Nothing queued: the clock stands still until more events arrive.
  m_dMicrosPending = 0;
}
