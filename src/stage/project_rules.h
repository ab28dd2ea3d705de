#pragma once
// The project's switches that decide how a stage is set up, restarted and summoned into. Each
// compatibility switch is set for games made before the behaviour changed and keeps the older one.
#include "data/system_data.h"

// Every character runs its flows of the before-the-stage trigger, not only the active ones (and the
// activity pass does not run first).
inline bool StartFlowsOfEveryChara() { return g_SystemData.m_bLegacy697 != 0; }
// A restart keeps the hero placement as the last attempt's flows left it instead of restoring it.
inline bool KeepHeroPlacementAtRestart() { return g_SystemData.m_bLegacy827 != 0; }
// Characters' screen rectangles are not refreshed at the start of every logic sub-step.
inline bool NoScreenRectPerSubStep() { return g_SystemData.m_bLegacy837 != 0; }
// Objects that fly through blocks still occupy a summon's cell.
inline bool CountObjectsFlyingThrough() { return g_SystemData.m_bLegacy913 != 0; }
// A miss in story mode leads to the continue menu instead of straight to the retry.
inline bool ContinueMenuAfterMiss() { return g_SystemData.m_nStageOpt191 != 0; }
// The pause menu offers a story play the retry and the way back to the world map, and a challenge
// play the retry (each only in a world or challenge stage already cleared).
inline bool PauseOffersStoryRetry() { return g_SystemData.m_nStageOpt224a != 0; }
inline bool PauseOffersStoryWorldMap() { return g_SystemData.m_nStageOpt224b != 0; }
inline bool PauseOffersChallengeRetry() { return g_SystemData.m_nStageOpt757 != 0; }
// Placed and summoned characters' placement offsets move their home position too, except in projects
// made before that was changed.
inline bool HomeKeepsPlacementOffset() { return g_SystemData.m_bLegacy768 == 0; }
// While the pause menu is open the stage shows only its background layers under the menu.
inline bool HideStageWhilePaused() { return g_SystemData.m_bStageDrawOpt != 0; }
// Characters are drawn one by one, without ranking their draws by sheet (projects made before the
// characters' draws were grouped by texture).
inline bool NoCharaTextureGrouping() { return g_SystemData.m_bLegacy855 != 0; }
