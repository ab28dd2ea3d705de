#pragma once
// The patterns of the shot command: a number of shots of one of six kinds whose start positions,
// directions and speeds follow from the command's shot settings and the firing character, and the
// ten trajectories shots follow while they fly. The same pattern loop places the summoned blocks,
// characters and items of the three summon commands.
#include <list>

#include "data/move_shot.h"
#include "objects/shot.h"

class cCharaBase;
class cCmdState;

// Shot kinds (S2) and trajectories (S28).
constexpr int kShotKindFunctions = 6;
constexpr int kTrajectoryFunctions = 10;

// One shot kind: fires (or places) the shots of one launch of the pattern.
using ShotKindFunction = void (*)(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                                  SHOTLAUNCH& launch);
// One trajectory step of a flying shot.
using TrajectoryFunction = void (*)(cShot& shot);

// The shot command's pattern (once per frame while the command runs), for command kind 11.
void StepShotPattern(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings);
// The same loop for the summon commands (kinds 13-15), with the type named by the settings.
void SummonBlockPattern(cCharaBase& firer, cCmdState& state, const cEdShot& settings);
void SummonCharaPattern(cCharaBase& firer, cCmdState& state, const cEdShot& settings);
void SummonItemPattern(cCharaBase& firer, cCmdState& state, const cEdShot& settings);
// Creates one shot (appended to the stage's shot list and its group's index) or places one summon.
void FireShotOrSummon(std::list<cShot>& shots, const SHOTLAUNCH& launch, cCharaBase& firer, cCmdState& state,
                      const cEdShot& settings);
// The angle toward the aim target from (x, y).
int AimAngle(int x, int y, cCharaBase& firer, const cEdShot& settings, const SHOTLAUNCH& launch);

// The six kinds: "直進A", "直進B", "拡散", "落雷", "爆発", "包囲".
void ShotKindStraightA(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                       SHOTLAUNCH& launch);
void ShotKindStraightB(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                       SHOTLAUNCH& launch);
void ShotKindFan(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                 SHOTLAUNCH& launch);
void ShotKindLightning(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                       SHOTLAUNCH& launch);
void ShotKindExplosion(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                       SHOTLAUNCH& launch);
void ShotKindSurround(std::list<cShot>& shots, cCharaBase& firer, cCmdState& state, const cEdShot& settings,
                      SHOTLAUNCH& launch);
extern const ShotKindFunction g_ShotKindFunctions[kShotKindFunctions];

// The ten trajectories ("直進", "主人公を狙う", "近いキャラを狙う", "ターゲットを狙う", "主人公へ誘導",
// "近いキャラへ誘導（対象死亡時、誘導を無効化）", "ターゲットへ誘導", "近いキャラへ誘導（対象死亡時、対象を変更）",
// "ウェーブ", "落下"); entries 5 and 7 are the same function.
void TrajectoryStraight(cShot& shot);
void TrajectoryAimHero(cShot& shot);
void TrajectoryAimNearest(cShot& shot);
void TrajectoryAimTarget(cShot& shot);
void TrajectoryHomeHero(cShot& shot);
void TrajectoryHomeNearest(cShot& shot);
void TrajectoryHomeTarget(cShot& shot);
void TrajectoryWave(cShot& shot);
void TrajectoryFall(cShot& shot);
extern const TrajectoryFunction g_TrajectoryFunctions[kTrajectoryFunctions];
// Steers the shot's velocity at a character's graphic centre, then splits the acceleration anew.
void SteerTo(cShot& shot, const cCharaBase& target);
