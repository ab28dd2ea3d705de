#include "platform/messages.h"

#include <gtest/gtest.h>

#include "platform/message_box.h"

#include <atomic>
#include <thread>

namespace {

std::atomic<HWND> g_otherWindow{nullptr};

LRESULT echoProc(HWND, uint32_t msg, WPARAM w, LPARAM l) {
  if (msg == WM_USER + 1) return static_cast<LRESULT>(w) + l;
  if (msg == WM_USER + 2) return SendMessage(g_otherWindow.load(), WM_USER + 3, 0, 0) + 1;  // call back
  if (msg == WM_USER + 3) return 40;
  return 0;
}

TEST(Messages, SendRunsOnTheOwnerThreadAndWaitsForTheResult) {
  std::atomic<HWND> window{nullptr};
  std::atomic<uint32_t> handlerThread{0};
  std::thread owner([&] {
    window = CreateMessageWindow([](HWND, uint32_t msg, WPARAM w, LPARAM l) -> LRESULT {
      if (msg == WM_USER) return static_cast<LRESULT>(GetCurrentThreadId());
      return echoProc(nullptr, msg, w, l);
    });
    MSG m;
    while (GetMessage(&m)) DispatchMessage(&m);
    DestroyMessageWindow(window);
  });
  while (!window.load()) std::this_thread::yield();
  EXPECT_EQ(SendMessage(window, WM_USER + 1, 2, 3), 5);
  EXPECT_EQ(static_cast<uint32_t>(SendMessage(window, WM_USER, 0, 0)), GetWindowThreadId(window));
  EXPECT_NE(GetWindowThreadId(window), GetCurrentThreadId());

  // The owner sends back to us while we wait in our own send: no deadlock.
  g_otherWindow = CreateMessageWindow(echoProc);
  EXPECT_EQ(SendMessage(window, WM_USER + 2, 0, 0), 41);

  ASSERT_TRUE(PostThreadMessage(GetWindowThreadId(window), WM_QUIT, 0, 0));
  owner.join();
  EXPECT_FALSE(PostThreadMessage(9999, WM_USER, 0, 0));
  DestroyMessageWindow(g_otherWindow);
  EXPECT_EQ(SendMessage(g_otherWindow, WM_USER + 1, 1, 1), 0);  // a destroyed window answers 0
}

TEST(Messages, PostedMessagesArriveInOrderAndQuitEndsGetMessage) {
  PostMessage(nullptr, WM_USER + 7, 1, 0);
  PostMessage(nullptr, WM_USER + 7, 2, 0);
  PostQuitMessage(0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, false));
  EXPECT_EQ(m.wParam, 1u);
  ASSERT_TRUE(GetMessage(&m));
  EXPECT_EQ(m.wParam, 1u);
  ASSERT_TRUE(GetMessage(&m));
  EXPECT_EQ(m.wParam, 2u);
  EXPECT_FALSE(GetMessage(&m));
  EXPECT_EQ(m.message, WM_QUIT);
}

// Without a window, boxes are written to standard error in UTF-8 and answered with their default.
TEST(MessageBoxes, WithoutAHandlerBoxesGoToStandardErrorInUtf8) {
  SetMessageBoxHandler(nullptr);
  testing::internal::CaptureStderr();
  int ok = ShowMessageBox("メモリが不足しています！", "エラー", MB_OK);
  int no = ShowMessageBox("終了しますか？", "終了確認", MB_YESNO);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(ok, IDOK);
  EXPECT_EQ(no, IDNO);
  EXPECT_EQ(
      err,
      std::string(reinterpret_cast<const char*>(u8"[エラー] メモリが不足しています！\n[終了確認] 終了しますか？\n")));
}

}  // namespace
