// Worker threads: start, messages, cooperative suspension, exit without killing.
#include "core/thread.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "core/log.h"
#include "platform/messages.h"

namespace {

// Waits (without sleeping a fixed time) until cond holds; fails the test after a generous bound.
template <class Cond>
bool eventually(Cond cond) {
  for (int i = 0; i < 2000000; ++i) {
    if (cond()) return true;
    std::this_thread::yield();
  }
  return cond();
}

struct Worker {
  std::atomic<HWND> window{nullptr};
  std::atomic<int> passes{0};
  std::atomic<int> posted{0};
  std::atomic<int> quitsToIgnore{0};
  // When set, the worker's last act before it ends is a send to this window (its waiter's).
  std::atomic<HWND> lastRequestTo{nullptr};
  std::atomic<LRESULT> lastAnswer{0};
  std::atomic<bool> finished{false};
};

LRESULT workerProc(HWND, uint32_t msg, WPARAM wParam, LPARAM) {
  return msg == WM_USER + 1 ? static_cast<LRESULT>(wParam * 2) : 0;
}

// A frame loop as the game runs one: a safe point per pass, then the queued messages.
unsigned workerMain(void* arg) {
  auto* w = static_cast<Worker*>(arg);
  w->window = CreateMessageWindow(workerProc);
  for (;;) {
    cThread::SafePoint();
    w->passes.fetch_add(1);
    MSG msg;
    bool quit = false;
    while (PeekMessage(&msg, true)) {
      if (msg.message == WM_QUIT) {
        if (w->quitsToIgnore.load() > 0)
          w->quitsToIgnore.fetch_sub(1);
        else
          quit = true;
      } else if (msg.message == WM_USER + 2) {
        w->posted.fetch_add(1);
      } else {
        DispatchMessage(&msg);
      }
    }
    if (quit) break;
    WaitMessage(1);
  }
  if (HWND to = w->lastRequestTo.load()) w->lastAnswer = SendMessage(to, WM_USER + 1, 50, 0);
  DestroyMessageWindow(w->window);
  w->finished = true;
  return 0;
}

std::string readText(const std::string& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(Thread, StartMessagesSuspendResumeExit) {
  cThread th;
  Worker w;
  ASSERT_EQ(th.Start(workerMain, &w), 1);
  ASSERT_TRUE(th.HasThread());
  EXPECT_NE(th.GetThreadId(), 0u);
  EXPECT_EQ(th.Start(workerMain, &w), 0);  // still running: refused
  ASSERT_TRUE(eventually([&] { return w.window.load() != nullptr; }));
  // Posted right after Start: the queue is already there.
  EXPECT_TRUE(PostThreadMessage(th.GetThreadId(), WM_USER + 2, 0, 0));
  EXPECT_EQ(SendMessage(w.window, WM_USER + 1, 21, 0), 42);
  ASSERT_TRUE(eventually([&] { return w.posted.load() == 1; }));

  ASSERT_TRUE(th.Suspend());
  ASSERT_TRUE(th.Suspend());  // nested
  ASSERT_TRUE(eventually([&] { return th.IsHeld(); }));
  int held = w.passes.load();
  EXPECT_TRUE(PostThreadMessage(th.GetThreadId(), WM_USER + 2, 0, 0));
  for (int i = 0; i < 1000; ++i) std::this_thread::yield();
  EXPECT_EQ(w.passes.load(), held);  // stopped at its safe point
  EXPECT_EQ(w.posted.load(), 1);
  ASSERT_TRUE(th.Resume());
  EXPECT_TRUE(th.IsHeld());  // one Suspend still stands
  ASSERT_TRUE(th.Resume());
  ASSERT_TRUE(eventually([&] { return w.posted.load() == 2 && w.passes.load() > held; }));

  th.Suspend();
  ASSERT_TRUE(eventually([&] { return th.IsHeld(); }));
  th.Exit();  // resumes it, then it ends on WM_QUIT
  EXPECT_FALSE(th.HasThread());
  EXPECT_TRUE(w.finished);
  th.Exit();  // nothing left: nothing happens
  th.Join();

  Worker again;
  ASSERT_EQ(th.Start(workerMain, &again), 1);  // the object can be started again
  ASSERT_TRUE(eventually([&] { return again.window.load() != nullptr; }));
  PostThreadMessage(th.GetThreadId(), WM_QUIT, 0, 0);
  th.Join();
  EXPECT_FALSE(th.HasThread());
  EXPECT_TRUE(again.finished);
}

TEST(Thread, ExitWaitsPastThePollLimitAndReportsTheWait) {
  char dir[] = "/tmp/qc4-thread-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string log = std::string(dir) + "/Report_Game.txt";
  ASSERT_EQ(ReportLogInit(log.c_str()), 1);

  cThread th;
  th.SetExitPollLimit(5);
  Worker w;
  // Exit posts WM_QUIT again on every poll: this worker ends at the 30th, well past the limit.
  w.quitsToIgnore = 29;
  ASSERT_EQ(th.Start(workerMain, &w), 1);
  uint32_t id = th.GetThreadId();
  th.Exit();
  EXPECT_TRUE(w.finished);  // not abandoned: Exit returned only once the thread had ended
  EXPECT_FALSE(th.HasThread());
  std::string text = readText(log);
  EXPECT_NE(text.find("thread " + std::to_string(id) + " has not ended 5 ms after WM_QUIT"), std::string::npos) << text;
  std::remove(log.c_str());
  rmdir(dir);
}

// The waiting thread answers what the thread it waits for sends it: the worker's last act is a send
// to a window of the waiter, which would block it for ever if the waiter only slept.
TEST(Thread, WaitersAnswerWhatTheThreadSendsThem) {
  const HWND waiterWindow = CreateMessageWindow(workerProc);
  for (bool byExit : {true, false}) {
    SCOPED_TRACE(byExit ? "Exit" : "Join");
    cThread th;
    th.SetExitPollLimit(2000);  // a waiter that only slept would give up here
    Worker w;
    w.lastRequestTo = waiterWindow;
    ASSERT_EQ(th.Start(workerMain, &w), 1);
    if (byExit) {
      th.Exit();
    } else {
      PostThreadMessage(th.GetThreadId(), WM_QUIT, 0, 0);
      th.Join();
    }
    EXPECT_TRUE(w.finished);
    EXPECT_EQ(w.lastAnswer.load(), 100);
    EXPECT_FALSE(th.HasThread());
  }
  DestroyMessageWindow(waiterWindow);
}

TEST(Thread, JoinAndExitFromTwoThreadsAtOnce) {
  cThread th;
  Worker w;
  ASSERT_EQ(th.Start(workerMain, &w), 1);
  std::thread joiner([&] { th.Join(); });
  th.Exit();
  joiner.join();
  EXPECT_FALSE(th.HasThread());
  EXPECT_TRUE(w.finished);
}

// What a thread's first step sees of the object that started it: it runs, under its own id.
struct cSelfCheck {
  cThread* pThread = nullptr;
  std::atomic<bool> bHeld{false};
  std::atomic<bool> bOwnId{false};
};

unsigned checkSelf(void* arg) {
  auto* check = static_cast<cSelfCheck*>(arg);
  check->bHeld = check->pThread->HasThread();
  check->bOwnId = check->pThread->GetThreadId() == GetCurrentThreadId();
  return 0;
}

TEST(Thread, AThreadIsKnownToItsObjectFromItsFirstStep) {
  for (int i = 0; i < 50; ++i) {
    cThread th;
    cSelfCheck check;
    check.pThread = &th;
    ASSERT_EQ(th.Start(checkSelf, &check), 1);
    th.Join();
    EXPECT_TRUE(check.bHeld) << "start " << i;
    EXPECT_TRUE(check.bOwnId) << "start " << i;
  }
}

TEST(Thread, SafePointOutsideAWorkerDoesNothing) {
  cThread::SafePoint();
  cThread th;
  EXPECT_TRUE(th.Suspend());
  EXPECT_TRUE(th.Resume());
  EXPECT_FALSE(th.IsHeld());
  th.Join();
  th.Exit();
}

}  // namespace
