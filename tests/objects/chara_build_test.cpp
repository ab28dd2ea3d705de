// Characters built from their type records: which type field lands in which member, the animation
// set, the character and shot boxes by form and size mode, grid placement, the carried item, the
// activity-range switches, and the links that are made only once a character sits in its list.
#include <gtest/gtest.h>

#include "core/log.h"
#include "data/database.h"
#include "data/game_data.h"
#include "data/system_data.h"
#include "objects/play_objects.h"
#include "test_support/stage_harness.h"

namespace {

// A computer character type with every field the build copies set to a value of its own.
cCharaType MarkedType() {
  cCharaType type = HarnessCharaType();
  type.m_nFacing = 1;
  type.m_nPlayer = 2;
  type.m_nOpt28 = 3;  // kind number
  type.m_nGraphic = 7;
  type.m_nMaxHp = 25;
  type.m_nMaxSp = 4;
  type.m_nOpt36 = 1;  // moves with the automatic scroll
  type.m_nViewRange = 3;
  type.m_nStopEase = 50;
  return type;
}

cHarnessSetup SetupWith(std::vector<std::string> map, char letter, const cCharaType& type) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.charas[letter] = type;
  return setup;
}

}  // namespace

TEST(CharaBuild, TypeFieldsLandWhereTheCharacterReadsThem) {
  cStageHarness h(SetupWith({"H..A", "####"}, 'A', MarkedType()));
  const cChara& c = h.Chara(0);
  EXPECT_EQ(c.m_nNumber, 1);  // the hero took id 0
  EXPECT_EQ(c.m_nReserved, 2147483647);
  EXPECT_EQ(c.m_nFacing, 1);
  EXPECT_EQ(c.m_nControl, 1);
  EXPECT_EQ(c.m_nPlayer, 2);
  EXPECT_EQ(c.m_nKind, 3);
  EXPECT_EQ(c.m_nGraphic, 7);
  EXPECT_EQ(c.m_nHp, 25);
  EXPECT_EQ(c.m_nSp, 4);
  EXPECT_EQ(c.m_bSyncScroll, 1);
  EXPECT_EQ(c.m_nViewRange, 48);
  EXPECT_DOUBLE_EQ(c.m_dFriction, 0.5);  // 50 x 0.01 / n^2 at n = 1
  // The start point of the move-to commands is the placement set-up hands over.
  EXPECT_EQ(c.m_dHomeX, h.Placement('A').dX);
  EXPECT_EQ(c.m_dHomeY, h.Placement('A').dY);
  // Fresh per-character state.
  EXPECT_EQ(c.m_anVars, std::vector<int32_t>(9, 0));
  EXPECT_EQ(c.m_abInUse.size(), 27u);
  EXPECT_EQ(c.m_abRelease.size(), 27u);
  EXPECT_EQ(c.m_abStartedFrame.size(), 27u);
  EXPECT_EQ(c.m_nKnockValue, -1);
  EXPECT_EQ(c.m_bInAir, 1);
  EXPECT_EQ(c.m_bRiseEnded + c.m_bTookOff + c.m_bCeilingHit + c.m_bJumpFlag5, 0);
  EXPECT_EQ(c.m_nFlowSerial, 0);
  // Linked by set-up once it sat in its list: tg1 is the hero, the other slots are empty.
  EXPECT_EQ(c.m_apTargets, (std::vector<cCharaBase*>{&h.Hero(), nullptr, nullptr, nullptr}));
  // The type copy is the character's own.
  EXPECT_NE(&c.m_Type, &g_StageFile.m_aCharas[1]);
  EXPECT_EQ(c.m_Type.m_nMaxHp, 25);
}

TEST(CharaBuild, WithoutATypeTheOwnCopyIsKeptAndPointsAreZero) {
  cFreshPlayObjects run;
  cChara chara;
  chara.m_Type.m_nMaxHp = 9;
  chara.m_Type.m_nViewRange = 2;
  chara.m_nHp = 5;
  chara.InitFromType(nullptr, 1.5, 2.5, 3);
  EXPECT_EQ(chara.m_nHp, 0);
  EXPECT_EQ(chara.m_nViewRange, 32);
  EXPECT_EQ(chara.m_nClone, 3);
  EXPECT_EQ(chara.m_dHomeX, 1.5);
}

