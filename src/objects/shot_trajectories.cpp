// The ten trajectories a flying shot follows: straight, aiming once, homing, wave and fall. Every
// step count derived from a distance divides by the trajectory speed only when that speed is not 0
// (a shot of speed 0 aims, steers or falls at once), and the wave's phase only by a non-zero period.
#include <cmath>
#include <numbers>

#include "objects/hero.h"
#include "objects/play_objects.h"
#include "objects/shot_pattern.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"

namespace {

// Steps to cover a distance in half blocks at the trajectory speed; 0 without either.
int32_t StepsFor(int halfBlocks, double speed) {
  if (halfBlocks == 0 || speed == 0) return 0;
  return static_cast<int32_t>((halfBlocks * 16) / speed);
}

// The first step of every trajectory but the straight one.
void StartTrajectory(cShot& shot) {
  const cEdShot& s = shot.m_Settings;
  shot.m_dTrajSpeed = (s.m_nSpeed + s.m_nSpeedStep * shot.m_nClone) * 0.1 / StageSubStepsD();
  shot.m_bTrajStarted = 1;
  shot.m_nTrajStep = 0;
}

bool Alive(const cCharaBase* chara) { return chara && !chara->m_bDead; }

cCharaBase* Hero() { return g_HeroList.empty() ? nullptr : &g_HeroList[0]; }

cCharaBase* NearestOfGroup(cShot& shot, int group) {
  cStageState* stage = g_lpSceneStage;
  if (!stage || group < 0 || static_cast<size_t>(group) >= stage->m_aCharaGroups.size()) return nullptr;
  shot.UpdateScreenRect();
  return FindNearestCharaTo(shot.ScreenCentreX(), shot.ScreenCentreY(),
                            stage->m_aCharaGroups[static_cast<size_t>(group)]);
}

void AimOnce(cShot& shot, cCharaBase* (*find)(cShot&)) {
  if (shot.m_bTrajDone) return;
  if (!shot.m_bTrajStarted) {
    StartTrajectory(shot);
    shot.m_nTrajStart = StepsFor(shot.m_Settings.m_anTrajectory[0], shot.m_dTrajSpeed);
  }
  if (shot.m_nTrajStep == shot.m_nTrajStart) {
    if (cCharaBase* target = find(shot)) SteerTo(shot, *target);
    shot.m_bTrajDone = 1;
  }
  ++shot.m_nTrajStep;
}

void Home(cShot& shot, cCharaBase* (*find)(cShot&)) {
  if (shot.m_bTrajDone) return;
  if (!shot.m_bTrajStarted) {
    StartTrajectory(shot);
    shot.m_nTrajStart = StepsFor(shot.m_Settings.m_anTrajectory[0], shot.m_dTrajSpeed);
    shot.m_nTrajEnd = StepsFor(shot.m_Settings.m_anTrajectory[1], shot.m_dTrajSpeed);
  }
  if (shot.m_nTrajStep >= shot.m_nTrajEnd) {
    shot.m_bTrajDone = 1;
    return;
  }
  if (shot.m_nTrajStep >= shot.m_nTrajStart) {
    if (cCharaBase* target = find(shot)) SteerTo(shot, *target);
  }
  ++shot.m_nTrajStep;
}

cCharaBase* FindHero(cShot&) {
  cCharaBase* hero = Hero();
  return Alive(hero) ? hero : nullptr;
}
cCharaBase* FindTarget(cShot& shot) { return Alive(shot.m_lpTarget) ? shot.m_lpTarget : nullptr; }
cCharaBase* FindNearestAim(cShot& shot) { return NearestOfGroup(shot, shot.m_Settings.m_anTrajectory[1]); }
cCharaBase* FindNearestHoming(cShot& shot) { return NearestOfGroup(shot, shot.m_Settings.m_anTrajectory[2]); }

// A component gains a change, stopping at 0 instead of changing its sign.
void AddNoReverse(double& component, double change) {
  const double result = component + change;
  component = (component > 0 && result < 0) || (component < 0 && result > 0) ? 0.0 : result;
}

}  // namespace

