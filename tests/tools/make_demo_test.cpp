// Runs qc4-make-demo into a fresh folder and reads everything it wrote back through the game's own
// readers: every data file through its record's LoadFile, every bitmap through the bitmap decoder,
// the music through the MIDI file reader and the Ogg Vorbis decoder, the sound effects through the
// WAVE reader and "System.ini" through the settings reader.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/palette.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "data/temp_folder.h"
#include "data/world_map.h"
#include "media/sound/smf.h"
#include "platform/audio/audio_mixer.h"
#include "platform/audio/ogg_stream.h"
#include "platform/audio/wave_file.h"
#include "platform/bmp/bmp_reader.h"
#include "shell/system_ini.h"
#include "test_support/program_run.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The generator runs once for the whole suite; each test reads the folder it wrote.
class MakeDemoTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_folder = new cTempFolder();
    s_game = s_folder->Prefix() + "game";
    const std::string command = "'" + kMakeDemo + "' '" + s_game + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    s_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static void TearDownTestSuite() {
    delete s_folder;
    s_folder = nullptr;
  }
  void SetUp() override { ASSERT_EQ(s_status, 0) << "qc4-make-demo failed; is it built?"; }

  // A game path of the demo ("bmp\Title.bmp") as a path the readers accept.
  static std::string At(const std::string& gamePath) {
    std::string path = gamePath;
    for (char& c : path)
      if (c == '\\') c = '/';
    return s_game + "/" + path;
  }

  static cTempFolder* s_folder;
  static std::string s_game;
  static inline cAudioMixer s_mixer;  // a mixer of its own, which nothing pulls
  static int s_status;
};

cTempFolder* MakeDemoTest::s_folder = nullptr;
std::string MakeDemoTest::s_game;
int MakeDemoTest::s_status = -1;

TEST_F(MakeDemoTest, ProjectSettingsLoadWithTitleSoundsAndMusic) {
  cSystemData settings;
  ASSERT_EQ(settings.LoadFile(At("data\\System.dat")), 1);
  EXPECT_EQ(g_nFileVersion, kDataVersion);
  EXPECT_EQ(settings.m_strTitle, "qc4 デモ");
  ASSERT_EQ(settings.m_astrSystemSounds.size(), static_cast<size_t>(kSystemSoundCount));
  for (const std::string& name : settings.m_astrSystemSounds) {
    cWaveData wave;
    EXPECT_EQ(ReadWave(At(name), wave), eWaveResult::kOk) << name;
  }
  // The project's defaults stay: seven title items, 39 texts, eleven settings keys.
  EXPECT_EQ(settings.m_aTitleMenu.size(), static_cast<size_t>(kTitleMenuCount));
  EXPECT_EQ(settings.m_astrTexts.size(), static_cast<size_t>(kSystemTextCount));
  EXPECT_EQ(settings.m_aIniKeys.size(), static_cast<size_t>(kIniKeyCount));
  ASSERT_EQ(settings.m_anSceneBgm.size(), static_cast<size_t>(kSceneBgmCount));
  EXPECT_NE(settings.m_anSceneBgm[0], 0) << "the title plays music";
}

TEST_F(MakeDemoTest, DatabaseFilesLoadAndNameFilesThatExist) {
  cDatabase db;
  for (int i = 0; i < kDatabaseFileCount; ++i) {
    const auto which = static_cast<eDatabaseFile>(i);
    EXPECT_TRUE(db.LoadDatabaseFile(which, At(std::string("data\\database\\") + DatabaseFileName(which))))
        << DatabaseFileName(which);
  }
  ASSERT_GE(db.m_aBgm.size(), 4u);
  // The title music is Ogg Vorbis, the rest MIDI, each as its extension says (the music player
  // chooses its back end by the extension).
  EXPECT_EQ(db.m_aBgm[1].m_strFileName, "bgm\\Title.ogg");
  for (size_t k = 1; k < db.m_aBgm.size(); ++k) {
    const std::string& name = db.m_aBgm[k].m_strFileName;
    if (name.ends_with(".ogg")) {
      cOggStream ogg(s_mixer);
      EXPECT_TRUE(ogg.Load(At(name))) << name;
    } else {
      EXPECT_TRUE(name.ends_with(".mid")) << name;
      cSmf song(At(name).c_str());
      EXPECT_TRUE(song.HasImage()) << name;
    }
  }
  ASSERT_GE(db.m_aSound.size(), 3u);
  for (size_t k = 1; k < db.m_aSound.size(); ++k) {
    cWaveData wave;
    EXPECT_EQ(ReadWave(At(db.m_aSound[k].m_strFileName), wave), eWaveResult::kOk) << db.m_aSound[k].m_strFileName;
  }
  ASSERT_FALSE(db.m_aAnimeSet.empty());
  EXPECT_GE(db.m_aAnimeSet[0].m_aAnimes.size(), 4u);
}

