#pragma once
// A MIDI output stream: the caller queues buffers of timed events (short channel messages, long
// system-exclusive messages, tempo changes, no-ops), the stream plays them in order on the shared
// synthesiser, timed in ticks of its time division at the current tempo, and tells the caller's
// callback thread (a thread message) when an event marked for a callback has played.
// Stop and reset hand every queued buffer back and silence all notes; pause silences them too.
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/midi/midi_playback.h"
#include "platform/midi/midi_sink.h"

class cMidiRenderer;

// A buffer of stream events handed to the stream.
struct MIDIHDR {
  uint8_t* lpData = nullptr;
  uint32_t dwBufferLength = 0;
  uint32_t dwBytesRecorded = 0;
  uintptr_t dwUser = 0;
  uint32_t dwFlags = 0;
  uint32_t dwOffset = 0;  // offset of the event that asked for the last callback
};
constexpr uint32_t MHDR_DONE = 0x1;
constexpr uint32_t MHDR_PREPARED = 0x2;
constexpr uint32_t MHDR_INQUEUE = 0x4;

// A stream event is three little-endian uint32: delta ticks, stream id, event word; a long event
// follows with its parameter bytes padded to a multiple of four.
constexpr uint32_t MEVT_F_LONG = 0x80000000u;
constexpr uint32_t MEVT_F_CALLBACK = 0x40000000u;
constexpr uint32_t MEVT_SHORTMSG = 0x00;
constexpr uint32_t MEVT_TEMPO = 0x01;
constexpr uint32_t MEVT_NOP = 0x02;
constexpr uint32_t MEVT_LONGMSG = 0x80;

// The thread message telling the callback thread that a callback event played; lParam = the MIDIHDR.
constexpr uint32_t MM_MOM_POSITIONCB = 970;

// Results.
constexpr int kMidiOk = 0;
constexpr int kMidiErrInvalidParam = 11;
constexpr int kMidiErrUnprepared = 64;
constexpr int kMidiErrStillPlaying = 65;
constexpr int kMidiErrNoDevice = 68;
constexpr int kMidiErrBadBuffer = 66;

// The text of a result, for the callers' error lines.
const char* MidiErrorText(int result);

class cMidiStreamOut : public cMidiSequencer {
 public:
  // Opens a stream on the renderer (the shared one when null). Null with kMidiErrNoDevice in *result
  // when there is no synthesiser. Callbacks are posted to callbackThreadId (0: none).
  static std::unique_ptr<cMidiStreamOut> Open(uint32_t callbackThreadId, int* result,
                                              cMidiRenderer* renderer = nullptr);
  ~cMidiStreamOut() override;  // leaves the renderer first, then frees

  int SetTimeDivision(uint32_t division);  // ticks per quarter note, or SMPTE (top byte negative)
  int PrepareHeader(MIDIHDR* header);
  int UnprepareHeader(MIDIHDR* header);
  int Out(MIDIHDR* header);
  int Restart();  // play, or resume after a pause
  int Pause();
  int Stop();   // hand back every buffer, silence, back to tick 0 (stays stopped)
  int Reset();  // the same as Stop for a stream

  bool IsPlaying();
  bool IsInQueue(const MIDIHDR* header);  // read under the stream's lock
  uint64_t TicksPlayed();
  uint64_t CallbacksPosted();      // position callbacks sent so far
  void SetMasterGain(float gain);  // 0..1, applied by the sink at the next slice

  void Advance(int frames, int rate, cMidiSink& sink) override;

 private:
  cMidiStreamOut(uint32_t callbackThreadId, cMidiRenderer* renderer);
  void ReturnAllHeaders();
  // Plays the event at the front buffer's offset; false when the buffer is malformed.
  bool PlayEvent(MIDIHDR* header, cMidiSink& sink);

  std::mutex m_lock;
  cMidiRenderer* m_pRenderer;
  uint32_t m_nCallbackThread;
  std::deque<MIDIHDR*> m_queue;
  uint32_t m_nReadOffset = 0;   // offset in the front buffer
  double m_dTicksWaited = 0;    // ticks already waited for the next event
  double m_dMicrosPending = 0;  // time not yet spent on events
  uint32_t m_nDivision = 96;
  uint32_t m_nTempo = 500000;  // microseconds per quarter note
  uint64_t m_nTicks = 0;
  uint64_t m_nCallbacksPosted = 0;
  bool m_bPlaying = false;
  cMidiSinkRequests m_requests{.resetChannels = true};  // channels to the defaults before the first event
};
