// The program's own Japanese texts must be Shift-JIS (CP932) bytes at run time, whatever encoding the
// sources are kept in: they are compared with and written into the game's files byte for byte.
#include <gtest/gtest.h>

#include <string>

namespace {

std::string hex(const std::string& s) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

TEST(SystemTexts, AreCp932Bytes) {
  struct Case {
    std::string text, bytes;
  } cases[] = {
      {"エラー", "83 47 83 89 81 5B"},
      {"表", "95 5C"},  // the trail byte is a backslash
      {"終了しますか？\n", "8F 49 97 B9 82 B5 82 DC 82 B7 82 A9 81 48 0A"},
      {"ワールド", "83 8F 81 5B 83 8B 83 68"},
      {"①", "87 40"},   // NEC special character, absent from plain Shift_JIS
      {"～", "81 60"},  // full-width tilde maps to 81 60 in CP932
  };
  for (const auto& c : cases) EXPECT_EQ(hex(c.text), c.bytes) << c.bytes;
}

}  // namespace
