#include "demo_events.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/chara_type.h"
#include "data/cond.h"
#include "data/flow.h"
#include "data/flow_cmd.h"
#include "data/item_type.h"
#include "data/palette.h"
#include "data/stage_data.h"
#include "demo_data.h"
#include "demo_palette.h"
#include "pixel_canvas.h"

namespace {

constexpr int kCell = 32;

// Character-context command kinds and the item-context code command.
constexpr int8_t kCmdMessage = 19;
constexpr int8_t kCmdCode = 37;
constexpr int8_t kItemCmdStageClear = 2;
constexpr int8_t kItemCmdCode = 22;
// Stage clear's "world clear" (its first parameter).
constexpr int32_t kClearWorld = 3;
constexpr int kMessageParams = 21;
// Flow triggers.
constexpr int8_t kTriggerAlways = 0;
// Condition kinds and operators.
constexpr int8_t kCondStageVar = 2;
constexpr int8_t kCondDistance = 7;
constexpr int8_t kOpEqual = 0;
constexpr int8_t kOpAtLeast = 2;
// The database sound of a taken coin, played when the coin count gives its bonus.
constexpr int16_t kSoundCoin = 3;
// The guide's picture: the first row of the second character sheet ("bmp\Character2.bmp").
constexpr int kGuideGraphic = 15;

// The event characters placed in each stage, by map cell. Only the guide so far.
enum eEventChara { kGuide };
struct cEventPlacement {
  int stage;
  int x, y;
  eEventChara chara;
};
const cEventPlacement kPlacements[] = {
    {1, 6, 12, kGuide},
    {kDemoBonusStage, 4, 12, kGuide},
};

// Message parameters by what they set (the rest stay 0).
enum : size_t {
  kMesAnchor = 0,
  kMesPosX = 1,
  kMesPosY = 2,
  kMesOffsetY = 4,
  kMesClamp = 5,
  kMesCloseMode = 6,  // 0 a key closes it, 1 it stays, 2 it closes after its display time
  kMesTenths = 7,
  kMesWait = 8,
  kMesExpand = 9,
  kMesFixed = 10,
  kMesRefresh = 11,
  kMesNumbered = 12,
  kMesNumber = 13,
  kMesBox = 14,
  kMesErase = 15,
  kMesRefreshFrames = 16,
  kMesUnit = 18,
  kMesChoices = 19,
  kMesStoreChoice = 20,
};
// Numbers of the numbered windows.
constexpr int32_t kCoinCountWindow = 1;
constexpr int32_t kTalkHintWindow = 2;
// Window anchors.
constexpr int32_t kAnchorAboveSelf = 1;
constexpr int32_t kAnchorAboveHero = 4;
constexpr int32_t kAnchorScreen = 7;

cFlowCmd Message(const char* text, int32_t anchor) {
  cFlowCmd cmd;
  cmd.m_nKind = kCmdMessage;
  cmd.m_strText = text;
  cmd.m_anParams.assign(kMessageParams, 0);
  cmd.m_anParams[kMesAnchor] = anchor;
  cmd.m_anParams[kMesClamp] = 1;
  cmd.m_anParams[kMesBox] = 1;
  return cmd;
}

// A message shown for a few seconds while the play goes on.
cFlowCmd TimedMessage(const char* text, int32_t anchor) {
  cFlowCmd cmd = Message(text, anchor);
  cmd.m_anParams[kMesCloseMode] = 2;
  cmd.m_anParams[kMesTenths] = 30;
  cmd.m_bRunOn = 1;
  return cmd;
}

cFlowCmd Code(const char* text) {
  cFlowCmd cmd;
  cmd.m_nKind = kCmdCode;
  cmd.m_strText = text;
  return cmd;
}

cCond StageVarIs(int var, int8_t op, int32_t value) {
  cCond c;
  c.m_nKind = kCondStageVar;
  c.m_nVarIndex = static_cast<int16_t>(var);
  c.m_nOperator = op;
  c.m_nOperand = value;
  return c;
}

// The hero stands within `halfBlocks` of the character, sideways.
cCond HeroNear(int32_t halfBlocks) {
  cCond c;
  c.m_nKind = kCondDistance;
  c.m_nLeftWhose = 0;  // the hero
  c.m_nShape = 0;      // "横": sideways, at any height
  c.m_nOperator = 0;   // inside
  c.m_nOperand = halfBlocks;
  return c;
}

cFlow Flow(std::vector<cCond> conds, std::vector<cFlowCmd> cmds) {
  cFlow flow;
  flow.m_nTrigger = kTriggerAlways;
  flow.m_aConds = std::move(conds);
  flow.m_aCmds = std::move(cmds);
  return flow;
}

// The up key pressed (the key step's entry 3: up alone).
cKeyCond UpPressed() {
  cKeyCond step;
  step.m_anKeyStates[3] = 1;
  step.m_bAnyHold = 1;
  return step;
}

// The guide's question, asked when the hero stands by him and presses up: the key-closed window
// carries two choice tags ("#R<value>."), and the value of the chosen one lands in the flow's
// variable A, which the code then keeps in a stage variable.
cFlow AskFlow() {
  cFlowCmd ask = Message("ヒントを聞くかい？\n#R1.はい\n#R2.いいえ", kAnchorAboveSelf);
  ask.m_anParams[kMesCloseMode] = 0;
  ask.m_anParams[kMesWait] = 1;
  ask.m_anParams[kMesChoices] = 1;
  ask.m_anParams[kMesStoreChoice] = 1;
  // The talk hint (window number 2) goes first, so that it does not stand under the question.
  cFlowCmd eraseHint = Message("", kAnchorAboveSelf);
  eraseHint.m_anParams[kMesNumbered] = 1;
  eraseHint.m_anParams[kMesNumber] = kTalkHintWindow;
  eraseHint.m_anParams[kMesErase] = 1;
  eraseHint.m_bRunOn = 1;
  cFlow flow = Flow({HeroNear(3), StageVarIs(kVarAnswer, kOpEqual, 0)}, {eraseHint, ask, Code("S1 = fA")});
  flow.m_aKeyConds.push_back(UpPressed());
  return flow;
}

// While the hero stands by the guide before he has asked, a small numbered window above him says
// how to talk to him; each second the flow shows it again in place, so it goes a second after the
// hero has left or has been asked.
cFlow TalkHintFlow() {
  cFlowCmd hint = Message("↑ではなす", kAnchorAboveSelf);
  hint.m_anParams[kMesCloseMode] = 2;
  hint.m_anParams[kMesTenths] = 10;
  hint.m_anParams[kMesNumbered] = 1;
  hint.m_anParams[kMesNumber] = kTalkHintWindow;
  hint.m_nUseTime = 10;
  return Flow({HeroNear(3), StageVarIs(kVarAnswer, kOpEqual, 0)}, {hint});
}

// The guide's reply to each answer; each marks the answer as replied to.
cFlow ReplyFlow(int answer, const char* text, const char* code) {
  return Flow({StageVarIs(kVarAnswer, kOpEqual, answer)}, {TimedMessage(text, kAnchorAboveSelf), Code(code)});
}

// The coin count on screen: a numbered window at a fixed screen place whose stage-variable code is
// formatted again every few frames.
cFlow CoinCountFlow() {
  cFlowCmd shown = Message("コイン #S3_2.", kAnchorScreen);
  shown.m_anParams[kMesUnit] = 1;  // dots
  shown.m_anParams[kMesPosX] = 8;
  shown.m_anParams[kMesPosY] = 40;
  shown.m_anParams[kMesCloseMode] = 1;
  shown.m_anParams[kMesFixed] = 1;
  shown.m_anParams[kMesExpand] = 1;
  shown.m_anParams[kMesRefresh] = 1;
  shown.m_anParams[kMesRefreshFrames] = 6;
  shown.m_anParams[kMesNumbered] = 1;
  shown.m_anParams[kMesNumber] = kCoinCountWindow;
  shown.m_bRunOn = 1;
  return Flow({StageVarIs(kVarCoinShown, kOpEqual, 0)}, {shown, Code("S5 = 1")});
}

// Five coins give a bonus, once: the code adds it to the score and marks it given.
cFlow CoinBonusFlow() {
  cFlowCmd bonus = Code("score = score + 1000 S4 = 1");
  bonus.m_nSound = kSoundCoin;
  bonus.m_bSoundOnScreen = 0;
  cFlowCmd said = TimedMessage("コイン5まい！ ボーナス1000てん！", kAnchorAboveHero);
  said.m_anParams[kMesOffsetY] = -8;
  return Flow({StageVarIs(kVarCoins, kOpAtLeast, kCoinsForBonus), StageVarIs(kVarCoinBonus, kOpEqual, 0)},
              {bonus, said});
}

// A friendly old man who does not move, cannot be hurt by touch and hurts no one. He stays active
// once he has been on screen, so that the coin count runs wherever the hero goes.
cCharaType GuideType() {
  cCharaType t;
  t.m_strName = "案内人";
  t.m_nControl = 1;
  t.m_nFacing = 0;  // facing left, toward the hero's start
  t.m_nGraphic = kGuideGraphic;
  t.m_nGraphicKind = 1;
  t.m_nMaxHp = 1;
  t.m_nActiveMode = 1;
  t.m_aFlows = {CoinCountFlow(),
                TalkHintFlow(),
                AskFlow(),
                ReplyFlow(1, "コインを5まい集めると\nボーナスがあるよ！", "S1 = 3"),
                ReplyFlow(2, "そうか、がんばってね！", "S1 = 4"),
                CoinBonusFlow()};
  return t;
}

template <class T>
int FindByName(const std::vector<T>& types, const char* name) {
  for (size_t i = 0; i < types.size(); ++i)
    if (types[i].m_strName == name) return static_cast<int>(i);
  return -1;
}

template <class T>
T PlacedAt(const T& type, int x, int y) {
  T placed = type;
  placed.m_nCellX = static_cast<int16_t>(x);
  placed.m_nCellY = static_cast<int16_t>(y);
  return placed;
}

// The old man: white beard, green robe, a staff; like every character sheet he looks left.
void DrawGuide(cCanvas& c, int x, int y, int frame) {
  const int bob = (frame & 2) ? 1 : 0;
  const uint8_t robe = CubeColour(51, 153, 51);
  c.FillRect(x + 3, y + 4, 2, 28, kBrown);  // staff
  c.FillCircle(x + 4, y + 4, 2, kBrownDark);
  c.FillRect(x + 10, y + 14 + bob, 14, 16 - bob, robe);
  c.FillRect(x + 8, y + 26, 18, 4, robe);
  c.FillRect(x + 10, y + 29, 6, 3, kBrownDark);
  c.FillRect(x + 18, y + 29, 6, 3, kBrownDark);
  c.FillRect(x + 5, y + 16 + bob, 6, 4, kSkin);  // the hand on the staff
  c.FillCircle(x + 17, y + 8 + bob, 7, kSkin);
  c.FillRect(x + 10, y + 1 + bob, 14, 3, kGreyLight);  // hair
  c.FillEllipse(x + 15, y + 14 + bob, 6, 5, kWhite);   // beard
  c.FillRect(x + 12, y + 7 + bob, 2, 2, kBlack);
}

}  // namespace

