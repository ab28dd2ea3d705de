// The game-wide resources that stages and commands refer to by number, read once at start-up from
// the ten files under "data\database" into g_Database and read-only afterwards.
#pragma once

#include <string>
#include <vector>

#include "core/record.h"
#include "data/database_records.h"

// The ten database files in the order they load.
enum eDatabaseFile : int {
  kDbAnimeSet = 0,
  kDbAnime,
  kDbBmpCharaExc,
  kDbSwordType,
  kDbEffect,
  kDbCharaEffect,
  kDbScrEffect,
  kDbPicture,
  kDbSound,
  kDbBgm,
  kDatabaseFileCount
};

class cDatabase : public cRecord {
 public:
  cDatabase();
  // The container itself has no fields: its files are read list by list.
  void DeclareFields(uint32_t version) override { ClearFieldTables(); }

  // Empties the ten lists and fills them with their default entries (the reversed lists stay).
  void SetDatabaseDefaults();

  // Reads the ten files in their order from baseDir ("" for the working folder). On the first
  // failure shows the load error for that path and returns 0: lists read before keep their new
  // contents, later lists their defaults. Returns 1 when all ten were read.
  int LoadDatabase(const std::string& baseDir = "");

  // Reads one database file into its list. false when the file is missing, too new, or broken
  // (then the list keeps what it held). The caller reports the error.
  bool LoadDatabaseFile(eDatabaseFile which, const std::string& path);
  // The same from a file opened for reading (OpenDataFileR, OpenDataBytesR), after its header.
  bool LoadDatabaseFile(eDatabaseFile which, cDataFile& file);

  // Writes one database file (version 986) in the layout it is read.
  bool SaveDatabaseFile(eDatabaseFile which, const std::string& path);
  // Writes one database file's body into a file opened for writing, after its header.
  bool WriteDatabaseFile(eDatabaseFile which, cDataFile& file);
  // The bytes SaveDatabaseFile would write.
  std::vector<uint8_t> DatabaseFileBytes(eDatabaseFile which);

  // Copies the character-effect and screen-effect lists into their reversed twins, which the
  // reversed effect players point into.
  void CopyReversedEffectLists();

  // Number of entries of each list.
  int Count(eDatabaseFile which) const;

  std::vector<cAnimeSetData> m_aAnimeSet;
  std::vector<cAnimeData> m_aAnime;
  std::vector<cBmpCharaExcData> m_aBmpCharaExc;
  std::vector<cSwordTypeData> m_aSwordType;
  std::vector<cEffectData> m_aEffect;
  std::vector<cCharaEffectData> m_aCharaEffect;
  std::vector<cScrEffectData> m_aScrEffect;
  std::vector<cPictureData> m_aPicture;
  std::vector<cSoundData> m_aSound;
  std::vector<cBgmData> m_aBgm;
  std::vector<cCharaEffectData> m_aCharaEffectRev;
  std::vector<cScrEffectData> m_aScrEffectRev;
};

extern cDatabase& g_Database;  // in g_GameData (data/game_data.h)

// Path-table index of a database file under "data\".
int DatabasePathIndex(eDatabaseFile which);
// The file name of a database file ("AnimeSet.dat", ...).
const char* DatabaseFileName(eDatabaseFile which);

// The text start-up shows when the database cannot be read.
extern const char* const kDatabaseLoadFailed;
