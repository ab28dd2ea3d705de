// Block, character and item type records: layouts, upgrades, inheritance, validation.
#include "data/block_type.h"
#include "data/chara_type.h"
#include "data/item_type.h"
#include "flow_bytes.h"
#include "game_data_fixture.h"
#include "test_support/hooks_guard.h"
#include "type_bytes.h"

class TypeRecordsTest : public GameDataTest {};

// ---- block types ----

TEST_F(TypeRecordsTest, BlockDefaultsAndLayout) {
  cBlockType block;
  EXPECT_EQ(block.m_nContact, 1);
  EXPECT_EQ(block.m_nPassGroup, -1);
  EXPECT_EQ(block.m_abInherit.size(), 11u);
  block.m_strName = "ice";
  block.m_nCellX = 4;
  block.m_nCellY = -2;
  block.m_nGraphic = 12;
  block.m_nEffectValue = 70000;
  cTypeBytes expected;
  expected.fields = {{5, 12}, {12, 1}, {13, -1}, {15, 70000}};
  expected.name = "ice";
  expected.cellX = 4;
  expected.cellY = -2;
  expected.inherit.assign(11, 0);
  EXPECT_EQ(SaveBody(block), TypeBody('b', 986, expected));
}

TEST_F(TypeRecordsTest, BlockWithoutGraphicHasNoContact) {
  cTypeBytes t;
  t.fields = {{5, 0}, {12, 2}, {18, 1}};
  cBlockType block;
  ASSERT_TRUE(LoadBody(block, 986, TypeBody('b', 986, t)));
  EXPECT_EQ(block.m_nContact, 0);
  EXPECT_EQ(block.m_bProtected, 0);
  t.fields[5] = 3;
  ASSERT_TRUE(LoadBody(block, 986, TypeBody('b', 986, t)));
  EXPECT_EQ(block.m_nContact, 2);
}

TEST_F(TypeRecordsTest, BlockContactByGroupAndConditions) {
  cBlock cell;
  cell.m_nGraphic = 1;
  cell.m_nContact = 1;
  cell.m_nPassGroup = 3;
  EXPECT_EQ(GetBlockContact(cell, 3), 0);
  EXPECT_EQ(GetBlockContact(cell, 2), 1);
  EXPECT_EQ(GetBlockContact(cell, -1), 1);
  cell.m_nPassGroup = -1;
  EXPECT_EQ(GetBlockContact(cell, -1), 0);
  cell.m_nPassGroup = 3;
  cell.m_aConds.resize(1);
  {
    cHooksGuard guard(SetBlockHooks, {.conditionsHold = [](cBlock&) { return false; }});
    EXPECT_EQ(GetBlockContact(cell, 2), 0);
  }
  {
    cHooksGuard guard(SetBlockHooks, {.conditionsHold = [](cBlock&) { return true; }});
    EXPECT_EQ(GetBlockContact(cell, 2), 1);
  }
  EXPECT_EQ(GetBlockContact(cell, 2), 1);  // without stage play the conditions hold
}

TEST_F(TypeRecordsTest, OldShotGraphicsMoveUpOne) {
  for (auto [version, stored, expected] : {std::tuple{218u, 119, 119}, {218u, 5, 6}, {219u, 5, 5}}) {
    cTypeBytes t;
    t.fields = {{5, stored}, {6, 3}};
    cBlockType block;
    ASSERT_TRUE(LoadBody(block, version, TypeBody('b', version, t)));
    EXPECT_EQ(block.m_nGraphic, expected) << version;
    cTypeBytes item;
    item.fields = {{7, stored}, {8, 3}};
    cItemType it;
    ASSERT_TRUE(LoadBody(it, version, TypeBody('i', version, item)));
    EXPECT_EQ(it.m_nGraphic, expected) << version;
    cTypeBytes chara;
    chara.fields = {{13, stored}, {14, 3}};
    cCharaType ct;
    ASSERT_TRUE(LoadBody(ct, version, TypeBody('c', version, chara)));
    EXPECT_EQ(ct.m_nGraphic, expected) << version;
  }
}

