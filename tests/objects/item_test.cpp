// Items: building from the item type (which field lands where), the scale that grows an item upward
// from its bottom, grid placement, the two-frame animation and drawing with the icon.
#include <gtest/gtest.h>

#include "data/system_data.h"
#include "objects/graphic_source.h"
#include "objects/play_objects.h"
#include "test_support/stage_harness.h"

namespace {

cHarnessSetup ItemStage(const cItemType& type, std::vector<std::string> map = {"H....", "...J.", "#####"}) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.items['J'] = type;
  return setup;
}

cFlowCmd Cmd(int kind, std::vector<int32_t> params = {}) {
  cFlowCmd cmd;
  cmd.m_nContext = 1;
  cmd.m_nKind = static_cast<int8_t>(kind);
  cmd.m_anParams = std::move(params);
  return cmd;
}

}  // namespace

TEST(Items, TheItemTypeLandsInTheItem) {
  cItemType type = HarnessItemType();
  type.m_nGraphic = 12;
  type.m_nGraphicKind = 2;
  type.m_nGraphicSub = 3;
  cStageHarness h(ItemStage(type));
  const cItem& item = h.Item(0);
  EXPECT_EQ(item.m_nNumber, 0);
  EXPECT_EQ(item.m_nGraphic, 12);
  EXPECT_EQ(item.m_nControl + item.m_nPlayer + item.m_nKind + item.m_nClone + item.m_nFacing, 0);
  EXPECT_EQ(item.m_nReserved, 2147483647);
  // The stage's item box, 28 x 28 by default, centred in a 32 x 32 graphic; no gravity.
  EXPECT_EQ((std::vector<int>{item.m_nHitOffsetX, item.m_nHitOffsetY, item.m_nWidth, item.m_nHeight}),
            (std::vector<int>{2, 2, 28, 28}));
  EXPECT_EQ(item.m_nGraphicWidth, 32);
  EXPECT_EQ(item.m_bGravityFree, 1);
  EXPECT_EQ(item.m_bSyncScroll, 0);
  EXPECT_EQ(item.m_anFlowVars[0] + item.m_anFlowVars[1], 0);
  EXPECT_EQ(item.m_bTakenFromChara, 0);
  EXPECT_EQ(item.m_bActive, 0);  // the stage decides each frame
  EXPECT_EQ(item.m_Type.m_nGraphicSub, 3);
  EXPECT_NE(&item.m_Type, &g_StageFile.m_aItems[0]);
}

TEST(Items, TheStagesItemBoxSizesTheHitBox) {
  cHarnessSetup setup = ItemStage(HarnessItemType());
  setup.prepareRun = [] {
    g_StageFile.m_anItemHitBox[0] = 20;
    g_StageFile.m_anItemHitBox[1] = 11;
  };
  cStageHarness h(setup);
  const cItem& item = h.Item(0);
  EXPECT_EQ((std::vector<int>{item.m_nHitOffsetX, item.m_nHitOffsetY, item.m_nWidth, item.m_nHeight}),
            (std::vector<int>{6, 11, 20, 11}));
}

TEST(Items, AnItemForACharacterIsActiveAtOnceAndNotRescaled) {
  cStageHarness h({"H", "#"});
  cItemType type = HarnessItemType();
  type.m_nScale = 3;
  cItem item;
  EXPECT_EQ(item.InitItem(4, type, 1), 0);
  EXPECT_EQ(item.m_bActive, 1);
  EXPECT_EQ(item.m_bTakenFromChara, 1);
  EXPECT_EQ(item.m_nWidth, 28);
  cItem placed;
  placed.InitItem(5, type, 0);
  EXPECT_EQ(placed.m_bActive, 0);
  EXPECT_EQ(placed.m_nWidth, 84);
  EXPECT_EQ(placed.m_nGraphicHeight, 96);
}

