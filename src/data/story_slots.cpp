// The story slots and the challenge file: paths, summaries, loading whole files only, and saving
// without ever losing the file that was there.
#include "data/story_slots.h"

#include <ctime>

#include "core/containers.h"
#include "core/log.h"
#include "data/system_data.h"

const char* const kChallengeDataPath = "user_data\\challenge\\Challenge.dat";

cSlotInfo::cSlotInfo() { DeclareFields(g_nDataVersion); }

void cSlotInfo::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_bExists);
}

std::string StorySlotPath(int slot) {
  char path[64];
  std::snprintf(path, sizeof path, "%s%02d.dat", "user_data\\story\\Story", slot + 1);
  return path;
}

namespace {
// Game kinds of the lives rule.
constexpr int kStoryKind = 0;
constexpr int kChallengeKind = 1;

// Values a progress indexes tables with: a file holding others was not written by the game.
bool IsPlayable(const cSaveData& save) {
  return save.m_nStorySlot >= -1 && save.m_nStorySlot < kStorySlotCount && save.m_nRankingKind >= 0 &&
         save.m_nRankingKind < kRankingKindCount;
}

// The local time as the slots store it.
SAVETIME LocalSaveTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  SAVETIME t;
  t.wYear = static_cast<uint16_t>(local.tm_year + 1900);
  t.wMonth = static_cast<uint16_t>(local.tm_mon + 1);
  t.wDayOfWeek = static_cast<uint16_t>(local.tm_wday);
  t.wDay = static_cast<uint16_t>(local.tm_mday);
  t.wHour = static_cast<uint16_t>(local.tm_hour);
  t.wMinute = static_cast<uint16_t>(local.tm_min);
  t.wSecond = static_cast<uint16_t>(local.tm_sec);
  t.wMilliseconds = static_cast<uint16_t>(now.tv_nsec / 1000000);
  return t;
}

bool IsDamaged(const std::string& path) {
  cSaveData probe;
  return ReadProgressFile(path, probe) == eProgressFile::Damaged;
}

bool InSlotRange(int slot) {
  if (slot >= 0 && slot < kStorySlotCount) return true;
  ReportRangeError('V', slot, kStorySlotCount, static_cast<int32_t>(sizeof(cSlotInfo)));
  return false;
}
}  // namespace

void ShowSaveMessage(const char* format, const std::string& path) {
  std::string text;
  FormatStr(text, format, path.c_str());
  ReportLogPuts(text.c_str());
  ErrorBox(text.c_str());
}

eProgressFile ReadProgressFile(const std::string& path, cSaveData& into) {
  auto file = OpenDataFileR(path.c_str());
  if (!file) return LastReadFault().kind == eReadFault::Missing ? eProgressFile::Missing : eProgressFile::Damaged;
  cSaveData loaded;
  const bool whole = loaded.Load(*file) && !file->Failed() && IsPlayable(loaded);
  CloseDataFile(file);
  if (!whole) return eProgressFile::Damaged;
  into = std::move(loaded);
  return eProgressFile::Whole;
}

void ScanStorySlots(std::vector<cSlotInfo>& list) {
  list.resize(kStorySlotCount);
  for (int slot = 0; slot < kStorySlotCount; ++slot) {
    cSlotInfo& info = list[static_cast<size_t>(slot)];
    cSaveData save;
    const eProgressFile state = ReadProgressFile(StorySlotPath(slot), save);
    info.m_bExists = state != eProgressFile::Missing ? 1 : 0;
    info.m_bDamaged = state == eProgressFile::Damaged ? 1 : 0;
    info.m_SaveTime = state == eProgressFile::Whole ? save.m_SaveTime : SAVETIME{};
  }
}

namespace {
// After a load: unlimited lives when the game kind has them; otherwise lives kept as unlimited by
// another setting become the kind's start lives.
void ApplyLivesRule(cSaveData& save, int kind) {
  if (VecAt(g_SystemData.m_anModeOpt, kind)) {
    save.m_nStartLives = kUnlimitedLives;
    save.m_nLives = kUnlimitedLives;
  } else if (save.m_nLives == kUnlimitedLives) {
    save.m_nLives = VecAt(g_SystemData.m_anStartLives, kind);
  }
}

// Writes the progress, saying so when the file could not be written (a fatal stop says nothing:
// the program is closing).
bool SaveProgressFile(cSaveData& save, const std::string& path) {
  if (save.SaveFile(path)) return true;
  if (!g_bQuit.load()) ShowSaveMessage("%s の保存に失敗しました！", path);
  return false;
}

// An automatic save keeps a damaged file that is in its place.
bool KeepsDamagedFile(const std::string& path) {
  if (!IsDamaged(path)) return false;
  ShowSaveMessage("%s を読み込めないため、上書きせずに残しました！", path);
  return true;
}
}  // namespace

int cSaveData::LoadStorySlot(int slot) {
  if (!InSlotRange(slot)) return 0;
  if (ReadProgressFile(StorySlotPath(slot), *this) != eProgressFile::Whole) return 0;
  ApplyLivesRule(*this, kStoryKind);
  return 1;
}

int cSaveData::SaveStorySlot(int slot, int chosen) {
  if (!InSlotRange(slot) || g_bQuit.load()) return 0;
  RecomputeResultTotal();
  const std::string path = StorySlotPath(slot);
  if (!chosen && KeepsDamagedFile(path)) return 0;
  const SAVETIME kept = m_SaveTime;
  m_SaveTime = LocalSaveTime();
  if (!SaveProgressFile(*this, path)) {
    m_SaveTime = kept;
    return 0;
  }
  if (g_SlotList.size() < static_cast<size_t>(kStorySlotCount)) g_SlotList.resize(kStorySlotCount);
  cSlotInfo& info = g_SlotList[static_cast<size_t>(slot)];
  info.m_bExists = 1;
  info.m_bDamaged = 0;
  info.m_SaveTime = m_SaveTime;
  return 1;
}

int cSaveData::LoadChallengeData() {
  if (ReadProgressFile(kChallengeDataPath, *this) != eProgressFile::Whole) return 0;
  ApplyLivesRule(*this, kChallengeKind);
  return 1;
}

int cSaveData::SaveChallengeData() {
  if (g_bQuit.load() || KeepsDamagedFile(kChallengeDataPath)) return 0;
  return SaveProgressFile(*this, kChallengeDataPath) ? 1 : 0;
}
