#include "data/stage_data.h"

#include "game_data_fixture.h"
#include "stage_bytes.h"

class StageDataTest : public GameDataTest {
 protected:
  static std::map<int, double> DefaultHeader() { return DefaultStageHeader(); }
  static std::vector<uint8_t> DefaultBlock(uint32_t v = 986) { return DefaultBlockBytes(v); }
  static std::vector<uint8_t> DefaultChara(uint32_t v = 986) { return DefaultCharaBytes(v); }
  static std::vector<uint8_t> DefaultItem(uint32_t v = 986) { return DefaultItemBytes(v); }
  static cStageBytes MinimalStage(uint32_t v = 986) {
    cStageBytes s;
    s.header = DefaultHeader();
    s.palBlocks = {DefaultBlock(v), DefaultBlock(v)};
    s.palCharas = {DefaultChara(v), DefaultChara(v)};
    s.palItems = {DefaultItem(v), DefaultItem(v)};
    return s;
  }
};

TEST_F(StageDataTest, SaveWritesTheNewestLayoutWithPlacedZerosAndTheTrailer) {
  cStageData stage;
  stage.m_strName = "stage";
  stage.m_aBlocks.resize(1);
  stage.m_aBlocks[0].m_nCellX = 3;
  cStageBytes expected = MinimalStage();
  expected.name = "stage";
  // scroll limits are only ever lowered to the map size, here 0 x 0
  expected.header[9] = -20;
  expected.header[10] = -1;
  expected.header[11] = -15;
  expected.header[12] = -1;
  cTypeBytes placed;
  placed.fields = {{13, -1}};
  placed.cellX = 3;
  placed.inherit.assign(11, 0);
  expected.blocks = {TypeBody('b', 986, placed)};
  expected.layers = {LayerBody(986, {{2, 1}})};
  std::vector<uint8_t> saved = stage.SaveToBytes(), built = StageFile(986, expected);
  ASSERT_EQ(saved.size(), built.size());
  size_t differ = 0;
  while (differ < saved.size() && saved[differ] == built[differ]) ++differ;
  EXPECT_EQ(differ, saved.size());
  // a trip through the file keeps it
  cStageData reread;
  ASSERT_EQ(reread.LoadFromBytes(stage.SaveToBytes()), 1);
  EXPECT_EQ(reread.SaveToBytes(), stage.SaveToBytes());
}

TEST_F(StageDataTest, TrailerAbsentReadOrChecked) {
  cStageBytes s = MinimalStage(172);
  cStageData stage;
  // 172: no trailer; whatever follows the text list is not read
  std::vector<uint8_t> v172 = StageFile(172, s);
  EXPECT_EQ(stage.LoadFromBytes(v172), 1);
  EXPECT_TRUE(IsStageFileIntact(v172));
  // 173: read but not checked
  s = MinimalStage(173);
  s.trailerValue = 42;
  std::vector<uint8_t> v173 = StageFile(173, s);
  EXPECT_EQ(stage.LoadFromBytes(v173), 1);
  EXPECT_TRUE(IsStageFileIntact(v173));
  s.trailer = false;
  EXPECT_EQ(stage.LoadFromBytes(StageFile(173, s)), 0);  // the file ends where the trailer belongs
  // 174: checked before play
  s = MinimalStage(174);
  s.trailerValue = 42;
  EXPECT_FALSE(IsStageFileIntact(StageFile(174, s)));
  s.trailerValue = kStageTrailer;
  EXPECT_TRUE(IsStageFileIntact(StageFile(174, s)));
  EXPECT_FALSE(IsStageFileIntact({0xAE, 0, 0}));
}

