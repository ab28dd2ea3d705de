#include "platform/message_box.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/encoding.h"

namespace {
std::mutex g_mutex;
MessageBoxHandler g_handler;
uint64_t g_nShown = 0;
std::string g_strLastText;

// Without a window the box goes to standard error, in the terminal's encoding (UTF-8).
int defaultBox(const char* text, const char* caption, unsigned type) {
  std::string t = Cp932ToUtf8(text ? text : ""), c = Cp932ToUtf8(caption ? caption : "");
  std::fprintf(stderr, "[%s] %s\n", c.c_str(), t.c_str());
  return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
}
}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(g_mutex);
  g_handler = std::move(handler);
}

int ShowMessageBox(const char* text, const char* caption, unsigned type) {
  MessageBoxHandler h;
  {
    std::lock_guard lock(g_mutex);
    h = g_handler;
    ++g_nShown;
    g_strLastText = text ? text : "";
  }
  return h ? h(text, caption, type) : defaultBox(text, caption, type);
}

uint64_t MessageBoxCount() {
  std::lock_guard lock(g_mutex);
  return g_nShown;
}

std::string LastMessageBoxText() {
  std::lock_guard lock(g_mutex);
  return g_strLastText;
}
