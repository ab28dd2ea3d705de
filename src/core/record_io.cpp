#include "core/record_io.h"

#include <cstdio>
#include <unistd.h>

// Plain POSIX version, until the platform's path resolution is wired in.
bool ReadDataFileBytes(const std::string& path, std::vector<uint8_t>& out, size_t maxBytes) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<uint8_t> bytes;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (bytes.size() + n > maxBytes) {
      std::fclose(f);
      return false;
    }
    bytes.insert(bytes.end(), buf, buf + n);
  }
  bool ok = !std::ferror(f);
  std::fclose(f);
  if (ok) out = std::move(bytes);
  return ok;
}

bool WriteDataFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string tmp = path + ".tmp";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fflush(f) == 0) && ok;
  ok = (fsync(fileno(f)) == 0) && ok;
  ok = (std::fclose(f) == 0) && ok;
  if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(tmp.c_str());
  return ok;
}
