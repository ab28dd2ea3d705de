// The ranking panel, the play-totals panel and the slot list: where each text, box and cursor goes,
// checked through the drawing trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/game_data.h"
#include "data/ranking.h"
#include "data/story_slots.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "menus/ranking_panels.h"
#include "menus/slot_list.h"
#include "shell/app_globals.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"

namespace {

// One traced call with the state of font 1's letter icons when it was made.
struct cCall {
  DDTRACECALL call;
  int icons = 0;
};
std::vector<cCall> g_calls;

void Record(const DDTRACECALL& call) { g_calls.push_back({call, g_Font[1].m_bIcons}); }

class PanelTest : public ::testing::Test {
 protected:
  PanelTest() {
    g_calls.clear();
    g_ModeIndex = 0;
    g_IniSettings.English = 0;
    g_DirectPlay = 0;
    g_SystemData.m_nFontOpt = 1;
    g_Font[1].m_bIcons = 1;
    SetModeKinds(0, {1, 0, 0, 0, 0});
  }
  ~PanelTest() override {
    g_Font[1].m_bIcons = 0;
    g_IniSettings.English = 0;
    g_DirectPlay = 0;
  }
  static void SetModeKinds(int mode, std::vector<uint8_t> kinds) {
    g_SystemData.m_aModeRanking[static_cast<size_t>(mode)].m_bEnabled = 1;
    g_SystemData.m_aModeRanking[static_cast<size_t>(mode)].m_abKinds = std::move(kinds);
  }
  static std::vector<cCall> Named(const char* name) {
    std::vector<cCall> out;
    for (const cCall& c : g_calls)
      if (c.call.strName == name) out.push_back(c);
    return out;
  }
  static void ExpectText(const cCall& c, int x, int y, const std::string& text) {
    EXPECT_EQ(c.call.strText, text);
    ASSERT_GE(c.call.adArgs.size(), 2u);
    EXPECT_EQ(c.call.adArgs[0], x) << text;
    EXPECT_EQ(c.call.adArgs[1], y) << text;
  }
  static void ExpectArgs(const cCall& c, std::vector<double> args) {
    ASSERT_GE(c.call.adArgs.size(), args.size()) << c.call.strName;
    for (size_t i = 0; i < args.size(); ++i) EXPECT_EQ(c.call.adArgs[i], args[i]) << c.call.strName << " " << i;
  }

  cFreshGameData m_Fresh;
  cHooksGuard<cDrawTraceHooks> m_Trace{SetDrawTraceHooks, {.record = Record}};
  DDSURFACEDATA m_Surface{};
};

}  // namespace

TEST_F(PanelTest, AnEmptyTableShowsTheBoxAndTheTitleOnly) {
  cRanking ranking;
  EXPECT_EQ(DrawRankTable(ranking.m_aTables[0], &m_Surface, 184, 64, 0, -1), -1);
  const std::vector<cCall> boxes = Named("cFont::DrawBox");
  ASSERT_EQ(boxes.size(), 1u);
  ExpectArgs(boxes[0], {185, 65, 270, 351});
  const std::vector<cCall> texts = Named("cFont::DrawString");
  ASSERT_EQ(texts.size(), 1u);
  ExpectText(texts[0], 184, 64, "ランキング    スコア");
  EXPECT_TRUE(Named("DDBlt").empty());
}

