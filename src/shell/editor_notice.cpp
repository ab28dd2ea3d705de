#include "shell/editor_notice.h"

#include <cstdint>

#include "core/log.h"
#include "platform/editor_link.h"

namespace {
void notify(uintptr_t kind, int32_t value) {
  HWND editor = FindEditorWindow("Quorvelcraft4_Editor", "クォーベルクラフト4");
  COPYDATASTRUCT data;
  data.dwData = kind;
  data.cbData = sizeof value;
  data.lpData = &value;
  // Sent whether or not an editor was found; to no window it goes nowhere.
  SendMessage(editor, WM_COPYDATA, reinterpret_cast<WPARAM>(g_hMainWnd.load()), reinterpret_cast<LPARAM>(&data));
}
}  // namespace

void NotifyEditorStart() { notify(1, 1); }
void NotifyEditorEnd(int value) { notify(0, value); }
