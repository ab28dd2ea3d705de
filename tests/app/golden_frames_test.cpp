// Golden pictures of stage play: qc4 plays a stage of the generated demo game headless with
// scripted input, and the frame it shows at a chosen frame number (--frames N --dump-frame) must
// have the pixels recorded for it, by hash, in tests/data/golden/stage_frames.txt. Two stages: the
// demo's first stage as the generator makes it, and the same stage whose hero also shoots, speaks,
// waves the screen and flashes it on buttons 2 to 5, so that the pictures show backgrounds, the
// block map, characters, items, shots, a message window, the status bar, a screen effect and the
// screen colour, in Direct3D and in DirectDraw mode (in a window, and on an 8-bit full screen).
//
// A frame that differs leaves its picture in <build>/golden-actual/ and names the frame. After a
// deliberate change of what a stage looks like, scripts/update-golden (QC4_UPDATE_GOLDEN=1) writes
// the new hashes; look at the pictures it leaves in <build>/golden-actual/ before committing them.
// QC4_GOLDEN_PROGRAM=path plays another build's qc4 against the same hashes.
//
// The pictures hold text drawn from the IPA Gothic fonts through FreeType: the golden file records
// which font files and FreeType version drew them, and a machine with others skips the comparison
// (it would compare glyph rendering, not the game) and says so.
#include <fcntl.h>
#include <ft2build.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/flow.h"
#include "data/flow_cmd.h"
#include "data/game_data.h"
#include "data/move_shot.h"
#include "data/stage_data.h"
#include "data/vocabulary_tables.h"
#include "test_support/fresh_game_data.h"
#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// The program played: this build's, or the one QC4_GOLDEN_PROGRAM names (another build's, to check
// that, say, an optimised build draws the same pixels).
std::string Qc4() {
  const char* other = std::getenv("QC4_GOLDEN_PROGRAM");
  return other && *other ? other : std::string(QC4_BINARY_DIR) + "/src/qc4";
}
const fs::path kGoldenFile = fs::path(QC4_TESTDATA_DIR) / "golden" / "stage_frames.txt";
const fs::path kActualDir = fs::path(QC4_BINARY_DIR) / "golden-actual";
// The fonts the game draws its texts with (see platform/font/font_faces.cpp).
const char* const kFontFiles[] = {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
                                  "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"};

bool Updating() {
  const char* v = std::getenv("QC4_UPDATE_GOLDEN");
  return v && *v && std::string(v) != "0";
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// 64-bit FNV-1a.
uint64_t Fnv1a(const uint8_t* bytes, size_t size, uint64_t hash = 14695981039346656037ull) {
  for (size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string Hex(uint64_t v) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

// The hash of a PNG's pixels (its size, then its RGB bytes row by row), independent of how the
// file was compressed; empty when the file is not a readable PNG.
std::string PictureHash(const fs::path& png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, png.c_str())) return "";
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return "";
  }
  const uint32_t size[2] = {image.width, image.height};
  uint64_t hash = Fnv1a(reinterpret_cast<const uint8_t*>(size), sizeof size);
  return Hex(Fnv1a(pixels.data(), pixels.size(), hash));
}

// What draws the pictures' texts here: the font files' sizes and FreeType's version.
std::string FontIdentity() {
  std::string id;
  for (const char* file : kFontFiles) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    id += std::to_string(ec ? 0 : size) + " ";
  }
  FT_Library library = nullptr;
  FT_Int major = 0, minor = 0, patch = 0;
  if (FT_Init_FreeType(&library) == 0) {
    FT_Library_Version(library, &major, &minor, &patch);
    FT_Done_FreeType(library);
  }
  return id + "freetype " + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

// ---- the golden file: "fonts <identity>" and "<case> <hash>" lines, "#" comments -------------

struct cGolden {
  std::string strFonts;
  std::map<std::string, std::string> hashes;
};

cGolden ReadGolden() {
  cGolden golden;
  std::istringstream in(ReadText(kGoldenFile));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("fonts ", 0) == 0) {
      golden.strFonts = line.substr(6);
      continue;
    }
    const size_t space = line.find(' ');
    if (space != std::string::npos) golden.hashes[line.substr(0, space)] = line.substr(space + 1);
  }
  return golden;
}

