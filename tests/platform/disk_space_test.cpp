// The free-space query: a folder that exists reports its file system's space, one that does not
// reports 0 (a save then counts as refused for lack of space).
#include <gtest/gtest.h>

#include "platform/disk_space.h"

TEST(DiskSpace, ReportsTheFolderFileSystemOrZero) {
  EXPECT_GT(GetDiskFreeBytes(), 0);
  EXPECT_GT(GetDiskFreeBytes("."), 0);
  EXPECT_EQ(GetDiskFreeBytes("no_such_folder\\below"), 0);
}
