// The pause menu's command window: only enabled commands, sized by the widest caption.
#include "stage/cmd_window.h"

#include <gtest/gtest.h>

#include "test_support/stage_harness.h"

TEST(CmdWindow, EnabledCommandsInABoxSizedByTheWidestCaption) {
  cStageHarness h({"H.."});
  // "再開" is two characters, "Retry!" six; the disabled entry is left out.
  const std::vector<cCmd> commands = {cCmd(1, "\x8d\xc4\x8a\x4a"), cCmd(0, "a much longer text"), cCmd(1, "Retry!")};
  EXPECT_EQ(GetCmdWindowLeft(320, commands), 320 - 7 * 16 / 2);
  DrawCmdWindow(nullptr, 100, 50, commands);
  ASSERT_EQ(h.Draws().size(), 3u);
  EXPECT_EQ(h.Draws()[0].strName, "cFont::DrawBox");
  EXPECT_EQ(h.Draws()[0].adArgs, (std::vector<double>{100, 50, 7 * 16, 2 * 16}));
  EXPECT_EQ(h.Draws()[1].strText, "\x8d\xc4\x8a\x4a");
  EXPECT_EQ(h.Draws()[1].adArgs[0], 116);
  EXPECT_EQ(h.Draws()[2].strText, "Retry!");
  EXPECT_EQ(h.Draws()[2].adArgs[1], 66);
}

TEST(CmdWindow, NothingIsDrawnWithoutACaptionWidth) {
  cStageHarness h({"H.."});
  const std::vector<cCmd> commands = {cCmd(1, ""), cCmd(0, "hidden")};
  EXPECT_EQ(GetCmdWindowLeft(320, commands), 320);
  DrawCmdWindow(nullptr, 0, 0, commands);
  DrawCmdWindow(nullptr, 0, 0, {});
  EXPECT_TRUE(h.Draws().empty());
}
