// Shots: construction, destruction, initialisation, the step with its limits, the moves, the map
// clamp and the links to the characters a shot refers to.
#include "objects/shot.h"

#include <algorithm>
#include <cmath>

#include "core/containers.h"
#include "data/database.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "objects/scroll_axis.h"
#include "objects/shot_pattern.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"
#include "objects/sword_entry.h"

namespace {

// The shot's two animations: 0 holds the first cell (swings, which draw their sword type's entries
// instead), 1 alternates the two 16-dot cells the shot sheet keeps side by side for every graphic,
// 4 draws each. Frames are draw frames.
constexpr int kShotCellFrames = 4;
// Characters a shot's hit list holds before it grows.
constexpr size_t kHitListRoom = 8;

const std::vector<cFrameScript>& ShotAnimePatterns() {
  static const std::vector<cFrameScript> patterns = {
      {{0, 1, 0}, {-1, 0, 0}},
      {{0, kShotCellFrames, 0}, {1, kShotCellFrames, 0}, {kScriptRestart, 0, 0}},
  };
  return patterns;
}

template <class T>
void AddOnce(std::vector<T>& list, const T& entry) {
  if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
}

}  // namespace

cShot::cShot() {
  m_Settings.ResetFields();
  m_Settings.m_bUserBlockTest = 1;  // S23
  m_Settings.m_bAngleMirror = 1;    // S10
  m_Settings.m_bMirrorX = 1;        // S18
  m_Settings.m_bMirrorY = 0;        // S19
  m_Settings.m_nSize = 1;           // S26
  m_Settings.m_nTargetSlot = 0;     // S7
  m_Settings.m_nTargetSlot2 = 0;    // S30
}

cShot::~cShot() { UnlinkShot(); }

void cShot::UpdateHitRectX() {
  m_HitBox.rect.left = TruncToInt(m_dX) + m_HitBox.nX;
  m_HitBox.rect.right = m_HitBox.rect.left + m_HitBox.nWidth - 1;
}

void cShot::UpdateHitRectY() {
  m_HitBox.rect.top = TruncToInt(m_dY) + m_HitBox.nY;
  m_HitBox.rect.bottom = m_HitBox.rect.top + m_HitBox.nHeight - 1;
}

void cShot::RecomputeHitBox(int scale) {
  ScaleHitBox(m_HitBox, scale);
  ShotClampX();
  ClampToStageY(2);
}

void cShot::AdjustAfterResize(int newScale, int oldScale, int /*anchor*/) {
  m_dY -= (newScale - oldScale) * (m_nBaseGraphicHeight >> 1);
  ClampToStageY(2);
}

void cShot::UnlinkShot() {
  auto forget = [this](cCharaBase* chara, int kind) {
    if (!chara) return;
    auto& links = chara->m_aShotLinks;
    links.erase(std::remove(links.begin(), links.end(), cShotLink{this, kind}), links.end());
  };
  forget(m_lpTarget, kShotLinkTarget);
  forget(m_lpOwner, kShotLinkOwner);
  m_lpTarget = nullptr;
  m_lpOwner = nullptr;
}

void cShot::RegisterShotLinks() {
  if (m_lpTarget) AddOnce(m_lpTarget->m_aShotLinks, cShotLink{this, kShotLinkTarget});
  if (m_lpOwner) AddOnce(m_lpOwner->m_aShotLinks, cShotLink{this, kShotLinkOwner});
}

