// The per-player input record: device reading, auto-repeat, one report per press, history, event
// lists, the key table and the joystick detection schedule.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/log.h"
#include "platform/input/joystick.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "shell/input_state.h"
#include "shell/joystick_detect.h"
#include "shell/key_config.h"
#include "shell/scene.h"
#include "shell/scene_mgr.h"
#include "test_support/hooks_guard.h"

namespace {
class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseAllKeys();
    RemoveAllJoysticks();
    ResetJoystickDetection();
    SetDefaultKeyConfig();
    state = cInputState{};
    state.SetKeyRepeat(18, 6);
    state.SetPadButtonMap();
  }
  void TearDown() override {
    ReleaseAllKeys();
    RemoveAllJoysticks();
    SetDefaultKeyConfig();
  }
  // A pad on device `id` with axes at (x, y) in 0..65535.
  static void plugPad(uint32_t id, uint32_t x, uint32_t y, uint32_t pov = JOY_POVCENTERED, uint32_t buttons = 0) {
    JoystickReading r;
    r.caps.wCaps = JOYCAPS_HASPOV;
    r.pos.dwXpos = x;
    r.pos.dwYpos = y;
    r.pos.dwPOV = pov;
    r.pos.dwButtons = buttons;
    SetJoystick(id, r);
  }
  void assignPad() {
    std::vector<cInputState> records(1);
    records[0] = state;
    DetectJoysticks(nullptr, 60, records);
    state = records[0];
  }
  cInputState state;
};

TEST_F(InputTest, KeyboardLeftAndRightTogetherAreNeutral) {
  SetKeyState(VK_LEFT, true);
  SetKeyState(VK_RIGHT, true);
  SetKeyState('Z', true);
  SetKeyState('F', true);
  state.ReadInputDevices(0, kReadPad | kReadKeyboard, 60);
  EXPECT_EQ(state.m_wDir, 3);
  EXPECT_EQ(state.m_nDirNumber, 5);
  EXPECT_EQ(state.m_wButton, 0x81);
  // A played-back word gives the same code as the live read.
  EXPECT_EQ(GetDirNumber(state.m_wDir), 5);
}

TEST_F(InputTest, DirNumberTable) {
  struct {
    uint16_t dir;
    int code;
  } cases[] = {{0, 5},
               {kDirLeft, 4},
               {kDirRight, 6},
               {kDirUp, 2},
               {kDirDown, 8},
               {kDirUp | kDirLeft, 1},
               {kDirUp | kDirRight, 3},
               {kDirDown | kDirLeft, 7},
               {kDirDown | kDirRight, 9},
               {kDirUp | kDirDown, 5}};
  for (auto c : cases) EXPECT_EQ(GetDirNumber(c.dir), c.code) << c.dir;
}

TEST_F(InputTest, PadThresholdsAndHat) {
  plugPad(0, 32768, 32768);
  assignPad();
  ASSERT_EQ(state.m_bPadPresent, 1);
  // A third of the range from each end: 0 + 65535/3 and 65535 - 65535/3 (in SDL units -10923 and 10922).
  EXPECT_EQ(state.m_dwXLow, 21845u);
  EXPECT_EQ(state.m_dwXHigh, 43690u);
  ASSERT_EQ(state.m_bPadHasHat, 1);
  struct {
    uint32_t x, y, pov;
    uint16_t dir;
    int code;
  } cases[] = {
      {21845, 32768, JOY_POVCENTERED, kDirLeft, 4},  // on the threshold counts
      {21846, 32768, JOY_POVCENTERED, 0, 5},
      {43690, 43690, JOY_POVCENTERED, kDirRight | kDirDown, 9},
      {32768, 32768, 9000, kDirRight, 6},
      {32768, 32768, 31500, kDirUp | kDirLeft, 1},
      {32768, 32768, 12345, 0, 5},    // not one of the eight angles
      {0, 32768, 9000, kDirLeft, 4},  // the stick wins over the hat
  };
  for (auto c : cases) {
    plugPad(0, c.x, c.y, c.pov);
    state.ReadInputDevices(0, kReadPad, 60);
    EXPECT_EQ(state.m_wDir, c.dir) << c.x << "," << c.y << " pov " << c.pov;
    EXPECT_EQ(state.m_nDirNumber, c.code);
  }
}

