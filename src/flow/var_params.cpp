// Applying the arrange command's pending entries: where each settable entry of a command lives, the
// source value from a variable, the operation with the entry's limits, and the check of database
// and palette references before the value is written.
#include "flow/var_params.h"

#include <initializer_list>

#include "core/containers.h"
#include "data/database.h"
#include "data/palette.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/vocabulary_tables.h"
#include "objects/chara_base.h"
#include "objects/flow_state.h"
#include "objects/hero.h"
#include "objects/stage_state.h"
#include "objects/status_values.h"

namespace {

// Where an entry lives: a 1-, 2- or 4-byte field, or nowhere.
struct cFieldRef {
  void* lpField = nullptr;
  int nWidth = 0;
};

cFieldRef Ref(int8_t& field) { return {&field, 1}; }
cFieldRef Ref(int16_t& field) { return {&field, 2}; }
cFieldRef Ref(int32_t& field) { return {&field, 4}; }

// The command parameter of an entry of the parameter-based kinds; -1 when none.
int ParamIndexOf(const cFlowCmd& cmd, int kind, int entry) {
  auto pick = [entry](std::initializer_list<int> map) {
    return entry >= 0 && static_cast<size_t>(entry) < map.size() ? map.begin()[entry] : -1;
  };
  switch (kind) {
    case 17: return pick({1, 6, 7, 3, 4});
    case 19: return pick({13, 1, 2, 3, 4});
    case 21: return pick({2, 10, 13});
    case 22: return pick({Param(cmd, 0) == 2 ? 5 : 2, 8, 9, 10, Param(cmd, 7) == 4 ? 15 : 12});
    case 24:
    case 25: return pick({1});
    case 26: return pick({1, 2});
    case 29: return pick({0, 2, 3, 4, 5, 7});
    case 30:
    case 31:
    case 34:
    case 35:
    case 36: return pick({0});
    case 32: return pick({0, 13, 2, 3, 4, 5, 7});
    case 33: return pick({0, 1, 2, 3});
    default: return -1;
  }
}

// Movement settings: kinds 2 and 5 (offsets, angle), 6 (homing delay, offsets), 20 (warp distance,
// target and offsets). The distance and homing values are the base and the step per index value.
cFieldRef MoveField(cEdMove& m, int kind, int entry) {
  switch (kind) {
    case 2:
    case 5: {
      int16_t* fields[] = {&m.m_nCellX, &m.m_nDotX, &m.m_nCellY, &m.m_nDotY, &m.m_nAngle, &m.m_nAngleStep};
      return entry >= 0 && entry < 6 ? Ref(*fields[entry]) : cFieldRef{};
    }
    case 6: {
      int16_t* fields[] = {&m.m_nM29, &m.m_nM30, &m.m_nCellX, &m.m_nDotX, &m.m_nCellY, &m.m_nDotY};
      return entry >= 0 && entry < 6 ? Ref(*fields[entry]) : cFieldRef{};
    }
    case 20: {
      int16_t* fields[] = {&m.m_nM26, &m.m_nM27, &m.m_nCellX, &m.m_nCellY, &m.m_nDotX, &m.m_nDotY};
      return entry >= 0 && entry < 6 ? Ref(*fields[entry]) : cFieldRef{};
    }
    default: return {};
  }
}

// Shot settings of the shot, sword and summon commands; the sound entries are the command's own
// sound number.
cFieldRef ShotField(cFlowCmd& cmd, int kind, int entry) {
  cEdShot* s = cmd.m_pShot.get();
  const int soundEntry = kind == 11 ? 14 : kind == 12 ? 6 : kind == 13 ? 7 : kind == 14 ? 9 : 8;
  if (entry == soundEntry) return Ref(cmd.m_nSound);
  if (!s) return {};
  switch (kind) {
    case 11:
      switch (entry) {
        case 0: return Ref(s->m_nGraphic);
        case 1: return Ref(s->m_nS21);  // Z
        case 2:
        case 3:
        case 4: return Ref(s->m_anPattern[entry - 2]);
        case 5: return Ref(s->m_nPerRow);
        case 6: return Ref(s->m_nExtraShots);
        case 7: return Ref(s->m_nAngle);
        case 8: return Ref(s->m_nAngleStep);
        case 9: return Ref(s->m_nSpread);
        case 10: return Ref(s->m_nOffsetX);
        case 11: return Ref(s->m_nStepX);
        case 12: return Ref(s->m_nOffsetY);
        case 13: return Ref(s->m_nStepY);
        case 15: return Ref(s->m_nShotGroup);
        case 16:
        case 17:
        case 18: return Ref(s->m_anTrajectory[entry - 16]);
        case 19: return Ref(s->m_nSpeed);
        case 20: return Ref(s->m_nSpeedStep);
        case 21: return Ref(s->m_nAccel);
        case 22: return Ref(s->m_nAccelStep);
        case 23: return Ref(s->m_nDistance);
        case 24: return Ref(s->m_nDistanceStep);
        case 25: return Ref(s->m_nTime);
        case 26: return Ref(s->m_nTimeStep);
        case 27: return Ref(s->m_nS48);  // "消滅値": the break strength shots compare
        case 28: return Ref(s->m_nPower);
        case 29: return Ref(s->m_nImpact);
        case 30: return Ref(s->m_nEffect);
        case 31: return Ref(s->m_nItemIndex);
        default: return {};
      }
    case 12:
      switch (entry) {
        case 0: return Ref(s->m_nShotGroup);
        case 1: return Ref(s->m_nS21);
        case 2: return Ref(s->m_nPower);
        case 3: return Ref(s->m_nImpact);
        case 4: return Ref(s->m_nEffect);
        case 5: return Ref(s->m_nItemIndex);
        default: return {};
      }
    case 13:
      switch (entry) {
        case 0: return Ref(s->m_nSummonIndex);
        case 1:
        case 2:
        case 3: return Ref(s->m_anPattern[entry - 1]);
        case 4: return Ref(s->m_nPerRow);
        case 5: return Ref(s->m_nOffsetX);
        case 6: return Ref(s->m_nOffsetY);
        default: return {};
      }
    case 14:
      switch (entry) {
        case 0: return Ref(s->m_nSummonIndex);
        case 1: return Ref(s->m_nTime);
        case 2: return Ref(s->m_nShotGroup);
        case 3:
        case 4:
        case 5: return Ref(s->m_anPattern[entry - 3]);
        case 6: return Ref(s->m_nPerRow);
        case 7: return Ref(s->m_nOffsetX);
        case 8: return Ref(s->m_nOffsetY);
        default: return {};
      }
    default:  // 15
      switch (entry) {
        case 0: return Ref(s->m_nSummonIndex);
        case 1: return Ref(s->m_nTime);
        case 2:
        case 3:
        case 4: return Ref(s->m_anPattern[entry - 2]);
        case 5: return Ref(s->m_nPerRow);
        case 6: return Ref(s->m_nOffsetX);
        case 7: return Ref(s->m_nOffsetY);
        default: return {};
      }
  }
}

cFieldRef EntryField(cFlowCmd& cmd, int kind, int entry) {
  switch (kind) {
    case 2:
    case 5:
    case 6:
    case 20: return cmd.m_pMove ? MoveField(*cmd.m_pMove, kind, entry) : cFieldRef{};
    case 9:
    case 10: return entry == 0 ? Ref(cmd.m_nSound) : cFieldRef{};
    case 11:
    case 12:
    case 13:
    case 14:
    case 15: return ShotField(cmd, kind, entry);
    default: {
      const int p = ParamIndexOf(cmd, kind, entry);
      if (p < 0) return {};
      return Ref(VecAt(cmd.m_anParams, p));
    }
  }
}

template <int Kind>
int32_t GetEntry(const cFlowCmd& cmd, int entry) {
  const cFieldRef f = EntryField(const_cast<cFlowCmd&>(cmd), Kind, entry);
  if (f.nWidth == 1) return *static_cast<int8_t*>(f.lpField);
  if (f.nWidth == 2) return *static_cast<int16_t*>(f.lpField);
  if (f.nWidth == 4) return *static_cast<int32_t*>(f.lpField);
  return 0;
}

template <int Kind>
void SetEntry(cFlowCmd& cmd, int entry, int32_t value) {
  const cFieldRef f = EntryField(cmd, Kind, entry);
  if (f.nWidth == 1) *static_cast<int8_t*>(f.lpField) = static_cast<int8_t>(value);
  if (f.nWidth == 2) *static_cast<int16_t*>(f.lpField) = static_cast<int16_t>(value);
  if (f.nWidth == 4) *static_cast<int32_t*>(f.lpField) = value;
}

// Kinds 3, 4 and 7 have operations that neither read nor write.
int32_t GetNothing(const cFlowCmd&, int) { return 0; }
void SetNothing(cFlowCmd&, int, int32_t) {}

// The source value of an entry: P3 the source, P4 the index (at least 1).
bool SourceValue(int32_t& out, int source, int32_t index, const cCharaBase& chara) {
  if (index < 1) return false;
  const size_t n = static_cast<size_t>(index);
  switch (source) {
    case 0:
      if (n >= g_SaveData.m_anCommonVars.size()) return false;
      out = g_SaveData.m_anCommonVars[n];
      return true;
    case 1:
      if (!g_lpSceneStage || n >= g_lpSceneStage->m_anStageVars.size()) return false;
      out = g_lpSceneStage->m_anStageVars[n];
      return true;
    case 2:
      if (n >= chara.m_anVars.size()) return false;
      out = chara.m_anVars[n];
      return true;
    case 3: {
      const int32_t* flowVars = g_lpSceneStage ? g_lpSceneStage->m_lpFlowVars : nullptr;
      if (!flowVars || index > 2) return false;
      out = flowVars[index - 1];
      return true;
    }
    default: return false;
  }
}

// The limits of an entry: the table's, or for the formation and trajectory values the rows of the
// settings' formation (shot kind) or trajectory.
void EntryLimits(int32_t& min, int32_t& max, const cFlowCmd& cmd, int kind, int entry) {
  const cVarParam& param = VecAt(VecAt(g_VarParamTable, kind), entry);
  min = param.nMin;
  max = param.nMax;
  const cEdShot* s = cmd.m_pShot.get();
  if (!s) return;
  const int formationFirst = kind == 11 ? 2 : kind == 13 ? 1 : kind == 14 ? 3 : kind == 15 ? 2 : -1;
  if (formationFirst >= 0 && entry >= formationFirst && entry < formationFirst + kShotParamsPerKind) {
    const cEffectParam& row = ShotKindParam(s->m_nShotKind, entry - formationFirst);
    min = row.nMin;
    max = row.nMax;
  } else if (kind == 11 && entry >= 16 && entry <= 18) {
    const cEffectParam& row = TrajectoryParam(s->m_nTrajectory, entry - 16);
    min = row.nMin;
    max = row.nMax;
  }
}

bool Below(int32_t value, size_t count) { return value >= 0 && static_cast<size_t>(value) < count; }

size_t CommonVarCount() { return g_SaveData.m_anCommonVars.size(); }
size_t StageVarCount() { return g_lpSceneStage ? g_lpSceneStage->m_anStageVars.size() : 0; }

// A palette list chosen by a selector: 0 refuses, -1 skips the check, else the count is checked.
template <class T>
bool InPalette(int32_t value, int selector, int commonCode, const std::vector<T>& common, const std::vector<T>& stage) {
  if (selector == commonCode) return Below(value, common.size());
  if (selector == commonCode + 1) return Below(value, stage.size());
  return true;
}

// Where the status operation keeps the selector of a variable index and what it depends on: the
// destination (P0 with owner P3, status P4, variable kind P1) or the source (P7, P13, P14, P11).
struct cVarIndexParams {
  int nSelector;    // parameter holding the kind of value
  int nStatusCode;  // its value for a status; + 1 a variable, + 2 a flow variable
  int nOwner;
  int nStatus;
  int nVarKind;
};
constexpr cVarIndexParams kDestinationIndex{0, 0, 3, 4, 1};
constexpr cVarIndexParams kSourceIndex{7, 2, 13, 14, 11};

// A variable index must name a character variable (a character's status kind 0), a common or
// stage variable, or a flow variable (at most 2); other selectors are not checked.
bool ValidVarIndex(int32_t value, const cVarIndexParams& p, const cFlowCmd& cmd, const cCharaBase& chara) {
  const int selector = Param(cmd, p.nSelector);
  if (selector == p.nStatusCode)
    return Param(cmd, p.nOwner) == 5 || Param(cmd, p.nStatus) != 0 || Below(value, chara.m_anVars.size());
  if (selector == p.nStatusCode + 1) {
    const int varKind = Param(cmd, p.nVarKind);
    if (varKind == 0) return Below(value, CommonVarCount());
    if (varKind == 1) return Below(value, StageVarCount());
    return true;
  }
  if (selector == p.nStatusCode + 2) return value <= 2;
  return true;
}

// Database and palette references must name an existing record.
bool ValidReference(const cFlowCmd& cmd, int kind, int entry, int32_t value, const cCharaBase& chara) {
  const cEdShot* s = cmd.m_pShot.get();
  const int sounds = g_Database.Count(kDbSound);
  switch (kind) {
    case 9:
    case 10:
    case 35: return Below(value, static_cast<size_t>(sounds));
    case 11:
    case 12: {
      const int soundEntry = kind == 11 ? 14 : 6;
      const int effectEntry = kind == 11 ? 30 : 4;
      const int itemEntry = kind == 11 ? 31 : 5;
      if (entry == soundEntry) return Below(value, static_cast<size_t>(sounds));
      if (entry == effectEntry) return Below(value, static_cast<size_t>(g_Database.Count(kDbEffect)));
      if (entry == itemEntry && s) {
        if (s->m_nItemKind == 0) return false;
        return InPalette(value, s->m_nItemKind, 1, g_CommonPalette.m_aItemTypes, g_StageFile.m_aPalItems);
      }
      return true;
    }
    case 13:
    case 14:
    case 15: {
      const int soundEntry = kind == 13 ? 7 : kind == 14 ? 9 : 8;
      if (entry == soundEntry) return Below(value, static_cast<size_t>(sounds));
      if (entry != 0 || !s) return true;
      if (kind == 13)
        return InPalette(value, s->m_nSummonPalette, 0, g_CommonPalette.m_aBlockTypes, g_StageFile.m_aPalBlocks);
      if (kind == 14)
        return InPalette(value, s->m_nSummonPalette, 0, g_CommonPalette.m_aCharaTypes, g_StageFile.m_aPalCharas);
      return InPalette(value, s->m_nSummonPalette, 0, g_CommonPalette.m_aItemTypes, g_StageFile.m_aPalItems);
    }
    case 22:
      if (entry == 0) return ValidVarIndex(value, kDestinationIndex, cmd, chara);
      if (entry == 4) return ValidVarIndex(value, kSourceIndex, cmd, chara);
      return true;
    case 25: return InPalette(value, Param(cmd, 0), 0, g_CommonPalette.m_aItemTypes, g_StageFile.m_aPalItems);
    case 26:
      if (entry != 0) return true;
      if (Param(cmd, 0) == 4) return Below(value, static_cast<size_t>(g_Database.Count(kDbBmpCharaExc)));
      return value < 120;
    case 29: return entry != 0 || Below(value, static_cast<size_t>(g_Database.Count(kDbEffect)));
    case 30: return Below(value, static_cast<size_t>(g_Database.Count(kDbCharaEffect)));
    case 31: return Below(value, static_cast<size_t>(g_Database.Count(kDbScrEffect)));
    case 32: return entry != 0 || Below(value, static_cast<size_t>(g_Database.Count(kDbPicture)));
    case 36: return Below(value, static_cast<size_t>(g_Database.Count(kDbBgm)));
    default: return true;
  }
}

// The table is built before the first arrange entry needs it.
void EnsureVarParamTable() {
  if (g_VarParamTable.size() != static_cast<size_t>(kCharaCmdKindCount)) InitVarParamTable();
}

void ApplyEach(cFlowCmd& cmd, std::list<std::vector<int32_t>>& pending, cCharaBase& chara) {
  for (const std::vector<int32_t>& entry : pending) ApplyArrange(cmd, entry, chara);
  pending.clear();
}

}  // namespace

