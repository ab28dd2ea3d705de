#include "data/ranking.h"

#include "core/file_helpers.h"
#include "core/log.h"
#include "data/save_data.h"

cRankEntry::cRankEntry() { DeclareFields(g_nDataVersion); }

void cRankEntry::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_bUsed);
  QC4_DECLARE(m_strName);
  QC4_DECLARE(m_nValue);
}

cRankTable::cRankTable() { DeclareFields(g_nDataVersion); }

void cRankTable::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_bDescending);
}

bool cRankTable::Load(cDataFile& file) { return cRecord::Load(file) && LoadRecordList(file, m_aEntries); }

bool cRankTable::Save(cDataFile& file) { return cRecord::Save(file) && SaveRecordList(file, m_aEntries); }

cRanking::cRanking() { ResetRanking(*this); }

namespace {
// The last version whose files may hold fewer tables, and whose HP and SP tables ranked the other way.
constexpr uint32_t kFewTablesVersion = 180;
constexpr int32_t kDefaultDescending[kRankTableCount] = {1, 1, 0, 1, 1};
}  // namespace

bool cRanking::Load(cDataFile& file) {
  if (!cRecord::Load(file) || !LoadRecordList(file, m_aTables)) return false;
  if (g_nFileVersion <= kFewTablesVersion) {
    m_aTables.resize(kRankTableCount);
    m_aTables[3].m_bDescending = 1;
    m_aTables[4].m_bDescending = 1;
  }
  // The panels and the registration read five tables of twenty rows: the game never writes fewer.
  bool whole = m_aTables.size() >= static_cast<size_t>(kRankTableCount);
  for (const cRankTable& table : m_aTables) whole = whole && table.m_aEntries.size() >= kRankRowCount;
  if (!whole) file.Fail(eReadFault::BadValue);
  return whole;
}

bool cRanking::Save(cDataFile& file) { return cRecord::Save(file) && SaveRecordList(file, m_aTables); }

int FindRankPos(const cRankTable& table, int32_t value) {
  for (size_t i = 0; i < table.m_aEntries.size(); ++i) {
    const cRankEntry& row = table.m_aEntries[i];
    if (!row.m_bUsed) return static_cast<int>(i);
    if (table.m_bDescending ? row.m_nValue < value : value < row.m_nValue) return static_cast<int>(i);
  }
  return -1;
}

void InsertRank(cRankTable& table, const std::string& name, int32_t value) {
  const int pos = FindRankPos(table, value);
  // A value that places nowhere would be appended and removed again.
  if (pos < 0) return;
  cRankEntry row;
  row.m_bUsed = 1;
  row.m_strName = name;
  row.m_nValue = value;
  table.m_aEntries.insert(table.m_aEntries.begin() + pos, row);
  table.m_aEntries.pop_back();
}

void ResetRankTable(cRankTable& table) {
  table.ResetFields();
  table.m_aEntries.resize(kRankRowCount);
}

void ResetRanking(cRanking& ranking) {
  ranking.ResetFields();
  ranking.m_aTables.assign(kRankTableCount, cRankTable{});
  for (int i = 0; i < kRankTableCount; ++i)
    ranking.m_aTables[static_cast<size_t>(i)].m_bDescending = kDefaultDescending[i];
}

int RankingFilePath(std::string& out, int gameKind, const std::string& stageKey, int32_t on, int32_t variable,
                    int32_t value) {
  static const char* const kFolders[] = {"user_data\\story\\", "user_data\\challenge\\", "user_data\\free\\"};
  if (gameKind < 0 || gameKind > 2) return 0;
  std::string name = stageKey;
  if (gameKind == 0) AppendStageCondition(name, on, variable, value);
  PathToFileNameStr(name);
  // The key ends in ".": the extension follows it directly.
  out = std::string(kFolders[gameKind]) + name + "rkg";
  return 1;
}

int LoadRankingFile(cRanking& ranking, int gameKind, const std::string& stageKey, int32_t on, int32_t variable,
                    int32_t value) {
  std::string path;
  cRanking loaded;
  if (!RankingFilePath(path, gameKind, stageKey, on, variable, value) || !loaded.LoadFile(path)) {
    ResetRanking(ranking);
    return 0;
  }
  ranking = std::move(loaded);
  return 1;
}

int SaveRankingFile(cRanking& ranking, int gameKind, const std::string& stageKey, int32_t on, int32_t variable,
                    int32_t value) {
  std::string path;
  if (!RankingFilePath(path, gameKind, stageKey, on, variable, value) || g_bQuit.load()) return 0;
  if (ranking.SaveFile(path)) return 1;
  if (!g_bQuit.load()) ShowSaveMessage("%s の保存に失敗しました！", path);
  return 0;
}
