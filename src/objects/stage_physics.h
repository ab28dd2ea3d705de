#pragma once
// The stage's physics values, derived once per stage from its hit-check level and gravity setting
// (cStageData::SetHitCheckLevel on g_StageFile) and read by every object all play long. Each frame
// runs n logic sub-steps; speeds are dots per sub-step, gravity is divided by n squared.
#include "data/stage_data.h"

// n: logic sub-steps per frame (the level, or level - 10 for levels 11-19).
inline int StageSubSteps() { return g_StageFile.m_nSubSteps; }
// n as a double; the stage's speed scale.
inline double StageSubStepsD() { return g_StageFile.m_dSubSteps; }
// 6n: sub-steps in a tenth of a second.
inline int StageSubSteps6() { return g_StageFile.m_nSubSteps6; }
// n squared.
inline double StageSubStepsSq() { return g_StageFile.m_dSubStepsSq; }
// 8n.
inline int StageSubSteps8() { return g_StageFile.m_nSubSteps8; }
// The speed limit per frame: 6n, or 60 for levels 11-19.
inline double StageSpeedLimit() { return g_StageFile.m_dSpeedLimit; }
// The speed limit per sub-step: the per-frame limit / n.
inline double StageSpeedLimitPerStep() { return g_StageFile.m_dSpeedLimitPerStep; }
// Gravity per sub-step: the stage's gravity setting / n squared.
inline double StageGravity() { return g_StageFile.m_dGravityPerStep; }
// The gravity setting as stored in the stage file (before the division by n squared).
inline double StageGravitySetting() { return g_StageFile.m_dGravity; }