TEST_F(StageDataTest, EmptyListsAndCounts) {
  cStageBytes s;
  s.header = DefaultHeader();
  s.totals = {};
  s.totalsCount = 0;
  cStageData stage;
  stage.m_anTotalsLines = {1, 0, 1, 0, 1};
  ASSERT_EQ(stage.LoadFromBytes(StageFile(986, s)), 1);
  EXPECT_EQ(stage.m_anTotalsLines, (std::vector<int32_t>{1, 0, 1, 0, 1}));  // count 0 leaves them
  EXPECT_EQ(stage.m_aPalBlocks.size(), 2u);
  EXPECT_EQ(stage.m_aPalCharas.size(), 2u);
  EXPECT_EQ(stage.m_aPalItems.size(), 2u);
  EXPECT_TRUE(stage.m_aLayers.empty());
  EXPECT_TRUE(stage.m_aTexts.empty());
  // a count larger than the file is refused without a huge allocation, and the stage is kept
  s.totals = {7};
  s.totalsCount = 0x40000000;
  stage.m_strName = "kept";
  EXPECT_EQ(stage.LoadFromBytes(StageFile(986, s)), 0);
  EXPECT_EQ(stage.m_strName, "kept");
}

TEST_F(StageDataTest, HitCheckLevels) {
  struct Case {
    int level;
    int steps;
    double limit;
  };
  for (const Case& c : {Case{15, 5, 60.0}, Case{20, 20, 120.0}, Case{10, 10, 60.0}, Case{1, 1, 6.0}, Case{11, 1, 60.0},
                        Case{19, 9, 60.0}, Case{30, 30, 180.0}}) {
    g_StageFile.m_dGravity = 0.5;
    g_StageFile.SetHitCheckLevel(c.level);
    EXPECT_EQ(g_StageFile.m_nSubSteps, c.steps) << c.level;
    EXPECT_DOUBLE_EQ(g_StageFile.m_dSubSteps, c.steps);
    EXPECT_DOUBLE_EQ(g_StageFile.m_dSubStepsSq, c.steps * c.steps);
    EXPECT_DOUBLE_EQ(g_StageFile.m_dSpeedLimit, c.limit) << c.level;
    EXPECT_DOUBLE_EQ(g_StageFile.m_dSpeedLimitPerStep, c.limit / c.steps);
    EXPECT_DOUBLE_EQ(g_StageFile.m_dGravityPerStep, 0.5 / (c.steps * c.steps));
    EXPECT_EQ(g_StageFile.m_nSubSteps8, 8 * c.steps);
    EXPECT_EQ(g_StageFile.m_nSubSteps6, 6 * c.steps);
  }
  // a level of 0 would divide by zero, a huge one would never finish a frame
  cStageBytes s = MinimalStage();
  s.header[22] = 0;
  ASSERT_EQ(g_StageFile.LoadFromBytes(StageFile(986, s)), 1);
  EXPECT_EQ(g_StageFile.m_nHitCheckLevel, 1);
  EXPECT_EQ(g_StageFile.m_nSubSteps, 1);
  s.header[22] = 2000000000;
  ASSERT_EQ(g_StageFile.LoadFromBytes(StageFile(986, s)), 1);
  EXPECT_EQ(g_StageFile.m_nHitCheckLevel, 1000);
  // levels above 20 are played as stored
  s.header[22] = 30;
  ASSERT_EQ(g_StageFile.LoadFromBytes(StageFile(986, s)), 1);
  EXPECT_EQ(g_StageFile.m_nSubSteps, 30);
}

TEST_F(StageDataTest, FrameRateZeroRunsUnthrottledAndIsKept) {
  struct Case {
    double stored;
    int32_t loaded;
  };
  for (const Case& c : {Case{0, 0}, Case{30, 30}, Case{1000, 1000}, Case{-5, 0}, Case{-2147483648.0, 0},
                        Case{1001, 1000}, Case{2000000000, 1000}}) {
    cStageBytes s = MinimalStage();
    s.header[13] = c.stored;
    ASSERT_EQ(g_StageFile.LoadFromBytes(StageFile(986, s)), 1) << c.stored;
    EXPECT_EQ(g_StageFile.m_nFps, c.loaded) << c.stored;
  }
  // a rate of 0 is written back as 0, to the stage file and to a replay's copy of the stage
  cStageBytes s = MinimalStage();
  s.header[13] = 0;
  ASSERT_EQ(g_StageFile.LoadFromBytes(StageFile(986, s)), 1);
  TakeStageSettingsCopy();
  auto replay = cDataFile::ForWriting("");
  replay->WriteUInt32(986);
  ASSERT_TRUE(g_StageFile.WriteStageToReplay(*replay, g_StageData));
  for (const std::vector<uint8_t>& bytes : {g_StageFile.SaveToBytes(), replay->Bytes()}) {
    cStageData reread;
    ASSERT_EQ(reread.LoadFromBytes(bytes), 1);
    EXPECT_EQ(reread.m_nFps, 0);
  }
}

