// Replays on stage play's logic: a play recorded frame by frame and traced, its replay file played
// back on a fresh stage with the same trace lines (twice in one process), a changed replay giving
// other lines, the trace line's format, and the files a command-line run writes at its end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "data/game_data.h"
#include "data/replay_file.h"
#include "scenario_fixture.h"
#include "shell/input_state.h"
#include "stage/play_trace.h"
#include "stage/replay_play.h"

namespace {

constexpr uint16_t kButton1 = 1;

// A flow of trigger 0 that starts while one key entry (0-9 directions, 10-18 buttons) is held.
cFlow KeyFlow(int entry, std::vector<cFlowCmd> cmds) {
  cFlow flow = ScnFlow(kScnTriggerAlways, std::move(cmds));
  cKeyCond held;
  held.m_anKeyStates.assign(kKeyStateCount, 0);
  held.m_anKeyStates[static_cast<size_t>(entry)] = 1;
  held.m_bAnyHold = 1;
  flow.m_aKeyConds = {held};
  return flow;
}

// A hero that walks right while right is held and jumps on button 1, and two characters walking
// left into its way, on a floor with a wall and a step.
cHarnessSetup ReplaySetup(uint32_t seed) {
  cHarnessSetup setup = cScenarioPlay::Setup(
      {"..............................", "..............................", ".H.......C.........C.....#....",
       "....................######....", "##############################"},
      2);
  setup.nSeed = seed;
  setup.charas['H'] = HarnessHeroType();
  setup.charas['H'].m_aFlows = {KeyFlow(2, {ScnCmd(kScnCmdStraightMove, 1, {}, kMoveDirRight, 25)}),
                                KeyFlow(11, {ScnCmd(kScnCmdJump, 0, {0, 0, 4})})};
  setup.charas['C'] = HarnessCharaType();
  setup.charas['C'].m_aFlows = {ScnFlow(kScnTriggerAlways, {ScnCmd(kScnCmdStraightMove, 1, {}, kMoveDirLeft, 10)})};
  return setup;
}

constexpr int kFrames = 240;

// The trace lines of every frame of a play, and its replay file.
struct cPlayTrace {
  std::vector<std::string> lines;
  std::vector<uint8_t> replay;
};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A live play by scripted input: recorded as the play loop records it, traced after each frame's
// logic.
cPlayTrace RecordPlay() {
  cScenarioPlay play;
  static cHarnessPlugins scenario;
  scenario = CurrentHarnessPlugins();
  cHarnessPlugins recording = scenario;
  recording.frameStart = [](cStageHarness& h) {
    RecordReplayFrame(g_InputStates[0]);
    if (scenario.frameStart) scenario.frameStart(h);
  };
  cHooksGuard<cHarnessPlugins> plugins(SetHarnessPlugins, recording);
  const cHarnessSetup setup = ReplaySetup(4242);
  cStageHarness h(setup);
  g_SystemData.m_bReplayOn = 1;
  StartLivePlayLog(4242);
  h.Input(kDirRight, 0, 40);
  h.Input(kDirRight, kButton1, 6);
  h.Input(kDirRight, 0, 30);
  h.Input(0, 0, 20);
  h.Input(kDirRight, kButton1, 3);
  h.Input(kDirRight, 0, 141);
  StartPlayTrace();
  for (int f = 0; f < kFrames; ++f) {
    h.Step();
    TracePlayFrame(static_cast<uint64_t>(h.m_nFrame));
  }
  cPlayTrace trace;
  trace.lines = SplitLines(StopPlayTrace());
  trace.replay = ReplayFileBytes(g_InputLog, g_StageFile, g_StageData, g_PlayStartSave);
  return trace;
}

// The replay played back on a fresh stage built with another seed: the input comes from the log,
// the seed from the replay. After the recorded frames one more frame finds the log at its end.
std::vector<std::string> PlayBack(const std::vector<uint8_t>& replay, bool* endedAfter) {
  cScenarioPlay play;
  cHarnessPlugins playback = CurrentHarnessPlugins();
  playback.readInput = [](cStageHarness& h, cInputState& input) {
    if (PlayReplayFrame(input)) h.AddCall("replayEnded", {double(h.m_nFrame)});
  };
  cHooksGuard<cHarnessPlugins> plugins(SetHarnessPlugins, playback);
  cStageHarness h(ReplaySetup(1));
  cStageData stage, settings;
  cSaveData progress;
  EXPECT_EQ(LoadReplayBytes(replay, g_InputLog, stage, settings, progress), 1);
  g_nPlayMode = kPlayModeReplay;
  StartReplayPlayback();
  std::vector<std::string> lines;
  for (int f = 0; f < kFrames; ++f) {
    h.Step();
    lines.push_back(PlayTraceLine(static_cast<uint64_t>(h.m_nFrame)));
  }
  EXPECT_TRUE(h.CallsOf("replayEnded").empty());
  h.Step();
  *endedAfter = h.CallsOf("replayEnded").size() == 1;
  return lines;
}

TEST(ReplayPlay, APlayedBackReplayGivesTheRecordedTraceLinesTwiceInOneProcess) {
  const cPlayTrace recorded = RecordPlay();
  ASSERT_EQ(recorded.lines.size(), static_cast<size_t>(kFrames));
  // the play moved: the hero walked and jumped, so the lines are not all alike
  EXPECT_NE(recorded.lines[10], recorded.lines[60]);
  EXPECT_NE(recorded.lines.front().find("\"frame\":1,"), std::string::npos);
  for (int run = 0; run < 2; ++run) {
    bool ended = false;
    const std::vector<std::string> played = PlayBack(recorded.replay, &ended);
    ASSERT_EQ(played.size(), recorded.lines.size());
    for (size_t i = 0; i < played.size(); ++i)
      ASSERT_EQ(played[i], recorded.lines[i]) << "run " << run << " frame " << i + 1;
    EXPECT_TRUE(ended);
  }
}

TEST(ReplayPlay, AReplayWithOtherInputGivesOtherLines) {
  const cPlayTrace recorded = RecordPlay();
  // the first jump taken out of the log
  cStageData stage, settings;
  cSaveData progress;
  cInputLog log;
  ASSERT_EQ(LoadReplayBytes(recorded.replay, log, stage, settings, progress), 1);
  ASSERT_GE(log.m_anButtonStates.size(), 2u);
  log.m_anButtonStates[1] = 0;
  const std::vector<uint8_t> changed = ReplayFileBytes(log, stage, settings, progress);
  bool ended = false;
  const std::vector<std::string> played = PlayBack(changed, &ended);
  ASSERT_EQ(played.size(), recorded.lines.size());
  EXPECT_EQ(played[39], recorded.lines[39]);  // before the jump
  EXPECT_NE(played[60], recorded.lines[60]);
}

TEST(ReplayPlay, RecordingFollowsTheReplaySettingAndNeverRecordsAReplay) {
  cScenarioPlay play;
  cStageHarness h(ReplaySetup(7));
  cInputState input;
  input.m_wDir = kDirLeft;
  g_SystemData.m_bReplayOn = 0;
  RecordReplayFrame(input);
  EXPECT_TRUE(g_InputLog.m_anDirStates.empty());
  g_SystemData.m_bReplayOn = 1;
  g_SaveData.m_nScore = 30;
  g_InputLog.RecordInputFrame(1, 1);
  StartLivePlayLog(99);  // this play's log becomes the previous one's
  EXPECT_EQ(g_PrevInputLog.m_anDirStates, (std::vector<int16_t>{1}));
  EXPECT_TRUE(g_InputLog.m_anDirStates.empty());
  EXPECT_EQ(g_InputLog.m_nSeed, 99);
  EXPECT_EQ(g_PlayStartSave.m_nScore, 30);
  EXPECT_EQ(QcRandState(), 99u);
  RecordReplayFrame(input);
  RecordReplayFrame(input);
  EXPECT_EQ(g_InputLog.m_anDirRuns, (std::vector<int32_t>{2}));
  g_nPlayMode = kPlayModeReplay;
  RecordReplayFrame(input);
  EXPECT_EQ(g_InputLog.m_anDirRuns, (std::vector<int32_t>{2}));
}

TEST(ReplayPlay, TheTraceLineHasTheExactFormat) {
  cScenarioPlay play;
  cStageHarness h(ReplaySetup(7));
  cHero& hero = h.Hero();
  hero.m_dX = 0.1;
  hero.m_dY = 352.0;
  hero.m_dSpeedX = -1.0 / 3.0;
  hero.m_dSpeedY = 0.0;
  hero.m_nHp = 7;
  hero.m_nSp = 2;
  g_SaveData.m_nScore = 1200;
  g_SaveData.m_anCommonVars[3] = -4;
  h.Stage().m_anStageVars[15] = 9;
  h.Stage().m_nTimer = 321;
  h.Stage().m_nFrameCount = 5;
  QcSrand(12345);
  const std::string line = PlayTraceLine(17);
  const std::string head =
      "{\"frame\":17,\"play_frame\":5,\"hero\":{\"x\":0.10000000000000001,\"y\":352,\"vx\":-0.33333333333333331,\"vy\":"
      "0,\"hp\":7,"
      "\"sp\":2},\"chars\":2,\"shots\":0,\"items\":0,\"score\":1200,\"timer\":321,"
      "\"vars\":[0,0,0,-4,0,0,0,0,0,0,0,0,0,0,0,0],\"stage_vars\":[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,9],"
      "\"rand\":12345,\"state\":\"";
  ASSERT_EQ(line.substr(0, head.size()), head);
  const std::string hash = line.substr(head.size());
  ASSERT_EQ(hash.size(), 18u);  // 16 hex digits, the closing quote and brace
  EXPECT_EQ(hash.substr(16), "\"}");
  EXPECT_EQ(hash.find_first_not_of("0123456789abcdef"), 16u);
  // every object's state counts: a character's variable changes the hash
  const uint64_t before = PlayStateHash();
  h.Chara(1).m_anVars.at(0) += 1;
  EXPECT_NE(PlayStateHash(), before);
}

TEST(ReplayPlay, TheRunWritesItsTraceAndItsReplayAtItsEnd) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("qc4_replay_run_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(folder);
  cReplayRunOptions options;
  options.strTracePath = (folder / "trace.jsonl").string();
  options.strRecordPath = (folder / "play.rpl4_986").string();
  {
    cScenarioPlay play;
    cStageHarness h(ReplaySetup(5));
    SetReplayRunOptions(options);  // records whatever the game's replay setting
    StartLivePlayLog(5);
    h.Input(kDirRight, 0, 3);
    for (int f = 0; f < 3; ++f) {
      h.Input(kDirRight, 0, 1);
      h.Step();
      RecordReplayFrame(g_InputStates[0]);
      TracePlayFrame(static_cast<uint64_t>(h.m_nFrame));
    }
    std::string error;
    EXPECT_TRUE(FinishReplayRun(&error)) << error;
    SetReplayRunOptions({});
  }
  std::ifstream trace(options.strTracePath);
  std::stringstream text;
  text << trace.rdbuf();
  const std::vector<std::string> lines = SplitLines(text.str());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2].rfind("{\"frame\":3,", 0), 0u);
  std::ifstream replay(options.strRecordPath, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(replay)), std::istreambuf_iterator<char>());
  cInputLog log;
  cStageData stage, settings;
  cSaveData progress;
  ASSERT_EQ(LoadReplayBytes(bytes, log, stage, settings, progress), 1);
  EXPECT_EQ(log.m_nSeed, 5);
  EXPECT_EQ(log.RecordedFrames(), 3);
  std::filesystem::remove_all(folder);
}