TEST_F(MakeDemoTest, CommonPaletteHoldsTheHeroAndSolidBlocks) {
  cPalette palette;
  ASSERT_EQ(palette.LoadFile(At("data\\CommonPalette.cplt4")), 1);
  ASSERT_GE(palette.m_aCharaTypes.size(), 3u);
  const cCharaType& hero = palette.m_aCharaTypes[1];
  EXPECT_EQ(hero.m_nControl, 0);
  EXPECT_NE(hero.m_nGraphic, 0);
  ASSERT_EQ(hero.m_aFlows.size(), 4u) << "walk left, walk right, the bounce off a stomped beetle, jump";
  for (size_t i : {0u, 1u, 3u}) {
    EXPECT_EQ(hero.m_aFlows[i].m_aKeyConds.size(), 1u) << i;
    EXPECT_EQ(hero.m_aFlows[i].m_aCmds.size(), 1u) << i;
  }
  // The bounce answers no key: a stage variable that the stomped beetle sets starts it.
  const cFlow& bounce = hero.m_aFlows[2];
  EXPECT_TRUE(bounce.m_aKeyConds.empty());
  ASSERT_EQ(bounce.m_aConds.size(), 1u);
  EXPECT_EQ(bounce.m_aConds[0].m_nKind, kCondStageVar);
  ASSERT_GE(palette.m_aBlockTypes.size(), 7u);
  for (size_t i = 1; i < palette.m_aBlockTypes.size(); ++i) {
    EXPECT_NE(palette.m_aBlockTypes[i].m_nGraphic, 0) << i;
    EXPECT_NE(palette.m_aBlockTypes[i].m_nContact, 0) << i;
  }
  EXPECT_GE(palette.m_aItemTypes.size(), 3u);
}

// A stage's goal: an item whose commands clear the stage.
bool HasGoal(const cStageData& stage) {
  for (const cItemType& item : stage.m_aItems)
    for (const cFlowCmd& cmd : item.m_aCmds)
      if (cmd.m_nContext != 0 && cmd.m_nKind == 2) return true;
  return false;
}

// The three stages and the bonus stage (number 4).
TEST_F(MakeDemoTest, StagesLoadIntactWithHeroBlocksAndGoal) {
  for (int n = 1; n <= 4; ++n) {
    char name[64];
    std::snprintf(name, sizeof name, "data\\stg4\\c%02d-1.stg4_000", n);
    SCOPED_TRACE(name);
    EXPECT_TRUE(IsStageFileIntact(ReadBytes(At(name))));
    auto stage = std::make_unique<cStageData>();
    ASSERT_EQ(stage->LoadFile(At(name)), 1);
    const int hero = stage->FindHero();
    ASSERT_GE(hero, 0);
    // The hero starts standing: the cell under it holds a block.
    const cCharaType& placed = stage->m_aCharas[static_cast<size_t>(hero)];
    bool floor = false;
    for (const cBlockType& block : stage->m_aBlocks)
      floor = floor || (block.m_nCellX == placed.m_nCellX && block.m_nCellY == placed.m_nCellY + 1);
    EXPECT_TRUE(floor);
    EXPECT_GT(stage->m_aBlocks.size(), 20u);
    EXPECT_TRUE(HasGoal(*stage));
    EXPECT_GE(stage->m_nWidth, 20);
    EXPECT_EQ(stage->m_nHeight, 15);
    for (const cBlockType& block : stage->m_aBlocks) {
      EXPECT_LT(block.m_nCellX, stage->m_nWidth);
      EXPECT_LT(block.m_nCellY, stage->m_nHeight);
    }
  }
}