// Records one case's hash (and the fonts it was drawn with), keeping the other cases; cases run as
// processes of their own at the same time, so the file is rewritten under a lock.
void UpdateGolden(const std::string& name, const std::string& hash) {
  fs::create_directories(kActualDir);
  const int lock = ::open((kActualDir / "update.lock").c_str(), O_CREAT | O_RDWR, 0644);
  if (lock >= 0) ::flock(lock, LOCK_EX);
  cGolden golden = ReadGolden();
  golden.strFonts = FontIdentity();
  golden.hashes[name] = hash;
  const fs::path temp = kGoldenFile.string() + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << "# Pixel hashes of headless stage frames (tests/app/golden_frames_test.cpp). Written by\n"
           "# scripts/update-golden only; the fonts line names what drew their texts.\n";
    out << "fonts " << golden.strFonts << "\n";
    for (const auto& [caseName, caseHash] : golden.hashes) out << caseName << " " << caseHash << "\n";
  }
  fs::rename(temp, kGoldenFile);
  if (lock >= 0) {
    ::flock(lock, LOCK_UN);
    ::close(lock);
  }
}

// ---- the stages --------------------------------------------------------------------------------

// Keys of a key-input step: direction patterns 0-9, then "no button" and buttons 1-8.
constexpr int kKeyButton = 10;
// Character command kinds.
constexpr int8_t kCmdShot = 11;
constexpr int8_t kCmdMessage = 19;
constexpr int8_t kCmdScreenEffect = 31;
constexpr int8_t kCmdScreenColour = 33;
constexpr int kMessageParams = 21;
// The screen effect the hero starts: database entry 1, made a horizontal wave.
constexpr int kWaveEffect = 1;
constexpr int32_t kEffectHorizontalWave = 6;

// A flow that runs its command once each time button n is pressed.
cFlow OnButton(int button, const cFlowCmd& cmd) {
  cKeyCond step;
  step.m_anKeyStates[static_cast<size_t>(kKeyButton + button)] = 1;
  step.m_bAnyHold = 1;
  cFlow flow;
  flow.m_nTrigger = 0;  // always
  flow.m_aKeyConds.push_back(step);
  flow.m_aCmds.push_back(cmd);
  return flow;
}

cFlowCmd ShotForward() {
  cFlowCmd cmd;
  cmd.m_nKind = kCmdShot;
  cmd.m_anParams = {0};
  cmd.m_pShot = std::make_shared<cEdShot>();
  cmd.m_pShot->m_nPerRow = 3;  // three shots a row, spread
  cmd.m_pShot->m_nSpread = 15;
  cmd.m_pShot->m_nDirection = kMoveDirFront;
  cmd.m_pShot->m_nSpeed = 50;
  cmd.m_pShot->m_nGraphic = 31;
  cmd.m_pShot->m_nPower = 1;
  return cmd;
}

cFlowCmd Message(const char* text) {
  cFlowCmd cmd;
  cmd.m_nKind = kCmdMessage;
  cmd.m_strText = text;
  cmd.m_anParams.assign(kMessageParams, 0);
  cmd.m_anParams[6] = 2;   // closes after its time
  cmd.m_anParams[7] = 20;  // of 2 seconds
  cmd.m_anParams[14] = 1;  // in a box
  return cmd;
}

cFlowCmd ScreenEffect() {
  cFlowCmd cmd;
  cmd.m_nKind = kCmdScreenEffect;
  cmd.m_anParams = {kWaveEffect, 0, 0};
  return cmd;
}

cFlowCmd ScreenFlash() {
  cFlowCmd cmd;
  cmd.m_nKind = kCmdScreenColour;
  // White at 60 %, ramped in over 2 time units (12 frames), flashed 3 times.
  cmd.m_anParams = {255, 255, 255, 60, 0, 2, 1, 3};
  return cmd;
}