TEST(CharaBuild, TheAnimationSetBecomesLockedStepsInGameFrames) {
  cFreshPlayObjects run;
  cAnimeSetData set;
  set.m_aAnimes.assign(2, cAnimeData());
  set.m_aAnimes[0].m_aFrames.assign(2, cAnimeFrame());
  set.m_aAnimes[0].m_aFrames[0].m_nPattern = 3;
  set.m_aAnimes[0].m_aFrames[0].m_nDuration = 2;
  set.m_aAnimes[0].m_aFrames[1].m_nPattern = 4;
  set.m_aAnimes[0].m_aFrames[1].m_nDuration = 5;
  set.m_aAnimes[1].m_aFrames[0].m_nPattern = 9;
  g_Database.m_aAnimeSet.push_back(set);

  cChara chara;
  chara.SetAnimeSet(1, 1);
  ASSERT_EQ(chara.m_Anim.m_aAnims.size(), 2u);
  const std::vector<cAnimFrame>& first = chara.m_Anim.m_aAnims[0];
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[0].nPattern, 3);
  EXPECT_EQ(first[0].nDuration, 12);  // tenths x 6
  EXPECT_EQ(first[1].nDuration, 30);
  EXPECT_EQ(first[0].bLock, 1);
  EXPECT_EQ(first[2].nPattern, kAnimRestart);
  EXPECT_EQ(chara.m_Anim.m_aAnims[1][0].nPattern, 9);
  EXPECT_EQ(chara.m_nAnimeSet, 1);

  // The same set again: nothing unless forced.
  chara.m_Anim.m_nAnime = 1;
  chara.m_Anim.m_aAnims[1][0].nPattern = 77;
  chara.SetAnimeSet(1, 0);
  EXPECT_EQ(chara.m_Anim.m_aAnims[1][0].nPattern, 77);
  EXPECT_EQ(chara.m_Anim.m_nAnime, 1);
  chara.SetAnimeSet(1, 1);
  EXPECT_EQ(chara.m_Anim.m_aAnims[1][0].nPattern, 9);
  EXPECT_EQ(chara.m_Anim.m_nAnime, 0);

  // A set that does not exist takes the checked accessor's fatal path and builds from entry 0.
  chara.SetAnimeSet(5, 0);
  EXPECT_EQ(g_bQuit.load(), 1);
  g_bQuit = 0;
  EXPECT_EQ(chara.m_Anim.m_aAnims.size(), g_Database.m_aAnimeSet[0].m_aAnimes.size());
}

TEST(CharaBuild, TheCharacterBoxIsCentredOrBottomAlignedInTheCell) {
  cChara chara;
  chara.m_nHitOffsetX = 6;
  chara.m_nHitOffsetY = 4;
  chara.SetCharaBox(0, 20, 20);
  EXPECT_EQ(chara.m_CharaBox.nX, 0);
  EXPECT_EQ(chara.m_CharaBox.nY, 2);
  chara.SetCharaBox(1, 20, 20);
  EXPECT_EQ(chara.m_CharaBox.nX, 0);
  EXPECT_EQ(chara.m_CharaBox.nY, 8);
  EXPECT_EQ(chara.m_CharaBox.nBaseY, 8);
  EXPECT_EQ(chara.m_CharaBox.nBaseWidth, 20);
  chara.SetCharaBox(0, 15, 9);  // integer halving
  EXPECT_EQ(chara.m_CharaBox.nX, 16 - 6 - 7);
  EXPECT_EQ(chara.m_CharaBox.nY, 16 - 4 - 4);
}

// Stage box settings of characters, each pair its own, so the table shows which one a case took.
void SetCharaBoxSettings(cStageData& stage) {
  const int hit[4] = {16, 24, 20, 12};
  std::copy(hit, hit + 4, stage.m_anCharaHitBox);
  stage.m_anCharaHitBoxBottom[0] = 1;
  stage.m_anCharaHitBoxBottom[1] = 0;
  stage.m_anCharaBoxWalk[0] = 12;
  stage.m_anCharaBoxWalk[1] = 22;
  stage.m_anCharaBoxFly[0] = 10;
  stage.m_anCharaBoxFly[1] = 14;
  stage.m_anCharaBoxAlign[0] = 1;
  stage.m_anCharaBoxAlign[1] = 0;
  stage.m_anCharaShotBox[0] = 30;
  stage.m_anCharaShotBox[1] = 26;
  stage.m_anShotCharaBox[0] = 18;
  stage.m_anShotCharaBox[1] = 8;
}

