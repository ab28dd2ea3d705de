#include "platform/input/keyboard.h"

#include <atomic>

#include "platform/input/virtual_keys.h"

namespace {
std::atomic<uint8_t> g_held[256];

// Left/right pairs behind the generic modifier codes.
struct ModifierPair {
  int generic, left, right;
};
constexpr ModifierPair kModifiers[] = {
    {VK_SHIFT, VK_LSHIFT, VK_RSHIFT}, {VK_CONTROL, VK_LCONTROL, VK_RCONTROL}, {VK_MENU, VK_LMENU, VK_RMENU}};
}  // namespace

int16_t GetAsyncKeyState(int vk) {
  if (vk <= 0 || vk > 255) return 0;
  return g_held[vk].load(std::memory_order_relaxed) ? static_cast<int16_t>(0x8000) : 0;
}

void SetKeyState(int vk, bool down) {
  if (vk <= 0 || vk > 255) return;
  g_held[vk].store(down ? 1 : 0, std::memory_order_relaxed);
  for (const auto& m : kModifiers) {
    if (vk == m.left || vk == m.right) {
      bool any = g_held[m.left].load(std::memory_order_relaxed) || g_held[m.right].load(std::memory_order_relaxed);
      g_held[m.generic].store(any ? 1 : 0, std::memory_order_relaxed);
    }
  }
}

void ReleaseAllKeys() {
  for (auto& k : g_held) k.store(0, std::memory_order_relaxed);
}
