// A character against the block characters: push-out, riding and the flying rule.
#include "stage/push_out.h"

#include "core/containers.h"
#include "core/numbers.h"
#include "objects/chara.h"
#include "objects/flow_runner.h"
#include "objects/play_objects.h"
#include "objects/stage_physics.h"
#include "stage/block_charas.h"
#include "stage/block_contact.h"
#include "stage/contact_rules.h"

namespace {

// Flow triggers of block-character contacts.
enum : int {
  kTriggerBlockChara = 7,
  kTriggerOnBlockChara = 8,
  kTriggerRiddenByHero = 18,
  kTriggerRiddenByChara = 19,
};

// A place the push-out may move the character to, with the speed and object number of the block
// character that gave it. None is held as -1.0: a place of exactly -1.0 counts as none.
struct cPushPos {
  static constexpr double kNone = -1.0;
  double dValue = kNone;
  double dSpeed = 0.0;
  int nNumber = 0;

  bool Found() const { return dValue != kNone; }
  // Takes v when none is held yet or v lies further right (down); true when taken.
  bool TakeMax(double v) {
    if (Found() && !(v > dValue)) return false;
    dValue = v;
    return true;
  }
  // Takes v when none is held yet or v lies further left (up).
  bool TakeMin(double v) {
    if (Found() && !(v < dValue)) return false;
    dValue = v;
    return true;
  }
};

// The lines of a rectangle the flying rule and the one-axis push-out test, each without the
// corner dots of the crossing edges.
cDblRect LeftEdge(const cDblRect& r) { return {r.left, r.top + 1, r.left, r.bottom - 1}; }
cDblRect RightEdge(const cDblRect& r) { return {r.right, r.top + 1, r.right, r.bottom - 1}; }
cDblRect TopEdge(const cDblRect& r) { return {r.left + 1, r.top, r.right - 1, r.top}; }
cDblRect BottomEdge(const cDblRect& r) { return {r.left + 1, r.bottom, r.right - 1, r.bottom}; }

// The upper half of a walking character, where side pushes are felt.
cDblRect UpperHalf(const cCharaBase& chara) {
  return {chara.m_dX, chara.m_dY, chara.m_dX2, chara.m_dY + chara.m_nHeight / 2};
}

void SetRiddenRect(cCharaBase& chara, const cDblRect& rect) { static_cast<cDblRect&>(chara.m_PushRect) = rect; }

// The hero stands on no floor block of its own while it rides.
void ClearHeroFloorFlag() { VecAt(g_HeroList, 0).m_bFloorKind2 = 0; }

// The rider stays on (or moves over to) q: no air time, not in the air, q's place remembered.
void KeepRiding(cCharaBase& chara, const cChara& q) {
  chara.m_nAirCount = 0;
  chara.m_bInAir = 0;
  chara.m_nRiddenId = q.m_nNumber;
  SetRiddenRect(chara, RectOf(q));
}

// Puts the character just under q, as if it had hit q from below.
void PushUnder(cCharaBase& chara, const cChara& q) {
  chara.SetCeilingJumpFlags();
  chara.m_dImpactY = 0.0;
  if (!KeepKnockbackUnderChara()) chara.EndKnockback();
  chara.m_dSpeedY = q.m_dSpeedY;
  chara.m_dY = q.m_dY2 + 1;
  chara.AfterMoveY();
}

// The first block character over the character's upper half as it stands now.
cChara* FirstOverUpperHalf(const cCharaBase& chara, std::list<cChara>& list) {
  const cDblRect upper = UpperHalf(chara);
  for (cChara& q : list)
    if (IsBlockCharaFor(q, chara.m_nNumber) && OverlapWidthsOf(upper, RectOf(q)).dX != 0) return &q;
  return nullptr;
}

// A side push that moves the character to a place unless the pusher is the character it rides.
void PushSideways(cCharaBase& chara, const cPushPos& pos) {
  chara.m_dImpactX = 0.0;
  if (!(chara.m_bRiding && pos.nNumber == chara.m_nRiddenId)) chara.m_bPushed = 1;
  chara.m_dX = pos.dValue;
  chara.AfterMoveX();
}

// The edge lines of r (without their corner dots) that q touches on one axis: each sets that side's
// contact with q as the toucher and offers a place just clear of q, with q's speed on the axis and its
// number: before (left or top) the largest, after (right or bottom) the smallest.
void TouchEdges(cCharaBase& chara, const cDblRect& r, const cChara& q, int axis, cPushPos& before, cPushPos& after) {
  const cDblRect qr = RectOf(q);
  const bool horizontal = axis == kPushAxisHorizontal;
  const double speed = horizontal ? q.m_dSpeedX : q.m_dSpeedY;
  if (IsOverlapRect(horizontal ? LeftEdge(r) : TopEdge(r), qr)) {
    if (horizontal)
      chara.SetContactLeft(q);
    else
      chara.SetContactTop(q);
    if (before.TakeMax(horizontal ? qr.right + 1 : qr.bottom + 1)) {
      before.dSpeed = speed;
      before.nNumber = q.m_nNumber;
    }
  }
  if (IsOverlapRect(horizontal ? RightEdge(r) : BottomEdge(r), qr)) {
    if (horizontal)
      chara.SetContactRight(q);
    else
      chara.SetContactBottom(q);
    if (after.TakeMin(horizontal ? qr.left - chara.m_nWidth : qr.top - chara.m_nHeight)) {
      after.dSpeed = speed;
      after.nNumber = q.m_nNumber;
    }
  }
}

// Moves a colliding flyer to a place found on one side (axis: the side's axis), unless the block
// character there moves away from it while the flyer does not follow: then that side's contact goes
// and the flyer is pushed out on the other axis instead.
void PushFlyer(cCharaBase& chara, const cPushPos& pos, bool movesAway, int32_t& contact, int axis,
               std::list<cChara>& list) {
  if (!pos.Found()) return;
  (axis == kPushAxisHorizontal ? chara.m_dImpactX : chara.m_dImpactY) = 0.0;
  if (movesAway) {
    contact = 0;
    ResolveBlockCharasAxis(chara, axis == kPushAxisHorizontal ? kPushAxisVertical : kPushAxisHorizontal, list);
  } else if (axis == kPushAxisHorizontal) {
    chara.m_dX = pos.dValue;
    chara.m_bPushed = 1;
    chara.AfterMoveX();
  } else {
    chara.m_dY = pos.dValue;
    chara.AfterMoveY();
  }
}

int PushOutFlying(cCharaBase& chara, std::list<cChara>& list) {
  const cDblRect r = RectOf(chara);
  cPushPos left, right, top, bottom;
  bool touched = false;
  for (cChara& q : list) {
    if (!IsBlockCharaFor(q, chara.m_nNumber)) continue;
    const cDblRect qr = RectOf(q);
    const cOverlapWidths w = OverlapWidthsOf(r, qr);
    if (w.dX == 0) continue;
    touched = true;
    if (w.dX <= w.dY)
      TouchEdges(chara, r, q, kPushAxisHorizontal, left, right);
    else
      TouchEdges(chara, r, q, kPushAxisVertical, top, bottom);
  }
  if (touched) TriggerFlows(chara, kTriggerBlockChara);
  if (DiesOnBlocks(chara)) return left.Found() || right.Found() || top.Found() || bottom.Found() ? kContactFatal : 0;

  const double vx = chara.m_dSpeedX;
  const double vy = chara.m_dSpeedY;
  PushFlyer(chara, left, left.dSpeed < 0 && vx >= 0, chara.m_bContactLeft, kPushAxisHorizontal, list);
  PushFlyer(chara, right, right.dSpeed > 0 && vx <= 0, chara.m_bContactRight, kPushAxisHorizontal, list);
  PushFlyer(chara, top, top.dSpeed < 0 && vy >= 0, chara.m_bContactTop, kPushAxisVertical, list);
  PushFlyer(chara, bottom, bottom.dSpeed > 0 && vy <= 0, chara.m_bContactBottom, kPushAxisVertical, list);
  return 0;
}

int PushOutWalking(cCharaBase& chara, std::list<cChara>& list) {
  const double n = StageSubStepsD();
  const bool loose = LooseCharaLanding();
  const bool player = IsPlayerOperated(chara);
  const int width = chara.m_nWidth;
  const int height = chara.m_nHeight;
  const cDblRect r = RectOf(chara);
  const cDblRect p = chara.m_PrevRect;
  const cDblRect upper = UpperHalf(chara);
  const cDblRect upperLeft = {r.left, r.top, r.left, upper.bottom};
  const cDblRect upperRight = {r.right, r.top, r.right, upper.bottom};
  const cDblRect wholeLeft = {r.left, r.top, r.left, r.bottom};
  const cDblRect wholeRight = {r.right, r.top, r.right, r.bottom};
  const cDblRect feet = {r.left + 1, r.bottom - height / 3, r.right - 1, r.bottom};
  // The columns the character stood in last frame at the rows it stands in now.
  const cDblRect prevColumns = {p.left, r.top, p.right, r.bottom};

  cPushPos left, right, top, bottom;
  cChara* landedOn = nullptr;
  bool touched = false;

  // Half a dot of gap is left on either side of a side push.
  const auto pushFromLeft = [&](cChara& q) {
    chara.SetContactLeft(q);
    if (left.TakeMax(q.m_dX2 + 1.5)) left.nNumber = q.m_nNumber;
  };
  const auto pushFromRight = [&](cChara& q) {
    chara.SetContactRight(q);
    if (right.TakeMin(q.m_dX - width - 0.5)) right.nNumber = q.m_nNumber;
  };
  const auto landOnto = [&](cChara& q) {
    if (q.m_dSpeedY < 0) chara.SetContactBottom(q);
    if (bottom.TakeMin(q.m_dY - height)) {
      bottom.dSpeed = q.m_dSpeedY;
      landedOn = &q;
      chara.m_nRiddenId = q.m_nNumber;
      SetRiddenRect(chara, RectOf(q));
    }
  };
  const auto bumpInto = [&](cChara& q) {
    if (q.m_dSpeedY > 0) chara.SetContactTop(q);
    if (top.TakeMax(q.m_dY2 + 1)) {
      top.dSpeed = q.m_dSpeedY;
      top.nNumber = q.m_nNumber;
    }
    if (chara.m_bRiding && chara.m_dSpeedY < 0) chara.SetContactBottom(q);
  };

  for (cChara& q : list) {
    if (!IsBlockCharaFor(q, chara.m_nNumber)) continue;
    const cDblRect qr = RectOf(q);
    if (!IsOverlapRect(r, qr)) continue;
    touched = true;
    const cOverlapWidths w1 = OverlapWidthsOf(upper, qr);
    if (w1.dX != 0) {
      const cDblRect qp = q.m_PrevRect;
      const cOverlapWidths w2 = OverlapWidthsOf(p, qr);
      const cOverlapWidths w3 = OverlapWidthsOf(prevColumns, qp);
      if (chara.m_dSpeedY > 2.0 / n && w3.dX != 0 && p.top < qp.top && (loose || p.bottom < qp.bottom)) {
        landOnto(q);  // falling fast onto q from above it
      } else if (w1.dX - w1.dY > 0.4 / n && r.bottom > qr.bottom && (loose || r.top > qr.top)) {
        bumpInto(q);  // q lies over the character's head by its shape
      } else if (w3.dX != 0 && p.top > qp.top && w2.dX == 0) {
        bumpInto(q);  // the character came up under q
      } else if (chara.m_dSpeedX < 0) {
        if (IsOverlapRect(upperLeft, qr))
          pushFromLeft(q);
        else if (IsOverlapRect(upperRight, qr))
          pushFromRight(q);
      } else {
        if (IsOverlapRect(upperRight, qr))
          pushFromRight(q);
        else if (IsOverlapRect(upperLeft, qr))
          pushFromLeft(q);
      }
    } else {
      // Only the lower part overlaps: a tall overlap is a wall, else q may be under the feet.
      const cOverlapWidths w = OverlapWidthsOf(r, qr);
      if (w.dY > w.dX) {
        if (IsOverlapRect(wholeRight, qr)) pushFromRight(q);
        if (IsOverlapRect(wholeLeft, qr)) pushFromLeft(q);
      } else if (IsOverlapRect(feet, qr)) {
        landOnto(q);
      }
    }
  }

  bool landed = false;
  bool squeezed = false;
  if (top.Found() && !bottom.Found()) {
    // Pushed from above only. A block character moving up takes the character with it only when
    // the place under it is free of map blocks and of other block characters.
    bool free = true;
    if (top.dSpeed < 0) {
      // The trial place changes only y: its recorded cells, and so its map test, are the character's.
      const cDblRect trial = {r.left, top.dValue, r.right, r.bottom};
      free = !chara.CornersInSolidTile() && !OverlapsBlockCharaExcept(trial, chara.m_nNumber, top.nNumber, list);
    }
    if (free) {
      chara.SetCeilingJumpFlags();
      chara.m_dImpactY = 0.0;
      if (!KeepKnockbackUnderChara()) chara.EndKnockback();
      chara.m_dSpeedY = top.dSpeed;
      chara.m_dY = top.dValue;
      chara.AfterMoveY();
      TestBlocksBottomTop(chara);
    }
  } else if (left.Found() && right.Found() && !bottom.Found()) {
    // Squeezed sideways while standing on no block character: no side push at all; the character
    // goes under whatever lies over its upper half.
    if (cChara* q = FirstOverUpperHalf(chara, list)) PushUnder(chara, *q);
    chara.m_bContactLeft = 0;
    chara.m_bContactRight = 0;
    left = cPushPos();
    right = cPushPos();
    squeezed = true;
  } else if (bottom.Found() && !(left.Found() && right.Found())) {
    if (bottom.dSpeed > 0 && chara.CornersInSolidTile()) {
      // The floor moves down out from under a character held by map blocks.
      chara.StopRiding(0);
    } else {
      chara.m_dImpactY = 0.0;
      landed = true;
      if (!chara.m_bRiding) {
        chara.m_bRiding = 1;
        if (landedOn) {
          if (player) TriggerFlowsWith(*landedOn, kTriggerRiddenByHero, &chara, 0);
          TriggerFlowsWith(*landedOn, kTriggerRiddenByChara, &chara, 0);
        }
      }
      chara.m_dY = bottom.dValue;
      chara.AfterMoveY();
      chara.m_dSpeedY = 0.0;
      chara.ClearFallState();
      if (player) ClearHeroFloorFlag();
    }
  }

  if (!squeezed) {
    if (left.Found()) PushSideways(chara, left);
    if (right.Found()) PushSideways(chara, right);
    if (left.Found() && right.Found() && !bottom.Found()) {
      // Pushed from both sides and from above: back to where it stood, under the block character.
      chara.m_dX = r.left;
      chara.AfterMoveX();
      if (cChara* q = FirstOverUpperHalf(chara, list)) {
        PushUnder(chara, *q);
        if (q->m_dSpeedY > 0) chara.SetContactTop(*q);
      }
      chara.m_bContactLeft = 0;
      chara.m_bContactRight = 0;
    }
  }

  // Untouched and not riding, nothing has moved the character or run a flow since the loop above
  // found no block character over its rectangle, so none covers its top-left corner: it cannot be
  // embedded, and the embedding test need not look.
  bool mayBeEmbedded = touched || !(r.right >= r.left && r.bottom >= r.top);
  if (touched) {
    TriggerFlows(chara, kTriggerBlockChara);
    if (chara.m_bRiding) {
      if (player) ClearHeroFloorFlag();
      TriggerFlows(chara, kTriggerOnBlockChara);
    }
  } else if (chara.m_bRiding) {
    mayBeEmbedded = true;
    if (player) ClearHeroFloorFlag();
    TriggerFlows(chara, kTriggerBlockChara);
    TriggerFlows(chara, kTriggerOnBlockChara);
  }

  const bool crushed = (chara.m_bContactLeft && chara.m_bContactRight) ||
                       (chara.m_bContactTop && chara.m_bContactBottom) ||
                       (mayBeEmbedded && IsEmbeddedInBlockCharas(chara, r, list));
  if (!crushed) {
    // Settling out of map blocks the push moved the character into, back toward the pusher.
    const bool byContacts = NudgeByContacts();
    if (byContacts ? chara.m_bContactLeft != 0 : left.Found()) SettleOutOfBlocks(chara, -kSettleStep, 0.0);
    if (byContacts ? chara.m_bContactRight != 0 : right.Found()) SettleOutOfBlocks(chara, kSettleStep, 0.0);
    if (byContacts ? chara.m_bContactTop != 0 : top.Found()) SettleOutOfBlocks(chara, 0.0, -kSettleStep);
    if (byContacts ? chara.m_bContactBottom != 0 : bottom.Found()) SettleOutOfBlocks(chara, 0.0, kSettleStep);
  }

  if (chara.m_bRiding && !landed) {
    if (chara.m_dKnockY < 0) {
      chara.StopRiding(1);  // knocked upward off the ride
    } else if (IsStillOnRiddenChara(chara, list)) {
      if (const cChara* q = FindCharaByNumber(list, chara.m_nRiddenId)) KeepRiding(chara, *q);
    } else if (const cChara* q = FindBlockCharaUnderFeet(chara, list)) {
      KeepRiding(chara, *q);
    } else {
      chara.StopRiding(1);
    }
  }
  return crushed ? kContactFatal : 0;
}

}  // namespace

