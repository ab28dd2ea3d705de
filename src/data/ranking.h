#pragma once
// The rankings of one stage per game kind ("user_data\story\", "user_data\challenge\" or
// "user_data\free\" + the stage's file name + "rkg"): five tables of twenty rows, one per result
// kind (score, remaining time, clear time, remaining HP, remaining SP), and the number texts the
// ranking and play-totals panels show.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"

constexpr int kRankRowCount = 20;
constexpr int kRankTableCount = 5;
// The result kind whose table ranks the smaller value first.
constexpr int kRankKindClearTime = 2;

// One row of a table.
class cRankEntry : public cRecord {
 public:
  cRankEntry();
  void DeclareFields(uint32_t version) override;

  int32_t m_bUsed = 0;  // the row holds a registered result
  std::string m_strName;
  int32_t m_nValue = 0;
};

// One result kind's table, best row first.
class cRankTable : public cRecord {
 public:
  cRankTable();
  void DeclareFields(uint32_t version) override;
  // The record body, then the counted rows.
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  std::vector<cRankEntry> m_aEntries = std::vector<cRankEntry>(kRankRowCount);
  int32_t m_bDescending = 0;  // 1: larger values rank first
};

// The rankings of one stage.
class cRanking : public cRecord {
 public:
  // Five empty tables (ResetRanking).
  cRanking();
  // The (empty) record body, then the counted tables. Files of version 180 and older get exactly
  // five tables, the last two ranking larger values first. Fewer than five tables, or a table of
  // fewer than twenty rows, after that: the file is damaged and fails.
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  std::vector<cRankTable> m_aTables;
};

// The row a value would be inserted at: the first empty row, or the first row it beats (a tie goes
// below the older entry); -1 when it beats none.
int FindRankPos(const cRankTable& table, int32_t value);
// Registers a result where FindRankPos puts it; the table keeps its length, so a value that places
// nowhere changes nothing.
void InsertRank(cRankTable& table, const std::string& name, int32_t value);
// Smaller values first, and exactly twenty rows (those there are kept).
void ResetRankTable(cRankTable& table);
// Five empty tables ranking larger values first but for the clear time.
void ResetRanking(cRanking& ranking);

// The ranking file of a stage key for a game kind (0 story, 1 challenge, 2 free play); story keys
// take the world entry's condition suffix. 0 (out unchanged) for any other game kind.
int RankingFilePath(std::string& out, int gameKind, const std::string& stageKey, int32_t on, int32_t variable,
                    int32_t value);
// Loads a stage's rankings; a missing, damaged or too new file, or no path, leaves the defaults
// (ResetRanking) and returns 0.
int LoadRankingFile(cRanking& ranking, int gameKind, const std::string& stageKey, int32_t on, int32_t variable,
                    int32_t value);
// Saves them, replacing the file whole; a failed write says so in an error box and the report log
// and keeps the old file. 0 without a path, after a fatal stop or when writing failed.
int SaveRankingFile(cRanking& ranking, int gameKind, const std::string& stageKey, int32_t on, int32_t variable,
                    int32_t value);

// Number texts of the panels (ranking_text.cpp).
// Hundredths of a second as minutes, seconds and hundredths: "%s:%s.%s" ("02:03.45").
void FormatTime(std::string& out, int32_t hundredths);
// Decimal digits of the magnitude, 1 to 10.
int CountDigits(int32_t value);
// width digits (at least the value's own; 0 means its own) of the magnitude, leading zeros turned
// into spaces unless zeroFill, then "-" for a negative value or, with plus, "+" for another.
void NumToStr(std::string& out, int32_t value, int width, int zeroFill, int plus);

// In g_GameData (data/game_data.h): the rankings of the stage in focus.
extern cRanking& g_Ranking;
