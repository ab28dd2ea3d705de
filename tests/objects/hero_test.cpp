// The hero: building from the placed hero, the walking and flying forms with their three boxes, the
// crush grace after a change of form, the items it touches and the commands of the items it takes,
// the display of its boxes and the view mask.
#include <gtest/gtest.h>

#include "core/log.h"
#include "data/system_data.h"
#include "media/graphics/display.h"
#include "media/graphics/surface_table.h"
#include "objects/flow_hooks.h"
#include "objects/play_objects.h"
#include "test_support/stage_harness.h"

namespace {

// Hero box settings, each its own, so that the tables show which one a case took.
void SetHeroBoxSettings(cStageData& stage) {
  const int hit[4] = {16, 24, 20, 12};
  std::copy(hit, hit + 4, stage.m_anHeroHitBox);
  stage.m_anHeroHitBoxBottom[0] = 1;
  stage.m_anHeroHitBoxBottom[1] = 0;
  stage.m_anHeroCharaBoxWalk[0] = 14;
  stage.m_anHeroCharaBoxWalk[1] = 22;
  stage.m_anHeroCharaBoxFly[0] = 10;
  stage.m_anHeroCharaBoxFly[1] = 14;
  stage.m_anHeroCharaBoxAlign[0] = 1;
  stage.m_anHeroCharaBoxAlign[1] = 0;
  stage.m_anHeroShotBox[0] = 12;
  stage.m_anHeroShotBox[1] = 8;
  stage.m_anHeroItemBox[0] = 18;
  stage.m_anHeroItemBox[1] = 26;
  stage.m_anShotCharaBox[0] = 6;
  stage.m_anShotCharaBox[1] = 4;
}

cHarnessSetup HeroStage(const cCharaType& type, std::vector<std::string> map = {"..P..", ".....", "#####"}) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.charas['P'] = type;
  setup.prepareRun = [] { SetHeroBoxSettings(g_StageFile); };
  return setup;
}

std::vector<int> Box(const cHitBox& b) { return {b.nX, b.nY, b.nWidth, b.nHeight}; }

}  // namespace

TEST(HeroBuild, ThePlacedHerosTypeLandsInTheHero) {
  cCharaType type = HarnessHeroType();
  type.m_nFacing = 0;
  type.m_nOpt28 = 2;
  type.m_nGraphic = 5;
  type.m_nMaxHp = 30;
  cStageHarness h(HeroStage(type));
  cHero& hero = h.Hero();
  EXPECT_EQ(hero.m_nNumber, 0);
  EXPECT_EQ(hero.m_nControl, 0);
  EXPECT_EQ(hero.m_nKind, 2);
  EXPECT_EQ(hero.m_nGraphic, 5);
  EXPECT_EQ(hero.m_nHp, 30);
  EXPECT_EQ(hero.m_nFacing, 0);  // from the type, not InitObject's 1
  EXPECT_EQ(hero.m_nPrevFacing, 0);
  EXPECT_EQ(hero.m_lpInput, &g_InputStates[0]);
  EXPECT_EQ(hero.m_bJumpReady, 1);
  EXPECT_EQ(hero.m_nJumpHold + hero.m_bJumpProcessed + hero.m_bNoJump + hero.m_bSavedRect, 0);
  EXPECT_DOUBLE_EQ(hero.m_dDecelUnit, 4.0);
  EXPECT_EQ(hero.m_nCrushGrace, 0);  // building is no change of form
  EXPECT_EQ(hero.m_aHitBoxDisplay.size(), 4u);
  EXPECT_TRUE(hero.m_Touching.empty());
  // Placed on its cell with its feet on the cell's ground: walking hit box 16 x 24 on the bottom.
  EXPECT_EQ(hero.m_dX, 12 * 32 + 8 + 0.5);
  EXPECT_EQ(hero.m_dY2, 10 * 32 + 31);
  EXPECT_EQ(hero.m_dHomeX, h.Placement('P').dX);
}