TEST_F(MakeDemoTest, WorldMapOffersEveryStage) {
  cWorldMap map;
  ASSERT_EQ(map.LoadFile(At("data\\WorldMap.dat")), 1);
  // The three stages and the bonus place, whose first offer is the bonus stage.
  ASSERT_EQ(map.m_aWorlds.size(), 4u);
  for (const cWorld& place : map.m_aWorlds) {
    ASSERT_FALSE(place.m_aEntries.empty());
    const std::string& stage = place.m_aEntries[0].m_strStage;
    EXPECT_TRUE(std::filesystem::exists(At(stage + "_000"))) << stage;
    EXPECT_LT(place.m_nX, map.m_nWidth);
    EXPECT_LT(place.m_nY, map.m_nHeight);
  }
  const int32_t* start = map.CellAt(map.m_nStartX, map.m_nStartY);
  ASSERT_NE(start, nullptr);
  ASSERT_LT(static_cast<size_t>(*start), map.m_aMapEntries.size());
  EXPECT_EQ(map.m_aMapEntries[static_cast<size_t>(*start)].m_bBlocked, 0) << "the hero starts on open ground";
}

TEST_F(MakeDemoTest, BitmapsDecodeAsEightBitPicturesOverOnePalette) {
  const BmpDecodeResult paletteFile = LoadBmpFile(At("bmp\\plt\\Palette.bmp"));
  ASSERT_TRUE(paletteFile.ok());
  const BmpImage& table = paletteFile.image;
  ASSERT_EQ(table.palette.size(), 256u);
  // The palette picture shows entry 16r + c at (c, 8 + r); its top-left pixel is the transparent colour.
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < 16; ++c) ASSERT_EQ(table.IndexAt(c, 8 + r), r * 16 + c);
  EXPECT_EQ(table.IndexAt(0, 0), 0);

  struct cSheet {
    const char* path;
    int width, height;
    bool keyedCorner;  // the top-left pixel is the transparent colour
  };
  const cSheet sheets[] = {
      {"bmp\\Debug.bmp", 256, 64, false},      {"bmp\\Block.bmp", 256, 480, true},
      {"bmp\\Character1.bmp", 640, 480, true}, {"bmp\\Shot.bmp", 128, 480, true},
      {"bmp\\Item.bmp", 512, 480, true},       {"bmp\\Item_Mini.bmp", 128, 240, true},
      {"bmp\\Mark.bmp", 256, 480, true},       {"bmp\\Loading.bmp", 640, 480, false},
      {"bmp\\Window.bmp", 640, 480, false},    {"bmp\\StatusWindow.bmp", 640, 20, false},
      {"bmp\\Title.bmp", 640, 480, false},     {"bmp\\GameMode.bmp", 224, 224, true},
      {"bmp\\Accessory.bmp", 256, 224, false}, {"bmp\\Symbol.bmp", 416, 32, false},
      {"bmp\\Word.bmp", 320, 192, true},       {"bmp\\WorldMapChip.bmp", 160, 64, false},
      {"bmp\\WorldEvent.bmp", 64, 160, true},  {"背景その1.bmp", 640, 480, true},
      {"背景その2.bmp", 640, 480, true},       {"bmp\\effect\\Spark.bmp", 128, 32, true},
      {"bmp\\Character2.bmp", 640, 480, true},
  };
  for (const cSheet& sheet : sheets) {
    SCOPED_TRACE(sheet.path);
    const BmpDecodeResult bmp = LoadBmpGameFile(s_folder->Prefix() + "game\\" + sheet.path);
    ASSERT_TRUE(bmp.ok()) << BmpErrorName(bmp.error);
    EXPECT_EQ(bmp.image.bitsPerPixel, 8);
    EXPECT_EQ(bmp.image.width, sheet.width);
    EXPECT_EQ(bmp.image.height, sheet.height);
    EXPECT_EQ(bmp.image.palette, table.palette);
    if (sheet.keyedCorner) { EXPECT_EQ(bmp.image.IndexAt(0, 0), 0); }
  }
}