void AddDemoEventTypes(cPalette& pal) {
  pal.m_aCharaTypes.push_back(GuideType());
  // Every coin counts itself: code text run when the coin is taken.
  for (cItemType& item : pal.m_aItemTypes) {
    if (item.m_strName != "コイン") continue;
    cFlowCmd count;
    count.m_nContext = 1;
    count.m_nKind = kItemCmdCode;
    count.m_strText = "S3 = S3 + 1";
    item.m_aCmds.push_back(count);
  }
}

void PlaceDemoEvents(int stage, const cPalette& pal, cStageData& st) {
  const int guide = FindByName(pal.m_aCharaTypes, "案内人");
  for (const cEventPlacement& p : kPlacements) {
    if (p.stage != stage) continue;
    if (p.chara == kGuide && guide > 0) {
      cCharaType placed = PlacedAt(pal.m_aCharaTypes[static_cast<size_t>(guide)], p.x, p.y);
      placed.m_nCarriedItem = kNoCarriedItem;
      st.m_aCharas.push_back(placed);
    }
  }
}

void FillDemoBonusStage(const cPalette& pal, cStageData& st) {
  // The first stage's settings, music and layers, with a map of its own.
  FillDemoStage(1, pal, st);
  st.m_strName = "ボーナスステージ";
  st.m_aBlocks.clear();
  st.m_aCharas.clear();
  st.m_aItems.clear();
  constexpr int kWidth = 30, kGround = 13;
  st.m_nWidth = kWidth;
  const int grass = FindByName(pal.m_aBlockTypes, "草地");
  const int earth = FindByName(pal.m_aBlockTypes, "土");
  const int coin = FindByName(pal.m_aItemTypes, "コイン");
  const int star = FindByName(pal.m_aItemTypes, "ゴールの星");
  int hero = -1;
  for (size_t i = 0; i < pal.m_aCharaTypes.size() && hero < 0; ++i)
    if (i > 0 && pal.m_aCharaTypes[i].m_nControl == 0) hero = static_cast<int>(i);
  if (grass < 1 || earth < 1 || coin < 1 || star < 1 || hero < 1) return;

  st.m_aCharas.push_back(PlacedAt(pal.m_aCharaTypes[static_cast<size_t>(hero)], 2, kGround - 1));
  st.m_aCharas.back().m_nCarriedItem = kNoCarriedItem;
  for (int x = 0; x < kWidth; ++x) {
    st.m_aBlocks.push_back(PlacedAt(pal.m_aBlockTypes[static_cast<size_t>(grass)], x, kGround));
    st.m_aBlocks.push_back(PlacedAt(pal.m_aBlockTypes[static_cast<size_t>(earth)], x, kGround + 1));
  }
  // Two arches of coins from the ground up to a jump's height.
  for (int arch = 0; arch < 2; ++arch)
    for (int i = 0; i < 7; ++i) {
      const int lift = i < 3 ? i : (i > 3 ? 6 - i : 3);
      st.m_aItems.push_back(PlacedAt(pal.m_aItemTypes[static_cast<size_t>(coin)], 6 + arch * 9 + i, 12 - lift));
    }
  // The goal ends the world: the bonus leads back to the map.
  cItemType goal = PlacedAt(pal.m_aItemTypes[static_cast<size_t>(star)], kWidth - 4, kGround - 1);
  for (cFlowCmd& cmd : goal.m_aCmds)
    if (cmd.m_nContext == 1 && cmd.m_nKind == kItemCmdStageClear && !cmd.m_anParams.empty())
      cmd.m_anParams[0] = kClearWorld;
  st.m_aItems.push_back(goal);
  PlaceDemoEvents(kDemoBonusStage, pal, st);
}

std::vector<cDemoPicture> MakeDemoEventPictures() {
  // The second character sheet, laid out as the first: 20 columns of patterns, 15 rows.
  cCanvas sheet(20 * kCell, 15 * kCell, kClear);
  for (int pattern = 0; pattern < 20; ++pattern)
    DrawGuide(sheet, pattern * kCell, (kGuideGraphic % 15) * kCell, pattern);
  std::vector<cDemoPicture> list;
  list.push_back({"bmp\\Character2.bmp", std::move(sheet)});
  return list;
}