TEST_F(InputTest, PadSuppressesKeyboardPerChannel) {
  plugPad(0, 0, 32768, JOY_POVCENTERED, 0);
  assignPad();
  SetKeyState(VK_RIGHT, true);
  SetKeyState('X', true);
  state.ReadInputDevices(0, kReadPad | kReadKeyboard, 60);
  EXPECT_EQ(state.m_wDir, kDirLeft);  // the moved stick hides the arrows
  EXPECT_EQ(state.m_wButton, 0x02);   // no pad button: the keyboard buttons count
  plugPad(0, 32768, 32768, JOY_POVCENTERED, 0x4);
  state.ReadInputDevices(0, kReadPad | kReadKeyboard, 60);
  EXPECT_EQ(state.m_wDir, kDirRight);
  EXPECT_EQ(state.m_wButton, 0x04);  // a held pad button hides the letter keys
}

TEST_F(InputTest, UnpluggedPadIsDropped) {
  plugPad(0, 32768, 32768);
  assignPad();
  RemoveJoystick(0);
  state.ReadInputDevices(0, kReadPad, 60);
  EXPECT_EQ(state.m_bPadPresent, 0);
}

TEST_F(InputTest, RepeatDirKeysTable) {
  // Up held from frame 1, right pressed from frame 10.
  std::vector<int> upFrames, rightFrames;
  for (int frame = 1; frame <= 40; ++frame) {
    state.m_wDir = kDirUp | (frame >= 10 ? kDirRight : 0);
    state.RepeatDirKeys();
    if (state.m_wDir & kDirUp) upFrames.push_back(frame);
    if (state.m_wDir & kDirRight) rightFrames.push_back(frame);
  }
  EXPECT_EQ(upFrames, (std::vector<int>{1, 19, 25, 31, 37}));
  EXPECT_EQ(rightFrames, (std::vector<int>{10, 28, 34, 40}));
}

TEST_F(InputTest, RepeatWithIntervalOneAndDelayOne) {
  state.SetKeyRepeat(1, 1);
  int reported = 0;
  for (int frame = 1; frame <= 5; ++frame) {
    state.m_wDir = kDirDown;
    state.RepeatDirKeys();
    if (state.m_wDir) ++reported;
  }
  EXPECT_EQ(reported, 5);
}

TEST_F(InputTest, TriggerButtonsLocksUntilAllReleased) {
  // Button 1 held frames 1-5, button 2 from frame 3 to 8; then button 2 again on frame 10.
  std::vector<uint16_t> seen;
  for (int frame = 1; frame <= 10; ++frame) {
    uint16_t word = 0;
    if (frame <= 5) word |= 1;
    if (frame >= 3 && frame <= 8) word |= 2;
    if (frame == 10) word |= 2;
    state.m_wButton = word;
    state.TriggerButtons(0);
    seen.push_back(state.m_wButton);
  }
  EXPECT_EQ(seen, (std::vector<uint16_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 2}));
}

TEST_F(InputTest, TriggerButtonsLeavesUnmaskedButtons) {
  state.m_wButton = 0x3;
  state.TriggerButtons(0x1);
  EXPECT_EQ(state.m_wButton, 0x3);
  state.m_wButton = 0x3;
  state.TriggerButtons(0x1);
  EXPECT_EQ(state.m_wButton, 0x2);
}