int PushOutOfBlockCharas(cCharaBase& chara, std::list<cChara>& list) {
  if (FliesThroughBlocks(chara)) return 0;
  if (chara.m_bGravityFree) return PushOutFlying(chara, list);
  return PushOutWalking(chara, list);
}

void ResolveBlockCharasAxis(cCharaBase& chara, int axis, std::list<cChara>& list) {
  if (FliesThroughBlocks(chara)) return;
  const cDblRect r = RectOf(chara);
  cPushPos before, after;  // the top (left) and the bottom (right) place
  for (const cChara& q : list)
    if (IsBlockCharaFor(q, chara.m_nNumber) && OverlapWidthsOf(r, RectOf(q)).dX != 0)
      TouchEdges(chara, r, q, axis, before, after);
  for (const cPushPos* pos : {&before, &after}) {
    if (!pos->Found()) continue;
    if (axis == kPushAxisVertical) {
      chara.m_dY = pos->dValue;
      chara.AfterMoveY();
    } else {
      chara.m_dX = pos->dValue;
      if (!(chara.m_bRiding && pos->nNumber == chara.m_nRiddenId)) chara.m_bPushed = 1;
      chara.AfterMoveX();
    }
  }
}

void FollowRiddenChara(cCharaBase& chara, std::list<cChara>& list) {
  if (!chara.m_bRiding || chara.m_bGravityFree) return;
  cChara* q = FindCharaByNumber(list, chara.m_nRiddenId);
  if (!q) return;
  chara.m_dSpeedX += q->m_dX - chara.m_PushRect.left;
  if (q->m_bGravityFree || !RideIgnoresGroundedY() || q->m_bInAir) chara.m_dSpeedY = q->m_dY - chara.m_PushRect.top;
  if (IsPlayerOperated(chara)) TriggerFlowsWith(*q, kTriggerRiddenByHero, &chara, 0);
  TriggerFlowsWith(*q, kTriggerRiddenByChara, &chara, 0);
}
