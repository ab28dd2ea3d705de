// The common palette file and the save sub-records.
#include "data/palette.h"
#include "data/save_records.h"
#include "flow_bytes.h"
#include "game_data_fixture.h"
#include "stage_bytes.h"
#include "type_bytes.h"

class PaletteTest : public GameDataTest {
 protected:
  static std::vector<uint8_t> PaletteFile(uint32_t version, const std::vector<std::vector<uint8_t>>& blocks,
                                          const std::vector<std::vector<uint8_t>>& charas,
                                          const std::vector<std::vector<uint8_t>>& items) {
    cByteBuilder b;
    b.U32(version).I32(0).I32(0);
    for (const auto* list : {&blocks, &charas, &items}) {
      b.I32(static_cast<int32_t>(list->size()));
      for (const auto& e : *list) b.Bytes(e);
    }
    return b.Get();
  }
};

TEST_F(PaletteTest, ShortListsArePaddedAndEntryZeroIsReset) {
  cTypeBytes block;
  block.fields = {{5, 7}, {12, 1}};
  block.name = "entry zero";
  block.inherit.assign(11, 0);
  cPalette palette;
  ASSERT_EQ(palette.LoadFromBytes(PaletteFile(986, {TypeBody('b', 986, block)}, {}, {})), 1);
  ASSERT_EQ(palette.m_aBlockTypes.size(), 2u);
  EXPECT_EQ(palette.m_aBlockTypes[0].m_strName, "");
  EXPECT_EQ(palette.m_aBlockTypes[0].m_nGraphic, 0);
  EXPECT_EQ(palette.m_aCharaTypes.size(), 2u);
  EXPECT_EQ(palette.m_aItemTypes.size(), 2u);
  EXPECT_EQ(palette.m_aItemTypes[1].m_nGraphicKind, 2);
}

TEST_F(PaletteTest, InheritanceWithinTheListThenNoFlagStays) {
  cTypeBytes a, b, c;
  a.inherit.assign(11, 0);
  b.fields = {{5, 30}, {6, 1}, {12, 1}};
  b.name = "base";
  b.inherit.assign(11, 0);
  c.fields = {{1, 1}, {2, 1}, {5, 5}, {12, 1}};  // inherits from entry 1 of the common palette
  c.inherit.assign(11, 0);
  c.inherit[0] = c.inherit[2] = 1;
  std::vector<uint8_t> bytes =
      PaletteFile(986, {TypeBody('b', 986, a), TypeBody('b', 986, b), TypeBody('b', 986, c)}, {}, {});
  ASSERT_EQ(g_CommonPalette.LoadFromBytes(bytes), 1);
  ASSERT_EQ(g_CommonPalette.m_aBlockTypes.size(), 3u);
  const cBlockType& heir = g_CommonPalette.m_aBlockTypes[2];
  EXPECT_EQ(heir.m_strName, "base");
  EXPECT_EQ(heir.m_nGraphic, 30);
  for (const auto& t : g_CommonPalette.m_aBlockTypes)
    for (uint8_t f : t.m_abInherit) EXPECT_EQ(f, 0);
  for (const auto& t : g_CommonPalette.m_aCharaTypes)
    for (uint8_t f : t.m_abInherit) EXPECT_EQ(f, 0);
  // the palette survives a trip through its file
  cPalette again;
  ASSERT_EQ(again.LoadFromBytes(g_CommonPalette.SaveToBytes()), 1);
  EXPECT_EQ(again.SaveToBytes(), g_CommonPalette.SaveToBytes());
}

