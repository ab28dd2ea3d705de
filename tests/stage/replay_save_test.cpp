// Saving replays from a stage: the automatic save's refusals and its file, the free-space refusal
// with its message, the replay keys (refusal sound once a second while held, the decide sound and
// the request to the user-interface side, by dialog message or by file-dialog flag, and a window
// that is gone), and the replay file read again when playback restarts.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "core/log.h"
#include "data/option_data.h"
#include "data/replay_file.h"
#include "media/sound/sound_effects.h"
#include "platform/files.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"
#include "stage/replay_play.h"
#include "stage/replay_save.h"
#include "stage/scene_stage.h"
#include "stage/stage_loading.h"
#include "stage/stage_play_hooks.h"
#include "stage_files.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_play_harness.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kPlentyOfSpace = 2000000000;

int32_t g_freeBytes = kPlentyOfSpace;
std::string g_measuredFolder;
int32_t FreeBytes(const char* folder) {
  g_measuredFolder = folder ? folder : "(null)";
  return g_freeBytes;
}

std::vector<int> g_sounds;
void RecordSound(int slot) { g_sounds.push_back(slot); }

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The replay files in the game folder's replay folder.
std::vector<fs::path> ReplayFiles() {
  std::vector<fs::path> files;
  if (fs::exists("user_data/rpl4"))
    for (const auto& entry : fs::directory_iterator("user_data/rpl4")) files.push_back(fs::absolute(entry.path()));
  return files;
}

// A live free play of a stage whose replays may be saved, with a recorded log, in a game folder.
class ReplaySaveTest : public testing::Test {
 protected:
  ReplaySaveTest()
      : m_Space(SetReplaySaveHooks, cReplaySaveHooks{FreeBytes}),
        m_Sounds(SetSoundTraceHooks, cSoundTraceHooks{RecordSound}) {
    fs::create_directories("user_data/rpl4");
    g_freeBytes = kPlentyOfSpace;
    g_sounds.clear();
    g_ReplaySave = cReplaySaveState();
    g_DirectPlay = 0;
    g_TestPlay = 0;
    g_IniSettings.Replay_On = INIREPLAYKEY();
    g_PlayMode = kPlayModeFree;
    g_SystemData.m_bReplayOn = 1;
    g_SystemData.m_bReplayKeys = 1;
    g_StageFile.m_bReplayAllowed = 1;
    g_OptionData.m_nReplayAutoSave = kReplayAutoSaveEvery;
    g_StageFile.m_strName = "saved";
    g_StageFile.NormaliseStage();
    CopyStageSettings(g_StageData, g_StageFile);
    g_StagePath = "data\\stg4\\c01-1.stg4_000";
    for (int16_t dir : {0, 6, 6, 0}) g_InputLog.RecordInputFrame(dir, 0);
    g_InputLog.m_nSeed = 4242;
  }
  ~ReplaySaveTest() override { ReleaseAllKeys(); }

  cFreshGameData m_Data;
  cGameFolder m_Folder;
  cHooksGuard<cReplaySaveHooks> m_Space;
  cHooksGuard<cSoundTraceHooks> m_Sounds;
};

TEST_F(ReplaySaveTest, EachUnmetConditionSavesNothing) {
  struct Case {
    const char* what;
    std::function<void()> change;
  };
  const std::vector<Case> cases = {
      {"replay playback", [] { g_PlayMode = kPlayModeReplay; }},
      {"the project records no replays", [] { g_SystemData.m_bReplayOn = 0; }},
      {"a direct start", [] { g_DirectPlay = 1; }},
      {"a test play", [] { g_TestPlay = 1; }},
      {"already saved at this stage end", [] { g_ReplaySave.m_bSaved = 1; }},
      {"the stage forbids replays", [] { g_StageFile.m_bReplayAllowed = 0; }},
      {"the stage forbids them and Replay_On is 1",
       [] {
         g_StageFile.m_bReplayAllowed = 0;
         g_IniSettings.Replay_On = INIREPLAYKEY{1, 1};
       }},
      {"the player's option is off", [] { g_OptionData.m_nReplayAutoSave = kReplayAutoSaveOff; }},
      {"cleared plays only, and this one was not", [] { g_OptionData.m_nReplayAutoSave = kReplayAutoSaveCleared; }},
      {"nothing recorded", [] { g_InputLog.ResetInputLog(); }},
  };
  for (const Case& c : cases) {
    const cInputLog log = g_InputLog;
    const cReplaySaveState state = g_ReplaySave;
    const cStageData stage = g_StageFile;
    const int32_t playMode = g_PlayMode, replayOn = g_SystemData.m_bReplayOn;
    const INIREPLAYKEY replayKey = g_IniSettings.Replay_On;
    const int32_t option = g_OptionData.m_nReplayAutoSave;
    c.change();
    EXPECT_EQ(AutoSaveReplay(), 0) << c.what;
    EXPECT_TRUE(ReplayFiles().empty()) << c.what;
    g_InputLog = log;
    g_ReplaySave = state;
    g_StageFile = stage;
    g_PlayMode = playMode;
    g_SystemData.m_bReplayOn = replayOn;
    g_IniSettings.Replay_On = replayKey;
    g_OptionData.m_nReplayAutoSave = option;
    g_DirectPlay = g_TestPlay = 0;
  }
  EXPECT_TRUE(m_Folder.Boxes().empty());
}

