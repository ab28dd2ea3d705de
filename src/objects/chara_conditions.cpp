// Conditions of kinds 4-6 on a character: a status value, variable or flow variable against a
// right side, a status flag, and a state (facing, standing, on screen, existing). The subject of a
// side is the character itself (whose 0), one of its target slots (1-4; an empty slot fails) or the
// system (5).
#include <cstdint>
#include <vector>

#include "core/containers.h"
#include "core/numbers.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "objects/chara_base.h"
#include "objects/chara_conditions.h"
#include "objects/stage_state.h"
#include "objects/status_values.h"

namespace {

constexpr int kWhoseSystem = 5;
constexpr int32_t kUnlimitedLives = 999999;
constexpr int kLivesEntry = 4;  // the lives entry of the head-up display

// Status rows ("which") of a character.
enum : int {
  kStatusVar = 0,
  kStatusHp = 1,
  kStatusSp = 2,
  kStatusMaxHp = 3,
  kStatusMaxSp = 4,
  kStatusCharaId = 5,
  kStatusX = 6,
  kStatusY = 7,
  kStatusLayer = 8,
  kStatusBadge = 9,
  kStatusViewRange = 10,
  kStatusBodyPower = 11,
  kStatusBodyImpact = 12,
  kStatusDefence = 13,
  kStatusImpactResist = 14,
  kStatusStopEase = 15,
  kStatusScore = 16,
};

// Sides and sources of kind 4.
enum : int {
  kLeftStatus = 0,
  kLeftVariable = 1,
  kLeftFlowVar = 2,
  kRightConstant = 0,
  kRightRandom = 1,
  kRightStatus = 2,
  kRightVariable = 3,
  kRightFlowVar = 4,
};

// States of kind 6.
enum : int {
  kStateFacingLeft = 0,
  kStateFacingRight = 1,
  kStateStanding = 2,
  kStateOnScreen = 3,
  kStateExists = 4,
};

cCharaBase* SubjectOf(cCharaBase& chara, int whose) {
  if (whose == 0) return &chara;
  if (whose < 1 || whose > kTargetSlots || static_cast<size_t>(whose) > chara.m_apTargets.size()) return nullptr;
  return chara.m_apTargets[static_cast<size_t>(whose - 1)];
}

// Common variable (kind 0) or stage variable (kind 1) of a number; false for other kinds.
bool VariableValue(int kind, int index, int32_t& out) {
  if (kind == 0) {
    out = VecAt(g_SaveData.m_anCommonVars, index);
    return true;
  }
  if (kind == 1 && g_lpSceneStage) {
    out = VecAt(g_lpSceneStage->m_anStageVars, index);
    return true;
  }
  return false;
}

// Flow variable A (code 1) or B (code 2).
bool FlowVarValue(const int32_t* flowVars, int code, int32_t& out) {
  if (!flowVars || (code != 1 && code != 2)) return false;
  out = flowVars[code - 1];
  return true;
}

bool LivesHidden() {
  const std::vector<cSysEntry>& entries = g_SystemData.m_aStatusItems;
  return static_cast<size_t>(kLivesEntry) < entries.size() && !entries[kLivesEntry].m_bShown;
}

// The system values: timer, the two auto-scroll speeds, score, lives (unlimited lives count as
// 100, and cannot be read while the display hides them). The range a percentage is held in comes
// with it; the lives have none.
bool SystemValue(int which, int32_t& out, int32_t& lo, int32_t& hi) {
  const cStageState* stage = g_lpSceneStage;
  switch (which) {
    case 0:
      out = stage && !stage->m_bTimerStopped ? stage->m_nTimer : 0;
      lo = 0;
      hi = 999;
      return true;
    case 1:
    case 2:
      out = which == 1 ? g_StageFile.m_nAutoScrollSpeedX : g_StageFile.m_nAutoScrollSpeedY;
      lo = -480;
      hi = 480;
      return true;
    case 3:
      out = g_SaveData.m_nScore;
      lo = 0;
      hi = 999999;
      return true;
    case 4:
      if (g_SaveData.m_nLives == kUnlimitedLives && LivesHidden()) return false;
      out = g_SaveData.m_nLives == kUnlimitedLives ? 100 : g_SaveData.m_nLives;
      lo = INT32_MIN;
      hi = INT32_MAX;
      return true;
    default: return false;
  }
}

// A status value of a character (the actor is the character whose condition it is: relative
// coordinates are taken from it). False when it cannot be read: a position without an actor, the
// view range of a character no player controls, an unknown row.
bool CharaStatusValue(cCharaBase& subject, int which, int varIndex, int extra1, int extra2, const cCharaBase& actor,
                      int32_t& out) {
  const cCharaType& type = subject.m_Type;
  switch (which) {
    case kStatusVar: out = VecAt(subject.m_anVars, varIndex); return true;
    case kStatusHp: out = subject.m_nHp; return true;
    case kStatusSp: out = subject.m_nSp; return true;
    case kStatusMaxHp: out = type.m_nMaxHp; return true;
    case kStatusMaxSp: out = type.m_nMaxSp; return true;
    case kStatusCharaId: out = type.m_nCharaId; return true;
    case kStatusX: return GetCharaX(out, &subject, extra1, &actor);
    case kStatusY: return GetCharaY(out, &subject, extra1, extra2, &actor);
    case kStatusLayer: out = type.m_nLayer; return true;
    case kStatusBadge: out = type.m_nBadge; return true;
    case kStatusViewRange:
      if (subject.m_nControl != 0) return false;
      out = type.m_nViewRange;
      return true;
    case kStatusBodyPower: out = type.m_nBodyPower; return true;
    case kStatusBodyImpact: out = type.m_nBodyImpact; return true;
    case kStatusDefence: out = type.m_nDefence; return true;
    case kStatusImpactResist: out = type.m_nImpactResist; return true;
    case kStatusStopEase:
      // Reading the setting also brings the character's friction in line with it.
      subject.m_dFriction = FrictionFromSetting(type.m_nStopEase);
      out = type.m_nStopEase;
      return true;
    case kStatusScore: out = type.m_nScore; return true;
    default: return false;
  }
}

// The right side of kind 4; false when the condition cannot hold (an empty slot, a value that
// cannot be read, no flow variables).
bool RightValue(const cCond& cond, cCharaBase& chara, const int32_t* flowVars, int32_t& out) {
  out = 0;
  switch (cond.m_nRightSource) {
    case kRightConstant: out = cond.m_nOperand; return true;
    case kRightRandom: out = RandRange(cond.m_nRandLow, cond.m_nRandHigh); return true;
    case kRightStatus: {
      if (cond.m_nRightWhose == kWhoseSystem) {
        int32_t lo = 0;
        int32_t hi = 0;
        return SystemValue(cond.m_nRightWhich, out, lo, hi);
      }
      cCharaBase* subject = SubjectOf(chara, cond.m_nRightWhose);
      return subject && CharaStatusValue(*subject, cond.m_nRightWhich, cond.m_nRightVarIndex, cond.m_nRightExtra1,
                                         cond.m_nRightExtra2, chara, out);
    }
    case kRightVariable:
      if (!VariableValue(cond.m_nRightVarKind, cond.m_nRightVarIndex, out)) out = 0;
      return true;
    case kRightFlowVar: return FlowVarValue(flowVars, cond.m_nRightFlowVar, out);
    default: return true;
  }
}

// The operand as the byte and 16-bit comparisons take it: in percent mode a percentage of nothing.
int32_t PlainOperand(const cCond& cond) { return cond.m_bPercent ? PercentOf(0, cond.m_nOperand) : cond.m_nOperand; }

// A character's status against the operand, each row with its range.
bool CompareCharaStatus(cCond& cond, cCharaBase& subject, const cCharaBase& actor) {
  const int which = cond.m_nLeftWhich;
  if (which > kStatusScore) return true;
  int32_t value = 0;
  if (!CharaStatusValue(subject, which, cond.m_nVarIndex, cond.m_nLeftExtra1, cond.m_nLeftExtra2, actor, value))
    return false;
  const cCharaType& type = subject.m_Type;
  switch (which) {
    // A percentage of the maximum is held at 999999 only (a negative one stays as it is).
    case kStatusHp: return CompareStatusValue(value, type.m_nMaxHp, cond, INT32_MIN, 999999);
    case kStatusSp: return CompareStatusValue(value, type.m_nMaxSp, cond, INT32_MIN, 999999);
    case kStatusMaxHp:
    case kStatusMaxSp: return CompareStatusValue(value, 0, cond, 0, 999999);
    case kStatusCharaId: return CompareByte(value, PlainOperand(cond), cond.m_nOperator);
    case kStatusX:
    case kStatusY: return CompareStatusValue(value, 0, cond, -16384, 16384);
    case kStatusLayer: return CompareStatusValue(value, 0, cond, 0, 7);
    case kStatusBadge: return CompareShort(value, PlainOperand(cond), cond.m_nOperator);
    case kStatusViewRange: return CompareStatusValue(value, 0, cond, 0, 40);
    case kStatusBodyImpact: return CompareStatusValue(value, 0, cond, -20, 20);
    case kStatusDefence: return CompareStatusValue(value, 0, cond, 0, 999999);
    case kStatusImpactResist: return CompareStatusValue(value, 0, cond, 0, 20);
    case kStatusStopEase: return CompareStatusValue(value, 0, cond, 0, 200);
    case kStatusScore: return CompareStatusValue(value, 0, cond, 0, 999999);
    default: return CompareStatusValue(value, 0, cond, -999999, 999999);  // variable, body power
  }
}

// The status flags of kind 5: transparency and the auto-scroll sync read as unsigned bytes, the
// others as signed bytes.
bool StatusFlagValue(const cCharaBase& subject, int which, int32_t& out) {
  const cCharaType& type = subject.m_Type;
  switch (which) {
    case 1: out = static_cast<uint8_t>(type.m_nOpt18); return true;
    case 2: out = type.m_nOpt31; return true;
    case 3: out = type.m_nMoveMode; return true;
    case 4: out = type.m_nOpt32; return true;
    case 5: out = type.m_nScale; return true;
    case 6: out = static_cast<uint8_t>(type.m_nOpt36); return true;
    default: return false;
  }
}

// Standing: not flying, and unless riding neither in the air nor taken off. Flying is the
// gravity-free flag (the flight-mode byte is 1 for a walking character, SetFlyingMode).
bool IsStanding(const cCharaBase& chara) {
  if (chara.m_bGravityFree) return false;
  return chara.m_bRiding || (!chara.m_bInAir && !chara.m_bTookOff);
}

}  // namespace

