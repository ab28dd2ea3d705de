#pragma once
// The keyboard as the game reads it: a snapshot of held keys by Windows virtual-key code. The UI thread
// writes it from window-system key events (or a headless run from its input script); the thread that
// runs game frames reads it with GetAsyncKeyState.
#include <cstdint>

// 0x8000 (the high bit of a short) while the key is held, else 0. Codes outside 1..255 read released.
int16_t GetAsyncKeyState(int vk);

// Marks a key held or released. The generic Shift, Control and Alt codes follow their left and right
// keys, as on Windows.
void SetKeyState(int vk, bool down);
// Releases every key (focus lost, start of a scripted run).
void ReleaseAllKeys();

// The virtual key of an SDL scancode (US positions for the punctuation keys), 0 when it has none.
int VirtualKeyFromScancode(int scancode);
