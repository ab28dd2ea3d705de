#include "platform/headless/input_script.h"

#include <strings.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/input/joystick.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/message_box.h"
#include "platform/window/game_window.h"

namespace {
std::mutex g_mutex;
std::vector<cInputScriptEvent> g_events;
size_t g_next = 0;
std::deque<int> g_answers;

bool parseNumber(const std::string& word, uint64_t max, uint64_t* out) {
  if (word.empty()) return false;
  char* end = nullptr;
  unsigned long long v = std::strtoull(word.c_str(), &end, 0);
  if (!end || *end != '\0' || word[0] == '-' || v > max) return false;
  *out = v;
  return true;
}
}  // namespace

bool ParseInputScript(const std::string& text, cInputScript& script, std::string* error) {
  script = cInputScript{};
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty()) continue;
    if (strcasecmp(w[0].c_str(), "answer") == 0) {
      if (w.size() != 2) return fail("answer takes one word");
      const std::string& a = w[1];
      int id = strcasecmp(a.c_str(), "yes") == 0      ? IDYES
               : strcasecmp(a.c_str(), "no") == 0     ? IDNO
               : strcasecmp(a.c_str(), "ok") == 0     ? IDOK
               : strcasecmp(a.c_str(), "cancel") == 0 ? IDCANCEL
                                                      : 0;
      if (!id) return fail("unknown answer '" + a + "'");
      script.answers.push_back(id);
      continue;
    }
    uint64_t frame = 0;
    if (!parseNumber(w[0], UINT64_MAX, &frame) || frame == 0) return fail("a frame number from 1 expected");
    if (w.size() < 2) return fail("command missing");
    const std::string& cmd = w[1];
    cInputScriptEvent e;
    e.frame = frame;
    if (strcasecmp(cmd.c_str(), "press") == 0 || strcasecmp(cmd.c_str(), "release") == 0) {
      if (w.size() < 3) return fail("key names missing");
      e.kind =
          strcasecmp(cmd.c_str(), "press") == 0 ? cInputScriptEvent::Kind::Press : cInputScriptEvent::Kind::Release;
      for (size_t i = 2; i < w.size(); ++i) {
        int vk = VirtualKeyFromName(w[i].c_str());
        if (vk < 0) return fail("unknown key '" + w[i] + "'");
        e.vk = vk;
        script.events.push_back(e);
      }
    } else if (strcasecmp(cmd.c_str(), "pad") == 0) {
      if (w.size() < 4 || w.size() > 6) return fail("pad X Y [POV [BUTTONS]]");
      uint64_t v[4] = {32768, 32768, JOY_POVCENTERED, 0};
      const uint64_t max[4] = {65535, 65535, 0xFFFF, 0xFFFFFFFFull};
      for (size_t i = 2; i < w.size(); ++i)
        if (!parseNumber(w[i], max[i - 2], &v[i - 2])) return fail("bad pad value '" + w[i] + "'");
      e.kind = cInputScriptEvent::Kind::Pad;
      e.x = static_cast<uint32_t>(v[0]);
      e.y = static_cast<uint32_t>(v[1]);
      e.pov = static_cast<uint32_t>(v[2]);
      e.buttons = static_cast<uint32_t>(v[3]);
      script.events.push_back(e);
    } else if (strcasecmp(cmd.c_str(), "nopad") == 0) {
      e.kind = cInputScriptEvent::Kind::NoPad;
      script.events.push_back(e);
    } else {
      return fail("unknown command '" + cmd + "'");
    }
  }
  std::stable_sort(script.events.begin(), script.events.end(),
                   [](const cInputScriptEvent& a, const cInputScriptEvent& b) { return a.frame < b.frame; });
  return true;
}

bool LoadInputScript(const std::string& path, cInputScript& script, std::string* error) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    // The caller names the file; the message says why.
    if (error) *error = std::string("cannot be read (") + std::strerror(errno) + ")";
    return false;
  }
  std::ostringstream text;
  text << f.rdbuf();
  return ParseInputScript(text.str(), script, error);
}

void UseInputScript(cInputScript script) {
  std::lock_guard lock(g_mutex);
  g_events = std::move(script.events);
  g_next = 0;
  g_answers.assign(script.answers.begin(), script.answers.end());
}

void ApplyInputScript(uint64_t frame) {
  std::lock_guard lock(g_mutex);
  while (g_next < g_events.size() && g_events[g_next].frame <= frame) {
    const cInputScriptEvent& e = g_events[g_next++];
    switch (e.kind) {
      // The key's state for the frame's reads, and its message for the window (Esc closes).
      case cInputScriptEvent::Kind::Press:
        SetKeyState(e.vk, true);
        GameWindowPostKey(e.vk, true);
        break;
      case cInputScriptEvent::Kind::Release:
        SetKeyState(e.vk, false);
        GameWindowPostKey(e.vk, false);
        break;
      case cInputScriptEvent::Kind::Pad: {
        JoystickReading r;
        r.caps.wCaps = JOYCAPS_HASPOV | JOYCAPS_POV4DIR;
        r.caps.wNumButtons = 32;
        r.pos.dwXpos = e.x;
        r.pos.dwYpos = e.y;
        r.pos.dwPOV = e.pov;
        r.pos.dwButtons = e.buttons;
        SetJoystick(0, r);
        break;
      }
      case cInputScriptEvent::Kind::NoPad: RemoveJoystick(0); break;
    }
  }
}

bool TakeScriptedAnswer(int* answer) {
  std::lock_guard lock(g_mutex);
  if (g_answers.empty()) return false;
  if (answer) *answer = g_answers.front();
  g_answers.pop_front();
  return true;
}