TEST_F(PanelTest, RowsShowRankNameAndARightAlignedValue) {
  cRankTable table;
  table.m_bDescending = 1;
  InsertRank(table, "abc", 12345);
  InsertRank(table, "de", 7);
  table.m_aEntries[3].m_bUsed = 1;  // a used row after an empty one
  table.m_aEntries[3].m_strName = "f";
  table.m_aEntries[3].m_nValue = 123;
  SetModeKinds(0, {1, 1, 0, 0, 0});  // two kinds: the hint shows
  g_IniSettings.English = 1;
  DrawRankTable(table, &m_Surface, 184, 64, 0, 1);
  const std::vector<cCall> texts = Named("cFont::DrawString");
  ASSERT_EQ(texts.size(), 11u);
  ExpectText(texts[0], 184, 64, "Ranking  スコア");
  // row 1: 12345 has the widest 5 digits and starts at x + 144
  ExpectText(texts[1], 200, 80, "1");
  ExpectText(texts[2], 248, 80, "abc");
  ExpectText(texts[3], 328, 80, "12345");
  ExpectText(texts[4], 200, 96, "2");
  ExpectText(texts[5], 248, 96, "de");
  ExpectText(texts[6], 392, 96, "7");
  ExpectText(texts[7], 200, 128, "4");
  ExpectText(texts[8], 248, 128, "f");
  ExpectText(texts[9], 360, 128, "123");
  // the hint, 13 characters centred on x + 136, under the last row
  ExpectText(texts[10], 184 + 136 - 13 * 8, 64 + 336, "Vキーでジャンルの切り替え");
  // the letters of the title and the names are letters, not the font's icons
  for (size_t i : {0u, 2u, 5u, 8u}) EXPECT_EQ(texts[i].icons, 0) << texts[i].call.strText;
  for (size_t i : {1u, 3u, 6u, 9u}) EXPECT_EQ(texts[i].icons, 1) << texts[i].call.strText;
  EXPECT_EQ(g_Font[1].m_bIcons, 1);
  const std::vector<cCall> blits = Named("DDBlt");
  ASSERT_EQ(blits.size(), 1u);
  ExpectArgs(blits[0], {184, 64 + 16 + 16, 16, 16, 16, 48, 1});
  EXPECT_EQ(blits[0].call.lpSrc, &g_SurfaceData[kSlotAccessory]);
}

TEST_F(PanelTest, ClearTimesShowAsMinutesSecondsAndHundredths) {
  cRanking ranking;
  InsertRank(ranking.m_aTables[2], "t", 12345);
  g_SystemData.m_nFontOpt = 0;  // without the icon setting the icons stay as they are
  DrawRanking(ranking, &m_Surface, 0, 0, 2, -1);
  const std::vector<cCall> texts = Named("cFont::DrawString");
  ASSERT_EQ(texts.size(), 4u);
  ExpectText(texts[0], 0, 0, "ランキング    クリア時間");
  ExpectText(texts[3], 144, 16, "02:03.45");
  EXPECT_EQ(texts[2].icons, 1);
}

TEST_F(PanelTest, PlayTotalsShowTheKindsTheModeAndTheStageBothTake) {
  SetModeKinds(0, {1, 0, 1, 0, 1});
  g_StageFile.m_anTotalsLines = {1, 1, 1, 1, 0};
  g_SaveData.m_nScoreTotal = 12345;
  g_SaveData.m_nClearTimeTotal = 12345;
  const int32_t places[5] = {-1, -1, 3, -1, -1};
  EXPECT_EQ(DrawPlayTotals(&m_Surface, 336, 224, places), 2);
  const std::vector<cCall> boxes = Named("cFont::DrawBox");
  ASSERT_EQ(boxes.size(), 1u);
  // labels of 5 characters ("クリア時間"), numbers of 8 (the clear time)
  ExpectArgs(boxes[0], {336, 224, (8 + 5 + 2) * 16, 32});
  const std::vector<cCall> texts = Named("cFont::DrawString");
  ASSERT_EQ(texts.size(), 4u);
  ExpectText(texts[0], 352, 224, "スコア");
  ExpectText(texts[1], 336 + 32 + 80, 224, "12345");
  ExpectText(texts[2], 352, 240, "クリア時間");
  ExpectText(texts[3], 336 + 32 + 80, 240, "02:03.45");
  // the clear-time line took a place: the cursor marks that line
  const std::vector<cCall> blits = Named("DDBlt");
  ASSERT_EQ(blits.size(), 1u);
  ExpectArgs(blits[0], {336, 240, 16, 16, 16, 48, 1});
  // the stage scene's list of places draws the same; a short list places nothing past its end
  g_calls.clear();
  EXPECT_EQ(DrawPlayTotals(&m_Surface, 336, 224, std::vector<int32_t>{-1, -1, 3}), 2);
  ASSERT_EQ(Named("DDBlt").size(), 1u);
  ExpectArgs(Named("DDBlt")[0], {336, 240});
  g_calls.clear();
  EXPECT_EQ(DrawPlayTotals(&m_Surface, 336, 224, std::vector<int32_t>{0}), 2);
  ASSERT_EQ(Named("DDBlt").size(), 1u);
  ExpectArgs(Named("DDBlt")[0], {336, 224});
}

