// The pattern loop of the shot and summon commands, the start positions of a launch, aiming, and
// firing one shot or placing one summon.
#include "objects/shot_pattern.h"

#include <cmath>
#include <numbers>

#include "core/containers.h"
#include "core/log.h"
#include "data/palette.h"
#include "data/palette_refs.h"
#include "data/play_mode.h"
#include "data/vocabulary_tables.h"
#include "objects/chara_base.h"
#include "objects/flow_state.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "objects/shot_launch.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"

namespace {

// The character in one of the firer's target slots (0-3, target 1 to target 4); a slot outside
// them names none.
cCharaBase* TargetInSlot(const cCharaBase& firer, int slot) {
  if (slot < 0 || static_cast<size_t>(slot) >= firer.m_apTargets.size()) return nullptr;
  return firer.m_apTargets[static_cast<size_t>(slot)];
}

// The command kind the running pattern loop fires for (shots, or one of the summons).
thread_local int t_nPatternKind = kCmdKindShot;

constexpr double kDegToRad = std::numbers::pi / 180.0;

int ResolveShotDirection(const cCharaBase& firer, int code) {
  const bool right = firer.m_nFacing != 0;
  switch (code) {
    case kMoveDirFront: return right ? kMoveDirRight : kMoveDirLeft;
    case kMoveDirBack: return right ? kMoveDirLeft : kMoveDirRight;
    case kMoveDirFrontY: return right ? kMoveDirDown : kMoveDirUp;
    case kMoveDirBackY: return right ? kMoveDirUp : kMoveDirDown;
    case kMoveDirInput: {
      const cStageState* stage = g_lpSceneStage;
      const int key = stage && stage->m_lpCurFlowState ? stage->m_lpCurFlowState->m_nStartKey : 0;
      return MapDirKind(key, 1, right ? 1 : 0, PlaybackDataVersion());
    }
    default: return code;
  }
}

// The mirror of step 4 and the random spread, in the order the original draws them.
int LaunchAngle(const cCharaBase& firer, const cEdShot& settings, int angle) {
  if (settings.m_bAngleMirror && firer.m_nFacing) angle = 360 - angle;
  if (settings.m_nSpread != 0) angle += RandRange(-settings.m_nSpread, settings.m_nSpread);
  return angle;
}

void RunPattern(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings, int kind) {
  const int previousKind = t_nPatternKind;
  t_nPatternKind = kind;
  SHOTLAUNCH launch;
  launch.nWidth = launch.nHeight = 16 * settings.m_nSize;
  launch.nDirection = ResolveShotDirection(firer, settings.m_nDirection);

  if (!dynamic_cast<cHero*>(&firer)) firer.UpdateScreenRect();
  for (int slot : {settings.m_nTargetSlot, settings.m_nTargetSlot2})
    if (cCharaBase* target = TargetInSlot(firer, slot)) target->UpdateScreenRect();

  launch.nAngle = LaunchAngle(firer, settings, settings.m_nAngle);
  launch.dSpeed = settings.m_nSpeed * 0.1;
  launch.nDistance = settings.m_nDistance;
  launch.nTime = settings.m_nTime;
  launch.bCountsForOwner = 1;
  const double speedStep = settings.m_nSpeedStep * 0.1;
  const int kindIndex = settings.m_nShotKind;
  for (int i = 0; i <= settings.m_nExtraShots; ++i) {
    launch.nIndex = i;
    launch.nOffsetX = static_cast<int32_t>(settings.ShotOffsetX(i, firer.m_nFacing));
    launch.nOffsetY = static_cast<int32_t>(settings.ShotOffsetY(i, firer.m_nFacing));
    if (kindIndex >= 0 && kindIndex < kShotKindFunctions)
      g_ShotKindFunctions[kindIndex](shots, firer, state, settings, launch);
    launch.dSpeed += speedStep;
    launch.nAngle = LaunchAngle(firer, settings, settings.m_nAngle + settings.m_nAngleStep * (i + 1));
    launch.nDistance += settings.m_nDistanceStep;
    launch.nTime += settings.m_nTimeStep;
  }
  t_nPatternKind = previousKind;
}

std::list<cShot>& StageShotsOrScratch() {
  static thread_local std::list<cShot> scratch;
  return g_lpSceneStage ? g_lpSceneStage->m_ShotList : scratch;
}

// The summoned type named by the settings (palette 0 common, 1 stage), or null reported.
template <class T>
T* SummonType(std::vector<T>* (*listOf)(int), const cEdShot& settings) {
  T* type = PaletteEntry(listOf(settings.m_nSummonPalette + 1), settings.m_nSummonIndex);
  if (!type) ReportLogPrintf("召喚するタイプ %d-%d がありません", settings.m_nSummonPalette, settings.m_nSummonIndex);
  return type;
}

}  // namespace

