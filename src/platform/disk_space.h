#pragma once
// Free space on the file system that holds a folder of the game.
#include <cstdint>

// The bytes an unprivileged writer may still use on the file system of the game folder (folder null
// or empty: the current folder, where the game runs). 0 when the query fails; values above the
// largest int32 read as that value, as callers compare against limits far below it.
int32_t GetDiskFreeBytes(const char* folder = nullptr);