// A miss in a test play restarts the stage, and the restart starts the next attempt's log at its
// set-up: a run that ends before that attempt's first play frame writes the attempt that missed,
// with its seed, its frames and its progress at its start.
TEST(ReplayPlay, ARunEndedInARestartWritesTheAttemptBefore) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("qc4_replay_restart_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(folder);
  cReplayRunOptions options;
  options.strRecordPath = (folder / "play.rpl4_986").string();
  {
    cScenarioPlay play;
    cStageHarness h(ReplaySetup(7));
    SetReplayRunOptions(options);
    g_SaveData.m_nScore = 300;
    StartLivePlayLog(7);
    for (int f = 0; f < 4; ++f) {
      h.Input(kDirRight, 0, 1);
      h.Step();
      RecordReplayFrame(g_InputStates[0]);
    }
    g_SaveData.m_nScore = 900;  // what the attempt left
    StartLivePlayLog(8);        // the restart; the run ends before its first play frame
    std::string error;
    EXPECT_TRUE(FinishReplayRun(&error)) << error;
    SetReplayRunOptions({});
  }
  std::ifstream replay(options.strRecordPath, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(replay)), std::istreambuf_iterator<char>());
  cInputLog log;
  cStageData stage, settings;
  cSaveData progress;
  ASSERT_EQ(LoadReplayBytes(bytes, log, stage, settings, progress), 1);
  EXPECT_EQ(log.m_nSeed, 7);
  EXPECT_EQ(log.RecordedFrames(), 4);
  EXPECT_EQ(progress.m_nScore, 300);
  std::filesystem::remove_all(folder);
}

TEST(ReplayPlay, ARunWithoutAPlayToRecordSaysSo) {
  cReplayRunOptions options;
  options.strRecordPath = (std::filesystem::temp_directory_path() / "qc4_never_written.rpl4_986").string();
  cFreshPlayObjects fresh;
  SetReplayRunOptions(options);
  std::string error;
  EXPECT_FALSE(FinishReplayRun(&error));
  EXPECT_NE(error.find("no play was recorded"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(options.strRecordPath));
  SetReplayRunOptions({});
}

}  // namespace
