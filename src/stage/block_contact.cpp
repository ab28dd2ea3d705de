// A character against the blocks of the map: the four edge tests and their combined orders.
#include "stage/block_contact.h"

#include <cstdint>
#include <limits>

#include "core/containers.h"
#include "core/numbers.h"
#include "objects/chara_base.h"
#include "objects/flow_runner.h"
#include "objects/play_objects.h"
#include "objects/stage_physics.h"
#include "stage/contact_rules.h"
#include "stage/map_sampling.h"

namespace {

// Flow triggers of block contacts.
enum : int {
  kTriggerBlock = 11,
  kTriggerBlockSide = 12,
  kTriggerBlockLeft = 13,
  kTriggerBlockRight = 14,
};

constexpr int kSettleSteps = 15;

cBlock& BlockAt(int cell) { return VecAt(g_BlockTable, cell); }

// A walking character that moves upward does not land on what its feet meet, unless the project
// lands rising characters.
bool RisesPastFloor(const cCharaBase& chara) {
  return !LandWhileRising() && !chara.m_bGravityFree && chara.m_dSpeedY < 0;
}

// What a cell's contact kind does to the character: nothing, a touch, or its death (a deadly block
// for a player-operated character, any block for one that dies on blocks).
enum class eBlockTouch { kNone, kTouch, kFatal };

eBlockTouch TouchOf(const cCharaBase& chara, int contact) {
  if (contact == 1) return DiesOnBlocks(chara) ? eBlockTouch::kFatal : eBlockTouch::kTouch;
  if (contact == 2) return IsPlayerOperated(chara) || DiesOnBlocks(chara) ? eBlockTouch::kFatal : eBlockTouch::kTouch;
  return eBlockTouch::kNone;
}

// After a wall contact that did not kill: the side is remembered and the block flows fire.
void FinishWallContact(cCharaBase& chara, int side, int sideTrigger) {
  chara.m_dImpactX = 0.0;
  chara.AfterMoveX();
  chara.m_nLastWallSide = side;
  TriggerFlows(chara, kTriggerBlock);
  TriggerFlows(chara, kTriggerBlockSide);
  TriggerFlows(chara, sideTrigger);
}

// One more sub-step without a floor. After 8n of them the character is in the air (jump flag 1); a
// player-operated one only when it does not ride a block character, and the hero is then ready to
// jump again. Landing (LandOnBlock) zeroes the count and the flag.
void CountAirTime(cCharaBase& chara) {
  if (chara.m_nAirCount < std::numeric_limits<int32_t>::max()) ++chara.m_nAirCount;
  chara.m_lpFloorBlock = nullptr;
  if (chara.m_nAirCount < StageSubSteps8()) return;
  if (!IsPlayerOperated(chara)) {
    chara.m_bInAir = 1;
  } else if (!chara.m_bRiding) {
    chara.m_bInAir = 1;
    VecAt(g_HeroList, 0).m_bJumpReady = 1;
  }
}

int RunInOrder(cCharaBase& chara, int (*first)(cCharaBase&), int (*second)(cCharaBase&)) {
  if (first(chara) == kContactFatal) return kContactFatal;
  return second(chara) == kContactFatal ? kContactFatal : 0;
}

// A wall under the left (right) edge line snaps the character right (left) to the cell's boundary: a
// whole dot clear of it under the legacy rule or at a deadly block; else onto the boundary, then
// settling 0.1 dot at a time out of the cells its recorded corners still name.
int TestBlockSide(cCharaBase& chara, bool right) {
  if (FliesThroughBlocks(chara)) return 0;
  const int edge = TruncToInt(right ? chara.m_dX2 : chara.m_dX);
  const int cell = FindContactCell(chara, edge, TruncToInt(chara.m_dY), edge, TruncToInt(chara.m_dY2));
  const int contact = CellContact(cell, chara.m_nKind);
  const eBlockTouch touch = TouchOf(chara, contact);
  if (touch != eBlockTouch::kTouch) return touch == eBlockTouch::kFatal ? kContactFatal : 0;
  const bool settle = contact == 1 && !LegacyContactRule();
  if (right) {
    chara.m_bContactRight = 1;
    chara.m_dToucherRight = 0.0;
    chara.m_dX -= (edge & 31) + (settle ? 0 : 1);
  } else {
    chara.m_bContactLeft = 1;
    chara.m_dToucherLeft = 0.0;
    chara.m_dX += 32 - (edge & 31);
  }
  if (settle) SettleOutOfBlocks(chara, right ? -kSettleStep : kSettleStep, 0.0);
  FinishWallContact(chara, right ? 1 : 0, right ? kTriggerBlockRight : kTriggerBlockLeft);
  return 0;
}

}  // namespace