// Every entry of a list exists before the first one loads, so an entry inheriting from a later one
// finds it: it takes that entry's settings as they stand then (a new entry's defaults) and keeps its
// reference.
TEST_F(PaletteTest, AnEntryInheritingFromALaterEntryTakesItsDefaults) {
  cTypeBytes empty, heir, later;
  empty.inherit.assign(11, 0);
  heir.fields = {{1, 1}, {2, 2}, {5, 5}, {8, 4}, {12, 1}};  // inherits the layer from entry 2
  heir.inherit.assign(11, 0);
  heir.inherit[3] = 1;
  later.fields = {{5, 30}, {8, 7}, {12, 1}};
  later.inherit.assign(11, 0);
  cTypeBytes chara;
  chara.fields = {{1, 1}, {2, 2}, {13, 1}, {14, 1}, {39, 50}};  // inherits the maximum life
  chara.inherit.assign(37, 0);
  chara.inherit[23] = 1;
  cTypeBytes laterChara;
  laterChara.fields = {{13, 1}, {14, 1}, {39, 80}};
  laterChara.inherit.assign(37, 0);
  std::vector<uint8_t> bytes =
      PaletteFile(986, {TypeBody('b', 986, empty), TypeBody('b', 986, heir), TypeBody('b', 986, later)},
                  {TypeBody('c', 986, empty), TypeBody('c', 986, chara), TypeBody('c', 986, laterChara)}, {});
  ASSERT_EQ(g_CommonPalette.LoadFromBytes(bytes), 1);
  const cBlockType& block = g_CommonPalette.m_aBlockTypes.at(1);
  EXPECT_EQ(block.m_nLayer, 0);
  EXPECT_EQ(block.m_nGraphic, 5);
  EXPECT_EQ(block.m_nInheritKind, 1);
  EXPECT_EQ(block.m_nInheritIndex, 2);
  EXPECT_EQ(g_CommonPalette.m_aBlockTypes.at(2).m_nLayer, 7);
  EXPECT_EQ(g_CommonPalette.m_aCharaTypes.at(1).m_nMaxHp, 10);
  EXPECT_EQ(g_CommonPalette.m_aCharaTypes.at(1).m_nInheritKind, 1);

  // the stage palette the same way
  cStageBytes stage;
  stage.palBlocks = {TypeBody('b', 986, empty), TypeBody('b', 986, heir), TypeBody('b', 986, later)};
  stage.palBlocks[1] = [&] {
    cTypeBytes fromStage = heir;
    fromStage.fields[1] = 2;
    return TypeBody('b', 986, fromStage);
  }();
  ASSERT_EQ(g_StageFile.LoadFromBytes(StageFile(986, stage)), 1);
  EXPECT_EQ(g_StageFile.m_aPalBlocks.at(1).m_nLayer, 0);
  EXPECT_EQ(g_StageFile.m_aPalBlocks.at(1).m_nInheritKind, 2);
  EXPECT_EQ(g_StageFile.m_aPalBlocks.at(2).m_nLayer, 7);
}

TEST_F(PaletteTest, FileNewerThanTheProgramIsRefused) {
  cPalette palette;
  palette.m_aBlockTypes.resize(5);
  EXPECT_EQ(palette.LoadFromBytes(PaletteFile(987, {}, {}, {})), 0);
  EXPECT_EQ(g_bFileTooNew, 1);
  EXPECT_EQ(palette.m_aBlockTypes.size(), 5u);
  EXPECT_EQ(palette.LoadFromBytes(PaletteFile(986, {}, {}, {})), 1);
  EXPECT_EQ(g_bFileTooNew, 0);
}

class SaveRecordsTest : public GameDataTest {};

TEST_F(SaveRecordsTest, StageResultKeyBefore759) {
  cByteBuilder old;
  old.I32(1).I32(500).I32(1).Str("c05-1.stg4");
  cStageResult result;
  ASSERT_TRUE(LoadBody(result, 758, old.Get()));
  EXPECT_EQ(result.m_nBest, 500);
  EXPECT_EQ(result.m_strKey, "c05-1.stg4");
  EXPECT_EQ(result.m_anValues[0], 0);
  cByteBuilder current;
  current.I32(4).I32s({1, 2, 3, 500}).I32(2).Str("c05-1.stg4").Str("key");
  cStageResult fresh;
  ASSERT_TRUE(LoadBody(fresh, 759, current.Get()));
  EXPECT_EQ(fresh.m_strKey, "key");
  EXPECT_EQ(fresh.m_anValues[2], 3);
  EXPECT_EQ(SaveBody(fresh), current.Get());
}

