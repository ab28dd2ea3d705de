#include "platform/dialog/dialog_box.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <utility>

#include "platform/dialog/dialog_hosts.h"
#include "platform/dialog/keyboard_hook.h"
#include "platform/dialog_items.h"
#include "platform/encoding.h"
#include "platform/input/virtual_keys.h"
#include "platform/message_box.h"
#include "platform/window/game_window.h"

namespace {
constexpr int kPictureWidth = 640, kPictureHeight = 480;

struct ItemState {
  uint32_t check = BST_UNCHECKED;
  int selStart = 0, selEnd = 0;
  bool enabled = true;
};

struct DialogState {
  DialogTemplate tpl;
  HWND hwnd = nullptr;
  bool ended = false;
  int result = 0;
  int x = 0, y = 0;
  std::string caption;
  std::map<int, ItemState> items;
  int focus = 0;
  std::string composition;    // UTF-8
  std::vector<MSG> deferred;  // messages for other windows, posted again when the dialog ends
};

std::vector<DialogState*> g_open;  // newest last
std::map<std::pair<HWND, std::string>, void*> g_props;
DialogHost* g_host = nullptr;
void (*g_onUnanswered)() = nullptr;
std::atomic<bool> g_unanswered{false};

DialogState* find(HWND dialog) {
  for (DialogState* s : g_open)
    if (s->hwnd == dialog) return s;
  return nullptr;
}

const DialogItemTemplate* itemOf(const DialogState& s, int id) {
  for (const DialogItemTemplate& item : s.tpl.items)
    if (item.id == id) return &item;
  return nullptr;
}

bool takesFocus(DialogItemKind kind) {
  return kind == DialogItemKind::Edit || kind == DialogItemKind::Button || kind == DialogItemKind::DefaultButton ||
         kind == DialogItemKind::Radio || kind == DialogItemKind::Check;
}

bool isButton(DialogItemKind kind) { return kind == DialogItemKind::Button || kind == DialogItemKind::DefaultButton; }

// The control that has the focus when a dialog opens: the first edit box, else the default button,
// else the first control that takes the focus.
int firstFocus(const DialogTemplate& tpl) {
  for (const auto& item : tpl.items)
    if (item.kind == DialogItemKind::Edit) return item.id;
  for (const auto& item : tpl.items)
    if (item.kind == DialogItemKind::DefaultButton) return item.id;
  for (const auto& item : tpl.items)
    if (takesFocus(item.kind)) return item.id;
  return 0;
}

int defaultButton(const DialogState& s) {
  for (const auto& item : s.tpl.items)
    if (item.kind == DialogItemKind::DefaultButton) return item.id;
  return 0;
}

ItemState* stateOf(HWND dialog, int id) {
  DialogState* s = find(dialog);
  if (!s || !itemOf(*s, id)) return nullptr;
  return &s->items[id];
}
}  // namespace

int DialogBoxParam(const DialogTemplate& tpl, HWND parent, WNDPROC proc, LPARAM param) {
  (void)parent;
  if (!proc) return 0;
  for (DialogState* open : g_open)
    if (open->tpl.id == tpl.id) return 0;
  auto state = std::make_unique<DialogState>();
  DialogState& s = *state;
  s.tpl = tpl;
  s.caption = tpl.caption;
  s.hwnd = CreateMessageWindow(proc, nullptr);
  if (!s.hwnd) return 0;
  for (const auto& item : tpl.items) {
    SetDlgItemTextA(s.hwnd, item.id, item.text.c_str());
    s.items[item.id] = ItemState{};
  }
  s.focus = firstFocus(tpl);
  // Centred on the picture until the dialog places itself.
  s.x = (kPictureWidth - DialogUnitsToPixelsX(tpl.width)) / 2;
  s.y = (kPictureHeight - DialogUnitsToPixelsY(tpl.height)) / 2;
  g_open.push_back(&s);

  SendMessage(s.hwnd, WM_INITDIALOG, 0, param);
  PumpDialogMessages(s.hwnd);
  if (!s.ended) {
    std::unique_ptr<DialogHost> fallback;
    DialogHost* host = g_host;
    if (!host) {
      fallback = MakeDefaultDialogHost();
      host = fallback.get();
    }
    host->Run(s.hwnd);
    if (!s.ended) SendMessage(s.hwnd, WM_CLOSE, 0, 0);
    if (!s.ended) EndDialog(s.hwnd, 0);
  }
  const int result = s.result;
  SendMessage(s.hwnd, WM_DESTROY, 0, 0);
  ForgetDlgItems(s.hwnd);
  for (auto it = g_props.begin(); it != g_props.end();)
    it = it->first.first == s.hwnd ? g_props.erase(it) : std::next(it);
  g_open.erase(std::find(g_open.begin(), g_open.end(), &s));
  DestroyMessageWindow(s.hwnd);
  for (const MSG& m : s.deferred) {
    if (m.message == WM_QUIT)
      PostQuitMessage(static_cast<int>(m.wParam));
    else
      PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
  }
  return result;
}

