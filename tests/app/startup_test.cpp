// The whole start-up of the qc4 program on the generated demo game, run as its own process without a
// window: in both drawing modes and at every depth it starts, shows the loading picture while it loads (nothing draws
// over it yet) and ends cleanly; a missing required file ends it with the game's own message.
#include <gtest/gtest.h>

#include <png.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/option_bytes.h"
#include "data/system_data.h"
#include "platform/bmp/bmp_reader.h"
#include "stage/stage_files.h"
#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Narrow literals here are CP932; paths and output are UTF-8.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct Frame {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};

bool readPng(const fs::path& path, Frame& frame) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return false;
  frame.width = static_cast<int>(image.width);
  frame.height = static_cast<int>(image.height);
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  frame.pixels = std::move(pixels);
  return true;
}

// A fresh demo game in its own folder of this test process.
class StartupTest : public testing::Test {
 protected:
  void SetUp() override {
    m_game = TestTempDir() / testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(MakeDemoGame(m_game)) << "qc4-make-demo failed; is it built?";
  }

  void writeIni(int direct3d, int windowMode = 1, int bpp = 0) {
    std::ofstream ini(m_game / "System.ini", std::ios::binary);
    ini << "Direct3D=" << direct3d << "\r\nWindowMode=" << windowMode << "\r\nBpp=" << bpp
        << "\r\nVSync=2\r\nShowFps=0\r\nExit\r\n";
  }

  // Gives the project its own transparent colour instead of the palette picture's.
  void setOwnTransparentColour(uint8_t red, uint8_t green, uint8_t blue) {
    const std::string path = (m_game / "data" / "System.dat").string();
    cSystemData settings;
    ASSERT_EQ(settings.LoadFile(path), 1);
    settings.m_nViewMask = 1;
    settings.m_byColour187R = red;
    settings.m_byColour187G = green;
    settings.m_byColour187B = blue;
    ASSERT_EQ(settings.SaveFile(path), 1);
  }

  // An 8-bit blend table "bmp\hbt\hbtNN.dat" of the given size: 256 x 256 palette numbers, here each
  // pair's first colour.
  void writeBlendTable(int number, size_t size = 65536) {
    char name[32];
    std::snprintf(name, sizeof name, "hbt%02d.dat", number);
    fs::create_directories(m_game / "bmp" / "hbt");
    std::string table(size, '\0');
    for (size_t i = 0; i < size; ++i) table[i] = static_cast<char>(i >> 8);
    std::ofstream(m_game / "bmp" / "hbt" / name, std::ios::binary) << table;
  }

  // Runs qc4 headless for `frames` frames with the last frame dumped; the exit status.
  int runQc4(int frames) {
    return runQc4With("--frames " + std::to_string(frames) + " --dump-frame '" + dumpPath().string() + "' '" +
                      m_game.string() + "'");
  }
  // Runs qc4 headless with the given arguments (quoted for the shell), started in `folder`; the exit
  // status. Its output goes to a file beside the game folder (output()).
  int runQc4With(const std::string& args, const fs::path& folder = fs::current_path()) {
    const std::string command = "cd '" + folder.string() + "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + kQc4 +
                                "' --headless " + args + " >'" + outputPath().string() + "' 2>&1";
    return exitStatus(std::system(command.c_str()));
  }
  fs::path outputPath() const { return m_game.parent_path() / (m_game.filename().string() + ".out"); }
  std::string output() const { return readFile(outputPath()); }

  fs::path dumpPath() const { return m_game / "frame.png"; }
  std::string report() const { return readFile(m_game / "Report_Game.txt"); }

  fs::path m_game;
};

struct DisplayCase {
  const char* name;
  int direct3d;
  int windowMode;
  int bpp;  // 0: the desktop's in a window
  bool ownTransparentColour;
};

class StartupModeTest : public StartupTest, public testing::WithParamInterface<DisplayCase> {};

