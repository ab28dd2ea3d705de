// qc4 --headless --dump-audio on the generated demo game, run as its own process: the title's Ogg
// Vorbis music is heard once the title has faded in, a stage's jump sound starts within a few frames
// of the press that asks for it (with the music muted, so that nothing else sounds), every run of N
// frames gives N * 800 sample frames and the same input the same file, the player's muted volumes
// give silence, and the option is refused without --headless or with a file that cannot be written.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "data/option_data.h"
#include "test_support/dump_wave.h"
#include "test_support/fresh_game_data.h"
#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;
using test_wave::cDumpWave;
using test_wave::ReadDumpWave;

namespace {

constexpr size_t kPerFrame = 800;  // 48000 sample frames a second, 60 frames a second
// Well above the dither of silence (none: silence is exact zeros) and well below any music.
constexpr double kAudible = 0.005;

class cInFolder {
 public:
  explicit cInFolder(const fs::path& folder) : m_Old(fs::current_path()) { fs::current_path(folder); }
  ~cInFolder() { fs::current_path(m_Old); }
  cInFolder(const cInFolder&) = delete;
  cInFolder& operator=(const cInFolder&) = delete;

 private:
  fs::path m_Old;
};

class AudioDumpRunTest : public testing::Test {
 protected:
  void SetUp() override {
    m_Game = TestTempDir() / testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(MakeDemoGame(m_Game)) << "qc4-make-demo failed; is it built?";
  }

  // The player's volume steps, written as the options screen writes them.
  void SetVolumes(int music, int effects) {
    cFreshGameData fresh;
    fs::create_directories(m_Game / "user_data");
    cInFolder inGame(m_Game);
    cOptionData options;
    options.m_nBgmVolume = music;
    options.m_nSeVolume = effects;
    ASSERT_TRUE(options.SaveFile(kOptionDataPath));
  }

  // Runs qc4 with the arguments (quoted for the shell); the exit status.
  int Run(const std::string& args, bool headless = true) {
    const std::string command = "exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + kQc4 + "'" +
                                (headless ? " --headless " : " ") + args + " '" + m_Game.string() + "' >'" +
                                Output().string() + "' 2>&1";
    return exitStatus(std::system(command.c_str()));
  }
  // A headless run of `frames` frames from the start with the sound dumped to `wave`.
  int RunFromStart(int frames, const fs::path& wave) {
    return Run("--frames " + std::to_string(frames) + " --dump-audio '" + wave.string() + "'");
  }
  // A headless test play of the demo's first stage with the script.
  int TestPlay(int frames, const std::string& script, const fs::path& wave) {
    const fs::path scriptPath = m_Game.string() + ".input";
    std::ofstream(scriptPath) << script;
    return Run("--frames " + std::to_string(frames) + " --test-play 'data\\stg4\\c01-1.stg4' --input '" +
               scriptPath.string() + "' --dump-audio '" + wave.string() + "'");
  }
  fs::path Wave(const std::string& name) const { return m_Game.string() + "-" + name + ".wav"; }
  fs::path Output() const { return m_Game.string() + ".out"; }
  std::string Log() const { return readFile(Output()) + readFile(m_Game / "Report_Game.txt"); }