bool EndDialog(HWND dialog, int result) {
  DialogState* s = find(dialog);
  if (!s) return false;
  s->ended = true;
  s->result = result;
  return true;
}

bool IsDialogWindow(HWND dialog) { return find(dialog) != nullptr; }

const DialogTemplate* DialogTemplateOf(HWND dialog) {
  DialogState* s = find(dialog);
  return s ? &s->tpl : nullptr;
}

bool DialogEnded(HWND dialog) {
  DialogState* s = find(dialog);
  return !s || s->ended;
}

bool HasDlgItem(HWND dialog, int id) {
  DialogState* s = find(dialog);
  return s && itemOf(*s, id);
}

bool CheckDlgButton(HWND dialog, int id, uint32_t state) {
  ItemState* item = stateOf(dialog, id);
  if (!item) return false;
  item->check = state;
  return true;
}

uint32_t IsDlgButtonChecked(HWND dialog, int id) {
  ItemState* item = stateOf(dialog, id);
  return item ? item->check : BST_UNCHECKED;
}

bool SetDlgItemSel(HWND dialog, int id, int start, int end) {
  ItemState* item = stateOf(dialog, id);
  if (!item) return false;
  const int length = static_cast<int>(DlgItemText(dialog, id).size());
  // As an edit box does: -1 or past the end means the end; start and end may come in either order.
  auto clamp = [&](int v) { return v < 0 || v > length ? length : v; };
  start = clamp(start);
  end = clamp(end);
  item->selStart = std::min(start, end);
  item->selEnd = std::max(start, end);
  return true;
}

bool GetDlgItemSel(HWND dialog, int id, int* start, int* end) {
  ItemState* item = stateOf(dialog, id);
  if (!item) return false;
  if (start) *start = item->selStart;
  if (end) *end = item->selEnd;
  return true;
}

bool EnableDlgItem(HWND dialog, int id, bool enable) {
  ItemState* item = stateOf(dialog, id);
  if (!item) return false;
  item->enabled = enable;
  return true;
}

bool IsDlgItemEnabled(HWND dialog, int id) {
  ItemState* item = stateOf(dialog, id);
  return item && item->enabled;
}

bool SetDlgFocus(HWND dialog, int id) {
  DialogState* s = find(dialog);
  if (!s || !itemOf(*s, id)) return false;
  s->focus = id;
  return true;
}

int GetDlgFocus(HWND dialog) {
  DialogState* s = find(dialog);
  return s ? s->focus : 0;
}

void SetDialogCaption(HWND dialog, const char* cp932) {
  if (DialogState* s = find(dialog)) s->caption = cp932 ? cp932 : "";
}

std::string GetDialogCaption(HWND dialog) {
  DialogState* s = find(dialog);
  return s ? s->caption : std::string();
}

void SetDialogPos(HWND dialog, int x, int y) {
  if (DialogState* s = find(dialog)) {
    s->x = x;
    s->y = y;
  }
}

void GetDialogPos(HWND dialog, int* x, int* y) {
  DialogState* s = find(dialog);
  if (x) *x = s ? s->x : 0;
  if (y) *y = s ? s->y : 0;
}

void GetDialogSize(HWND dialog, int* width, int* height) {
  DialogState* s = find(dialog);
  if (width) *width = s ? DialogUnitsToPixelsX(s->tpl.width) : 0;
  if (height) *height = s ? DialogUnitsToPixelsY(s->tpl.height) : 0;
}

void SetProp(HWND window, const char* name, void* value) {
  if (name) g_props[{window, name}] = value;
}

void* GetProp(HWND window, const char* name) {
  if (!name) return nullptr;
  auto it = g_props.find({window, name});
  return it == g_props.end() ? nullptr : it->second;
}

void RemoveProp(HWND window, const char* name) {
  if (name) g_props.erase({window, name});
}

namespace {
bool g_cursorKnown = false;
int g_cursorX = 0, g_cursorY = 0;
}  // namespace