TEST_F(ReplaySaveTest, SavesOnceAReadableReplayNamedAfterTheStageAndTheTime) {
  g_OptionData.m_nReplayAutoSave = kReplayAutoSaveCleared;
  g_InputLog.m_bCleared = 1;
  g_PlayStartSave.m_nLives = 7;
  // "Replay_On" 2 allows replays of every stage.
  g_StageFile.m_bReplayAllowed = 0;
  g_IniSettings.Replay_On = INIREPLAYKEY{1, 2};
  EXPECT_EQ(AutoSaveReplay(), 1);
  EXPECT_EQ(AutoSaveReplay(), 0);  // one save per stage end
  const std::vector<fs::path> files = ReplayFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(std::regex_match(files[0].filename().string(), std::regex(R"(\d{4}_\d{4}_\d{6}_c01-1_CLEAR_\.rpl4_986)")))
      << files[0];

  cInputLog log;
  cStageData stage, settings;
  cSaveData progress;
  ASSERT_EQ(LoadReplayFile(files[0].string().c_str(), log, stage, settings, progress), 1);
  EXPECT_EQ(log.m_anDirStates, g_InputLog.m_anDirStates);
  EXPECT_EQ(log.m_nSeed, 4242);
  EXPECT_EQ(log.m_bCleared, 1);
  EXPECT_EQ(stage.m_strName, "saved");
  EXPECT_EQ(progress.m_nLives, 7);

  // The next play of the stage may be saved again; saving every play, one not cleared is too.
  g_OptionData.m_nReplayAutoSave = kReplayAutoSaveEvery;
  StartLivePlayLog(1);
  g_InputLog.RecordInputFrame(2, 0);
  EXPECT_EQ(AutoSaveReplay(), 1);
  int uncleared = 0;
  for (const fs::path& file : ReplayFiles())
    uncleared += std::regex_match(file.filename().string(), std::regex(R"(\d{4}_\d{4}_\d{6}_c01-1\.rpl4_986)"));
  EXPECT_EQ(uncleared, 1);
}

TEST_F(ReplaySaveTest, AReplayThatCannotBeWrittenSaysSoAndThePlayGoesOn) {
  // The replay folder is a file: nothing can be created in it.
  fs::remove_all("user_data/rpl4");
  WriteBytes("user_data/rpl4", {1});
  EXPECT_EQ(AutoSaveReplay(), 0);
  EXPECT_FALSE(g_bQuit.load());
  ASSERT_EQ(m_Folder.Boxes().size(), 1u);
  EXPECT_NE(m_Folder.Boxes()[0].find("の保存に失敗しました！"), std::string::npos) << m_Folder.Boxes()[0];
  EXPECT_NE(m_Folder.Boxes()[0].find("rpl4"), std::string::npos) << m_Folder.Boxes()[0];
}

TEST_F(ReplaySaveTest, TooLittleFreeSpaceRefusesWithItsMessage) {
  for (int32_t bytes : {1, static_cast<int32_t>(kReplaySaveMinFreeBytes - 1)}) {
    g_ReplaySave = cReplaySaveState();
    g_freeBytes = bytes;
    g_measuredFolder.clear();
    EXPECT_EQ(AutoSaveReplay(), 0) << bytes;
    // the space that counts is the replay folder's
    EXPECT_EQ(g_measuredFolder, kReplayFolder);
  }
  EXPECT_TRUE(ReplayFiles().empty());
  const std::string box = "エラー|リプレイファイルの保存に失敗しました...ストレージを100MB以上空けてください。";
  EXPECT_EQ(m_Folder.Boxes(), (std::vector<std::string>{box, box}));
  // The refusal counts as this stage end's save: no second message.
  EXPECT_EQ(AutoSaveReplay(), 0);
  EXPECT_EQ(m_Folder.Boxes().size(), 2u);

  g_ReplaySave = cReplaySaveState();
  g_freeBytes = static_cast<int32_t>(kReplaySaveMinFreeBytes);
  EXPECT_EQ(AutoSaveReplay(), 1);
}