int DirectionAngle(int code) {
  switch (code) {
    case kMoveDirRight: return 180;
    case kMoveDirUp: return 90;
    case kMoveDirDown: return 270;
    case kMoveDirUpLeft: return 45;
    case kMoveDirDownLeft: return 315;
    case kMoveDirUpRight: return 135;
    case kMoveDirDownRight: return 225;
    default: return 0;
  }
}

void VelocityAtAngle(double angleDegrees, double speed, double& velX, double& velY) {
  velX = -std::cos(angleDegrees * kDegToRad) * speed;
  velY = -std::sin(angleDegrees * kDegToRad) * speed;
}

cIntRect GraphicBoxOnMap(const cObject& object) {
  const cStageState* stage = g_lpSceneStage;
  const int sx = stage ? TruncToInt(stage->m_ScrollX.m_dPosition) : 0;
  const int sy = stage ? TruncToInt(stage->m_ScrollY.m_dPosition) : 0;
  return {object.m_ScreenRect.left + sx, object.m_ScreenRect.top + sy, object.m_ScreenRect.right + sx,
          object.m_ScreenRect.bottom + sy};
}

cCharaBase* PatternTarget(cCharaBase& firer, const cEdShot& settings) {
  switch (settings.m_nTargetChoice) {
    case 0: return TargetInSlot(firer, settings.m_nTargetSlot);
    case 1: return g_HeroList.empty() ? nullptr : &g_HeroList[0];
    case 2: return &firer;
    default: return nullptr;
  }
}

void PlaceLaunch(const cCharaBase& firer, const cEdShot& settings, SHOTLAUNCH& launch, int rule) {
  const cIntRect box = GraphicBoxOnMap(firer);
  const int w = launch.nWidth;
  const int h = launch.nHeight;
  const int count = settings.m_nPerRow > 0 ? settings.m_nPerRow : 1;
  const int gap = settings.m_anPattern[0] * 16;
  const int centreX = box.left + firer.m_nGraphicWidth / 2;
  const int centreY = box.top + firer.m_nGraphicHeight / 2;
  // The row runs across the flight direction, centred on the firer's centre.
  const int rowX = centreX - (count - 1) * gap / 2 - count * w / 2;
  const int rowY = centreY - (count - 1) * gap / 2 - count * h / 2;
  const double speed = launch.dSpeed;
  const double diagonal = speed * g_dHalfSqrt2;
  int x = 0;
  int y = 0;
  double vx = 0.0;
  double vy = 0.0;
  int stepX = 0;
  int stepY = 0;
  switch (launch.nDirection) {
    case kMoveDirRight:
      x = rule == 0 ? box.right + 1 : centreX - w / 2;
      y = rowY;
      vx = speed;
      stepY = gap + h;
      break;
    case kMoveDirUp:
      x = rowX;
      y = rule == 0 ? box.top - h : centreY - h / 2;
      vy = -speed;
      stepX = gap + w;
      break;
    case kMoveDirDown:
      x = rowX;
      y = rule == 0 ? box.bottom + 1 : centreY - h / 2;
      vy = speed;
      stepX = gap + w;
      break;
    case kMoveDirUpLeft:
    case kMoveDirDownLeft:
    case kMoveDirUpRight:
    case kMoveDirDownRight: {
      const bool right = launch.nDirection == kMoveDirUpRight || launch.nDirection == kMoveDirDownRight;
      const bool down = launch.nDirection == kMoveDirDownLeft || launch.nDirection == kMoveDirDownRight;
      // The corner of the box on the side of the direction; the row runs across the diagonal.
      const int cornerX = rule == 0 ? (right ? box.right + 1 : box.left + 1 - w) : centreX - w / 2;
      const int cornerY = rule == 0 ? (down ? box.bottom + 1 : box.top - h) : centreY - h / 2;
      stepX = static_cast<int>((gap + w) * g_dHalfSqrt2);
      stepY = static_cast<int>((gap + h) * g_dHalfSqrt2) * (right == down ? -1 : 1);
      x = cornerX - (count - 1) * stepX / 2;
      y = cornerY - (count - 1) * stepY / 2;
      vx = right ? diagonal : -diagonal;
      vy = down ? diagonal : -diagonal;
      break;
    }
    default:  // left, and any code without a direction of its own
      x = rule == 0 ? box.left + 1 - w : centreX - w / 2;
      y = rowY;
      vx = -speed;
      stepY = gap + h;
      break;
  }
  if (settings.m_bAim) {
    VelocityAtAngle(AimAngle(x + w / 2, y + h / 2, const_cast<cCharaBase&>(firer), settings, launch) + launch.nAngle,
                    speed, vx, vy);
  } else if (launch.nAngle % 360 != 0) {
    VelocityAtAngle(DirectionAngle(launch.nDirection) + launch.nAngle, speed, vx, vy);
  }
  launch.nBaseX = x + launch.nOffsetX;
  launch.nBaseY = y + launch.nOffsetY;
  launch.nX = launch.nBaseX;
  launch.nY = launch.nBaseY;
  launch.nRowStepX = stepX;
  launch.nRowStepY = stepY;
  launch.dVelX = vx;
  launch.dVelY = vy;
}

