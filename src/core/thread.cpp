#include "core/thread.h"

#include <chrono>
#include <condition_variable>
#include <system_error>
#include <thread>

#include "core/log.h"
#include "platform/messages.h"

struct cThread::State {
  std::thread thread;
  std::mutex mutex;
  std::condition_variable changed;
  uint32_t threadId = 0;
  bool ready = false;
  bool published = false;  // the starting object knows the thread (or has let it go)
  bool ended = false;
  int suspendCount = 0;
  bool held = false;
  std::thread::id nativeId;  // set before the state is shared, never changed

  bool Ended() {
    std::lock_guard lock(mutex);
    return ended;
  }
  bool IsSelf() const { return nativeId == std::this_thread::get_id(); }
};

namespace {
// The state of the cThread that started the calling thread (kept alive by the thread itself).
thread_local cThread::State* t_state = nullptr;

// Waits in 1-ms polls until the thread has ended. Before each poll the caller answers what has been
// sent to it: the thread may be blocked in a send to its waiter. onPoll runs after every poll that
// did not see the end.
template <class OnPoll>
void waitForEnd(cThread::State& state, OnPoll onPoll) {
  for (;;) {
    HandleSentMessages();
    {
      std::unique_lock lock(state.mutex);
      if (state.changed.wait_for(lock, std::chrono::milliseconds(1), [&] { return state.ended; })) return;
    }
    onPoll();
  }
}
}  // namespace

cThread thGame;
cThread thPause;
cThread thRanking;
cThread thLoad;

cThread::~cThread() {
  // Global objects die at process exit; a thread still running then is left alone, never killed.
  std::shared_ptr<State> state = current();
  if (!state || !release(state) || !state->thread.joinable()) return;
  if (state->Ended() && !state->IsSelf()) {
    state->thread.join();
  } else {
    state->thread.detach();
  }
}

std::shared_ptr<cThread::State> cThread::current() const {
  std::lock_guard lock(m_mutex);
  return m_hThread;
}

bool cThread::release(const std::shared_ptr<State>& state) {
  std::lock_guard lock(m_mutex);
  if (m_hThread != state) return false;
  m_hThread.reset();
  m_dwThreadId = 0;
  return true;
}

bool cThread::HasThread() const { return current() != nullptr; }

uint32_t cThread::GetThreadId() const {
  std::lock_guard lock(m_mutex);
  return m_dwThreadId;
}

int cThread::Start(ThreadProc proc, void* arg) {
  if (!proc) return 0;
  if (std::shared_ptr<State> previous = current()) {
    if (!previous->Ended()) return 0;
    Join();
  }
  auto state = std::make_shared<State>();
  try {
    state->thread = std::thread([state, proc, arg] {
      t_state = state.get();
      EnsureMessageQueue();
      {
        std::lock_guard lock(state->mutex);
        state->threadId = GetCurrentThreadId();
        state->ready = true;
      }
      state->changed.notify_all();
      // The procedure starts only once the object holds the thread, so whoever asks the object
      // whether it runs (a close while a wait is on screen) sees it from the thread's first step.
      {
        std::unique_lock lock(state->mutex);
        state->changed.wait(lock, [&] { return state->published; });
      }
      proc(arg);
      ReleaseMessageQueue();
      t_state = nullptr;
      {
        std::lock_guard lock(state->mutex);
        state->ended = true;
      }
      state->changed.notify_all();
    });
  } catch (const std::system_error&) { return 0; }
  state->nativeId = state->thread.get_id();
  // Wait until the queue exists, so that messages posted right after Start arrive.
  uint32_t id;
  {
    std::unique_lock lock(state->mutex);
    state->changed.wait(lock, [&] { return state->ready; });
    id = state->threadId;
  }
  int started = 0;
  {
    std::lock_guard lock(m_mutex);
    if (m_hThread) {
      // Another thread started this object meanwhile: keep that one, let ours run on its own.
      state->thread.detach();
    } else {
      m_hThread = state;
      m_dwThreadId = id;
      started = 1;
    }
  }
  {
    std::lock_guard lock(state->mutex);
    state->published = true;
  }
  state->changed.notify_all();
  return started;
}

void cThread::Join() {
  std::shared_ptr<State> state = current();
  if (!state || state->IsSelf()) return;  // a thread cannot wait for itself
  waitForEnd(*state, [] {});
  if (release(state) && state->thread.joinable()) state->thread.join();
}

bool cThread::Suspend() {
  std::shared_ptr<State> state = current();
  if (!state) return true;
  std::lock_guard lock(state->mutex);
  ++state->suspendCount;
  return true;
}

bool cThread::Resume() {
  std::shared_ptr<State> state = current();
  if (!state) return true;
  {
    std::lock_guard lock(state->mutex);
    if (state->suspendCount > 0) --state->suspendCount;
  }
  state->changed.notify_all();
  return true;
}

bool cThread::IsHeld() const {
  std::shared_ptr<State> state = current();
  if (!state) return false;
  std::lock_guard lock(state->mutex);
  return state->held;
}

void cThread::Exit() {
  std::shared_ptr<State> state = current();
  if (!state) return;
  uint32_t id;
  {
    std::lock_guard lock(state->mutex);
    id = state->threadId;
  }
  // A held thread could never see the quit message: every poll lets it go again, also after a
  // Suspend made by a handler that answered one of its sends.
  auto askToQuit = [&] {
    {
      std::lock_guard lock(state->mutex);
      state->suspendCount = 0;
    }
    state->changed.notify_all();
    PostThreadMessage(id, WM_QUIT, 0, 0);
  };
  askToQuit();
  // Asked of itself, the quit message is all it can do: the thread ends when its loop sees it.
  if (state->IsSelf()) return;
  int polls = 0;
  waitForEnd(*state, [&] {
    askToQuit();
    // Never killed: a thread stopped in the middle of its work could leave a file half written or a
    // lock held, and whatever it uses is released only after it has ended. A long wait is reported.
    if (++polls == m_nExitPollLimit)
      ReportLogPrintf("thread %u has not ended %d ms after WM_QUIT; still waiting", id, polls);
  });
  if (release(state) && state->thread.joinable()) state->thread.join();
}

void cThread::SafePoint() {
  State* state = t_state;
  if (!state) return;
  std::unique_lock lock(state->mutex);
  if (state->suspendCount == 0) return;
  state->held = true;
  state->changed.notify_all();
  state->changed.wait(lock, [&] { return state->suspendCount == 0; });
  state->held = false;
}