TEST_F(SaveRecordsTest, SavedHeroKeepsItsFlows) {
  cSaveHero hero;
  hero.m_nTimeLimit = 120;
  hero.m_nBgm = 1;
  hero.m_CharaType.m_nGraphic = 4;
  hero.m_CharaType.m_aFlows.resize(2);
  hero.m_CharaType.m_aFlows[0].m_nTrigger = 5;
  hero.m_CharaType.m_aFlows[1].m_nGroup = 1;
  hero.m_CharaType.m_aFlows[1].m_aCmds.resize(1);
  hero.m_CharaType.m_aFlows[1].m_aCmds[0].m_nKind = 19;
  cSaveHero again = RoundTrip(hero);
  EXPECT_EQ(again.m_nTimeLimit, 120);
  EXPECT_EQ(again.m_CharaType.m_nGraphic, 4);
  ASSERT_EQ(again.m_CharaType.m_aFlows.size(), 2u);
  EXPECT_EQ(again.m_CharaType.m_aFlows[0].m_nTrigger, 5);
  ASSERT_EQ(again.m_CharaType.m_aFlows[1].m_aCmds.size(), 1u);
  EXPECT_EQ(again.m_CharaType.m_aFlows[1].m_aCmds[0].m_anParams.size(), 21u);
}

TEST_F(SaveRecordsTest, PlainRecords) {
  cSaveVar var;
  var.m_nValueA = -3;
  var.m_nValueB = 9;
  cByteBuilder b;
  b.I32(2).I32(-3).I32(9).I32(0);
  EXPECT_EQ(SaveBody(var), b.Get());
  cStrRecord text;
  text.m_strText = std::string("a\0b", 3);
  cByteBuilder t;
  t.I32(0).I32(1).Str("a");  // cut at the first NUL
  EXPECT_EQ(SaveBody(text), t.Get());
  EXPECT_EQ(text.m_strText, "a");
}

// A text record's body: no numbers, then one text (its CR bytes dropped); a body with no text keeps
// the text the record holds; numbers, more than one text, or a body cut short are refused.
TEST_F(SaveRecordsTest, TextRecordBodies) {
  struct Case {
    const char* what;
    std::vector<uint8_t> body;
    bool loads;
    const char* text;  // after the load
    size_t consumed;
  };
  const Case cases[] = {
      {"one text", cByteBuilder().I32(0).I32(1).Str("a\rb").Get(), true, "ab", 16},
      {"one empty text", cByteBuilder().I32(0).I32(1).I32(1).Get(), true, "", 12},
      {"no text", cByteBuilder().I32(0).I32(0).Get(), true, "kept", 8},
      {"a number", cByteBuilder().I32(1).I32(5).I32(1).Str("a").Get(), false, nullptr, 0},
      {"two texts", cByteBuilder().I32(0).I32(2).Str("a").Str("b").Get(), false, nullptr, 0},
      {"a text cut short", cByteBuilder().I32(0).I32(1).I32(9).U8('a').Get(), false, nullptr, 0},
      {"a text count cut short", cByteBuilder().I32(0).I32(1).Get(), false, nullptr, 0},
  };
  for (const Case& c : cases) {
    cStrRecord text;
    text.m_strText = "kept";
    size_t consumed = 0;
    EXPECT_EQ(LoadBody(text, kDataVersion, c.body, &consumed), c.loads) << c.what;
    if (!c.loads) continue;
    EXPECT_EQ(text.m_strText, c.text) << c.what;
    EXPECT_EQ(consumed, c.consumed) << c.what;
  }
}
