// The menu command lists of the project settings: how many entries are shown, and which list entry
// a cursor row stands for.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "data/system_data.h"

namespace {

struct CommandCase {
  std::vector<int> enabled;               // the entries' enabled flags
  int count;                              // GetCmdCount
  std::vector<std::pair<int, int>> rows;  // GetCmdNum: row -> list index
};

TEST(MenuCommands, CountAndRowsOfTheEnabledEntries) {
  const CommandCase cases[] = {
      {{1, 0, 1}, 2, {{0, 0}, {1, 2}, {2, 0}}},  // row 2 does not exist: 0
      {{0, 0, 1, 1}, 2, {{0, 2}, {1, 3}}},
      {{1, 1, 1}, 3, {{2, 2}, {3, 0}}},
      {{0, 0}, 0, {{0, 0}}},
      {{}, 0, {{0, 0}}},
      {{2, -1, 0}, 2, {{0, 0}, {1, 1}}},  // any non-zero flag is enabled
      {{1}, 1, {{1, 0}}},
      {{1, 0, 1}, 2, {{-1, 0}}},
  };
  for (const CommandCase& c : cases) {
    std::vector<cCmd> list;
    for (int e : c.enabled) list.emplace_back(e, "x");
    EXPECT_EQ(GetCmdCount(list), c.count) << testing::PrintToString(c.enabled);
    for (const auto& [row, index] : c.rows)
      EXPECT_EQ(GetCmdNum(row, list), index) << testing::PrintToString(c.enabled) << " row " << row;
  }
}

}  // namespace
