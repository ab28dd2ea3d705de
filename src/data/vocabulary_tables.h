// Constant vocabulary of the flow model: command kinds, triggers, status rows, effect parameter
// rows, shot and trajectory rows, and the editor's label tables. Every code stored in the game
// files is a row number of one of these tables. The parameter counts of the two command-kind
// tables, the effect parameter defaults and the shot parameter minimums steer the game; the other
// tables only give names.
//
// All texts are Shift-JIS at run time. Every label table ends with an empty string after its last
// row, so its row count is the array size minus one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One command kind: name and the number of int parameters a command of that kind carries.
struct CMDKIND {
  const char* name;
  int32_t nParams;
};

// One effect / shot / trajectory parameter row. A null label is stored as "".
struct cEffectParam {
  const char* name;
  int16_t nMin;
  int16_t nMax;
  int16_t nDefault;
  constexpr cEffectParam() : name(""), nMin(0), nMax(0), nDefault(0) {}
  constexpr cEffectParam(const char* label, int16_t min, int16_t max, int16_t def)
      : name(label ? label : ""), nMin(min), nMax(max), nDefault(def) {}
};

// One status (or system value) row: value range, operand range and three flags.
// Flag 2: "最大値に対する％で指定" applies; flag 3: "現在値に対する％で指定" applies.
struct cStatusParam {
  const char* name;
  int32_t nMin, nMax;
  int32_t nOperandMin, nOperandMax;
  int32_t nFlag1, nFlag2, nFlag3;
};

// One status effect: range, default and the label of each value (value v shows label v - min).
struct cStatusEffect {
  std::string name;
  int32_t nMin, nMax, nDefault;
  std::vector<std::string> labels;
};

// Command kinds per context: context 0 (characters, blocks, the stage) and context 1 (items).
constexpr int kCharaCmdKindCount = 40;
constexpr int kItemCmdKindCount = 25;
extern const CMDKIND g_CharaCmdKinds[kCharaCmdKindCount];
extern const CMDKIND g_ItemCmdKinds[kItemCmdKindCount];

// Flow triggers (the trigger code of a flow), 27 rows and the end entry.
constexpr int kFlowTriggerCount = 27;
extern const char* const g_FlowTriggerNames[kFlowTriggerCount + 1];

// Status rows (status conditions and operations) and system values ("システム" owner).
constexpr int kStatusParamCount = 17;
constexpr int kSystemValueCount = 5;
extern const cStatusParam g_StatusParams[kStatusParamCount];
extern const cStatusParam g_SystemValueParams[kSystemValueCount];

// Status effects (7 rows) and the second, empty table of two rows.
constexpr int kStatusEffectCount = 7;
extern const cStatusEffect g_StatusEffects[kStatusEffectCount];
extern const cStatusEffect g_StatusEffects2[2];

// Character effects: names of codes 0-16 (0 none), five parameter rows per code, speed notes.
constexpr int kCharaEffectKindCount = 17;
constexpr int kEffectParamsPerKind = 5;
extern const char* const g_CharaEffectNames[kCharaEffectKindCount + 1];
extern const cEffectParam g_CharaEffectParams[kCharaEffectKindCount * kEffectParamsPerKind];
extern const std::string g_CharaEffectNotes[kCharaEffectKindCount];

// Screen effects: names of codes 0-13, five parameter rows per code, speed notes.
constexpr int kScrEffectKindCount = 14;
extern const char* const g_ScrEffectNames[kScrEffectKindCount + 1];
extern const cEffectParam g_ScrEffectParams[kScrEffectKindCount * kEffectParamsPerKind];
extern const std::string g_ScrEffectNotes[kScrEffectKindCount];

// Shot kinds (6) and trajectories (10), three parameter rows each.
constexpr int kShotKindCount = 6;
constexpr int kTrajectoryCount = 10;
constexpr int kShotParamsPerKind = 3;
extern const char* const g_ShotKindNames[kShotKindCount + 1];
extern const cEffectParam g_ShotKindParams[kShotKindCount * kShotParamsPerKind];
extern const char* const g_TrajectoryNames[kTrajectoryCount + 1];
extern const cEffectParam g_TrajectoryParams[kTrajectoryCount * kShotParamsPerKind];

// Parameter row p (0-based) of an effect kind; an out-of-range kind or row yields an empty row.
const cEffectParam& CharaEffectParam(int kind, int p);
const cEffectParam& ScrEffectParam(int kind, int p);
const cEffectParam& ShotKindParam(int kind, int p);
const cEffectParam& TrajectoryParam(int kind, int p);

// A label table: its rows and their count (the end entry not counted).
struct cLabelTable {
  const char* const* rows;
  int count;
  const char* At(int code) const { return code >= 0 && code < count ? rows[code] : ""; }
};

// Label tables, named after what they label. The order of rows is the stored code.
namespace labels {
extern const cLabelTable kCondKinds, kCondModes, kDistanceRefs, kDistanceShapes, kInsideOutside, kAreaDisplay;
extern const cLabelTable kLettersDash, kLettersAll, kLettersLower;
extern const cLabelTable kOwnersSelfA, kOwnersSelfB, kOwnersSelfSystem, kOwnersHero, kOwnersHeroSystem;
extern const cLabelTable kFlowOps, kFlowOpTargets;
extern const cLabelTable kValueKinds3, kValueKinds2, kOperandSources5, kOperandSources4, kVarKinds2, kVarKinds4,
    kCalcModes, kCoords3a, kCoords3b, kCoords4, kOnOnly;
extern const cLabelTable kStates, kKeyLogic, kKeyStates;
extern const cLabelTable kStageClear, kClearFacing;
extern const cLabelTable kMessagePos, kPicturePos, kDisplayTimeA, kDisplayTimeB;
extern const cLabelTable kTargetSetting, kSearchRange, kTargetNone;
extern const cLabelTable kEraseKinds, kEraseRange;
extern const cLabelTable kPalettesA, kPalettesB, kPaletteCommonA, kPaletteCommonB, kItemChoice, kBlockSummon,
    kShotTarget;
extern const cLabelTable kEffectPlay, kShowHide;
extern const cLabelTable kMoveBy, kMoveByTarget, kMoveDirs, kUnitsBl, kUnitsHbl, kAnchor, kTargets, kTurning,
    kMoveAnime, kFacing, kTimingA, kTimingB, kJumpHeight;
}  // namespace labels

// Rows of the movement direction table (labels::kMoveDirs).
enum : int {
  kMoveDirFront = 0,
  kMoveDirBack,
  kMoveDirLeft,
  kMoveDirRight,
  kMoveDirFrontY,
  kMoveDirBackY,
  kMoveDirUp,
  kMoveDirDown,
  kMoveDirUpLeft,
  kMoveDirDownLeft,
  kMoveDirUpRight,
  kMoveDirDownRight,
  kMoveDirInput
};

// Converts an input direction code 0-9 into a row of the movement direction table for commands
// whose direction is "入力方向". Code 0 (and code 9 when flag is 0) gives the facing default.
// nPlaybackVersion is the data version of the replay being played back, or 0 when none plays:
// versions up to 777 behave as flag 1, 778 and 779 as flag 0. The version is passed by the
// caller so that a file loaded during playback cannot change how directions map.
int MapDirKind(int code, int flag, int bFacingRight, uint32_t nPlaybackVersion = 0);
