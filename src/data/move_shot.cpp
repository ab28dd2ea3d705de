#include "data/move_shot.h"

#include "data/data_queries.h"

cEdMove::cEdMove() {}

void cEdMove::DeclareFields(uint32_t v) {
  ClearFieldTables();
  QC4_DECLARE(m_nMoveKind);
  QC4_DECLARE(m_nDirection);
  QC4_DECLARE(m_nAngle);
  QC4_DECLARE(m_nAngleStep);
  if (v >= 158) QC4_DECLARE(m_bAngleMirror);
  QC4_DECLARE(m_nM6);
  QC4_DECLARE(m_nM7);
  QC4_DECLARE(m_nCellX);
  QC4_DECLARE(m_nCellY);
  QC4_DECLARE(m_nDotX);
  QC4_DECLARE(m_nDotY);
  QC4_DECLARE(m_nM12);
  if (v >= 891) QC4_DECLARE(m_nOffsetUnit);
  if (v >= 892) QC4_DECLARE(m_nM14);
  QC4_DECLARE(m_nM15);
  QC4_DECLARE(m_bLockX);
  QC4_DECLARE(m_bLockY);
  QC4_DECLARE(m_bMirrorX);
  QC4_DECLARE(m_bMirrorY);
  QC4_DECLARE(m_bTurnWithFacing);
  QC4_DECLARE(m_nM21);
  if (v >= 162) QC4_DECLARE(m_nM22);
  QC4_DECLARE(m_nM23);
  QC4_DECLARE(m_nSpeed);
  QC4_DECLARE(m_nSpeedStep);
  QC4_DECLARE(m_nM26);
  QC4_DECLARE(m_nM27);
  if (v >= 159) QC4_DECLARE(m_nM28);
  QC4_DECLARE(m_nM29);
  QC4_DECLARE(m_nM30);
  QC4_DECLARE(m_bSecondSpeed);
  QC4_DECLARE(m_nSecondSpeed);
  QC4_DECLARE(m_dM33);
  if (v >= 162) QC4_DECLARE(m_nAnimeChoice);
  if (v >= 767) QC4_DECLARE(m_nM35);
}

bool cEdMove::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  uint32_t v = g_nFileVersion;
  if (v >= kDataVersion) return true;
  if (v < 158) m_bAngleMirror = 0;
  if (v < 159) m_nM28 = 0;
  if (v < 162) {
    m_nM22 = 0;
    m_nAnimeChoice = 0;
  }
  // Older editors stored 1 where "other" (the command's own animation) is meant.
  if (v < 830 && m_nAnimeChoice == 1) m_nAnimeChoice = 2;
  return true;
}

cEdShot::cEdShot() {}

