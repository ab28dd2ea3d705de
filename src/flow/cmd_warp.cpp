// "ワープ": a character jumps to a place given by a direction and distance (from itself or from a
// target), or by coordinates relative to itself, to the map or to the screen. A place blocked by
// the map leaves the character exactly where it was.
#include <cstdint>

#include "core/containers.h"
#include "core/numbers.h"
#include "data/system_data.h"
#include "data/vocabulary_tables.h"
#include "flow/cmd_tables.h"
#include "flow/object_cmds.h"
#include "objects/chara_base.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"

namespace {

// How the destination is given (M1).
enum : int {
  kWarpByDirection = 0,  // "方向と距離で指定"
  kWarpNearTarget1 = 1,  // "ターゲット1からの方向と距離で指定" .. target 4 = 4
  kWarpNearTarget4 = 4,
  kWarpToCoordinates = 5,  // "目標座標で指定"
};
// Coordinate bases (M12).
enum : int { kBaseRelative = 0, kBaseAbsolute = 1, kBaseScreen = 2 };

// The distance of the direction warps: (M27 x index + M26) half blocks.
double WarpDistance(const cCharaBase& actor, const cEdMove& settings) {
  return (static_cast<double>(settings.m_nM27) * actor.m_nClone + settings.m_nM26) * 16.0;
}

// The direction kind a character's direction rule gives for the warp's direction code. Older
// projects keep diagonals only for flying characters; newer ones always keep them.
int WarpDirection(const cCharaBase& chara, const cEdMove& settings) {
  const int flying = g_SystemData.m_bLegacy721 ? chara.m_bGravityFree : 1;
  return chara.ResolveDirection(settings.m_nDirection, 0, 1, flying);
}

// Moves by d along a direction kind; each axis move is followed by its after-move hook.
void ShiftAlong(cCharaBase& actor, int kind, double d) {
  const double diagonal = d * g_dHalfSqrt2;
  auto moveX = [&](double dx) {
    actor.m_dX += dx;
    actor.AfterMoveX();
  };
  auto moveY = [&](double dy) {
    actor.m_dY += dy;
    actor.AfterMoveY();
  };
  switch (kind) {
    case kMoveDirLeft: moveX(-d); break;
    case kMoveDirRight: moveX(d); break;
    case kMoveDirUp: moveY(-d); break;
    case kMoveDirDown: moveY(d); break;
    case kMoveDirUpLeft: moveX(-diagonal), moveY(-diagonal); break;
    case kMoveDirDownLeft: moveX(-diagonal), moveY(diagonal); break;
    case kMoveDirUpRight: moveX(diagonal), moveY(-diagonal); break;
    case kMoveDirDownRight: moveX(diagonal), moveY(diagonal); break;
    default: break;
  }
}

// Centres the actor's graphic on the target's, then shifts it by the distance in the direction the
// target's own direction rule gives (its front is the target's front).
bool WarpNearTarget(cCharaBase& actor, const cEdMove& settings, int slot) {
  const cCharaBase* target = VecAt(actor.m_apTargets, slot);
  if (!target) return false;
  actor.m_dX = target->m_dX - target->m_nHitOffsetX + target->m_nGraphicWidth / 2 + actor.m_nHitOffsetX -
               actor.m_nGraphicWidth / 2;
  actor.m_dY = target->m_dY - target->m_nHitOffsetY + target->m_nGraphicHeight / 2 + actor.m_nHitOffsetY -
               actor.m_nGraphicHeight / 2;
  actor.AfterMoveX();
  actor.AfterMoveY();
  ShiftAlong(actor, WarpDirection(*target, settings), WarpDistance(actor, settings));
  return true;
}

// The reference point of y is the bottom centre: "キャラの中央下", or "歩行なら中央下、飛行なら中心"
// for a walking character.
bool UsesFoot(const cCharaBase& actor, const cEdMove& settings) {
  return settings.m_nM14 == 1 || (settings.m_nM14 == 2 && !actor.m_bGravityFree);
}

// The centred placement of an absolute or screen warp: originX/Y are the map dots the offsets
// count from (the map's first cell, or the scroll position).
void PlaceCentred(cCharaBase& actor, const cEdMove& settings, double originX, double originY, double offsetX,
                  double offsetY, bool useX, bool useY, int footLift) {
  const int half = settings.m_nOffsetUnit == 0 ? 16 : 0;  // cell units aim at the middle of the cell
  if (useX) {
    actor.m_dX = originX + offsetX - actor.m_nWidth / 2 + half + 0.5;
    actor.AfterMoveX();
  }
  if (useY) {
    if (UsesFoot(actor, settings)) {
      actor.m_dY = originY + offsetY - actor.m_nHeight + footLift + half + 0.5;
    } else {
      actor.m_dY = originY + offsetY - actor.m_nHeight / 2 + half + 0.5;
    }
    actor.AfterMoveY();
  }
}

bool WarpToCoordinates(cCharaBase& actor, const cEdMove& settings, int forStatusOp) {
  const bool useX = settings.m_nM6 != 0;
  const bool useY = settings.m_nM7 != 0;
  const bool cells = settings.m_nOffsetUnit == 0;
  double offsetX = cells ? settings.m_nCellX * 32.0 + settings.m_nDotX : 0.0 + settings.m_nCellX + settings.m_nDotX;
  double offsetY = cells ? settings.m_nCellY * 32.0 + settings.m_nDotY : 0.0 + settings.m_nCellY + settings.m_nDotY;
  const cStageState* stage = g_lpSceneStage;
  switch (settings.m_nM12) {
    case kBaseRelative:
      if (actor.m_nFacing == 1) {
        if (settings.m_bMirrorX) offsetX = -offsetX;
        if (settings.m_bMirrorY) offsetY = -offsetY;
      }
      if (useX) {
        actor.m_dX += offsetX;
        actor.AfterMoveX();
      }
      if (useY) {
        actor.m_dY += offsetY;
        actor.AfterMoveY();
      }
      return true;
    case kBaseAbsolute:
      if (g_SystemData.m_bLegacy822 || (g_SystemData.m_bLegacy895 && forStatusOp)) {
        // Older projects put the character on the cell as placement does, then shift it by the dots.
        if (useX) {
          actor.SetGridX(settings.m_nCellX);
          actor.m_dX += settings.m_nDotX;
          actor.AfterMoveX();
        }
        if (useY) {
          actor.SetGridY(settings.m_nCellY, 1);
          actor.m_dY += settings.m_nDotY;
          actor.AfterMoveY();
        }
        return true;
      }
      PlaceCentred(actor, settings, StageOriginCells(0) * 32.0, StageOriginCells(1) * 32.0, offsetX, offsetY, useX,
                   useY, 16);
      return true;
    case kBaseScreen: {
      const double scrollX = stage ? stage->m_ScrollX.m_dPosition : 0.0;
      const double scrollY = stage ? stage->m_ScrollY.m_dPosition : 0.0;
      if (g_SystemData.m_bLegacy822) {
        // Older projects put the graphic's corner on the point, without centring.
        if (useX) {
          actor.m_dX = scrollX + actor.m_nHitOffsetX + offsetX;
          actor.AfterMoveX();
        }
        if (useY) {
          actor.m_dY = scrollY + actor.m_nHitOffsetY + offsetY;
          actor.AfterMoveY();
        }
        return true;
      }
      PlaceCentred(actor, settings, scrollX, scrollY, offsetX, offsetY, useX, useY,
                   g_SystemData.m_bLegacy894 ? 32 : 16);
      return true;
    }
    default: return true;
  }
}

// x2, y2 and the four cells from the position.
void RecomputeCells(cCharaBase& actor) {
  actor.m_dX2 = actor.m_dX + actor.m_nWidth - 1;
  actor.m_dY2 = actor.m_dY + actor.m_nHeight - 1;
  actor.m_nCellX = TruncToInt(actor.m_dX) >> 5;
  actor.m_nCellY = TruncToInt(actor.m_dY) >> 5;
  actor.m_nCellX2 = TruncToInt(actor.m_dX2) >> 5;
  actor.m_nCellY2 = TruncToInt(actor.m_dY2) >> 5;
}

}  // namespace

