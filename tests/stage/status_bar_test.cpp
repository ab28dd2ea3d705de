// The status bar over the stage picture: where its entries go, what each draws, the gauges' fill
// and low colour, and layouts from extreme project values.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data/game_data.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "media/graphics/display.h"
#include "media/graphics/surface_table.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "stage/scene_stage.h"
#include "stage/status_bar.h"
#include "test_support/stage_harness.h"

namespace {

// One entry of the status display as a test sets it up.
struct cItemSetup {
  int shown = 1;
  int icon = 1;
  int digits = 0;
  int showValue = 0;
  const char* label = "";
};

class StatusBarTest : public testing::Test {
 protected:
  StatusBarTest() : m_Harness(SceneSetup()) {
    Scene().m_nStatusDisplay = 1;
    g_SaveData.m_nScoreTotal = 1234;
    g_SaveData.m_nScore = 56;
    g_SaveData.m_nLives = 3;
    SetGauges(30, 100, 7, 9);
  }
  static cHarnessSetup SceneSetup() {
    cHarnessSetup setup;
    setup.map = {"........", ".H......", "########"};
    setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
    return setup;
  }
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }

  static void SetItems(const std::vector<cItemSetup>& items) {
    for (size_t k = 0; k < items.size(); ++k) {
      cSysEntry& e = g_SystemData.m_aStatusItems[k];
      e.m_bShown = items[k].shown;
      e.m_bIconLabel = items[k].icon;
      e.m_nWidthCells = items[k].digits;
      e.m_bShowNumber = items[k].showValue;
      e.m_strLabel = items[k].label;
    }
  }
  void SetGauges(int hp, int maxHp, int sp, int maxSp) {
    cHero& hero = m_Harness.Hero();
    hero.m_nHp = hp;
    hero.m_Type.m_nMaxHp = maxHp;
    hero.m_nSp = sp;
    hero.m_Type.m_nMaxSp = maxSp;
  }

  // The bar drawn once, each call as one line: blits "S<slot> x y w h sx sy flags", texts
  // "T x y text".
  std::vector<std::string> Draw() {
    m_Harness.ClearTraces();
    DrawStatusBar(Scene(), &g_BackBufferSD);
    std::vector<std::string> lines;
    for (const DDTRACECALL& call : m_Harness.Draws()) {
      EXPECT_EQ(call.lpDst, &g_BackBufferSD) << call.strName;
      std::string line;
      if (call.strName == "DDBlt") {
        line = "S" + std::to_string(call.lpSrc - g_SurfaceData);
        for (double a : call.adArgs) line += " " + std::to_string(static_cast<int64_t>(a));
      } else if (call.strName == "cFont::DrawString") {
        line = "T " + std::to_string(static_cast<int>(call.adArgs[0])) + " " +
               std::to_string(static_cast<int>(call.adArgs[1])) + " " + call.strText;
      } else {
        line = call.strName;
      }
      lines.push_back(line);
    }
    return lines;
  }
  // The blits of the first gauge's bar (the second blit from the gauge sheet's frame row on).
  std::string HpBar() {
    const std::vector<std::string> lines = Draw();
    for (size_t i = 0; i + 1 < lines.size(); ++i)
      if (lines[i].find(" 0 128 1") != std::string::npos) return lines[i + 1];
    return "none";
  }

  cStageHarness m_Harness;
};

TEST_F(StatusBarTest, FiveIconEntriesSpreadOverTheBar) {
  // Digits 4, 3 and 2 for the score total, the stage score and the lives: widths 80, 64, 66, 66,
  // 48, gap (638 - 324) / 6 = 52. The gauges reserve no digits whatever their digits say.
  SetItems({{1, 1, 4}, {1, 1, 3}, {1, 1, 7, 1}, {1, 1, 9, 0}, {1, 1, 2}});
  g_SystemData.m_aStatusItems[2].m_nLowThreshold = 10;
  g_SystemData.m_aStatusItems[3].m_nLowThreshold = 33;
  g_SystemData.m_aStatusItems[3].m_bLowPercent = 1;  // 7 of 9 is 77 %: not low
  const std::vector<std::vector<std::string>> entries = {
      {"S47 0 0 640 20 0 0 1"},                                                                         // bar
      {"S50 52 3 16 16 0 32 1", "T 68 3 1234"},                                                         // score total
      {"S50 184 3 16 16 16 32 1", "T 200 3 56"},                                                        // stage score
      {"S50 300 3 16 16 32 32 1", "S50 316 3 50 16 0 128 1", "S50 316 3 15 16 0 144 1", "T 316 6 30"},  // HP
      {"S50 418 3 16 16 48 32 1", "S50 434 3 50 16 64 128 1", "S50 434 3 38 16 64 144 1"},              // SP
      {"S50 536 3 16 16 64 32 1", "T 552 3 3"},                                                         // lives
  };
  std::vector<std::string> expected;
  for (const std::vector<std::string>& entry : entries) expected.insert(expected.end(), entry.begin(), entry.end());
  EXPECT_EQ(Draw(), expected);
}

