#pragma once
// The own MIDI player: a converted file streamed through two 24000-byte buffers of stream events,
// refilled by the player's callback thread as the stream hands them back; at the end of the track it
// rewinds and, when looping, plays again.
#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media/sound/smf.h"
#include "platform/midi/midi_stream_out.h"

class cMidiRenderer;
struct MIDISLOT;

class cMidiStream : public cSmf {
 public:
  static constexpr int kHeaderCount = 2;
  static constexpr uint32_t kBufferSize = 24000;

  // LoadSmf, then OpenMidiStream when the image exists. renderer: where the stream plays (the shared
  // synthesiser when null).
  explicit cMidiStream(const char* path, cMidiRenderer* renderer = nullptr);
  ~cMidiStream() override;  // ends and joins the callback thread before anything is freed

  void FillMidiBuffer();
  void RestartMidiStream(int loop);  // play or resume
  void StopMidiStream(int pause);    // 1 pause; 0 stop, rewind and queue the first buffer again
  void SetVolume(int percent);
  // Waits until the callback thread has handled every callback the stream has sent so far, so that
  // the refills and the restart at the end of the track are in place before more is played.
  void WaitForCallbacks();

  int State();
  size_t ReadOffset();
  uint32_t CallbackThreadId() const { return m_nThreadId; }
  uint64_t CallbacksHandled() const { return m_nCallbacksHandled.load(); }
  cMidiStreamOut* Stream() { return m_pStream.get(); }

 private:
  void OpenMidiStream(cMidiRenderer* renderer);
  void ThreadMain(std::promise<uint32_t>* started);
  void OnPositionCallback(MIDIHDR* header);
  void Report(const char* what, int result);

  std::recursive_mutex m_lock;
  int32_t m_nNextHeader = 0;
  std::unique_ptr<cMidiStreamOut> m_pStream;
  MIDIHDR m_Headers[kHeaderCount];
  std::vector<uint8_t> m_Buffers[kHeaderCount];
  uint32_t m_nBufferSize = kBufferSize;
  size_t m_nReadOffset = kSmfImageHeader;
  int32_t m_nState = 0;  // 0 stopped, 1 playing, 2 paused
  std::thread m_Thread;
  std::atomic<uint32_t> m_nThreadId{0};
  std::atomic<bool> m_bThreadEnded{false};
  int32_t m_bLoop = 0;
  std::atomic<uint64_t> m_nCallbacksHandled{0};
};

// The music manager's stream players, one per channel.
using tMidiStreams = std::vector<std::unique_ptr<cMidiStream>>;
// Pauses every player, deletes them all, then plays entry's file on the channel. 0 when the path's
// extension is not exactly "mid" or the file has no image.
int PlayMidiStream(tMidiStreams& players, int channel, const MIDISLOT* entry, int loop,
                   cMidiRenderer* renderer = nullptr);
// Pause (1) or stop and rewind (0) every player.
void StopMidiStreams(tMidiStreams& players, int pause);
// WaitForCallbacks of every player.
void WaitForMidiStreamCallbacks(tMidiStreams& players);
