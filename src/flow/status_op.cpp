#include "flow/status_op.h"

#include <algorithm>

#include "core/containers.h"
#include "core/numbers.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "flow/object_cmds.h"
#include "flow/play_values.h"
#include "objects/chara_base.h"
#include "objects/hero.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"
#include "objects/status_values.h"

namespace {

// Owner codes of P3 and P13.
constexpr int kOwnerStage = 5;
// The warp's destination kind "目標座標で指定" (M1 of the movement settings).
constexpr int8_t kWarpToCoordinates = 5;

// Status kinds (P4, P14).
enum : int {
  kStatusVar = 0,
  kStatusHp,
  kStatusSp,
  kStatusMaxHp,
  kStatusMaxSp,
  kStatusCharaId,
  kStatusX,
  kStatusY,
  kStatusLayer,
  kStatusBadge,
  kStatusViewRange,
  kStatusBodyPower,
  kStatusBodyImpact,
  kStatusDefence,
  kStatusImpactResist,
  kStatusStopEase,
  kStatusScore,
};

// Stage values (P4, P14 with the stage as owner).
enum : int {
  kStageTimer = 0,
  kStageScrollX,
  kStageScrollY,
  kStageScore,
  kStageLives,
};

// The character of an owner code: 0 the actor, 1-4 its target slot (null when empty).
cCharaBase* OwnerChara(cCharaBase& actor, int owner) {
  if (owner == 0) return &actor;
  if (owner >= 1 && owner <= kTargetSlots) return VecAt(actor.m_apTargets, owner - 1);
  return nullptr;
}

std::vector<int32_t>* VariableVector(int kind) {
  if (kind == 0) return &g_SaveData.m_anCommonVars;
  if (kind == 1 && g_lpSceneStage) return &g_lpSceneStage->m_anStageVars;
  return nullptr;
}

bool ReadStageValue(int32_t& v, int which) {
  switch (which) {
    case kStageTimer:
      if (!g_lpSceneStage) return false;
      v = g_lpSceneStage->m_bTimerStopped ? 0 : g_lpSceneStage->m_nTimer;
      return true;
    case kStageScrollX: v = AutoScrollSpeed(0); return true;
    case kStageScrollY: v = AutoScrollSpeed(1); return true;
    case kStageScore: v = g_SaveData.m_nScore; return true;
    case kStageLives: v = LivesAsRead(); return true;
    default: return false;
  }
}

bool ReadCharaStatus(int32_t& v, const cCharaBase& chara, int kind, int varIndex, int system, int reference,
                     const cCharaBase& actor) {
  const cCharaType& type = chara.m_Type;
  switch (kind) {
    case kStatusVar: v = VecAt(chara.m_anVars, varIndex); return true;
    case kStatusHp: v = chara.m_nHp; return true;
    case kStatusSp: v = chara.m_nSp; return true;
    case kStatusMaxHp: v = type.m_nMaxHp; return true;
    case kStatusMaxSp: v = type.m_nMaxSp; return true;
    case kStatusCharaId: v = type.m_nCharaId; return true;
    case kStatusX: return GetCharaX(v, &chara, system, &actor);
    case kStatusY: return GetCharaY(v, &chara, system, reference, &actor);
    case kStatusLayer: v = type.m_nLayer; return true;
    case kStatusBadge: v = type.m_nBadge; return true;
    case kStatusViewRange:
      if (!dynamic_cast<const cHero*>(&chara)) return false;
      v = type.m_nViewRange;
      return true;
    case kStatusBodyPower: v = type.m_nBodyPower; return true;
    case kStatusBodyImpact: v = type.m_nBodyImpact; return true;
    case kStatusDefence: v = type.m_nDefence; return true;
    case kStatusImpactResist: v = type.m_nImpactResist; return true;
    case kStatusStopEase: v = type.m_nStopEase; return true;
    case kStatusScore: v = type.m_nScore; return true;
    default: return false;
  }
}

// Step 1: the value the operation combines, by P7.
bool SourceValue(int32_t& v, cCharaBase& actor, const cFlowCmd& cmd, const int32_t* flowVars) {
  switch (Param(cmd, 7)) {
    case 0: v = Param(cmd, 8); return true;
    case 1: {
      const int32_t a = Param(cmd, 9);
      const int32_t b = Param(cmd, 10);
      v = RandRange(std::min(a, b), std::max(a, b));
      return true;
    }
    case 2: {
      const int owner = Param(cmd, 13);
      if (owner == kOwnerStage) return ReadStageValue(v, Param(cmd, 14));
      const cCharaBase* chara = OwnerChara(actor, owner);
      if (!chara) return false;
      return ReadCharaStatus(v, *chara, Param(cmd, 14), Param(cmd, 12), Param(cmd, 21), Param(cmd, 23), actor);
    }
    case 3: {
      std::vector<int32_t>* vars = VariableVector(Param(cmd, 11));
      if (!vars) return false;
      v = VecAt(*vars, Param(cmd, 12));
      return true;
    }
    case 4: {
      const int which = Param(cmd, 15);
      if (!flowVars || which < 1 || which > 2) return false;
      v = flowVars[which - 1];
      return true;
    }
    default: return false;
  }
}

// The value taken as a percentage of the destination's current value when P16 asks for it.
int32_t MaybePercent(const cFlowCmd& cmd, int32_t old, int32_t v) { return Param(cmd, 16) ? PercentOf(old, v) : v; }

// The outcome of a destination: the value before and after, or a failure.
struct cChange {
  bool bOk = false;
  int32_t nOld = 0;
  int32_t nNew = 0;
};

cChange ChangeInt(int32_t& field, const cFlowCmd& cmd, int32_t v, int32_t min, int32_t max) {
  cChange change{true, field, 0};
  ApplyIntOp(field, MaybePercent(cmd, field, v), Param(cmd, 6), min, max);
  change.nNew = field;
  return change;
}

cChange ChangeByte(int8_t& field, const cFlowCmd& cmd, int32_t v, int32_t min, int32_t max) {
  cChange change{true, field, 0};
  ApplyByteOp(field, Param(cmd, 16) ? BytePercent(field, v) : v, Param(cmd, 6), min, max);
  change.nNew = field;
  return change;
}

cChange ChangeShort(int16_t& field, const cFlowCmd& cmd, int32_t v, int32_t min, int32_t max) {
  cChange change{true, field, 0};
  ApplyShortOp(field, Param(cmd, 16) ? ShortPercent(field, v) : v, Param(cmd, 6), min, max);
  change.nNew = field;
  return change;
}

cChange ChangeStageValue(const cFlowCmd& cmd, int32_t v) {
  switch (Param(cmd, 4)) {
    case kStageTimer:
      if (!g_lpSceneStage) return {};
      return ChangeInt(g_lpSceneStage->m_nTimer, cmd, v, 0, kStageTimerMax);
    case kStageScrollX:
    case kStageScrollY: {
      const int axis = Param(cmd, 4) - kStageScrollX;
      const cChange change = ChangeInt(AutoScrollSpeed(axis), cmd, v, -kAutoScrollSpeedMax, kAutoScrollSpeedMax);
      ApplyAutoScrollSpeed(axis);
      return change;
    }
    case kStageScore: return ChangeInt(g_SaveData.m_nScore, cmd, v, 0, kFlowValueMax);
    case kStageLives:
      if (g_SaveData.m_nLives == kUnlimitedLives) return {};
      return ChangeInt(g_SaveData.m_nLives, cmd, v, 0, 99);
    default: return {};
  }
}

// HP or SP: computed on a copy, then handed over as a difference to the character's own change,
// which applies its clamps and refusals.
cChange ChangePoints(cCharaBase& chara, const cFlowCmd& cmd, int32_t v, bool hp) {
  const int32_t current = hp ? chara.m_nHp : chara.m_nSp;
  const int32_t maximum = hp ? chara.m_Type.m_nMaxHp : chara.m_Type.m_nMaxSp;
  int32_t base = v;
  if (Param(cmd, 17) == 1) base = PercentOf(maximum, v);
  if (Param(cmd, 17) == 2) base = PercentOf(current, v);
  int32_t updated = current;
  ApplyIntOp(updated, base, Param(cmd, 6), 0, kFlowValueMax);
  const int32_t difference = static_cast<int32_t>(static_cast<uint32_t>(updated) - static_cast<uint32_t>(current));
  if (hp)
    chara.ChangeHP(difference, 1, Param(cmd, 18));
  else
    chara.ChangeSP(difference, Param(cmd, 18));
  return {true, current, hp ? chara.m_nHp : chara.m_nSp};
}

// The life of another character than the actor was taken by a command.
void NoteDefeatByCommand(const cCharaBase& chara, const cCharaBase& actor) {
  if (&chara != &actor && chara.m_nHp < 1 && g_lpSceneStage) g_lpSceneStage->m_bDefeatedByCmd = 1;
}

void StoreResult(const cFlowCmd& cmd, int32_t* flowVars, const cChange& change) {
  if (!Param(cmd, 24) || !flowVars) return;
  // The difference is taken first: A may itself have been the destination.
  const int32_t difference =
      static_cast<int32_t>(static_cast<uint32_t>(change.nNew) - static_cast<uint32_t>(change.nOld));
  flowVars[0] = 1;
  flowVars[1] = difference;
}

// X or Y: the screen centre changes and the character is warped there. A blocked place is
// reported in A (2), with or without the store: a stored result keeps its difference in B.
cChange ChangePosition(cCharaBase& chara, const cFlowCmd& cmd, int32_t v, bool horizontal, int32_t* flowVars) {
  int32_t position = horizontal ? chara.m_ScreenRect.left + chara.m_nGraphicWidth / 2
                                : chara.m_ScreenRect.top + chara.m_nGraphicHeight / 2;
  const cChange change = ChangeInt(position, cmd, v, -kFlowCoordMax, kFlowCoordMax);
  StoreResult(cmd, flowVars, change);
  const bool moved = horizontal ? SetCharaX(position, chara, Param(cmd, 20))
                                : SetCharaY(position, chara, Param(cmd, 20), Param(cmd, 22));
  if (!moved && flowVars) flowVars[0] = 2;
  return change;
}

cChange ChangeCharaStatus(cCharaBase& chara, cCharaBase& actor, const cFlowCmd& cmd, int32_t v, int32_t* flowVars) {
  cCharaType& type = chara.m_Type;
  switch (Param(cmd, 4)) {
    case kStatusVar: return ChangeInt(VecAt(chara.m_anVars, Param(cmd, 2)), cmd, v, -kFlowValueMax, kFlowValueMax);
    case kStatusHp: {
      const cChange change = ChangePoints(chara, cmd, v, true);
      NoteDefeatByCommand(chara, actor);
      return change;
    }
    case kStatusSp: return ChangePoints(chara, cmd, v, false);
    case kStatusMaxHp: {
      const cChange change = ChangeInt(type.m_nMaxHp, cmd, v, 0, kFlowValueMax);
      chara.m_nHp = std::min(chara.m_nHp, type.m_nMaxHp);
      NoteDefeatByCommand(chara, actor);
      return change;
    }
    case kStatusMaxSp: {
      const cChange change = ChangeInt(type.m_nMaxSp, cmd, v, 0, kFlowValueMax);
      chara.m_nSp = std::min(chara.m_nSp, type.m_nMaxSp);
      return change;
    }
    case kStatusCharaId: return ChangeByte(type.m_nCharaId, cmd, v, 0, 99);
    case kStatusX: return ChangePosition(chara, cmd, v, true, flowVars);
    case kStatusY: return ChangePosition(chara, cmd, v, false, flowVars);
    case kStatusLayer: return ChangeByte(type.m_nLayer, cmd, v, 0, 7);
    case kStatusBadge: return ChangeShort(type.m_nBadge, cmd, v, 0, 119);
    case kStatusViewRange: {
      cHero* hero = dynamic_cast<cHero*>(&chara);
      if (!hero) return {};
      const cChange change = ChangeByte(type.m_nViewRange, cmd, v, 0, 40);
      hero->m_nViewRange = HalfBlocksToDots(type.m_nViewRange);
      BuildViewMask(*hero);
      return change;
    }
    case kStatusBodyPower: return ChangeInt(type.m_nBodyPower, cmd, v, -kFlowValueMax, kFlowValueMax);
    case kStatusBodyImpact: return ChangeByte(type.m_nBodyImpact, cmd, v, -20, 20);
    case kStatusDefence: return ChangeInt(type.m_nDefence, cmd, v, 0, kFlowValueMax);
    case kStatusImpactResist: return ChangeByte(type.m_nImpactResist, cmd, v, 0, 20);
    case kStatusStopEase: {
      const cChange change = ChangeShort(type.m_nStopEase, cmd, v, 0, 200);
      chara.m_dFriction = FrictionFromSetting(type.m_nStopEase);
      return change;
    }
    case kStatusScore: return ChangeInt(type.m_nScore, cmd, v, -kFlowValueMax, kFlowValueMax);
    default: return {};
  }
}

// Step 2: the destination, by P0.
cChange ChangeDestination(cCharaBase& actor, const cFlowCmd& cmd, int32_t v, int32_t* flowVars) {
  switch (Param(cmd, 0)) {
    case 1: {
      std::vector<int32_t>* vars = VariableVector(Param(cmd, 1));
      if (!vars) return {};
      return ChangeInt(VecAt(*vars, Param(cmd, 2)), cmd, v, -kFlowValueMax, kFlowValueMax);
    }
    case 2: {
      const int which = Param(cmd, 5);
      if (!flowVars || which < 1 || which > 2) return {};
      return ChangeInt(flowVars[which - 1], cmd, v, -kFlowValueMax, kFlowValueMax);
    }
    case 0: {
      const int owner = Param(cmd, 3);
      if (owner == kOwnerStage) return ChangeStageValue(cmd, v);
      cCharaBase* chara = OwnerChara(actor, owner);
      if (!chara) return {};
      if (Param(cmd, 19) && chara->m_Type.m_nOpt32) return {};  // invincible
      return ChangeCharaStatus(*chara, actor, cmd, v, flowVars);
    }
    default: return {};
  }
}

}  // namespace

