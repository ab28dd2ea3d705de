#pragma once
// The link to the construction tool's editor, which starts test plays and listens for notices about
// them. No editor runs on this system: the lookup finds none, and a notice to no window is not sent.
#include <cstdint>

#include "platform/messages.h"

struct COPYDATASTRUCT {
  uintptr_t dwData = 0;
  uint32_t cbData = 0;
  const void* lpData = nullptr;
};

// The editor's window, looked up by its class and title (CP932); null when none is found.
HWND FindEditorWindow(const char* className, const char* title);