TEST_F(TypeRecordsTest, BlockInheritance) {
  cBlockType& source = g_CommonPalette.m_aBlockTypes.emplace_back();
  source.m_strName = "source";
  source.m_nGraphicKind = 2;
  source.m_nGraphic = 40;
  source.m_nGraphicSub = 3;
  source.m_nLayer = 5;
  source.m_aConds.resize(2);
  source.m_nCondMode = 1;

  cTypeBytes t;
  t.fields = {{1, 1}, {2, 1}, {5, 9}, {8, 1}};
  t.name = "own";
  t.inherit = std::vector<uint8_t>(14, 0);
  t.inherit[0] = t.inherit[1] = t.inherit[2] = 1;
  t.inherit[13] = 1;  // beyond the eleventh: no group
  cBlockType block;
  ASSERT_TRUE(LoadBody(block, 986, TypeBody('b', 986, t)));
  EXPECT_EQ(block.m_strName, "source");
  EXPECT_EQ(block.m_nGraphic, 40);
  EXPECT_EQ(block.m_nGraphicSub, 3);
  EXPECT_EQ(block.m_aConds.size(), 2u);
  EXPECT_EQ(block.m_nCondMode, 1);
  EXPECT_EQ(block.m_nLayer, 1);  // group 3 not flagged
  EXPECT_EQ(block.m_nInheritKind, 1);

  // an index past the palette clears the kind and copies nothing
  t.fields[2] = 2;
  ASSERT_TRUE(LoadBody(block, 986, TypeBody('b', 986, t)));
  EXPECT_EQ(block.m_strName, "own");
  EXPECT_EQ(block.m_nInheritKind, 0);
  EXPECT_EQ(block.m_nGraphic, 9);
  t.fields[2] = -1;  // negative counts as past the palette
  ASSERT_TRUE(LoadBody(block, 986, TypeBody('b', 986, t)));
  EXPECT_EQ(block.m_nInheritKind, 0);
}

TEST_F(TypeRecordsTest, BlockItemReference) {
  cBlockType block;
  block.m_nItemKind = 2;
  block.m_nItemIndex = 1;  // the stage palette holds one item type
  block.ValidateBlockItem();
  EXPECT_EQ(block.m_nItemKind, 0);
  EXPECT_EQ(block.m_nItemIndex, 0);
  block.m_nItemKind = 1;
  block.m_nItemIndex = 0;
  block.ValidateBlockItem();
  EXPECT_EQ(block.m_nItemKind, 1);
}

// ---- character types ----

TEST_F(TypeRecordsTest, CharaDefaultsAndLayout) {
  cCharaType chara;
  cTypeBytes expected;
  expected.fields = {{14, 1}, {17, 3}, {21, 1}, {26, 1}, {28, 1}, {31, 1}, {35, 1}, {39, 10}, {41, 10}, {49, 1}};
  expected.inherit.assign(37, 0);
  EXPECT_EQ(SaveBody(chara), TypeBody('c', 986, expected));
}

TEST_F(TypeRecordsTest, CharaInheritFlagsOfVersion167) {
  cTypeBytes t;
  t.fields = {{13, 1}};
  t.inherit.assign(34, 0);
  t.inherit[5] = 1;
  t.inherit[30] = 1;
  cCharaType chara;
  ASSERT_TRUE(LoadBody(chara, 167, TypeBody('c', 167, t)));
  ASSERT_EQ(chara.m_abInherit.size(), 37u);
  std::vector<int> set;
  for (int i = 0; i < 37; ++i)
    if (chara.m_abInherit[i]) set.push_back(i);
  // 21, 25 and 29 added by the upgrades; stored flag 30 moved three places up
  EXPECT_EQ(set, (std::vector<int>{5, 21, 25, 29, 33}));
  EXPECT_EQ(chara.m_nDefence, 0);
  EXPECT_EQ(chara.m_nOpt33, 1);
}

