// "メッセージ" and "ゲームウエイト": the window a message opens with its parameters, numbered windows
// erased, re-shown in place or replaced, the modal waits, and a choice stored for the flow,
// recorded for the replay and taken back from it.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "data/input_log.h"
#include "data/play_mode.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "message_fixture.h"
#include "objects/play_objects.h"

namespace {

class Message : public MessageStage {
 protected:
  Message() {
    h.Hero().m_nNumber = 1;
    h.Stage().m_lpFlowVars = flowVars;
  }

  // Windows in list order by their text.
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const cMesWindow& w : h.Stage().m_MesWindows) texts.push_back(w.m_strText);
    return texts;
  }

  void Run(const std::string& text, std::vector<int32_t> params, int continuation = 0) {
    cFlowCmd cmd = MessageCmd(text, std::move(params));
    CmdMessage(h.Hero(), cmd, continuation);
  }

  int32_t flowVars[2] = {-1, -1};
};

// Parameters by name.
std::vector<int32_t> Params(std::initializer_list<std::pair<int, int32_t>> set) {
  std::vector<int32_t> p(21, 0);
  for (const auto& [index, value] : set) p[static_cast<size_t>(index)] = value;
  return p;
}

TEST_F(Message, AWindowWithoutWaitStaysWithTheCommandsSettings) {
  Run("hello", {7, 3, 2, 5, -3, 1, 1, 4, 0, 1, 1, 1, 1, 6, 1, 0, 30, 0, 1, 0, 0});
  ASSERT_EQ(h.Stage().m_MesWindows.size(), 1u);
  const cMesWindow& w = h.Stage().m_MesWindows.front();
  EXPECT_EQ(w.m_nKind, kMesText);
  EXPECT_EQ(w.m_strText, "hello");
  EXPECT_EQ(w.m_nAnchor, 7);
  EXPECT_EQ(w.m_nUnit, 1);
  EXPECT_EQ(w.m_nPosX, 3);
  EXPECT_EQ(w.m_nPosY, 2);
  EXPECT_EQ(w.m_nOffsetX, 5);
  EXPECT_EQ(w.m_nOffsetY, -3);
  EXPECT_EQ(w.m_bClampToScreen, 1);
  EXPECT_EQ(w.m_nCloseMode, 1);
  EXPECT_EQ(w.m_nLife, 24);  // 4 tenths of a second
  EXPECT_EQ(w.m_bCountWhileHeld, 0);
  EXPECT_EQ(w.m_bExpandCodes, 1);
  EXPECT_EQ(w.m_bFixed, 1);
  EXPECT_EQ(w.m_bRefresh, 1);
  EXPECT_EQ(w.m_nRefreshFrames, 30);
  EXPECT_EQ(w.m_bBox, 1);
  EXPECT_EQ(w.m_bNumbered, 1);
  EXPECT_EQ(w.m_nNumber, 6);
  EXPECT_EQ(w.m_nTarget, 0);
  EXPECT_TRUE(h.CallsOf("setupGameWait").empty());
  EXPECT_TRUE(h.CallsOf("runModalWait").empty());
  EXPECT_EQ(h.Stage().m_MesSurfaces.size(), 1u);

  // P17 shows the window for one frame.
  Run("x", Params({{7, 4}, {17, 1}}));
  EXPECT_EQ(h.Stage().m_MesWindows.back().m_nLife, 1);
}

TEST_F(Message, TheSpeakerIsTheRunningCharacterOrTheHero) {
  cChara& speaker = h.Chara(0);
  speaker.m_nNumber = 7;
  struct Case {
    int32_t anchor, target;
  };
  for (const Case c :
       {Case{1, 7}, Case{2, 7}, Case{3, 7}, Case{4, 1}, Case{5, 1}, Case{6, 1}, Case{0, 0}, Case{9, 0}}) {
    cFlowCmd cmd = MessageCmd("a", Params({{0, c.anchor}}));
    CmdMessage(speaker, cmd, 0);
    EXPECT_EQ(h.Stage().m_MesWindows.back().m_nTarget, c.target) << c.anchor;
  }
}