TEST_F(ReplaySaveTest, FreeSpaceThatCannotBeMeasuredCountsAsEnough) {
  g_freeBytes = 0;  // the query failed
  EXPECT_EQ(AutoSaveReplay(), 1);
  EXPECT_EQ(ReplayFiles().size(), 1u);
  EXPECT_TRUE(m_Folder.Boxes().empty());
  EXPECT_FALSE(g_bQuit.load());
}

TEST_F(ReplaySaveTest, WithoutAFreeNameTheAutomaticSaveIsSkippedAndThePlayGoesOn) {
  // A stage that has no path gives no name.
  g_StagePath.clear();
  EXPECT_EQ(AutoSaveReplay(), 0);
  EXPECT_TRUE(ReplayFiles().empty());
  EXPECT_FALSE(g_bQuit.load());
  EXPECT_TRUE(m_Folder.Boxes().empty());
}

TEST_F(ReplaySaveTest, ASaveUnderATakenNameKeepsTheOldReplay) {
  const std::string taken = "user_data\\rpl4\\mine.rpl4_986";
  WriteBytes("user_data/rpl4/mine.rpl4_986", {7, 7});
  ASSERT_TRUE(SaveReplayFor(0, taken));
  EXPECT_EQ(ReadBytes("user_data/rpl4/mine.rpl4_986"), (std::vector<uint8_t>{7, 7}));
  cInputLog log;
  cStageData stage, settings;
  cSaveData progress;
  ASSERT_EQ(LoadReplayFile("user_data\\rpl4\\mine (2).rpl4_986", log, stage, settings, progress), 1);
  EXPECT_EQ(log.m_nSeed, 4242);

  // Every numbered form taken: nothing is written or replaced, and the game goes on.
  for (int n = 3; n <= 999; ++n) WriteBytes("user_data/rpl4/mine (" + std::to_string(n) + ").rpl4_986", {7});
  const size_t files = ReplayFiles().size();
  EXPECT_TRUE(SaveReplayFor(0, taken));
  EXPECT_EQ(ReplayFiles().size(), files);
  EXPECT_EQ(ReadBytes("user_data/rpl4/mine (999).rpl4_986"), (std::vector<uint8_t>{7}));
}

TEST_F(ReplaySaveTest, ARefusedKeySoundsOnceASecondWhileHeld) {
  struct Case {
    const char* what;
    int key;
    std::function<void()> change;
  };
  const std::vector<Case> cases = {
      {"F1 with nothing recorded", VK_F1, [] { g_InputLog.ResetInputLog(); }},
      {"F1 where the stage forbids replays", VK_F1, [] { g_StageFile.m_bReplayAllowed = 0; }},
      {"F2 after the stage's first play", VK_F2, [] {}},
  };
  for (const Case& c : cases) {
    const cInputLog log = g_InputLog;
    c.change();
    g_sounds.clear();
    g_ReplaySave = cReplaySaveState();
    SetKeyState(c.key, true);
    int handled = 0;
    for (int frame = 1; frame <= 121; ++frame) handled += CheckReplayKeys();
    EXPECT_EQ(handled, 0) << c.what;
    // Frames 1, 61 and 121.
    EXPECT_EQ(g_sounds, (std::vector<int>{kSoundReplayRefused, kSoundReplayRefused, kSoundReplayRefused})) << c.what;
    SetKeyState(c.key, false);
    g_InputLog = log;
    g_StageFile.m_bReplayAllowed = 1;
  }
  // No key, and keys switched off by the project: nothing.
  g_sounds.clear();
  EXPECT_EQ(CheckReplayKeys(), 0);
  g_SystemData.m_bReplayKeys = 0;
  SetKeyState(VK_F1, true);
  EXPECT_EQ(CheckReplayKeys(), 0);
  EXPECT_TRUE(g_sounds.empty());
}

