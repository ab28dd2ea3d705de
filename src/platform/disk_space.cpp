#include "platform/disk_space.h"

#include <sys/statvfs.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/files.h"

int32_t GetDiskFreeBytes(const char* folder) {
  const std::string path = folder && *folder ? ResolvePath(folder) : std::string(".");
  struct statvfs info {};
  if (::statvfs(path.c_str(), &info) != 0) return 0;
  constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
  const uint64_t blocks = info.f_bavail;
  const uint64_t blockSize = info.f_frsize;
  // Compared by division, so that a huge file system cannot overflow the product.
  if (blockSize != 0 && blocks > kMax / blockSize) return static_cast<int32_t>(kMax);
  return static_cast<int32_t>(blocks * blockSize);
}
