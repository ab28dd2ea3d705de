// CP932 <-> Unicode conversion, checked against iconv itself over every double-byte code.
#include "platform/encoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// Straight iconv conversion; false when iconv refuses the input.
bool IconvConvert(const char* to, const char* from, const std::string& in, std::string& out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char buffer[64];
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || inLeft != 0) return false;
  out.assign(buffer, sizeof buffer - outLeft);
  return true;
}

TEST(Cp932Encoding, EveryCodeConvertsAsIconvDoes) {
  int mapped = 0;
  auto check = [&](const std::string& code) {
    std::string expected, actual;
    bool iconvOk = IconvConvert("UTF-8", "CP932", code, expected);
    bool ours = Cp932ToUtf8(code, actual);
    ASSERT_EQ(ours, iconvOk) << std::hex << static_cast<int>(static_cast<unsigned char>(code[0]));
    if (!iconvOk) {
      EXPECT_EQ(actual, U8(u8"\uFFFD"));
      return;
    }
    ++mapped;
    ASSERT_EQ(actual, expected);
    // Back again, exactly as iconv goes back (characters held twice convert to iconv's choice).
    std::string iconvBack, ourBack;
    ASSERT_TRUE(IconvConvert("CP932", "UTF-8", expected, iconvBack));
    ASSERT_TRUE(Utf8ToCp932(actual, ourBack));
    ASSERT_EQ(ourBack, iconvBack);
  };
  for (int b = 0; b < 0x100; ++b) {
    if (!IsCp932LeadByte(static_cast<unsigned char>(b))) check(std::string(1, static_cast<char>(b)));
  }
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsCp932TrailByte(static_cast<unsigned char>(trail))) continue;
      check(std::string{static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  EXPECT_GT(mapped, 7000);  // the table really was built
}

TEST(Cp932Encoding, WindowsFormsOfTheContestedCharacters) {
  // CP932, not plain Shift-JIS: wave dash, backslash and tilde as Windows maps them.
  EXPECT_EQ(Cp932CodeToUnicode(0x8160), U'\uFF5E');
  EXPECT_EQ(Cp932CodeToUnicode(0x815F), U'\uFF3C');
  EXPECT_EQ(Cp932CodeToUnicode(0x5C), U'\\');
  EXPECT_EQ(Cp932CodeToUnicode(0x7E), U'~');
  EXPECT_EQ(Cp932CodeToUnicode(0xB1), U'\uFF71');  // half-width katakana
  EXPECT_EQ(Cp932CodeToUnicode(0x80), kReplacementChar);
  EXPECT_EQ(UnicodeToCp932Code(U'\u301C'), 0x8160);  // best fit of the JIS wave dash
  EXPECT_EQ(UnicodeToCp932Code(U'\U0001F600'), -1);
}

TEST(Cp932Encoding, SourceLiteralsAreCp932AndRoundTrip) {
  // The build stores narrow literals as CP932: the trail byte of this character is a backslash.
  const std::string hyo = "表";
  ASSERT_EQ(hyo, std::string("\x95\x5C"));
  const std::string text = "データ\\表示 ABC～";
  std::string utf8;
  ASSERT_TRUE(Cp932ToUtf8(text, utf8));
  EXPECT_EQ(utf8, U8(u8"データ\\表示 ABC～"));
  std::string back;
  ASSERT_TRUE(Utf8ToCp932(utf8, back));
  EXPECT_EQ(back, text);
  std::u32string chars;
  ASSERT_TRUE(Cp932ToUnicode("a表", chars));
  EXPECT_EQ(chars, U"a表");
}

TEST(Cp932Encoding, BrokenInputIsReplacedAndReported) {
  struct Case {
    std::string cp932;
    std::string utf8;
  } cases[] = {
      {"\x81", U8(u8"\uFFFD")},  // lead byte at the end
      {"\x81\x0A"
       "a",
       U8(u8"\uFFFD\na")},           // lead byte before a non-trail byte: that byte stands alone
      {"\x85\x40", U8(u8"\uFFFD")},  // unassigned pair: one replacement for both bytes
      {"a\xFF"
       "b",
       U8(u8"a\uFFFDb")},
  };
  for (const auto& c : cases) {
    std::string out;
    EXPECT_FALSE(Cp932ToUtf8(c.cp932, out));
    EXPECT_EQ(out, c.utf8);
  }
  std::string out;
  EXPECT_FALSE(
      Utf8ToCp932("a\xC0\xAF"
                  "b",
                  out));  // overlong "/"
  EXPECT_EQ(out, "a??b");
  EXPECT_FALSE(Utf8ToCp932(U8(u8"x\U0001F600"), out));
  EXPECT_EQ(out, "x?");
  EXPECT_FALSE(Utf8ToCp932("\xED\xA0\x80", out));  // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xE3\x81"));
  EXPECT_TRUE(IsValidUtf8(U8(u8"表")));
}

}  // namespace
