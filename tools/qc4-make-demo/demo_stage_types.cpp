#include "demo_stage_types.h"

#include <memory>

#include "data/database.h"
#include "data/move_shot.h"
#include "demo_pictures.h"

namespace {

// Character-context command kinds, the item-context status operation and their parameter counts.
constexpr int8_t kCmdWait = 1;
constexpr int8_t kCmdStraightMove = 2;
constexpr int8_t kCmdJump = 10;
constexpr int8_t kCmdStatus = 22;
constexpr int8_t kCmdScreenEffect = 31;
constexpr int8_t kItemCmdStatus = 7;
constexpr int kStatusParams = 25;
constexpr int kJumpParams = 5;
constexpr int kScreenEffectParams = 3;

// Flow triggers.
constexpr int8_t kTriggerAlways = 0;
constexpr int8_t kTriggerRiddenByHero = 18;

// Rows of the movement direction table.
constexpr int8_t kDirLeft = 2;
constexpr int8_t kDirRight = 3;
constexpr int8_t kDirUp = 6;
constexpr int8_t kDirDown = 7;

// The status operation's destinations and the character status rows it writes.
constexpr int kStatusOwnerSelf = 0;
constexpr int kStatusOwnerStage = 5;
constexpr int kStatusHp = 1;
constexpr int kStageValueScore = 3;
constexpr int kOpSet = 0;
constexpr int kOpAdd = 1;

// The group of every character but the hero's (0): their shots and bodies hurt the hero, and the
// hero's hurt them.
constexpr int8_t kEnemyGroup = 1;
// The no-damage status "ON (ショットがすり抜ける)": shots fly through.
constexpr int8_t kShotsPassThrough = 2;
// The activity range "全範囲": a lift keeps moving off screen, so its place never depends on the path
// the hero took.
constexpr int8_t kActiveEverywhere = 3;

// A status operation on a character (the actor, 0, or a target slot 1-4) or a stage value (owner 5):
// `op` (0 set, 1 add) with a constant.
cFlowCmd StatusCommand(bool item, int owner, int status, int op, int value) {
  cFlowCmd cmd;
  cmd.m_nContext = item ? 1 : 0;
  cmd.m_nKind = item ? kItemCmdStatus : kCmdStatus;
  cmd.m_anParams.assign(kStatusParams, 0);
  cmd.m_anParams[0] = 0;  // a status
  cmd.m_anParams[3] = owner;
  cmd.m_anParams[4] = status;
  cmd.m_anParams[6] = op;
  cmd.m_anParams[7] = 0;  // a constant
  cmd.m_anParams[8] = value;
  cmd.m_anParams[18] = 1;  // show the hit-point gauge's change
  return cmd;
}

// Stage variable `index` := value, without holding the flow.
cFlowCmd SetStageVariable(int index, int value) {
  cFlowCmd cmd;
  cmd.m_nKind = kCmdStatus;
  cmd.m_anParams.assign(kStatusParams, 0);
  cmd.m_anParams[0] = 1;  // a variable
  cmd.m_anParams[1] = 1;  // of the stage
  cmd.m_anParams[2] = index;
  cmd.m_anParams[6] = kOpSet;
  cmd.m_anParams[8] = value;
  cmd.m_bRunOn = 1;
  return cmd;
}

cFlowCmd WaitCommand(int tenths) {
  cFlowCmd cmd;
  cmd.m_nKind = kCmdWait;
  cmd.m_nUseTime = static_cast<int16_t>(tenths);
  return cmd;
}

cFlowCmd MoveCommand(int8_t direction, int16_t speed, int16_t tenths) {
  cFlowCmd cmd;
  cmd.m_nKind = kCmdStraightMove;
  cmd.m_pMove = std::make_shared<cEdMove>();
  cmd.m_pMove->m_nMoveKind = 0;  // by direction
  cmd.m_pMove->m_nDirection = direction;
  cmd.m_pMove->m_nSpeed = speed;  // tenths of a dot per frame
  cmd.m_nUseTime = tenths;
  return cmd;
}

cCond StageVariableIs(int index, int value) {
  cCond cond;
  cond.m_nKind = kCondStageVar;
  cond.m_nVarIndex = static_cast<int16_t>(index);
  cond.m_nOperand = value;
  cond.m_nOperator = 0;  // equal
  return cond;
}

// The hero within `halfBlocks` in front of the character.
cCond HeroAhead(int halfBlocks) {
  cCond cond;
  cond.m_nKind = kCondDistance;
  cond.m_nLeftWhose = 0;  // the hero
  cond.m_nShape = 1;      // "前": the side the character faces
  cond.m_nOperand = halfBlocks;
  cond.m_nOperator = 0;  // inside
  return cond;
}

// A character the computer moves, of the group that is not the hero's.
cCharaType ComputerCharacter(const char* name, int graphic) {
  cCharaType t;
  t.m_strName = name;
  t.m_nControl = 1;
  t.m_nFacing = 0;
  t.m_nGraphic = static_cast<int16_t>(graphic);
  t.m_nGraphicKind = 1;  // the character sheets
  t.m_nOpt28 = kEnemyGroup;
  return t;
}

}  // namespace

