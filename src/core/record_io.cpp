#include "core/record_io.h"

#include "platform/files.h"

bool ReadDataFileBytes(const std::string& path, std::vector<uint8_t>& out, size_t maxBytes) {
  return ReadWholeFile(path, maxBytes, out);
}

bool WriteDataFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(path, bytes);
}