const VarParamGetter g_VarParamGetters[kCharaCmdKindCount] = {
    nullptr,      nullptr,      GetEntry<2>,  GetNothing,   GetNothing,   GetEntry<5>,  GetEntry<6>,  GetNothing,
    nullptr,      GetEntry<9>,  GetEntry<10>, GetEntry<11>, GetEntry<12>, GetEntry<13>, GetEntry<14>, GetEntry<15>,
    nullptr,      GetEntry<17>, nullptr,      GetEntry<19>, GetEntry<20>, GetEntry<21>, GetEntry<22>, nullptr,
    GetEntry<24>, GetEntry<25>, GetEntry<26>, nullptr,      nullptr,      GetEntry<29>, GetEntry<30>, GetEntry<31>,
    GetEntry<32>, GetEntry<33>, GetEntry<34>, GetEntry<35>, GetEntry<36>, nullptr,      nullptr,      nullptr};

const VarParamSetter g_VarParamSetters[kCharaCmdKindCount] = {
    nullptr,      nullptr,      SetEntry<2>,  SetNothing,   SetNothing,   SetEntry<5>,  SetEntry<6>,  SetNothing,
    nullptr,      SetEntry<9>,  SetEntry<10>, SetEntry<11>, SetEntry<12>, SetEntry<13>, SetEntry<14>, SetEntry<15>,
    nullptr,      SetEntry<17>, nullptr,      SetEntry<19>, SetEntry<20>, SetEntry<21>, SetEntry<22>, nullptr,
    SetEntry<24>, SetEntry<25>, SetEntry<26>, nullptr,      nullptr,      SetEntry<29>, SetEntry<30>, SetEntry<31>,
    SetEntry<32>, SetEntry<33>, SetEntry<34>, SetEntry<35>, SetEntry<36>, nullptr,      nullptr,      nullptr};