TEST_F(MakeDemoTest, SpriteCellsHaveTransparentBackgrounds) {
  const BmpDecodeResult bmp = LoadBmpFile(At("bmp\\Character1.bmp"));
  ASSERT_TRUE(bmp.ok());
  // The hero's cell (row 1, pattern 0) holds both the transparent colour and drawn pixels.
  int clear = 0, drawn = 0;
  for (int y = 32; y < 64; ++y)
    for (int x = 0; x < 32; ++x) (bmp.image.IndexAt(x, y) == 0 ? clear : drawn) += 1;
  EXPECT_GT(clear, 200);
  EXPECT_GT(drawn, 200);
}

// Sum of the delta times of a merged MIDI image, and whether it ends with the end-of-track event.
bool SongLength(const std::vector<uint8_t>& image, uint32_t& ticks) {
  size_t pos = kSmfImageHeader;
  const size_t end = image.size();
  ticks = 0;
  while (pos < end) {
    uint32_t delta = 0;
    if (!ReadVarLen(image.data(), end, pos, delta) || pos >= end) return false;
    ticks += delta;
    const uint8_t status = image[pos++];
    if (status == 0xFF) {
      if (pos >= end) return false;
      const uint8_t type = image[pos++];
      uint32_t length = 0;
      if (!ReadVarLen(image.data(), end, pos, length)) return false;
      pos += length;
      if (type == 0x2F) return pos == end;
    } else if (status == 0xF0) {
      uint32_t length = 0;
      if (!ReadVarLen(image.data(), end, pos, length)) return false;
      pos += length;
    } else {
      pos += (status >= 0xC0 && status <= 0xDF) ? 1 : 2;
    }
  }
  return false;
}