TEST(HeroBuild, APlayerNumberWithoutAnInputRecordIsARangeError) {
  cCharaType type = HarnessHeroType();
  type.m_nPlayer = 3;
  cStageHarness h(HeroStage(type));
  h.ExpectFatalStop();
  EXPECT_EQ(g_bQuit.load(), 1);
  EXPECT_EQ(h.Hero().m_lpInput, nullptr);
}

TEST(HeroBuild, TheHitBoxOfAFormIsCentredOrOnTheBottomEdge) {
  cStageHarness h({"H", "#"});
  cHero& hero = h.Hero();
  g_StageFile.m_anHeroHitBox[0] = 16;
  g_StageFile.m_anHeroHitBox[1] = 24;
  int x, y, w, hh;
  g_StageFile.m_anHeroHitBoxBottom[0] = 1;
  hero.GetHeroHitBox(x, y, w, hh);
  EXPECT_EQ((std::vector<int>{x, y, w, hh}), (std::vector<int>{8, 8, 16, 24}));
  g_StageFile.m_anHeroHitBoxBottom[0] = 0;
  hero.GetHeroHitBox(x, y, w, hh);
  EXPECT_EQ((std::vector<int>{x, y, w, hh}), (std::vector<int>{8, 4, 16, 24}));
  // An odd remainder halves toward minus infinity.
  g_StageFile.m_anHeroHitBox[1] = 35;
  hero.GetHeroHitBox(x, y, w, hh);
  EXPECT_EQ(y, -2);
}

TEST(HeroForms, BoxesFollowTheFormAndTheSizeMode) {
  struct Case {
    int mode, sizeMode;
    std::vector<int> hit, chara, shot, item;  // hit: offset x, y, width, height
  };
  const std::vector<Case> cases = {
      {0,
       0,
       {8, 8, 16, 24},
       {16 - 8 - 7, 32 - 8 - 22, 14, 22},
       {16 - 6 - 8, 16 - 4 - 8, 12, 8},
       {16 - 9 - 8, 16 - 13 - 8, 18, 26}},
      {1,
       0,
       {6, 10, 20, 12},
       {16 - 6 - 5, 16 - 10 - 7, 10, 14},
       {16 - 6 - 6, 16 - 4 - 10, 12, 8},
       {16 - 9 - 6, 16 - 13 - 10, 18, 26}},
      {0,
       1,
       {8, 8, 16, 24},
       {16 - 8 - 6, 16 - 8 - 4, 12, 8},
       {16 - 6 - 8, 16 - 4 - 8, 12, 8},
       {16 - 9 - 8, 16 - 13 - 8, 18, 26}},
      {3,
       2,
       {6, 10, 20, 12},
       {16 - 6 - 3, 16 - 10 - 2, 6, 4},
       {16 - 6 - 6, 16 - 4 - 10, 12, 8},
       {16 - 9 - 6, 16 - 13 - 10, 18, 26}},
      {0,
       3,
       {8, 8, 16, 24},
       {16 - 8 - 16, 16 - 8 - 16, 32, 32},
       {16 - 6 - 8, 16 - 4 - 8, 12, 8},
       {16 - 9 - 8, 16 - 13 - 8, 18, 26}},
  };
  for (const Case& t : cases) {
    cCharaType type = HarnessHeroType();
    type.m_nSizeMode = static_cast<int8_t>(t.sizeMode);
    cStageHarness h(HeroStage(type));
    cHero& hero = h.Hero();
    hero.ChangeMoveMode(t.mode, 0, 0, 0);
    SCOPED_TRACE(testing::Message() << "mode " << t.mode << " size " << t.sizeMode);
    EXPECT_EQ(hero.m_bGravityFree, t.mode != 0);
    EXPECT_EQ((std::vector<int>{hero.m_nHitOffsetX, hero.m_nHitOffsetY, hero.m_nWidth, hero.m_nHeight}), t.hit);
    EXPECT_EQ(hero.m_nBaseWidth, t.hit[2]);
    EXPECT_EQ(Box(hero.m_CharaBox), t.chara);
    EXPECT_EQ(Box(hero.m_ShotBox), t.shot);
    EXPECT_EQ(Box(hero.m_ItemBox), t.item);
    EXPECT_EQ(hero.m_ItemBox.nBaseHeight, t.item[3]);
  }
}

