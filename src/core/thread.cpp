#include "core/thread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
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
  bool ended = false;
  int suspendCount = 0;
  bool held = false;
};

namespace {
// The state of the cThread that started the calling thread (kept alive by the thread itself).
thread_local cThread::State* t_state = nullptr;
}  // namespace

cThread thGame;
cThread thPause;
cThread thRanking;
cThread thLoad;

cThread::~cThread() {
  // Global objects die at process exit; a thread still running then is left alone, never killed.
  if (m_hThread && m_hThread->thread.joinable()) {
    bool ended;
    {
      std::lock_guard lock(m_hThread->mutex);
      ended = m_hThread->ended;
    }
    if (ended && m_hThread->thread.get_id() != std::this_thread::get_id()) {
      m_hThread->thread.join();
    } else {
      m_hThread->thread.detach();
    }
  }
}

int cThread::Start(ThreadProc proc, void* arg) {
  if (!proc) return 0;
  if (m_hThread) {
    bool ended;
    {
      std::lock_guard lock(m_hThread->mutex);
      ended = m_hThread->ended;
    }
    if (!ended) return 0;
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
      proc(arg);
      ReleaseMessageQueue();
      t_state = nullptr;
      {
        std::lock_guard lock(state->mutex);
        state->ended = true;
      }
      state->changed.notify_all();
    });
  } catch (const std::system_error&) {
    return 0;
  }
  // Wait until the queue exists, so that messages posted right after Start arrive.
  std::unique_lock lock(state->mutex);
  state->changed.wait(lock, [&] { return state->ready; });
  m_dwThreadId = state->threadId;
  lock.unlock();
  m_hThread = std::move(state);
  return 1;
}

void cThread::Join() {
  if (!m_hThread) return;
  if (m_hThread->thread.get_id() == std::this_thread::get_id()) return;  // a thread cannot wait for itself
  {
    std::unique_lock lock(m_hThread->mutex);
    m_hThread->changed.wait(lock, [&] { return m_hThread->ended; });
  }
  if (m_hThread->thread.joinable()) m_hThread->thread.join();
  m_hThread.reset();
  m_dwThreadId = 0;
}

bool cThread::Suspend() {
  if (!m_hThread) return true;
  std::lock_guard lock(m_hThread->mutex);
  ++m_hThread->suspendCount;
  return true;
}

bool cThread::Resume() {
  if (!m_hThread) return true;
  {
    std::lock_guard lock(m_hThread->mutex);
    if (m_hThread->suspendCount > 0) --m_hThread->suspendCount;
  }
  m_hThread->changed.notify_all();
  return true;
}

bool cThread::IsHeld() const {
  if (!m_hThread) return false;
  std::lock_guard lock(m_hThread->mutex);
  return m_hThread->held;
}

void cThread::Exit() {
  if (!m_hThread) return;
  std::shared_ptr<State> state = m_hThread;
  {
    std::lock_guard lock(state->mutex);
    state->suspendCount = 0;
  }
  state->changed.notify_all();
  if (state->thread.get_id() == std::this_thread::get_id()) {
    // Asked of itself: the quit message is all it can do; the thread ends when its loop sees it.
    PostThreadMessage(m_dwThreadId, WM_QUIT, 0, 0);
    return;
  }
  PostThreadMessage(m_dwThreadId, WM_QUIT, 0, 0);
  int polls = 0;
  for (;;) {
    {
      std::unique_lock lock(state->mutex);
      if (state->changed.wait_for(lock, std::chrono::milliseconds(1), [&] { return state->ended; })) break;
    }
    PostThreadMessage(m_dwThreadId, WM_QUIT, 0, 0);
    if (++polls >= m_nExitPollLimit) {
      // Never killed: a thread stopped in the middle of its work could leave a file half written or a
      // lock held. It keeps running on its own; its state lives as long as it does.
      ReportLogPrintf("thread %u did not end on WM_QUIT within %d ms; left running", m_dwThreadId, polls);
      state->thread.detach();
      m_hThread.reset();
      m_dwThreadId = 0;
      return;
    }
  }
  if (state->thread.joinable()) state->thread.join();
  m_hThread.reset();
  m_dwThreadId = 0;
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
