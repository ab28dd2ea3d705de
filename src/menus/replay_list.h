#pragma once
// The rows of the replay list: every replay file of "user_data\rpl4\" with the local date and time it
// was last written, kept to the replays of cleared plays when the playback order asks for them, in
// one of four sort orders. The scene shows these rows; g_ReplayList (the names playback steps
// through) is filled from them.
#include <cstdint>
#include <string>
#include <vector>

// One row: the file's game path, its name, and its last write time in local time as
// year x 10000 + month x 100 + day and hour x 10000 + minute x 100 + second (both 0 when it cannot
// be read).
struct cReplayRow {
  std::string strPath;
  std::string strFileName;
  uint32_t nDate = 0;
  uint32_t nTime = 0;
};

// Sort orders: oldest first, newest first, by name, by name backwards.
enum eReplaySort : int32_t {
  kReplaySortOldest = 0,
  kReplaySortNewest = 1,
  kReplaySortName = 2,
  kReplaySortNameBack = 3,
  kReplaySortCount = 4,
};

// A sort order from the player's file: one the list does not know is the first one.
int32_t ValidReplaySort(int32_t order);
// The order after button 3 (the last wraps round to the first).
int32_t NextReplaySort(int32_t order);

// Whether a replay path, its extension removed, ends in "_CLEAR_" (a cleared play's replay), also
// when the numbered form of a name taken twice follows the mark ("_CLEAR_ (2)").
bool IsClearedReplayPath(const std::string& path);

// Names compared as the list sorts them: ASCII letters without regard to case first (a lower-case
// letter before its capital when that is all that differs), double-byte characters by their codes.
int CompareReplayNames(const std::string& a, const std::string& b);

// The date and time keys of a Windows file time (100-ns units since 1601) in local time.
void ReplayTimeKeys(uint64_t fileTime, uint32_t* date, uint32_t* time);

// Sorts the rows by the order (a valid one). Rows that compare equal stay in file-name order, so
// the list never depends on the order the folder is read in.
void SortReplayRows(std::vector<cReplayRow>& rows, int32_t order);

// The rows of the replay folder: every file matching "*.rpl4*" (folders are not replays), only the
// cleared plays' when clearedOnly, sorted by the order.
std::vector<cReplayRow> BuildReplayRows(bool clearedOnly, int32_t order);

// Fills g_ReplayList with the rows' names (the title is the name the list shows).
void PublishReplayRows(const std::vector<cReplayRow>& rows);
