#pragma once
// The keyboard hook that routes key presses to an open dialog: whatever control has the focus, the
// dialog sees every key through its own queue, and the navigation keys (Space, the arrows, Delete,
// F1-F8) arrive as WM_DIALOG_NAVKEY so that an edit box does not take them first. Esc pressed while
// no dialog is active is swallowed. Enter during an input-method composition only completes the
// composition. One hook object per dialog; the process keeps one hook handle and one Ctrl-held flag.
#include <cstdint>

#include "platform/messages.h"

class cHook {
 public:
  virtual ~cHook() = default;
  // Binds the hook object to the dialog window (its property "cHook") and installs the hook when
  // none is installed yet; returns whether a hook is installed.
  bool Attach(HWND dialog, int32_t suppressCtrl);

  HWND m_hDialog = nullptr;
  int32_t m_bSuppressCtrl = 0;  // 0 for every dialog of the program
};

// Removes the installed hook.
void Unhook();
bool HookInstalled();
// Whether Ctrl is held, as the hook saw it.
int32_t HookCtrlHeld();

// The hook's procedure (what the window system calls for each key event).
LRESULT KeyboardHookProc(int code, WPARAM vk, LPARAM lParam);
