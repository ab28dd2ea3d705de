// The edit box's limits as the dialogs apply them: a line longer than allowed is broken and its
// overflow joins the next line, a text with too many lines is undone, Backspace may not join lines
// into one that is too long, and the read-back is capped without splitting a character.
#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "test_dialog.h"

namespace {
struct EditCase {
  const char* name;
  int32_t lineChars, maxLines, doubleByte;
  const char* initial;
  const char* script;  // run before OK
  const char* expected;
};

class EditReformat : public ::testing::TestWithParam<EditCase> {};

TEST_P(EditReformat, KeepsTheTextWithinItsLimits) {
  const EditCase& c = GetParam();
  cScriptedDialogs dialogs;
  dialogs.Script(std::string(c.script) + "\nanswer ok");
  cTestDialog dialog(c.lineChars, c.maxLines, c.doubleByte);
  dialog.m_strText = c.initial;
  EXPECT_EQ(dialog.DoModal(0), 1);
  EXPECT_EQ(dialog.m_strText, c.expected);
  EXPECT_EQ(dialogs.Unanswered(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditReformat,
    ::testing::Values(EditCase{"FourthCharacterRefused", 3, 1, 1, "abc", "key END\ntype d", "abc"},
                      EditCase{"DoubleByteIsOneCharacter", 3, 1, 1, "ab", "key END\ntype あ", "abあ"},
                      EditCase{"LongPasteRefusedWhole", 3, 1, 1, "", "paste あいうえ", ""},
                      EditCase{"SingleByteModeCountsBytes", 3, 1, 0, "a", "key END\ntype あ", "aあ"},
                      EditCase{"SingleByteModeRefusesFourBytes", 3, 1, 0, "ab", "key END\ntype あ", "ab"},
                      EditCase{"PasteBrokenIntoLines", 4, 2, 1, "", "paste abcdef", "abcd\r\nef"},
                      EditCase{"OverflowJoinsTheNextLine", 4, 2, 1, "abcd\r\nef",
                               "key HOME\nkey RIGHT\nkey RIGHT\nkey RIGHT\nkey RIGHT\ntype X", "abcd\r\nXef"},
                      EditCase{"ThirdLineRefused", 4, 2, 1, "abcd\r\nefgh", "key END\ntype i", "abcd\r\nefgh"},
                      EditCase{"BackspaceMayNotMakeALongLine", 4, 2, 1, "abcd\r\nef",
                               "key END\nkey LEFT\nkey LEFT\nkey BACK", "abcd\r\nef"},
                      EditCase{"BackspaceJoinsShortLines", 4, 2, 1, "ab\r\nef", "key END\nkey LEFT\nkey LEFT\nkey BACK",
                               "abef"},
                      EditCase{"TooLongValueShownCut", 3, 1, 1, "abcdef", "key END", "abc"},
                      EditCase{"TooManyLinesShownCut", 4, 2, 1, "ab\r\ncd\r\nef", "key END", "ab\r\ncd"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditReadBack, CapsBytesWithoutSplittingACharacter) {
  // Maximum length 4 in double-byte mode reads back at most 7 bytes: "あいう" and "a" fit, the fourth
  // double-byte character never comes in half.
  cScriptedDialogs dialogs;
  dialogs.Script("answer ok");
  cTestDialog dialog(10, 1, 1);
  dialog.m_Edit.m_nMaxLength = 4;
  dialog.m_strText = "aあいう";
  EXPECT_EQ(dialog.DoModal(0), 1);
  EXPECT_EQ(dialog.m_strText, "aあいう");  // 7 bytes
  dialogs.Script("answer ok");
  cTestDialog longer(10, 1, 1);
  longer.m_Edit.m_nMaxLength = 4;
  longer.m_strText = "abあいう";  // 8 bytes: the last character does not fit whole
  EXPECT_EQ(longer.DoModal(0), 1);
  EXPECT_EQ(longer.m_strText, "abあい");
}
}  // namespace
