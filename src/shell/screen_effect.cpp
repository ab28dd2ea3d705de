// The running screen effect of a stage frame: the record of its index chooses the type's handler.
#include "shell/screen_effect.h"

#include <utility>

#include "core/containers.h"
#include "data/database.h"
#include "media/graphics/display.h"
#include "media/graphics/surface_table.h"
#include "shell/screen_effect_kinds.h"
#include "shell/system_ini.h"

namespace {
cScreenEffectHooks s_hooks;
}  // namespace

cScreenEffectHooks SetScreenEffectHooks(const cScreenEffectHooks& hooks) { return std::exchange(s_hooks, hooks); }

void DrawStageBackLayers() {
  if (s_hooks.drawBackLayers) s_hooks.drawBackLayers();
}

DDSURFACEDATA* ScreenEffectZoomSource() {
  const bool videoStretch = !lpDTCon && g_IniSettings.DD_VideoStretch != 0;
  return &g_SurfaceData[videoStretch ? kScreenEffectSlotA : kScreenEffectSlotB];
}

void RunScreenEffect(cScrEffectPlay& play, const cScreenEffectView& view, int frozen) {
  if (play.nEffect == 0) return;
  const cScrEffectData& record = VecAt(g_Database.m_aScrEffect, play.nEffect);
  const cScreenEffectFrame frame{play, play.pEntry ? *play.pEntry : record, view, frozen != 0};
  // A type the program does not know (a damaged record) ends the effect without drawing.
  const int type = record.m_nKind;
  const bool known = type >= 0 && type < kScreenEffectTypeCount;
  if (known && RunScreenEffectType(type, frame) == 0) return;
  play.nEffect = 0;
  DDSetVirtualBackBuffer(0);
}
