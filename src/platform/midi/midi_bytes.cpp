#include "platform/midi/midi_bytes.h"

bool ReadVarLen(const uint8_t* p, size_t end, size_t& pos, uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    if (pos >= end) return false;
    const uint8_t b = p[pos++];
    value = (value << 7) | (b & 0x7F);
    if (!(b & 0x80)) return true;
  }
  return false;  // a fourth byte with its top bit set
}

bool WriteVarLen(std::vector<uint8_t>& out, uint32_t value) {
  if (value > 0x0FFFFFFF) return false;
  uint8_t tmp[4];
  int n = 0;
  tmp[n++] = value & 0x7F;
  while ((value >>= 7) != 0) tmp[n++] = static_cast<uint8_t>(0x80 | (value & 0x7F));
  while (n > 0) out.push_back(tmp[--n]);
  return true;
}
