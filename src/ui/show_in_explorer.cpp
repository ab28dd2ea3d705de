#include "ui/show_in_explorer.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "core/log.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace {
cShowInExplorerHooks s_Hooks;
// Programs left running (a file manager that stays up): reaped on later calls.
std::mutex s_ChildMutex;
std::vector<pid_t> s_Children;

constexpr int kTimeoutMs = 3000;

void reapChildren() {
  std::lock_guard lock(s_ChildMutex);
  for (auto it = s_Children.begin(); it != s_Children.end();) {
    int status = 0;
    it = waitpid(*it, &status, WNOHANG) != 0 ? s_Children.erase(it) : std::next(it);
  }
}

int spawn(const std::vector<std::string>& argv, int timeoutMs) {
  return s_Hooks.spawn ? s_Hooks.spawn(argv, timeoutMs) : SpawnAndWait(argv, timeoutMs);
}

const char* sessionBus() { return s_Hooks.sessionBus ? s_Hooks.sessionBus() : std::getenv("DBUS_SESSION_BUS_ADDRESS"); }

std::string hostFolderOf(const std::string& hostPath) {
  const size_t slash = hostPath.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : hostPath.substr(0, slash);
}
}  // namespace

cShowInExplorerHooks SetShowInExplorerHooks(const cShowInExplorerHooks& hooks) {
  cShowInExplorerHooks old = s_Hooks;
  s_Hooks = hooks;
  return old;
}

std::string FileUri(const std::string& hostPath) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : hostPath) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

int SpawnAndWait(const std::vector<std::string>& argv, int timeoutMs) {
  reapChildren();
  if (argv.empty()) return kSpawnNotStarted;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return kSpawnNotStarted;
  for (int waited = 0;; waited += 10) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (WIFEXITED(status)) return WEXITSTATUS(status) == 127 ? kSpawnNotStarted : WEXITSTATUS(status);
      return 128;  // ended by a signal
    }
    if (done < 0 && errno != EINTR) return kSpawnNotStarted;
    if (waited >= timeoutMs) {
      std::lock_guard lock(s_ChildMutex);
      s_Children.push_back(pid);
      return kSpawnStillRunning;
    }
    WaitRealTime(10);
  }
}

bool ShowInExplorer(const std::string& path, HWND) {
  std::string hostPath;
  if (!FindOnDisk(path, hostPath)) {
    ErrorBoxf("ファイルが見つかりません！\n%s", path.c_str());
    return false;
  }
  hostPath = AbsoluteHostPath(hostPath);
  // The file manager selects the file where its D-Bus interface is there.
  if (const char* bus = sessionBus(); bus && *bus) {
    const int status =
        spawn({"dbus-send", "--session", "--print-reply", "--reply-timeout=2000", "--dest=org.freedesktop.FileManager1",
               "--type=method_call", "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1.ShowItems",
               "array:string:" + FileUri(hostPath), "string:"},
              kTimeoutMs);
    if (status == 0) return true;
  }
  // Otherwise the folder opens in whatever the desktop uses for folders.
  const int status = spawn({"xdg-open", hostFolderOf(hostPath)}, kTimeoutMs);
  if (status == 0 || status == kSpawnStillRunning) return true;
  ErrorBoxf("ファイルマネージャーを起動できませんでした。\n%s", path.c_str());
  return false;
}
