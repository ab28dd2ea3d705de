#include "data/database.h"

#include <gtest/gtest.h>

#include "byte_builder.h"
#include "core/log.h"
#include "platform/message_box.h"
#include "temp_folder.h"
#include "test_support/fresh_game_data.h"

namespace {

// Bodies of each database element, as the record tables give them at version 986.
void SimpleEntry(cByteBuilder& b, const std::string& name) {  // picture, sound
  b.I32(1).I32(0).I32(2).Str(name).Str(name + ".dat");
}
void BgmEntry(cByteBuilder& b, const std::string& name) {
  b.I32(2).I32(0).I32(100).I32(2).Str(name).Str(name + ".ogg");
}
void EffectKindEntry(cByteBuilder& b, int32_t kind, const std::string& name) {
  b.I32(2).I32(kind).I32s({10, 0, 32, 0, 0}).I32(1).Str(name);
}
void AnimeEntry(cByteBuilder& b, const std::string& name) {
  b.I32(3).I16(0).U8(1).I16(0).I32(1).Str(name).I32(1).I32(3).I32(5).I32(1).I32(0).I32(0);
}
void AnimeSetEntry(cByteBuilder& b) {
  b.I32(3).I32(4).I32(8).I32(0).I32(1).Str("set").I32(4);
  for (int i = 0; i < 4; ++i) AnimeEntry(b, "a");
}
void BmpEntry(cByteBuilder& b) { b.I32(3).I32(0).I32(0).I32(2).I32(2).Str("bmp").Str("b.bmp"); }
void SwordEntry(cByteBuilder& b, uint32_t version) {
  b.I32(1).I32(0).I32(3).Str("sword").Str("").Str("s.bmp").I32(1).I32(10);
  for (int i = 0; i < 10; ++i) b.I32(i);
  b.I32(0);
  (void)version;
}
void EffectEntry(cByteBuilder& b) {
  b.I32(4).I32(0).I32(32).I32(32).I32(0).I32(2).Str("fx").Str("fx.bmp").I32(1).I32(2).I32(4).I32(1).I32(0);
}

std::vector<uint8_t> File(uint32_t version, int32_t count, const std::function<void(cByteBuilder&, int)>& entry) {
  cByteBuilder b;
  b.U32(version).I32(count);
  if (entry)
    for (int i = 0; i < count; ++i) entry(b, i);
  return b.Get();
}

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bQuit = 0;
    SetMessageBoxHandler([this](const char* text, const char*, unsigned) {
      m_boxes.push_back(text);
      return IDOK;
    });
    ReportLogInit((m_folder.Prefix() + "Report_Game.txt").c_str());
    WriteAll(986);
  }
  void TearDown() override {
    SetMessageBoxHandler(nullptr);
    g_bQuit = 0;
  }

  // Writes all ten files with two entries each.
  void WriteAll(uint32_t version) {
    Put("AnimeSet.dat", File(version, 1, [](cByteBuilder& b, int) { AnimeSetEntry(b); }));
    Put("Anime.dat", File(version, 3, [](cByteBuilder& b, int i) { AnimeEntry(b, "anime" + std::to_string(i)); }));
    Put("Bmp_CharaExc.dat", File(version, 2, [](cByteBuilder& b, int) { BmpEntry(b); }));
    Put("SwordType.dat", File(version, 2, [&](cByteBuilder& b, int) { SwordEntry(b, version); }));
    Put("Effect.dat", File(version, 2, [](cByteBuilder& b, int) { EffectEntry(b); }));
    Put("CharaEffect.dat",
        File(version, 3, [](cByteBuilder& b, int i) { EffectKindEntry(b, 3, "ce" + std::to_string(i)); }));
    Put("ScrEffect.dat",
        File(version, 2, [](cByteBuilder& b, int i) { EffectKindEntry(b, 5, "se" + std::to_string(i)); }));
    Put("Picture.dat", File(version, 2, [](cByteBuilder& b, int) { SimpleEntry(b, "pic"); }));
    Put("Sound.dat", File(version, 4, [](cByteBuilder& b, int) { SimpleEntry(b, "snd"); }));
    Put("Bgm.dat", File(version, 5, [](cByteBuilder& b, int i) { BgmEntry(b, "bgm" + std::to_string(i)); }));
  }
  void Put(const std::string& name, const std::vector<uint8_t>& bytes) {
    m_folder.Write("data/database/" + name, bytes);
  }

  cTempFolder m_folder;
  std::vector<std::string> m_boxes;
};

TEST_F(DatabaseTest, DefaultsBeforeLoading) {
  cDatabase db;
  EXPECT_EQ(db.m_aAnimeSet.size(), 1u);
  ASSERT_EQ(db.m_aAnime.size(), 2u);
  EXPECT_EQ(db.m_aAnime[0].m_strName, "なし");
  EXPECT_EQ(db.m_aAnime[1].m_strName, "アクションA");
  EXPECT_EQ(db.m_aSwordType.size(), 1u);
  EXPECT_EQ(db.m_aBgm.size(), 2u);
  EXPECT_TRUE(db.m_aCharaEffectRev.empty());
}

TEST_F(DatabaseTest, LoadsAllTenFilesAndForcesEffectZeroToNoEffect) {
  cDatabase db;
  ASSERT_EQ(db.LoadDatabase(m_folder.Prefix()), 1) << (m_boxes.empty() ? "" : m_boxes[0]);
  EXPECT_EQ(db.m_aAnime.size(), 3u);
  EXPECT_EQ(db.m_aAnime[2].m_strName, "anime2");
  EXPECT_EQ(db.m_aSound.size(), 4u);
  EXPECT_EQ(db.m_aBgm.size(), 5u);
  EXPECT_EQ(db.m_aCharaEffect[0].m_nKind, 0);
  EXPECT_EQ(db.m_aCharaEffect[1].m_nKind, 3);
  EXPECT_EQ(db.m_aScrEffect[0].m_nKind, 0);
  EXPECT_TRUE(m_boxes.empty());
}

