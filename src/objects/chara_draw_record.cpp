// A character's draw record and its drawing once its screen rectangle is current: the graphic
// number with the animation set's offsets and the blend of a no-damage character, the running
// effect's draw mode, the icon, and the defeat display.
#include "data/anim_scripts.h"
#include "data/database.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "objects/chara_base.h"
#include "objects/draw_modes.h"
#include "objects/draw_report.h"
#include "objects/graphic_source.h"
#include "shell/palette_helpers.h"
#include "shell/scene_mgr.h"

namespace {

constexpr int kIconsPerColumn = 15;
constexpr int kIconSize = 32;
constexpr int kBlendEntries = static_cast<int>(sizeof g_aCharaColourChange / sizeof g_aCharaColourChange[0]);

// The handler of a draw mode; a kind outside the table (broken data) draws plainly.
DrawModeHandler HandlerOfKind(int kind) {
  if (kind >= 0 && kind < kDrawModeCount) return g_DrawModeHandlers[kind];
  ReportDrawProblem("err CharaEffectKind[%d] ( %d )", kind, kDrawModeCount);
  return g_DrawModeHandlers[0];
}

}  // namespace

int cCharaBase::GetGraphicNumber(GRAPHICSOURCE& record) const {
  int number = m_Type.m_nGraphicSub;
  const std::vector<cAnimeSetData>& sets = g_Database.m_aAnimeSet;
  const cAnimeSetData* set = nullptr;
  if (m_nAnimeSet >= 0 && m_nAnimeSet < static_cast<int>(sets.size())) {
    set = &sets[static_cast<size_t>(m_nAnimeSet)];
  } else {
    ReportDrawProblem("err V[%d] ( %d , %d )", m_nAnimeSet, static_cast<int>(sets.size()),
                      static_cast<int>(sizeof(cAnimeSetData)));
  }
  if (set && m_Type.m_nMoveMode != 0) number += set->m_nOffsetA;
  if (set && m_Type.m_bBlockChara) number += set->m_nOffsetB;
  record.bUseBlend = 0;
  // The no-damage status (type field 32) shows its own patterns and, in Direct3D mode with the
  // project's graphic option, the colour of the blend entry the type names (field 33).
  if (m_Type.m_nOpt32 != 0) {
    if (set) number += set->m_nOffsetC;
    const int index = m_Type.m_nOpt33;
    if (lpDTCon && g_SystemData.m_nGraphicOpt287 && index != 0) {
      if (index > 0 && index < kBlendEntries) {
        record.bUseBlend = 1;
        record.blend = {static_cast<int>(g_aCharaColourChange[index].dwColour), g_aCharaColourChange[index].nMode};
      } else {
        ReportDrawProblem("err V[%d] ( %d , %d )", index, kBlendEntries, static_cast<int>(sizeof(CHARACOLOURCHANGE)));
      }
    }
  }
  return number;
}

GRAPHICSOURCE cCharaBase::BuildDrawRecord(int pattern) const {
  GRAPHICSOURCE blendPart;
  const int number = GetGraphicNumber(blendPart);
  const GRAPHICOWNER owner{m_nFacing};
  GRAPHICSOURCE record =
      GetGraphicSource(kGraphicForChara, m_Type.m_nGraphicKind, m_Type.m_nGraphic, number, &owner, pattern);
  record.bUseBlend = blendPart.bUseBlend;
  record.blend = blendPart.blend;
  if (!record.lpSD) {
    // A graphic kind or number outside what the sheets hold: the character is not drawn.
    ReportDrawProblem("err Graphic[%d] ( %d , %d )", m_Type.m_nGraphicKind, m_Type.m_nGraphic, number);
  }
  return record;
}

int cCharaBase::CharaEffectKind() const {
  const cCharaEffectData* entry = m_CharaEffect.pEntry;
  return entry ? entry->m_nKind : 0;
}

void cCharaBase::DrawCharaOnScreen(DDSURFACEDATA* target, int hold, int pattern) {
  if (m_bFixedScreenX) {
    m_ScreenRect.left = m_nFixedScreenX;
    m_ScreenRect.right = m_ScreenRect.left + m_nGraphicWidth - 1;
  }
  if (m_bFixedScreenY) {
    m_ScreenRect.top = m_nFixedScreenY;
    m_ScreenRect.bottom = m_ScreenRect.top + m_nGraphicHeight - 1;
  }
  const GRAPHICSOURCE record = BuildDrawRecord(pattern);
  if (HandlerOfKind(CharaEffectKind())(*this, target, record, hold, 1)) m_CharaEffect.ClearCharaEffect();
  if (m_Type.m_bBadge != 1) return;
  const int icon = m_Type.m_nBadge;
  if (icon < 0) {
    ReportDrawProblem("err Badge[%d]", icon);
    return;
  }
  const int sx = icon / kIconsPerColumn * kIconSize, sy = icon % kIconsPerColumn * kIconSize;
  if (m_Type.m_nScale <= 1) {
    DDBlt(target, m_ScreenRect.left, m_ScreenRect.top, kIconSize, kIconSize, g_lpItemIconSD, sx, sy, 1);
  } else {
    DDBltStretch(target, m_ScreenRect.left, m_ScreenRect.top, m_nGraphicWidth, m_nGraphicHeight, g_lpItemIconSD, sx, sy,
                 kIconSize, kIconSize, 1);
  }
}

int cCharaBase::RunCharaEffectHidden(int hold) {
  const int kind = CharaEffectKind();
  if (kind == 0) return 0;
  // Nothing is drawn: the handler only advances the effect.
  const int ended = HandlerOfKind(kind)(*this, nullptr, GRAPHICSOURCE{}, hold, 0);
  if (ended) m_CharaEffect.ClearCharaEffect();
  return ended;
}

int cCharaBase::DrawDefeated(DDSURFACEDATA* target, int hold) {
  const GRAPHICSOURCE record = BuildDrawRecord(0);
  const int kind = CharaEffectKind();
  if (m_nControl != 0) {
    // A computer character is removed as soon as its defeat effect has run (at once without one).
    if (kind == 0) return 1;
    if (!HandlerOfKind(kind)(*this, target, record, hold, 1)) return 0;
    m_CharaEffect.ClearCharaEffect();
    return 1;
  }
  // The hero: its effect plays out, then the display lasts a second of frames.
  if (kind != 0) {
    if (HandlerOfKind(kind)(*this, target, record, hold, 1)) m_CharaEffect.ClearCharaEffect();
    return 0;
  }
  if (!hold) ++m_nDefeatCounter;
  return m_nDefeatCounter > g_SceneMgr.m_nFrameRate ? 1 : 0;
}