bool GetDialogCursorPos(int* x, int* y) {
  if (!g_cursorKnown) return false;
  if (x) *x = g_cursorX;
  if (y) *y = g_cursorY;
  return true;
}

void NoteDialogCursor(int x, int y) {
  g_cursorKnown = true;
  g_cursorX = x;
  g_cursorY = y;
}

HWND GetActiveWindow() { return g_open.empty() ? nullptr : g_open.back()->hwnd; }

bool DialogComposing(HWND dialog) {
  DialogState* s = find(dialog);
  return s && !s->composition.empty();
}

void PumpDialogMessages(HWND dialog) {
  DialogState* s = find(dialog);
  if (!s) return;
  HandleSentMessages();
  MSG m;
  while (PeekMessage(&m, true)) {
    if (m.hwnd == dialog)
      DispatchMessage(&m);
    else
      s->deferred.push_back(m);
  }
}

void DialogKey(HWND dialog, int vk, bool down) {
  DialogState* s = find(dialog);
  if (!s || s->ended) return;
  const bool composing = !s->composition.empty();
  const bool swallowed = RunKeyboardHook(vk, down);
  if (down && !swallowed && !composing) {
    if (vk == VK_RETURN) {
      // The focused push button, else the default button.
      const DialogItemTemplate* focused = itemOf(*s, s->focus);
      const int id = focused && isButton(focused->kind) ? focused->id : defaultButton(*s);
      if (id) DialogClick(dialog, id);
    } else if (vk == VK_ESCAPE) {
      DialogCloseBox(dialog);
    }
  }
  PumpDialogMessages(dialog);
}

void DialogClick(HWND dialog, int id) {
  DialogState* s = find(dialog);
  if (!s || s->ended) return;
  const DialogItemTemplate* item = itemOf(*s, id);
  if (!item || !s->items[id].enabled || !takesFocus(item->kind) || item->kind == DialogItemKind::Edit) return;
  s->focus = id;
  if (item->kind == DialogItemKind::Radio) {
    for (const auto& other : s->tpl.items)
      if (other.kind == DialogItemKind::Radio) s->items[other.id].check = other.id == id ? BST_CHECKED : BST_UNCHECKED;
  } else if (item->kind == DialogItemKind::Check) {
    s->items[id].check = s->items[id].check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  }
  SendMessage(dialog, WM_COMMAND, static_cast<WPARAM>(id) | (BN_CLICKED << 16), 0);
  PumpDialogMessages(dialog);
}

std::string DialogEditChanged(HWND dialog, int id, const std::string& cp932, int* selStart, int* selEnd) {
  DialogState* s = find(dialog);
  if (s && !s->ended && itemOf(*s, id)) {
    SetDlgItemTextA(dialog, id, cp932.c_str());
    const int caret = selEnd ? *selEnd : static_cast<int>(cp932.size());
    SetDlgItemSel(dialog, id, selStart ? *selStart : caret, caret);
    SendMessage(dialog, WM_COMMAND, static_cast<WPARAM>(id) | (EN_UPDATE << 16), 0);
    PumpDialogMessages(dialog);
  }
  GetDlgItemSel(dialog, id, selStart, selEnd);
  return DlgItemText(dialog, id);
}

const char* RefusedTextMessage() { return "Shift-JISで表せない文字が含まれているため、入力できません。"; }

bool DialogInsertText(HWND dialog, const std::string& utf8) {
  DialogState* s = find(dialog);
  if (!s || s->ended) return false;
  const DialogItemTemplate* item = itemOf(*s, s->focus);
  if (!item || item->kind != DialogItemKind::Edit || !s->items[item->id].enabled) return false;
  // A one-line edit box takes text up to its first line break.
  std::string text = utf8.substr(0, utf8.find_first_of("\r\n"));
  std::string cp932;
  if (!Utf8ToCp932(text, cp932)) {
    // Refused whole: cutting the text would leave half of what was meant, or half a character.
    ShowMessageBox(RefusedTextMessage(), s->caption.c_str(), MB_OK | MB_ICONWARNING);
    return false;
  }
  const ItemState& st = s->items[item->id];
  std::string old = DlgItemText(dialog, item->id);
  const size_t a = std::min<size_t>(st.selStart, old.size()), b = std::min<size_t>(st.selEnd, old.size());
  std::string changed = old.substr(0, a) + cp932 + old.substr(b);
  int selStart = static_cast<int>(a + cp932.size()), selEnd = selStart;
  DialogEditChanged(dialog, item->id, changed, &selStart, &selEnd);
  return true;
}

