// The floor blocks' effects on the hero.
#include "stage/floor_blocks.h"

#include <cstdint>

#include "data/block_type.h"
#include "data/item_type.h"
#include "media/sound/sound_effects.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/stage_hooks.h"
#include "objects/stage_physics.h"
#include "stage/ground_follow.h"

namespace {

constexpr int kSoundSpring = 10;
constexpr int kItemCooldownFrames = 60;

// Before a stage has set its physics values n is 0; a floor effect then still lasts one sub-step.
int SubStepsPerFrame() {
  const int n = StageSubSteps();
  return n > 0 ? n : 1;
}

// The block the hero stands on when it is in contact for the hero's kind; else null.
cBlock* FloorInContact(cHero& hero) {
  cBlock* block = hero.m_lpFloorBlock;
  if (!block || GetBlockContact(*block, hero.m_nKind) == 0) return nullptr;
  return block;
}

bool IsJumping(const cHero& hero) { return hero.m_bInAir || hero.m_bTookOff; }

// A spring throws the hero up as a jump of its value in half blocks would.
void LaunchFromSpring(cHero& hero, const cBlock& block) {
  RequestSound(kSoundSpring);
  hero.m_dSpeedY = hero.JumpSpeedHbl(static_cast<int8_t>(block.m_nEffectValue));
  hero.m_bInAir = 1;
  hero.m_bTookOff = 1;
  hero.m_nJumpHold = 0;
}

void StartFloorEffect(cHero& hero, cBlock& block, int& itemResult) {
  const int n = SubStepsPerFrame();
  switch (block.m_nEffect) {
    case kFloorSpring:
      LaunchFromSpring(hero, block);
      if (block.m_nItemKind != 0) itemResult = StepItemBlock(hero);
      break;
    case kFloorKind2: hero.m_bFloorKind2 = 1; break;
    case kFloorSpeedFactor:
      hero.m_nFloorEffect = kFloorSpeedFactor;
      hero.m_dFloorFactor = block.m_nEffectValue * 0.01;
      hero.m_nFloorSteps = n;
      break;
    case kFloorPushLeft:
    case kFloorPushRight:
      hero.m_nFloorEffect = block.m_nEffect;
      hero.m_dFloorFactor = block.m_nEffectValue * 0.1 / n;
      hero.m_nFloorSteps = n;
      break;
    default: break;
  }
  if (block.m_nEffect != kFloorKind2) hero.m_bFloorKind2 = 0;
}

// One sub-step of a running speed factor or push.
void ApplyFloorEffect(cHero& hero) {
  switch (hero.m_nFloorEffect) {
    case kFloorSpeedFactor: hero.m_dSpeedX *= hero.m_dFloorFactor; break;
    case kFloorPushLeft:
      hero.m_dSpeedX -= hero.m_dFloorFactor;
      if (hero.m_dImpactX > 0.0) hero.m_dImpactX = 0.0;
      break;
    case kFloorPushRight:
      hero.m_dSpeedX += hero.m_dFloorFactor;
      if (hero.m_dImpactX < 0.0) hero.m_dImpactX = 0.0;
      break;
    default: break;
  }
  if (--hero.m_nFloorSteps == 0) StickToGround(hero);
}

}  // namespace

int StepFloorBlock(cHero& hero) {
  if (hero.m_bGravityFree) return 0;
  int itemResult = 0;
  if (hero.m_nFloorSteps == 0)
    if (cBlock* block = FloorInContact(hero)) StartFloorEffect(hero, *block, itemResult);
  // A count below 0 (never written so by the stage) would otherwise run for ever.
  if (hero.m_nFloorSteps < 0) hero.m_nFloorSteps = 0;
  if (hero.m_nFloorSteps != 0) ApplyFloorEffect(hero);
  return itemResult;
}

int StepItemBlock(cHero& hero) {
  if (hero.m_bGravityFree) return 0;
  bool taken = false;
  if (hero.m_nItemCooldown == 0) {
    if (cBlock* block = FloorInContact(hero)) {
      if (cItemType* type = GetItemTypeRef(block->m_nItemKind, block->m_nItemIndex)) {
        cItem item;
        item.InitItem(0, *type, 0);
        if (const int result = TakeItem(item, hero); result != 0) return result;
        taken = true;
        hero.m_nItemCooldown = SubStepsPerFrame() * kItemCooldownFrames;
      }
    }
  }
  if (hero.m_nItemCooldown > 0) {
    if (IsJumping(hero)) {
      hero.m_nItemCooldown = 0;
    } else {
      --hero.m_nItemCooldown;
      // Only a sub-step that began on a floor tells where the hero stood: a standing hero settles
      // onto its floor again every few sub-steps, and those in between begin without one.
      const cBlock* before = hero.m_lpPrevFloorBlock;
      if (before && hero.m_lpLandedBlock != before && !taken) {
        hero.m_nItemCooldown = 0;
        StickToGround(hero);
      }
    }
  } else {
    hero.m_nItemCooldown = 0;  // a count below 0 would otherwise hold the block back for good
  }
  return 0;
}
