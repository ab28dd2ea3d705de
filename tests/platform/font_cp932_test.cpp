// Shift-JIS decoding for drawing, with the Windows code page.s own table.
#include <gtest/gtest.h>

#include <string>

#include "platform/font/cp932_chars.h"

namespace {

TEST(Cp932, DecodesWhereWindowsDiffersFromPlainShiftJis) {
  struct Case {
    const char* name;
    std::string bytes;
    std::u32string expected;
  };
  const Case cases[] = {
      {"ASCII and the backslash byte", "A\\~", U"A\\~"},
      {"half-width katakana", "\xB1\xDF", U"\uFF71\uFF9F"},
      {"0x5C as a trail byte: 表", "\x95\x5C", U"\u8868"},
      {"0x5C as a trail byte: ソ then a backslash", "\x83\x5C\x5C", U"\u30BD\\"},
      {"full-width reverse solidus", "\x81\x5F", U"\uFF3C"},
      {"wave dash as Windows maps it", "\x81\x60", U"\uFF5E"},
      {"parallel", "\x81\x61", U"\u2225"},
      {"minus sign", "\x81\x7C", U"\uFF0D"},
      {"not sign", "\x81\xCA", U"\uFFE2"},
      {"NEC special row: circled one", "\x87\x40", U"\u2460"},
      {"NEC-selected IBM extension", "\xED\x40", U"\u7E8A"},
      {"IBM extension: small roman one", "\xFA\x40", U"\u2170"},
      {"lead byte without trail at the end", "A\x82", U"A\u30FB"},
      {"lead byte before a line feed", "\x82\x0A", U"\u30FB\n"},
      {"empty", "", U""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Cp932ToUtf32(c.bytes), c.expected);
  }
  // This build stores narrow literals as CP932, so the source's own text decodes back to itself.
  EXPECT_EQ(Cp932ToUtf32("ＭＳ ゴシック表示"), U"ＭＳ ゴシック表示");
}

TEST(Cp932, CharacterLengths) {
  size_t length = 0;
  EXPECT_EQ(DecodeCp932Char("\x82\xA0", 2, length), U'\u3042');
  EXPECT_EQ(length, 2u);
  // Only one byte may be read although the buffer continues in memory.
  EXPECT_EQ(DecodeCp932Char("\x82\xA0", 1, length), kCp932Undefined);
  EXPECT_EQ(length, 1u);
  EXPECT_EQ(DecodeCp932Char("\xA0", 1, length), kCp932Undefined);  // a byte CP932 leaves undefined
  EXPECT_EQ(Cp932PairToUnicode(0x81, 0x7F), kCp932Undefined);      // 0x7F is never a trail byte
}

}  // namespace
