// The six shot kinds: rows, fan, lightning, explosion and surround.
#include <cmath>
#include <numbers>

#include "data/vocabulary_tables.h"
#include "objects/shot_launch.h"
#include "objects/shot_pattern.h"
#include "objects/stage_state.h"

namespace {

void FireRow(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings, SHOTLAUNCH& launch,
             int rule) {
  PlaceLaunch(firer, settings, launch, rule);
  for (int k = 0; k < settings.m_nPerRow; ++k) {
    launch.nX = launch.nBaseX + k * launch.nRowStepX;
    launch.nY = launch.nBaseY + k * launch.nRowStepY;
    FireShotOrSummon(shots, launch, firer, state, settings);
  }
}

// Shots from one point at angles first, first + step, ...
void FireAtAngles(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                  SHOTLAUNCH& launch, double first, double step) {
  for (int k = 0; k < settings.m_nPerRow; ++k) {
    VelocityAtAngle(first + step * k, launch.dSpeed, launch.dVelX, launch.dVelY);
    FireShotOrSummon(shots, launch, firer, state, settings);
  }
}

// The one start point of a pattern whose shots all leave from the same place (fan, explosion): the
// place of a single shot of a row, outside the firer's graphic box on the side of the direction,
// offsets added.
void PlaceSingleStart(cCharaBase& firer, const cEdShot& settings, SHOTLAUNCH& launch) {
  cEdShot single = settings;
  single.m_nPerRow = 1;
  single.m_bAim = 0;
  const int angle = launch.nAngle;
  launch.nAngle = 0;
  PlaceLaunch(firer, single, launch, 0);
  launch.nAngle = angle;
}

}  // namespace

void ShotKindStraightA(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                       SHOTLAUNCH& launch) {
  FireRow(shots, firer, state, settings, launch, 0);
}

void ShotKindStraightB(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                       SHOTLAUNCH& launch) {
  FireRow(shots, firer, state, settings, launch, 1);
}

void ShotKindFan(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                 SHOTLAUNCH& launch) {
  const int count = settings.m_nPerRow;
  if (count <= 0) return;
  PlaceSingleStart(firer, settings, launch);
  const int angle = launch.nAngle;
  const double step = settings.m_anPattern[0];
  const double centre =
      settings.m_bAim ? AimAngle(launch.nX + launch.nWidth / 2, launch.nY + launch.nHeight / 2, firer, settings, launch)
                      : DirectionAngle(launch.nDirection);
  const double half = (count % 2) ? count / 2 : count / 2 - 0.5;
  FireAtAngles(shots, firer, state, settings, launch, centre + angle - step * half, step);
}

void ShotKindLightning(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                       SHOTLAUNCH& launch) {
  cCharaBase* target = PatternTarget(firer, settings);
  if (!target) return;
  const cIntRect box = GraphicBoxOnMap(*target);
  const cStageState* stage = g_lpSceneStage;
  const int top = stage ? TruncToInt(stage->m_ScrollY.m_dPosition) : 0;
  const int w = launch.nWidth;
  const int h = launch.nHeight;
  const int columns = settings.m_nPerRow;
  const int gap = settings.m_anPattern[0] * 16;
  const int firstX = box.left + target->m_nGraphicWidth / 2 - (columns - 1) * (gap + w) / 2 - w / 2;
  // The shots of a column are S3[2] half blocks apart ("列の間隔").
  const int stackStep = settings.m_anPattern[2] * 16 + h;
  // Columns fall from the top of the view onto the target, stacked upward: a firer standing on the
  // ground strikes as well as one flying above its target.
  VelocityAtAngle(DirectionAngle(kMoveDirDown) + launch.nAngle, launch.dSpeed, launch.dVelX, launch.dVelY);
  launch.nRowStepX = gap + w;
  launch.nRowStepY = 0;
  for (int c = 0; c < columns; ++c) {
    for (int k = 0; k < settings.m_anPattern[1]; ++k) {
      launch.nX = firstX + c * (gap + w) + launch.nOffsetX;
      launch.nY = top - h - k * stackStep + launch.nOffsetY;
      FireShotOrSummon(shots, launch, firer, state, settings);
    }
  }
}

void ShotKindExplosion(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                       SHOTLAUNCH& launch) {
  const int count = settings.m_nPerRow;
  if (count <= 0) return;
  PlaceSingleStart(firer, settings, launch);
  FireAtAngles(shots, firer, state, settings, launch, DirectionAngle(launch.nDirection) + launch.nAngle, 360.0 / count);
}

void ShotKindSurround(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                      SHOTLAUNCH& launch) {
  cCharaBase* target = PatternTarget(firer, settings);
  const int count = settings.m_nPerRow;
  if (!target || count <= 0) return;
  const cIntRect box = GraphicBoxOnMap(*target);
  const int centreX = box.left + target->m_nGraphicWidth / 2 - launch.nWidth / 2 + launch.nOffsetX;
  const int centreY = box.top + target->m_nGraphicHeight / 2 - launch.nHeight / 2 + launch.nOffsetY;
  const double radius = settings.m_anPattern[0] * 16;
  const double base = DirectionAngle(launch.nDirection) + launch.nAngle;
  for (int k = 0; k < count; ++k) {
    const double theta = base + k * 360.0 / count;
    const double radians = theta * std::numbers::pi / 180.0;
    launch.nX = centreX + static_cast<int>(std::floor(radius * std::cos(radians) + 0.5));
    launch.nY = centreY + static_cast<int>(std::floor(radius * std::sin(radians) + 0.5));
    VelocityAtAngle(theta, launch.dSpeed, launch.dVelX, launch.dVelY);
    FireShotOrSummon(shots, launch, firer, state, settings);
  }
}

const ShotKindFunction g_ShotKindFunctions[kShotKindFunctions] = {
    ShotKindStraightA, ShotKindStraightB, ShotKindFan, ShotKindLightning, ShotKindExplosion, ShotKindSurround,
};
