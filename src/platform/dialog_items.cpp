#include "platform/dialog_items.h"

#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include "platform/encoding.h"

namespace {
std::mutex g_mutex;
std::map<std::pair<HWND, int>, std::string> g_texts;

}  // namespace

int GetDlgItemTextA(HWND dialog, int item, char* buffer, int maxCount) {
  if (!buffer || maxCount <= 0) return 0;
  std::string text;
  {
    std::lock_guard lock(g_mutex);
    auto it = g_texts.find({dialog, item});
    if (it != g_texts.end()) text = it->second;
  }
  size_t n = Cp932FitLength(text.data(), text.size(), static_cast<size_t>(maxCount) - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

bool SetDlgItemTextA(HWND dialog, int item, const char* text) {
  if (!text) return false;
  std::lock_guard lock(g_mutex);
  g_texts[{dialog, item}] = text;
  return true;
}

std::string DlgItemText(HWND dialog, int item) {
  std::lock_guard lock(g_mutex);
  auto it = g_texts.find({dialog, item});
  return it == g_texts.end() ? std::string() : it->second;
}

void ForgetDlgItems(HWND dialog) {
  std::lock_guard lock(g_mutex);
  for (auto it = g_texts.begin(); it != g_texts.end();)
    it = it->first.first == dialog ? g_texts.erase(it) : std::next(it);
}