  fs::path m_Game;
};

// The jump presses of the stage runs: button 1 (Z) twice, once the stage's intro is over.
constexpr int kFirstJump = 100;
constexpr int kSecondJump = 160;
const char* const kJumps = "100 press Z\n112 release Z\n160 press Z\n172 release Z\n";
constexpr int kStageFrames = 200;

TEST_F(AudioDumpRunTest, TheTitleMusicIsHeardAfterTheFadeIn) {
  const fs::path wave = Wave("title");
  ASSERT_EQ(RunFromStart(240, wave), 0) << Log();
  cDumpWave w;
  ASSERT_TRUE(ReadDumpWave(wave, w));
  ASSERT_EQ(w.Frames(), 240 * kPerFrame);
  // The title has faded in within the first second; from then on its music plays.
  for (size_t second : {1, 2, 3}) {
    const double rms = w.Rms(second * 60 * kPerFrame, (second + 1) * 60 * kPerFrame);
    EXPECT_GT(rms, kAudible) << "second " << second;
  }
}

TEST_F(AudioDumpRunTest, AJumpSoundStartsWithinAFewFramesOfItsPress) {
  SetVolumes(0, 10);  // music muted, sound effects at full level
  const fs::path wave = Wave("jumps");
  ASSERT_EQ(TestPlay(kStageFrames, kJumps, wave), 0) << Log();
  cDumpWave w;
  ASSERT_TRUE(ReadDumpWave(wave, w));
  ASSERT_EQ(w.Frames(), kStageFrames * kPerFrame);
  EXPECT_EQ(w.dataSize, kStageFrames * kPerFrame * 4);
  for (int press : {kFirstJump, kSecondJump}) {
    // Nothing sounds in the frames before the press; the jump is heard within three frames after it.
    EXPECT_TRUE(w.Silent((press - 10) * kPerFrame, press * kPerFrame)) << "before frame " << press;
    EXPECT_GT(w.Rms(press * kPerFrame, (press + 3) * kPerFrame), kAudible) << "after frame " << press;
  }
}

TEST_F(AudioDumpRunTest, TheSameInputGivesTheSameFileWithEitherMidiPlayer) {
  // The stage's MIDI music, past its end and round its loop, and the jump sounds: twice with the
  // outside component's player and twice with the own stream player, whose callback thread refills
  // its buffers and restarts the song.
  const std::string ini = readFile(m_Game / "System.ini");
  ASSERT_NE(ini.find("Midi_DirectMusic=1"), std::string::npos);
  constexpr int kFrames = 900;  // the stage song lasts 768 frames
  for (const char* directMusic : {"1", "0"}) {
    std::string changed = ini;
    changed.replace(changed.find("Midi_DirectMusic=1"), 18, std::string("Midi_DirectMusic=") + directMusic);
    std::ofstream(m_Game / "System.ini", std::ios::binary) << changed;
    const fs::path first = Wave("first"), second = Wave("second");
    ASSERT_EQ(TestPlay(kFrames, kJumps, first), 0) << Log();
    ASSERT_EQ(TestPlay(kFrames, kJumps, second), 0) << Log();
    cDumpWave w;
    ASSERT_TRUE(ReadDumpWave(first, w));
    EXPECT_EQ(w.Frames(), kFrames * kPerFrame);
    // The music plays from the stage's start, and again after the song's end.
    for (size_t from : {60, 780})
      EXPECT_GT(w.Rms(from * kPerFrame, (from + 60) * kPerFrame), kAudible) << directMusic << " frame " << from;
    EXPECT_TRUE(readFile(first) == readFile(second)) << "Midi_DirectMusic=" << directMusic << ": the runs differ";
  }
}

TEST_F(AudioDumpRunTest, MutedVolumesGiveSilence) {
  SetVolumes(0, 0);
  const fs::path title = Wave("title"), stage = Wave("stage");
  ASSERT_EQ(RunFromStart(240, title), 0) << Log();
  ASSERT_EQ(TestPlay(kStageFrames, kJumps, stage), 0) << Log();
  for (const auto& [wave, frames] : {std::pair{title, 240}, std::pair{stage, kStageFrames}}) {
    cDumpWave w;
    ASSERT_TRUE(ReadDumpWave(wave, w)) << wave;
    EXPECT_EQ(w.Frames(), frames * kPerFrame) << wave;
    EXPECT_TRUE(w.Silent(0, w.Frames())) << wave;
  }
}

TEST_F(AudioDumpRunTest, IsRefusedWithoutHeadlessOrWithAFileThatCannotBeWritten) {
  EXPECT_EQ(Run("--frames 10 --dump-audio '" + Wave("window").string() + "'", false), 2) << Log();
  EXPECT_NE(readFile(Output()).find("--headless"), std::string::npos) << Log();

  const fs::path inMissingFolder = m_Game / "no-such-folder" / "sound.wav";
  EXPECT_EQ(RunFromStart(10, inMissingFolder), 3) << Log();
  EXPECT_NE(readFile(Output()).find("No such file or directory"), std::string::npos) << Log();
  // Refused before the run: the game never started, so it wrote no report log.
  EXPECT_FALSE(fs::exists(m_Game / "Report_Game.txt"));
}

}  // namespace
