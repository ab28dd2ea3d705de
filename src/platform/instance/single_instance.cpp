#include "platform/instance/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/files.h"

namespace {
constexpr const char* kLockPath = "user_data\\qc4_instance.lock";
constexpr const char* kCloseRequestPath = "user_data\\qc4_close_request";

int g_lockFd = -1;
// The request file on disk, looked at directly so that the file layer's listing cache is not involved.
std::string g_requestDiskPath;
uint32_t g_lastCheck = 0;
bool g_checkedOnce = false;

eInstanceLock tryLock() {
  if (g_lockFd >= 0) return eInstanceLock::Acquired;
  CreateFolder("user_data");
  std::string path = ResolvePath(kLockPath);
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return eInstanceLock::Failed;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return busy ? eInstanceLock::HeldElsewhere : eInstanceLock::Failed;
  }
  g_lockFd = fd;
  g_requestDiskPath = ResolvePath(kCloseRequestPath);
  // A request left over from an earlier run is not meant for this one.
  ::unlink(g_requestDiskPath.c_str());
  return eInstanceLock::Acquired;
}
}  // namespace

eInstanceLock AcquireInstanceLock() { return tryLock(); }

void ReleaseInstanceLock() {
  if (g_lockFd < 0) return;
  ::flock(g_lockFd, LOCK_UN);
  ::close(g_lockFd);
  g_lockFd = -1;
}

bool HoldsInstanceLock() { return g_lockFd >= 0; }

bool RequestRunningInstanceClose() { return WriteFileAtomically(kCloseRequestPath, std::string_view("close\n")); }

bool WaitForInstanceLock(uint32_t waitMs) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    if (tryLock() == eInstanceLock::Acquired) return true;
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool InstanceCloseRequested() {
  if (g_lockFd < 0) return false;
  // On the program clock, so that headless runs look as often per frame as real ones.
  uint32_t now = timeGetTime();
  if (g_checkedOnce && now - g_lastCheck < 50) return false;
  g_checkedOnce = true;
  g_lastCheck = now;
  if (::access(g_requestDiskPath.c_str(), F_OK) != 0) return false;
  ::unlink(g_requestDiskPath.c_str());
  return true;
}