TEST(HeroForms, AChangeWithScaleMultipliesEveryBoxByTheScale) {
  cCharaType type = HarnessHeroType();
  type.m_nScale = 3;
  cStageHarness h(HeroStage(type));
  cHero& hero = h.Hero();
  hero.ChangeMoveMode(1, 1, 0, 0);
  EXPECT_EQ(hero.m_nWidth, 60);
  EXPECT_EQ(hero.m_nHeight, 36);
  EXPECT_EQ(hero.m_nBaseWidth, 20);
  EXPECT_EQ(hero.m_nHitOffsetY, 30);
  EXPECT_EQ(hero.m_nGraphicWidth, 96);
  EXPECT_EQ(Box(hero.m_CharaBox), (std::vector<int>{3 * 5, 3 * -1, 30, 42}));
  EXPECT_EQ(hero.m_CharaBox.nBaseWidth, 10);
  EXPECT_EQ(Box(hero.m_ItemBox), (std::vector<int>{3 * 1, 3 * -7, 54, 78}));
  // Without it the sizes are those of scale 1.
  hero.ChangeMoveMode(1, 0, 0, 0);
  EXPECT_EQ(hero.m_nWidth, 20);
  EXPECT_EQ(hero.m_ItemBox.nWidth, 18);
}

TEST(HeroForms, AScaledHeroScalesItsThreeBoxesAndPlacesTheirRectangles) {
  cStageHarness h(HeroStage(HarnessHeroType()));
  cHero& hero = h.Hero();
  hero.SetScale(2, 1, 1);
  EXPECT_EQ(Box(hero.m_CharaBox), (std::vector<int>{2 * 1, 2 * 2, 28, 44}));
  EXPECT_EQ(Box(hero.m_ShotBox), (std::vector<int>{2 * 2, 2 * 4, 24, 16}));
  EXPECT_EQ(Box(hero.m_ItemBox), (std::vector<int>{2 * -1, 2 * -5, 36, 52}));
  hero.m_dX = 500.9;
  hero.m_dY = 400.2;
  hero.UpdateHitRectX();
  hero.UpdateHitRectY();
  EXPECT_EQ(hero.m_ItemBox.rect.left, 500 - 2);
  EXPECT_EQ(hero.m_ItemBox.rect.right, 500 - 2 + 35);
  EXPECT_EQ(hero.m_ShotBox.rect.top, 400 + 8);
  EXPECT_EQ(hero.m_CharaBox.rect.bottom, 400 + 4 + 43);
}

