#include "ui/dialog_place.h"

#include "platform/dialog/dialog_box.h"
#include "shell/app_globals.h"
#include "ui/dialog_sources.h"

namespace {
cDialogSourceHooks s_SourceHooks;
}  // namespace

cDialogSourceHooks SetDialogSourceHooks(const cDialogSourceHooks& hooks) {
  cDialogSourceHooks old = s_SourceHooks;
  s_SourceHooks = hooks;
  return old;
}
const cDialogSourceHooks& DialogSourceHooks() { return s_SourceHooks; }

cRect MainWindowRect() { return cRect{0, 0, 640, 480}; }

void CentredDialogPosOn(const cRect& main, int32_t windowed, int32_t halfWidth, int32_t halfHeight, int32_t* x,
                        int32_t* y) {
  if (windowed) {
    *x = main.left + (main.right - main.left + 1) / 2 - halfWidth;
    *y = main.top + (main.bottom - main.top + 1) / 2 - halfHeight;
  } else {
    *x = 320 - halfWidth;
    *y = 240 - halfHeight;
  }
}

void CentredDialogPos(int32_t halfWidth, int32_t halfHeight, int32_t* x, int32_t* y) {
  CentredDialogPosOn(MainWindowRect(), g_Windowed, halfWidth, halfHeight, x, y);
}

void MoveCursorTo(int32_t x, int32_t y) { SetDialogCursorPos(x, y); }