TEST_F(PanelTest, ADirectStartShowsTheStagesKindsAndNoKindShowsNothing) {
  SetModeKinds(0, {0, 0, 0, 0, 0});
  g_StageFile.m_anTotalsLines = {0, 1, 0, 1, 0};
  g_SaveData.m_nRemainTimeTotal = 5;
  g_SaveData.m_nRemainHpTotal = 1000;
  const int32_t none[5] = {-1, -1, -1, -1, -1};
  EXPECT_EQ(DrawPlayTotals(&m_Surface, 0, 0, none), 0);
  EXPECT_TRUE(g_calls.empty());
  g_DirectPlay = 1;
  EXPECT_EQ(DrawPlayTotals(&m_Surface, 0, 0, none), 2);
  const std::vector<cCall> boxes = Named("cFont::DrawBox");
  ASSERT_EQ(boxes.size(), 1u);
  ExpectArgs(boxes[0], {0, 0, (4 + 4 + 2) * 16, 32});  // "残り時間", and 1000's four digits
  const std::vector<cCall> texts = Named("cFont::DrawString");
  ASSERT_EQ(texts.size(), 4u);
  ExpectText(texts[0], 16, 0, "残り時間");
  ExpectText(texts[1], 96, 0, "5");
  ExpectText(texts[2], 16, 16, "残りHP");
  ExpectText(texts[3], 96, 16, "1000");
  EXPECT_TRUE(Named("DDBlt").empty());
}

TEST_F(PanelTest, TheSlotListShowsNumbersTimesAndDamagedSlots) {
  std::vector<cSlotInfo> list(kStorySlotCount);
  list[0].m_bExists = 1;
  list[0].m_SaveTime = {2009, 3, 6, 7, 14, 5, 9, 0};
  list[2].m_bExists = 1;
  list[2].m_bDamaged = 1;
  DrawSlotList(&m_Surface, 152, 160, list, 0, 3);
  const std::vector<cCall> boxes = Named("cFont::DrawBox");
  ASSERT_EQ(boxes.size(), 1u);
  ExpectArgs(boxes[0], {152, 160, 320, 48});
  const std::vector<cCall> texts = Named("cFont::DrawString");
  ASSERT_EQ(texts.size(), 5u);
  ExpectText(texts[0], 168, 160, "1");
  ExpectText(texts[1], 216, 160, "2009/03/07 14:05\n");
  ExpectText(texts[2], 168, 176, "2");
  ExpectText(texts[3], 168, 192, "3");
  EXPECT_EQ(texts[4].call.adArgs[0], 216);
  EXPECT_EQ(texts[4].call.adArgs[1], 192);
  EXPECT_FALSE(texts[4].call.strText.empty());
  const std::vector<cCall> lines = Named("DDFillRect");
  ASSERT_EQ(lines.size(), 2u);
  ExpectArgs(lines[0], {152, 175, 320, 1, 240});
  ExpectArgs(lines[1], {152, 191, 320, 1, 240});
  // the rows past the list, and a row above its first slot, stay blank
  g_calls.clear();
  DrawSlotList(&m_Surface, 0, 0, list, 97, 3);
  EXPECT_EQ(Named("cFont::DrawString").size(), 2u);
  g_calls.clear();
  DrawSlotList(&m_Surface, 0, 0, list, -1, 2);
  const std::vector<cCall> top = Named("cFont::DrawString");
  ASSERT_EQ(top.size(), 2u);
  ExpectText(top[0], 16, 16, "1");
}
