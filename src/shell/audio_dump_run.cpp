#include "shell/audio_dump_run.h"

#include <atomic>

#include "media/sound/bgm_player.h"
#include "platform/audio/audio_dump.h"
#include "platform/midi/midi_renderer.h"

namespace {
// Started before the game thread runs and finished after it has ended; in between only that thread
// pulls.
cAudioDump& Dump() {
  static cAudioDump dump;
  return dump;
}
std::atomic<bool> s_bRunning{false};

// The music manager's own MIDI players react to what was played on their callback threads; each
// piece of the pull waits for them, so the run sounds the same however those threads are scheduled.
void SettleMusic() { g_BgmPlayer.SettleMidi(); }
}  // namespace

bool StartAudioDump(const std::string& hostPath, std::string* why) {
  if (!Dump().Open(hostPath, why)) return false;
  cMidiRenderer::SharedLoaded();
  Dump().SetSettle(SettleMusic);
  s_bRunning = true;
  return true;
}

bool AudioDumpRunning() { return s_bRunning.load(); }

void PullAudioDumpFrame() {
  if (s_bRunning.load()) Dump().PullFrame();
}

bool FinishAudioDump(std::string* why) {
  if (!s_bRunning.exchange(false)) return true;
  return Dump().Finish(why);
}
