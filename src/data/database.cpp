#include "data/database.h"

#include "core/containers.h"
#include "core/log.h"
#include "data/fixed_tables.h"
#include "data/load_error.h"

const char* const kDatabaseLoadFailed = "データベースの読み込みに失敗…";

namespace {

// Files older than this could hold more sword types than the game draws.
constexpr uint32_t kSwordTypeLimitFrom = 828;
constexpr size_t kOldSwordTypeLimit = 128;

const char* const kFileNames[kDatabaseFileCount] = {
    "AnimeSet.dat",    "Anime.dat",     "Bmp_CharaExc.dat", "SwordType.dat", "Effect.dat",
    "CharaEffect.dat", "ScrEffect.dat", "Picture.dat",      "Sound.dat",     "Bgm.dat",
};

// Reads one file into list: an int32 entry count n, then n entries. A count of 0 or less leaves
// the list as it is. Otherwise the list takes n entries (entries beyond the current ones are
// copies of a default element) and each loads over what it held, so fields the file's version
// lacks keep their defaults. A file that ends early or is otherwise broken leaves the list as it
// was and fails.
template <class T>
bool LoadList(cDataFile& file, std::vector<T>& list) {
  int32_t n = 0;
  // Every entry holds at least its field count and string count.
  if (!ReadListCount(file, n, 8, sizeof(T))) return false;
  if (n > 0) {
    // The entries load in a copy, so that a broken file leaves the list as it was.
    std::vector<T> work(list.begin(), list.begin() + std::min<ptrdiff_t>(n, std::ssize(list)));
    work.resize(static_cast<size_t>(n));
    for (T& entry : work)
      if (!entry.Load(file)) return false;
    if (file.Failed()) return false;
    if (g_bStripCR)
      for (auto& entry : work) entry.StripCR();
    list = std::move(work);
  }
  return true;
}

template <class T>
void FillDefaults(std::vector<T>& list, size_t count) {
  const T prototype;
  list.assign(count, prototype);
}

// Effect 0 always plays nothing, whatever the file said.
template <class T>
void ForceNoneEntry(std::vector<T>& list) {
  if (!list.empty()) list[0].m_nKind = 0;
}

}  // namespace

int DatabasePathIndex(eDatabaseFile which) { return kPathAnimeSet + 2 * static_cast<int>(which); }

const char* DatabaseFileName(eDatabaseFile which) {
  return which >= 0 && which < kDatabaseFileCount ? kFileNames[which] : "";
}

cDatabase::cDatabase() {
  ClearFieldTables();
  SetDatabaseDefaults();
}

void cDatabase::SetDatabaseDefaults() {
  ResetFields();
  FillDefaults(m_aAnimeSet, 1);
  FillDefaults(m_aAnime, 2);
  m_aAnime[0].m_strName = "なし";
  m_aAnime[1].m_strName = "アクションA";
  FillDefaults(m_aBmpCharaExc, 2);
  FillDefaults(m_aSwordType, 1);
  FillDefaults(m_aEffect, 2);
  FillDefaults(m_aCharaEffect, 2);
  FillDefaults(m_aScrEffect, 2);
  FillDefaults(m_aPicture, 2);
  FillDefaults(m_aSound, 2);
  FillDefaults(m_aBgm, 2);
}

bool cDatabase::LoadDatabaseFile(eDatabaseFile which, const std::string& path) {
  // A missing file leaves the too-new flag as it finds it; the load error must speak of this file.
  g_bFileTooNew = 0;
  auto file = OpenDataFileR(path.c_str());
  if (!file) return false;
  const bool ok = LoadDatabaseFile(which, *file);
  CloseDataFile(file);
  return ok;
}