TEST_P(StartupModeTest, ShowsTheTitleAndEndsCleanly) {
  const DisplayCase& c = GetParam();
  // At 8 bits the demo's own blend table of the player's colour serves.
  writeIni(c.direct3d, c.windowMode, c.bpp);
  if (c.ownTransparentColour) setOwnTransparentColour(255, 0, 255);
  ASSERT_EQ(runQc4(30), 0) << output() << report();
  EXPECT_EQ(report().rfind("App : ver 986", 0), 0u) << report();
  // Direct3D set-up writes its device lines; DirectDraw does not.
  EXPECT_EQ(report().find("Device HAL") != std::string::npos, c.direct3d == 1) << report();

  Frame frame;
  ASSERT_TRUE(readPng(dumpPath(), frame)) << output();
  ASSERT_EQ(frame.width, 640);
  ASSERT_EQ(frame.height, 480);
  size_t lit = 0;
  for (uint32_t p : frame.pixels) lit += p != 0;
  EXPECT_GT(lit, 0u) << "the frame is all black";

  // The title has faded in: above its menu (which starts at y 240) the frame is the title picture,
  // pixel for pixel (at 16 bits, to the bits such a screen holds): the palette, the transparent colour
  // and the picture's colours all came through.
  const uint32_t kept = c.bpp == 16 ? 0xF8F8F8 : 0xFFFFFF;
  BmpDecodeResult title = LoadBmpFile((m_game / "bmp" / "Title.bmp").string());
  ASSERT_TRUE(title.ok());
  ASSERT_EQ(title.image.width, 640);
  ASSERT_EQ(title.image.height, 480);
  size_t differing = 0;
  for (size_t i = 0; i < 640u * 240u; ++i) differing += (frame.pixels[i] & kept) != (title.image.pixels[i] & kept);
  EXPECT_EQ(differing, 0u);
}

// Both drawing modes in a window, and full screen at every depth each mode allows, with and without
// the project's own transparent colour (which rules 8 bits out).
INSTANTIATE_TEST_SUITE_P(DisplayModes, StartupModeTest,
                         testing::Values(DisplayCase{"Direct3DWindow", 1, 1, 0, false},
                                         DisplayCase{"DirectDrawWindow", 0, 1, 0, false},
                                         DisplayCase{"Direct3DFullScreen16", 1, 0, 16, false},
                                         DisplayCase{"DirectDrawFullScreen16", 0, 0, 16, false},
                                         DisplayCase{"DirectDrawFullScreen8", 0, 0, 8, false},
                                         DisplayCase{"Direct3DOwnColour16", 1, 0, 16, true},
                                         DisplayCase{"DirectDrawOwnColour16", 0, 0, 16, true},
                                         DisplayCase{"DirectDrawOwnColour32", 0, 0, 32, true}),
                         [](const testing::TestParamInfo<DisplayCase>& info) { return std::string(info.param.name); });

// Each required file of the game folder missing: start-up ends. The world map and the common
// palette show their load message (unanswered in a headless run, so the run fails); the palette
// picture ends start-up without a box, before anything was shown.
TEST_F(StartupTest, MissingRequiredFilesEndStartUp) {
  struct Case {
    const char* file;
    const char* gamePath;  // as the message names it; null: no message
    int status;
  };
  const Case cases[] = {
      {"data/WorldMap.dat", "data\\WorldMap.dat", 1},
      {"data/CommonPalette.cplt4", "data\\CommonPalette.cplt4", 1},
      {"bmp/plt/Palette.bmp", nullptr, 0},
  };
  writeIni(1);
  const fs::path keep = m_game / "kept";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    fs::rename(m_game / c.file, keep);
    fs::remove(dumpPath());
    EXPECT_EQ(runQc4(30), c.status) << output();
    const std::string log = report();
    if (c.gamePath)
      EXPECT_NE(log.find(std::string(c.gamePath) + " のロードに失敗！"), std::string::npos) << log;
    else
      EXPECT_EQ(log.find("のロードに失敗"), std::string::npos) << log;
    // The loading picture is shown after the palette is set and before the last two files load.
    EXPECT_EQ(fs::exists(dumpPath()), c.gamePath != nullptr);
    fs::rename(keep, m_game / c.file);
  }
  // With everything back the game starts again.
  EXPECT_EQ(runQc4(5), 0) << output();
}