// Runs in the game folder: makes database screen effect 1 a horizontal wave, and writes the
// first demo stage again as "golden.stg4_000" with the hero's extra flows.
bool WriteGoldenStage() {
  cFreshGameData fresh;
  const std::string effects = std::string("data\\database\\") + DatabaseFileName(kDbScrEffect);
  if (!g_Database.LoadDatabaseFile(kDbScrEffect, effects)) return false;
  if (g_Database.m_aScrEffect.size() < 2) g_Database.m_aScrEffect.resize(2);
  cScrEffectData& wave = g_Database.m_aScrEffect[kWaveEffect];
  wave.m_strName = "波";
  wave.m_nKind = kEffectHorizontalWave;
  // 3 seconds, from 4 to 16 dots wide, 3 waves, rows moved in pairs.
  const int32_t params[5] = {30, 4, 16, 3, 2};
  std::copy(std::begin(params), std::end(params), wave.m_anParams);
  if (!g_Database.SaveDatabaseFile(kDbScrEffect, effects)) return false;

  cStageData stage;
  if (!stage.LoadFile("data\\stg4\\c01-1.stg4_000")) return false;
  const int hero = stage.FindHero();
  if (hero < 0) return false;
  std::vector<cFlow>& flows = stage.m_aCharas[static_cast<size_t>(hero)].m_aFlows;
  flows.push_back(OnButton(2, ShotForward()));
  flows.push_back(OnButton(3, Message("ゴールをめざせ！")));
  flows.push_back(OnButton(4, ScreenEffect()));
  flows.push_back(OnButton(5, ScreenFlash()));
  return stage.SaveFile("data\\stg4\\golden.stg4_000") != 0;
}

// The input of every run: walk right, jump onto the beetle, jump again and stop on the lift that
// waits at the gap, and (in the golden stage) shoot, speak, start the wave and flash the screen. X,
// C, V and A are buttons 2 to 5.
const char* const kInput =
    "20 press RIGHT\n"
    "60 press X\n62 release X\n"
    "80 press X\n82 release X\n"
    "100 press C\n102 release C\n"
    "130 press Z\n150 release Z\n"
    "160 press V\n162 release V\n"
    "200 press A\n202 release A\n"
    "215 press Z\n235 release Z\n"
    "257 release RIGHT\n";

// ---- the cases ---------------------------------------------------------------------------------

struct cFrameCase {
  const char* stage;  // "demo": data\stg4\c01-1, "golden": data\stg4\golden
  const char* mode;   // "d3d", "dd" or "dd8"
  int frames;
  const char* shows;  // what the frame was chosen for
};

std::string CaseName(const cFrameCase& c) {
  char frame[16];
  std::snprintf(frame, sizeof frame, "%04d", c.frames);
  return std::string(c.stage) + "_" + c.mode + "_" + frame;
}

// How a case shows in test listings (its name, not its bytes).
void PrintTo(const cFrameCase& c, std::ostream* out) { *out << CaseName(c); }

class GoldenFrames : public testing::TestWithParam<cFrameCase> {
 protected:
  // The demo game (with the golden stage) in a folder of this process, its display mode set.
  static fs::path Game(const std::string& mode) {
    const fs::path game = TestTempDir() / ("golden_" + mode);
    if (fs::exists(game / "data" / "stg4" / "golden.stg4_000")) return game;
    if (!MakeDemoGame(game)) return {};
    const fs::path start = fs::current_path();
    fs::current_path(game);
    const bool written = WriteGoldenStage();
    fs::current_path(start);
    if (!written) return {};
    // The demo's settings but the display: Direct3D or DirectDraw in a window (of the desktop's 32
    // bits), or DirectDraw on an 8-bit full screen.
    const char* display = mode == "d3d"   ? "Direct3D=1\r\nWindowMode=1\r\nBpp=0"
                          : mode == "dd8" ? "Direct3D=0\r\nWindowMode=0\r\nBpp=8"
                                          : "Direct3D=0\r\nWindowMode=1\r\nBpp=0";
    std::ofstream(game / "System.ini", std::ios::binary) << display << "\r\nVSync=2\r\nShowFps=0\r\nExit\r\n";
    std::ofstream(game.string() + ".input") << kInput;
    return game;
  }

  // Plays the case headless and dumps its last frame to `png`; the exit status.
  static int Play(const cFrameCase& c, const fs::path& game, const fs::path& png, std::string& output) {
    const fs::path log = png.string() + ".out";
    const std::string stage = std::string(c.stage) == "demo" ? "c01-1" : "golden";
    const std::string command = "exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + Qc4() +
                                "' --headless --frames " + std::to_string(c.frames) + " --test-play 'data\\stg4\\" +
                                stage + ".stg4' --input '" + game.string() + ".input' --dump-frame '" + png.string() +
                                "' '" + game.string() + "' >'" + log.string() + "' 2>&1";
    const int status = exitStatus(std::system(command.c_str()));
    output = ReadText(log);
    return status;
  }
};