TEST_F(StageDataTest, NormalisationOfAnyStageUpdatesThePlayedOne) {
  g_StageFile.m_nHitCheckLevel = 13;
  cStageData other;
  other.NormaliseStage();
  EXPECT_EQ(g_StageFile.m_nSubSteps, 3);
  EXPECT_EQ(other.m_nSubSteps, 0);
}

TEST_F(StageDataTest, ScrollLimitsMusicAndPlacedTypesAreRepaired) {
  cStageBytes s = MinimalStage();
  s.header[1] = 30;
  s.header[4] = 20;
  s.header[9] = 25;
  s.header[10] = 40;
  s.header[11] = 3;
  s.header[12] = 19;
  s.header[24] = 9;
  cTypeBytes chara;
  chara.fields = {{13, 1}, {35, 0}, {16, 50}};
  chara.inherit.assign(37, 0);
  s.charas = {TypeBody('c', 986, chara)};
  cStageData stage;
  ASSERT_EQ(stage.LoadFromBytes(StageFile(986, s)), 1);
  EXPECT_EQ(stage.m_anScrollLimit[0], 10);
  EXPECT_EQ(stage.m_anScrollLimit[1], 29);
  EXPECT_EQ(stage.m_anScrollLimit[2], 3);
  EXPECT_EQ(stage.m_anScrollLimit[3], 19);
  EXPECT_EQ(stage.m_nBgm, 0);
  ASSERT_EQ(stage.m_aCharas.size(), 1u);
  EXPECT_EQ(stage.m_aCharas[0].m_nScale, 1);
  EXPECT_EQ(stage.m_aCharas[0].m_nAnimeSet, 0);
}

// A map side runs from 0 to the 32768 cells that placements can name; at both ends the scroll limits
// are lowered without overflow. Beyond them the file is damaged and refused, keeping what the record
// held.
TEST_F(StageDataTest, ExtremeMapSizesLowerTheScrollLimitsWithoutOverflow) {
  for (double size : {0.0, 32768.0}) {
    cStageBytes s = MinimalStage();
    s.header[1] = size;
    s.header[4] = size;
    for (int p = 9; p <= 12; ++p) s.header[p] = 5;
    cStageData stage;
    ASSERT_EQ(stage.LoadFromBytes(StageFile(986, s)), 1) << size;
    const std::vector<int32_t> lowered = size > 0 ? std::vector<int32_t>{5, 5, 5, 5}  // never raised
                                                  : std::vector<int32_t>{-20, -1, -15, -1};
    EXPECT_EQ(std::vector<int32_t>(std::begin(stage.m_anScrollLimit), std::end(stage.m_anScrollLimit)), lowered);
  }
  for (double size : {-2147483648.0, -1.0, 32769.0, 2147483647.0}) {
    for (int side : {1, 4}) {
      cStageBytes s = MinimalStage();
      s.header[side] = size;
      cStageData stage;
      stage.m_nWidth = 7;
      EXPECT_EQ(stage.LoadFromBytes(StageFile(986, s)), 0) << size;
      EXPECT_EQ(LastReadFault().kind, eReadFault::BeyondLimit) << size;
      EXPECT_EQ(stage.m_nWidth, 7) << size;
    }
  }
}

