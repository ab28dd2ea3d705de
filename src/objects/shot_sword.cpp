// Sword swings: the sword type's frame entries placed around the owner, one entry after another.
#include "core/log.h"
#include "data/database.h"
#include "objects/draw_modes.h"
#include "objects/shot.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"
#include "objects/sword_entry.h"

const cSwordTypeData* SwordTypeOf(int swordType) {
  const auto& types = g_Database.m_aSwordType;
  if (swordType < 0 || static_cast<size_t>(swordType) >= types.size()) {
    ReportLogPrintf("ソードタイプ %d がありません", swordType);
    return nullptr;
  }
  return &types[static_cast<size_t>(swordType)];
}

const cSwordEntry* SwordEntryOf(int swordType, int frame) {
  const cSwordTypeData* type = SwordTypeOf(swordType);
  if (!type) return nullptr;
  if (type->m_aEntries.empty()) {
    ReportLogPrintf("ソードタイプ %d にフレームがありません", swordType);
    return nullptr;
  }
  if (frame < 0 || static_cast<size_t>(frame) >= type->m_aEntries.size()) return nullptr;
  return &type->m_aEntries[static_cast<size_t>(frame)];
}

int cShot::StepSword() {
  cCharaBase* owner = FindCharaById(m_nOwnerNumber);
  if (!owner) return 1;
  const cSwordTypeData* type = SwordTypeOf(m_Settings.m_nTrajectory);
  if (!type || m_nSwordFrame < 0 || static_cast<size_t>(m_nSwordFrame) >= type->m_aEntries.size()) return 1;
  const cSwordEntry& entry = type->m_aEntries[static_cast<size_t>(m_nSwordFrame)];

  owner->UpdateScreenRect();
  m_nFacing = owner->m_nFacing;
  const int scale = m_Settings.m_nSize > 0 ? m_Settings.m_nSize : 1;
  if (m_nSwordStep == 0) {
    const int width = SwordEntryWidth(entry) * scale;
    const int height = SwordEntryHeight(entry) * scale;
    m_nGraphicWidth = m_nWidth = m_HitBox.nWidth = width;
    m_nGraphicHeight = m_nHeight = m_HitBox.nHeight = height;
  }

  // The owner's graphic box in map dots.
  const cStageState* stage = g_lpSceneStage;
  const int scrollX = stage ? TruncToInt(stage->m_ScrollX.m_dPosition) : 0;
  const int scrollY = stage ? TruncToInt(stage->m_ScrollY.m_dPosition) : 0;
  const int left = owner->m_ScreenRect.left + scrollX;
  const int right = owner->m_ScreenRect.right + scrollX;
  const int top = owner->m_ScreenRect.top + scrollY;
  const int bottom = owner->m_ScreenRect.bottom + scrollY;
  const int centreX = left + owner->m_nGraphicWidth / 2;
  const int centreY = top + owner->m_nGraphicHeight / 2;
  const int w = m_nGraphicWidth;
  const int h = m_nGraphicHeight;

  int x = 0;
  int y = 0;
  switch (SwordEntryPlacement(entry)) {
    case kSwordBehind:
      m_nFacing = owner->m_nFacing ? 0 : 1;
      x = owner->m_nFacing ? left - w : right + 1;
      y = centreY - h / 2;
      break;
    case kSwordAbove:
      x = centreX - w / 2;
      y = top - h;
      break;
    case kSwordBelow:
      x = centreX - w / 2;
      y = bottom + 1;
      break;
    default:
      x = owner->m_nFacing ? right + 1 : left - w;
      y = centreY - h / 2;
      break;
  }
  const int offsetX = SwordEntryOffsetX(entry) * scale;
  const int offsetY = SwordEntryOffsetY(entry) * scale;
  x += (owner->m_nFacing && SwordEntryMirrorX(entry)) ? -offsetX : offsetX;
  y += (owner->m_nFacing && SwordEntryMirrorY(entry)) ? -offsetY : offsetY;
  m_dX = x;
  m_dY = y;
  ShotClampX();
  ClampToStageY(2);

  ++m_nSwordStep;
  if (m_nSwordStep > SwordEntryDuration(entry) * 6 * StageSubSteps()) {
    m_nSwordStep = 0;
    ++m_nSwordFrame;
    if (static_cast<size_t>(m_nSwordFrame) >= type->m_aEntries.size()) return 1;
  }
  return 0;
}
