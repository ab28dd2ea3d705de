#pragma once
// What the map contact and the push-out ask of a character and of the project: how it flies, who
// operates it, and the project's compatibility switches that keep older games' contact rules.
#include "data/system_data.h"
#include "objects/chara_base.h"

// A flying character passes through blocks (flight mode 0), collides (1) or dies on them (2); a
// walking character is never one of these.
inline bool FliesThroughBlocks(const cCharaBase& chara) { return chara.m_bGravityFree && chara.m_nFlightMode == 0; }
inline bool FliesColliding(const cCharaBase& chara) { return chara.m_bGravityFree && chara.m_nFlightMode == 1; }
inline bool DiesOnBlocks(const cCharaBase& chara) { return chara.m_bGravityFree && chara.m_nFlightMode == 2; }
// Operated by a player (the hero) rather than by the computer.
inline bool IsPlayerOperated(const cCharaBase& chara) { return chara.m_nControl == 0; }

// Older contact rules: the right-hand snap leaves a whole dot, no 0.1-dot settling, toucher speeds
// are not recorded, the embedding test reaches the right edge itself.
inline bool LegacyContactRule() { return g_SystemData.m_bLegacy912 != 0; }
// A bottom contact lands a walking character even while it rises.
inline bool LandWhileRising() { return g_SystemData.m_bLegacy677 != 0; }
// The ground follow only adds one dot of fall speed instead of probing the ground below the feet.
// Games saved before the switch existed keep the probe: it is on exactly when the stored
// compatibility switch is clear.
inline bool SimpleGroundFollow() { return g_SystemData.m_bLegacy793 == 0; }
// A block character pushing down on a character does not end its knock-back.
inline bool KeepKnockbackUnderChara() { return g_SystemData.m_bLegacy808 != 0; }
// The push-out settles a character out of map blocks by its contact flags instead of by the
// positions it was pushed to.
inline bool NudgeByContacts() { return g_SystemData.m_bLegacy818a != 0; }
// Landing on and bumping into block characters ask less of the previous rectangles.
inline bool LooseCharaLanding() { return g_SystemData.m_bLegacy839 != 0; }
// A rider takes the vertical movement of a walking block character only while that one is in the air.
inline bool RideIgnoresGroundedY() { return g_SystemData.m_nStageOpt845 != 0; }
// A defeated character stays to show its defeat instead of being removed at once.
inline bool KeepDefeatedCharas() { return g_SystemData.m_nStageOpt272 != 0; }
// Both characters of a body contact take their damage before either fires its hit triggers, unless
// the project fires each one's triggers right after its own damage.
inline bool BodyHitTriggersAtOnce() { return g_SystemData.m_bLegacy763a != 0; }
// A harmless shot (no power, no impact, no reward) only touches: no damage step, no hit sound.
inline bool HarmlessShotSkipsHit() { return g_SystemData.m_bLegacy763b != 0; }