TEST(Items, AScaleOfZeroIsOneAndTheTypeIsCorrected) {
  cItemType type = HarnessItemType();
  type.m_nScale = 0;
  cStageHarness h(ItemStage(type));
  EXPECT_EQ(g_StageFile.m_aItems[0].m_nScale, 1);
  EXPECT_EQ(h.Item(0).m_Type.m_nScale, 1);
  EXPECT_EQ(h.Item(0).m_nWidth, 28);
}

TEST(Items, RepeatCommandsAreExpandedWhenTheItemIsBuilt) {
  cItemType type = HarnessItemType();
  type.m_aCmds = {Cmd(24, {3, 2}), Cmd(7), Cmd(8), Cmd(9)};
  cStageHarness h(ItemStage(type));
  std::vector<int> kinds;
  for (const cFlowCmd& cmd : h.Item(0).m_Type.m_aCmds) kinds.push_back(cmd.m_nKind);
  EXPECT_EQ(kinds, (std::vector<int>{7, 8, 7, 8, 7, 8, 9}));
  EXPECT_EQ(g_StageFile.m_aItems[0].m_aCmds.size(), 4u);  // the placement keeps its own list
}

// Growing keeps the graphic's bottom where it was: y moves up by the growth of hit box and offset.
TEST(Items, AGrowingItemKeepsItsBottomOnTheFloor) {
  cStageHarness h(ItemStage(HarnessItemType()));
  cItem& item = h.Item(0);
  // On stage cell (3, 1): the graphic's bottom is the cell's last row.
  const double bottom = item.m_dY - item.m_nHitOffsetY + item.m_nGraphicHeight;
  EXPECT_EQ(bottom, 12 * 32);
  item.SetScale(2, 1, 1);
  EXPECT_EQ(item.m_dY, 11 * 32 + 2 - (28 + 2));
  EXPECT_EQ(item.m_dY - item.m_nHitOffsetY + item.m_nGraphicHeight, bottom);
  EXPECT_EQ(item.m_dY2, item.m_dY + 55);
  // Equal scales change nothing.
  const double y = item.m_dY;
  item.AdjustAfterResize(2, 2, 1);
  EXPECT_EQ(item.m_dY, y);
}

TEST(Items, GridPlacementCentresOnTheCellAndStandsOnItsGround) {
  cItemType type = HarnessItemType();
  type.m_nScale = 2;
  cStageHarness h(ItemStage(type));
  const cItem& item = h.Item(0);
  // Column 3, row 1 with the margin: x from the cell's left and the base offset, plus half a dot
  // (not moved for the scale); a scaled item stands on the cell's ground.
  EXPECT_EQ(item.m_dX, 13 * 32 + 2 + 0.5);
  EXPECT_EQ(item.m_dY, 11 * 32 + 2 - (28 + 2));
  EXPECT_EQ(item.m_dY - item.m_nHitOffsetY + item.m_nGraphicHeight, 12 * 32);
  EXPECT_EQ(item.m_dX2, item.m_dX + 55);
  EXPECT_EQ(item.m_nCellY, static_cast<int>(item.m_dY) >> 5);
}

TEST(Items, TheTwoFramesOfTheCellAlternate) {
  cStageHarness h(ItemStage(HarnessItemType()));
  cItem& item = h.Item(0);
  std::vector<int> patterns;
  for (int i = 0; i < 64; ++i) patterns.push_back(item.m_Anim.StepAnime());
  for (int i = 0; i < 64; ++i) EXPECT_EQ(patterns[i], (i + 1) / 16 % 2) << i;
}

class ItemDrawTest : public ::testing::Test {
 protected:
  void Build(const cItemType& type) {
    h.reset();
    h = std::make_unique<cStageHarness>(ItemStage(type));
    cItem& item = h->Item(0);
    item.m_ScreenRect.left = 100;
    item.m_ScreenRect.top = 60;
  }
  std::vector<DDTRACECALL> Draw(int hold) {
    h->ClearTraces();
    DDSURFACEDATA target{};
    h->Item(0).DrawItem(&target, hold);
    return h->Draws();
  }
  std::unique_ptr<cStageHarness> h;
};