TEST_F(Message, NumberedWindowsAreErasedReshownInPlaceOrReplaced) {
  Run("first", {});
  Run("three", Params({{12, 1}, {13, 3}}));
  Run("last", {});
  ASSERT_EQ(h.Stage().m_MesSurfaces.size(), 3u);
  const cMesWindow* numbered = &*std::next(h.Stage().m_MesWindows.begin());
  const int32_t handle = numbered->m_nHandle;

  // Erasing a number that is not shown, or erasing without a number, does nothing.
  Run("x", Params({{12, 1}, {13, 4}, {15, 1}}));
  Run("x", Params({{15, 1}}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"first", "three", "last"}));

  // A text of the same size takes the shown window over.
  Run("THREE", Params({{12, 1}, {13, 3}}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"first", "THREE", "last"}));
  EXPECT_EQ(&*std::next(h.Stage().m_MesWindows.begin()), numbered);
  EXPECT_EQ(numbered->m_nHandle, handle);
  EXPECT_EQ(h.Stage().m_MesSurfaces.size(), 3u);

  // Another size replaces it at its place.
  Run("three again", Params({{12, 1}, {13, 3}}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"first", "three again", "last"}));
  EXPECT_NE(std::next(h.Stage().m_MesWindows.begin())->m_nHandle, handle);
  EXPECT_EQ(h.Stage().m_MesSurfaces.size(), 3u);
  EXPECT_EQ(std::next(h.Stage().m_MesWindows.begin())->m_lpSurface->nWidth, 11 * 8 + 2);

  // Codes are measured expanded only when choices are allowed too.
  g_SaveData.m_anCommonVars[1] = 12345;
  Run("#C1", Params({{12, 1}, {13, 5}, {9, 1}}));
  const int32_t expanded = h.Stage().m_MesWindows.back().m_nHandle;
  Run("#C1", Params({{12, 1}, {13, 5}, {9, 1}}));
  EXPECT_NE(h.Stage().m_MesWindows.back().m_nHandle, expanded);  // "#C1" measured against "12345"
  const int32_t replaced = h.Stage().m_MesWindows.back().m_nHandle;
  Run("#C1", Params({{12, 1}, {13, 5}, {9, 1}, {19, 1}}));
  EXPECT_EQ(h.Stage().m_MesWindows.back().m_nHandle, replaced);

  // Erased with its surface.
  Run("", Params({{12, 1}, {13, 3}, {15, 1}}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"first", "last", "12345"}));
  EXPECT_EQ(h.Stage().m_MesSurfaces.size(), 3u);
}

TEST_F(Message, AKeyWaitOpensWithItsSoundAndAContinuationWithout) {
  Run("wait", Params({{8, 1}}));
  EXPECT_EQ(h.CallsOf("setupGameWait")[0].adArgs, (std::vector<double>{kWaitMessage, 1, 0, 0, -1}));
  EXPECT_EQ(h.CallsOf("runModalWait")[0].adArgs, (std::vector<double>{1}));
  EXPECT_EQ(h.Sounds(), (std::vector<int>{11}));
  // The window lived until the wait ended.
  EXPECT_TRUE(h.Stage().m_MesWindows.empty());
  EXPECT_TRUE(h.Stage().m_MesSurfaces.empty());

  // The second of two key-wait messages in a row: no key delay, no sound, no opening.
  h.ClearTraces();
  Run("next", Params({{8, 1}}), 1);
  EXPECT_EQ(h.CallsOf("setupGameWait")[0].adArgs, (std::vector<double>{kWaitMessage, 1, 0, 1, -1}));
  EXPECT_EQ(h.Stage().m_GameWait.m_nKeyDelay, 0);
  EXPECT_TRUE(h.Sounds().empty());
  Run("shown", {}, 1);
  EXPECT_FALSE(h.Stage().m_MesWindows.back().m_bOpening);
  Run("shown", {}, 0);
  EXPECT_TRUE(h.Stage().m_MesWindows.back().m_bOpening);

  // Waiting for the display time; another mode runs the wait as it was armed.
  h.ClearTraces();
  Run("timed", Params({{6, 2}, {7, 5}, {8, 1}}));
  EXPECT_EQ(h.CallsOf("setupGameWait")[0].adArgs, (std::vector<double>{kWaitMessage, 0, 30, 0, -1}));
  Run("by the stage", Params({{6, 1}, {8, 1}}));
  EXPECT_EQ(h.CallsOf("setupGameWait").size(), 1u);
  EXPECT_EQ(h.CallsOf("runModalWait").size(), 2u);
  EXPECT_TRUE(h.Sounds().empty());
}

