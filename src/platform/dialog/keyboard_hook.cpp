#include "platform/dialog/keyboard_hook.h"

struct KeyboardHook {
  HOOKPROC proc = nullptr;
};

namespace {
KeyboardHook g_hook;
bool g_installed = false;
bool g_fail = false;
}  // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc) {
  if (idHook != WH_KEYBOARD || !proc || g_fail || g_installed) return nullptr;
  g_hook.proc = proc;
  g_installed = true;
  return &g_hook;
}

bool UnhookWindowsHookEx(HHOOK hook) {
  if (hook != &g_hook || !g_installed) return false;
  g_installed = false;
  g_hook.proc = nullptr;
  return true;
}

LRESULT CallNextHookEx(HHOOK, int, WPARAM, LPARAM) { return 0; }

bool KeyboardHookInstalled() { return g_installed; }

bool RunKeyboardHook(int vk, bool down) {
  if (!g_installed || !g_hook.proc) return false;
  LPARAM lParam = 1 | (down ? 0 : kKeyUpFlag);
  return g_hook.proc(HC_ACTION, static_cast<WPARAM>(vk), lParam) != 0;
}

void SetKeyboardHookFailure(bool fail) { g_fail = fail; }