TEST_F(InputTest, HistoryRunsAndPastInput) {
  const uint16_t buttons[] = {1, 1, 1, 0, 2, 2};
  for (uint16_t b : buttons) {
    state.m_wButton = b;
    state.RecordInputHistory();
  }
  EXPECT_EQ(state.GetPastInput(1, 0), 2);
  EXPECT_EQ(state.GetPastInput(1, 1), 2);
  EXPECT_EQ(state.GetPastInput(1, 2), 0);
  EXPECT_EQ(state.GetPastInput(1, 3), 1);
  EXPECT_EQ(state.GetPastInput(1, 5), 1);
  EXPECT_EQ(state.GetPastInput(0, 0), 0);
  // The ring keeps 32 runs: an old enough frame reads the oldest kept run.
  for (int i = 0; i < 40; ++i) {
    state.m_wButton = static_cast<uint16_t>(i & 1 ? 4 : 8);
    state.RecordInputHistory();
  }
  EXPECT_EQ(state.GetPastInput(1, 0), 4);
  EXPECT_EQ(state.GetPastInput(1, 31), 8);  // the oldest run kept
}

TEST_F(InputTest, EventListsKeepThirtyTwoRuns) {
  state.ResetKeyEvents();
  for (int i = 0; i < 40; ++i) {
    state.m_wDir = kDirLeft;
    state.UpdateKeyEvents();
  }
  const KeyLogList& left = state.m_aDirEvents[1];
  ASSERT_EQ(left.size(), 32u);
  EXPECT_EQ(left[0].nState, 1);
  EXPECT_EQ(left[0].nRun, 40);
  EXPECT_EQ(left[1].nState, 0);
  EXPECT_EQ(left[1].nRun, 0);
  EXPECT_EQ(state.m_aDirEvents[9][0].nState, 1);  // any direction
  EXPECT_EQ(state.m_aDirEvents[0][0].nState, 0);  // neutral
  for (int i = 0; i < 33; ++i) {
    state.m_wButton = static_cast<uint16_t>(i & 1 ? 0x4 : 0);
    state.UpdateKeyEvents();
  }
  const KeyLogList& b3 = state.m_aButtonEvents[3];
  ASSERT_EQ(b3.size(), 32u);
  // The newest 32 runs of one frame each, alternating, newest first (i = 32: not held).
  for (int k = 0; k < 32; ++k) {
    EXPECT_EQ(b3[k].nRun, 1) << k;
    EXPECT_EQ(b3[k].nState, k % 2 == 0 ? 0 : 1) << k;
  }
}

TEST_F(InputTest, CopyKeepsDeviceSettings) {
  state.m_wDir = 5;
  state.m_wButton = 3;
  state.m_nButtonLock = 1;
  state.RecordInputHistory();
  cInputState saved;
  saved.SetKeyRepeat(1, 1);
  state.CopyInputTo(saved);
  EXPECT_EQ(saved.m_wDir, 5);
  EXPECT_EQ(saved.m_wButton, 3);
  EXPECT_EQ(saved.m_nButtonLock, 1);
  EXPECT_EQ(saved.GetPastInput(1, 0), 3);
  EXPECT_EQ(saved.m_dwRepeatDelay, 1u);
}

// ---- key table ------------------------------------------------------------------------------------

std::vector<uint8_t> keyConfigBytes(int enabled, int count, int players, int device0 = 8) {
  std::vector<uint8_t> b(108, 0);
  auto put32 = [&](size_t at, int32_t v) { std::memcpy(&b[at], &v, 4); };
  auto put16 = [&](size_t at, int16_t v) { std::memcpy(&b[at], &v, 2); };
  const int16_t codes[12] = {'J', 'L', 'I', 'K', 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'O'};
  for (int i = 0; i < 12; ++i) {
    put32(i * 8, i == 0 ? device0 : 8);
    put16(i * 8 + 4, codes[i]);
  }
  put32(96, count);
  put32(100, players);
  put32(104, enabled);
  return b;
}

