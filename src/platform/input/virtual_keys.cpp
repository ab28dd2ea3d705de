#include "platform/input/virtual_keys.h"

#include <strings.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
struct NamedKey {
  int vk;
  const char* name;
};
constexpr NamedKey kNamed[] = {
    {VK_LBUTTON, "LBUTTON"},
    {VK_RBUTTON, "RBUTTON"},
    {VK_MBUTTON, "MBUTTON"},
    {VK_BACK, "BACK"},
    {VK_TAB, "TAB"},
    {VK_RETURN, "RETURN"},
    {VK_SHIFT, "SHIFT"},
    {VK_CONTROL, "CONTROL"},
    {VK_MENU, "ALT"},
    {VK_PAUSE, "PAUSE"},
    {VK_CAPITAL, "CAPSLOCK"},
    {VK_ESCAPE, "ESCAPE"},
    {VK_SPACE, "SPACE"},
    {VK_PRIOR, "PAGEUP"},
    {VK_NEXT, "PAGEDOWN"},
    {VK_END, "END"},
    {VK_HOME, "HOME"},
    {VK_LEFT, "LEFT"},
    {VK_UP, "UP"},
    {VK_RIGHT, "RIGHT"},
    {VK_DOWN, "DOWN"},
    {VK_SNAPSHOT, "PRINTSCREEN"},
    {VK_INSERT, "INSERT"},
    {VK_DELETE, "DELETE"},
    {VK_LWIN, "LWIN"},
    {VK_RWIN, "RWIN"},
    {VK_APPS, "APPS"},
    {VK_MULTIPLY, "MULTIPLY"},
    {VK_ADD, "ADD"},
    {VK_SUBTRACT, "SUBTRACT"},
    {VK_DECIMAL, "DECIMAL"},
    {VK_DIVIDE, "DIVIDE"},
    {VK_NUMLOCK, "NUMLOCK"},
    {VK_SCROLL, "SCROLLLOCK"},
    {VK_LSHIFT, "LSHIFT"},
    {VK_RSHIFT, "RSHIFT"},
    {VK_LCONTROL, "LCONTROL"},
    {VK_RCONTROL, "RCONTROL"},
    {VK_LMENU, "LALT"},
    {VK_RMENU, "RALT"},
    {VK_OEM_1, "SEMICOLON"},
    {VK_OEM_PLUS, "EQUALS"},
    {VK_OEM_COMMA, "COMMA"},
    {VK_OEM_MINUS, "MINUS"},
    {VK_OEM_PERIOD, "PERIOD"},
    {VK_OEM_2, "SLASH"},
    {VK_OEM_3, "GRAVE"},
    {VK_OEM_4, "LBRACKET"},
    {VK_OEM_5, "BACKSLASH"},
    {VK_OEM_6, "RBRACKET"},
    {VK_OEM_7, "APOSTROPHE"},
    {VK_OEM_102, "OEM102"},
};

// Names built once for the letters, digits, numpad digits and function keys.
char g_generated[256][12];
bool g_generatedReady = [] {
  for (int c = '0'; c <= '9'; ++c) std::snprintf(g_generated[c], sizeof g_generated[c], "%c", c);
  for (int c = 'A'; c <= 'Z'; ++c) std::snprintf(g_generated[c], sizeof g_generated[c], "%c", c);
  // The numbers as unsigned char: every compiler then sees that they fit.
  for (int i = 0; i < 10; ++i)
    std::snprintf(g_generated[VK_NUMPAD0 + i], sizeof g_generated[0], "NUMPAD%d", static_cast<unsigned char>(i));
  for (int i = 0; i < 24; ++i)
    std::snprintf(g_generated[VK_F1 + i], sizeof g_generated[0], "F%d", static_cast<unsigned char>(i + 1));
  return true;
}();
}  // namespace

const char* VirtualKeyName(int vk) {
  if (vk <= 0 || vk > 255) return "";
  for (const auto& k : kNamed)
    if (k.vk == vk) return k.name;
  return g_generated[vk];
}

int VirtualKeyFromName(const char* name) {
  if (!name || !*name) return -1;
  for (int vk = 1; vk <= 255; ++vk) {
    const char* n = VirtualKeyName(vk);
    if (*n && strcasecmp(n, name) == 0) return vk;
  }
  if (strcasecmp(name, "ENTER") == 0) return VK_RETURN;
  if (strcasecmp(name, "ESC") == 0) return VK_ESCAPE;
  char* end = nullptr;
  long v = std::strtol(name, &end, 0);
  if (end && *end == '\0' && v >= 1 && v <= 255) return static_cast<int>(v);
  return -1;
}
