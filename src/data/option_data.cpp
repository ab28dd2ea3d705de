#include "data/option_data.h"

#include <algorithm>

#include "data/system_data.h"

cOptionData::cOptionData() { SetDefaults(); }

void cOptionData::SetDefaults() {
  ResetFields();
  m_nGamepad = 1;
  m_nBgmVolume = 7;
  m_nSeVolume = 7;
  m_strRankingName = "aaa";
  m_nMessageAutoSeconds = kMaxMessageAutoSeconds;
}

void cOptionData::DeclareFields(uint32_t version) {
  ClearFieldTables();
  if (version >= 952) QC4_DECLARE(m_nGamepad);
  QC4_DECLARE(m_nColour);
  QC4_DECLARE(m_nBgmVolume);
  QC4_DECLARE(m_nSeVolume);
  QC4_DECLARE(m_nRankingEntry);
  if (version >= 932) {
    QC4_DECLARE(m_nReplayAutoSave);
    QC4_DECLARE(m_nReplayOrder);
  }
  if (version >= 934) QC4_DECLARE(m_nMessageAutoSeconds);
  QC4_DECLARE(m_strRankingName);
}

bool cOptionData::Load(cDataFile& file) {
  const uint32_t version = g_nFileVersion;
  if (!cRecord::Load(file)) return false;
  if (version < kDataVersion) {
    if (version < 932) {
      m_nReplayAutoSave = kReplayAutoSaveOff;
      m_nReplayOrder = 2;
    }
    if (version < 934) m_nMessageAutoSeconds = kMaxMessageAutoSeconds;
    // Older files stored the music as on or off.
    m_nBgmVolume = m_nBgmVolume != 0 ? kMaxBgmVolumeStep : 0;
    // Older files had one sound step less above 3 (a damaged file's step beyond the top is the top,
    // before the step is moved up).
    if (m_nSeVolume >= 4) m_nSeVolume = std::min(m_nSeVolume, kMaxSeVolumeStep - 1) + 1;
  }
  ClampToRanges();
  return true;
}

void cOptionData::ClampToRanges() {
  // The options index tables (palettes, volumes, menu choices): a damaged or hand-edited file must
  // not reach past them.
  // Pad detection is on for any non-zero value; stored as the options screen shows it.
  m_nGamepad = m_nGamepad != 0 ? 1 : 0;
  m_nColour = std::clamp(m_nColour, 0, kMaxColourOption);
  m_nBgmVolume = std::clamp(m_nBgmVolume, 0, kMaxBgmVolumeStep);
  m_nSeVolume = std::clamp(m_nSeVolume, 0, kMaxSeVolumeStep);
  m_nRankingEntry = std::clamp(m_nRankingEntry, 0, kMaxRankingEntryOption);
  m_nReplayAutoSave = std::clamp(m_nReplayAutoSave, 0, kMaxReplayAutoSave);
  m_nReplayOrder = std::clamp(m_nReplayOrder, 0, kMaxReplayOrder);
  m_nMessageAutoSeconds = std::clamp(m_nMessageAutoSeconds, 0, kMaxMessageAutoSeconds);
}

void ApplyReplayOptionOverrides(cOptionData& options, std::vector<cCmd>& optionMenu, const cOptionOverride& autoSave,
                                const cOptionOverride& order, const cOptionOverride& messageSeconds) {
  const struct {
    const cOptionOverride& key;
    int32_t& option;
    size_t menuEntry;
  } overrides[] = {
      {autoSave, options.m_nReplayAutoSave, kOptionMenuReplayAutoSave},
      {order, options.m_nReplayOrder, kOptionMenuReplayOrder},
      {messageSeconds, options.m_nMessageAutoSeconds, kOptionMenuMessageAuto},
  };
  for (const auto& o : overrides) {
    if (!o.key.bPresent) continue;
    o.option = o.key.nValue;
    // A project's item list is at least as long as the options screen needs once loaded; a shorter
    // one only loses the display.
    if (o.menuEntry < optionMenu.size()) optionMenu[o.menuEntry].m_bEnabled = 1;
  }
}