TEST(CharaBuild, BoxesFollowTheFormTheSizeModeAndTheBlockFlag) {
  struct Case {
    int moveMode, sizeMode, block;
    int hitX, hitY, hitW, hitH;  // hit box in the graphic
    int boxX, boxY, boxW, boxH;  // character box, relative to the hit box
    int shotX, shotY, shotW, shotH;
  };
  const Case cases[] = {
      // Walking: 16 x 24 on the bottom edge; character box 12 x 22 bottom-aligned.
      {0, 0, 0, 8, 8, 16, 24, 16 - 8 - 6, 32 - 8 - 22, 12, 22, 16 - 15 - 8, 16 - 13 - 8, 30, 26},
      // Flying: 20 x 12 centred; character box 10 x 14 centred.
      {1, 0, 0, 6, 10, 20, 12, 16 - 6 - 5, 16 - 10 - 7, 10, 14, 16 - 15 - 6, 16 - 13 - 10, 30, 26},
      // Size mode 1: the character-against-shot pair, centred.
      {0, 1, 0, 8, 8, 16, 24, 16 - 8 - 15, 16 - 8 - 13, 30, 26, 16 - 15 - 8, 16 - 13 - 8, 30, 26},
      // Size mode 2: the shot-against-character pair.
      {0, 2, 0, 8, 8, 16, 24, 16 - 8 - 9, 16 - 8 - 4, 18, 8, 16 - 15 - 8, 16 - 13 - 8, 30, 26},
      // Size mode 3: the whole 32 x 32 graphic.
      {2, 3, 0, 6, 10, 20, 12, 16 - 6 - 16, 16 - 10 - 16, 32, 32, 16 - 15 - 6, 16 - 13 - 10, 30, 26},
      // A block character: a 32 x 32 hit box, no character box and the whole cell against shots,
      // whatever the settings.
      {0, 0, 1, 0, 0, 32, 32, 0, 0, 0, 0, 0, 0, 32, 32},
      {3, 2, 1, 0, 0, 32, 32, 0, 0, 0, 0, 0, 0, 32, 32},
  };
  for (const Case& c : cases) {
    cCharaType type = HarnessCharaType();
    type.m_nMoveMode = static_cast<int8_t>(c.moveMode);
    type.m_nSizeMode = static_cast<int8_t>(c.sizeMode);
    type.m_bBlockChara = static_cast<int8_t>(c.block);
    cHarnessSetup setup = SetupWith({"H.A.", "####"}, 'A', type);
    setup.prepareRun = [] { SetCharaBoxSettings(g_StageFile); };
    cStageHarness h(setup);
    const cChara& ch = h.Chara(0);
    SCOPED_TRACE(testing::Message() << "move " << c.moveMode << " size " << c.sizeMode << " block " << c.block);
    EXPECT_EQ(ch.m_bGravityFree, c.moveMode != 0);
    EXPECT_EQ((std::vector<int>{ch.m_nHitOffsetX, ch.m_nHitOffsetY, ch.m_nWidth, ch.m_nHeight}),
              (std::vector<int>{c.hitX, c.hitY, c.hitW, c.hitH}));
    EXPECT_EQ(ch.m_nGraphicWidth, 32);
    EXPECT_EQ(ch.m_nGraphicHeight, 32);
    const cHitBox& box = ch.m_CharaBox;
    EXPECT_EQ((std::vector<int>{box.nX, box.nY, box.nWidth, box.nHeight}),
              (std::vector<int>{c.boxX, c.boxY, c.boxW, c.boxH}));
    const cHitBox& shot = ch.m_ShotBox;
    EXPECT_EQ((std::vector<int>{shot.nX, shot.nY, shot.nWidth, shot.nHeight}),
              (std::vector<int>{c.shotX, c.shotY, c.shotW, c.shotH}));
    // The rectangles stand at the truncated position.
    EXPECT_EQ(box.rect.left, static_cast<int>(ch.m_dX) + c.boxX);
    EXPECT_EQ(shot.rect.bottom, static_cast<int>(ch.m_dY) + c.shotY + c.shotH - 1);
  }
}

