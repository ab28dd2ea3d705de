// The rankings of a stage: insertion, the ranking file with its path and old versions, and the
// number texts of the ranking panels.
#include <signal.h>
#include <sys/resource.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/log.h"
#include "data/game_data.h"
#include "data/ranking.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "player_folder_fixture.h"
#include "ranking_bytes.h"
#include "temp_folder.h"

namespace {

// A table of 20 used rows with the given values, named r0, r1, ...
cRankTable FullTable(int32_t descending, int32_t first, int32_t step) {
  cRankTable table;
  ResetRankTable(table);
  table.m_bDescending = descending;
  for (int i = 0; i < 20; ++i) {
    cRankEntry& e = table.m_aEntries[static_cast<size_t>(i)];
    e.m_bUsed = 1;
    e.m_strName = "r" + std::to_string(i);
    e.m_nValue = first + step * i;
  }
  return table;
}

std::vector<std::string> Names(const cRankTable& table) {
  std::vector<std::string> names;
  for (const cRankEntry& e : table.m_aEntries) names.push_back(e.m_strName);
  return names;
}

}  // namespace

class RankingTest : public PlayerFolderTest {};

TEST_F(RankingTest, ANewRankingHasFiveTablesOfTwentyEmptyRows) {
  cRanking ranking;
  ranking.m_aTables.resize(2);
  ResetRanking(ranking);
  ASSERT_EQ(ranking.m_aTables.size(), 5u);
  const int32_t descending[5] = {1, 1, 0, 1, 1};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(ranking.m_aTables[i].m_bDescending, descending[i]) << i;
    ASSERT_EQ(ranking.m_aTables[i].m_aEntries.size(), 20u);
    EXPECT_EQ(ranking.m_aTables[i].m_aEntries[19].m_bUsed, 0);
  }
  // a table reset keeps its rows, cuts what is beyond twenty and adds what is missing
  cRankTable table = FullTable(1, 100, -1);
  table.m_aEntries.resize(25, table.m_aEntries[0]);
  ResetRankTable(table);
  EXPECT_EQ(table.m_bDescending, 0);
  ASSERT_EQ(table.m_aEntries.size(), 20u);
  EXPECT_EQ(table.m_aEntries[3].m_strName, "r3");
  table.m_aEntries.resize(3);
  ResetRankTable(table);
  ASSERT_EQ(table.m_aEntries.size(), 20u);
  EXPECT_EQ(table.m_aEntries[2].m_strName, "r2");
  EXPECT_EQ(table.m_aEntries[3].m_bUsed, 0);
  EXPECT_EQ(table.m_aEntries[3].m_strName, "");
}

TEST_F(RankingTest, AnEqualValueGoesBelowTheOlderEntryAndTheLastRowDrops) {
  cRankTable table = FullTable(1, 100, -5);  // 100, 95, 90, ...
  EXPECT_EQ(FindRankPos(table, 80), 5);      // rank 5 holds 80: the new one is rank 6
  InsertRank(table, "new", 80);
  ASSERT_EQ(table.m_aEntries.size(), 20u);
  EXPECT_EQ(table.m_aEntries[4].m_strName, "r4");
  EXPECT_EQ(table.m_aEntries[5].m_strName, "new");
  EXPECT_EQ(table.m_aEntries[5].m_nValue, 80);
  EXPECT_EQ(table.m_aEntries[5].m_bUsed, 1);
  EXPECT_EQ(table.m_aEntries[19].m_strName, "r18");  // r19 dropped
  EXPECT_EQ(FindRankPos(table, 101), 0);
  EXPECT_EQ(FindRankPos(table, 11), 19);  // the last row now holds r18's 10
  EXPECT_EQ(FindRankPos(table, 10), -1);
}

TEST_F(RankingTest, AClearTimeSlowerThanEveryEntryChangesNothing) {
  cRankTable table = FullTable(0, 1000, 100);  // 1000, 1100, ... 2900 hundredths
  const std::vector<std::string> before = Names(table);
  EXPECT_EQ(FindRankPos(table, 3000), -1);
  InsertRank(table, "slow", 3000);
  EXPECT_EQ(Names(table), before);
  EXPECT_EQ(FindRankPos(table, 2900), -1);  // a tie goes below: past the end
  EXPECT_EQ(FindRankPos(table, 999), 0);
  InsertRank(table, "", 1050);  // an empty name stays empty
  EXPECT_EQ(table.m_aEntries[1].m_strName, "");
  EXPECT_EQ(table.m_aEntries[1].m_bUsed, 1);
  EXPECT_EQ(table.m_aEntries[2].m_strName, "r1");
}

