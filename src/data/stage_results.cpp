// The progress record's current stage, its stage results, the next round and the ranking kind.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "core/containers.h"
#include "core/file_helpers.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "data/world_map.h"

int32_t AddToTotal(int32_t total, int64_t amount) {
  const int64_t sum = static_cast<int64_t>(total) + amount;
  return static_cast<int32_t>(
      std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void cSaveData::SetCurrentStage(const std::string& path, int32_t on, int32_t variable, int32_t value) {
  m_strStageKey = path;
  m_bCondOn = on;
  m_nCondVar = variable;
  m_nCondValue = value;
  m_bNumberedStage = 0;
  // A numbered stage is named after the part before its "-1" (the first stage of its number). Only
  // the file name counts: a folder such as "stage-1\\" says nothing about the stages in it.
  std::string folder = path;
  PathToFolder(folder);
  const size_t nameStart = folder.size();
  const size_t dash = path.rfind("-1");
  if (dash != std::string::npos && dash >= nameStart) {
    m_bNumberedStage = 1;
    m_strStageKey = path.substr(0, dash) + ".";
  } else {
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart) m_strStageKey = path.substr(0, dot + 1);
  }
  m_strResultKey = m_strStageKey;
  AppendStageCondition(m_strResultKey, on, variable, value);
}

void cSaveData::StoreStageResult(const std::string& stageKey, const std::string& resultKey, int32_t on,
                                 int32_t variable, int32_t value, int32_t result) {
  for (cStageResult& entry : m_aStageResults) {
    if (entry.m_strKey != resultKey) continue;
    // A tie keeps the stored entry.
    if (entry.m_nBest >= result) return;
    m_nResultTotal = AddToTotal(m_nResultTotal, static_cast<int64_t>(result) - entry.m_nBest);
    entry.m_nBest = result;
    return;
  }
  cStageResult& entry = m_aStageResults.emplace_back();
  entry.m_strName = stageKey;
  entry.m_strKey = resultKey;
  entry.m_anValues[0] = on;
  entry.m_anValues[1] = variable;
  entry.m_anValues[2] = value;
  entry.m_nBest = result;
  m_nResultTotal = AddToTotal(m_nResultTotal, result);
}

int32_t cSaveData::GetStageResult(const std::string& resultKey) const {
  for (const cStageResult& entry : m_aStageResults)
    if (entry.m_strKey == resultKey) return entry.m_nBest;
  return 0;
}

void cSaveData::RecomputeResultTotal() {
  int32_t total = 0;
  for (const cStageResult& entry : m_aStageResults)
    if (g_WorldMap.IsStageOnWorldMap(entry.m_strName, entry.m_anValues[0], entry.m_anValues[1], entry.m_anValues[2]))
      total = AddToTotal(total, entry.m_nBest);
  m_nResultTotal = total;
}

void cSaveData::ResetForNextRound() {
  ++m_nGameRound;
  std::fill(m_anWorldFlags.begin(), m_anWorldFlags.end(), 0);
  VecAt(m_anWorldFlags, 0) = 1;
  m_nMapX = g_WorldMap.m_nStartX;
  m_nMapY = g_WorldMap.m_nStartY;
}

void cSaveData::StepRankingKind(int gameKind, int step) {
  const std::vector<uint8_t>& bytes = VecAt(g_SystemData.m_aModeRanking, gameKind).m_abKinds;
  // The kinds beyond the row's bytes count as off.
  const auto enabled = [&](int32_t kind) {
    return kind >= 0 && static_cast<size_t>(kind) < bytes.size() && bytes[static_cast<size_t>(kind)] != 0;
  };
  bool any = false;
  for (int32_t kind = 0; kind < kRankingKindCount; ++kind) any = any || enabled(kind);
  if (!any) return;
  const auto wrap = [](int32_t kind) { return ((kind % kRankingKindCount) + kRankingKindCount) % kRankingKindCount; };
  // A stored kind outside the tables counts from its place in the cycle.
  int32_t kind = wrap(m_nRankingKind);
  const int32_t dir = step < 0 ? -1 : 1;
  for (int n = 0; n < std::abs(step); ++n) {
    kind = wrap(kind + dir);
    while (!enabled(kind)) kind = wrap(kind + dir);
  }
  while (!enabled(kind)) kind = wrap(kind + 1);
  m_nRankingKind = kind;
}

void cSaveData::AddStageTotals(int32_t remainingTime, bool timerRuns, int32_t clearTime, int32_t hp, int32_t sp) {
  m_nScoreTotal = AddToTotal(m_nScoreTotal, m_nScore);
  if (timerRuns) m_nRemainTimeTotal = AddToTotal(m_nRemainTimeTotal, remainingTime);
  m_nClearTimeTotal = AddToTotal(m_nClearTimeTotal, clearTime);
  m_nRemainHpTotal = AddToTotal(m_nRemainHpTotal, hp);
  m_nRemainSpTotal = AddToTotal(m_nRemainSpTotal, sp);
}

void cSaveData::StoreChallengeClear() {
  if (!m_aChallenge.empty()) {
    cSaveVar& record = VecAt(m_aChallenge, m_nWorld - 1);
    record.m_nValueA = 1;
    if (m_nScoreTotal > record.m_nValueB) {
      m_nResultTotal = AddToTotal(m_nResultTotal, static_cast<int64_t>(m_nScoreTotal) - record.m_nValueB);
      record.m_nValueB = m_nScoreTotal;
    }
  }
  if (m_nChallengeUnlocked <= m_nWorld)
    m_nChallengeUnlocked = std::min(AddToTotal(m_nWorld, 1), ProjectChallengeCount());
}
