// CP932 text as the characters a font draws. The code page's table is the file layer's
// (platform/encoding.h: built once from iconv "CP932", which unlike "SHIFT_JIS" has the Windows
// forms of the wave dash, minus and the like, and the NEC and IBM extension rows). Here a byte
// sequence without a character becomes "・" (U+30FB), as Windows shows such bytes, instead of a
// replacement mark no installed font has a glyph for.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/encoding.h"

// Code point drawn for a byte sequence CP932 does not define.
inline constexpr char32_t kCp932Undefined = U'\u30FB';

// Decodes the character starting at text[0] (size > 0): sets `length` to the bytes it takes (1 or 2;
// a lead byte without a valid trail byte takes 1) and returns its code point or kCp932Undefined.
char32_t DecodeCp932Char(const char* text, size_t size, size_t& length);

// Decodes a whole string into code points, one per character.
std::u32string Cp932ToUtf32(std::string_view text);

// The code point of one double-byte pair (lead, trail), or kCp932Undefined.
char32_t Cp932PairToUnicode(unsigned char lead, unsigned char trail);
