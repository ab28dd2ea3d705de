#include "data/save_data.h"

#include <algorithm>
#include <cstdio>

#include "data/system_data.h"
#include "data/world_map.h"

namespace {
// The lists a new progress starts with, made once: a reset copies them whole rather than filling
// its lists value by value (every run makes several progress records).
const std::vector<int32_t>& StartWorldFlags() {
  static const std::vector<int32_t> flags = [] {
    std::vector<int32_t> v(kWorldFlagCount, 0);
    v[0] = 1;
    return v;
  }();
  return flags;
}
const std::vector<int32_t>& StartCommonVars() {
  static const std::vector<int32_t> vars(kCommonVarCount, 0);
  return vars;
}
}  // namespace

cSaveData::cSaveData() { ResetProgress(0); }

void cSaveData::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_bCarryOverValid);
  QC4_DECLARE(m_nMapX);
  QC4_DECLARE(m_nMapY);
  // Older files hold a value in this place that later versions made the world-entry ending.
  if (version >= 916)
    QC4_DECLARE(m_nWorldEnding);
  else
    QC4_DECLARE(m_nOldEnding);
  QC4_DECLARE(m_nGameRound);
  if (version >= 915) QC4_DECLARE(m_bInStage);
  if (version >= 758) {
    QC4_DECLARE(m_bCondOn);
    QC4_DECLARE(m_nCondVar);
    QC4_DECLARE(m_nCondValue);
  }
  QC4_DECLARE(m_nWorld);
  QC4_DECLARE(m_nStage);
  QC4_DECLARE(m_nStartLives);
  QC4_DECLARE(m_nLives);
  QC4_DECLARE(m_nScore);
  QC4_DECLARE(m_nScoreTotal);
  QC4_DECLARE(m_nResultTotal);
  QC4_DECLARE(m_nRemainTimeTotal);
  QC4_DECLARE(m_nClearTimeTotal);
  if (version >= 182) {
    QC4_DECLARE(m_nRemainHpTotal);
    QC4_DECLARE(m_nRemainSpTotal);
  }
  QC4_DECLARE(m_bNumberedStage);
  if (version >= 915) QC4_DECLARE(m_nNextStage);
  QC4_DECLARE(m_nBgm);
  if (version >= 166) QC4_DECLARE(m_nBgmOption);
  if (version >= 194) QC4_DECLARE(m_nMapFacing);
  if (version >= 190) QC4_DECLARE(m_bLeftStage);
  if (version >= 191) {
    QC4_DECLARE(m_nPrevMapX);
    QC4_DECLARE(m_nPrevMapY);
  }
  QC4_DECLARE(m_nChallengeUnlocked);
  if (version >= 915) {
    QC4_DECLARE(m_nBackupLives);
    QC4_DECLARE(m_nBackupScoreTotal);
  }
  QC4_DECLARE(m_nStorySlot);
  if (version >= 169) QC4_DECLARE(m_bAutoSave);
  QC4_DECLARE(m_bRankingPanel);
  QC4_DECLARE(m_nRankingKind);
  if (version >= 678) {
    QC4_DECLARE(m_bPlaceRequest);
    QC4_DECLARE(m_nPlaceX);
    QC4_DECLARE(m_nPlaceY);
  }
  if (version >= 679) QC4_DECLARE(m_nPlaceFacing);
  if (version >= 944) QC4_DECLARE(m_bClearCounts);
  QC4_DECLARE(m_strStageKey);
  if (version >= 724) QC4_DECLARE(m_strResultKey);
  if (version >= 915) QC4_DECLARE(m_strNextStagePath);
  QC4_DECLARE(m_strRankingName);
}

void cSaveData::ResetProgress(int challengeCount) {
  ResetFields();
  m_nOldEnding = 0;
  m_SaveTime = SAVETIME{};
  m_abCarryStored.assign(kCarryOverItems, 0);
  m_aCarryOver.clear();
  m_aCarryOver.emplace_back();
  m_aStageResults.clear();
  m_aChallenge.clear();
  for (int i = 0; i < challengeCount; ++i) m_aChallenge.emplace_back();
  m_anWorldFlags = StartWorldFlags();
  m_anCommonVars = StartCommonVars();
  m_anCommonVarsBackup.clear();
  m_nChallengeUnlocked = 1;
  m_nStorySlot = -1;
  m_strRankingName = "aaa";
}