cCharaType LiftType(bool vertical, int cells) {
  cCharaType t = ComputerCharacter("リフト", kCharaLift);
  t.m_nMoveMode = 1;  // flies: gravity does not pull it
  t.m_bBlockChara = 1;
  t.m_nActiveRange = kActiveEverywhere;
  t.m_nOpt32 = kShotsPassThrough;  // nobody's shot takes a lift away
  t.m_nMaxHp = 1;
  // Two dots a frame: one cell takes 16 frames.
  const auto tenths = static_cast<int16_t>(cells * 16 / 6);
  cFlow flow;
  flow.m_nTrigger = kTriggerAlways;
  flow.m_aCmds.push_back(MoveCommand(vertical ? kDirUp : kDirRight, 20, tenths));
  flow.m_aCmds.push_back(WaitCommand(5));
  flow.m_aCmds.push_back(MoveCommand(vertical ? kDirDown : kDirLeft, 20, tenths));
  flow.m_aCmds.push_back(WaitCommand(5));
  t.m_aFlows.push_back(flow);
  return t;
}

cCharaType BeetleType(bool quake) {
  cCharaType t = ComputerCharacter(quake ? "大カブト" : "カブト", kCharaBeetle);
  t.m_bBlockChara = 1;
  t.m_nMaxHp = 1;
  t.m_nScore = 200;
  // Stood on by the hero: the hero is told to bounce, and the beetle goes a moment later, while the
  // hero is still on it to jump off.
  cFlow stomped;
  stomped.m_nTrigger = kTriggerRiddenByHero;
  stomped.m_aCmds.push_back(SetStageVariable(kStompVar, 1));
  stomped.m_aCmds.back().m_nSound = kSoundStomp;
  stomped.m_aCmds.back().m_bSoundOnScreen = 0;
  if (quake) {
    cFlowCmd shake;
    shake.m_nKind = kCmdScreenEffect;
    shake.m_anParams.assign(kScreenEffectParams, 0);
    shake.m_anParams[0] = kScrEffectQuake;  // played once, forwards
    shake.m_bRunOn = 1;
    stomped.m_aCmds.push_back(shake);
  }
  stomped.m_aCmds.push_back(WaitCommand(1));
  stomped.m_aCmds.push_back(StatusCommand(false, kStatusOwnerSelf, kStatusHp, kOpSet, 0));
  t.m_aFlows.push_back(stomped);
  return t;
}