// Hit-box sizes (fields 37-40, 61-64, 75-76) beyond the largest map are brought back to its size, so
// that an object's scale cannot overflow them; sizes within it are kept, negative ones too.
TEST_F(StageDataTest, HitBoxSizesBeyondTheLargestMapAreCut) {
  cStageBytes s = MinimalStage();
  s.header[37] = 1073741824.0;
  s.header[38] = 24;
  s.header[39] = -2147483648.0;
  s.header[40] = 1048576;
  s.header[61] = 1048577;
  s.header[64] = -3;
  s.header[75] = 2147483647.0;
  cStageData stage;
  ASSERT_EQ(stage.LoadFromBytes(StageFile(986, s)), 1);
  EXPECT_EQ(std::vector<int32_t>(std::begin(stage.m_anHeroHitBox), std::end(stage.m_anHeroHitBox)),
            (std::vector<int32_t>{1048576, 24, -1048576, 1048576}));
  EXPECT_EQ(stage.m_anCharaHitBox[0], 1048576);
  EXPECT_EQ(stage.m_anCharaHitBox[3], -3);
  EXPECT_EQ(stage.m_anItemHitBox[0], 1048576);
}

// Every header field a version lacks takes the value its upgrade row gives older files; every other
// field keeps what the file holds. Checked on both sides of every gate, for the whole header.
TEST_F(StageDataTest, EveryHeaderUpgradeRowGivesExactValues) {
  // The value for files older than the field's version: a constant, or (copyOf) another field's value.
  struct Older {
    double value;
    int copyOf = 0;
  };
  const std::map<int, Older> older = {
      {43, {0, 41}}, {44, {0, 42}}, {67, {0, 65}}, {68, {0, 66}},  // 155: flying boxes take the walking ones
      {51, {0}},     {52, {0}},     {73, {0}},     {74, {0}},      // 155: box alignment arguments
      {25, {1}},                                                   // 166
      {30, {1}},                                                   // 183
      {31, {0}},                                                   // 184
      {26, {0}},                                                   // 199
      {37, {16}},    {38, {24}},    {39, {16}},    {40, {16}},     // 200: hero hit box
      {49, {1}},     {50, {0}},     {53, {0}},     {57, {5}},      // 200
      {61, {16}},    {62, {30}},    {63, {16}},    {64, {30}},     // 200: character hit box
      {71, {1}},     {72, {1}},                                    // 200
      {34, {0}},                                                   // 225
      {32, {1}},                                                   // 968
  };
  // A distinct stored value for every field, within what normalisation leaves alone.
  std::map<int, double> stored;
  for (int p = 1; p <= 99; ++p) stored[p] = 100 + p + (StageHeaderSpec()[p - 1].size == 8 ? 0.5 : 0);
  stored[1] = stored[4] = 2000;  // map size: the scroll limits stay below it
  stored[21] = 0.25;
  stored[22] = 15;  // hit-check level 1-20
  stored[24] = 1;   // music number inside the database
  for (uint32_t gate : {155u, 166u, 181u, 183u, 184u, 199u, 200u, 225u, 754u, 876u, 968u}) {
    for (uint32_t v : {gate - 1, gate}) {
      cStageBytes file = MinimalStage(v);
      file.header = stored;
      cStageData stage;
      ASSERT_EQ(stage.LoadFromBytes(StageFile(v, file)), 1) << v;
      cStageBytes expected;
      for (int p = 1; p <= 99; ++p) {
        if (StageHeaderSpec()[p - 1].since <= v) {
          expected.header[p] = stored[p];
        } else {
          const Older& o = older.at(p);
          expected.header[p] = o.copyOf ? stored[o.copyOf] : o.value;
        }
      }
      const std::vector<uint8_t> want = StageFile(986, expected), saved = stage.SaveToBytes();
      // the header record: version, field count, the fields, string count 1 and the empty name
      const size_t headerEnd = SettingsBody(StageHeaderSpec(), 986, expected.header).size() + 8;
      ASSERT_GE(saved.size(), headerEnd);
      EXPECT_TRUE(std::equal(want.begin(), want.begin() + headerEnd, saved.begin())) << "version " << v;
    }
  }
}