TEST(HeroForms, AChangeOfFormOpensTheCrushGraceAndSavesTheRectangle) {
  for (int legacy818b = 0; legacy818b < 2; ++legacy818b) {
    cStageHarness h(HeroStage(HarnessHeroType()));
    g_SystemData.m_bLegacy818b = legacy818b;
    h.SetHitCheckLevel(2);
    cHero& hero = h.Hero();
    hero.m_bInAir = 0;
    hero.m_nAirCount = 0;
    hero.m_dSpeedX = 3;
    // The same form: no grace, no change of motion.
    hero.ChangeMoveMode(0, 0, 1, 1);
    EXPECT_EQ(hero.m_nCrushGrace, 0);
    EXPECT_EQ(hero.m_bRestoreOnCrush, 0);
    EXPECT_EQ(hero.m_bSavedRect, 1);
    EXPECT_EQ(hero.m_dSpeedX, 3);
    // Walking to flying: two steps of grace; older projects leave the air state alone.
    hero.m_dX = 400;
    hero.m_dY = 300;
    hero.m_dX2 = 415;
    hero.m_dY2 = 323;
    hero.ChangeMoveMode(2, 0, 1, 1);
    EXPECT_EQ(hero.m_Type.m_nMoveMode, 2);
    EXPECT_EQ(hero.m_nFlightMode, 1);
    EXPECT_EQ(hero.m_nCrushGrace, 2);
    EXPECT_EQ(hero.m_bRestoreOnCrush, 1);
    EXPECT_EQ(hero.m_dSavedY2, 323);
    EXPECT_EQ(hero.m_bInAir, legacy818b ? 0 : 1);
    EXPECT_EQ(hero.m_nAirCount, legacy818b ? 0 : 16);  // 8n at n = 2
    EXPECT_EQ(hero.m_dSpeedX, 3);
    // Flying to walking stops the hero.
    hero.m_dSpeedY = -2;
    hero.m_dImpactX = 1;
    hero.ChangeMoveMode(0, 0, 0, 0);
    EXPECT_EQ(hero.m_dSpeedX + hero.m_dSpeedY + hero.m_dImpactX + hero.m_dImpactY, 0);
    EXPECT_EQ(hero.m_dSavedY2, 323);  // not saved this time
  }
}

// The play loop's crush test: within the grace the hero survives, the first time put back where
// it was when its form changed; once the grace has run out the crush is fatal.
TEST(HeroForms, ACrushIsSurvivedWithinTheGraceAndFatalOnTheThirdStep) {
  cStageHarness h(HeroStage(HarnessHeroType()));
  cHero& hero = h.Hero();
  hero.m_dX = 400;
  hero.m_dY = 300;
  hero.m_dX2 = 415;
  hero.m_dY2 = 323;
  hero.ChangeMoveMode(1, 0, 1, 1);  // in a flow of the step
  hero.m_dX = 410;                  // squeezed somewhere else
  hero.m_dY = 290;
  EXPECT_EQ(hero.SurviveCrush(), 1);
  EXPECT_EQ(hero.m_dX, 400);
  EXPECT_EQ(hero.m_dY, 300);
  EXPECT_EQ(hero.m_dY2, 323);
  EXPECT_EQ(hero.m_bRestoreOnCrush, 0);

  hero.StepChara(0);  // the next step: grace 1
  hero.m_dX = 420;
  EXPECT_EQ(hero.SurviveCrush(), 1);
  EXPECT_EQ(hero.m_dX, 420);  // spared, not put back again

  hero.StepChara(0);  // the third: the grace is over
  EXPECT_EQ(hero.SurviveCrush(), 0);

  // Without the restore request a spared hero stays where it is.
  hero.ChangeMoveMode(0, 0, 1, 0);
  hero.m_dX = 430;
  EXPECT_EQ(hero.SurviveCrush(), 1);
  EXPECT_EQ(hero.m_dX, 430);
}

TEST(HeroItems, TheContactListHoldsTheItemsTouchedLastFrame) {
  cStageHarness h({"H.I.I", "#####"});
  cHero& hero = h.Hero();
  const cItem& a = h.Item(0);
  const cItem& b = h.Item(1);
  ASSERT_NE(a.m_nNumber, b.m_nNumber);
  EXPECT_EQ(hero.IsNotTouching(a), 1);
  hero.m_Touching.push_back(a.m_nNumber);
  hero.m_Touching.push_back(b.m_nNumber);
  hero.m_Touching.push_back(a.m_nNumber);
  EXPECT_EQ(hero.IsNotTouching(a), 0);
  hero.ForgetTouch(a);
  EXPECT_EQ(hero.IsNotTouching(a), 1);
  EXPECT_EQ(hero.IsNotTouching(b), 0);
  EXPECT_EQ(hero.m_Touching.size(), 1u);
}