TEST_F(TypeRecordsTest, CharaUpgradesAtTheirGates) {
  struct Case {
    uint32_t version;
    std::map<int, double> fields;
    int cCharaTypeField;  // 42 size mode, 33 option
    int expected;
  };
  const Case cases[] = {
      {205, {{42, 2}}, 42, 3}, {205, {{42, 1}}, 42, 1}, {206, {{42, 2}}, 42, 2},
      {284, {{33, 0}}, 33, 1}, {285, {{33, 0}}, 33, 0},
  };
  for (const Case& c : cases) {
    cTypeBytes t;
    t.fields = c.fields;
    t.fields[13] = 1;
    t.inherit.assign(37, 0);
    cCharaType chara;
    ASSERT_TRUE(LoadBody(chara, c.version, TypeBody('c', c.version, t)));
    EXPECT_EQ(c.cCharaTypeField == 42 ? chara.m_nSizeMode : chara.m_nOpt33, c.expected) << c.version;
  }
}

TEST_F(TypeRecordsTest, CharaValidation) {
  cCharaType chara;
  chara.m_nGraphicKind = 4;
  chara.m_nGraphic = 2;  // two dedicated bitmaps by default
  chara.m_nScale = 0;
  chara.m_nAnimeSet = 1;
  chara.m_nCharaEffect = -1;
  chara.m_nDefeatEffect = 1;
  chara.m_nHitEffect = 5;
  chara.m_nControl = 0;
  chara.m_bBlockChara = 1;
  chara.m_nOpt6 = 1;
  chara.ValidateCharaType();
  EXPECT_EQ(chara.m_nGraphic, 1);
  EXPECT_EQ(chara.m_nScale, 1);
  EXPECT_EQ(chara.m_nAnimeSet, 0);
  EXPECT_EQ(chara.m_nCharaEffect, 0);
  EXPECT_EQ(chara.m_nDefeatEffect, 1);
  EXPECT_EQ(chara.m_nHitEffect, 0);
  EXPECT_EQ(chara.m_bBlockChara, 0);
  EXPECT_EQ(chara.m_nOpt6, 0);
  // with a single dedicated bitmap, "reset to 1" would still be outside
  g_Database.m_aBmpCharaExc.resize(1);
  chara.m_nGraphic = 7;
  chara.ValidateCharaType();
  EXPECT_EQ(chara.m_nGraphic, 0);
}

TEST_F(TypeRecordsTest, CharaFlowsOnLoad) {
  cFlowBytes empty, grouped, testOnly;
  grouped.group = 2;
  testOnly.trigger = 26;
  testOnly.testPlay = 1;
  cTypeBytes t;
  t.fields = {{13, 1}};
  t.inherit.assign(37, 0);
  t.tail = {FlowBody(986, empty), FlowBody(986, grouped), FlowBody(986, empty), FlowBody(986, testOnly)};
  cCharaType chara;
  ASSERT_TRUE(LoadBody(chara, 986, TypeBody('c', 986, t)));
  ASSERT_EQ(chara.m_aFlows.size(), 1u);  // empty flows dropped, the test-play flow removed
  EXPECT_EQ(chara.m_aFlows[0].m_nGroup, 2);
  g_GameData.m_bTestPlay = 1;
  ASSERT_TRUE(LoadBody(chara, 986, TypeBody('c', 986, t)));
  EXPECT_EQ(chara.m_aFlows.size(), 2u);
}

TEST_F(TypeRecordsTest, CharaInheritance) {
  cCharaType& source = g_StageFile.m_aPalCharas.emplace_back();
  source.m_nMaxHp = 99;
  source.m_nPlaceOffsetX = 4;
  source.m_nPlaceStepX = 8;
  source.m_bMirrorX = 1;
  cCharaType chara;
  chara.m_nInheritKind = 2;
  chara.m_nInheritIndex = 1;
  chara.m_abInherit[23] = 1;
  chara.m_abInherit[7] = 1;
  chara.m_abInherit[36] = 1;
  chara.m_aFlows.resize(3);
  chara.ApplyCharaInheritance();
  EXPECT_EQ(chara.m_nMaxHp, 99);
  EXPECT_DOUBLE_EQ(chara.PlaceOffsetX(2, 0), 20.0);
  EXPECT_DOUBLE_EQ(chara.PlaceOffsetX(2, 1), -20.0);
  // inheriting the flows of a source without any leaves one default flow
  ASSERT_EQ(chara.m_aFlows.size(), 1u);
  EXPECT_EQ(chara.m_aFlows[0].m_nKeyStepGap, 3);
  chara.m_nPlaceOffsetY = 4;
  chara.m_nPlaceStepY = 8;
  EXPECT_DOUBLE_EQ(chara.PlaceOffsetY(2, 1), 20.0);  // no Y mirror flag
}