// The upgrade rows of the lists: the totals lines (181), the texts (754) and the background layers
// (876), on both sides of each gate.
TEST_F(StageDataTest, EveryListUpgradeRowGivesExactValues) {
  struct TotalsCase {
    uint32_t version;
    std::vector<int32_t> stored, loaded;
  };
  for (const TotalsCase& c :
       {TotalsCase{180, {2, 2, 2}, {2, 2, 2, 0, 0}}, TotalsCase{180, {2, 2, 2, 2, 2, 2}, {2, 2, 2, 0, 0}},
        TotalsCase{180, {}, {1, 1, 1, 0, 0}},  // a count of 0 keeps the five of a fresh stage
        TotalsCase{181, {2, 2, 2}, {2, 2, 2}}, TotalsCase{181, {2, 2, 2, 2, 2, 2}, {2, 2, 2, 2, 2, 2}}}) {
    cStageBytes s = MinimalStage(c.version);
    s.totals = c.stored;
    cStageData stage;
    ASSERT_EQ(stage.LoadFromBytes(StageFile(c.version, s)), 1) << c.version;
    EXPECT_EQ(stage.m_anTotalsLines, c.loaded) << c.version;
  }

  for (uint32_t v : {753u, 754u}) {
    cStageBytes s = MinimalStage(v);
    cByteBuilder a, b;
    a.I32(0).I32(1).Str("a");
    b.I32(0).I32(1).Str("b");
    s.texts = {a.Get(), b.Get()};
    cStageData stage;
    ASSERT_EQ(stage.LoadFromBytes(StageFile(v, s)), 1) << v;
    ASSERT_EQ(stage.m_aTexts.size(), v < 754 ? 1000u : 2u) << v;
    EXPECT_EQ(stage.m_aTexts[0].m_strText, "a");
    EXPECT_EQ(stage.m_aTexts[1].m_strText, "b");
    for (size_t i = 2; i < stage.m_aTexts.size(); ++i) EXPECT_EQ(stage.m_aTexts[i].m_strText, "") << i;
  }

  // Layers: shown, fill, colour, group, factor x, y, auto-scroll x, y, speed x, y, offset x, y.
  struct LayerCase {
    uint32_t version;
    std::map<int, double> stored, loaded;
  };
  const LayerCase layers[] = {
      {875, {{7, 1}, {5, 0.5}, {6, 0.3}}, {{7, 1}, {9, 0.5}, {5, 1.0}, {6, 0.3}}},
      {875, {{8, 1}, {5, 0.5}, {6, 0.3}}, {{8, 1}, {10, 0.3}, {6, 1.0}, {5, 0.5}}},
      {875, {{5, 0.5}, {6, 0.3}}, {{5, 0.5}, {6, 0.3}}},
      {876,
       {{7, 1}, {8, 1}, {5, 0.5}, {6, 0.3}, {9, 2}, {10, 3}},
       {{7, 1}, {8, 1}, {5, 0.5}, {6, 0.3}, {9, 2}, {10, 3}}},
  };
  for (const LayerCase& c : layers) {
    cStageBytes s = MinimalStage(c.version);
    s.layers = {LayerBody(c.version, c.stored)};
    cStageData stage;
    ASSERT_EQ(stage.LoadFromBytes(StageFile(c.version, s)), 1) << c.version;
    ASSERT_EQ(stage.m_aLayers.size(), 1u);
    EXPECT_EQ(SaveBody(stage.m_aLayers[0]), LayerBody(986, c.loaded)) << c.version;
  }
}

TEST_F(StageDataTest, OldBackgroundLayers) {
  for (uint32_t v : {60u, 61u, 62u}) {
    cStageBytes s = MinimalStage(v);
    s.layers = {LayerBody(v, {{2, 0}, {3, 20}, {5, 1234}, {6, 77}, {11, 9}}, "sky.bmp")};
    s.texts = {};
    cStageData stage;
    ASSERT_EQ(stage.LoadFromBytes(StageFile(v, s)), 1) << v;
    ASSERT_EQ(stage.m_aLayers.size(), 1u);
    const cBackLayer& layer = stage.m_aLayers[0];
    EXPECT_EQ(layer.m_nColour, 20) << v;
    EXPECT_EQ(layer.m_strPicture, "sky.bmp") << v;
    EXPECT_EQ(layer.m_bShown, 1) << v;
    EXPECT_DOUBLE_EQ(layer.m_dFactorX, v == 60 ? 0.1 : 1234) << v;
    EXPECT_DOUBLE_EQ(layer.m_dAutoOffsetX, v >= 62 ? 9.0 : 0.0) << v;
  }
}

