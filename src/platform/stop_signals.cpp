#include "platform/stop_signals.h"

#include <csignal>

#include <atomic>

namespace {
// Lock-free, so that the handler may write them.
std::atomic<int> s_nPending{0};
std::atomic<int> s_nReceived{0};
static_assert(std::atomic<int>::is_always_lock_free);

void NoteStopSignal(int signal) {
  s_nPending.store(signal);
  s_nReceived.store(signal);
}
}  // namespace

void InstallStopSignals() {
  struct sigaction action = {};
  action.sa_handler = NoteStopSignal;
  sigemptyset(&action.sa_mask);
  // Once noted, the default action is back: a second signal ends a run whose close hangs.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int TakeStopSignal() { return s_nPending.exchange(0); }

int StopSignalReceived() { return s_nReceived.load(); }