int AimAngle(int x, int y, cCharaBase& firer, const cEdShot& settings, const SHOTLAUNCH& launch) {
  // The pattern's chosen target; an empty slot aims at the hero.
  cCharaBase* target = PatternTarget(firer, settings);
  if (!target && !g_HeroList.empty()) target = &g_HeroList[0];
  if (!target) return DirectionAngle(launch.nDirection);
  const cIntRect box = GraphicBoxOnMap(*target);
  const double dx = box.left + target->m_nGraphicWidth / 2 - x;
  const double dy = box.top + target->m_nGraphicHeight / 2 - y;
  if (dx == 0 && dy == 0) return DirectionAngle(launch.nDirection);
  // The velocity (-cos, -sin) points at the target.
  return static_cast<int>(std::lround(std::atan2(-dy, -dx) / kDegToRad));
}

void StepShotPattern(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings) {
  RunPattern(shots, firer, state, settings, kCmdKindShot);
}

void SummonBlockPattern(cCharaBase& firer, cCmdState& state, const cEdShot& settings) {
  RunPattern(StageShotsOrScratch(), firer, state, settings, kCmdKindSummonBlock);
}

void SummonCharaPattern(cCharaBase& firer, cCmdState& state, const cEdShot& settings) {
  RunPattern(StageShotsOrScratch(), firer, state, settings, kCmdKindSummonChara);
}

void SummonItemPattern(cCharaBase& firer, cCmdState& state, const cEdShot& settings) {
  RunPattern(StageShotsOrScratch(), firer, state, settings, kCmdKindSummonItem);
}

void FireShotOrSummon(std::list<cShot>& shots, const SHOTLAUNCH& launch, cCharaBase& firer, cCmdState& /*state*/,
                      const cEdShot& settings) {
  switch (t_nPatternKind) {
    case kCmdKindSummonBlock:
      if (cBlockType* type = SummonType(PaletteBlockList, settings)) SummonBlock(launch.nX, launch.nY, settings, *type);
      return;
    case kCmdKindSummonChara:
      if (cCharaType* type = SummonType(PaletteCharaList, settings))
        SummonChara(launch.nX, launch.nY, *type, settings, &firer);
      return;
    case kCmdKindSummonItem:
      if (cItemType* type = SummonType(PaletteItemList, settings)) SummonItem(launch.nX, launch.nY, *type, settings);
      return;
    default: break;
  }
  cStageState* stage = g_lpSceneStage;
  const int id = stage ? stage->m_nNextShotId++ : 0;
  // The shot is made in its place in the list: only then does it register with the characters it
  // refers to.
  cShot& shot = shots.emplace_back();
  shot.InitShot(id, firer, kCmdKindShot, settings, launch);
  shot.RegisterShotLinks();
  if (stage && &shots == &stage->m_ShotList) VecAt(stage->m_aShotGroups, shot.m_nKind).push_back(&shot);
}