bool Warp(cCharaBase& actor, const cEdMove& settings, int forStatusOp) {
  const double savedX = actor.m_dX, savedY = actor.m_dY, savedX2 = actor.m_dX2, savedY2 = actor.m_dY2;
  actor.m_bFixedScreenX = 0;
  actor.m_bFixedScreenY = 0;

  const int kind = settings.m_nMoveKind;
  bool moved = false;
  if (kind == kWarpByDirection) {
    ShiftAlong(actor, WarpDirection(actor, settings), WarpDistance(actor, settings));
    moved = true;
  } else if (kind >= kWarpNearTarget1 && kind <= kWarpNearTarget4) {
    moved = WarpNearTarget(actor, settings, kind - kWarpNearTarget1);
  } else if (kind == kWarpToCoordinates) {
    moved = WarpToCoordinates(actor, settings, forStatusOp);
  }

  bool placed = false;
  if (moved) {
    RecomputeCells(actor);
    placed = !IsCharaPlaceBlocked(actor);
    if (!placed) {
      actor.m_dX = savedX, actor.m_dY = savedY, actor.m_dX2 = savedX2, actor.m_dY2 = savedY2;
      actor.AfterMoveX();
      actor.AfterMoveY();
      RecomputeCells(actor);
    }
  }
  if (kind == kWarpToCoordinates && settings.m_nM12 == kBaseScreen) {
    // A character put on the screen stays drawn there while the view moves in this frame.
    actor.UpdateScreenRect();
    actor.m_bFixedScreenX = 1;
    actor.m_bFixedScreenY = 1;
    actor.m_nFixedScreenX = actor.m_ScreenRect.left;
    actor.m_nFixedScreenY = actor.m_ScreenRect.top;
  }
  return placed;
}

int CmdWarp(cCharaBase& actor, cFlowCmd& cmd) {
  static const cEdMove kDefaults;
  const bool ok = Warp(actor, cmd.m_pMove ? *cmd.m_pMove : kDefaults, 0);
  // The item table has no parameter and ignores the result.
  if (!cmd.IsItemContext() && !cmd.m_anParams.empty() && VecAt(cmd.m_anParams, 0) != 0) StoreFlowResult(ok ? 1 : 2);
  return 0;
}