namespace {

std::vector<int> g_itemCmds;
std::vector<int> g_arranged;
std::vector<int32_t*> g_flowVarsSeen;  // the flow variables published while each command ran
int (*g_itemCmdEffect)(cHero& hero, cFlowCmd& cmd) = nullptr;

cFlowHooks ItemCmdHooks() {
  g_itemCmds.clear();
  g_arranged.clear();
  g_flowVarsSeen.clear();
  g_itemCmdEffect = nullptr;
  cFlowHooks hooks;
  hooks.runItemCmd = [](cHero& hero, cFlowCmd& cmd) {
    g_itemCmds.push_back(cmd.m_nKind);
    g_flowVarsSeen.push_back(g_lpSceneStage->m_lpFlowVars);
    EXPECT_EQ(g_lpSceneStage->m_bItemMesContinue, 0);
    return g_itemCmdEffect ? g_itemCmdEffect(hero, cmd) : 0;
  };
  hooks.applyHeroArrangeList = [](cFlowCmd& cmd, cHero&) { g_arranged.push_back(cmd.m_nKind); };
  return hooks;
}

cItem& ItemWithCommands(cStageHarness& h, std::vector<int> kinds) {
  cItem& item = h.Item(0);
  item.m_Type.m_aCmds.assign(kinds.size(), cFlowCmd());
  for (size_t i = 0; i < kinds.size(); ++i) {
    item.m_Type.m_aCmds[i].m_nContext = 1;
    item.m_Type.m_aCmds[i].m_nKind = static_cast<int8_t>(kinds[i]);
  }
  return item;
}

}  // namespace

// The item's flow variables are published while its commands run; afterwards the flow that took
// the item finds its own context again.
TEST(HeroItems, AnItemsCommandsRunInOrderWithItsFlowVariables) {
  cHooksGuard guard(SetFlowHooks, ItemCmdHooks());
  cStageHarness h({"H.I", "###"});
  cItem& item = ItemWithCommands(h, {4, 23, 7});
  h.Stage().m_bItemMesContinue = 1;
  int32_t flowVars[2] = {};
  cFlowState flow;
  h.Stage().m_lpCurObject = &h.Hero();
  h.Stage().m_lpCurFlowState = &flow;
  h.Stage().m_lpFlowVars = flowVars;
  EXPECT_EQ(h.Hero().RunItemCommands(item), 0);
  EXPECT_EQ(g_itemCmds, (std::vector<int>{4, 23, 7}));
  EXPECT_EQ(g_arranged, (std::vector<int>{4, 7}));  // the arrange command is not itself arranged
  EXPECT_EQ(g_flowVarsSeen, (std::vector<int32_t*>(3, item.m_anFlowVars)));
  EXPECT_EQ(h.Stage().m_lpFlowVars, flowVars);
  EXPECT_EQ(h.Stage().m_lpCurFlowState, &flow);
  EXPECT_EQ(h.Stage().m_lpCurObject, &h.Hero());
}

TEST(HeroItems, ACommandThatTakesTheLifeEndsTheListWithTwo) {
  cHooksGuard guard(SetFlowHooks, ItemCmdHooks());
  cStageHarness h({"H.I", "###"});
  cItem& item = ItemWithCommands(h, {7, 8, 9});
  g_itemCmdEffect = [](cHero& hero, cFlowCmd&) {
    hero.m_nHp = 0;
    return 1;  // even a stage clear: the lost life wins
  };
  EXPECT_EQ(h.Hero().RunItemCommands(item), 2);
  EXPECT_EQ(g_itemCmds, (std::vector<int>{7}));
}

TEST(HeroItems, AnyOtherNonZeroResultEndsTheList) {
  cHooksGuard guard(SetFlowHooks, ItemCmdHooks());
  cStageHarness h({"H.I", "###"});
  cItem& item = ItemWithCommands(h, {7, 10, 9});
  g_itemCmdEffect = [](cHero&, cFlowCmd& cmd) { return cmd.m_nKind == 10 ? 1 : 0; };
  EXPECT_EQ(h.Hero().RunItemCommands(item), 1);
  EXPECT_EQ(g_itemCmds, (std::vector<int>{7, 10}));
  // An empty list answers by the life alone.
  cItem& empty = ItemWithCommands(h, {});
  EXPECT_EQ(h.Hero().RunItemCommands(empty), 0);
  h.Hero().m_nHp = 0;
  EXPECT_EQ(h.Hero().RunItemCommands(empty), 2);
}