TEST_F(DatabaseTest, ZeroCountKeepsTheDefaults) {
  Put("Anime.dat", File(986, 0, nullptr));
  Put("CharaEffect.dat", File(986, -5, nullptr));
  cDatabase db;
  ASSERT_EQ(db.LoadDatabase(m_folder.Prefix()), 1);
  ASSERT_EQ(db.m_aAnime.size(), 2u);
  EXPECT_EQ(db.m_aAnime[1].m_strName, "アクションA");
  ASSERT_EQ(db.m_aCharaEffect.size(), 2u);
  EXPECT_EQ(db.m_aCharaEffect[0].m_nKind, 0);
  EXPECT_EQ(db.m_aCharaEffect[1].m_nKind, 1);
}

TEST_F(DatabaseTest, OldSwordTypeFilesAreCutTo128) {
  for (uint32_t version : {827u, 828u}) {
    Put("SwordType.dat", File(version, 130, [&](cByteBuilder& b, int) { SwordEntry(b, version); }));
    cDatabase db;
    ASSERT_EQ(db.LoadDatabase(m_folder.Prefix()), 1);
    EXPECT_EQ(db.m_aSwordType.size(), version == 827 ? 128u : 130u);
  }
}

TEST_F(DatabaseTest, TooNewFileStopsTheLoadWithItsMessage) {
  Put("Effect.dat", File(987, 2, [](cByteBuilder& b, int) { EffectEntry(b); }));
  cDatabase db;
  EXPECT_EQ(db.LoadDatabase(m_folder.Prefix()), 0);
  EXPECT_EQ(db.m_aSwordType.size(), 2u);  // read before the refused file
  EXPECT_EQ(db.m_aEffect.size(), 2u);
  EXPECT_EQ(db.m_aSound.size(), 2u);  // after it: defaults
  EXPECT_EQ(db.m_aBgm.size(), 2u);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_NE(
      m_boxes[0].find(
          "Effect.dat の読み込みに失敗しました！\n実行ファイル(.exe)より上位のバージョンのファイルは使用できません。"),
      std::string::npos);
}

TEST_F(DatabaseTest, MissingOrTruncatedFileFailsCleanly) {
  auto bytes = File(986, 4, [](cByteBuilder& b, int) { SimpleEntry(b, "snd"); });
  for (size_t cut : {size_t{2}, size_t{6}, size_t{20}, bytes.size() - 1}) {
    Put("Sound.dat", std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
    cDatabase db;
    EXPECT_EQ(db.LoadDatabase(m_folder.Prefix()), 0) << cut;
    EXPECT_EQ(db.m_aSound.size(), 2u);
  }
  // A count that cannot fit in the file is refused before anything is allocated.
  Put("Sound.dat", File(986, 0x7FFFFFFF, nullptr));
  cDatabase db;
  EXPECT_EQ(db.LoadDatabase(m_folder.Prefix()), 0);
  std::filesystem::remove(m_folder.Path() / "data/database/Bgm.dat");
  m_boxes.clear();
  WriteAll(986);
  std::filesystem::remove(m_folder.Path() / "data/database/Bgm.dat");
  g_bFileTooNew = 1;  // left over from a file refused earlier
  EXPECT_EQ(db.LoadDatabase(m_folder.Prefix()), 0);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_NE(m_boxes[0].find("Bgm.dat の読み込みに失敗しました！"), std::string::npos);
  EXPECT_EQ(m_boxes[0].find("上位"), std::string::npos);
}

TEST_F(DatabaseTest, CarriageReturnsAreStripped) {
  Put("Picture.dat", File(986, 1, [](cByteBuilder& b, int) { SimpleEntry(b, "a\r\nb"); }));
  cDatabase db;
  ASSERT_EQ(db.LoadDatabase(m_folder.Prefix()), 1);
  EXPECT_EQ(db.m_aPicture[0].m_strName, "a\nb");
}

TEST_F(DatabaseTest, SurvivingDefaultEntriesKeepFieldsTheFileLacks) {
  // A version-813 music file has no volume: entries keep the default 100.
  Put("Bgm.dat", File(813, 3, [](cByteBuilder& b, int) { b.I32(1).I32(0).I32(2).Str("m").Str("m.mid"); }));
  cDatabase db;
  ASSERT_EQ(db.LoadDatabase(m_folder.Prefix()), 1);
  ASSERT_EQ(db.m_aBgm.size(), 3u);
  EXPECT_EQ(db.m_aBgm[2].m_nVolume, 100);
}

TEST_F(DatabaseTest, SavedFilesReadBackTheSame) {
  cDatabase db;
  ASSERT_EQ(db.LoadDatabase(m_folder.Prefix()), 1);
  const std::string path = m_folder.Prefix() + "copy.dat";
  for (int i = 0; i < kDatabaseFileCount; ++i) {
    const auto which = static_cast<eDatabaseFile>(i);
    ASSERT_TRUE(db.SaveDatabaseFile(which, path)) << i;
    cDatabase other;
    ASSERT_TRUE(other.LoadDatabaseFile(which, path)) << i;
    EXPECT_EQ(other.Count(which), db.Count(which)) << i;
  }
  EXPECT_EQ(DatabasePathIndex(kDbBgm), 38);
  EXPECT_STREQ(DatabaseFileName(kDbBmpCharaExc), "Bmp_CharaExc.dat");
}

}  // namespace
