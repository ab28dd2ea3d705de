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
  std::atomic<bool> ignoreQuit{false};
  std::atomic<bool> release{false};
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
        quit = !w->ignoreQuit;
      } else if (msg.message == WM_USER + 2) {
        w->posted.fetch_add(1);
      } else {
        DispatchMessage(&msg);
      }
    }
    if (quit || (w->ignoreQuit && w->release)) break;
    WaitMessage(1);
  }
  DestroyMessageWindow(w->window);
  w->finished = true;
  return 0;
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

TEST(Thread, ExitGivesUpOnAThreadThatIgnoresQuitAndLogsIt) {
  char dir[] = "/tmp/qc4-thread-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string log = std::string(dir) + "/Report_Game.txt";
  ASSERT_EQ(ReportLogInit(log.c_str()), 1);

  cThread th;
  th.SetExitPollLimit(5);
  Worker w;
  w.ignoreQuit = true;
  ASSERT_EQ(th.Start(workerMain, &w), 1);
  uint32_t id = th.GetThreadId();
  th.Exit();
  EXPECT_FALSE(th.HasThread());
  EXPECT_FALSE(w.finished);  // not killed: still running
  std::ifstream in(log);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("thread " + std::to_string(id) + " did not end"), std::string::npos) << text;

  w.release = true;
  PostThreadMessage(id, WM_USER + 2, 0, 0);
  ASSERT_TRUE(eventually([&] { return w.finished.load(); }));
  std::remove(log.c_str());
  rmdir(dir);
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
