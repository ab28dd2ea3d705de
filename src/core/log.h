#pragma once
// The report log "Report_Game.txt", error boxes and the fatal stop.
//
// Every report-log line is one open-append-close of the file, under a lock so that lines written from
// several threads never interleave. The fatal stop sets g_bQuit and posts WM_CLOSE to the main window;
// while g_bQuit is set no data file is written and every scene step returns at once.
#include <atomic>
#include <cstdarg>
#include <string>

#include "platform/messages.h"

// Set once by a fatal stop, never cleared.
extern std::atomic<int> g_bQuit;
// The main window, target of the fatal stop's WM_CLOSE (null before it exists and after WM_DESTROY).
extern std::atomic<HWND> g_hMainWnd;

// Display state the message-box route reads; owned and set by the graphics layer.
extern std::atomic<int> g_bDisplayReady;
extern std::atomic<int> g_bWindowed;

// What AppMesBox asks of the graphics layer, which installs it when it creates the display (before
// any other thread runs). Without it every box is a plain one.
struct cAppMesBoxHooks {
  // Shows a box over a full-screen display, switching to dialog mode around it. Returns 1 once the
  // box was shown, 0 when the switch failed (nothing shown).
  int (*showOverDisplay)(const char* text, const char* caption, unsigned type) = nullptr;
};
// Installs the hooks; returns the ones they replace.
cAppMesBoxHooks SetAppMesBoxHooks(const cAppMesBoxHooks& hooks);

constexpr size_t kFormatBufferSize = 5120;  // FormatStr, AppendFormat
constexpr size_t kLogBufferSize = 1024;     // LogPrintf, ErrorBoxf and their kin

// printf into a buffer of at most size - 1 bytes; a longer text is cut at a Shift-JIS character boundary.
std::string FormatBounded(size_t size, const char* format, va_list args);
// The same into the caller's buffer of size bytes (size > 0), NUL-terminated; its length.
size_t FormatBoundedInto(char* buffer, size_t size, const char* format, va_list args);

void FormatStr(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

int ReportLogInit(const char* path);
int ReportLogPuts(const char* text);
int ReportLogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
int LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
int LogErrorBoxf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The path ReportLogInit remembered ("" before it).
std::string ReportLogPath();

// The developer log: switched off for the whole run; its writers do nothing while it is off.
void ECLogInit(int enable, const char* path);
int ECLogPuts(const char* text);
int ECLogWrite(const char* text);
int ECLogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ECLogAndQuit(HWND window, const char* format, ...) __attribute__((format(printf, 2, 3)));

int AppMesBox(const char* text, const char* caption, unsigned type);
int ErrorBox(const char* text);
int ErrorBoxf(const char* format, ...) __attribute__((format(printf, 1, 2)));
int DebugErrorBoxf(const char* format, ...) __attribute__((format(printf, 1, 2)));

void OutOfMemoryQuit();
void FatalStop();
// The fatal stop aimed at a given window (ECLogAndQuit's form).
void FatalStopTo(HWND window);