TEST_P(GoldenFrames, TheFrameShowsWhatItShowedWhenRecorded) {
  const cFrameCase& c = GetParam();
  const std::string name = CaseName(c);
  const fs::path game = Game(c.mode);
  ASSERT_FALSE(game.empty()) << "could not make the demo game with the golden stage; is qc4-make-demo built?";
  const fs::path png = TestTempDir() / (name + ".png");
  std::string output;
  ASSERT_EQ(Play(c, game, png, output), 0) << output;
  const std::string hash = PictureHash(png);
  ASSERT_FALSE(hash.empty()) << "no readable frame in " << png << "\n" << output;

  if (Updating()) {
    UpdateGolden(name, hash);
    fs::create_directories(kActualDir);
    fs::copy_file(png, kActualDir / (name + ".png"), fs::copy_options::overwrite_existing);
    return;
  }
  const cGolden golden = ReadGolden();
  const auto expected = golden.hashes.find(name);
  ASSERT_NE(expected, golden.hashes.end())
      << name << " has no golden hash in " << kGoldenFile << "; record it with scripts/update-golden";
  if (golden.strFonts != FontIdentity())
    GTEST_SKIP() << "the golden pictures' texts were drawn by other fonts (" << golden.strFonts << ", here "
                 << FontIdentity() << ")";
  if (hash != expected->second) {
    fs::create_directories(kActualDir);
    const fs::path kept = kActualDir / (name + ".png");
    fs::copy_file(png, kept, fs::copy_options::overwrite_existing);
    ADD_FAILURE() << "frame " << c.frames << " of the " << c.stage << " stage in " << c.mode << " mode (" << c.shows
                  << ") differs from its golden picture: hash " << hash << ", golden " << expected->second
                  << "; the frame is " << kept;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stage, GoldenFrames,
    testing::Values(cFrameCase{"demo", "d3d", 30, "the stage's start: layers, blocks, hero, beetle, coins, status bar"},
                    cFrameCase{"demo", "d3d", 240, "the view scrolled after a walk and a jump"},
                    cFrameCase{"demo", "dd", 240, "the view scrolled after a walk and a jump"},
                    cFrameCase{"golden", "d3d", 90, "shots flying"},
                    cFrameCase{"golden", "d3d", 120, "a message window and shots"},
                    cFrameCase{"golden", "d3d", 180, "the wave screen effect"},
                    cFrameCase{"golden", "d3d", 208, "the screen colour's flash under the wave"},
                    cFrameCase{"golden", "dd", 120, "a message window and shots"},
                    cFrameCase{"golden", "dd", 180, "the wave screen effect"},
                    cFrameCase{"golden", "dd8", 180, "the wave screen effect on a palette screen"},
                    cFrameCase{"golden", "dd8", 208, "the screen colour's flash in the palette"},
                    cFrameCase{"golden", "d3d", 400, "after the effects, the view further on: the hero on the lift"}),
    [](const testing::TestParamInfo<cFrameCase>& info) { return CaseName(info.param); });

// The same input gives the same pictures: a headless run's clock moves only with its frames, and
// nothing else (threads, the wall clock, sound) reaches what is drawn.
TEST(GoldenFramesRuns, TwoRunsShowTheSameFrame) {
  const cFrameCase c{"golden", "d3d", 190, "the wave and the message"};
  struct cGame : GoldenFrames {
    using GoldenFrames::Game;
    using GoldenFrames::Play;
    void TestBody() override {}
  };
  const fs::path game = cGame::Game(c.mode);
  ASSERT_FALSE(game.empty());
  std::string hashes[2];
  for (int run = 0; run < 2; ++run) {
    const fs::path png = TestTempDir() / ("twice" + std::to_string(run) + ".png");
    std::string output;
    ASSERT_EQ(cGame::Play(c, game, png, output), 0) << output;
    hashes[run] = PictureHash(png);
    ASSERT_FALSE(hashes[run].empty()) << output;
  }
  EXPECT_EQ(hashes[0], hashes[1]);
}

}  // namespace
