// Block, character and item type records: layouts, upgrades, inheritance, validation.
#include "cond_bytes.h"
#include "data/block_type.h"
#include "data/chara_type.h"
#include "data/item_type.h"
#include "flow_bytes.h"
#include "game_data_fixture.h"
#include "test_support/hooks_guard.h"
#include "type_bytes.h"

class TypeRecordsTest : public GameDataTest {
 protected:
  // What one inherit group copies: fields by position, and the name, conditions and flows or commands.
  struct cInheritGroup {
    std::vector<int> fields;
    bool name = false, conds = false, tail = false;
  };

  // Loads a type that inherits from entry 1 of the common palette (which holds source) with only
  // group g flagged, for every group in turn; after loading it holds its own values except the
  // source's in that group.
  template <class T>
  static void CheckInheritGroups(char kind, std::vector<T>& palette, const std::vector<cInheritGroup>& groups,
                                 const cTypeBytes& own, const cTypeBytes& source) {
    palette.resize(2);
    ASSERT_TRUE(LoadBody(palette[1], 986, TypeBody(kind, 986, source)));
    for (size_t g = 0; g < groups.size(); ++g) {
      cTypeBytes heir = own;
      heir.inherit.assign(groups.size(), 0);
      heir.inherit[g] = 1;
      T type;
      ASSERT_TRUE(LoadBody(type, 986, TypeBody(kind, 986, heir))) << kind << " group " << g;
      cTypeBytes expected = heir;
      for (int p : groups[g].fields) expected.fields[p] = source.fields.at(p);
      if (groups[g].name) expected.name = source.name;
      if (groups[g].conds) expected.conds = source.conds;
      if (groups[g].tail) expected.tail = source.tail;
      EXPECT_EQ(SaveBody(type), TypeBody(kind, 986, expected)) << kind << " group " << g;
    }
  }

  // Own values (10 + position) and source values (60 + position) for every field from 3 on; the
  // own type inherits from entry 1 of the common palette, the source from nothing.
  static void FillInheritValues(size_t fieldCount, cTypeBytes& own, cTypeBytes& source) {
    own.fields = {{1, 1}, {2, 1}};
    source.fields = {{1, 0}, {2, 0}};
    for (int p = 3; p <= static_cast<int>(fieldCount); ++p) {
      own.fields[p] = 10 + p;
      source.fields[p] = 60 + p;
    }
    own.name = "own";
    source.name = "source";
    own.cellX = 3;
    own.cellY = 4;
    CondFields mine, theirs, more;
    mine.kind = 1;
    mine.operand = 5;
    theirs.kind = 2;
    theirs.operand = 7;
    more.kind = 3;
    more.operand = 8;
    own.conds = {CondBody(986, mine)};
    source.conds = {CondBody(986, theirs), CondBody(986, more)};
  }
};

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

