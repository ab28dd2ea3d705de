#pragma once
// Shift-JIS (code page 932) byte classes. A character is one byte, or a lead byte followed by a trail
// byte; 0x5C ('\') is a valid trail byte, so text must be walked from its start, never backwards.
#include <cstddef>

#include "platform/encoding.h"

inline bool IsSjisLeadByte(unsigned char c) { return IsCp932LeadByte(c); }
inline bool IsSjisTrailByte(unsigned char c) { return IsCp932TrailByte(c); }

// Length of the longest prefix of text[0..len) that fits in max bytes without splitting a
// double-byte character. A lead byte as the last byte of the text is an incomplete character (its
// trail was cut off) and is left out.
inline size_t SjisFitLength(const char* text, size_t len, size_t max) {
  size_t i = 0;
  while (i < len) {
    bool lead = IsSjisLeadByte(static_cast<unsigned char>(text[i]));
    size_t step = (lead && (i + 1 >= len || IsSjisTrailByte(static_cast<unsigned char>(text[i + 1])))) ? 2 : 1;
    if (i + step > max) break;
    i += step;
  }
  return i;
}
