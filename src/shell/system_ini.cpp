#include "shell/system_ini.h"

#include <climits>
#include <cstring>
#include <string>

#include "core/containers.h"
#include "core/log.h"
#include "data/system_data.h"
#include "platform/files.h"

INISETTINGS g_IniSettings;

const char* const g_apszReplayIniKeys[5] = {"Replay_On", "Replay_AutomaticSave", "Replay_PlaybackOrder",
                                            "Replay_AutomaticMessageProgress", ""};

namespace {
// Names and values keep at most this many characters; the rest of an over-long one is read and dropped.
constexpr size_t kBufferChars = 2047;
constexpr int kMaxEntries = 10000;
// A settings file is a few hundred bytes; anything this large is not one.
constexpr size_t kMaxFileBytes = 16u << 20;

// atoi without its undefined overflow: leading blanks, a sign and digits, clamped to the int range.
int32_t parseInt(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n' || s[i] == '\v' || s[i] == '\f'))
    ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > static_cast<int64_t>(INT_MAX) + 1) v = static_cast<int64_t>(INT_MAX) + 1;
  }
  if (negative) v = -v;
  if (v > INT_MAX) v = INT_MAX;
  if (v < INT_MIN) v = INT_MIN;
  return static_cast<int32_t>(v);
}

int32_t* intFieldOf(INISETTINGS& s, int index) {
  switch (index) {
    case kIniDirect3D: return &s.Direct3D;
    case kIniWindowMode: return &s.WindowMode;
    case kIniBpp: return &s.Bpp;
    case kIniVSync: return &s.VSync;
    case kIniD3DFontCache: return &s.D3D_FontCache;
    case kIniDDFontCache: return &s.DD_FontCache;
    case kIniDDVideoStretch: return &s.DD_VideoStretch;
    case kIniShowFps: return &s.ShowFps;
    case kIniEnglish: return &s.English;
    case kIniMidiDirectMusic: return &s.Midi_DirectMusic;
    default: return nullptr;
  }
}

void setFreeStage(INISETTINGS& s, const std::string& text) {
  size_t n = std::min(text.size(), static_cast<size_t>(kFreeStageSize - 1));
  std::memcpy(s.FreeStage, text.data(), n);
  s.FreeStage[n] = '\0';
}

void storeValue(INISETTINGS& s, const std::vector<cSysParam>& keys, const std::string& name, const std::string& value) {
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].m_strName != name) continue;
    int index = static_cast<int>(i);
    if (index == kIniFreeStage) {
      if (value.size() >= 2 && value.size() <= kFreeStageSize - 1) setFreeStage(s, value);
    } else if (int32_t* field = intFieldOf(s, index)) {
      *field = parseInt(value);
    }
    break;
  }
  INIREPLAYKEY* replay[4] = {&s.Replay_On, &s.Replay_AutomaticSave, &s.Replay_PlaybackOrder,
                             &s.Replay_AutomaticMessageProgress};
  for (int k = 0; k < 4; ++k) {
    if (name != g_apszReplayIniKeys[k]) continue;
    int32_t v = parseInt(value);
    if (v < 0) {
      replay[k]->bPresent = 0;
    } else {
      replay[k]->bPresent = 1;
      if (k < 3)
        replay[k]->nValue = v >= 3 ? 2 : v;
      else
        replay[k]->nValue = v >= 22 ? 20 : v;
    }
  }
}
}  // namespace

const cSysParam& IniKeyAt(const std::vector<cSysParam>& keys, int index) { return VecAt(keys, index); }

void SetIniDefaults(INISETTINGS& s, const std::vector<cSysParam>& keys) {
  for (int i = 0; i <= kIniMidiDirectMusic; ++i) {
    const cSysParam& key = IniKeyAt(keys, i);
    if (i == kIniFreeStage)
      setFreeStage(s, key.m_strDefault);
    else
      *intFieldOf(s, i) = key.m_nDefault;
  }
  s.Replay_On.bPresent = 0;
  s.Replay_AutomaticSave.bPresent = 0;
  s.Replay_PlaybackOrder.bPresent = 0;
  s.Replay_AutomaticMessageProgress.bPresent = 0;
}

int ParseSystemIni(std::string_view bytes, INISETTINGS& s, const std::vector<cSysParam>& keys) {
  size_t pos = 0;
  auto atEnd = [&] { return pos >= bytes.size(); };
  std::string name, value;
  for (int entries = 0; entries < kMaxEntries; ++entries) {
    // The name: CR, space and tab are dropped wherever they stand.
    name.clear();
    char c = 0;
    for (;;) {
      if (atEnd()) return 0;
      c = bytes[pos++];
      if (c == '=' || c == '\n' || c == '\0') break;
      if (c == '\r' || c == ' ' || c == '\t') continue;
      if (name.size() < kBufferChars) name.push_back(c);
    }
    if (c == '\0') return 1;
    if (c == '\n') {
      if (name == "Exit") return 1;
      continue;
    }
    // The value ends at a space, tab, "/", line feed or NUL; the rest of the line is the next name.
    value.clear();
    for (;;) {
      if (atEnd()) return 0;
      c = bytes[pos++];
      if (c == ' ' || c == '\t' || c == '/' || c == '\n' || c == '\0') break;
      if (value.size() < kBufferChars) value.push_back(c);
    }
    // A line saved with CR LF ends its value with a CR; it belongs to the line end, not the value.
    while (!value.empty() && value.back() == '\r') value.pop_back();
    storeValue(s, keys, name, value);
  }
  return 1;
}

int ReadSystemIni(const char* path, INISETTINGS& s, const std::vector<cSysParam>& keys) {
  std::string bytes;
  if (!path || !ReadWholeFile(path, kMaxFileBytes, bytes)) return 0;
  return ParseSystemIni(bytes, s, keys);
}

void LoadSystemIni() {
  SetIniDefaults(g_IniSettings, g_SystemData.m_aIniKeys);
  if (!ReadSystemIni("System.ini", g_IniSettings, g_SystemData.m_aIniKeys)) {
    LogErrorBoxf("System.ini の読み込みに失敗しました！");
    SetIniDefaults(g_IniSettings, g_SystemData.m_aIniKeys);
  }
}