// Every inherit group of a block type copies exactly its fields.
TEST_F(TypeRecordsTest, EveryBlockInheritGroupCopiesItsFields) {
  // clang-format off
  const std::vector<cInheritGroup> groups = {
      {{}, true},            // 0 name
      {{3, 4}, false, true}, // 1 conditions, condition mode and latch
      {{6, 5, 7}},           // 2 graphic kind, index and sub-index
      {{8}},                 // 3 drawing layer
      {{9}},                 // 4 invisible
      {{10, 11}},            // 5 icon display and index
      {{12}},                // 6 contact kind
      {{13}},                // 7 pass-through group
      {{14, 15}},            // 8 effect and its value
      {{16, 17}},            // 9 item reference
      {{18}},                // 10 protected
  };
  // clang-format on
  ASSERT_EQ(groups.size(), static_cast<size_t>(kBlockInheritGroups));
  cTypeBytes own, source;
  FillInheritValues(BlockTypeSpec().size(), own, source);
  CheckInheritGroups('b', g_CommonPalette.m_aBlockTypes, groups, own, source);
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

// Every upgrade row of the character type: a type stored at the version below the row's gate (the
// later rows run as well) and at the gate itself, against the whole record after loading. Fields
// the version does not store are left out of its bytes.
TEST_F(TypeRecordsTest, EveryCharaUpgradeRowGivesExactValues) {
  auto flags = [](size_t count, std::initializer_list<int> set) {
    std::vector<uint8_t> f(count, 0);
    for (int i : set) f.at(static_cast<size_t>(i)) = 1;
    return f;
  };
  struct Case {
    uint32_t version;
    std::map<int, double> stored;
    std::vector<uint8_t> storedFlags;
    std::map<int, double> loaded;  // besides graphic 1, computer control and scale 1
    std::vector<uint8_t> loadedFlags;
  };
  const std::map<int, double> others = {{46, 7}, {20, 2}, {23, 3}, {42, 2}, {36, 4}};
  // clang-format off
  const Case cases[] = {
      // 168: defence; inherit group 27 enters (groups 27-35 move up), then 24 (201) and 21 (210). The
      // flags beside each entering group are clear, so that a group entering one place off shows.
      {167, others, flags(34, {5, 28, 30, 33}), {{33, 1}}, flags(37, {5, 21, 25, 29, 31, 33, 36})},
      {168, others, flags(35, {5, 25, 30, 33}), {{46, 7}, {33, 1}}, flags(37, {5, 21, 25, 27, 32, 35})},
      // 196: the two effect options
      {195, {{20, 2}, {23, 3}}, flags(35, {}), {{33, 1}}, flags(37, {21, 25})},
      {196, {{20, 2}, {23, 3}}, flags(35, {}), {{20, 2}, {23, 3}, {33, 1}}, flags(37, {21, 25})},
      // 201: the size mode; inherit group 24 enters
      {200, {{42, 1}}, flags(35, {26, 34}), {{33, 1}}, flags(37, {21, 25, 28, 36})},
      {201, {{42, 1}}, flags(36, {24, 35}), {{42, 1}, {33, 1}}, flags(37, {21, 25, 36})},
      // 206: size mode 2 was added
      {205, {{42, 2}}, flags(36, {}), {{42, 3}, {33, 1}}, flags(37, {21})},
      {205, {{42, 3}}, flags(36, {}), {{42, 4}, {33, 1}}, flags(37, {21})},
      {205, {{42, 1}}, flags(36, {}), {{42, 1}, {33, 1}}, flags(37, {21})},
      {206, {{42, 2}}, flags(36, {}), {{42, 2}, {33, 1}}, flags(37, {21})},
      // 210: field 36; inherit group 21 enters
      {209, {{36, 4}}, flags(36, {19, 22, 35}), {{33, 1}}, flags(37, {19, 21, 23, 36})},
      {210, {{36, 4}}, flags(37, {19, 22, 35}), {{36, 4}, {33, 1}}, flags(37, {19, 22, 35})},
      // 219: shot graphics (kind 3) move up one, at most 119
      {218, {{13, 5}, {14, 3}}, flags(37, {}), {{13, 6}, {14, 3}, {33, 1}}, flags(37, {})},
      {218, {{13, 119}, {14, 3}}, flags(37, {}), {{13, 119}, {14, 3}, {33, 1}}, flags(37, {})},
      {218, {{13, 5}, {14, 2}}, flags(37, {}), {{13, 5}, {14, 2}, {33, 1}}, flags(37, {})},
      {219, {{13, 5}, {14, 3}}, flags(37, {}), {{13, 5}, {14, 3}, {33, 1}}, flags(37, {})},
      // 285: field 33 is 1 for older files
      {284, {{33, 0}}, flags(37, {}), {{33, 1}}, flags(37, {})},
      {285, {{33, 0}}, flags(37, {}), {}, flags(37, {})},
      {285, {{33, 2}}, flags(37, {}), {{33, 2}}, flags(37, {})},
  };
  // clang-format on
  for (const Case& c : cases) {
    cTypeBytes stored;
    stored.fields = {{13, 1}, {26, 1}, {35, 1}};
    for (auto [p, v] : c.stored) stored.fields[p] = v;
    stored.inherit = c.storedFlags;
    cCharaType chara;
    ASSERT_TRUE(LoadBody(chara, c.version, TypeBody('c', c.version, stored))) << c.version;
    cTypeBytes loaded;
    loaded.fields = {{13, 1}, {26, 1}, {35, 1}};
    for (auto [p, v] : c.loaded) loaded.fields[p] = v;
    loaded.inherit = c.loadedFlags;
    EXPECT_EQ(SaveBody(chara), TypeBody('c', 986, loaded)) << "version " << c.version;
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

// Every inherit group of a character type copies exactly its fields.
TEST_F(TypeRecordsTest, EveryCharaInheritGroupCopiesItsFields) {
  // clang-format off
  const std::vector<cInheritGroup> groups = {
      {{}, true},             // 0 name
      {{26, 27}},             // 1 control and player
      {{28}},                 // 2
      {{29}},                 // 3 character id
      {{3, 4}, false, true},  // 4 conditions, condition mode and latch
      {{5}},        {{6}},    // 5 facing, 6
      {{7, 8, 11}},           // 7 X placement
      {{9, 10, 12}},          // 8 Y placement
      {{14, 13, 15}},         // 9 graphic
      {{16}},       {{17}},   {{18}},  // 10 animation set, 11 layer, 12
      {{19, 20, 21}},         // 13 character effect and its options
      {{22, 23}},             // 14 defeat effect and its option
      {{24, 25}},             // 15 badge
      {{31}},       {{30}},   // 16, 17 movement mode
      {{32, 33}},             // 18
      {{34}},       {{35}},   {{36}},  // 19 block character, 20 scale, 21
      {{37, 38}},             // 22 view range
      {{39}},       {{40}},   {{42}},  {{43}}, {{44}}, {{45}}, {{46}}, {{47}},  // 23-30
      {{41}},                 // 31 ease of stopping
      {{52, 53}},             // 32 activity range and mode
      {{51, 50}},             // 33 group
      {{48}},       {{49}},   // 34 score, 35
      {{}, false, false, true},  // 36 flows
  };
  // clang-format on
  ASSERT_EQ(groups.size(), static_cast<size_t>(kCharaInheritGroups));
  // database references inside the lists, so that validation keeps them
  g_Database.m_aAnimeSet.resize(100);
  g_Database.m_aCharaEffect.resize(100);
  g_Database.m_aEffect.resize(120);
  cTypeBytes own, source;
  FillInheritValues(CharaTypeSpec().size(), own, source);
  cFlowBytes first, second, theirs;
  first.group = 1;
  second.group = 2;
  theirs.group = 7;
  theirs.trigger = 26;
  own.tail = {FlowBody(986, first), FlowBody(986, second)};
  source.tail = {FlowBody(986, theirs)};
  own.cellValue = 9;
  CheckInheritGroups('c', g_CommonPalette.m_aCharaTypes, groups, own, source);
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

// Every inherit group of an item type copies exactly its fields.
TEST_F(TypeRecordsTest, EveryItemInheritGroupCopiesItsFields) {
  // clang-format off
  const std::vector<cInheritGroup> groups = {
      {{}, true},             // 0 name
      {{3, 4}, false, true},  // 1 conditions, condition mode and latch
      {{5}},        {{6}},    // 2, 3 values
      {{8, 7, 9}},            // 4 graphic
      {{10}},       {{11}},   // 5 drawing layer, 6 invisible
      {{12, 13}},             // 7 icon
      {{16}},       {{15}},   {{14}},  // 8 scale, 9 take mode, 10 rising picture
      {{17}},                 // 11 sound
      {{}, false, false, true},  // 12 commands
  };
  // clang-format on
  ASSERT_EQ(groups.size(), static_cast<size_t>(kItemInheritGroups));
  g_Database.m_aSound.resize(100);
  cTypeBytes own, source;
  FillInheritValues(ItemTypeSpec().size(), own, source);
  cCmdBytes wait, otherWait, sound;
  wait.context = otherWait.context = sound.context = 1;
  wait.kind = otherWait.kind = 3;  // "ゲームウエイト"
  wait.params = {5};
  otherWait.params = {9};
  sound.kind = 20;  // "効果音の再生"
  sound.params = {1};
  own.tail = {CmdBody(986, wait)};
  source.tail = {CmdBody(986, otherWait), CmdBody(986, sound)};
  CheckInheritGroups('i', g_CommonPalette.m_aItemTypes, groups, own, source);
}
