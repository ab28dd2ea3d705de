#include "core/log.h"

#include <cstdio>
#include <mutex>
#include <utility>

#include "core/sjis.h"
#include "platform/message_box.h"

std::atomic<int> g_bQuit{0};
std::atomic<HWND> g_hMainWnd{nullptr};
std::atomic<int> g_bDisplayReady{0};
std::atomic<int> g_bWindowed{1};

namespace {
cAppMesBoxHooks g_appMesBoxHooks;
std::mutex g_logMutex;
std::string g_reportPath;
bool g_ecEnabled = false;
std::string g_ecPath;

int appendLine(const std::string& path, const char* text) {
  std::lock_guard lock(g_logMutex);
  if (path.empty()) return 0;
  // "r+" so that a log that was never created is not made here: the line is then lost.
  FILE* f = std::fopen(path.c_str(), "r+");
  if (!f) return 0;
  std::fseek(f, 0, SEEK_END);
  std::fputs(text, f);
  std::fputc('\n', f);
  std::fclose(f);
  return 1;
}
}  // namespace

size_t FormatBoundedInto(char* buffer, size_t size, const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(buffer, size, format, copy);
  va_end(copy);
  size_t written = 0;
  if (n >= 0) {
    written = static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
    if (static_cast<size_t>(n) >= size) written = SjisFitLength(buffer, written, size - 1);
  }
  buffer[written] = '\0';
  return written;
}

std::string FormatBounded(size_t size, const char* format, va_list args) {
  std::string buffer(size, '\0');
  buffer.resize(FormatBoundedInto(buffer.data(), size, format, args));
  return buffer;
}

#define QC4_FORMAT(size, format, out)       \
  va_list args_;                            \
  va_start(args_, format);                  \
  out = FormatBounded(size, format, args_); \
  va_end(args_)

void FormatStr(std::string& out, const char* format, ...) {
  std::string text;
  QC4_FORMAT(kFormatBufferSize, format, text);
  out = std::move(text);
}

void AppendFormat(std::string& out, const char* format, ...) {
  std::string text;
  QC4_FORMAT(kFormatBufferSize, format, text);
  out += text;
}

int ReportLogInit(const char* path) {
  if (!path) return 0;
  std::lock_guard lock(g_logMutex);
  FILE* f = std::fopen(path, "w");
  if (!f) return 0;
  std::fclose(f);
  g_reportPath = path;
  return 1;
}

std::string ReportLogPath() {
  std::lock_guard lock(g_logMutex);
  return g_reportPath;
}

int ReportLogPuts(const char* text) { return appendLine(ReportLogPath(), text ? text : ""); }

int ReportLogPrintf(const char* format, ...) {
  std::string text;
  QC4_FORMAT(kFormatBufferSize, format, text);
  return ReportLogPuts(text.c_str());
}

int LogPrintf(const char* format, ...) {
  std::string text;
  QC4_FORMAT(kLogBufferSize, format, text);
  if (!ReportLogPuts(text.c_str())) return 0;
  ECLogPuts(text.c_str());
  return 1;
}

int LogErrorBoxf(const char* format, ...) {
  std::string text;
  QC4_FORMAT(kLogBufferSize, format, text);
  if (!ReportLogPuts(text.c_str())) return 0;
  ECLogPuts(text.c_str());
  ErrorBox(text.c_str());
  return 1;
}

void ECLogInit(int enable, const char* path) {
  std::lock_guard lock(g_logMutex);
  g_ecEnabled = enable != 0;
  g_ecPath = path ? path : "";
}

int ECLogPuts(const char* text) {
  std::string path;
  {
    std::lock_guard lock(g_logMutex);
    if (!g_ecEnabled) return 0;
    path = g_ecPath;
  }
  return appendLine(path, text ? text : "");
}

int ECLogWrite(const char* text) { return ECLogPuts(text); }

int ECLogPrintf(const char* format, ...) {
  {
    std::lock_guard lock(g_logMutex);
    if (!g_ecEnabled) return 0;
  }
  std::string text;
  QC4_FORMAT(kLogBufferSize, format, text);
  return ECLogPuts(text.c_str());
}

void ECLogAndQuit(HWND window, const char* format, ...) {
  std::string text;
  QC4_FORMAT(kLogBufferSize, format, text);
  ECLogPuts(text.c_str());
  FatalStopTo(window);
}

cAppMesBoxHooks SetAppMesBoxHooks(const cAppMesBoxHooks& hooks) { return std::exchange(g_appMesBoxHooks, hooks); }

int AppMesBox(const char* text, const char* caption, unsigned type) {
  auto showOverDisplay = g_appMesBoxHooks.showOverDisplay;
  if (g_bDisplayReady.load() && !g_bWindowed.load() && showOverDisplay) return showOverDisplay(text, caption, type);
  return ShowMessageBox(text, caption, type);
}

int ErrorBox(const char* text) { return AppMesBox(text, "エラー", MB_OK); }

int ErrorBoxf(const char* format, ...) {
  std::string text;
  QC4_FORMAT(kLogBufferSize, format, text);
  return ErrorBox(text.c_str());
}

int DebugErrorBoxf(const char* format, ...) {
  {
    std::lock_guard lock(g_logMutex);
    if (!g_ecEnabled) return 0;
  }
  std::string text;
  QC4_FORMAT(kLogBufferSize, format, text);
  return ErrorBox(text.c_str());
}

void OutOfMemoryQuit() {
  ErrorBox("メモリが不足しています！");
  FatalStop();
}

void FatalStopTo(HWND window) {
  g_bQuit.store(1);
  PostMessage(window, WM_CLOSE, 0, 0);
}

void FatalStop() { FatalStopTo(g_hMainWnd.load()); }