TEST_F(InputTest, DefaultKeyTableIsTheArrowsThenZXCVASDFAndStaysOff) {
  // What a game without "user_data\KeyConfig.dat" plays with: left, right, up, down as the arrow
  // keys' virtual-key codes, then buttons 1..8 on Z X C V A S D F, all on the keyboard (device 8).
  KEYCONFIG config;
  config.nCount = 3;
  config.nPlayers = 4;
  config.bEnabled = 1;
  config.aKeys[5] = KEYASSIGN{0, 256, 7};
  SetDefaultKeyConfig(config);
  const int16_t codes[12] = {37, 39, 38, 40, 90, 88, 67, 86, 65, 83, 68, 70};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(config.aKeys[i].nDevice, 8) << i;
    EXPECT_EQ(config.aKeys[i].nCode, codes[i]) << i;
    EXPECT_EQ(config.aKeys[i].nReserved, 0) << i;
  }
  EXPECT_EQ(config.nCount, 12);
  EXPECT_EQ(config.nPlayers, 1);
  EXPECT_EQ(config.bEnabled, 0);  // so the fixed layout is read, not the table
}

TEST_F(InputTest, KeyConfigShortFileFillsOnlyItsBytes) {
  auto bytes = keyConfigBytes(1, 12, 1);
  KEYCONFIG config;
  ParseKeyConfig(bytes.data(), 100, config);
  EXPECT_EQ(config.aKeys[0].nCode, 'J');
  EXPECT_EQ(config.nCount, 12);
  EXPECT_EQ(config.nPlayers, 0);
  EXPECT_EQ(config.bEnabled, 0);
}

TEST_F(InputTest, KeyConfigUsability) {
  KEYCONFIG config;
  auto check = [&](std::vector<uint8_t> b) {
    ParseKeyConfig(b.data(), b.size(), config);
    return IsKeyConfigUsable(config, 1);
  };
  EXPECT_TRUE(check(keyConfigBytes(1, 12, 1)));
  EXPECT_TRUE(check(keyConfigBytes(1, 12, 1, 0)));   // pad of record 0
  EXPECT_FALSE(check(keyConfigBytes(1, 12, 1, 3)));  // no record 3
  EXPECT_FALSE(check(keyConfigBytes(1, 12, 1, -1)));
  EXPECT_FALSE(check(keyConfigBytes(1, 13, 1)));
  EXPECT_FALSE(check(keyConfigBytes(1, 12, 2)));
  // counts from a damaged file: the table has 12 entries and one player
  EXPECT_FALSE(check(keyConfigBytes(1, 40, 1)));
  EXPECT_FALSE(check(keyConfigBytes(1, INT32_MAX, 1)));
  EXPECT_FALSE(check(keyConfigBytes(1, 12, 0)));
  EXPECT_FALSE(check(keyConfigBytes(1, 12, -1)));
}

TEST_F(InputTest, EnabledKeyTableDrivesInput) {
  auto bytes = keyConfigBytes(1, 12, 1);
  ParseKeyConfig(bytes.data(), bytes.size(), g_KeyConfig);
  std::vector<cInputState> records(1);
  SetKeyState('J', true);  // left
  SetKeyState('L', true);  // right: left wins in the table's reading
  SetKeyState('K', true);  // down
  SetKeyState('W', true);  // button 2
  SetKeyState('Z', true);  // the fixed layout is not read
  ASSERT_EQ(PollMappedInput(records), 1);
  EXPECT_EQ(records[0].m_wDir, kDirLeft | kDirDown);
  EXPECT_EQ(records[0].m_nDirNumber, 7);
  EXPECT_EQ(records[0].m_wButton, 0x2);
}

