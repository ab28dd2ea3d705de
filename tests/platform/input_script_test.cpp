// The headless input script: its grammar, per-frame application, scripted message-box answers, and
// the keyboard and joystick snapshots it drives.
#include <gtest/gtest.h>

#include "platform/headless/input_script.h"
#include "platform/input/joystick.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/message_box.h"
#include "platform/window/message_boxes.h"

namespace {
class InputScriptTest : public ::testing::Test {
 protected:
  void TearDown() override {
    UseInputScript(cInputScript{});
    ReleaseAllKeys();
    RemoveAllJoysticks();
    SetMessageBoxHandler(nullptr);
  }
};

TEST_F(InputScriptTest, AppliesEventsByFrame) {
  cInputScript script;
  std::string error;
  ASSERT_TRUE(
      ParseInputScript("# demo\n5 press LEFT z\n7 release left\n6 pad 0 65535 9000 3\n9 nopad\n", script, &error))
      << error;
  UseInputScript(script);
  ApplyInputScript(4);
  EXPECT_EQ(GetAsyncKeyState(VK_LEFT), 0);
  ApplyInputScript(5);
  EXPECT_NE(GetAsyncKeyState(VK_LEFT) & 0x8000, 0);
  EXPECT_NE(GetAsyncKeyState('Z') & 0x8000, 0);
  ApplyInputScript(6);
  JOYINFOEX info;
  ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.dwXpos, 0u);
  EXPECT_EQ(info.dwYpos, 65535u);
  EXPECT_EQ(info.dwPOV, 9000u);
  EXPECT_EQ(info.dwButtons, 3u);
  ApplyInputScript(8);  // frame 7 was skipped: its events still apply, in order
  EXPECT_EQ(GetAsyncKeyState(VK_LEFT), 0);
  EXPECT_NE(GetAsyncKeyState('Z') & 0x8000, 0);
  ApplyInputScript(9);
  EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
}

TEST_F(InputScriptTest, RejectsMalformedLines) {
  cInputScript script;
  std::string error;
  const char* bad[] = {"0 press Z\n",    "x press Z\n", "5 press NOSUCHKEY\n", "5 jump\n", "5 pad 70000 0\n",
                       "answer maybe\n", "5\n",         "-3 press Z\n"};
  for (const char* text : bad) {
    EXPECT_FALSE(ParseInputScript(text, script, &error)) << text;
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
  }
}

TEST_F(InputScriptTest, AnswersBoxesInOrderAndFailsWithoutAnswer) {
  cInputScript script;
  ASSERT_TRUE(ParseInputScript("answer yes\nanswer no\n", script, nullptr));
  UseInputScript(script);
  int unanswered = 0;
  InstallHeadlessMessageBoxes([&](const std::string&) { ++unanswered; });
  EXPECT_EQ(ShowMessageBox("終了しますか？\n", "終了確認", MB_YESNO), IDYES);
  EXPECT_EQ(ShowMessageBox("終了しますか？\n", "終了確認", MB_YESNO), IDNO);
  EXPECT_FALSE(HeadlessBoxUnanswered());
  EXPECT_EQ(ShowMessageBox("エラー", "エラー", MB_OK), IDOK);
  EXPECT_EQ(unanswered, 1);
  EXPECT_TRUE(HeadlessBoxUnanswered());
}

TEST_F(InputScriptTest, DialogLinesKeepTheirTextAndOrder) {
  cInputScript script;
  std::string error;
  // Text after the command word is kept whole, inner spaces too; the answers keep file order.
  ASSERT_TRUE(
      ParseInputScript("type  a b  \npaste xyz\ncompose \xE3\x81\x82\nkey TAB\nclick 1003\n"
                       "answer file my name.rpl4_986\nanswer ok\n",
                       script, &error))
      << error;
  ASSERT_EQ(script.answers.size(), 7u);
  EXPECT_EQ(script.answers[0].kind, cScriptAnswer::Kind::Type);
  EXPECT_EQ(script.answers[0].text, " a b");
  EXPECT_EQ(script.answers[1].text, "xyz");
  EXPECT_EQ(script.answers[2].kind, cScriptAnswer::Kind::Compose);
  EXPECT_EQ(script.answers[2].text, "\xE3\x81\x82");
  EXPECT_EQ(script.answers[3].value, VK_TAB);
  EXPECT_EQ(script.answers[4].value, 1003);
  EXPECT_EQ(script.answers[5].kind, cScriptAnswer::Kind::File);
  EXPECT_EQ(script.answers[5].text, "my name.rpl4_986");
  EXPECT_EQ(script.answers[6].value, IDOK);
  // A message box takes only an answer: a dialog line ahead of it is left for its dialog.
  UseInputScript(script);
  int answer = 0;
  EXPECT_FALSE(TakeScriptedAnswer(&answer));
  cScriptAnswer step;
  EXPECT_TRUE(TakeScriptedDialogStep(&step));
  EXPECT_EQ(step.kind, cScriptAnswer::Kind::Type);
  for (const char* bad : {"type\n", "paste   \n", "key\n", "key NOKEY\n", "click x\n", "click 70000\n", "answer file\n",
                          "type \xFF\xFE\n"}) {
    EXPECT_FALSE(ParseInputScript(bad, script, &error)) << bad;
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
  }
}

TEST(VirtualKeys, NamesAndCodes) {
  EXPECT_EQ(VirtualKeyFromName("left"), VK_LEFT);
  EXPECT_EQ(VirtualKeyFromName("Z"), 'Z');
  EXPECT_EQ(VirtualKeyFromName("F3"), VK_F3);
  EXPECT_EQ(VirtualKeyFromName("esc"), VK_ESCAPE);
  EXPECT_EQ(VirtualKeyFromName("0x25"), VK_LEFT);
  EXPECT_EQ(VirtualKeyFromName("300"), -1);
  EXPECT_STREQ(VirtualKeyName(VK_SPACE), "SPACE");
  EXPECT_STREQ(VirtualKeyName(VK_NUMPAD0 + 7), "NUMPAD7");
}
}  // namespace