void DialogSetComposition(HWND dialog, const std::string& utf8) {
  if (DialogState* s = find(dialog)) s->composition = utf8;
}

std::string DialogComposition(HWND dialog) {
  DialogState* s = find(dialog);
  return s ? s->composition : std::string();
}

void DialogCloseBox(HWND dialog) {
  DialogState* s = find(dialog);
  if (!s || s->ended) return;
  SendMessage(dialog, WM_CLOSE, 0, 0);
  PumpDialogMessages(dialog);
}

void DialogFocusNext(HWND dialog, bool backwards) {
  DialogState* s = find(dialog);
  if (!s) return;
  std::vector<int> order;
  for (const auto& item : s->tpl.items)
    if (takesFocus(item.kind) && s->items[item.id].enabled) order.push_back(item.id);
  if (order.empty()) return;
  auto it = std::find(order.begin(), order.end(), s->focus);
  size_t i = it == order.end() ? 0 : static_cast<size_t>(it - order.begin());
  i = backwards ? (i + order.size() - 1) % order.size() : (it == order.end() ? 0 : (i + 1) % order.size());
  s->focus = order[i];
}

DialogHost* SetDialogHost(DialogHost* host) { return std::exchange(g_host, host); }
DialogHost* CurrentDialogHost() { return g_host; }

void SetDialogUnansweredHandler(void (*onUnanswered)()) {
  g_onUnanswered = onUnanswered;
  g_unanswered = false;
}

bool HeadlessDialogUnanswered() { return g_unanswered.load(); }

void NoteDialogUnanswered() {
  g_unanswered = true;
  if (g_onUnanswered) g_onUnanswered();
}

namespace {
// The start of the character before pos (walking from the text's start: a trail byte may look like
// a lead byte).
size_t previousCharStart(const std::string& text, size_t pos) {
  size_t i = 0, last = 0;
  while (i < pos && i < text.size()) {
    last = i;
    i += Cp932CharLength(text, i);
  }
  return last;
}
}  // namespace

bool DialogEditKey(HWND dialog, int vk, bool ctrl) {
  DialogState* s = find(dialog);
  if (!s || s->ended || !s->composition.empty()) return false;
  const DialogItemTemplate* item = itemOf(*s, s->focus);
  if (!item || item->kind != DialogItemKind::Edit || !s->items[item->id].enabled) return false;
  ItemState& st = s->items[item->id];
  std::string text = DlgItemText(dialog, item->id);
  const size_t a = std::min<size_t>(st.selStart, text.size()), b = std::min<size_t>(st.selEnd, text.size());
  switch (vk) {
    case VK_LEFT: {
      size_t caret = a != b ? a : (a > 0 ? previousCharStart(text, a) : 0);
      if (a == b && a >= 2 && text.compare(a - 2, 2, "\r\n") == 0) caret = a - 2;
      st.selStart = st.selEnd = static_cast<int>(caret);
      return true;
    }
    case VK_RIGHT: {
      size_t caret = a != b ? b : (b < text.size() ? b + Cp932CharLength(text, b) : b);
      if (a == b && text.compare(b, 2, "\r\n") == 0) caret = b + 2;
      st.selStart = st.selEnd = static_cast<int>(caret);
      return true;
    }
    case VK_HOME: st.selStart = st.selEnd = 0; return true;
    case VK_END: st.selStart = st.selEnd = static_cast<int>(text.size()); return true;
    case VK_BACK:
    case VK_DELETE: {
      size_t from = a, to = b;
      if (a == b) {
        // A line break ("\r\n") goes as one.
        if (vk == VK_BACK) {
          if (a == 0) return true;
          from = a >= 2 && text.compare(a - 2, 2, "\r\n") == 0 ? a - 2 : previousCharStart(text, a);
        } else {
          if (b >= text.size()) return true;
          to = text.compare(b, 2, "\r\n") == 0 ? b + 2 : b + Cp932CharLength(text, b);
        }
      }
      std::string changed = text.substr(0, from) + text.substr(to);
      int selStart = static_cast<int>(from), selEnd = selStart;
      DialogEditChanged(dialog, item->id, changed, &selStart, &selEnd);
      return true;
    }
    case 'A':
      if (!ctrl) return false;
      st.selStart = 0;
      st.selEnd = static_cast<int>(text.size());
      return true;
    default: return false;
  }
}