TEST_F(InputTest, KeyTableWithPadEntries) {
  auto bytes = keyConfigBytes(1, 6, 1, 0);
  ParseKeyConfig(bytes.data(), bytes.size(), g_KeyConfig);
  g_KeyConfig.aKeys[0].nCode = 256;             // pad left
  g_KeyConfig.aKeys[4] = KEYASSIGN{0, 0x8, 0};  // pad button 4 -> game button 1
  std::vector<cInputState> records(1);
  records[0].SetPadButtonMap();
  plugPad(0, 0, 32768, JOY_POVCENTERED, 0x8);
  DetectJoysticks(nullptr, 60, records);
  ASSERT_EQ(PollMappedInput(records), 1);
  EXPECT_EQ(records[0].m_wDir, kDirLeft);
  EXPECT_EQ(records[0].m_wButton, 0x1);
}

TEST_F(InputTest, DisabledKeyTableIsNotPolled) {
  std::vector<cInputState> records(1);
  EXPECT_EQ(PollMappedInput(records), 0);
}

// ---- joystick detection schedule -----------------------------------------------------------------

TEST_F(InputTest, DetectionWaitsForIdleFrames) {
  std::vector<cInputState> records(1);
  DetectJoysticks(nullptr, 60, records);  // first call: looks, finds nothing
  plugPad(0, 32768, 32768);
  // Held input pushes the search back; 10 seconds of it find nothing.
  records[0].m_wButton = 1;
  for (int i = 0; i < 600; ++i) DetectJoysticks(nullptr, 60, records);
  EXPECT_EQ(records[0].m_bPadPresent, 0);
  // Then 240 idle frames: the 240th looks.
  records[0].m_wButton = 0;
  for (int i = 0; i < 239; ++i) DetectJoysticks(nullptr, 60, records);
  EXPECT_EQ(records[0].m_bPadPresent, 0);
  DetectJoysticks(nullptr, 60, records);
  EXPECT_EQ(records[0].m_bPadPresent, 1);
}

TEST_F(InputTest, LostPadIsLookedForAtOnce) {
  std::vector<cInputState> records(1);
  plugPad(2, 32768, 32768);
  DetectJoysticks(nullptr, 60, records);
  ASSERT_EQ(records[0].m_bPadPresent, 1);
  EXPECT_EQ(records[0].m_dwPadId, 2u);
  DetectJoysticks(nullptr, 60, records);  // a frame with the pad: its count is remembered
  RemoveJoystick(2);
  plugPad(5, 32768, 32768);
  records[0].ReadInputDevices(0, kReadPad, 60);  // notices the loss
  ASSERT_EQ(records[0].m_bPadPresent, 0);
  DetectJoysticks(nullptr, 60, records);
  EXPECT_EQ(records[0].m_bPadPresent, 1);
  EXPECT_EQ(records[0].m_dwPadId, 5u);
}

int g_padOption = 1;
TEST_F(InputTest, PadOptionOffDetectsOnlyOnce) {
  cHooksGuard guard(SetInputHooks, {.padDetectionOption = [] { return g_padOption; }});
  g_padOption = 0;
  std::vector<cInputState> records(1);
  PollInput(records);  // the one detection: no pad yet
  plugPad(0, 32768, 32768);
  for (int i = 0; i < 1000; ++i) PollInput(records);
  EXPECT_EQ(records[0].m_bPadPresent, 0);
  g_padOption = 1;
  for (int i = 0; i < 240; ++i) PollInput(records);
  EXPECT_EQ(records[0].m_bPadPresent, 1);
}

