#include "data/fixed_tables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/log.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "temp_folder.h"

namespace {

TEST(FixedTables, PathsAndExtensions) {
  EXPECT_STREQ(g_Paths[0], "data\\");
  EXPECT_STREQ(g_Paths[kPathWorldMap], "data\\WorldMap.dat");
  EXPECT_STREQ(g_Paths[kPathSystemDat], "data\\System.dat");
  EXPECT_STREQ(g_Paths[kPathBgm], "data\\database\\Bgm.dat");
  EXPECT_STREQ(g_Paths[kPathBgm + 1], "default\\database\\Bgm.dat");
  EXPECT_STREQ(g_Paths[kPathNumberedStagePrefix], "data\\stg4\\c");
  EXPECT_STREQ(g_Paths[kPathWindowDat], "user_data\\Window.dat");
  for (int i = kPathAnimeSet; i <= kPathBgm + 1; i += 2) {
    const std::string data = g_Paths[i], def = g_Paths[i + 1];
    EXPECT_EQ("default" + data.substr(4), def) << i;
  }
  EXPECT_STREQ(ExtAt(kExtRanking), "rkg");
  EXPECT_STREQ(SecondsLabelAt(0), "0.0");
  EXPECT_STREQ(SecondsLabelAt(7), "3.5");
  EXPECT_STREQ(SecondsLabelAt(20), "10.0");
  EXPECT_STREQ(SecondsLabelAt(21), "OFF");
  EXPECT_STREQ(g_FontFaces[kDefaultFontFace], "ＭＳ Ｐゴシック");
  EXPECT_STREQ(g_FontFaces[121], "Sydnie");
  EXPECT_STREQ(g_FontFaces[122], "");
  // Half-width katakana are single CP932 bytes.
  EXPECT_STREQ(g_FontFaces[86],
               "HG\xBA\xDE\xBC\xAF\xB8"
               "E");
}

TEST(FixedTables, FontIndexOutsideTheTableFallsBackToTheDefaultFace) {
  g_bQuit = 0;
  EXPECT_STREQ(FontFaceFor(59), "ＭＳ ゴシック");
  EXPECT_STREQ(FontFaceFor(122), "ＭＳ Ｐゴシック");
  EXPECT_STREQ(FontFaceFor(-1), "ＭＳ Ｐゴシック");
  EXPECT_STREQ(FontFaceFor(100000), "ＭＳ Ｐゴシック");
  EXPECT_EQ(g_bQuit.load(), 0);
}

class DataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bQuit = 0;
    SetMessageBoxHandler([this](const char* text, const char* caption, unsigned) {
      m_questions.push_back(std::string(caption) + "|" + text);
      return m_answer;
    });
  }
  void TearDown() override {
    SetMessageBoxHandler(nullptr);
    SetAtomicWriteFailStep(0);
  }
  bool Exists(const char* relative) { return std::filesystem::exists(m_folder.Path() / relative); }

  cTempFolder m_folder;
  std::vector<std::string> m_questions;
  int m_answer = IDYES;
};

TEST_F(DataFolderTest, ExistingDataIsUsedWithoutAsking) {
  m_folder.Write("data/System.dat", {1});
  m_folder.Write("default/System.dat", {2});
  EXPECT_EQ(EnsureDataFolder(m_folder.Prefix()), 1);
  EXPECT_TRUE(m_questions.empty());
}

TEST_F(DataFolderTest, NeitherFolderFailsWithoutAsking) {
  EXPECT_EQ(EnsureDataFolder(m_folder.Prefix()), 0);
  EXPECT_TRUE(m_questions.empty());
}

TEST_F(DataFolderTest, NoLeavesTheDiskUnchanged) {
  m_folder.Write("default/System.dat", {2});
  m_answer = IDNO;
  EXPECT_EQ(EnsureDataFolder(m_folder.Prefix()), 0);
  ASSERT_EQ(m_questions.size(), 1u);
  EXPECT_EQ(m_questions[0], "デフォルトデータ作成の確認|データが存在しません！デフォルトデータを作成しますか？\n");
  EXPECT_FALSE(Exists("data"));
}

TEST_F(DataFolderTest, YesCopiesTheWholeDefaultTree) {
  m_folder.Write("default/System.dat", {1, 2, 3});
  m_folder.Write("default/database/Anime.dat", {4, 5});
  m_folder.Write("default/stg4/empty/.keep", {});
  EXPECT_EQ(EnsureDataFolder(m_folder.Prefix()), 1);
  EXPECT_TRUE(Exists("data/System.dat"));
  EXPECT_EQ(std::filesystem::file_size(m_folder.Path() / "data/database/Anime.dat"), 2u);
  EXPECT_TRUE(Exists("data/stg4/empty"));
  EXPECT_TRUE(Exists("default/System.dat"));
  EXPECT_FALSE(Exists("data.copying"));
}

TEST_F(DataFolderTest, FailedCopyLeavesNoDataFolder) {
  m_folder.Write("default/System.dat", {1, 2, 3});
  m_folder.Write("default/database/Anime.dat", {4, 5});
  SetAtomicWriteFailStep(2);
  EXPECT_EQ(EnsureDataFolder(m_folder.Prefix()), 0);
  SetAtomicWriteFailStep(0);
  EXPECT_FALSE(Exists("data"));
  EXPECT_FALSE(Exists("data.copying"));
  // A later start copies again.
  EXPECT_EQ(EnsureDataFolder(m_folder.Prefix()), 1);
  EXPECT_TRUE(Exists("data/database/Anime.dat"));
}

}  // namespace
