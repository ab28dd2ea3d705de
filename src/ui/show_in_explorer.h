#pragma once
// "Show in the file manager": the replay list's command that opens the desktop's file manager on a
// file. The file manager's D-Bus interface (org.freedesktop.FileManager1 ShowItems) selects the file
// where a session bus is there; otherwise the file's folder is opened with xdg-open. Programs are
// started with an argument list, never through a shell; one that cannot be started or that fails
// gives a message, and none is waited for longer than a few seconds.
#include <string>
#include <vector>

#include "platform/messages.h"

// path: the file's game path or full path (CP932). true when a file manager was asked to show it.
bool ShowInExplorer(const std::string& path, HWND window);

// Starting a program: its exit status, kSpawnNotStarted when it could not be started, or
// kSpawnStillRunning when it had not ended after timeoutMs (it is left running).
constexpr int kSpawnNotStarted = -1;
constexpr int kSpawnStillRunning = -2;
struct cShowInExplorerHooks {
  int (*spawn)(const std::vector<std::string>& argv, int timeoutMs) = nullptr;  // null: the real one
  const char* (*sessionBus)() = nullptr;                                        // null: $DBUS_SESSION_BUS_ADDRESS
};
cShowInExplorerHooks SetShowInExplorerHooks(const cShowInExplorerHooks& hooks);

// The file URI of a host path (UTF-8), every byte outside the unreserved set and "/" escaped.
std::string FileUri(const std::string& hostPath);
// Starts a program with an argument list (searched on PATH) and waits at most timeoutMs for it.
int SpawnAndWait(const std::vector<std::string>& argv, int timeoutMs);
