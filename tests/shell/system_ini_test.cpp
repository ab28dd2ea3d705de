// "System.ini" grammar: names, values, terminators, the "Exit" line and the replay keys.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/log.h"
#include "data/system_data.h"
#include "platform/message_box.h"
#include "shell/system_ini.h"

namespace {
std::vector<cSysParam> defaultKeys() {
  std::vector<cSysParam> keys(11);
  const char* names[11] = {"Direct3D",        "WindowMode", "Bpp",       "VSync",   "D3D_FontCache",   "DD_FontCache",
                           "DD_VideoStretch", "ShowFps",    "FreeStage", "English", "Midi_DirectMusic"};
  const int defaults[11] = {2, 0, 0, 2, 0, 1, 0, 1, 0, 0, 1};
  for (int i = 0; i < 11; ++i) {
    if (i == kIniFreeStage)
      SetTextKey(keys[i], names[i], "");
    else
      SetNumberKey(keys[i], names[i], defaults[i]);
  }
  return keys;
}

struct IniCase {
  const char* name;
  std::string text;
  int result;
  int direct3d;      // expected Direct3D value
  std::string free;  // expected FreeStage
};

class SystemIniTest : public ::testing::TestWithParam<IniCase> {};

TEST_P(SystemIniTest, ReadsAsTheGrammarSays) {
  const IniCase& c = GetParam();
  auto keys = defaultKeys();
  INISETTINGS s;
  SetIniDefaults(s, keys);
  EXPECT_EQ(ParseSystemIni(c.text, s, keys), c.result);
  EXPECT_EQ(s.Direct3D, c.direct3d);
  EXPECT_EQ(std::string(s.FreeStage), c.free);
}

const std::string kLongPath(3000, 'a');

INSTANTIATE_TEST_SUITE_P(
    Grammar, SystemIniTest,
    ::testing::Values(IniCase{"Comment", "Direct3D=0 comment here\nExit\n", 1, 0, ""},
                      IniCase{"SpaceBeforeEquals", "Direct3D = 1\nExit\n", 1, 0, ""},
                      IniCase{"SlashEndsValue", "Direct3D=1//DirectX\nExit\n", 1, 1, ""},
                      IniCase{"NameWithSpaceInside", "Dir ect3D=1\nExit\n", 1, 1, ""},
                      IniCase{"CaseSensitiveName", "direct3d=1\nExit\n", 1, 2, ""},
                      IniCase{"ExitWithCrLf", "Direct3D=1\r\nExit\r\n", 1, 1, ""},
                      IniCase{"ExitAtEndWithoutLineFeed", "Direct3D=1\nExit", 0, 1, ""},
                      IniCase{"MissingExit", "Direct3D=1\n", 0, 1, ""}, IniCase{"EmptyFile", "", 0, 2, ""},
                      IniCase{"ExitAsKeyDoesNotEnd", "Exit=1\nDirect3D=0\n", 0, 0, ""},
                      IniCase{"NulEndsWithSuccess", std::string("Direct3D=1\n\0rest", 16), 1, 1, ""},
                      IniCase{"EndOfFileInsideValue", "Direct3D=1", 0, 2, ""},
                      IniCase{"FreeStageOneCharIgnored", "FreeStage=a\nExit\n", 1, 2, ""},
                      IniCase{"FreeStageTwoChars", "FreeStage=ab\nExit\n", 1, 2, "ab"},
                      IniCase{"FreeStageCrLfKeepsNoCr", "FreeStage=data\\stg4\\a.stg4\r\nExit\r\n", 1, 2,
                              "data\\stg4\\a.stg4"},
                      IniCase{"FreeStageTooLongIgnored", "FreeStage=" + kLongPath + "\nDirect3D=0\nExit\n", 1, 0, ""},
                      IniCase{"OverLongNameIgnored", kLongPath + "=5\nDirect3D=1\nExit\n", 1, 1, ""},
                      IniCase{"EmptyValueIsZero", "Direct3D= 1\nExit\n", 1, 0, ""},
                      IniCase{"HugeNumberClamps", "Direct3D=99999999999999999999\nExit\n", 1, 2147483647, ""}),
    [](const ::testing::TestParamInfo<IniCase>& info) { return std::string(info.param.name); });

TEST(SystemIni, ReplayKeysAreLimited) {
  auto keys = defaultKeys();
  INISETTINGS s;
  SetIniDefaults(s, keys);
  ASSERT_EQ(ParseSystemIni("Replay_PlaybackOrder=7\nReplay_On=-1\nReplay_AutomaticSave=1\n"
                           "Replay_AutomaticMessageProgress=21\nExit\n",
                           s, keys),
            1);
  EXPECT_EQ(s.Replay_PlaybackOrder.bPresent, 1);
  EXPECT_EQ(s.Replay_PlaybackOrder.nValue, 2);
  EXPECT_EQ(s.Replay_On.bPresent, 0);
  EXPECT_EQ(s.Replay_AutomaticSave.nValue, 1);
  EXPECT_EQ(s.Replay_AutomaticMessageProgress.nValue, 21);
  ASSERT_EQ(ParseSystemIni("Replay_AutomaticMessageProgress=30\nExit\n", s, keys), 1);
  EXPECT_EQ(s.Replay_AutomaticMessageProgress.nValue, 20);
}

TEST(SystemIni, DefaultsComeFromTheKeyTableAndEveryKeyIsRead) {
  auto keys = defaultKeys();
  SetNumberKey(keys[kIniShowFps], "ShowFps", 0);
  SetTextKey(keys[kIniFreeStage], "FreeStage", "data\\stg4\\x.stg4");
  INISETTINGS s;
  SetIniDefaults(s, keys);
  EXPECT_EQ(s.ShowFps, 0);
  EXPECT_STREQ(s.FreeStage, "data\\stg4\\x.stg4");
  EXPECT_EQ(s.Direct3D, 2);
  EXPECT_EQ(s.VSync, 2);
  EXPECT_EQ(s.DD_FontCache, 1);
  EXPECT_EQ(s.Midi_DirectMusic, 1);
  ASSERT_EQ(ParseSystemIni("Direct3D=1\nWindowMode=2\nBpp=16\nVSync=0\nD3D_FontCache=3\nDD_FontCache=4\n"
                           "DD_VideoStretch=1\nShowFps=2\nEnglish=1\nMidi_DirectMusic=0\nExit\n",
                           s, keys),
            1);
  EXPECT_EQ(s.Direct3D, 1);
  EXPECT_EQ(s.WindowMode, 2);
  EXPECT_EQ(s.Bpp, 16);
  EXPECT_EQ(s.VSync, 0);
  EXPECT_EQ(s.D3D_FontCache, 3);
  EXPECT_EQ(s.DD_FontCache, 4);
  EXPECT_EQ(s.DD_VideoStretch, 1);
  EXPECT_EQ(s.ShowFps, 2);
  EXPECT_EQ(s.English, 1);
  EXPECT_EQ(s.Midi_DirectMusic, 0);
}

TEST(SystemIni, StopsAfterTenThousandEntries) {
  auto keys = defaultKeys();
  INISETTINGS s;
  SetIniDefaults(s, keys);
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "x=1\n";
  text += "Direct3D=0\n";  // entry 10001: never read
  EXPECT_EQ(ParseSystemIni(text, s, keys), 1);
  EXPECT_EQ(s.Direct3D, 2);
}
TEST(SystemIni, FailedReadAtStartUpKeepsOnlyTheDefaults) {
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  char tmpl[] = "/tmp/qc4_ini_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::filesystem::path dir = tmpl;
  ASSERT_EQ(chdir(dir.c_str()), 0);
  ASSERT_TRUE(ReportLogInit((dir / "Report_Game.txt").c_str()));
  static std::vector<std::string> shown;
  shown.clear();
  SetMessageBoxHandler([](const char* text, const char* caption, unsigned) {
    shown.push_back(std::string(caption) + "|" + text);
    return IDOK;
  });
  const std::vector<cSysParam>& keys = g_SystemData.m_aIniKeys;
  ASSERT_EQ(keys.size(), 11u);
  INISETTINGS defaults;
  SetIniDefaults(defaults, keys);
  const std::string failed = "エラー|System.ini の読み込みに失敗しました！";

  // No "Exit" line: the values read before the end are dropped with the message.
  std::ofstream("System.ini", std::ios::binary) << "WindowMode=7\r\nShowFps=2\r\nFreeStage=data\\a.stg4\r\n";
  LoadSystemIni();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], failed);
  EXPECT_EQ(g_IniSettings.WindowMode, defaults.WindowMode);
  EXPECT_EQ(g_IniSettings.ShowFps, defaults.ShowFps);
  EXPECT_STREQ(g_IniSettings.FreeStage, defaults.FreeStage);

  // A readable file keeps what it says; a missing one fails like a broken one.
  std::ofstream("System.ini", std::ios::binary) << "WindowMode=7\r\nExit\r\n";
  LoadSystemIni();
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(g_IniSettings.WindowMode, 7);
  std::filesystem::remove("System.ini");
  LoadSystemIni();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1], failed);
  EXPECT_EQ(g_IniSettings.WindowMode, defaults.WindowMode);

  SetMessageBoxHandler(nullptr);
  g_IniSettings = INISETTINGS{};
  ASSERT_EQ(chdir(cwd), 0);
  std::filesystem::remove_all(dir);
}
}  // namespace