TEST(CharaBuild, AScaledCharacterScalesItsBoxesAndAScaleOfZeroIsOne) {
  cCharaType type = HarnessCharaType();
  type.m_nScale = 2;
  cHarnessSetup setup = SetupWith({"H..A..", "......", "######"}, 'A', type);
  setup.charas['Z'] = HarnessCharaType();
  setup.charas['Z'].m_nScale = 0;
  setup.map[0][5] = 'Z';
  setup.prepareRun = [] { SetCharaBoxSettings(g_StageFile); };
  cStageHarness h(setup);
  const cChara& big = h.Chara(0);
  EXPECT_EQ(big.m_nWidth, 32);
  EXPECT_EQ(big.m_nHeight, 48);
  EXPECT_EQ(big.m_nGraphicWidth, 64);
  EXPECT_EQ(big.m_CharaBox.nWidth, 24);
  EXPECT_EQ(big.m_CharaBox.nX, 2 * (16 - 8 - 6));
  EXPECT_EQ(big.m_ShotBox.nHeight, 52);
  EXPECT_EQ(big.m_CharaBox.nBaseWidth, 12);
  // The placed type with scale 0 is corrected in the stage's record.
  EXPECT_EQ(g_StageFile.m_aCharas[2].m_nScale, 1);
  EXPECT_EQ(h.Chara(1).m_nWidth, 16);
}

TEST(CharaBuild, GridPlacementCentresOnTheCellAndKeepsTheFeet) {
  cHarnessSetup setup = SetupWith({"H....", ".....", "...A.", "#####"}, 'A', HarnessCharaType());
  setup.prepareRun = [] { SetCharaBoxSettings(g_StageFile); };
  cStageHarness h(setup);
  cChara& c = h.Chara(0);
  // Column 3, row 2 of the stage: cell (13, 12) with the margin; walking hit box 16 x 24 on the
  // bottom edge.
  EXPECT_EQ(c.m_dX, 13 * 32 + 8 + 0.5);
  EXPECT_EQ(c.m_dY, 12 * 32 + 8);
  EXPECT_EQ(c.m_dX2, c.m_dX + 15);
  EXPECT_EQ(c.m_dY2, c.m_dY + 23);
  EXPECT_EQ(c.m_nCellX, 13);
  EXPECT_EQ(c.m_nCellY2, 12);
  // Placed again on another cell.
  c.PlaceCharaOnGrid(0, 0);
  EXPECT_EQ(c.m_dX, 10 * 32 + 8.5);
  EXPECT_EQ(c.m_dY, 10 * 32 + 8);
}

TEST(CharaBuild, TheCarriedItemIsACopyOfTheGivenOne) {
  cStageHarness h({"H...", "####"});
  cItem item;
  cItemType itemType = HarnessItemType();
  itemType.m_nGraphic = 4;
  item.InitItem(9, itemType, 1);
  item.m_anFlowVars[1] = 6;

  cChara& with = g_CharaList.emplace_back();
  with.InitChara(20, g_StageFile.m_aCharas[0], &item, 0, 0, 0);
  ASSERT_NE(with.CarriedItem(), nullptr);
  EXPECT_NE(with.CarriedItem(), &item);
  EXPECT_EQ(with.CarriedItem()->m_nNumber, 9);
  EXPECT_EQ(with.CarriedItem()->m_nGraphic, 4);
  EXPECT_EQ(with.CarriedItem()->m_anFlowVars[1], 6);
  EXPECT_EQ(with.CarriedItem()->m_bTakenFromChara, 1);

  cChara& without = g_CharaList.emplace_back();
  without.InitChara(21, g_StageFile.m_aCharas[0], nullptr, 0, 0, 0);
  EXPECT_EQ(without.CarriedItem(), nullptr);
  EXPECT_EQ(without.m_Item.m_nGraphic, 0);
}

