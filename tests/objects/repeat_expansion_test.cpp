// Repeat ("ループ") commands written out when a flow is installed: the block after the repeat as
// often as it repeats, cut at the end of the list, nested repeats, the item-context repeat, and the
// limits that keep a broken or hostile list from growing without end or looping for ever.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/log.h"
#include "data/flow_cmd.h"
#include "objects/flow_runner.h"

namespace {

// A list described by letters: a-z plain commands (kind 1, the letter in parameter 0), "L(p0,p1)"
// as a repeat.
cFlowCmd Plain(char letter) {
  cFlowCmd cmd;
  cmd.m_nKind = 1;
  cmd.m_anParams = {letter};
  return cmd;
}

cFlowCmd Repeat(int times, int length, int context = 0) {
  cFlowCmd cmd;
  cmd.m_nContext = static_cast<int8_t>(context);
  cmd.m_nKind = static_cast<int8_t>(context ? 24 : 39);
  cmd.m_anParams = {times, length};
  return cmd;
}

std::string Letters(const std::vector<cFlowCmd>& cmds) {
  std::string s;
  for (const cFlowCmd& cmd : cmds) {
    if (cmd.m_nKind == 1)
      s += static_cast<char>(cmd.m_anParams.at(0));
    else
      s += 'L';
  }
  return s;
}

std::vector<cFlowCmd> List(std::initializer_list<cFlowCmd> cmds) { return cmds; }

}  // namespace

TEST(RepeatExpansion, TheBlockIsWrittenOutAsOftenAsItRepeats) {
  struct Case {
    std::vector<cFlowCmd> cmds;
    std::string expanded;
  };
  const Case cases[] = {
      {List({Repeat(3, 2), Plain('a'), Plain('b'), Plain('c')}), "abababc"},
      {List({Repeat(3, 5), Plain('a'), Plain('b')}), "ababab"},  // cut at the end of the list
      {List({Plain('x'), Repeat(1, 2), Plain('a'), Plain('b')}), "xab"},
      {List({Repeat(0, 2), Plain('a'), Plain('b')}), "ab"},
      {List({Repeat(-4, 2), Plain('a'), Plain('b')}), "ab"},
      {List({Repeat(3, 0), Plain('a')}), "a"},
      {List({Repeat(3, -2), Plain('a')}), "a"},
      {List({Plain('a'), Repeat(4, 1)}), "a"},  // nothing after it
      {List({Repeat(2, 3), Repeat(2, 1), Plain('a'), Plain('b')}), "aabaab"},
      {List({Repeat(2, 1), Plain('a'), Repeat(3, 1), Plain('b')}), "aabbb"},
      {List({Repeat(2, 2, 1), Plain('a'), Plain('b')}), "abab"},  // the item context's repeat
  };
  for (const Case& c : cases) {
    std::vector<cFlowCmd> cmds = c.cmds;
    ExpandRepeats(cmds);
    EXPECT_EQ(Letters(cmds), c.expanded);
  }
  // Kind 24 of the character context and kind 39 of the item context are other commands.
  std::vector<cFlowCmd> others = {Repeat(2, 1), Plain('a')};
  others[0].m_nKind = 24;
  EXPECT_EQ(ExpandOneRepeat(others), 0);
  others[0].m_nContext = 1;
  others[0].m_nKind = 39;
  EXPECT_EQ(ExpandOneRepeat(others), 0);
}

TEST(RepeatExpansion, OneStepExpandsTheFirstRepeatOnly) {
  std::vector<cFlowCmd> cmds = {Plain('x'), Repeat(2, 1), Plain('a'), Repeat(2, 1), Plain('b')};
  EXPECT_EQ(ExpandOneRepeat(cmds), 1);
  EXPECT_EQ(Letters(cmds), "xaaLb");
  EXPECT_EQ(ExpandOneRepeat(cmds), 1);
  EXPECT_EQ(ExpandOneRepeat(cmds), 0);
  EXPECT_EQ(Letters(cmds), "xaabb");
}

TEST(RepeatExpansion, TheListStaysWithinItsLimit) {
  g_bQuit = 0;
  std::vector<cFlowCmd> cmds = {Repeat(2147483647, 2147483647), Plain('a'), Plain('b')};
  ExpandRepeats(cmds);
  EXPECT_LE(cmds.size(), static_cast<size_t>(kMaxFlowCmds));
  EXPECT_GE(cmds.size(), static_cast<size_t>(kMaxFlowCmds) - 2);
  EXPECT_EQ(Letters(cmds).find_first_not_of("ab"), std::string::npos);

  // Nested repeats multiply; the limit holds for the whole list.
  cmds = {Repeat(1000, 2), Repeat(1000, 1), Plain('a')};
  ExpandRepeats(cmds);
  EXPECT_LE(cmds.size(), static_cast<size_t>(kMaxFlowCmds));
  EXPECT_EQ(Letters(cmds).find('L'), std::string::npos);
  EXPECT_EQ(g_bQuit.load(), 0);
}

TEST(RepeatExpansion, RepeatsThatOnlyReproduceThemselvesEnd) {
  // A repeat whose block is only the next repeat copies it and goes, leaving the list as it was.
  std::vector<cFlowCmd> cmds = {Repeat(2, 1), Repeat(2, 1), Plain('a')};
  ExpandRepeats(cmds);
  EXPECT_EQ(Letters(cmds), "a");
}

TEST(RepeatExpansion, ARepeatWithoutItsTwoParametersTakesTheFatalPath) {
  g_bQuit = 0;
  std::vector<cFlowCmd> cmds = {Repeat(2, 1), Plain('a')};
  cmds[0].m_anParams = {3};
  EXPECT_EQ(ExpandOneRepeat(cmds), 1);
  EXPECT_EQ(g_bQuit.load(), 1);
  g_bQuit = 0;
}
