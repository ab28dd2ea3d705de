// One instance per game folder: the lock, a second holder refused, the close request handed over.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "platform/clock.h"
#include "platform/instance/single_instance.h"

namespace fs = std::filesystem;

namespace {
class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    folder = fs::temp_directory_path() / ("qc4_instance_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    ASSERT_EQ(chdir(folder.c_str()), 0);
  }
  void TearDown() override {
    ReleaseInstanceLock();
    ASSERT_EQ(chdir(cwd), 0);
    fs::remove_all(folder);
  }
  char cwd[PATH_MAX];
  fs::path folder;
};

TEST_F(SingleInstanceTest, SecondHolderIsRefusedUntilReleased) {
  ASSERT_EQ(AcquireInstanceLock(), eInstanceLock::Acquired);
  EXPECT_TRUE(fs::is_directory("user_data"));
  // Another start: its own open of the lock file cannot take the lock.
  int other = ::open("user_data/qc4_instance.lock", O_RDWR);
  ASSERT_GE(other, 0);
  EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
  ReleaseInstanceLock();
  EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  // Now the other holds it: this side waits in vain and is refused.
  EXPECT_EQ(AcquireInstanceLock(), eInstanceLock::HeldElsewhere);
  EXPECT_FALSE(WaitForInstanceLock(0));
  ::close(other);
  EXPECT_TRUE(WaitForInstanceLock(0));
}

TEST_F(SingleInstanceTest, CloseRequestIsSeenOnce) {
  SetVirtualClock(true);
  ASSERT_EQ(AcquireInstanceLock(), eInstanceLock::Acquired);
  AdvanceVirtualTime(60);
  EXPECT_FALSE(InstanceCloseRequested());
  ASSERT_TRUE(RequestRunningInstanceClose());
  EXPECT_FALSE(InstanceCloseRequested());  // looked 0 ms ago
  AdvanceVirtualTime(60);
  EXPECT_TRUE(InstanceCloseRequested());
  AdvanceVirtualTime(60);
  EXPECT_FALSE(InstanceCloseRequested());  // consumed
  SetVirtualClock(false);
}
}  // namespace
