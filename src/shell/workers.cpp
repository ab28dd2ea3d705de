#include "shell/workers.h"

#include "core/log.h"
#include "core/thread.h"
#include "platform/clock.h"
#include "shell/game_loop.h"

void SuspendWorkers() {
  thGame.Suspend();
  thPause.Suspend();
  thRanking.Suspend();
  thLoad.Suspend();
}

void ResumeWorkers() {
  thGame.Resume();
  thPause.Resume();
  thRanking.Resume();
  thLoad.Resume();
}

bool PauseThreadRunning() { return thPause.HasThread(); }
uint32_t PauseThreadId() { return thPause.GetThreadId(); }

void ExitWorkers() {
  thLoad.Exit();
  thPause.Exit();
  thRanking.Exit();
  ECLogPuts("thPause.Exit()");
  thGame.Exit();
  ECLogPuts("thGame.Exit()");
}

bool StartGameThread() {
  if (!thGame.Start(GameLoop, nullptr)) return false;
  // The start message proves the thread's queue exists, so a later WM_QUIT from Exit arrives. The
  // queue is made before Start returns; the bound only guards against a thread that never gets one.
  for (int tries = 0; tries < 10000; ++tries) {
    if (PostThreadMessage(thGame.GetThreadId(), WM_APP, 0, 0)) return true;
    QcSleep(0);
  }
  return false;
}