void cShot::InitShot(int id, cCharaBase& owner, int cmdKind, const cEdShot& settings, const SHOTLAUNCH& launch) {
  const double n = StageSubStepsD();
  m_Settings = settings;
  if (m_Settings.m_nSize <= 0) m_Settings.m_nSize = 1;
  const int scale = m_Settings.m_nSize;

  const int facing = launch.dVelX > 0 ? 1 : (launch.dVelX == 0 ? owner.m_nFacing : 0);
  const bool sword = cmdKind == kCmdKindSword;
  int width = 16;
  int height = 16;
  if (sword) {
    const cSwordEntry* entry = SwordEntryOf(m_Settings.m_nTrajectory, 0);
    width = entry ? SwordEntryWidth(*entry) : 0;
    height = entry ? SwordEntryHeight(*entry) : 0;
  }
  m_bIsShot = sword ? 0 : 1;
  m_nLayer = owner.m_Type.m_nLayer;
  InitObject(id, owner.m_nControl, owner.m_nPlayer, m_Settings.m_nShotGroup, m_Settings.m_nGraphic,
             &ShotAnimePatterns(), sword ? 0 : 1, 0, 0, width, height, width, height, facing, 1, launch.nIndex);
  if (m_Settings.m_bUserBlockTest) {
    m_Settings.m_nShotGroup = static_cast<int8_t>(owner.m_nKind);
    m_nKind = owner.m_nKind;
  }

  // The hit box: a swing's whole picture; a shot's box of the stage's size centred in its cell.
  if (sword) {
    m_HitBox = cHitBox{};
    m_HitBox.nWidth = m_HitBox.nBaseWidth = width;
    m_HitBox.nHeight = m_HitBox.nBaseHeight = height;
  } else {
    const bool heroShot = owner.m_nControl == 0;
    const int w = heroShot ? g_StageFile.m_anShotBoxes[0] : g_StageFile.m_anShotBoxes[2];
    const int h = heroShot ? g_StageFile.m_anShotBoxes[1] : g_StageFile.m_anShotBoxes[3];
    m_HitBox = cHitBox{};
    m_HitBox.nX = m_HitBox.nBaseX = 8 - (w >> 1);
    m_HitBox.nY = m_HitBox.nBaseY = 8 - (h >> 1);
    m_HitBox.nWidth = m_HitBox.nBaseWidth = w;
    m_HitBox.nHeight = m_HitBox.nBaseHeight = h;
  }

  SetScale(scale, 1, 1);
  m_dX = launch.nX;
  m_dY = launch.nY;
  ShotClampX();
  ClampToStageY(2);

  m_dVelX = launch.dVelX / n;
  m_dVelY = launch.dVelY / n;
  m_bAccelerate = m_Settings.m_bAccel ? 1 : 0;
  m_dImpactX = m_dImpactY = 0.0;
  m_dAccel = 0.0;
  if (m_bAccelerate) {
    m_dAccel = (m_Settings.m_nAccel + m_Settings.m_nAccelStep * launch.nIndex) * 0.1 / n;
    SplitAcceleration(m_dVelX, m_dVelY, m_dAccel);
  }
  m_dSpeedX = m_dSpeedY = 0.0;
  m_bSyncScroll = m_Settings.m_bFollowScroll;

  const int subSteps = StageSubSteps();
  m_nTimeCount = m_Settings.m_bTimeLimit ? launch.nTime * 6 * subSteps : 0;
  m_nDistanceCount = 0;
  if (m_Settings.m_bDistanceLimit) {
    const double distance = std::max(0, launch.nDistance * 16 - m_nWidth);
    const double perStep = std::fabs(launch.dSpeed) / n;
    m_nDistanceCount = (distance > 0 && perStep > 0) ? static_cast<int32_t>(distance / perStep) : subSteps;
    if (m_nDistanceCount < subSteps) {
      // Less than a frame of travel: the distance is covered in exactly one frame.
      const double factor = (distance / n) / perStep;
      m_dVelX *= factor;
      m_dVelY *= factor;
      m_nDistanceCount = subSteps;
    }
  }

  m_bTrajStarted = 0;
  m_nTrajStart = m_nTrajEnd = m_bTrajDone = 0;
  m_nSwordFrame = 0;
  m_nSwordStep = 0;
  // The target slot counts from 0 (target 1); a slot outside the four names no target.
  m_lpTarget = nullptr;
  const int slot = m_Settings.m_nTargetSlot;
  if (slot >= 0 && static_cast<size_t>(slot) < owner.m_apTargets.size()) m_lpTarget = owner.m_apTargets[slot];
  m_lpOwner = &owner;
  m_nOwnerNumber = owner.m_nNumber;
  m_bHit = 0;
  m_bCountsForOwner = launch.bCountsForOwner;
  m_nOwnerArg = launch.nOwnerArg;
  // Room for the hits of a swing or a piercing shot, so that its hits allocate nothing in play.
  m_HitList.clear();
  m_HitList.reserve(kHitListRoom);
}

