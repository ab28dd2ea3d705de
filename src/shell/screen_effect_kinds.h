#pragma once
// The fourteen screen-effect types, one handler each; used by RunScreenEffect.
#include "data/anim_scripts.h"
#include "data/database_records.h"
#include "shell/screen_effect.h"

constexpr int kScreenEffectTypeCount = 14;

// One frame of a running effect: its player, the record it was prepared from (a reversed play reads
// the reversed copy, whose start and end are swapped), what the stage's frame gives, and whether the
// frame is frozen (drawn only).
struct cScreenEffectFrame {
  cScrEffectPlay& play;
  const cScrEffectData& entry;
  const cScreenEffectView& view;
  bool frozen;
};

// Draws the frame of effect type `type` (0 .. kScreenEffectTypeCount - 1) and, unless the frame is
// frozen, advances the effect; 1 when it has ended.
int RunScreenEffectType(int type, const cScreenEffectFrame& frame);

// The stage's background layer groups 0 and 1 drawn again over the back buffer (through the hooks).
void DrawStageBackLayers();