int StatusOperation(cCharaBase& actor, cFlowCmd& cmd, int32_t* flowVars) {
  int32_t v = 0;
  if (!SourceValue(v, actor, cmd, flowVars)) {
    StoreStatusFailure(cmd, flowVars);
    return 0;
  }
  const cChange change = ChangeDestination(actor, cmd, v, flowVars);
  if (!change.bOk) {
    StoreStatusFailure(cmd, flowVars);
    return 0;
  }
  const int destinationKind = Param(cmd, 4);
  const bool position = Param(cmd, 0) == 0 && Param(cmd, 3) != kOwnerStage &&
                        (destinationKind == kStatusX || destinationKind == kStatusY);
  if (!position) StoreResult(cmd, flowVars, change);  // a position stored its result before the move
  return 1;
}

void StoreStatusFailure(const cFlowCmd& cmd, int32_t* flowVars) {
  if (!Param(cmd, 24) || !flowVars) return;
  flowVars[0] = 2;
  flowVars[1] = 0;
}

namespace {

// The warp that writes one axis of a character's position: destination "目標座標で指定" on a
// fresh movement-settings record, the coordinate system as its base, the value as a dot offset.
bool WarpAxis(int32_t value, cCharaBase& chara, int system, int reference, bool horizontal) {
  const int16_t dots = static_cast<int16_t>(std::clamp(value, -kFlowCoordMax, kFlowCoordMax));
  cEdMove settings;
  settings.m_nMoveKind = kWarpToCoordinates;
  settings.m_nM6 = horizontal ? 1 : 0;  // the axes the warp moves
  settings.m_nM7 = horizontal ? 0 : 1;
  settings.m_nOffsetUnit = 1;  // dots
  settings.m_nCellX = 0;
  settings.m_nCellY = 0;
  settings.m_nDotX = horizontal ? dots : 0;
  settings.m_nDotY = horizontal ? 0 : dots;
  settings.m_nM12 = static_cast<int8_t>(system);     // base: relative, absolute, screen
  settings.m_nM14 = static_cast<int8_t>(reference);  // reference point of y
  return Warp(chara, settings, 1);
}

}  // namespace

bool SetCharaX(int32_t value, cCharaBase& chara, int system) { return WarpAxis(value, chara, system, 0, true); }

bool SetCharaY(int32_t value, cCharaBase& chara, int system, int reference) {
  return WarpAxis(value, chara, system, reference, false);
}