TEST_F(Message, NothingIsShownWhileTheStageCloses) {
  h.Stage().m_bAbort = 1;
  Run("x", Params({{8, 1}}));
  EXPECT_TRUE(h.Stage().m_MesWindows.empty());
  EXPECT_TRUE(h.Calls().empty());
}

// A choice message: yes (10) and no (20).
const char kChoiceText[] = "yes #R10\nno  #R20";

TEST_F(Message, AChoiceIsStoredRecordedAndPlayedBack) {
  const std::vector<int32_t> choose = Params({{8, 1}, {19, 1}, {20, 1}});
  h.m_nChoice = 1;
  Run(kChoiceText, choose);
  EXPECT_EQ(h.CallsOf("setupGameWait")[0].adArgs, (std::vector<double>{kWaitMessage, 1, 0, 0, 2}));
  EXPECT_EQ(flowVars[0], 20);
  EXPECT_EQ(flowVars[1], -1);  // B only under the 981 legacy switch
  EXPECT_EQ(g_InputLog.m_anValues, (std::vector<int32_t>{1}));
  EXPECT_TRUE(h.Stage().m_MesWindows.empty());

  g_SystemData.m_bLegacy981 = 1;
  h.m_nChoice = 0;
  Run(kChoiceText, choose);
  EXPECT_EQ(flowVars[0], 10);
  EXPECT_EQ(flowVars[1], 0);
  EXPECT_EQ(g_InputLog.m_anValues, (std::vector<int32_t>{1, 0}));

  // Without P20 the value is not stored, but the choice is recorded.
  flowVars[0] = -1;
  Run(kChoiceText, Params({{8, 1}, {19, 1}}));
  EXPECT_EQ(flowVars[0], -1);
  EXPECT_EQ(g_InputLog.m_anValues, (std::vector<int32_t>{1, 0, 0}));

  // Played back, the recorded choices come again and nothing more is recorded.
  g_nPlayMode = kPlayModeReplay;
  g_InputLog.m_nValueIndex = 0;
  h.m_nChoice = 0;
  Run(kChoiceText, choose);
  EXPECT_EQ(flowVars[0], 20);
  Run(kChoiceText, choose);
  EXPECT_EQ(flowVars[0], 10);
  EXPECT_EQ(g_InputLog.m_anValues, (std::vector<int32_t>{1, 0, 0}));

  // A message without tags has no choice to store.
  g_nPlayMode = kPlayModeStoryNew;
  flowVars[0] = -1;
  Run("no tags", choose);
  EXPECT_EQ(flowVars[0], -1);
  EXPECT_EQ(g_InputLog.m_anValues.size(), 3u);
}