TEST(HeroItems, TheItemsPictureRisesOverTheHero) {
  static std::vector<int> shown;
  shown.clear();
  cFlowHooks hooks;
  hooks.showItemMes = [](cHero& hero, int kind, int number, int pattern) {
    shown = {hero.m_nNumber, kind, number, pattern};
  };
  cHooksGuard guard(SetFlowHooks, hooks);
  cStageHarness h({"H", "#"});
  h.Hero().ShowItemMes(2, 14, 1);
  EXPECT_EQ(shown, (std::vector<int>{0, 2, 14, 1}));
}

TEST(HeroDisplay, TheBoxesAreListedLargestFirst) {
  cHarnessSetup setup = HeroStage(HarnessHeroType());
  setup.prepareRun = [] {
    SetHeroBoxSettings(g_StageFile);
    g_StageFile.m_nHeroHitBoxShow = 1;
    g_StageFile.m_nHeroHitBoxColour = 0;
    g_StageFile.m_anHeroBoxShow[0] = 2;
    g_StageFile.m_anHeroBoxColour[0] = 1;
    g_StageFile.m_anHeroBoxShow[1] = 1;
    g_StageFile.m_anHeroBoxColour[1] = 7;
    g_StageFile.m_anHeroBoxShow[2] = 0;
    g_StageFile.m_anHeroBoxColour[2] = 3;
  };
  cStageHarness h(setup);
  const std::vector<cHitBoxDisplayEntry>& list = h.Hero().m_aHitBoxDisplay;
  ASSERT_EQ(list.size(), 4u);
  // Item box 18 x 26 = 468, hit box 16 x 24 = 384, character box 14 x 22 = 308, shot box 96.
  EXPECT_EQ((std::vector<int>{list[0].nKind, list[1].nKind, list[2].nKind, list[3].nKind}),
            (std::vector<int>{2, 0, 1, 3}));
  EXPECT_EQ(list[0].nColour, 208 + 12);
  EXPECT_EQ(list[0].nShowMode, 0);
  EXPECT_EQ(list[1].nColour, 208);
  EXPECT_EQ(list[2].nColour, 212);
  EXPECT_EQ(list[2].nShowMode, 2);
  EXPECT_EQ(list[3].nColour, 236);
  EXPECT_EQ(list[3].nWidth, 12);
  for (const cHitBoxDisplayEntry& e : list) EXPECT_EQ(e.nX + e.nY + e.nCounter, 0);
}

