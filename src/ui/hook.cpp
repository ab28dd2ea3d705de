#include "ui/hook.h"

#include "platform/dialog/dialog_box.h"
#include "platform/dialog/keyboard_hook.h"
#include "platform/input/virtual_keys.h"

namespace {
HHOOK s_hHook = nullptr;
int32_t s_bCtrlHeld = 0;

bool isNavigationKey(WPARAM vk) {
  return vk == 0x20 || (vk >= 0x25 && vk <= 0x28) || vk == 0x2E || (vk >= 0x70 && vk <= 0x77);
}
}  // namespace

bool cHook::Attach(HWND dialog, int32_t suppressCtrl) {
  m_hDialog = dialog;
  m_bSuppressCtrl = suppressCtrl;
  SetProp(dialog, "cHook", this);
  if (!s_hHook) s_hHook = SetWindowsHookEx(WH_KEYBOARD, KeyboardHookProc);
  return s_hHook != nullptr;
}

void Unhook() {
  if (s_hHook) UnhookWindowsHookEx(s_hHook);
  s_hHook = nullptr;
}

bool HookInstalled() { return s_hHook != nullptr; }
int32_t HookCtrlHeld() { return s_bCtrlHeld; }

LRESULT KeyboardHookProc(int code, WPARAM vk, LPARAM lParam) {
  if (code < 0 || code == HC_NOREMOVE) return CallNextHookEx(s_hHook, code, vk, lParam);
  HWND active = GetActiveWindow();
  auto* hook = active ? static_cast<cHook*>(GetProp(active, "cHook")) : nullptr;
  const bool up = (lParam & kKeyUpFlag) != 0;
  if (!hook) {
    // The game window or a message box: Esc does not reach it while a dialog's hook is in place.
    if (vk == VK_ESCAPE && !(active && DialogComposing(active))) return 1;
    return CallNextHookEx(s_hHook, code, vk, lParam);
  }
  if (hook->m_hDialog != active) return CallNextHookEx(s_hHook, code, vk, lParam);
  const bool composing = DialogComposing(active);
  const bool mayPost = !hook->m_bSuppressCtrl || !s_bCtrlHeld;
  if (up) {
    if (vk == VK_CONTROL) s_bCtrlHeld = 0;
    if (mayPost) PostMessage(active, WM_KEYUP, vk, lParam);
  } else if (vk == VK_RETURN) {
    if (!composing) PostMessage(active, WM_KEYDOWN, vk, lParam);
  } else if (vk == VK_TAB) {
    // The focus moves as usual.
  } else if (isNavigationKey(vk) && !composing) {
    PostMessage(active, WM_DIALOG_NAVKEY, vk, lParam);
  } else {
    if (vk == VK_CONTROL) s_bCtrlHeld = 1;
    if (mayPost) PostMessage(active, WM_KEYDOWN, vk, lParam);
  }
  return CallNextHookEx(s_hHook, code, vk, lParam);
}