TEST_F(StageDataTest, ReplayBodyTakesTheSettingsCopy) {
  cStageData played;
  played.m_strName = "played";
  played.m_nTimeLimit = 5;
  played.m_aPalItems.resize(3);
  played.m_aPalItems[2].m_strName = "coin";
  cStageData settings;
  settings.m_strName = "settings";
  settings.m_nTimeLimit = 300;
  settings.m_aLayers.resize(2);
  auto file = cDataFile::ForWriting("");
  file->WriteUInt32(986);
  ASSERT_TRUE(played.WriteStageToReplay(*file, settings));
  cStageData reread;
  ASSERT_EQ(reread.LoadFromBytes(file->Bytes()), 1);
  EXPECT_EQ(reread.m_strName, "settings");
  EXPECT_EQ(reread.m_nTimeLimit, 300);
  EXPECT_EQ(reread.m_aLayers.size(), 2u);
  ASSERT_EQ(reread.m_aPalItems.size(), 3u);
  EXPECT_EQ(reread.m_aPalItems[2].m_strName, "coin");
}

TEST_F(StageDataTest, SettingsCopyAndRestart) {
  g_StageFile.m_strName = "one";
  g_StageFile.m_nTimeLimit = 77;
  g_StageFile.m_aKeepAreas[2].m_nTop = 4;
  g_StageFile.m_aTexts.resize(3);
  g_StageFile.m_aCharas.resize(2);
  TakeStageSettingsCopy();
  EXPECT_EQ(g_StageData.m_strName, "one");
  EXPECT_EQ(g_StageData.m_nTimeLimit, 77);
  EXPECT_EQ(g_StageData.m_aKeepAreas[2].m_nTop, 4);
  EXPECT_EQ(g_StageData.m_aTexts.size(), 3u);
  EXPECT_TRUE(g_StageData.m_aCharas.empty());
  EXPECT_TRUE(g_StageData.m_aPalBlocks.empty());
  // play changes the settings; a restart takes them back
  g_StageFile.m_nTimeLimit = 1;
  g_StageFile.m_aTexts.clear();
  RestoreStageSettings();
  EXPECT_EQ(g_StageFile.m_nTimeLimit, 77);
  EXPECT_EQ(g_StageFile.m_aTexts.size(), 3u);
  EXPECT_EQ(g_StageFile.m_aCharas.size(), 2u);
}

TEST_F(StageDataTest, PlacedCharacterFindsTheHero) {
  cStageBytes s = MinimalStage();
  cTypeBytes enemy, hero;
  enemy.fields = {{13, 2}, {26, 1}};
  hero.fields = {{13, 2}, {26, 0}};
  enemy.inherit.assign(37, 0);
  hero.inherit.assign(37, 0);
  hero.cellX = 5;
  s.charas = {TypeBody('c', 986, enemy), TypeBody('c', 986, hero)};
  cStageData stage;
  ASSERT_EQ(stage.LoadFromBytes(StageFile(986, s)), 1);
  ASSERT_EQ(stage.FindHero(), 1);
  EXPECT_EQ(stage.m_aCharas[1].m_nCellX, 5);
}

TEST_F(StageDataTest, KeepAreasBefore125HaveOnlyTheLeftSwitch) {
  for (uint32_t v : {124u, 125u}) {
    cStageBytes s = MinimalStage(v);
    s.quads[0] = {1, 1, 1, 1, 2, 3, 4, 5};
    cStageData stage;
    ASSERT_EQ(stage.LoadFromBytes(StageFile(v, s)), 1) << v;
    const cStageQuad& q = stage.m_aKeepAreas[0];
    EXPECT_EQ(q.m_bLeftOn, 1);
    EXPECT_EQ(q.m_bTopOn, v >= 125 ? 1 : 0) << v;
    EXPECT_EQ(q.m_nLeft, 2);
    EXPECT_EQ(q.m_nBottom, 5);
  }
}