// "ShowFps=2" draws the frames-per-second text every frame with font 0 at (549, 469) over the
// title: it is there, in the fonts' text colour (palette number 241, whose colour the palette picture
// holds at pixel (1, 8 + 15)), in both drawing modes. The glyphs' edges are smoothed into the picture
// under them, so pixels close to the text colour count, against the same frame without the text.
TEST_F(StartupTest, FramesPerSecondTextInTheFontColour) {
  BmpDecodeResult palette = LoadBmpFile((m_game / "bmp" / "plt" / "Palette.bmp").string());
  ASSERT_TRUE(palette.ok());
  const uint32_t textColour = palette.image.PixelAt(1, 23) & 0xFFFFFF;
  const auto near = [&](uint32_t pixel) {
    for (int shift : {0, 8, 16}) {
      const int a = static_cast<int>((pixel >> shift) & 0xFF), b = static_cast<int>((textColour >> shift) & 0xFF);
      if (a - b > 24 || b - a > 24) return false;
    }
    return true;
  };
  for (int direct3d : {1, 0}) {
    SCOPED_TRACE(direct3d);
    int textPixels[2] = {0, 0};
    for (int showFps : {0, 2}) {
      {
        std::ofstream ini(m_game / "System.ini", std::ios::binary);
        ini << "Direct3D=" << direct3d << "\r\nWindowMode=1\r\nShowFps=" << showFps << "\r\nExit\r\n";
      }
      ASSERT_EQ(runQc4(30), 0) << output();
      Frame frame;
      ASSERT_TRUE(readPng(dumpPath(), frame));
      ASSERT_EQ(frame.width, 640);
      for (int y = 469; y < 480; ++y)
        for (int x = 549; x < 640; ++x) textPixels[showFps / 2] += near(frame.pixels[static_cast<size_t>(y) * 640 + x]);
    }
    EXPECT_GT(textPixels[1] - textPixels[0], 10) << textPixels[0] << " " << textPixels[1];
  }
}