namespace {
// Versions from which the lists after the record body exist.
constexpr uint32_t kCarryStoredVersion = 501;
constexpr uint32_t kVarsBackupVersion = 915;
constexpr int kOldCommonVarCount = 1000;
// Challenge stage numbers index the world flags: a project cannot have more of them.
constexpr int32_t kMaxChallengeCount = kWorldFlagCount;
static_assert(sizeof(SAVETIME) == 16, "the save time is stored as eight uint16");

// A list of ints cut or padded with 0 to n entries.
void ResizeList(std::vector<int32_t>& list, size_t n) { list.resize(n, 0); }
}  // namespace

bool cSaveData::Load(cDataFile& file) {
  const uint32_t version = g_nFileVersion;
  ResetProgress(0);
  if (!cRecord::Load(file)) return false;
  if (!file.Read(&m_SaveTime, sizeof(m_SaveTime))) return false;
  if (version >= kCarryStoredVersion && !LoadValueList(file, m_abCarryStored)) return false;
  if (!LoadRecordList(file, m_aCarryOver) || !LoadRecordList(file, m_aStageResults) ||
      !LoadRecordList(file, m_aChallenge))
    return false;
  if (!LoadValueList(file, m_anWorldFlags) || !LoadValueList(file, m_anCommonVars)) return false;
  if (version >= kVarsBackupVersion && !LoadValueList(file, m_anCommonVarsBackup)) return false;
  if (version < kDataVersion) {
    if (version < 166) m_nBgmOption = 1;
    if (version < 169) m_bAutoSave = 0;
    if (version < 182) {
      m_nRemainHpTotal = 0;
      m_nRemainSpTotal = 0;
    }
    if (version < 190) m_bLeftStage = 0;
    if (version < 191) {
      m_nPrevMapX = 0;
      m_nPrevMapY = 0;
    }
    if (version < 194) m_nMapFacing = 0;
    if (version < kCarryStoredVersion) m_abCarryStored.assign(kCarryOverItems, 1);
    if (version < 754) {
      ResizeList(m_anCommonVars, kOldCommonVarCount);
      m_anCommonVarsBackup.assign(kOldCommonVarCount, 0);
    }
    if (version < 804) {
      if (m_anWorldFlags.empty()) m_anWorldFlags.resize(1, 0);
      m_anWorldFlags[0] = 1;
    }
  }
  // Every file the game writes holds at least the 1000 common variables of the oldest saves; a
  // shorter list (from a damaged or hand-made file) gets the missing ones as 0, so that the flows
  // find every variable an old save has.
  if (m_anCommonVars.size() < static_cast<size_t>(kOldCommonVarCount)) ResizeList(m_anCommonVars, kOldCommonVarCount);
  NormaliseSaveData();
  return true;
}

bool cSaveData::Save(cDataFile& file) {
  NormaliseSaveData();
  if (!cRecord::Save(file)) return false;
  file.Write(&m_SaveTime, sizeof(m_SaveTime));
  SaveValueList(file, m_abCarryStored);
  if (!SaveRecordList(file, m_aCarryOver) || !SaveRecordList(file, m_aStageResults) ||
      !SaveRecordList(file, m_aChallenge))
    return false;
  SaveValueList(file, m_anWorldFlags);
  SaveValueList(file, m_anCommonVars);
  SaveValueList(file, m_anCommonVarsBackup);
  return true;
}

void AppendStageCondition(std::string& key, int32_t on, int32_t variable, int32_t value) {
  if (!on) return;
  const bool dot = !key.empty() && key.back() == '.';
  if (dot) key.pop_back();
  char suffix[48];
  std::snprintf(suffix, sizeof(suffix), "_c%03d_%d", variable, value);
  key += suffix;
  if (dot) key += '.';
}

int ProjectChallengeCount() { return std::clamp<int32_t>(g_SystemData.m_nSaveVarCount, 0, kMaxChallengeCount); }

void cSaveData::NormaliseSaveData() {
  // A negative place is as far outside the map as one past its edge, and would index before it.
  if (m_nMapX < 0 || m_nMapX >= g_WorldMap.m_nWidth) m_nMapX = g_WorldMap.m_nStartX;
  if (m_nMapY < 0 || m_nMapY >= g_WorldMap.m_nHeight) m_nMapY = g_WorldMap.m_nStartY;
  const int32_t challenges = ProjectChallengeCount();
  m_aChallenge.resize(static_cast<size_t>(challenges));
  if (m_nChallengeUnlocked > challenges) m_nChallengeUnlocked = challenges;
}

void cSaveData::ClearProgressBlock() {
  m_bPlaceRequest = 0;
  m_nPlaceX = 0;
  m_nPlaceY = 0;
  m_nPlaceFacing = 0;
  m_bClearCounts = 0;
}
