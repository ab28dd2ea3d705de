#pragma once
// Where data files meet the disk: game-relative Windows paths resolved by the file layer, whole
// files read with a size limit, and files replaced atomically.
#include <string>
#include <vector>
#include <cstdint>

bool ReadDataFileBytes(const std::string& path, std::vector<uint8_t>& out, size_t maxBytes);
bool WriteDataFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