TEST_F(RankingTest, EmptyRowsTakeTheFirstResult) {
  cRanking ranking;
  cRankTable& time = ranking.m_aTables[2];
  EXPECT_EQ(FindRankPos(time, 5000), 0);
  InsertRank(time, "a", 5000);
  EXPECT_EQ(FindRankPos(time, 9000), 1);  // slower, into the empty row under it
  EXPECT_EQ(FindRankPos(time, 4000), 0);
  cRankTable& score = ranking.m_aTables[0];
  InsertRank(score, "b", 10);
  InsertRank(score, "c", 30);
  EXPECT_EQ(score.m_aEntries[0].m_strName, "c");
  EXPECT_EQ(score.m_aEntries[1].m_strName, "b");
  EXPECT_EQ(score.m_aEntries.size(), 20u);
}

TEST_F(RankingTest, RankingPathsByGameKindAndCondition) {
  struct Case {
    int kind;
    const char* key;
    int32_t on, variable, value;
    const char* expected;  // null: no path
  };
  const Case cases[] = {
      {0, "data\\stg4\\c05.", 0, 0, 0, "user_data\\story\\c05.rkg"},
      {0, "data\\stg4\\c05.", 1, 5, 3, "user_data\\story\\c05_c005_3.rkg"},
      {1, "data\\stg4\\c05.", 1, 5, 3, "user_data\\challenge\\c05.rkg"},
      {2, "data\\stg4\\free\\boss.", 0, 0, 0, "user_data\\free\\boss.rkg"},
      {0, "data\\stg4\\\x95\x5C.", 0, 0, 0, "user_data\\story\\\x95\x5C.rkg"},  // a trail byte 0x5C
      {3, "data\\stg4\\c05.", 0, 0, 0, nullptr},
      {-1, "data\\stg4\\c05.", 0, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    std::string path = "unchanged";
    EXPECT_EQ(RankingFilePath(path, c.kind, c.key, c.on, c.variable, c.value), c.expected ? 1 : 0) << c.kind;
    if (c.expected) { EXPECT_EQ(path, c.expected); }
  }
}

// The file the writer makes is byte for byte the one built from the layout, and reads back.
TEST_F(RankingTest, TheRankingFileMatchesItsLayout) {
  std::vector<RankTableBytes> tables = DefaultRankTables();
  tables[0].rows[0] = {1, "abc", 500};
  tables[0].rows[1] = {1, "", 20};
  tables[2].rows[0] = {1, "\x83\x41\x83\x43", 6123};  // two double-byte characters
  const std::vector<uint8_t> golden = RankingFileBytes(986, tables);

  cRanking ranking;
  InsertRank(ranking.m_aTables[0], "", 20);
  InsertRank(ranking.m_aTables[0], "abc", 500);
  InsertRank(ranking.m_aTables[2], "\x83\x41\x83\x43", 6123);
  ASSERT_EQ(SaveRankingFile(ranking, 0, "data\\stg4\\c01.", 0, 0, 0), 1);
  EXPECT_EQ(ReadDisk("user_data/story/c01.rkg"), golden);

  m_Folder.Write("user_data/free/c02.rkg", golden);
  cRanking back;
  ASSERT_EQ(LoadRankingFile(back, 2, "c02.", 0, 0, 0), 1);
  ASSERT_EQ(back.m_aTables.size(), 5u);
  EXPECT_EQ(back.m_aTables[0].m_aEntries[0].m_strName, "abc");
  EXPECT_EQ(back.m_aTables[0].m_aEntries[0].m_nValue, 500);
  EXPECT_EQ(back.m_aTables[0].m_aEntries[1].m_bUsed, 1);
  EXPECT_EQ(back.m_aTables[2].m_bDescending, 0);
  EXPECT_EQ(back.m_aTables[2].m_aEntries[0].m_nValue, 6123);
  EXPECT_EQ(back.m_aTables[4].m_bDescending, 1);
}

struct RankingVersionCase {
  const char* name;
  uint32_t version;
  size_t tables;  // in the file
  size_t rows;    // of every table in the file
  int loaded;     // LoadRankingFile's result
  size_t expectTables;
};

class RankingVersionTest : public RankingTest, public ::testing::WithParamInterface<RankingVersionCase> {};

// Files of version 180 and older grow to five tables, the last two ranking larger values first; a
// newer file, or any table, shorter than the game reads is a damaged file: the defaults stand.
TEST_P(RankingVersionTest, TablesAfterALoad) {
  const RankingVersionCase& c = GetParam();
  std::vector<RankTableBytes> tables(c.tables);
  for (RankTableBytes& t : tables) {
    t.descending = 0;
    t.rows.resize(c.rows);
    t.rows[0] = {1, "old", 77};
  }
  m_Folder.Write("user_data/story/c03.rkg", RankingFileBytes(c.version, tables));
  cRanking ranking;
  InsertRank(ranking.m_aTables[1], "before", 1);
  EXPECT_EQ(LoadRankingFile(ranking, 0, "c03.", 0, 0, 0), c.loaded);
  ASSERT_EQ(ranking.m_aTables.size(), c.expectTables);
  if (c.loaded) {
    EXPECT_EQ(ranking.m_aTables[0].m_aEntries[0].m_strName, "old");
    EXPECT_EQ(ranking.m_aTables[0].m_bDescending, 0);  // as the file has it
    if (c.version <= 180) {
      EXPECT_EQ(ranking.m_aTables[3].m_bDescending, 1);
      EXPECT_EQ(ranking.m_aTables[4].m_bDescending, 1);
      EXPECT_EQ(ranking.m_aTables[4].m_aEntries.size(), c.tables >= 5 ? c.rows : 20u);
    }
  } else {
    // the defaults of a new ranking
    EXPECT_EQ(ranking.m_aTables[1].m_aEntries[0].m_bUsed, 0);
    EXPECT_EQ(ranking.m_aTables[2].m_bDescending, 0);
    EXPECT_EQ(ranking.m_aTables[3].m_bDescending, 1);
  }
  for (const cRankTable& t : ranking.m_aTables) EXPECT_GE(t.m_aEntries.size(), 20u);
}

INSTANTIATE_TEST_SUITE_P(Versions, RankingVersionTest,
                         ::testing::Values(RankingVersionCase{"Old3Tables", 180, 3, 20, 1, 5},
                                           RankingVersionCase{"Old6Tables", 180, 6, 20, 1, 5},
                                           RankingVersionCase{"Old5Tables", 100, 5, 20, 1, 5},
                                           RankingVersionCase{"New3TablesDamaged", 181, 3, 20, 0, 5},
                                           RankingVersionCase{"NewShortRowsDamaged", 986, 5, 19, 0, 5},
                                           RankingVersionCase{"OldShortRowsDamaged", 180, 5, 4, 0, 5},
                                           RankingVersionCase{"NewLongerRows", 986, 5, 21, 1, 5},
                                           RankingVersionCase{"NewMoreTables", 986, 7, 20, 1, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RankingTest, AMissingOrBrokenFileLeavesTheDefaults) {
  cRanking ranking;
  InsertRank(ranking.m_aTables[0], "x", 5);
  EXPECT_EQ(LoadRankingFile(ranking, 0, "none.", 0, 0, 0), 0);
  EXPECT_EQ(ranking.m_aTables[0].m_aEntries[0].m_bUsed, 0);
  std::vector<uint8_t> cut = RankingFileBytes(986, DefaultRankTables());
  cut.resize(cut.size() / 2);
  m_Folder.Write("user_data/story/cut.rkg", cut);
  InsertRank(ranking.m_aTables[0], "x", 5);
  EXPECT_EQ(LoadRankingFile(ranking, 0, "cut.", 0, 0, 0), 0);
  EXPECT_EQ(ranking.m_aTables.size(), 5u);
  EXPECT_EQ(ranking.m_aTables[0].m_aEntries[0].m_bUsed, 0);
  m_Folder.Write("user_data/story/new.rkg", RankingFileBytes(987, DefaultRankTables()));
  EXPECT_EQ(LoadRankingFile(ranking, 0, "new.", 0, 0, 0), 0);
  // a game kind without a folder: defaults, and nothing is written
  InsertRank(ranking.m_aTables[0], "x", 5);
  EXPECT_EQ(LoadRankingFile(ranking, 3, "c01.", 0, 0, 0), 0);
  EXPECT_EQ(ranking.m_aTables[0].m_aEntries[0].m_bUsed, 0);
  EXPECT_EQ(SaveRankingFile(ranking, 3, "c01.", 0, 0, 0), 0);
  EXPECT_TRUE(m_Messages.empty());
}

TEST_F(RankingTest, AFailedSaveSaysSoAndKeepsTheOldFile) {
  cRanking ranking;
  InsertRank(ranking.m_aTables[0], "old", 1);
  ASSERT_EQ(SaveRankingFile(ranking, 1, "c09.", 0, 0, 0), 1);
  const std::vector<uint8_t> old = ReadDisk("user_data/challenge/c09.rkg");
  InsertRank(ranking.m_aTables[0], "new", 2);
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
  for (rlim_t k : {rlim_t{0}, rlim_t{50}, static_cast<rlim_t>(old.size() - 1)}) {
    struct rlimit limit = saved;
    limit.rlim_cur = k;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const int result = SaveRankingFile(ranking, 1, "c09.", 0, 0, 0);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result, 0) << k;
    EXPECT_EQ(ReadDisk("user_data/challenge/c09.rkg"), old) << k;
  }
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(m_Messages.size(), 3u);
  EXPECT_EQ(SaveRankingFile(ranking, 1, "c09.", 0, 0, 0), 1);
}

TEST(RankingTextTest, TimesAndFixedWidthNumbers) {
  struct TimeCase {
    int32_t t;
    const char* text;
  };
  for (const TimeCase& c : {TimeCase{599999, "99:59.99"}, TimeCase{0, "00:00.00"}, TimeCase{12345, "02:03.45"},
                            TimeCase{1000000, "166:40.00"}, TimeCase{6000, "01:00.00"}}) {
    std::string out = "x";
    FormatTime(out, c.t);
    EXPECT_EQ(out, c.text) << c.t;
  }
  struct NumCase {
    int32_t value, width;
    int zeroFill, plus;
    const char* text;
  };
  for (const NumCase& c :
       {NumCase{7, 3, 0, 1, "+  7"}, NumCase{-5, 3, 0, 0, "-  5"}, NumCase{-5, 3, 1, 0, "-005"},
        NumCase{0, 3, 0, 0, "  0"}, NumCase{0, 3, 1, 1, "+000"}, NumCase{123, 0, 0, 0, "123"},
        NumCase{12345, 3, 1, 0, "12345"}, NumCase{5, 2, 1, 0, "05"}, NumCase{INT_MIN, 0, 0, 0, "-2147483648"}}) {
    std::string out;
    NumToStr(out, c.value, c.width, c.zeroFill, c.plus);
    EXPECT_EQ(out, c.text) << c.value << " " << c.width;
  }
  struct DigitCase {
    int32_t v;
    int digits;
  };
  for (const DigitCase& c : {DigitCase{0, 1}, DigitCase{9, 1}, DigitCase{10, 2}, DigitCase{-10, 2}, DigitCase{99999, 5},
                             DigitCase{INT_MAX, 10}, DigitCase{INT_MIN, 10}})
    EXPECT_EQ(CountDigits(c.v), c.digits) << c.v;
}

// Cut or altered ranking files never crash a load: a refused one leaves the defaults, and one that
// loads has the tables and rows the panels read, and writes back the way it read.
TEST_F(RankingTest, CutAndAlteredFilesAreRefusedCleanly) {
  std::vector<RankTableBytes> tables = DefaultRankTables();
  tables[0].rows[0] = {1, "abc", 500};
  tables[3].rows[2] = {1, "x", 7};
  const std::vector<uint8_t> whole = RankingFileBytes(986, tables);
  for (size_t cut = 0; cut < whole.size(); cut += 5) {
    m_Folder.Write("user_data/story/r.rkg",
                   std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)));
    cRanking ranking;
    InsertRank(ranking.m_aTables[0], "kept", 1);
    EXPECT_EQ(LoadRankingFile(ranking, 0, "r.", 0, 0, 0), 0) << cut;
    EXPECT_EQ(ranking.m_aTables[0].m_aEntries[0].m_bUsed, 0) << cut;
  }
  for (size_t at = 4; at < whole.size(); at += 3) {
    std::vector<uint8_t> altered = whole;
    altered[at] ^= 0x5A;
    m_Folder.Write("user_data/story/r.rkg", altered);
    cRanking ranking;
    if (!LoadRankingFile(ranking, 0, "r.", 0, 0, 0)) continue;
    ASSERT_GE(ranking.m_aTables.size(), 5u) << at;
    for (const cRankTable& t : ranking.m_aTables) ASSERT_GE(t.m_aEntries.size(), 20u) << at;
    const std::vector<uint8_t> written = ranking.SaveToBytes();
    cRanking again;
    ASSERT_EQ(again.LoadFromBytes(written), 1) << at;
    EXPECT_EQ(again.SaveToBytes(), written) << at;
  }
}
