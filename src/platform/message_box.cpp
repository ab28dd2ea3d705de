#include "platform/message_box.h"

#include <cstdio>
#include <mutex>

namespace {
std::mutex g_mutex;
MessageBoxHandler g_handler;

int defaultBox(const char* text, const char* caption, unsigned type) {
  std::fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
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
  }
  return h ? h(text, caption, type) : defaultBox(text, caption, type);
}
