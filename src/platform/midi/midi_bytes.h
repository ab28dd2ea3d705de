#pragma once
// The byte-level pieces of a Standard MIDI File: big-endian header and chunk numbers,
// variable-length numbers, and how many data bytes follow a status byte.
#include <cstddef>
#include <cstdint>
#include <vector>

inline uint16_t ReadBe16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t ReadBe32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Variable-length numbers: at most four bytes, so at most 0x0FFFFFFF. ReadVarLen reads at `pos`
// (moved past the number) and is false when the number runs past `end` or a fourth byte still
// has its top bit set.
bool ReadVarLen(const uint8_t* bytes, size_t end, size_t& pos, uint32_t& value);
bool WriteVarLen(std::vector<uint8_t>& out, uint32_t value);  // false (nothing written) above 0x0FFFFFFF
// The variable-length byte count of a system-exclusive or meta event body at `pos`: false when
// the count is malformed or more bytes than are left before `end`; `pos` moves to the body.
inline bool ReadBodyLength(const uint8_t* bytes, size_t end, size_t& pos, uint32_t& length) {
  return ReadVarLen(bytes, end, pos, length) && length <= end - pos;
}

// Data bytes after a channel status (80-EF): one for program change and channel pressure, two
// for the rest.
inline int ChannelDataBytes(uint8_t status) { return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2; }

// Data bytes after a system common or real-time status other than F0, F7 and FF (the undefined
// ones carry none).
inline int SystemDataBytes(uint8_t status) {
  switch (status) {
    case 0xF1:
    case 0xF3: return 1;
    case 0xF2: return 2;
    default: return 0;
  }
}