bool cDatabase::LoadDatabaseFile(eDatabaseFile which, cDataFile& file) {
  switch (which) {
    case kDbAnimeSet: return LoadList(file, m_aAnimeSet);
    case kDbAnime: return LoadList(file, m_aAnime);
    case kDbBmpCharaExc: return LoadList(file, m_aBmpCharaExc);
    case kDbSwordType:
      if (!LoadList(file, m_aSwordType)) return false;
      if (g_nFileVersion < kSwordTypeLimitFrom && m_aSwordType.size() > kOldSwordTypeLimit)
        m_aSwordType.resize(kOldSwordTypeLimit);
      return true;
    case kDbEffect: return LoadList(file, m_aEffect);
    case kDbCharaEffect:
      if (!LoadList(file, m_aCharaEffect)) return false;
      ForceNoneEntry(m_aCharaEffect);
      return true;
    case kDbScrEffect:
      if (!LoadList(file, m_aScrEffect)) return false;
      ForceNoneEntry(m_aScrEffect);
      return true;
    case kDbPicture: return LoadList(file, m_aPicture);
    case kDbSound: return LoadList(file, m_aSound);
    case kDbBgm: return LoadList(file, m_aBgm);
    default: return false;
  }
}

bool cDatabase::SaveDatabaseFile(eDatabaseFile which, const std::string& path) {
  auto file = OpenDataFileW(path.c_str());
  if (!file || !WriteDatabaseFile(which, *file)) return false;
  return CloseDataFile(file);
}

bool cDatabase::WriteDatabaseFile(eDatabaseFile which, cDataFile& file) {
  switch (which) {
    case kDbAnimeSet: return SaveRecordList(file, m_aAnimeSet);
    case kDbAnime: return SaveRecordList(file, m_aAnime);
    case kDbBmpCharaExc: return SaveRecordList(file, m_aBmpCharaExc);
    case kDbSwordType: return SaveRecordList(file, m_aSwordType);
    case kDbEffect: return SaveRecordList(file, m_aEffect);
    case kDbCharaEffect: return SaveRecordList(file, m_aCharaEffect);
    case kDbScrEffect: return SaveRecordList(file, m_aScrEffect);
    case kDbPicture: return SaveRecordList(file, m_aPicture);
    case kDbSound: return SaveRecordList(file, m_aSound);
    case kDbBgm: return SaveRecordList(file, m_aBgm);
    default: return false;
  }
}

std::vector<uint8_t> cDatabase::DatabaseFileBytes(eDatabaseFile which) {
  auto file = cDataFile::ForWriting("");
  file->WriteUInt32(g_nDataVersion);
  WriteDatabaseFile(which, *file);
  return file->Bytes();
}

int cDatabase::LoadDatabase(const std::string& baseDir) {
  for (int i = 0; i < kDatabaseFileCount; ++i) {
    const auto which = static_cast<eDatabaseFile>(i);
    const std::string path = baseDir + PathAt(DatabasePathIndex(which));
    if (!LoadDatabaseFile(which, path)) {
      ShowLoadError(path.c_str());
      return 0;
    }
  }
  ForceNoneEntry(m_aCharaEffect);
  ForceNoneEntry(m_aScrEffect);
  return 1;
}

void cDatabase::CopyReversedEffectLists() {
  AssignVector(m_aCharaEffectRev, m_aCharaEffect);
  AssignVector(m_aScrEffectRev, m_aScrEffect);
}

int cDatabase::Count(eDatabaseFile which) const {
  switch (which) {
    case kDbAnimeSet: return static_cast<int>(m_aAnimeSet.size());
    case kDbAnime: return static_cast<int>(m_aAnime.size());
    case kDbBmpCharaExc: return static_cast<int>(m_aBmpCharaExc.size());
    case kDbSwordType: return static_cast<int>(m_aSwordType.size());
    case kDbEffect: return static_cast<int>(m_aEffect.size());
    case kDbCharaEffect: return static_cast<int>(m_aCharaEffect.size());
    case kDbScrEffect: return static_cast<int>(m_aScrEffect.size());
    case kDbPicture: return static_cast<int>(m_aPicture.size());
    case kDbSound: return static_cast<int>(m_aSound.size());
    case kDbBgm: return static_cast<int>(m_aBgm.size());
    default: return 0;
  }
}
