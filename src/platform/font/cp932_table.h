// Shift-JIS (Windows code page 932) to Unicode, through a table built once on first use.
//
// The table comes from iconv's "CP932" converter, not "SHIFT_JIS": the two differ on a few
// characters (0x815F is U+FF3C, 0x8160 U+FF5E, 0x817C U+FF0D, ...), and only CP932 has the NEC and
// IBM extension rows (0x87xx, 0xEDxx-0xEExx, 0xFAxx-0xFCxx). The game's texts are CP932.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Code point used for a byte sequence CP932 does not define ("・", as Windows maps them).
inline constexpr char32_t kCp932Undefined = U'\u30FB';

// True for the bytes that start a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsCp932LeadByte(uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
// True for the bytes that may follow a lead byte (0x40-0x7E, 0x80-0xFC).
constexpr bool IsCp932TrailByte(uint8_t byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Decodes the character starting at text[0]: sets `length` to the bytes it takes (1 or 2) and
// returns its code point. A lead byte without a valid trail byte takes 1 byte and gives
// kCp932Undefined; so does a defined-looking pair the code page leaves empty. `size` must be > 0.
char32_t DecodeCp932Char(const char* text, size_t size, size_t& length);

// Decodes a whole string into code points, one per character.
std::u32string Cp932ToUtf32(std::string_view text);

// The code point of one double-byte pair (lead, trail), or kCp932Undefined.
char32_t Cp932PairToUnicode(uint8_t lead, uint8_t trail);