cCharaType TurretType() {
  cCharaType t = ComputerCharacter("砲台", kCharaTurret);
  t.m_nMaxHp = 3;
  t.m_nBodyPower = 1;
  t.m_nBodyImpact = 4;
  auto shot = std::make_shared<cEdShot>();
  shot->m_nShotKind = 0;      // "直進A": a row ...
  shot->m_nPerRow = 1;        // ... of one shot
  shot->m_nDirection = 0;     // forward
  shot->m_bAim = 1;           // at ...
  shot->m_nTargetChoice = 1;  // ... the hero
  shot->m_nGraphic = 1;       // the red ball of the shot sheet
  shot->m_nSize = 1;
  shot->m_nSpeed = 30;  // three dots a frame
  shot->m_bTimeLimit = 1;
  shot->m_nTime = 30;  // three seconds
  shot->m_nPower = 1;
  shot->m_nImpact = 2;
  shot->m_nEffect = kEffectSpark;  // shown where it hits
  cFlowCmd fire;
  fire.m_nKind = kCmdShot;  // "ショット"
  fire.m_pShot = shot;
  fire.m_nSound = kSoundShot;
  cFlow flow;
  flow.m_nTrigger = kTriggerAlways;
  flow.m_aConds.push_back(HeroAhead(14));
  flow.m_aCmds.push_back(fire);
  flow.m_aCmds.push_back(WaitCommand(15));
  t.m_aFlows.push_back(flow);
  return t;
}

cFlow HeroBounceFlow() {
  cFlow flow;
  flow.m_nTrigger = kTriggerAlways;
  flow.m_aConds.push_back(StageVariableIs(kStompVar, 1));
  flow.m_aCmds.push_back(SetStageVariable(kStompVar, 0));
  cFlowCmd jump;
  jump.m_nKind = kCmdJump;
  jump.m_anParams = {0, 5, 5, 5, 5};  // jump kind 0: as if the key were held, 5 half blocks
  jump.m_anParams.resize(kJumpParams);
  jump.m_nUseTime = 10;
  flow.m_aCmds.push_back(jump);
  return flow;
}

cItemType TouchItemType(const char* name, int graphic, int sound) {
  cItemType t;
  t.m_strName = name;
  t.m_nGraphic = static_cast<decltype(t.m_nGraphic)>(graphic);
  t.m_nTakeMode = 0;  // taken on touch
  t.m_nSound = static_cast<decltype(t.m_nSound)>(sound);
  return t;
}

cItemType GemType() {
  cItemType t = TouchItemType("宝石", kItemGem, kSoundTreasure);
  t.m_aCmds.push_back(StatusCommand(true, kStatusOwnerStage, kStageValueScore, kOpAdd, 500));
  return t;
}

cItemType HeartType() {
  cItemType t = TouchItemType("ハート", kItemHeart, kSoundTreasure);
  t.m_aCmds.push_back(StatusCommand(true, kStatusOwnerSelf, kStatusHp, kOpAdd, 1));
  return t;
}

void FillDemoEffects(cDatabase& db) {
  if (db.m_aEffect.size() <= kEffectSpark) db.m_aEffect.resize(kEffectSpark + 1);
  cEffectData& spark = db.m_aEffect[kEffectSpark];
  spark.m_strName = "火花";
  spark.m_strPicture = kSparkPicture;
  spark.m_nCellWidth = kSparkCell;
  spark.m_nCellHeight = kSparkCell;
  spark.m_aFrames.resize(kSparkFrames);
  for (int i = 0; i < kSparkFrames; ++i) {
    spark.m_aFrames[static_cast<size_t>(i)].m_nPattern = i;
    spark.m_aFrames[static_cast<size_t>(i)].m_nDuration = 1;  // a tenth of a second each
  }

  if (db.m_aScrEffect.size() <= kScrEffectQuake) db.m_aScrEffect.resize(kScrEffectQuake + 1);
  cScrEffectData& quake = db.m_aScrEffect[kScrEffectQuake];
  quake.m_strName = "揺れ";
  quake.m_nKind = 3;        // "振動（縦）"
  quake.m_anParams[0] = 6;  // six tenths of a second
  quake.m_anParams[1] = 8;  // eight dots up and down
  quake.m_anParams[2] = 3;  // three swings
  quake.m_anParams[3] = 0;
  quake.m_anParams[4] = 0;
}
