#pragma once
// Shift-JIS (code page 932) byte classes. A character is one byte, or a lead byte followed by a trail
// byte; 0x5C ('\') is a valid trail byte, so text must be walked from its start, never backwards.
#include <cstddef>

#include "platform/encoding.h"

inline bool IsSjisLeadByte(unsigned char c) { return IsCp932LeadByte(c); }
inline bool IsSjisTrailByte(unsigned char c) { return IsCp932TrailByte(c); }

inline size_t SjisFitLength(const char* text, size_t len, size_t max) { return Cp932FitLength(text, len, max); }
