// The "#" codes of message texts: variable values with width, sign and padding, the codes that stay
// as typed, the refresh's "?", the choice tags and their records, and measuring on the font's grid.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "data/save_data.h"
#include "flow/mes_window.h"
#include "media/graphics/display.h"
#include "message_fixture.h"
#include "test_support/flow_harness.h"

namespace {

class MesFormat : public ::testing::Test {
 protected:
  MesFormat() {
    g_SaveData.m_anCommonVars[3] = 7;
    g_SaveData.m_anCommonVars[4] = -12;
    g_SaveData.m_anCommonVars[5] = INT_MIN;
    g_SaveData.m_anCommonVars[1000] = 5;
    h.Stage().m_anStageVars[5] = 42;
    h.Hero().m_anVars.assign(kCharaVarCount, 0);
    h.Hero().m_anVars[1] = 9;
    h.Stage().m_lpCurObject = &h.Hero();
    h.Stage().m_lpFlowVars = flowVars;
  }

  std::string Format(std::string text, int expand, int choices = 0, int refreshing = 0,
                     std::vector<cChoiceEntry>* records = nullptr) {
    FormatMesText(text, expand, choices, records, refreshing);
    return text;
  }

  cFlowHarness h{std::vector<std::string>{"H"}};
  int32_t flowVars[2] = {11, -3};
};

TEST_F(MesFormat, VariableCodesShowTheirValues) {
  struct Case {
    const char* text;
    const char* shown;
  };
  const Case cases[] = {
      {"#C3 x", "7 x"},                          // the first other character ends the code and stays
      {"#C3_4.", "   7"},                        // width 4, the "." belongs to the code
      {"#C3_4Z.", "0007"},                       // zero padding
      {"#C3_P.", "+7"},                          // plus sign
      {"#C3_PZ3.", "+007"},                      // modifiers in any order
      {"#C3_4.x", "   7x"},                      //
      {"#C3_45.", "    7"},                      // a further digit replaces the width
      {"#C4_4.", "-  12"},                       // the sign stands before the padding
      {"#C4_4Z.", "-0012"},                      //
      {"#C4_P.", "-12"},                         // a negative value has its minus sign only
      {"#C5", "-2147483648"},                    // the whole range
      {"#c3", "7"},                              // letters in either case
      {"#C1000", "5"},                           // the last common variable
      {"#S5!", "42!"},                           // stage variable
      {"#V1", "9"},                              // the running character's variable
      {"#F1", "11"},                             // flow variable A
      {"#F2_3.", "-  3"},                        //
      {"#SC3", "7"},                             // C wins over S
      {"#FV1", "9"},                             // V over F
      {"a#C3b", "a7b"},                          //
      {"#C0", "#C0"},                            // index 0 is no variable
      {"#C1001", "#C1001"},                      // past the list
      {"#C", "#C"},                              // no digits
      {"#C_4.", "#C_4."},                        //
      {"#X1", "#X1"},                            // no such letter
      {"#F3", "#F3"},                            // flows have A and B only
      {"#V9", "#V9"},                            // characters have variables 1-8
      {"#S1000", "#S1000"},                      // stage variables end at 999
      {"##C3", "#7"},                            // a lone "#" is an ordinary character
      {"#", "#"},                                //
      {"あ#C3", "あ7"},                          // after a double-byte character
      {"#C99999999999999", "#C99999999999999"},  // a huge index is no variable
  };
  for (const Case& c : cases) EXPECT_EQ(Format(c.text, 1), c.shown) << c.text;
}

TEST_F(MesFormat, CodesStayWithoutExpansion) {
  EXPECT_EQ(Format("#C3 #R5", 0), "#C3 #R5");
  EXPECT_EQ(Format("#C3 #R5", 0, 1), "#C3  ");  // choices alone
  EXPECT_EQ(Format("#R5", 1, 0), "#R5");        // tags only where choices are allowed
}

TEST_F(MesFormat, ARefreshShowsQuestionMarksForTheRunningFlowsValues) {
  EXPECT_EQ(Format("#V1 #F1 #C3 #S5", 1, 0, 1), "? ? 7 42");
  EXPECT_EQ(Format("#F3", 1, 0, 1), "#F3");
  // Without a running character or flow the codes stay.
  h.Stage().m_lpCurObject = nullptr;
  h.Stage().m_lpFlowVars = nullptr;
  EXPECT_EQ(Format("#V1 #F1", 1), "#V1 #F1");
  EXPECT_EQ(Format("#V1 #F1", 1, 0, 1), "? ?");
}

TEST_F(MesFormat, ChoiceTagsBecomeOneSpaceAndARecord) {
  std::vector<cChoiceEntry> records;
  EXPECT_EQ(Format("あ#R5_C10.\nb#R2 c#R7_D4.", 1, 1, 0, &records), "あ \nb  c ");
  ASSERT_EQ(records.size(), 3u);
  auto fields = [](const cChoiceEntry& e) {
    return std::vector<int32_t>{e.nX, e.nY, e.nValue, e.nReserved, e.nAction, e.nIndex};
  };
  EXPECT_EQ(fields(records[0]), (std::vector<int32_t>{16, 0, 5, 0, 2, 10}));
  EXPECT_EQ(fields(records[1]), (std::vector<int32_t>{16, 16, 2, 0, 0, 0}));
  EXPECT_EQ(fields(records[2]), (std::vector<int32_t>{64, 16, 7, 0, 1, 0}));

  struct Case {
    const char* text;
    int32_t value, action, index;
  };
  const Case cases[] = {
      {"#R5_C0.", 5, 2, 1}, {"#R5_C2000.", 5, 2, 1000}, {"#R5_s3", 5, 3, 3},  {"#R5_V20.", 5, 4, 8},
      {"#R5_V0.", 5, 4, 1}, {"#R5_F3.", 5, 5, 2},       {"#R5_F0.", 5, 5, 1}, {"#R9999999.", 999999, 0, 0},
      {"#r0_d9.", 0, 1, 0}, {"#R5_.", 5, 0, 0},         {"#R5_X2.", 5, 0, 0}, {"#R5_C99999999999.", 5, 2, 1000},
  };
  for (const Case& c : cases) {
    std::vector<cChoiceEntry> one;
    Format(c.text, 0, 1, 0, &one);
    ASSERT_EQ(one.size(), 1u) << c.text;
    EXPECT_EQ(one[0].nValue, c.value) << c.text;
    EXPECT_EQ(one[0].nAction, c.action) << c.text;
    EXPECT_EQ(one[0].nIndex, c.index) << c.text;
  }
  // A tag without a value stays as text.
  std::vector<cChoiceEntry> none;
  EXPECT_EQ(Format("#R_C1.", 0, 1, 0, &none), "#R_C1.");
  EXPECT_TRUE(none.empty());
  // Without a record list the tags still become spaces.
  EXPECT_EQ(Format("#R1 x", 0, 1), "  x");
}

TEST_F(MesFormat, AnUnknownLetterEndsATagAndStays) {
  EXPECT_EQ(Format("#R5_X2.", 0, 1), " X2.");
  EXPECT_EQ(Format("#R5_C3x", 0, 1), " x");
}

TEST(MesMeasure, TextsMeasureOnTheFontsGridPlusTwo) {
  for (const gfxtest::Mode mode : {gfxtest::Mode{0, 32, "DD32"}, gfxtest::Mode{1, 32, "D3D32"}}) {
    gfxtest::Display display(mode);
    ASSERT_TRUE(display.ok);
    ASSERT_EQ(lpDTCon != nullptr, mode.d3d == 1);
    cFixedMetricFont font;
    struct Case {
      const char* text;
      int width, height;
    };
    const Case cases[] = {{"ab\nあいう", 26, 34}, {"", 2, 18}, {"abcd", 34, 18}, {"a\n\n", 10, 50}};
    for (const Case& c : cases) {
      int w = 0, h = 0;
      MeasureText(std::string(c.text), w, h);
      EXPECT_EQ(w, c.width) << mode.name << " " << c.text;
      EXPECT_EQ(h, c.height) << mode.name << " " << c.text;
    }
  }
}

}  // namespace