void SteerTo(cShot& shot, const cCharaBase& target) {
  shot.UpdateScreenRect();
  int facing = 0;
  AimAtPoint(shot.m_dVelX, shot.m_dVelY, facing, &target, shot.ScreenCentreX(), shot.ScreenCentreY(),
             target.ScreenCentreX(), target.ScreenCentreY(), shot.m_dTrajSpeed, shot.m_bSyncScroll, 1, 0);
  if (shot.m_bAccelerate) shot.SplitAcceleration(shot.m_dVelX, shot.m_dVelY, shot.m_dAccel);
}

void TrajectoryStraight(cShot&) {}
void TrajectoryAimHero(cShot& shot) { AimOnce(shot, FindHero); }
void TrajectoryAimNearest(cShot& shot) { AimOnce(shot, FindNearestAim); }
void TrajectoryAimTarget(cShot& shot) { AimOnce(shot, FindTarget); }
void TrajectoryHomeHero(cShot& shot) { Home(shot, FindHero); }
void TrajectoryHomeNearest(cShot& shot) { Home(shot, FindNearestHoming); }
void TrajectoryHomeTarget(cShot& shot) { Home(shot, FindTarget); }

void TrajectoryWave(cShot& shot) {
  cEdShot& s = shot.m_Settings;
  const double period = s.m_anTrajectory[1];
  if (!shot.m_bTrajStarted) {
    StartTrajectory(shot);
    s.m_anTrajectory[0] = static_cast<int16_t>(s.m_anTrajectory[0] * 16);
    const double start = shot.m_nFacing ? s.m_anTrajectory[2] : s.m_anTrajectory[2] + 180;
    shot.m_dWavePhase = period != 0 ? StageSubStepsD() * (start / period) : 0.0;
    const double cross = std::atan2(shot.m_dVelY, shot.m_dVelX) - std::numbers::pi / 2;
    shot.m_dWaveCos = std::cos(cross);
    shot.m_dWaveSin = std::sin(cross);
    const double gain = WaveSpeed(s.m_anTrajectory[0], period, shot.m_dWavePhase, 1.0, 0.0);
    shot.m_dVelX += gain * shot.m_dWaveCos;
    shot.m_dVelY += gain * shot.m_dWaveSin;
  } else {
    const double gain = WaveAccel(s.m_anTrajectory[0], period, shot.m_dWavePhase, 1.0, 0.0);
    AddNoReverse(shot.m_dVelX, gain * shot.m_dWaveCos);
    AddNoReverse(shot.m_dVelY, gain * shot.m_dWaveSin);
  }
  if (shot.m_bAccelerate) shot.SplitAcceleration(shot.m_dVelX, shot.m_dVelY, shot.m_dAccel);
}

void TrajectoryFall(cShot& shot) {
  if (shot.m_bTrajDone) return;
  if (!shot.m_bTrajStarted) {
    StartTrajectory(shot);
    shot.m_nTrajStart = StepsFor(shot.m_Settings.m_anTrajectory[0], shot.m_dTrajSpeed);
  }
  if (shot.m_nTrajStep >= shot.m_nTrajStart) {
    shot.m_dSpeedY = shot.m_dVelY;
    shot.m_bGravityFree = 0;
    shot.m_bTrajDone = 1;
  }
  ++shot.m_nTrajStep;
}

const TrajectoryFunction g_TrajectoryFunctions[kTrajectoryFunctions] = {
    TrajectoryStraight,    TrajectoryAimHero,    TrajectoryAimNearest,  TrajectoryAimTarget, TrajectoryHomeHero,
    TrajectoryHomeNearest, TrajectoryHomeTarget, TrajectoryHomeNearest, TrajectoryWave,      TrajectoryFall,
};