// The user-interface thread as far as the replay keys reach it: a window that answers the
// replay-save dialog message, and an idle step that answers a raised file-dialog request; each saves
// the asked-for play under a fixed name and records what was asked.
class cReplayUi {
 public:
  static constexpr const char* kName = "user_data\\rpl4\\asked.rpl4_986";
  cReplayUi() {
    s_asked.clear();
    m_Thread = std::thread([this] {
      HWND window = CreateMessageWindow(Proc);
      g_hMainWnd.store(window);
      m_bReady = true;
      while (!m_bStop) {
        HandleSentMessages();
        if (g_nReplaySaveRequest.exchange(0)) {
          const int which = g_nWhichPlay.load();
          s_asked.push_back("file dialog " + std::to_string(which));
          g_nDialogResult.store(SaveReplayFor(which, kName) ? 1 : 0);
          g_nDialogDone.store(1);
        }
        std::this_thread::yield();
      }
      g_hMainWnd.store(nullptr);
      DestroyMessageWindow(window);
    });
    while (!m_bReady) std::this_thread::yield();
  }
  ~cReplayUi() {
    m_bStop = true;
    m_Thread.join();
  }
  // Read once the request was answered (the game side waited for it).
  static std::vector<std::string> s_asked;

 private:
  static LRESULT Proc(HWND, uint32_t msg, WPARAM wParam, LPARAM) {
    if (msg == kMsgReplaySaveDialog) {
      s_asked.push_back("dialog " + std::to_string(wParam));
      SaveReplayFor(static_cast<int>(wParam), kName);
      g_nReplaySaveDone.store(1);
    }
    return 0;
  }
  std::atomic<bool> m_bReady{false};
  std::atomic<bool> m_bStop{false};
  std::thread m_Thread;
};
std::vector<std::string> cReplayUi::s_asked;

TEST_F(ReplaySaveTest, AKeyAsksTheUserInterfaceToSaveThatPlay) {
  g_PrevInputLog.RecordInputFrame(8, 1);
  struct Case {
    int key, fileDialogs;
    const char* asked;
    int16_t firstDir;
  };
  for (const Case& c : {Case{VK_F1, 0, "dialog 0", 0}, Case{VK_F2, 0, "dialog 1", 8},
                        Case{VK_F2, 1, "file dialog 1", 8}, Case{VK_F1, 1, "file dialog 0", 0}}) {
    fs::remove_all("user_data/rpl4");
    fs::create_directories("user_data/rpl4");
    g_sounds.clear();
    g_SystemData.m_bFileDialogs = c.fileDialogs;
    {
      cReplayUi ui;
      SetKeyState(c.key, true);
      EXPECT_EQ(CheckReplayKeys(), 1) << c.asked;
      SetKeyState(c.key, false);
      EXPECT_EQ(cReplayUi::s_asked, std::vector<std::string>{c.asked});
    }
    EXPECT_EQ(g_ReplaySaveWhich, c.key == VK_F2 ? 1 : 0) << c.asked;
    EXPECT_EQ(g_sounds, std::vector<int>{kSoundReplayDecide}) << c.asked;
    cInputLog log;
    cStageData stage, settings;
    cSaveData progress;
    ASSERT_EQ(LoadReplayFile(cReplayUi::kName, log, stage, settings, progress), 1) << c.asked;
    ASSERT_FALSE(log.m_anDirStates.empty());
    EXPECT_EQ(log.m_anDirStates[0], c.firstDir) << c.asked;
  }
}

TEST_F(ReplaySaveTest, AKeyDoesNotWaitForAWindowThatIsGone) {
  g_hMainWnd.store(nullptr);
  for (int fileDialogs : {0, 1}) {
    g_SystemData.m_bFileDialogs = fileDialogs;
    SetKeyState(VK_F1, true);
    EXPECT_EQ(CheckReplayKeys(), 1) << fileDialogs;
  }
  g_nReplaySaveRequest.store(0);
}

// The stage scene: its stage ends save the play's replay, and a restart of replay playback reads
// the replay file again.
class ReplaySceneTest : public testing::Test {
 protected:
  ReplaySceneTest() : m_Plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())), m_Harness(SceneSetup()) {
    fs::create_directories("user_data/rpl4");
    TakeStageSettingsCopy();
    g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
    g_PlayMode = kPlayModeFree;
  }
  static cHarnessSetup SceneSetup() {
    cHarnessSetup setup;
    setup.map = {"..C.....", ".H......", "########"};
    setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
    setup.addStandIns = AddStagePlayServices;
    return setup;
  }
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }
  // Saves the stage as it stands with a log of one direction word.
  static void SaveReplay(const char* path, int16_t dir) {
    cInputLog log;
    log.RecordInputFrame(dir, 0);
    ASSERT_EQ(SaveReplayFile(path, log, g_StageFile, g_StageData, g_SaveData), 1);
  }

  cGameFolder m_Folder;
  cHooksGuard<cHarnessPlugins> m_Plugins;
  cStageHarness m_Harness;
};

