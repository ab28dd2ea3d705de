#include "menus/option_values.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/strings.h"
#include "data/game_data.h"
#include "data/option_data.h"
#include "data/system_data.h"
#include "media/sound/sound_effects.h"
#include "shell/scene_mgr.h"

namespace {
constexpr int kValueMinX = 224;
constexpr int kValueCell = 16;
constexpr int kValueGapChars = 6;

// The project's name for a value; a list shorter than the range shows its first name.
std::string NameOf(const std::vector<std::string>& names, int32_t value) {
  if (value >= 0 && static_cast<size_t>(value) < names.size()) return names[static_cast<size_t>(value)];
  return names.empty() ? std::string() : names.front();
}
}  // namespace

bool IsSteppedOption(int kind) { return OptionValueRef(kind) != nullptr; }

int32_t* OptionValueRef(int kind) {
  switch (kind) {
    case kOptionColour: return &g_OptionData.m_nColour;
    case kOptionGamepad: return &g_OptionData.m_nGamepad;
    case kOptionBgmVolume: return &g_OptionData.m_nBgmVolume;
    case kOptionSeVolume: return &g_OptionData.m_nSeVolume;
    case kOptionRankingEntry: return &g_OptionData.m_nRankingEntry;
    case kOptionReplayAutoSave: return &g_OptionData.m_nReplayAutoSave;
    case kOptionReplayOrder: return &g_OptionData.m_nReplayOrder;
    case kOptionMessageAuto: return &g_OptionData.m_nMessageAutoSeconds;
    default: return nullptr;
  }
}

int32_t OptionMaximum(int kind) {
  switch (kind) {
    case kOptionColour: return kMaxColourOption;
    case kOptionGamepad: return 1;
    case kOptionBgmVolume: return kMaxBgmVolumeStep;
    case kOptionSeVolume: return kMaxSeVolumeStep;
    case kOptionRankingEntry: return kMaxRankingEntryOption;
    case kOptionReplayAutoSave: return kMaxReplayAutoSave;
    case kOptionReplayOrder: return kMaxReplayOrder;
    case kOptionMessageAuto: return kMaxMessageAutoSeconds;
    default: return 0;
  }
}

int32_t OptionValueInRange(int kind) {
  const int32_t* value = OptionValueRef(kind);
  return value ? std::clamp(*value, 0, OptionMaximum(kind)) : 0;
}

std::string MessageAutoText(int32_t value) {
  if (value >= kMaxMessageAutoSeconds) return "OFF";
  value = std::max(value, 0);
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d", value / 2, value % 2 * 5);
  return text;
}

std::string OptionValueText(int kind) {
  const int32_t value = OptionValueInRange(kind);
  switch (kind) {
    case kOptionColour:
    case kOptionBgmVolume:
    case kOptionSeVolume: return std::to_string(value);
    case kOptionGamepad: return value != 0 ? "ON" : "OFF";
    case kOptionRankingEntry: return NameOf(g_SystemData.m_astrRankRegChoices, value);
    case kOptionRankingName: return g_OptionData.m_strRankingName;
    case kOptionReplayAutoSave: return NameOf(g_SystemData.m_astrReplaySaveChoices, value);
    case kOptionReplayOrder: return NameOf(g_SystemData.m_astrReplayOrderChoices, value);
    case kOptionMessageAuto: return MessageAutoText(value);
    default: return std::string();
  }
}

const char* OptionCaption(int kind) {
  const auto& items = g_SystemData.m_aOptionMenu;
  if (kind < 0 || static_cast<size_t>(kind) >= items.size()) return "";
  return items[static_cast<size_t>(kind)].m_strCaption.c_str();
}

int OptionValueX(int kind) {
  return std::max(kValueMinX, kValueCell * (CountSjisChars(OptionCaption(kind)) + kValueGapChars));
}

void ApplyOptionValue(int kind) {
  switch (kind) {
    case kOptionColour: LoadHbtPalette(OptionValueInRange(kind)); break;
    case kOptionSeVolume: ApplySoundVolumeStep(OptionValueInRange(kind)); break;
    default: break;
  }
}
