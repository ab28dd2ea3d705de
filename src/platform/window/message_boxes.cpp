#include "platform/window/message_boxes.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "platform/encoding.h"
#include "platform/headless/input_script.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/window/window_box_run.h"

namespace {
constexpr uint32_t kMsgShowBox = WM_USER + 0x7F00;

struct BoxRequest {
  const char* text;
  const char* caption;
  unsigned type;
};

HWND g_boxWindow = nullptr;
uint32_t g_uiThread = 0;
std::atomic<bool> g_unanswered{false};

std::string utf8(const char* cp932) {
  std::string out;
  Cp932ToUtf8(cp932 ? cp932 : "", out);
  return out;
}

int defaultAnswer(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
  }
}

// SDL's box; false when it cannot show one.
bool sdlBox(const char* utf8Text, const char* utf8Caption, unsigned type, int* answer) {
  std::vector<SDL_MessageBoxButtonData> buttons;
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
      buttons.push_back({SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"});
      buttons.push_back({SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"});
      break;
    case MB_OKCANCEL:
      buttons.push_back({SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"});
      buttons.push_back({SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"});
      break;
    default:
      buttons.push_back(
          {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"});
      break;
  }
  Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
  unsigned icon = type & 0xF0;
  if (icon == 0x10) flags = SDL_MESSAGEBOX_ERROR;
  if (icon == 0x30) flags = SDL_MESSAGEBOX_WARNING;
  SDL_MessageBoxData data{};
  data.flags = flags;
  data.window = nullptr;
  data.title = utf8Caption;
  data.message = utf8Text;
  data.numbuttons = static_cast<int>(buttons.size());
  data.buttons = buttons.data();
  return SDL_ShowMessageBox(&data, answer) == 0 && *answer > 0;
}

std::atomic<SystemMessageBoxFn> g_systemBox{sdlBox};

// The system's box; when it cannot be shown, the box is drawn in the game window. Only when neither
// can be had is it written to standard error and answered with its default button.
int showBox(const char* text, const char* caption, unsigned type) {
  std::string t = utf8(text), c = utf8(caption);
  int answer = 0;
  if (g_systemBox.load()(t.c_str(), c.c_str(), type, &answer)) return answer;
  answer = RunWindowBox(text, caption, type);
  if (answer > 0) return answer;
  std::fprintf(stderr, "[%s] %s\n", c.c_str(), t.c_str());
  return defaultAnswer(type);
}

LRESULT boxWindowProc(HWND, uint32_t msg, WPARAM, LPARAM lParam) {
  if (msg != kMsgShowBox) return 0;
  auto* r = reinterpret_cast<const BoxRequest*>(lParam);
  return showBox(r->text, r->caption, r->type);
}
}  // namespace

void InstallWindowMessageBoxes() {
  g_uiThread = GetCurrentThreadId();
  if (!g_boxWindow) g_boxWindow = CreateMessageWindow(boxWindowProc);
  SetMessageBoxHandler([](const char* text, const char* caption, unsigned type) -> int {
    if (GetCurrentThreadId() == g_uiThread) return showBox(text, caption, type);
    BoxRequest r{text, caption, type};
    LRESULT answer = SendMessage(g_boxWindow, kMsgShowBox, 0, reinterpret_cast<LPARAM>(&r));
    return answer > 0 ? static_cast<int>(answer) : defaultAnswer(type);
  });
}

SystemMessageBoxFn SetSystemMessageBox(SystemMessageBoxFn box) { return g_systemBox.exchange(box ? box : sdlBox); }

void RemoveWindowMessageBoxes() {
  SetMessageBoxHandler(nullptr);
  if (g_boxWindow) DestroyMessageWindow(g_boxWindow);
  g_boxWindow = nullptr;
}

void InstallHeadlessMessageBoxes(std::function<void(const std::string& utf8Text)> onUnanswered) {
  g_unanswered = false;
  SetMessageBoxHandler([onUnanswered](const char* text, const char* caption, unsigned type) -> int {
    std::string t = utf8(text), c = utf8(caption);
    int answer = 0;
    if (TakeScriptedAnswer(&answer)) {
      std::fprintf(stderr, "[%s] %s -> %d\n", c.c_str(), t.c_str(), answer);
      return answer;
    }
    std::fprintf(stderr, "[%s] %s -> no scripted answer\n", c.c_str(), t.c_str());
    g_unanswered = true;
    if (onUnanswered) onUnanswered(t);
    return defaultAnswer(type);
  });
}

bool HeadlessBoxUnanswered() { return g_unanswered.load(); }