void ApplyArrangeList(cFlowCmd& cmd, cCharaBase& chara, cFlowState& state) { ApplyEach(cmd, state.m_Arrange, chara); }

void ApplyHeroArrangeList(cFlowCmd& cmd, cHero& hero) { ApplyEach(cmd, hero.m_Arrange, hero); }

void ApplyArrange(cFlowCmd& cmd, const std::vector<int32_t>& entry, cCharaBase& chara) {
  EnsureVarParamTable();
  // Item commands use the character numbering.
  const int kind = cmd.m_nKind + (cmd.IsItemContext() ? kItemCmdKindOffset : 0);
  if (VecAt(entry, 0) != kind || kind < 0 || kind >= kCharaCmdKindCount) return;
  const VarParamSetter setter = g_VarParamSetters[kind];
  if (!setter) return;
  // An entry number outside the kind's group names nothing to set: refused like any other.
  const int n = VecAt(entry, 1);
  if (n < 0 || static_cast<size_t>(n) >= g_VarParamTable[static_cast<size_t>(kind)].size()) return;
  int32_t value = g_VarParamGetters[kind](cmd, n);
  int32_t source = 0;
  if (!SourceValue(source, VecAt(entry, 3), VecAt(entry, 4), chara)) return;
  int32_t min = 0;
  int32_t max = 0;
  EntryLimits(min, max, cmd, kind, n);
  ApplyIntOp(value, source, VecAt(entry, 2), min, max);
  if (!ValidReference(cmd, kind, n, value, chara)) return;
  setter(cmd, n, value);
}
