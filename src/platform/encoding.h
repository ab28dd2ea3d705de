#pragma once
// Conversion between the game's text encoding, CP932 (Shift-JIS with the Windows extensions), and
// Unicode. The game keeps every text as CP932 bytes; conversion happens only at the edges (file
// names on disk, fonts, the terminal, message boxes).
//
// The tables come from iconv's "CP932" converter (not "SHIFT_JIS", which differs on characters such
// as the wave dash and the full-width tilde) and are built once, on first use.
#include <cstdint>
#include <string>
#include <string_view>

// Shift-JIS byte classes: a double-byte character is a lead byte followed by a trail byte. The trail
// range includes 0x5C (the backslash) and the ASCII letters, so text must be walked from its start.
constexpr bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
constexpr bool IsCp932TrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Length in bytes (1 or 2) of the character starting at text[pos]: 2 for a lead byte followed by a
// trail byte, else 1. pos must be inside text.
inline size_t Cp932CharLength(std::string_view text, size_t pos) {
  return pos + 1 < text.size() && IsCp932LeadByte(static_cast<unsigned char>(text[pos])) &&
                 IsCp932TrailByte(static_cast<unsigned char>(text[pos + 1]))
             ? 2
             : 1;
}

// Length of the longest prefix of text[0..len) that fits in max bytes without splitting a
// double-byte character. A lead byte as the last byte of the text is an incomplete character (its
// trail was cut off) and is left out.
inline size_t Cp932FitLength(const char* text, size_t len, size_t max) {
  size_t i = 0;
  while (i < len) {
    bool lead = IsCp932LeadByte(static_cast<unsigned char>(text[i]));
    size_t step = (lead && (i + 1 >= len || IsCp932TrailByte(static_cast<unsigned char>(text[i + 1])))) ? 2 : 1;
    if (i + step > max) break;
    i += step;
  }
  return i;
}

constexpr char32_t kReplacementChar = 0xFFFD;

// The Unicode character of one CP932 code (a single byte 0x00-0xFF, or lead << 8 | trail), or
// kReplacementChar when the code has no character.
char32_t Cp932CodeToUnicode(unsigned code);

// The CP932 code of a Unicode character (single byte codes below 0x100), or -1 when CP932 has none.
int UnicodeToCp932Code(char32_t ch);

// CP932 text to Unicode characters. Byte sequences without a character become kReplacementChar;
// the result is false when that happened.
bool Cp932ToUnicode(std::string_view text, std::u32string& out);

// CP932 text to UTF-8. Byte sequences without a character become U+FFFD; false when that happened.
bool Cp932ToUtf8(std::string_view text, std::string& out);
std::string Cp932ToUtf8(std::string_view text);

// UTF-8 text to CP932. Malformed UTF-8 and characters CP932 lacks become "?"; false when that
// happened.
bool Utf8ToCp932(std::string_view text, std::string& out);
std::string Utf8ToCp932(std::string_view text);

// True when text is well-formed UTF-8 (no overlong forms, surrogates or values above U+10FFFF).
bool IsValidUtf8(std::string_view text);