int TestBlockLeft(cCharaBase& chara) { return TestBlockSide(chara, false); }

int TestBlockRight(cCharaBase& chara) { return TestBlockSide(chara, true); }

int TestBlockTop(cCharaBase& chara) {
  if (FliesThroughBlocks(chara)) return 0;
  const int y = TruncToInt(chara.m_dY);
  const int cell = FindContactCell(chara, TruncToInt(chara.m_dX), y, TruncToInt(chara.m_dX2), y);
  const eBlockTouch touch = TouchOf(chara, CellContact(cell, chara.m_nKind));
  if (touch != eBlockTouch::kTouch) return touch == eBlockTouch::kFatal ? kContactFatal : 0;
  chara.HitCeilingBlock();
  return 0;
}

int TestBlockBottom(cCharaBase& chara) {
  if (FliesThroughBlocks(chara)) return 0;
  const int y2 = TruncToInt(chara.m_dY2);
  const int cell = FindContactCell(chara, TruncToInt(chara.m_dX), y2, TruncToInt(chara.m_dX2), y2);
  chara.m_lpFloorBlock = &BlockAt(cell);
  const int contact = CellContact(cell, chara.m_nKind);
  if (contact == 0) {
    CountAirTime(chara);
  } else if (contact == 1) {
    if (DiesOnBlocks(chara)) return kContactFatal;
    if (RisesPastFloor(chara)) return 0;
    // A player-operated character stands on the block under its middle.
    if (IsPlayerOperated(chara)) chara.m_lpFloorBlock = &BlockAt(FindPlayerFloorCell(chara));
    chara.m_lpLandedBlock = chara.m_lpFloorBlock;
    chara.LandOnBlock();
  } else if (contact == 2) {
    chara.m_lpLandedBlock = chara.m_lpFloorBlock;
    if (IsPlayerOperated(chara) || DiesOnBlocks(chara)) return kContactFatal;
    if (RisesPastFloor(chara)) return 0;
    chara.LandOnBlock();
  }
  return 0;
}

void SettleOutOfBlocks(cCharaBase& chara, double stepX, double stepY) {
  for (int i = 0; i < kSettleSteps && chara.CornersInSolidTile(); ++i) {
    if (stepX != 0.0) {
      chara.m_dX += stepX;
      chara.AfterMoveX();
    } else {
      chara.m_dY += stepY;
      chara.AfterMoveY();
    }
  }
}

int TestBlocksX(cCharaBase& chara) {
  if (FliesColliding(chara) || chara.m_dSpeedX > 0) return RunInOrder(chara, TestBlockRight, TestBlockLeft);
  return RunInOrder(chara, TestBlockLeft, TestBlockRight);
}

int TestBlocksXRightFirst(cCharaBase& chara) { return RunInOrder(chara, TestBlockRight, TestBlockLeft); }

int TestBlocksY(cCharaBase& chara) {
  if (FliesThroughBlocks(chara)) return 0;
  chara.m_lpFloorBlock = nullptr;
  if (FliesColliding(chara) || chara.m_dSpeedY > 0) return RunInOrder(chara, TestBlockBottom, TestBlockTop);
  return RunInOrder(chara, TestBlockTop, TestBlockBottom);
}

// The bottom line leaves the air time alone and sets the floor block only where it lands (or, on a
// deadly block, before it kills); a rising walker that meets a floor skips the top line too.
int TestBlocksBottomTop(cCharaBase& chara) {
  if (FliesThroughBlocks(chara)) return 0;
  const int y2 = TruncToInt(chara.m_dY2);
  const int cell = FindContactCell(chara, TruncToInt(chara.m_dX), y2, TruncToInt(chara.m_dX2), y2);
  const int contact = CellContact(cell, chara.m_nKind);
  if (contact == 1) {
    if (DiesOnBlocks(chara)) return kContactFatal;
    if (RisesPastFloor(chara)) return 0;
    chara.m_lpFloorBlock = &BlockAt(IsPlayerOperated(chara) ? FindPlayerFloorCell(chara) : cell);
    chara.m_lpLandedBlock = chara.m_lpFloorBlock;
    chara.LandOnBlock();
  } else if (contact == 2) {
    chara.m_lpFloorBlock = &BlockAt(cell);
    chara.m_lpLandedBlock = chara.m_lpFloorBlock;
    if (IsPlayerOperated(chara) || DiesOnBlocks(chara)) return kContactFatal;
    if (RisesPastFloor(chara)) return 0;
    chara.LandOnBlock();
  }
  return TestBlockTop(chara);
}