// The colours cycle unless the display runs at 8 bits with the project's palette animation on.
TEST(HeroDisplay, TheShownBoxesAreDrawnOverTheHeroWithACyclingColour) {
  struct Mode {
    int bpp, paletteOpt289, fixed;
  };
  for (const Mode mode : {Mode{32, 1, 0}, Mode{8, 0, 0}, Mode{8, 1, 1}}) {
    const int fixed = mode.fixed;
    cHarnessSetup setup = HeroStage(HarnessHeroType());
    setup.prepareRun = [] {
      SetHeroBoxSettings(g_StageFile);
      g_StageFile.m_nHeroHitBoxShow = 1;
      g_StageFile.m_anHeroBoxShow[0] = 2;
      g_StageFile.m_anHeroBoxColour[0] = 1;
    };
    cStageHarness h(setup);
    const int bpp = g_nDisplayBpp;
    g_nDisplayBpp = mode.bpp;
    g_SystemData.m_nPaletteOpt289 = mode.paletteOpt289;
    cHero& hero = h.Hero();
    DDSURFACEDATA target{};
    std::vector<int> fills, frames;
    for (int frame = 0; frame < 33; ++frame) {
      h.ClearTraces();
      hero.DrawHero(&target, 0);
      // The hit box on screen, from the screen rectangle the character drawing left.
      const double x = hero.m_ScreenRect.left + 8;
      const double y = hero.m_ScreenRect.top + 8;
      for (const DDTRACECALL& call : h.Draws()) {
        if (call.strName == "DDFillRect") {
          EXPECT_EQ(call.adArgs, (std::vector<double>{x, y, 16, 24, call.adArgs[4]}));
          fills.push_back(static_cast<int>(call.adArgs[4]));
        } else if (call.strName == "DDFrameRect") {
          // The character box: at the hit box plus its offset (16 - 8 - 7, 32 - 8 - 22).
          EXPECT_EQ(call.adArgs, (std::vector<double>{x + 1, y + 2, 14, 22, 1, call.adArgs[5]}));
          frames.push_back(static_cast<int>(call.adArgs[5]));
        }
      }
    }
    g_nDisplayBpp = bpp;
    ASSERT_EQ(fills.size(), 33u);
    ASSERT_EQ(frames.size(), 33u);
    for (int frame = 0; frame < 33; ++frame) {
      const int phase = fixed ? 0 : (frame % 32) >> 3;
      EXPECT_EQ(fills[frame], 208 + phase) << fixed << " " << frame;
      EXPECT_EQ(frames[frame], 212 + phase) << fixed << " " << frame;
    }
  }
}

TEST(HeroDisplay, TheViewMaskWindowFollowsTheHeroAndItsFacing) {
  struct Case {
    int viewMode, facing, left, top;
    int srcX, srcY;  // -1: nothing drawn
  };
  // Mask 1280 + 96 by 960 + 96 (view range 3 half blocks = 48 dots), graphic 32 x 32.
  const Case cases[] = {
      {0, 1, 300, 200, -1, -1},
      {1, 1, 300, 200, 688 - 16 - 300, 528 - 16 - 200},
      {3, 0, 300, 200, 688 - 16 - 300, 528 - 16 - 200},
      {2, 1, 300, 200, 688 - 16 - 300 + 16 - 48, 528 - 16 - 200},
      {4, 0, 300, 200, 688 - 16 - 300 - 16 + 48, 528 - 16 - 200},
      {1, 1, -500, 900, 1376 - 640, 0},  // clamped to the mask
      {1, 1, 900, -500, 0, 1056 - 480},
  };
  DDSURFACEDATA& mask = g_SurfaceData[66];
  const int width = mask.nWidth, height = mask.nHeight;
  mask.nWidth = 1376;
  mask.nHeight = 1056;
  for (const Case& t : cases) {
    cCharaType type = HarnessHeroType();
    type.m_nViewMode = static_cast<int8_t>(t.viewMode);
    type.m_nViewRange = 3;
    cStageHarness h(HeroStage(type));
    cHero& hero = h.Hero();
    hero.m_nFacing = t.facing;
    hero.m_ScreenRect.left = t.left;
    hero.m_ScreenRect.top = t.top;
    DDSURFACEDATA target{};
    hero.DrawHeroOverlay(&target);
    if (t.srcX < 0) {
      EXPECT_TRUE(h.Draws().empty());
      continue;
    }
    ASSERT_EQ(h.Draws().size(), 1u) << t.viewMode;
    const DDTRACECALL& call = h.Draws()[0];
    EXPECT_EQ(call.strName, "DDBlt");
    EXPECT_EQ(call.lpSrc, &mask);
    EXPECT_EQ(call.adArgs, (std::vector<double>{0, 0, 640, 480, double(t.srcX), double(t.srcY), 1}))
        << t.viewMode << " " << t.facing << " " << t.left;
    hero.DrawHeroOverlay(nullptr);  // without a target nothing is drawn
    EXPECT_EQ(h.Draws().size(), 1u);
  }
  mask.nWidth = width;
  mask.nHeight = height;
}
