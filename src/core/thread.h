#pragma once
// The program's worker threads. Each runs with its own message queue (platform/messages.h), so other
// threads can post to it by its id, and it ends when its procedure returns (on WM_QUIT).
//
// Suspension is cooperative: Suspend asks, and the thread stops at its next safe point, which the
// frame loops mark by calling cThread::SafePoint() once per pass. No thread is ever killed: Exit asks
// with WM_QUIT and waits until the thread has ended, so that whatever the thread uses can be freed
// afterwards. A thread that waits for another (Exit, Join) keeps answering the messages that one sends
// it, so a thread blocked in a send to its waiter still gets its answer and ends.
#include <cstdint>
#include <memory>
#include <mutex>

using ThreadProc = unsigned (*)(void* arg);

class cThread {
 public:
  cThread() = default;
  cThread(const cThread&) = delete;
  cThread& operator=(const cThread&) = delete;
  ~cThread();

  // Starts proc(arg) on a new thread with its message queue ready; 1, or 0 when the thread cannot be
  // created or this object's previous thread still runs.
  int Start(ThreadProc proc, void* arg);
  // Waits until the thread has ended (answering what it sends meanwhile) and forgets it. Nothing to
  // do without a thread.
  void Join();
  // Asks the thread to stop at its next safe point / lets it go on. Calls nest (each Suspend needs a
  // Resume). True, also when there is no thread.
  bool Suspend();
  bool Resume();
  // Resumes the thread, posts WM_QUIT and polls every 1 ms until it has ended: each poll answers what
  // the thread has sent to the caller, resumes it and posts WM_QUIT again. Once the poll limit passes
  // it writes a report-log line and goes on waiting. Asked of itself, it only posts WM_QUIT.
  void Exit();

  bool HasThread() const;
  uint32_t GetThreadId() const;
  // True while the thread is stopped at a safe point.
  bool IsHeld() const;
  // Polls of Exit before it reports a thread that has not ended yet (200 by default, about 200 ms).
  void SetExitPollLimit(int polls) { m_nExitPollLimit = polls; }

  // Called by a worker thread where it may be held: waits there while its cThread is suspended.
  // Does nothing on a thread not started by a cThread.
  static void SafePoint();

  struct State;

 private:
  std::shared_ptr<State> current() const;
  // Forgets the thread when it is still this object's; true for the caller that did (it alone joins
  // or detaches the thread).
  bool release(const std::shared_ptr<State>& state);

  // The object may be used from two threads at once (the user-interface thread's Exit while the game
  // thread joins), so the handle is only read and changed under this lock.
  mutable std::mutex m_mutex;
  std::shared_ptr<State> m_hThread;
  uint32_t m_dwThreadId = 0;
  int m_nExitPollLimit = 200;
};

extern cThread thGame;     // runs the game's frame loop
extern cThread thPause;    // runs the nested frame loop of a stage's modal waits
extern cThread thRanking;  // runs the nested loop that shows the ranking table
extern cThread thLoad;     // reads a stage file while its caller keeps pumping messages