// A waiting message of another close mode after a choice message waits without the earlier
// choices: the live play records no choice for it, and its replay takes none, so the choices that
// follow read their own recorded rows.
TEST_F(Message, AWaitAfterAChoiceOffersNoStaleChoices) {
  const char three[] = "a #R10\nb #R20\nc #R30";
  const std::vector<int32_t> choose = Params({{8, 1}, {19, 1}, {20, 1}});
  const std::vector<int32_t> byTheStage = Params({{6, 1}, {8, 1}, {19, 1}, {20, 1}});
  struct Step {
    const std::vector<int32_t>& params;
    int choice;     // the live choice
    int32_t value;  // A after the message
  };
  const Step steps[] = {{choose, 1, 20}, {byTheStage, 0, 20}, {choose, 2, 30}};
  for (const int mode : {kPlayModeStoryNew, kPlayModeReplay}) {
    g_nPlayMode = mode;
    g_InputLog.m_nValueIndex = 0;
    flowVars[0] = -1;
    for (const Step& step : steps) {
      h.m_nChoice = mode == kPlayModeReplay ? 0 : step.choice;
      Run(three, step.params);
      EXPECT_EQ(flowVars[0], step.value) << (mode == kPlayModeReplay ? "replayed" : "live");
    }
    EXPECT_EQ(h.Stage().m_GameWait.m_nChoiceCount, 3);
    EXPECT_EQ(g_InputLog.m_anValues, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(g_InputLog.m_nValueIndex, mode == kPlayModeReplay ? 2u : 0u);
  }
  // The wait of the second message kept the rest of the record as the first one left it.
  g_nPlayMode = kPlayModeStoryNew;
  Run(three, choose);
  h.ClearTraces();
  Run("later", byTheStage);
  const cGameWait& wait = h.Stage().m_GameWait;
  EXPECT_EQ(wait.m_nChoiceCount, 0);
  EXPECT_TRUE(wait.m_aChoices.empty());
  EXPECT_EQ(wait.m_nKind, kWaitMessage);
  EXPECT_EQ(wait.m_bWaitKey, 1);
  EXPECT_TRUE(h.CallsOf("setupGameWait").empty());
  EXPECT_EQ(h.CallsOf("runModalWait").size(), 1u);
}

TEST_F(MessageScriptedWait, ASelectionOutsideTheChoicesShownIsClamped) {
  struct Case {
    int32_t selection, value, recorded;
  };
  for (const Case c : {Case{9, 20, 1}, Case{-4, 10, 0}, Case{1, 20, 1}}) {
    g_DuringWait = [&](cFlowStage& stage) { stage.m_GameWait.m_nSelection = c.selection; };
    cFlowCmd cmd = MessageCmd(kChoiceText, Params({{8, 1}, {19, 1}, {20, 1}}));
    CmdMessage(h.Hero(), cmd, 0);
    EXPECT_EQ(flowVars[0], c.value) << c.selection;
    EXPECT_EQ(g_InputLog.m_anValues.back(), c.recorded) << c.selection;
  }
}

TEST_F(MessageScriptedWait, TheWaitedWindowIsFoundAgainByItsHandle) {
  h.Stage().m_MesWindows.emplace_back(TextArgs("before"));
  // The stage removes the window in front of the message while it waits.
  g_DuringWait = [](cFlowStage& stage) {
    stage.m_MesWindows.front().ReleaseMesSurface();
    stage.m_MesWindows.pop_front();
    stage.m_MesWindows.emplace_back(TextArgs("after"));
  };
  cFlowCmd cmd = MessageCmd("message", Params({{8, 1}}));
  CmdMessage(h.Hero(), cmd, 0);
  ASSERT_EQ(h.Stage().m_MesWindows.size(), 1u);
  EXPECT_EQ(h.Stage().m_MesWindows.front().m_strText, "after");
  EXPECT_EQ(h.Stage().m_MesSurfaces.size(), 1u);

  // When the stage already removed the waited window itself, nothing else goes.
  g_DuringWait = [](cFlowStage& stage) {
    stage.m_MesWindows.back().ReleaseMesSurface();
    stage.m_MesWindows.pop_back();
  };
  CmdMessage(h.Hero(), cmd, 0);
  ASSERT_EQ(h.Stage().m_MesWindows.size(), 1u);
  EXPECT_EQ(h.Stage().m_MesWindows.front().m_strText, "after");
}

TEST_F(MessageScriptedWait, AGameWaitKeepsAnInvisibleTimerWhileItWaits) {
  h.Stage().m_MesWindows.emplace_back(TextArgs("shown"));
  std::vector<int32_t> seen;
  g_DuringWait = [&](cFlowStage& stage) {
    const cMesWindow& timer = stage.m_MesWindows.back();
    seen = {timer.m_nKind, timer.m_nCloseMode, timer.m_nLife, timer.m_bFixed, timer.m_bCountWhileHeld};
    stage.m_MesWindows.emplace_back(TextArgs("during"));
  };
  cFlowCmd cmd;
  cmd.m_nKind = 18;
  cmd.m_anParams = {5};
  CmdGameWait(h.Hero(), cmd);
  EXPECT_EQ(seen, (std::vector<int32_t>{kMesTimer, 2, 30, 1, 1}));
  EXPECT_EQ(h.CallsOf("setupGameWait")[0].adArgs, (std::vector<double>{kWaitTimer, 0, 30, 0, -1}));
  EXPECT_EQ(h.CallsOf("runModalWait")[0].adArgs, (std::vector<double>{0}));
  // Only the timer goes; a window added during the wait stays.
  std::vector<std::string> texts;
  for (const cMesWindow& w : h.Stage().m_MesWindows) texts.push_back(w.m_strText);
  EXPECT_EQ(texts, (std::vector<std::string>{"shown", "during"}));
}

}  // namespace