TEST(CharaBuild, TheActivityRangeChoosesTheAxesLeftOut) {
  const int expected[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
  for (int range = 0; range < 4; ++range) {
    cCharaType type = HarnessCharaType();
    type.m_nActiveRange = static_cast<int8_t>(range);
    cStageHarness h(SetupWith({"HA", "##"}, 'A', type));
    EXPECT_EQ(h.Chara(0).m_bSkipRangeX, expected[range][0]) << range;
    EXPECT_EQ(h.Chara(0).m_bSkipRangeY, expected[range][1]) << range;
    EXPECT_EQ(h.Chara(0).m_bLatchedActive, 0);
    EXPECT_EQ(h.Chara(0).m_bActing, 0);
  }
}

TEST(CharaBuild, LinksPointAtTheCharacterInItsListNotAtTheOneItWasBuiltFrom) {
  cStageHarness h({"H...", "####"});
  cHero& hero = h.Hero();
  const size_t heroLinks = hero.m_aLinks.size();
  {
    // Built outside the list, copied in, and only then linked (as set-up and summons do).
    cChara built;
    built.InitChara(30, g_StageFile.m_aCharas[0], nullptr, 0, 0, 0);
    cChara& placed = g_CharaList.emplace_back(built);
    placed.LinkHeroAndParent(nullptr);
    EXPECT_EQ(hero.m_aLinks.back().lpChara, &placed);
  }  // the one it was built from goes: it was never linked
  EXPECT_EQ(hero.m_aLinks.size(), heroLinks + 1);
  EXPECT_EQ(g_CharaList.back().m_apTargets[0], &hero);

  // Building a character that is linked already unlinks it first, from both ends.
  cChara& other = g_CharaList.emplace_front();
  other.SetTarget(1, &g_CharaList.back());
  g_CharaList.back().InitChara(31, g_StageFile.m_aCharas[0], nullptr, 0, 0, 0);
  EXPECT_EQ(other.m_apTargets[1], nullptr);
  EXPECT_EQ(hero.m_aLinks.size(), heroLinks);
  EXPECT_EQ(g_CharaList.back().m_apTargets[0], nullptr);
}

TEST(CharaBuild, ACopyOfABuiltCharacterIsWholeAndGoesAwayWithoutTakingTheOriginalsLinks) {
  cCharaType type = HarnessCharaType();
  type.m_aFlows.resize(2);
  type.m_aFlows[1].m_aCmds.resize(3);
  cHarnessSetup setup = SetupWith({"H.A.", "####"}, 'A', type);
  cStageHarness h(setup);
  cChara& original = h.Chara(0);
  cHero& hero = h.Hero();
  hero.SetTarget(2, &original);
  const std::vector<cCharaLink> originalLinks = original.m_aLinks;
  const std::vector<cCharaLink> heroLinks = hero.m_aLinks;
  {
    cChara copy(original);
    EXPECT_EQ(copy.m_nNumber, original.m_nNumber);
    EXPECT_EQ(copy.m_dX, original.m_dX);
    EXPECT_EQ(copy.m_CharaBox.rect.left, original.m_CharaBox.rect.left);
    EXPECT_EQ(copy.m_apTargets, original.m_apTargets);
    ASSERT_EQ(copy.m_aFlowStates.size(), 2u);
    EXPECT_EQ(copy.m_aFlowStates[1].m_lpFlow, &copy.m_Type.m_aFlows[1]);
    EXPECT_EQ(copy.m_aFlowStates[1].m_aCmdStates[2].m_lpCmd, &copy.m_Type.m_aFlows[1].m_aCmds[2]);
    EXPECT_EQ(copy.m_Anim.m_aAnims.size(), original.m_Anim.m_aAnims.size());
  }
  // The copy carried the same links, but nothing pointed at it: the original keeps all of them.
  EXPECT_EQ(hero.m_apTargets[2], &original);
  EXPECT_EQ(original.m_aLinks, originalLinks);
  EXPECT_EQ(hero.m_aLinks, heroLinks);
  EXPECT_EQ(original.m_apTargets[0], &hero);

  // The original going away clears every pointer to it.
  EraseChara(g_CharaList.begin());
  EXPECT_EQ(hero.m_apTargets[2], nullptr);
  EXPECT_EQ(hero.m_aLinks.size(), heroLinks.size() - 1);
}