TEST_F(InputTest, NoDetectionDuringStagePlayLoop) {
  // The stage scene current and in its play loop (phase 2): no enumeration, whatever the schedule.
  cSceneHooks scenes;
  scenes.createScene[kSceneStage] = [] { return new cScene; };
  cHooksGuard guard(SetSceneHooks, scenes);
  g_SceneMgr.m_nScene = kSceneStage;
  g_SceneMgr.SwitchScene(kSceneStage);
  cScene* stage = g_SceneMgr.SceneAt(kSceneStage);
  ASSERT_NE(stage, nullptr);
  stage->m_nPhase = 2;
  plugPad(0, 32768, 32768);
  std::vector<cInputState> records(1);
  for (int i = 0; i < 500; ++i) PollInput(records);
  EXPECT_EQ(records[0].m_bPadPresent, 0);
  // Its other phases (intro, pause menu, ...) may look.
  stage->m_nPhase = 3;
  PollInput(records);
  EXPECT_EQ(records[0].m_bPadPresent, 1);
  g_SceneMgr.DestroyAllScenes();
  g_SceneMgr.m_nScene = kSceneTitle;
}

TEST_F(InputTest, FixedLayoutReadsTheKeyboardForPlayerOneOnly) {
  plugPad(0, 32768, 32768);
  std::vector<cInputState> records(2);
  for (auto& r : records) r.SetPadButtonMap();
  SetKeyState(VK_LEFT, true);
  SetKeyState('Z', true);
  PollInput(records);
  EXPECT_EQ(records[0].m_bPadPresent, 1);
  EXPECT_EQ(records[0].m_wDir, kDirLeft);
  EXPECT_EQ(records[0].m_wButton, 1);
  EXPECT_EQ(records[1].m_wDir, 0);
  EXPECT_EQ(records[1].m_wButton, 0);
  EXPECT_EQ(records[1].m_nDirNumber, 5);
}

class KeyConfigFileTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    char tmpl[] = "/tmp/qc4_keyconfig_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    ASSERT_TRUE(ReportLogInit((dir / "Report_Game.txt").c_str()));
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    InputTest::TearDown();
  }
  std::string write(const std::vector<uint8_t>& bytes) {
    std::filesystem::path p = dir / "KeyConfig.dat";
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }
  std::string report() {
    std::ifstream f(dir / "Report_Game.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  std::filesystem::path dir;
};

TEST_F(KeyConfigFileTest, LoadsUsableTablesAndFallsBackOnBadOnes) {
  std::vector<uint8_t> shortFile = keyConfigBytes(1, 12, 1);
  shortFile.resize(50);  // up to the middle of entry 6: the enable flag stays 0
  std::vector<uint8_t> longFile = keyConfigBytes(1, 12, 1);
  longFile.resize(300, 0xFF);  // only the first 108 bytes are the table
  struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool loaded;      // LoadKeyConfig's answer
    int32_t enabled;  // g_KeyConfig after it
    int16_t left;     // entry 0's code
    bool logged;      // a report-log line
  } cases[] = {
      {"enabled", keyConfigBytes(1, 12, 1), true, 1, 'J', false},
      {"disabled", keyConfigBytes(0, 12, 1), true, 0, 'J', false},
      {"short", shortFile, true, 0, 'J', false},
      {"bad device", keyConfigBytes(1, 12, 1, 7), true, 0, VK_LEFT, true},
      {"13 entries", keyConfigBytes(1, 13, 1), true, 0, VK_LEFT, true},
      {"two players", keyConfigBytes(1, 12, 2), true, 0, VK_LEFT, true},
      {"empty", {}, true, 0, 0, false},
      {"longer than the table", longFile, true, 1, 'J', false},
      {"40 entries", keyConfigBytes(1, 40, 1), true, 0, VK_LEFT, true},
  };
  for (auto& c : cases) {
    SetDefaultKeyConfig();
    std::string before = report();
    EXPECT_EQ(LoadKeyConfig(write(c.bytes).c_str()), c.loaded) << c.name;
    EXPECT_EQ(g_KeyConfig.bEnabled, c.enabled) << c.name;
    EXPECT_EQ(g_KeyConfig.aKeys[0].nCode, c.left) << c.name;
    EXPECT_EQ(report().size() > before.size(), c.logged) << c.name;
  }
  EXPECT_FALSE(LoadKeyConfig((dir / "missing.dat").c_str()));
}
}  // namespace
