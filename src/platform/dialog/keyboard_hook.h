#pragma once
// The keyboard hook of the UI thread, standing in for the window system's WH_KEYBOARD hook: while
// one is installed, every key event of an open dialog passes through it before the dialog sees it.
// The hook may post messages and swallow the event (return non-zero). UI thread only.
#include "platform/messages.h"

using HHOOK = struct KeyboardHook*;
using HOOKPROC = LRESULT (*)(int code, WPARAM vk, LPARAM lParam);

constexpr int WH_KEYBOARD = 2;
constexpr int HC_ACTION = 0;
constexpr int HC_NOREMOVE = 3;
// lParam of a key event: bit 31 is set when the key is released.
constexpr LPARAM kKeyUpFlag = static_cast<LPARAM>(0x80000000u);

// Installs the hook (one at a time: a second one replaces nothing and fails); null on failure.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc);
bool UnhookWindowsHookEx(HHOOK hook);
// The next hook in the chain: there is none, so the event goes on (0).
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM vk, LPARAM lParam);
bool KeyboardHookInstalled();

// Runs the installed hook for a key event; true when the hook swallowed it.
bool RunKeyboardHook(int vk, bool down);

// Tests: makes installing a hook fail.
void SetKeyboardHookFailure(bool fail);
