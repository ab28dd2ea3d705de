#pragma once
// A test that plays a fresh demo game headless from its title, as a player would: a game folder of
// its own per test case, a run of so many frames with scripted input, and what the run printed and
// logged for the failure messages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

class cDemoRunTest : public testing::Test {
 protected:
  void SetUp() override {
    m_Game = TestTempDir() / testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(MakeDemoGame(m_Game)) << "qc4-make-demo failed; is it built?";
  }

  // Plays `frames` frames with the scripted input; the last frame shown goes to <game>.png.
  int Run(int frames, const char* input) {
    const std::filesystem::path script = m_Game.string() + ".input";
    std::ofstream(script) << input;
    const std::string command = "exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + kQc4 +
                                "' --headless --frames " + std::to_string(frames) + " --input '" + script.string() +
                                "' --dump-frame '" + m_Game.string() + ".png' '" + m_Game.string() + "' >'" +
                                Output().string() + "' 2>&1";
    return exitStatus(std::system(command.c_str()));
  }
  std::filesystem::path Output() const { return m_Game.string() + ".out"; }
  std::string Log() const { return readFile(Output()) + readFile(m_Game / "Report_Game.txt"); }

  std::filesystem::path m_Game;
};