void cEdShot::DeclareFields(uint32_t v) {
  ClearFieldTables();
  QC4_DECLARE(m_nPerRow);
  QC4_DECLARE(m_nShotKind);
  QC4_DECLARE(m_anPattern);
  if (v >= 671) QC4_DECLARE(m_nTargetChoice);
  QC4_DECLARE(m_nDirection);
  QC4_DECLARE(m_bAim);
  if (v >= 767) QC4_DECLARE(m_nTargetSlot);
  QC4_DECLARE(m_nAngle);
  QC4_DECLARE(m_nAngleStep);
  if (v >= 158) QC4_DECLARE(m_bAngleMirror);
  QC4_DECLARE(m_nSpread);
  QC4_DECLARE(m_nS12);
  QC4_DECLARE(m_nExtraShots);
  QC4_DECLARE(m_nOffsetX);
  QC4_DECLARE(m_nStepX);
  QC4_DECLARE(m_nOffsetY);
  QC4_DECLARE(m_nStepY);
  QC4_DECLARE(m_bMirrorX);
  QC4_DECLARE(m_bMirrorY);
  QC4_DECLARE(m_nGraphic);
  QC4_DECLARE(m_nS21);
  QC4_DECLARE(m_bHidden);
  QC4_DECLARE(m_bUserBlockTest);
  QC4_DECLARE(m_nShotGroup);
  QC4_DECLARE(m_nS25);
  QC4_DECLARE(m_nSize);
  QC4_DECLARE(m_nS27);
  QC4_DECLARE(m_nTrajectory);
  QC4_DECLARE(m_anTrajectory);
  if (v >= 767) QC4_DECLARE(m_nTargetSlot2);
  if (v >= 211) QC4_DECLARE(m_bFollowScroll);
  QC4_DECLARE(m_nSpeed);
  QC4_DECLARE(m_nSpeedStep);
  if (v >= 213) {
    QC4_DECLARE(m_bAccel);
    QC4_DECLARE(m_nAccel);
    QC4_DECLARE(m_nAccelStep);
  }
  QC4_DECLARE(m_nDistance);
  QC4_DECLARE(m_bDistanceLimit);
  QC4_DECLARE(m_nDistanceStep);
  QC4_DECLARE(m_bStopAtLimit);
  QC4_DECLARE(m_bTimeLimit);
  QC4_DECLARE(m_nTime);
  QC4_DECLARE(m_nTimeStep);
  QC4_DECLARE(m_bThroughBlocks);
  QC4_DECLARE(m_nS45);
  if (v >= 636) QC4_DECLARE(m_nS46);
  QC4_DECLARE(m_nS47);
  QC4_DECLARE(m_nS48);
  QC4_DECLARE(m_nPower);
  QC4_DECLARE(m_nS50);
  QC4_DECLARE(m_nImpact);
  QC4_DECLARE(m_nEffect);
  QC4_DECLARE(m_nItemKind);
  QC4_DECLARE(m_nItemIndex);
  QC4_DECLARE(m_nS55);
  QC4_DECLARE(m_nS56);
  if (v >= 197) QC4_DECLARE(m_nS57);
  QC4_DECLARE(m_nSummonPalette);
  QC4_DECLARE(m_nSummonIndex);
  QC4_DECLARE(m_nS60);
  QC4_DECLARE(m_nS61);
  QC4_DECLARE(m_nS62);
  if (v >= 762) {
    QC4_DECLARE(m_nS63);
    QC4_DECLARE(m_nS64);
  }
}

bool cEdShot::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  uint32_t v = g_nFileVersion;
  if (v < kDataVersion) {
    if (v < 158) m_bAngleMirror = 0;
    if (v < 197) m_nS57 = m_nS56;
    // The homing trajectories moved with the auto-scroll before the switch existed.
    if (v < 212) m_bFollowScroll = (m_nTrajectory >= 4 && m_nTrajectory <= 7) ? 1 : 0;
    if (v < 213) {
      m_bAccel = 0;
      m_nAccel = 0;
      m_nAccelStep = 0;
    }
    if (v < 636) m_nS46 = m_nS45;
    if (v < 671) m_nTargetChoice = 0;
  }
  Normalise();
  return true;
}

bool cEdShot::Save(cDataFile& file) {
  Normalise();
  return cRecord::Save(file);
}

void cEdShot::Normalise() {
  if (m_nSize <= 0) m_nSize = 1;
  if (static_cast<uint32_t>(static_cast<int32_t>(m_nEffect)) >= static_cast<uint32_t>(DbCount(eDbList::Effect)))
    m_nEffect = 0;
}

double cEdShot::ShotOffsetX(int n, int direction) const {
  double d = static_cast<double>(n) * m_nStepX + m_nOffsetX;
  return (direction == 1 && m_bMirrorX) ? -d : d;
}

double cEdShot::ShotOffsetY(int n, int direction) const {
  double d = static_cast<double>(n) * m_nStepY + m_nOffsetY;
  return (direction == 1 && m_bMirrorY) ? -d : d;
}

std::shared_ptr<cEdMove> CloneEdMove(const std::shared_ptr<cEdMove>& source) {
  if (!source) return nullptr;
  return std::make_shared<cEdMove>(*source);
}

std::shared_ptr<cEdShot> CloneEdShot(const std::shared_ptr<cEdShot>& source) {
  if (!source) return nullptr;
  return std::make_shared<cEdShot>(*source);
}
