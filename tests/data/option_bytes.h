// Hand-built player option files, straight from the option record's field table: the version
// header and the record body of that version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_builder.h"

// The values of one option file; fields the file's version does not hold are left out.
struct cOptionFileValues {
  int32_t gamepad = 0;  // 952
  int32_t colour = 5;
  int32_t bgmVolume = 6;
  int32_t seVolume = 8;
  int32_t rankingEntry = 3;
  int32_t replayAutoSave = 1;       // 932
  int32_t replayOrder = 1;          // 932
  int32_t messageAutoSeconds = 12;  // 934
  std::string rankingName = "abc";
};

inline std::vector<uint8_t> OptionFile(uint32_t version, const cOptionFileValues& v) {
  const struct {
    uint32_t since;
    int32_t value;
  } fields[] = {{952, v.gamepad},    {0, v.colour},           {0, v.bgmVolume},     {0, v.seVolume},
                {0, v.rankingEntry}, {932, v.replayAutoSave}, {932, v.replayOrder}, {934, v.messageAutoSeconds}};
  cByteBuilder b;
  b.U32(version);
  int32_t count = 0;
  for (const auto& f : fields) count += f.since <= version ? 1 : 0;
  b.I32(count);
  for (const auto& f : fields)
    if (f.since <= version) b.I32(f.value);
  return b.I32(1).Str(v.rankingName).Get();
}