TEST_F(TypeRecordsTest, HeroIsTheFirstPlayerCharacterWithAGraphic) {
  std::vector<cCharaType> placed(4);
  placed[0].m_nControl = 0;  // no graphic
  placed[1].m_nGraphic = 3;  // computer
  placed[2].m_nGraphic = 3;
  placed[2].m_nControl = 0;
  placed[3] = placed[2];
  EXPECT_EQ(FindHeroIndex(placed), 2);
  placed[2].m_nControl = 1;
  placed[3].m_nControl = 1;
  EXPECT_EQ(FindHeroIndex(placed), -1);
}

// ---- item types ----

TEST_F(TypeRecordsTest, ItemDefaultsReferencesAndValidation) {
  cItemType item;
  EXPECT_EQ(item.m_nGraphicKind, 2);
  EXPECT_EQ(item.m_nLayer, 6);
  EXPECT_EQ(item.m_bShowRising, 1);
  EXPECT_EQ(item.m_nScale, 1);
  EXPECT_EQ(item.m_abInherit.size(), 13u);

  EXPECT_EQ(GetItemTypeRef(2, static_cast<int>(g_StageFile.m_aPalItems.size())), nullptr);
  EXPECT_EQ(GetItemTypeRef(2, 0), &g_StageFile.m_aPalItems[0]);
  EXPECT_EQ(GetItemTypeRef(0, 0), nullptr);
  EXPECT_EQ(GetItemTypeRef(1, -1), nullptr);

  item.m_nScale = -2;
  item.m_nSound = 2;
  item.ValidateItemType();
  EXPECT_EQ(item.m_nScale, 1);
  EXPECT_EQ(item.m_nSound, 0);
}

TEST_F(TypeRecordsTest, ItemCommandsLoadAndInherit) {
  cCmdBytes cmd;
  cmd.context = 1;
  cmd.kind = 4;  // "メッセージ"
  cTypeBytes t;
  t.inherit.assign(13, 0);
  t.tail = {CmdBody(986, cmd)};
  cItemType& source = g_CommonPalette.m_aItemTypes.emplace_back();
  ASSERT_TRUE(LoadBody(source, 986, TypeBody('i', 986, t)));
  ASSERT_EQ(source.m_aCmds.size(), 1u);
  EXPECT_EQ(source.m_aCmds[0].m_anParams.size(), 21u);

  cItemType item;
  item.m_nInheritKind = 1;
  item.m_nInheritIndex = 1;
  item.m_abInherit[12] = 1;
  item.m_abInherit[11] = 1;
  source.m_nSound = 1;
  item.ApplyItemInheritance();
  EXPECT_EQ(item.m_aCmds.size(), 1u);
  EXPECT_EQ(item.m_nSound, 1);
}

TEST_F(TypeRecordsTest, EveryCharaGateSeparatesTheVersionBeforeItFromItself) {
  for (uint32_t gate : {168u, 196u, 201u, 206u, 210u, 219u, 285u}) {
    std::vector<uint8_t> saved[2];
    for (int at = 0; at < 2; ++at) {
      const uint32_t v = gate - 1 + static_cast<uint32_t>(at);
      cTypeBytes t;
      t.fields = {{13, 4}, {14, 3}, {20, 1}, {42, 2}, {46, 7}, {33, 0}};
      t.inherit.assign(37, 0);
      t.inherit[30] = 1;
      cCharaType chara;
      ASSERT_TRUE(LoadBody(chara, v, TypeBody('c', v, t))) << v;
      saved[at] = SaveBody(chara);
    }
    EXPECT_NE(saved[0], saved[1]) << "gate " << gate;
  }
}
