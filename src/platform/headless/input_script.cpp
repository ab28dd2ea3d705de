#include "platform/headless/input_script.h"

#include <strings.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>

#include "platform/encoding.h"
#include "platform/input/joystick.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/message_box.h"
#include "platform/window/game_window.h"

namespace {
std::mutex g_mutex;
std::vector<cInputScriptEvent> g_events;
size_t g_next = 0;
std::deque<cScriptAnswer> g_answers;

bool parseNumber(const std::string& word, uint64_t max, uint64_t* out) {
  if (word.empty()) return false;
  char* end = nullptr;
  unsigned long long v = std::strtoull(word.c_str(), &end, 0);
  if (!end || *end != '\0' || word[0] == '-' || v > max) return false;
  *out = v;
  return true;
}
// The text of a line after its first `words` words and the one space that follows them; the text
// keeps its inner spaces, not its trailing ones (a comment was cut off already).
std::string restOfLine(const std::string& line, int words) {
  size_t i = 0;
  for (int n = 0; n < words; ++n) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
  }
  if (i < line.size()) ++i;
  std::string rest = line.substr(std::min(i, line.size()));
  while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back()))) rest.pop_back();
  return rest;
}

std::optional<cScriptAnswer::Kind> textStepKind(const std::string& word) {
  if (strcasecmp(word.c_str(), "type") == 0) return cScriptAnswer::Kind::Type;
  if (strcasecmp(word.c_str(), "paste") == 0) return cScriptAnswer::Kind::Paste;
  if (strcasecmp(word.c_str(), "compose") == 0) return cScriptAnswer::Kind::Compose;
  return std::nullopt;
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
    if (strcasecmp(w[0].c_str(), "answer") == 0 && w.size() >= 2 && strcasecmp(w[1].c_str(), "file") == 0) {
      std::string name = restOfLine(line, 2);
      if (name.empty()) return fail("answer file takes a file name");
      cScriptAnswer step{cScriptAnswer::Kind::File, 0, {}};
      if (!Utf8ToCp932(name, step.text)) return fail("the file name has a character Shift-JIS lacks");
      script.answers.push_back(step);
      continue;
    }
    if (const auto kind = textStepKind(w[0]); kind) {
      std::string text = restOfLine(line, 1);
      if (text.empty()) return fail(w[0] + " takes a text");
      if (!IsValidUtf8(text)) return fail("the text is not UTF-8");
      script.answers.push_back({*kind, 0, text});
      continue;
    }
    if (strcasecmp(w[0].c_str(), "key") == 0) {
      if (w.size() != 2) return fail("key takes one key name");
      int vk = VirtualKeyFromName(w[1].c_str());
      if (vk < 0) return fail("unknown key '" + w[1] + "'");
      script.answers.push_back({cScriptAnswer::Kind::Key, vk, {}});
      continue;
    }
    if (strcasecmp(w[0].c_str(), "click") == 0) {
      uint64_t id = 0;
      if (w.size() != 2 || !parseNumber(w[1], 0xFFFF, &id)) return fail("click takes a control number");
      script.answers.push_back({cScriptAnswer::Kind::Click, static_cast<int>(id), {}});
      continue;
    }
    if (strcasecmp(w[0].c_str(), "answer") == 0) {
      if (w.size() != 2) return fail("answer takes one word");
      const std::string& a = w[1];
      int id = strcasecmp(a.c_str(), "yes") == 0      ? IDYES
               : strcasecmp(a.c_str(), "no") == 0     ? IDNO
               : strcasecmp(a.c_str(), "ok") == 0     ? IDOK
               : strcasecmp(a.c_str(), "cancel") == 0 ? IDCANCEL
                                                      : 0;
      if (!id) return fail("unknown answer '" + a + "'");
      script.answers.push_back({cScriptAnswer::Kind::Answer, id, {}});
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
  if (g_answers.empty() || g_answers.front().kind != cScriptAnswer::Kind::Answer) return false;
  if (answer) *answer = g_answers.front().value;
  g_answers.pop_front();
  return true;
}

bool TakeScriptedDialogStep(cScriptAnswer* step) {
  std::lock_guard lock(g_mutex);
  if (g_answers.empty()) return false;
  if (step) *step = g_answers.front();
  g_answers.pop_front();
  return true;
}
