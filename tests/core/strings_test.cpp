// String conveniences and Shift-JIS character walking.
#include "core/strings.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(Strings, EmptyAndAbsentTextAreTheSame) {
  std::string s = "old";
  StrAssign(s, static_cast<const char*>(nullptr));
  EXPECT_EQ(s, "");
  StrAssign(s, "abc");
  EXPECT_EQ(s, "abc");
  StrAssign(s, "");
  EXPECT_TRUE(s.empty());
  EXPECT_STREQ(CStr(std::string()), "");
  AppendChar(s, 'x');
  AppendChar(s, '\x95');
  EXPECT_EQ(s, "x\x95");
}

TEST(Strings, SubStrClampedClampsEveryWay) {
  struct Case {
    int start, length;
    const char* expected;
  } cases[] = {
      {-2, 3, "a"},
      {0, -1, "abcdef"},
      {2, 100, "cdef"},
      {6, 1, ""},
      {7, -1, ""},
      {2, 0, ""},
      {-10, 3, ""},
      {-1, -1, "abcdef"},
      {1, 2, "bc"},
      {INT_MIN, INT_MAX, ""},
      {INT_MAX, INT_MAX, ""},
      {3, INT_MAX, "def"},
  };
  const std::string text = "abcdef";
  for (const auto& c : cases)
    EXPECT_EQ(SubStrClamped(text, c.start, c.length), c.expected) << c.start << "," << c.length;
  // The text ends at its first NUL.
  EXPECT_EQ(SubStrClamped(std::string("ab\0cd", 5), 1, -1), "b");
  EXPECT_EQ(SubStrClamped(std::string("ab\0cd", 5), 3, 1), "");
}

TEST(Strings, ShiftJisCharactersAreCountedFromTheStart) {
  struct Case {
    const char* text;
    int count;
  } cases[] = {
      {"ab\ncd", 4},       {"表示a", 3},                // two double-byte characters and one letter
      {"\n\n", 0},         {"", 0},      {"a\x81", 2},  // a lead byte without its trail is one byte
      {"\x81\n", 1},                                    // ... and a line feed after it is still a line feed
      {"ｱｲ", 2},                                        // half-width katakana are single bytes
      {"\x83\x5C\x5C", 2},  // "ソ" has a backslash trail; the next backslash is its own character
  };
  for (const auto& c : cases) EXPECT_EQ(CountSjisChars(c.text), c.count) << c.text;
  EXPECT_EQ(CountSjisChars(nullptr), 0);
  EXPECT_TRUE(IsSjisDoubleByte("表"));
  EXPECT_FALSE(IsSjisDoubleByte("\x81"));  // the NUL is no trail byte
  EXPECT_FALSE(IsSjisDoubleByte("ab"));
  EXPECT_FALSE(IsSjisDoubleByte("\xA0\x40"));
}

}  // namespace

#include "platform/dialog_items.h"

namespace {

TEST(DlgItemStrings, RoundTripAndBoundedReads) {
  HWND dialog = reinterpret_cast<HWND>(0x1234);
  SetDlgItemString(dialog, 7, "表示テキスト");
  std::string out;
  GetDlgItemString(dialog, 7, out, 100);
  EXPECT_EQ(out, "表示テキスト");
  // A short maximum keeps whole characters only: 4 bytes hold one character, its NUL and no half.
  GetDlgItemString(dialog, 7, out, 4);
  EXPECT_EQ(out, "表");
  // A maximum beyond the 5120-byte buffer is held to it.
  SetDlgItemString(dialog, 8, std::string(6000, 'x'));
  GetDlgItemString(dialog, 8, out, 100000);
  EXPECT_EQ(out.size(), 5119u);
  GetDlgItemString(dialog, 9, out, 100);
  EXPECT_EQ(out, "");
  GetDlgItemString(dialog, 7, out, 0);
  EXPECT_EQ(out, "");
  ForgetDlgItems(dialog);
  GetDlgItemString(dialog, 7, out, 100);
  EXPECT_EQ(out, "");
}

}  // namespace
