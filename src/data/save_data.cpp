#include "data/save_data.h"

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
  m_anWorldFlags.assign(kWorldFlagCount, 0);
  m_anWorldFlags[0] = 1;
  m_anCommonVars.assign(kCommonVarCount, 0);
  m_anCommonVarsBackup.clear();
  m_nChallengeUnlocked = 1;
  m_nStorySlot = -1;
  m_strRankingName = "aaa";
}
