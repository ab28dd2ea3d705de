#include "core/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/containers.h"
#include "platform/message_box.h"
#include "test_support/hooks_guard.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = (std::filesystem::temp_directory_path() / ("qc4_log_" + std::to_string(::getpid()) + ".txt")).string();
    ASSERT_EQ(ReportLogInit(path.c_str()), 1);
    g_bQuit = 0;
    SetMessageBoxHandler([this](const char* text, const char* caption, unsigned) {
      boxes.push_back(std::string(caption) + "|" + text);
      return IDOK;
    });
  }
  void TearDown() override {
    SetMessageBoxHandler(nullptr);
    std::filesystem::remove(path);
    g_bQuit = 0;
    MSG m;
    while (PeekMessage(&m, true)) {}
  }
  std::string path;
  std::vector<std::string> boxes;
};

TEST_F(LogTest, LinesAreAppendedVerbatim) {
  ReportLogPuts("first");
  LogPrintf("%s", "C:\\data\\%d%s.dat");  // an argument holding % stays as it is
  ReportLogPrintf("App : ver %s", "986");
  EXPECT_EQ(readFile(path), "first\nC:\\data\\%d%s.dat\nApp : ver 986\n");
}

TEST_F(LogTest, ReportLogInitStartsAnEmptyFile) {
  ReportLogPuts("old run");
  ASSERT_EQ(ReportLogInit(path.c_str()), 1);
  EXPECT_EQ(readFile(path), "");
  EXPECT_EQ(ReportLogInit("/nonexistent-dir/x/Report_Game.txt"), 0);
}

TEST_F(LogTest, LinesFromManyThreadsNeverInterleave) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 50; ++i) ReportLogPrintf("thread %d line %d %s", t, i, std::string(200, 'a' + t).c_str());
    });
  for (auto& th : threads) th.join();
  std::istringstream in(readFile(path));
  std::string line;
  int count = 0;
  while (std::getline(in, line)) {
    ++count;
    char c = line[line.size() - 1];
    EXPECT_EQ(line.find_first_not_of(c, line.size() - 200), std::string::npos);
  }
  EXPECT_EQ(count, 200);
}

TEST_F(LogTest, LogErrorBoxfLogsThenShowsAnErrorBox) {
  EXPECT_EQ(LogErrorBoxf("%s のロードに失敗！", "data\\WorldMap.dat"), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], std::string("エラー|data\\WorldMap.dat のロードに失敗！"));
  EXPECT_EQ(readFile(path), "data\\WorldMap.dat のロードに失敗！\n");
}

TEST_F(LogTest, ALostLogLineShowsNoBox) {
  std::filesystem::remove(path);  // the log can no longer be opened for appending
  EXPECT_EQ(LogErrorBoxf("%s", "x"), 0);
  EXPECT_EQ(LogPrintf("%s", "x"), 0);
  EXPECT_EQ(ReportLogPuts("x"), 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(std::filesystem::exists(path));  // and is not created by a writer
  EXPECT_EQ(ErrorBoxf("%d", 5), IDOK);          // a plain error box does not need the log
  EXPECT_EQ(boxes, std::vector<std::string>{"エラー|5"});
}

TEST_F(LogTest, FatalStopBeforeTheMainWindowPostsToTheOwnQueue) {
  g_hMainWnd = nullptr;
  FatalStop();
  EXPECT_EQ(g_bQuit.load(), 1);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(m.message, WM_CLOSE);
  EXPECT_EQ(m.hwnd, nullptr);
  // Out of memory: the box, then the same stop.
  OutOfMemoryQuit();
  EXPECT_EQ(boxes, std::vector<std::string>{"エラー|メモリが不足しています！"});
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(m.message, WM_CLOSE);
}

TEST_F(LogTest, FullScreenBoxesGoThroughTheDisplay) {
  static int ddCalls = 0;
  cHooksGuard guard(SetAppMesBoxHooks, {.showOverDisplay = [](const char*, const char*, unsigned) {
                      ++ddCalls;
                      return 1;
                    }});
  g_bDisplayReady = 1;
  g_bWindowed = 0;
  ErrorBox("x");
  g_bWindowed = 1;
  ErrorBox("y");
  g_bDisplayReady = 0;
  EXPECT_EQ(ddCalls, 1);
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(LogTest, LongTextsAreCutAtACharacterBoundary) {
  std::string longText(kLogBufferSize - 2, 'a');
  longText += "表";  // would straddle the end of the buffer
  std::string out;
  LogPrintf("%s", longText.c_str());
  std::string logged = readFile(path);
  EXPECT_EQ(logged, std::string(kLogBufferSize - 2, 'a') + "\n");
  FormatStr(out, "%s", std::string(10000, 'b').c_str());
  EXPECT_EQ(out.size(), kFormatBufferSize - 1);
}

TEST_F(LogTest, RangeErrorsLogAndStopButYieldAnElement) {
  HWND wnd = CreateMessageWindow([](HWND, uint32_t, WPARAM, LPARAM) -> LRESULT { return 0; });
  g_hMainWnd = wnd;
  std::vector<int32_t> v{10, 20, 30};
  EXPECT_EQ(VecAt(v, 3), 10);
  EXPECT_EQ(g_bQuit.load(), 1);
  EXPECT_EQ(VecAt(v, -1), 10);
  std::vector<int32_t> empty;
  int32_t& p = VecAt(empty, 0);
  EXPECT_EQ(&p, &VecAt(empty, 5));
  std::list<double> l{1.5};
  double* first = &ListAt(l, 1);
  EXPECT_EQ(first, &ListAt(l, 2));
  EXPECT_EQ(readFile(path),
            "err V[3] ( 3 , 4 )\nerr V[-1] ( 3 , 4 )\nerr V[0] ( 0 , 4 )\nerr V[5] ( 0 , 4 )\n"
            "err L[1] ( 1 , 8 )\nerr L[2] ( 1 , 8 )\n");
  int closes = 0;
  MSG m;
  while (PeekMessage(&m, true)) closes += (m.message == WM_CLOSE && m.hwnd == wnd);
  EXPECT_EQ(closes, 6);  // one WM_CLOSE per fatal stop
  g_hMainWnd = nullptr;
  DestroyMessageWindow(wnd);
}

}  // namespace