bool CheckStatusCond(cCond& cond, cCharaBase& chara, int32_t* flowVars) {
  int32_t right = 0;
  if (!RightValue(cond, chara, flowVars, right)) return false;
  // The comparisons read the right side from the operand.
  cond.m_nOperand = right;

  int32_t value = 0;
  switch (cond.m_nLeftSource) {
    case kLeftFlowVar:
      return FlowVarValue(flowVars, cond.m_nLeftFlowVar, value) && CompareStatusValue(value, 0, cond, -999999, 999999);
    case kLeftVariable:
      return VariableValue(cond.m_nLeftVarKind, cond.m_nVarIndex, value) &&
             CompareStatusValue(value, 0, cond, -999999, 999999);
    case kLeftStatus: {
      if (cond.m_nLeftWhose == kWhoseSystem) {
        int32_t lo = 0;
        int32_t hi = 0;
        return SystemValue(cond.m_nLeftWhich, value, lo, hi) && CompareStatusValue(value, 0, cond, lo, hi);
      }
      cCharaBase* subject = SubjectOf(chara, cond.m_nLeftWhose);
      return subject && CompareCharaStatus(cond, *subject, chara);
    }
    default: return false;
  }
}

bool CheckStatusCond2(cCharaBase& chara, cCond& cond) {
  const int32_t operand = cond.m_nVarIndex;
  int32_t value = 0;
  if (cond.m_nLeftWhose == kWhoseSystem) {
    if (cond.m_nLeftWhich == 0)
      value = g_StageFile.m_nAutoScrollSpeedX;
    else if (cond.m_nLeftWhich == 1)
      value = g_StageFile.m_nAutoScrollSpeedY;
    else
      return false;
    return CompareByOp(value, operand, cond.m_nOperator) != 0;
  }
  const cCharaBase* subject = SubjectOf(chara, cond.m_nLeftWhose);
  return subject && StatusFlagValue(*subject, cond.m_nLeftWhich, value) &&
         CompareByOp(value, operand, cond.m_nOperator) != 0;
}

bool CheckStateCond(cCharaBase& chara, cCond& cond) {
  const int whose = cond.m_nLeftWhose;
  if (whose < 0 || whose > kTargetSlots) return false;
  const bool negate = cond.m_nOperator == 1;
  const cCharaBase* subject = SubjectOf(chara, whose);
  bool result = false;
  switch (cond.m_nLeftWhich) {
    case kStateExists: result = whose == 0 || (subject && !subject->m_bDead); return negate ? !result : result;
    case kStateFacingLeft: result = subject && subject->m_nFacing == 0; break;
    case kStateFacingRight: result = subject && subject->m_nFacing == 1; break;
    case kStateStanding: result = subject && IsStanding(*subject); break;
    case kStateOnScreen:
      result = subject && (subject->m_nControl == 1 ? subject->m_bOnScreen != 0 : subject->IsOnScreen());
      break;
    default: return false;
  }
  // Apart from existing, an empty slot fails whatever the operator.
  if (!subject) return false;
  return negate ? !result : result;
}