TEST_F(ItemDrawTest, TheGraphicIsCopiedAtItsScreenRectangle) {
  cItemType type = HarnessItemType();
  type.m_nGraphic = 17;
  Build(type);
  const std::vector<DDTRACECALL> draws = Draw(0);  // steps the animation to its first frame
  ASSERT_EQ(draws.size(), 1u);
  const GRAPHICSOURCE gs = GetGraphicSource(kGraphicForBlockChara, 2, 17, 0, nullptr, 0);
  EXPECT_EQ(draws[0].strName, "DDBlt");
  EXPECT_EQ(draws[0].lpSrc, gs.lpSD);
  EXPECT_EQ(draws[0].adArgs, (std::vector<double>{100, 60, 32, 32, double(gs.nSrcX), double(gs.nSrcY), 1}));
  // Held, the frame does not advance; in play it does, and the second frame is drawn.
  for (int i = 0; i < 14; ++i) Draw(1);
  for (int i = 0; i < 15; ++i) Draw(0);
  const GRAPHICSOURCE second = GetGraphicSource(kGraphicForBlockChara, 2, 17, 0, nullptr, 1);
  const std::vector<DDTRACECALL> later = Draw(0);
  ASSERT_EQ(later.size(), 1u);
  EXPECT_EQ(later[0].adArgs[4], second.nSrcX);
  EXPECT_EQ(later[0].adArgs[5], second.nSrcY);
  EXPECT_TRUE(second.nSrcX != gs.nSrcX || second.nSrcY != gs.nSrcY);
}

TEST_F(ItemDrawTest, AScaledItemStretchesAGraphicMadeForScaleOne) {
  cItemType type = HarnessItemType();
  type.m_nScale = 2;
  type.m_nIconDisplay = 1;
  type.m_nIcon = 31;
  Build(type);
  const std::vector<DDTRACECALL> draws = Draw(1);
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].strName, "DDBltStretch");
  EXPECT_EQ((std::vector<double>(draws[0].adArgs.begin(), draws[0].adArgs.begin() + 4)),
            (std::vector<double>{100, 60, 64, 64}));
  EXPECT_EQ(draws[0].adArgs[6], 32);
  EXPECT_EQ(draws[0].adArgs[7], 32);
  // The icon: cell (31 / 15, 31 % 15) of the icon sheet, stretched over the graphic.
  EXPECT_EQ(draws[1].strName, "DDBltStretch");
  EXPECT_EQ(draws[1].lpSrc, g_lpItemIconSD);
  EXPECT_EQ(draws[1].adArgs, (std::vector<double>{100, 60, 64, 64, 2 * 32, 1 * 32, 32, 32, 1}));
}

TEST_F(ItemDrawTest, TheIconIsShownOnlyWhenAskedForInPlay) {
  struct Case {
    int display, icon;
    size_t draws;
  };
  const Case cases[] = {{0, 5, 1}, {1, 5, 2}, {2, 5, 1}};
  for (const Case& t : cases) {
    cItemType type = HarnessItemType();
    type.m_nIconDisplay = static_cast<int8_t>(t.display);
    type.m_nIcon = static_cast<int16_t>(t.icon);
    Build(type);
    const std::vector<DDTRACECALL> draws = Draw(1);
    ASSERT_EQ(draws.size(), t.draws) << t.display;
    if (t.draws == 2) {
      EXPECT_EQ(draws[1].strName, "DDBlt");
      EXPECT_EQ(draws[1].adArgs, (std::vector<double>{100, 60, 32, 32, 0, 5 * 32, 1}));
    }
  }
}

TEST_F(ItemDrawTest, AnInvisibleItemIsNotDrawn) {
  cItemType type = HarnessItemType();
  type.m_bInvisible = 1;
  type.m_nIconDisplay = 1;
  Build(type);
  EXPECT_TRUE(Draw(0).empty());
  EXPECT_EQ(h->Item(0).m_Anim.m_nTime, 0);  // nor animated
}