TEST_F(ReplaySceneTest, TheStageEndsSaveThePlay) {
  g_SystemData.m_bReplayOn = 1;
  g_StageFile.m_bReplayAllowed = 1;
  g_StageData.m_bReplayAllowed = 1;  // a restart takes the stage's settings from here
  g_OptionData.m_nReplayAutoSave = kReplayAutoSaveCleared;
  g_DirectPlay = g_TestPlay = 0;
  g_StagePath = "data\\stg4\\c01-1.stg4_000";
  Scene().SetupStage(0, 1);
  g_InputLog.RecordInputFrame(6, 0);
  // A clear that counts marks the play cleared; the stage-end display saves it once.
  g_SaveData.m_bClearCounts = 1;
  Scene().ClearStage();
  EXPECT_EQ(g_InputLog.m_bCleared, 1);
  Scene().PhaseStageEnd();
  Scene().PhaseStageEnd();
  std::vector<fs::path> files = ReplayFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_NE(files[0].filename().string().find("_CLEAR_"), std::string::npos);

  // The end of the hero's defeat display saves the failed attempt when every play is saved.
  g_OptionData.m_nReplayAutoSave = kReplayAutoSaveEvery;
  Scene().SetupStage(1, 0);
  g_InputLog.RecordInputFrame(4, 0);
  Scene().HeroDefeatOver();
  EXPECT_EQ(ReplayFiles().size(), 2u);
}

TEST_F(ReplaySceneTest, AReplayKeyHandledInTheEndAndMenuPhasesEndsTheirFrame) {
  cStagePlayHooks hooks;
  hooks.checkReplayKeys = [] { return 1; };
  cHooksGuard<cStagePlayHooks> keys(SetStagePlayHooks, hooks);
  Scene().SetupStage(0, 1);
  for (int phase : {kStagePhasePauseMenu, kStagePhaseStageEnd, kStagePhaseContinueMenu, kStagePhaseGameOver}) {
    Scene().m_nPhase = phase;
    Scene().m_nSubState = 0;
    Scene().Step();
    EXPECT_EQ(Scene().m_nPhase, phase);
    EXPECT_EQ(Scene().m_nSubState, 0) << phase;  // nothing of the phase ran
  }
}

TEST_F(ReplaySceneTest, ARestartReadsTheReplayAgain) {
  const char* first = "user_data\\rpl4\\first.rpl4_986";
  g_SaveData.m_nLives = 3;
  SaveReplay(first, 6);
  ASSERT_EQ(LoadReplayForPlayback(first), 1);
  EXPECT_EQ(g_StagePath, first);
  const size_t blocks = g_StageFile.m_aBlocks.size();

  // The play changed the stage's types, the log and the progress; the restart renews them.
  g_StageFile.m_aBlocks.clear();
  g_InputLog.m_anDirStates = {9};
  g_SaveData.m_nLives = 1;
  Scene().SetupStage(1, 1);
  EXPECT_EQ(g_StageFile.m_aBlocks.size(), blocks);
  EXPECT_EQ(g_InputLog.m_anDirStates, std::vector<int16_t>{6});
  EXPECT_EQ(g_SaveData.m_nLives, 3);

  // A file that no longer reads leaves the play as it was, without a message.
  fs::remove(ResolvePath(first));
  g_InputLog.m_anDirStates = {9};
  Scene().SetupStage(1, 1);
  EXPECT_EQ(g_InputLog.m_anDirStates, std::vector<int16_t>{9});
  EXPECT_TRUE(m_Folder.Boxes().empty());

  // Switched to another replay: its settings are the stage's from now on.
  const char* second = "user_data\\rpl4\\second.rpl4_986";
  g_StageData.m_nTimeLimit = 42;
  SaveReplay(second, 2);
  g_StageData.m_nTimeLimit = 200;
  g_StagePath = second;
  g_bReplaySwitched = 1;
  Scene().SetupStage(1, 1);
  EXPECT_EQ(g_bReplaySwitched, 0);
  EXPECT_EQ(g_StageData.m_nTimeLimit, 42);
  EXPECT_EQ(g_StageFile.m_nTimeLimit, 42);
  EXPECT_EQ(g_InputLog.m_anDirStates, std::vector<int16_t>{2});
}

}  // namespace
