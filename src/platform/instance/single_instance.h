#pragma once
// One running instance per game folder: an exclusive lock on a file under "user_data". The lock goes
// with the process, however it ends. A second start can ask the running instance to close through its
// normal close path by leaving a request file beside the lock; the running instance looks for it
// from its user-interface loop.
#include <cstdint>

enum class eInstanceLock { Acquired, HeldElsewhere, Failed };

// Takes the lock of the current game folder (creating "user_data" when missing).
eInstanceLock AcquireInstanceLock();
void ReleaseInstanceLock();
bool HoldsInstanceLock();

// Second start: asks the running instance to close.
bool RequestRunningInstanceClose();
// Tries to take the lock until it succeeds or `waitMs` real milliseconds have passed.
bool WaitForInstanceLock(uint32_t waitMs);

// Running instance: true once when another start asked it to close (the request is consumed).
// Looks at the disk at most every 50 ms of the program clock.
bool InstanceCloseRequested();