void cShot::SplitAcceleration(double velX, double velY, double accel) {
  if (velX != 0 && velY != 0) {
    const double length = std::sqrt(velX * velX + velY * velY);
    m_dImpactX = StepsToSeconds(velX / length * accel);
    m_dImpactY = StepsToSeconds(velY / length * accel);
  } else if (velX != 0) {
    m_dImpactX = StepsToSeconds(velX > 0 ? accel : -accel);
    m_dImpactY = 0.0;
  } else if (velY != 0) {
    m_dImpactX = 0.0;
    m_dImpactY = StepsToSeconds(velY > 0 ? accel : -accel);
  } else {
    m_dImpactX = m_dImpactY = 0.0;
  }
}

int cShot::StepShot() {
  if (!m_bIsShot) return StepSword();
  StartStepSpeed();

  const int trajectory = m_Settings.m_nTrajectory;
  if (trajectory >= 0 && trajectory < kTrajectoryFunctions) g_TrajectoryFunctions[trajectory](*this);

  if (m_bAccelerate) {
    m_dVelX += m_dImpactX;
    if (m_bGravityFree)
      m_dVelY += m_dImpactY;
    else
      m_dSpeedY += m_dImpactY;
  }
  m_dSpeedX += m_dVelX;
  if (m_bGravityFree) m_dSpeedY += m_dVelY;

  if (m_Settings.m_bTimeLimit) {
    if (m_nTimeCount == 0) return 1;
    --m_nTimeCount;
  }
  if (m_dSpeedX != 0) m_nFacing = m_dSpeedX >= 0 ? 1 : 0;

  if (m_Settings.m_bDistanceLimit) {
    if (m_nDistanceCount > 0) {
      --m_nDistanceCount;
    } else {
      if (!m_Settings.m_bStopAtLimit) return 1;
      // Stopped at its limit: only the automatic scroll moves it from now on.
      m_dVelX = m_dVelY = 0.0;
      m_dImpactX = m_dImpactY = 0.0;
      m_bAccelerate = 0;
      m_Settings.m_nTrajectory = 0;
    }
  }
  return 0;
}

void cShot::MoveShotX() {
  if (m_dImpactX != 0) m_dSpeedX += m_dImpactX;
  if (m_dSpeedX == 0) return;
  const double limit = StageSpeedLimitPerStep();
  m_dSpeedX = std::clamp(m_dSpeedX, -limit, limit);
  m_dX += m_dSpeedX;
  ShotClampX();
}

void cShot::MoveShotY() {
  if (m_dImpactY != 0) m_dSpeedY += m_dImpactY;
  if (m_dSpeedY == 0) return;
  MoveObjY(2);
  ClampToStageY(2);
}

int cShot::ShotClampX() {
  int code = kClampInside;
  if (const cStageState* stage = g_lpSceneStage) {
    const int mapWidth = stage->m_ScrollX.m_nMapDots;
    if (m_nWidth < mapWidth) {
      if (m_dX + m_nWidth > mapWidth) {
        m_dX = mapWidth - m_nWidth;
        code = kClampMapEdge;
      } else if (m_dX < 0) {
        m_dX = 0;
        code = kClampMapEdge;
      }
    }
  }
  m_dX2 = m_dX + m_nWidth - 1;
  UpdateHitRectX();
  m_nCellX = TruncToInt(m_dX) >> 5;
  m_nCellX2 = TruncToInt(m_dX2) >> 5;
  return code;
}

std::list<cShot>::iterator EraseShot(std::list<cShot>::iterator pos) {
  cStageState* stage = g_lpSceneStage;
  if (!stage) return std::next(pos);
  cShot* shot = &*pos;
  if (static_cast<uint32_t>(shot->m_nKind) < stage->m_aShotGroups.size()) {
    auto& group = stage->m_aShotGroups[static_cast<size_t>(shot->m_nKind)];
    group.remove(shot);
  } else {
    // A shot outside every group index was never listed in one; no group to clear.
    for (auto& group : stage->m_aShotGroups) group.remove(shot);
  }
  return stage->m_ShotList.erase(pos);
}