TEST_F(StatusBarTest, LabelEntriesPutTheirLabelBeforeTheValueOrGauge) {
  // Widths 3 x 16 + 6 x 16 = 144 and 2 x 16 + 50 = 82, gap (638 - 226) / 3 = 137.
  SetItems({{1, 0, 6, 0, "スコア"}, {0}, {1, 0, 0, 0, "HP"}, {0}, {0}});
  const std::vector<std::string> expected = {
      "S47 0 0 640 20 0 0 1", "T 137 3 スコア1234", "T 418 3 HP", "S50 450 3 50 16 0 128 1", "S50 450 3 15 16 0 144 1",
  };
  EXPECT_EQ(Draw(), expected);
  // An empty label takes no room: the gauge starts where the entry does.
  SetItems({{0}, {0}, {1, 0, 0, 0, ""}, {0}, {0}});
  const std::vector<std::string> empty = {"S47 0 0 640 20 0 0 1", "T 294 3 ", "S50 294 3 50 16 0 128 1",
                                          "S50 294 3 15 16 0 144 1"};
  EXPECT_EQ(Draw(), empty);  // gap (638 - 50) / 2
}

TEST_F(StatusBarTest, UnlimitedLivesShowADash) {
  // One entry 16 wide (the icon, or one label character): gap (638 - 16) / 2 = 311.
  struct Case {
    int icon;
    int32_t lives;
    const char* text;
  };
  for (const Case& c : {Case{1, 999999, "T 327 3 -"}, Case{0, 999999, "T 311 3 人-"}, Case{1, 0, "T 327 3 0"},
                        Case{0, 99, "T 311 3 人99"}}) {
    SetItems({{0}, {0}, {0}, {0}, {1, c.icon, 0, 0, "人"}});
    g_SaveData.m_nLives = c.lives;
    EXPECT_EQ(Draw().back(), c.text) << c.lives;
  }
}

TEST_F(StatusBarTest, GaugeFillAndLowColour) {
  struct Case {
    int32_t value, max;
    int threshold, percent;
    int width, row;
  };
  // (Only entry 2: gap (638 - 66) / 2 = 286, the gauge at 302.)
  SetItems({{0}, {0}, {1, 1}, {0}, {0}});
  for (const Case& c : {
           Case{30, 100, 0, 0, 15, 144},
           Case{7, 9, 0, 0, 38, 144},
           Case{100, 100, 0, 0, 50, 144},
           Case{0, 100, -1, 0, 0, 144},
           Case{1, 999999, 0, 0, 0, 144},
           Case{999999, 999999, 0, 0, 50, 144},
           Case{5, 0, -1, 0, 0, 144},  // no maximum: an empty bar
           Case{2147483647, 2147483647, 0, 0, 50, 144},
           Case{2000000000, 1, 0, 0, 50, 144},
           Case{-5, 100, -10, 0, 0, 144},
           // The low colour: the value at or under the threshold, or its percentage of the maximum.
           Case{0, 100, 0, 0, 0, 160},
           Case{1, 100, 0, 0, 0, 144},
           Case{33, 100, 33, 1, 16, 160},
           Case{34, 100, 33, 1, 17, 144},
           Case{1, 3, 33, 1, 16, 144},
           Case{0, 0, 33, 1, 0, 144},
       }) {
    g_SystemData.m_aStatusItems[2].m_nLowThreshold = c.threshold;
    g_SystemData.m_aStatusItems[2].m_bLowPercent = c.percent;
    SetGauges(c.value, c.max, 0, 0);
    EXPECT_EQ(HpBar(), "S50 302 3 " + std::to_string(c.width) + " 16 0 " + std::to_string(c.row) + " 1")
        << c.value << "/" << c.max << " threshold " << c.threshold << (c.percent ? "%" : "");
  }
}

TEST_F(StatusBarTest, WhereTheFirstEntryStarts) {
  struct Case {
    std::vector<cItemSetup> items;
    int x;
  };
  const cItemSetup off{0};
  for (const Case& c : {
           Case{{{1, 1, 6}, off, off, off, off}, 263},  // (638 - 112) / 2
           // Entries wider than the bar: 176 + 176 + 66 + 66 + 224 = 708, gap -70 / 6 truncated to -11.
           Case{{{1, 1, 10}, {1, 1, 10}, {1, 1}, {1, 1}, {1, 1, 13}}, -11},
       }) {
    SetItems(c.items);
    EXPECT_EQ(Draw()[1], "S50 " + std::to_string(c.x) + " 3 16 16 0 32 1");
  }
}

TEST_F(StatusBarTest, DigitCountsFromAnyProjectFileLayOutWithoutOverflow) {
  // Width counts at the ends of int32: every entry lands far off the bar, no arithmetic wraps.
  for (int32_t digits : {INT32_MAX, INT32_MIN}) {
    SetItems({{1, 1, digits}, {1, 1, digits}, {1, 1}, {1, 1}, {1, 1, digits}});
    const std::vector<std::string> lines = Draw();
    ASSERT_EQ(lines.size(), 13u) << digits;
    const int64_t first = std::stoll(lines[1].substr(4));
    EXPECT_TRUE(first < -640 || first > 640) << digits << ": " << lines[1];
  }
}

TEST_F(StatusBarTest, NothingWithoutAShownEntryOrWithTheDisplayOff) {
  SetItems({{1, 1, 4}, {1, 1, 3}, {1, 1}, {1, 1}, {1, 1, 2}});
  Scene().m_nStatusDisplay = 0;
  EXPECT_TRUE(Draw().empty());
  Scene().m_nStatusDisplay = 1;
  SetItems({{0}, {0}, {0}, {0}, {0}});
  EXPECT_TRUE(Draw().empty());
}

}  // namespace
