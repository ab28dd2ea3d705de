// The environment report in "Report_Game.txt": the machine's lines in their layout (numbers in MB with
// their widths, the clock in whole MHz, the system's UTF-8 names in Shift-JIS), the display lines of
// each drawing mode, and the report appended to a real log on this machine.
#include "shell/environment_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "core/log.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::vector<std::string> fileLines(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

cEnvironmentFacts sampleMachine() {
  cEnvironmentFacts f;
  f.os = {"Debian GNU/Linux 12 (bookworm)", "Linux", "6.1.0-18-amd64", "#1 SMP", "x86_64"};
  f.cpu.vendor = "GenuineIntel";
  f.cpu.brand = "Intel(R) Xeon(R) Processor";
  f.cpu.clockHz = 2599.998e6;
  f.memory.totalBytes = 24682292ull * 1024;
  f.memory.availableBytes = 18245528ull * 1024;
  f.memory.virtualTotalBytes = 1ull << 47;
  f.memory.virtualAvailableBytes = (1ull << 47) - 3892ull * 1024;
  f.diskFreeBytes = 2147483647;  // a drive with more free than an int32 holds reads as its largest value
  f.screenWidth = 1920;
  f.screenHeight = 1080;
  return f;
}

TEST(EnvironmentReport, MachineLinesInTheirLayout) {
  const std::vector<std::string> expected = {
      "OS : Debian GNU/Linux 12 (bookworm) Linux 6.1.0-18-amd64 x86_64",
      "CPU : GenuineIntel Intel(R) Xeon(R) Processor 2599",
      "Mem Total : 24103.801MB",
      "Mem Free : 17818MB",
      "Vir Total : 134217728.000MB",
      "Vir Free : 134217724MB",
      "HD Free : 2048MB",
      "Display : (1920,1080)",
  };
  EXPECT_EQ(EnvironmentReportLines(sampleMachine()), expected);
}

TEST(EnvironmentReport, WhatTheSystemDoesNotSayStaysEmptyOrZero) {
  cEnvironmentFacts f;  // nothing could be read
  const std::vector<std::string> expected = {
      "OS : ",
      "CPU :   0",
      "Mem Total : 0.000MB",
      "Mem Free :   0MB",
      "Vir Total : 0.000MB",
      "Vir Free :   0MB",
      "HD Free :   0MB",
      "Display : (0,0)",
  };
  EXPECT_EQ(EnvironmentReportLines(f), expected);
  // Small amounts keep the three-column width; a processor without a brand keeps both separators.
  f.memory.availableBytes = 5ull << 20;
  f.cpu.vendor = "AuthenticAMD";
  f.cpu.clockHz = 999.9e6;
  const std::vector<std::string> lines = EnvironmentReportLines(f);
  EXPECT_EQ(lines[1], "CPU : AuthenticAMD  999");
  EXPECT_EQ(lines[3], "Mem Free :   5MB");
}

TEST(EnvironmentReport, SystemNamesAreWrittenInShiftJis) {
  cEnvironmentFacts f = sampleMachine();
  f.os.distribution = U8(u8"ゲームOS 1");
  f.cpu.brand = U8(u8"処理装置 \U0001F600");  // a character Shift-JIS lacks becomes "?"
  const std::vector<std::string> lines = EnvironmentReportLines(f);
  EXPECT_EQ(lines[0], "OS : ゲームOS 1 Linux 6.1.0-18-amd64 x86_64");
  EXPECT_EQ(lines[1], "CPU : GenuineIntel 処理装置 ? 2599");
}

TEST(EnvironmentReport, OsTextLeavesOutWhatIsUnknown) {
  EXPECT_EQ(OsVersionText({"", "Linux", "6.1.0", "#1", "aarch64"}), "Linux 6.1.0 aarch64");
  EXPECT_EQ(OsVersionText({"Alpine Linux v3.19", "", "", "", ""}), "Alpine Linux v3.19");
}

TEST(EnvironmentReport, DisplayLinesOfEachDrawingMode) {
  cDisplayFacts dd;
  dd.windowed = 1;
  dd.bpp = 32;
  dd.refreshRate = 60;
  EXPECT_EQ(DisplayReportLines(dd), (std::vector<std::string>{"Mode : Window", "Bpp : 32", "RR : 60"}));

  // Direct3D in full screen without a video system to ask (a headless run): the device's own lines.
  cDisplayFacts d3d;
  d3d.windowed = 0;
  d3d.bpp = 16;
  d3d.direct3d = true;
  d3d.maxTextureWidth = 4096;
  d3d.maxTextureHeight = 2048;
  d3d.pow2Textures = true;
  d3d.dynamicTextures = true;
  EXPECT_EQ(DisplayReportLines(d3d),
            (std::vector<std::string>{"Mode : Fullscreen", "Bpp : 16", "---デバイス0", "TextureMaxSize : (4096,2048)",
                                      "D3DPTEXTURECAPS_POW2", "D3DCAPS2_DYNAMICTEXTURES"}));

  // With a video system: its version and driver, the display and the renderer; no refresh line.
  d3d.display.known = true;
  d3d.display.videoDriver = "x11";
  d3d.display.displayName = "Screen 0";
  d3d.display.rendererName = "opengl";
  d3d.alphaFullscreenFlipOrDiscard = true;
  d3d.squareOnlyTextures = true;
  d3d.pow2Textures = false;
  d3d.dynamicTextures = false;
  const std::vector<std::string> lines = DisplayReportLines(d3d);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(SDL \d+\.\d+\.\d+ \(x11\))"))) << lines[2];
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()),
            (std::vector<std::string>{"---デバイス0", "Description : Screen 0", "Driver : opengl",
                                      "TextureMaxSize : (4096,2048)", "D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD",
                                      "D3DPTEXTURECAPS_SQUAREONLY"}));
}

// This machine's report, appended after the log's first line: every line there and well-formed.
TEST(EnvironmentReport, AppendedToTheReportLogOnThisMachine) {
  const fs::path dir = TestTempDir() / "environment_report";
  fs::create_directories(dir);
  const fs::path log = dir / "Report_Game.txt";
  ASSERT_TRUE(ReportLogInit(log.c_str()));
  ReportLogPrintf("App : ver %s", "986");
  ASSERT_EQ(ReportEnvironment(), 1);

  const std::vector<std::string> lines = fileLines(log);
  const char* const patterns[] = {
      R"(App : ver 986)",
      R"(OS : \S.* Linux \S+ \S+)",
      R"(CPU : .* \d+)",
      R"(Mem Total : \d+\.\d{3}MB)",
      R"(Mem Free : [ \d]{2}\d+MB)",
      R"(Vir Total : \d+\.\d{3}MB)",
      R"(Vir Free : [ \d]{2}\d+MB)",
      R"(HD Free : [ \d]{2}\d+MB)",
      R"(Display : \(\d+,\d+\))",
  };
  ASSERT_EQ(lines.size(), std::size(patterns)) << testing::PrintToString(lines);
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(patterns[i]))) << lines[i];
  // The free disk space is what the game sees of its own folder, at most 2048 MB.
  const int hdFree = std::stoi(lines[7].substr(lines[7].find(':') + 1));
  EXPECT_GE(hdFree, 0);
  EXPECT_LE(hdFree, 2048);

  // A log that cannot be written: the report is skipped and says so.
  fs::remove_all(dir);
  EXPECT_EQ(ReportEnvironment(), 0);
  EXPECT_FALSE(fs::exists(log));
}

}  // namespace