TEST_F(MakeDemoTest, MapAndStageMusicReadAsMidiThatLoopsOnABarLine) {
  for (const char* name : {"bgm\\WorldMap.mid", "bgm\\Stage.mid"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> bytes = ReadBytes(At(name));
    std::vector<uint8_t> image;
    std::string error;
    ASSERT_TRUE(ConvertSmf(bytes.data(), bytes.size(), image, error));
    EXPECT_EQ(error, "");
    cSmf song(At(name).c_str());
    ASSERT_TRUE(song.HasImage());
    EXPECT_EQ(song.Division(), 480);
    uint32_t ticks = 0;
    ASSERT_TRUE(SongLength(song.Image(), ticks));
    EXPECT_EQ(ticks, 8u * 4u * 480u) << "eight bars of 4/4";
  }
}

// The title music: Ogg Vorbis of the same eight bars of 4/4 at 132 beats a minute (32 beats of
// 60/132 s: 14.545 s), loud enough to be heard and never clipped.
TEST_F(MakeDemoTest, TitleMusicIsOggVorbisOfEightBarsThatIsHeardAndNotClipped) {
  OggVorbis_File file;
  ASSERT_EQ(ov_fopen(At("bgm\\Title.ogg").c_str(), &file), 0);
  const vorbis_info* info = ov_info(&file, -1);
  ASSERT_NE(info, nullptr);
  const double seconds = static_cast<double>(ov_pcm_total(&file, -1)) / info->rate;
  EXPECT_NEAR(seconds, 32 * 60.0 / 132, 0.01);
  double sum = 0, peak = 0;
  long count = 0;
  for (;;) {
    float** pcm = nullptr;
    int section = 0;
    const long n = ov_read_float(&file, &pcm, 4096, &section);
    if (n <= 0) break;
    for (long i = 0; i < n; ++i)
      for (int c = 0; c < info->channels; ++c) {
        sum += double(pcm[c][i]) * pcm[c][i];
        peak = std::max(peak, std::fabs(double(pcm[c][i])));
        ++count;
      }
  }
  ov_clear(&file);
  ASSERT_GT(count, 0);
  EXPECT_GT(std::sqrt(sum / count), 0.05);
  EXPECT_LT(peak, 1.0);
}

// An 8-bit screen mixes two palette colours through the blend table of the player's palette set:
// byte row x 256 + column names the colour that stands for the even mix of colours row and column.
// The demo brings one table for each set the options offer (0-23), each made for the colours as that
// set shows them: below 12 entries 16-207 moved n x 16 places down, round; from 12 on the sixteen
// entries from (n - 11) x 16 in every block of sixteen of 16-207. A mix is the palette colour
// nearest to it (up to rounding), and a mix of two colours is never the transparent colour 0 nor 255,
// which the screen's palette does not set.
TEST_F(MakeDemoTest, BlendTablesMixTheColoursOfEachPaletteSet) {
  const BmpDecodeResult palettePicture = LoadBmpFile(At("bmp\\plt\\Palette.bmp"));
  ASSERT_TRUE(palettePicture.ok());
  ASSERT_EQ(palettePicture.image.palette.size(), 256u);
  for (int set = 0; set <= 23; ++set) {
    SCOPED_TRACE(set);
    std::vector<BmpColour> colours = palettePicture.image.palette;
    if (set < 12) {
      std::vector<BmpColour> moved = colours;
      for (int i = 16; i <= 207; ++i) moved[16 + (i - 16 + 192 - set * 16) % 192] = colours[i];
      colours = moved;
    } else {
      for (int block = 16; block <= 192; block += 16)
        for (int k = 0; k < 16; ++k) colours[block + k] = palettePicture.image.palette[(set - 11) * 16 + k];
    }
    char name[32];
    std::snprintf(name, sizeof name, "bmp\\hbt\\hbt%02d.dat", set);
    const std::vector<uint8_t> table = ReadBytes(At(name));
    ASSERT_EQ(table.size(), 65536u);
    // Distances in doubled units, so that the mix of two colours is whole.
    auto distance = [&](int entry, int a, int b) {
      const double dr = 2 * colours[entry].red - colours[a].red - colours[b].red;
      const double dg = 2 * colours[entry].green - colours[a].green - colours[b].green;
      const double db = 2 * colours[entry].blue - colours[a].blue - colours[b].blue;
      return std::sqrt(dr * dr + dg * dg + db * db);
    };
    int wrong = 0;
    for (int a = 0; a < 256; ++a)
      for (int b = a; b < 256; b += (set % 4 == 0 ? 1 : 5)) {
        const int mix = table[a * 256 + b];
        if (mix != table[b * 256 + a]) ++wrong;
        if (a == b) {  // a colour mixed with itself stays that colour
          if (!(colours[mix] == colours[a])) ++wrong;
          continue;
        }
        double best = 1e9;
        for (int entry = 1; entry <= 254; ++entry) best = std::min(best, distance(entry, a, b));
        if (mix == 0 || mix == 255 || distance(mix, a, b) > best + 3.5) {
          if (++wrong <= 3) ADD_FAILURE() << "mix of " << a << " and " << b << " is " << mix;
        }
      }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(MakeDemoTest, SoundEffectsArePlainPcmAtTheDeviceRate) {
  for (const auto& entry : std::filesystem::directory_iterator(s_game + "/wave")) {
    SCOPED_TRACE(entry.path().string());
    cWaveData wave;
    ASSERT_EQ(ReadWave(entry.path().string(), wave), eWaveResult::kOk);
    EXPECT_EQ(wave.format.formatTag, 1);
    EXPECT_EQ(wave.format.channels, 1);
    EXPECT_EQ(wave.format.samplesPerSec, 22050u);
    EXPECT_EQ(wave.format.bitsPerSample, 8);
    EXPECT_GT(wave.samples.size(), 200u);
  }
}

TEST_F(MakeDemoTest, SystemIniOpensAWindowWithoutAStartQuestion) {
  cSystemData settings;
  ASSERT_EQ(settings.LoadFile(At("data\\System.dat")), 1);
  INISETTINGS ini;
  SetIniDefaults(ini, settings.m_aIniKeys);
  ASSERT_EQ(ReadSystemIni(At("System.ini").c_str(), ini, settings.m_aIniKeys), 1);
  EXPECT_EQ(ini.WindowMode, 1);
  EXPECT_TRUE(ini.Direct3D == 0 || ini.Direct3D == 1);
  EXPECT_EQ(ini.Bpp, 0);
}

TEST_F(MakeDemoTest, RunningTwiceWritesTheSameFiles) {
  const std::string again = s_folder->Prefix() + "again";
  const std::string command = "'" + kMakeDemo + "' '" + again + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(s_game)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const auto relative = std::filesystem::relative(entry.path(), s_game);
    EXPECT_EQ(ReadBytes(entry.path()), ReadBytes(std::filesystem::path(again) / relative)) << relative;
  }
  EXPECT_GT(files, 40u);
}

TEST(MakeDemoUsage, WithoutAFolderItExplainsItselfAndFails) {
  const std::string command = "'" + kMakeDemo + "' >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