// At 8 bits start-up loads the blend table of the player's colour option: the option's table must be
// there, whole; at other depths no table is read.
TEST_F(StartupTest, EightBitsLoadTheBlendTableOfThePlayersColour) {
  fs::create_directories(m_game / "user_data");
  cOptionFileValues options;
  options.colour = 5;
  const std::vector<uint8_t> bytes = OptionFile(986, options);
  std::ofstream(m_game / "user_data" / "Option.dat", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  fs::remove_all(m_game / "bmp" / "hbt");
  writeBlendTable(0);
  writeIni(0, 0, 8);
  // Only table 0: the player's table 5 is missing, its message ends start-up (unanswered here).
  EXPECT_EQ(runQc4(5), 1) << output();
  EXPECT_NE(output().find("bmp\\hbt\\hbt05.dat"), std::string::npos) << output();
  // A table cut short is no table.
  writeBlendTable(5, 1000);
  EXPECT_EQ(runQc4(5), 1) << output();
  writeBlendTable(5);
  EXPECT_EQ(runQc4(5), 0) << output() << report();
  // 16 bits read no table.
  fs::remove_all(m_game / "bmp" / "hbt");
  writeIni(0, 0, 16);
  EXPECT_EQ(runQc4(5), 0) << output() << report();
}

// "FreeStage" starts its stage straight away: the newest numbered variant of it, whatever number the
// setting carries (the hero of _010 stands at column 6, that of _002 at column 1); a stage that is
// not there is only reported and the game starts at its title; a stage that is there but does not
// load ends start-up, and nothing of the player's is written.
TEST_F(StartupTest, FreeStageStartsTheNewestVariant) {
  cStageBytes older = SmallStage(12, 6);
  older.charas = {PlacedChara(0, 1, 4)};
  cStageBytes newer = SmallStage(12, 6);
  newer.charas = {PlacedChara(0, 6, 4)};
  WriteBytes(m_game / "data" / "stg4" / "free.stg4_002", StageFile(986, older));
  WriteBytes(m_game / "data" / "stg4" / "free.stg4_010", StageFile(986, newer));
  auto writeFreeStage = [&](const std::string& stage) {
    std::ofstream ini(m_game / "System.ini", std::ios::binary);
    ini << "Direct3D=0\r\nWindowMode=1\r\nShowFps=0\r\nFreeStage=" << stage << "\r\nExit\r\n";
  };
  const fs::path trace = m_game.parent_path() / (m_game.filename().string() + ".trace");
  auto firstHeroX = [&]() -> long long {
    const std::string text = readFile(trace);
    const size_t at = text.find("\"x\":");
    return at == std::string::npos ? -1 : std::stoll(text.substr(at + 4));
  };

  writeFreeStage("data\\stg4\\free.stg4_002");
  ASSERT_EQ(runQc4With("--frames 60 --trace '" + trace.string() + "' '" + m_game.string() + "'"), 0) << output();
  // The hero stands in cell 6 of the stage, map cell 6 + 10 (cells of 32 pixels).
  EXPECT_EQ(firstHeroX() / 32, 6 + 10) << readFile(trace);
  EXPECT_EQ(report().find("の読み込みに失敗しました！"), std::string::npos) << report();

  writeFreeStage("data\\stg4\\none.stg4");
  fs::remove(trace);
  ASSERT_EQ(runQc4With("--frames 30 --trace '" + trace.string() + "' '" + m_game.string() + "'"), 0) << output();
  EXPECT_NE(report().find("「data\\stg4\\none.stg4」の読み込みに失敗しました！\n"), std::string::npos) << report();
  EXPECT_EQ(firstHeroX(), -1) << "no stage plays at the title";
  // The game ran: its list positions were written at the end.
  EXPECT_TRUE(fs::exists(m_game / "user_data" / "Free.dat"));

  // The newest variant without a hero: its loader's message (answered here), then the run ends.
  cStageBytes noHero = SmallStage(12, 6);
  noHero.charas = {PlacedChara(1, 2, 4)};
  WriteBytes(m_game / "data" / "stg4" / "free.stg4_011", StageFile(986, noHero));
  writeFreeStage("data\\stg4\\free.stg4");
  fs::remove(trace);
  fs::remove_all(m_game / "user_data");
  const fs::path script = m_game.parent_path() / (m_game.filename().string() + ".input");
  std::ofstream(script) << "answer ok\n";
  EXPECT_EQ(runQc4With("--frames 30 --input '" + script.string() + "' --trace '" + trace.string() + "' '" +
                       m_game.string() + "'"),
            0)
      << output();
  EXPECT_EQ(firstHeroX(), -1);
  EXPECT_FALSE(fs::exists(m_game / "user_data" / "Free.dat"));
  EXPECT_FALSE(fs::exists(m_game / "user_data" / "Replay.dat"));
}

// A project with its own transparent colour cannot run at 8 bits: the display-mode message (a box
// only, unanswered here) ends start-up before the display exists.
TEST_F(StartupTest, OwnTransparentColourRefusesEightBits) {
  writeIni(0, 0, 8);
  setOwnTransparentColour(0, 177, 0);
  EXPECT_EQ(runQc4(30), 1) << output();
  EXPECT_FALSE(fs::exists(dumpPath()));
}

// "user_data\Window.dat" is where the player last left the window. A headless run has no window the
// player placed (it stands on a made-up desktop), so its close leaves the file as it was, or writes
// none, in every drawing mode and window mode.
TEST_F(StartupTest, HeadlessRunLeavesTheWindowPlacementAlone) {
  const fs::path windowData = m_game / "user_data" / "Window.dat";
  // Version, five int32 fields x, y, width, height, zoomed, no strings: a placement of another desktop.
  const std::vector<int32_t> words = {986, 5, 2500, 40, 1280, 960, 0, 0};
  std::string stored(reinterpret_cast<const char*>(words.data()), words.size() * 4);
  struct Case {
    int direct3d;
    int windowMode;
  };
  for (const Case& c : {Case{1, 1}, Case{0, 1}, Case{1, 2}}) {
    SCOPED_TRACE(std::to_string(c.direct3d) + " " + std::to_string(c.windowMode));
    writeIni(c.direct3d, c.windowMode);
    fs::remove(windowData);
    ASSERT_EQ(runQc4(3), 0) << output();
    EXPECT_FALSE(fs::exists(windowData));
    // The game ran to its normal end: the player's other files were written.
    EXPECT_TRUE(fs::exists(m_game / "user_data" / "Free.dat"));

    std::ofstream(windowData, std::ios::binary) << stored;
    ASSERT_EQ(runQc4(3), 0) << output();
    EXPECT_EQ(readFile(windowData), stored);
  }
}

// Paths on the command line are this system's (UTF-8): a frame dump named "café.png" is that file,
// relative to where qc4 was started, and a game folder whose name Shift-JIS lacks still gets its
// report log.
TEST_F(StartupTest, CommandLinePathsAreTheSystemsPaths) {
  // (Texts with characters Shift-JIS lacks stay out of the test macros, which quote their arguments
  // as narrow literals.)
  const std::string gameName = U8(u8"ゲーム-é");
  const std::string dumpName = U8(u8"café.png");
  const std::string namedStage = U8(u8"data/stg4/ステージ.stg4");
  const std::string unnamedStage = U8(u8"data/stg4/é.stg4");
  const fs::path game = m_game.parent_path() / gameName;
  fs::remove_all(game);
  fs::rename(m_game, game);
  m_game = game;
  const fs::path start = m_game.parent_path() / "start";
  fs::create_directories(start);
  writeIni(1);
  const std::string gameArg = " '" + m_game.string() + "'";
  ASSERT_EQ(runQc4With("--frames 3 --dump-frame " + dumpName + gameArg, start), 0) << output();
  EXPECT_TRUE(fs::exists(start / dumpName)) << output();
  EXPECT_EQ(report().rfind("App : ver 986", 0), 0u);
  // A test-play stage is handed to the game as its own text, and found on disk under its name in
  // UTF-8; one it cannot name is refused.
  fs::copy_file(m_game / "data" / "stg4" / "c01-1.stg4_000", m_game / (namedStage + "_000"));
  EXPECT_EQ(runQc4With("--frames 3 --test-play " + namedStage + gameArg), 0) << output();
  EXPECT_EQ(runQc4With("--frames 3 --test-play " + unnamedStage + gameArg), 2);
  EXPECT_NE(output().find("the path holds characters the game cannot name"), std::string::npos) << output();
}

// Exit statuses: 2 only for a bad command line or a game folder that does not exist; a report log
// that cannot be written (here a folder stands in its place, which stops root too) and a frame dump
// that cannot be written fail the run with 3 and say why.
TEST_F(StartupTest, ExitStatusesSayWhatWentWrong) {
  writeIni(1);
  EXPECT_EQ(runQc4With("--frames 3 '" + (m_game / "missing").string() + "'"), 2);
  EXPECT_NE(output().find("No such file or directory"), std::string::npos) << output();
  EXPECT_EQ(runQc4With("--frames 3 --no-such-option"), 2);
  EXPECT_EQ(
      runQc4With("--frames 3 --dump-frame '" + (m_game / "missing" / "f.png").string() + "' '" + m_game.string() + "'"),
      3);
  EXPECT_NE(output().find("cannot write"), std::string::npos) << output();

  fs::remove(m_game / "Report_Game.txt");
  fs::create_directory(m_game / "Report_Game.txt");
  EXPECT_EQ(runQc4With("--frames 3 '" + m_game.string() + "'"), 3);
  EXPECT_NE(
      output().find("qc4: cannot write the report log " + (m_game / "Report_Game.txt").string() + " (Is a directory)"),
      std::string::npos)
      << output();
  fs::remove(m_game / "Report_Game.txt");
  EXPECT_EQ(runQc4With("--frames 3 '" + m_game.string() + "'"), 0) << output();
}

// An output named on the command line that cannot be written is refused before the run starts (no
// report log is begun), with the path and the system's reason.
TEST_F(StartupTest, OutputsThatCannotBeWrittenAreRefusedBeforeTheRun) {
  fs::create_directories(m_game.parent_path() / "a-folder");
  const std::string missing = (m_game.parent_path() / "missing" / "out").string();
  const std::string folder = (m_game.parent_path() / "a-folder").string();
  struct Case {
    std::string option;
    std::string path;
    const char* reason;
  };
  const Case cases[] = {
      {"--trace", missing, "No such file or directory"},      {"--record-replay", missing, "No such file or directory"},
      {"--dump-frame", missing, "No such file or directory"}, {"--trace", folder, "Is a directory"},
      {"--record-replay", folder, "Is a directory"},          {"--dump-frame", folder, "Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option + " " + c.path);
    EXPECT_EQ(runQc4With("--frames 3 " + c.option + " '" + c.path + "' '" + m_game.string() + "'"), 3);
    EXPECT_NE(output().find("qc4: cannot write "), std::string::npos) << output();
    EXPECT_NE(output().find(std::string("(") + c.reason + ")"), std::string::npos) << output();
    EXPECT_FALSE(fs::exists(m_game / "Report_Game.txt"));
  }
}

// Without a display and without --headless the window could not be seen: the run says so and ends
// with status 3. A video driver chosen through SDL_VIDEODRIVER is the user's to take.
TEST_F(StartupTest, WithoutADisplayOnlyAHeadlessRunOrAChosenDriverStarts) {
  writeIni(1);
  auto run = [&](const std::string& driver) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + driver +
                                " SDL_AUDIODRIVER=dummy '" + kQc4 + "' --frames 3 '" + m_game.string() + "' >'" +
                                outputPath().string() + "' 2>&1";
    return exitStatus(std::system(command.c_str()));
  };
  EXPECT_EQ(run(""), 3);
  EXPECT_NE(output().find("there is no display"), std::string::npos) << output();
  EXPECT_NE(output().find("--headless"), std::string::npos) << output();
  EXPECT_EQ(run("SDL_VIDEODRIVER=dummy"), 0) << output();
}

}  // namespace
