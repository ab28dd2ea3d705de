#include "data/flow_cmd.h"

#include <algorithm>
#include <initializer_list>

#include "core/containers.h"
#include "core/log.h"
#include "data/data_queries.h"
#include "data/flow.h"
#include "data/palette_refs.h"

// ---- construction and copying ----

cFlowCmd::cFlowCmd() {}

cFlowCmd::cFlowCmd(const cFlowCmd& other) : cRecord(other) { *this = other; }

cFlowCmd& cFlowCmd::operator=(const cFlowCmd& other) {
  if (this == &other) return *this;
  AssignRecord(other);
  m_nContext = other.m_nContext;
  m_nKind = other.m_nKind;
  m_anParams = other.m_anParams;
  m_strText = other.m_strText;
  // The settings records are never shared: the copy gets records of its own.
  m_pMove = CloneEdMove(other.m_pMove);
  m_pShot = CloneEdShot(other.m_pShot);
  m_pCondList = other.m_pCondList ? std::make_shared<cCondList>(*other.m_pCondList) : nullptr;
  m_nUseTime = other.m_nUseTime;
  m_nUseTimeFactor = other.m_nUseTimeFactor;
  m_bRunOn = other.m_bRunOn;
  m_nSound = other.m_nSound;
  m_bSoundOnScreen = other.m_bSoundOnScreen;
  m_nAnime = other.m_nAnime;
  AssignFlowVector(m_aFlows, other.m_aFlows);
  return *this;
}

cFlowCmd::~cFlowCmd() = default;

void cFlowCmd::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nContext);
  QC4_DECLARE(m_nKind);
  QC4_DECLARE(m_nUseTime);
  QC4_DECLARE(m_nUseTimeFactor);
  QC4_DECLARE(m_bRunOn);
  QC4_DECLARE(m_nSound);
  QC4_DECLARE(m_bSoundOnScreen);
  QC4_DECLARE(m_nAnime);
  QC4_DECLARE(m_strText);
}

void cFlowCmd::Reset() {
  ResetFields();
  m_pMove.reset();
  m_pShot.reset();
  m_pCondList.reset();
  m_bSoundOnScreen = 1;
}

int cFlowCmd::CharaKind() const {
  int k = m_nKind;
  if (m_nContext == 0) return (k >= 0 && k < 40) ? k : -1;
  return (k >= 2 && k < 25) ? k + kItemCmdKindOffset : -1;
}

// ---- file form ----

namespace {
template <class T>
bool ReadSettings(cDataFile& file, std::shared_ptr<T>& settings) {
  int32_t present = 0;
  if (!file.ReadInt32(present)) return false;
  settings.reset();
  if (present == 0) return true;
  settings = std::make_shared<T>();
  return settings->Load(file);
}

template <class T>
bool WriteSettings(cDataFile& file, const std::shared_ptr<T>& settings) {
  file.WriteInt32(settings ? 1 : 0);
  return settings ? settings->Save(file) : true;
}
}  // namespace

bool cFlowCmd::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (!ReadSettings(file, m_pMove)) return false;
  if (!ReadSettings(file, m_pShot)) return false;
  if (g_nFileVersion >= 764 && !ReadSettings(file, m_pCondList)) return false;
  if (!ReadFlowList(file, m_aFlows)) return false;
  if (!LoadValueList(file, m_anParams)) return false;
  if (g_nFileVersion < kDataVersion) Upgrade(g_nFileVersion);
  FilterTestPlayFlows(m_aFlows);
  NormaliseFlowCmd(*this);
  return true;
}

bool cFlowCmd::Save(cDataFile& file) {
  NormaliseFlowCmd(*this);
  if (!cRecord::Save(file)) return false;
  if (!WriteSettings(file, m_pMove)) return false;
  if (!WriteSettings(file, m_pShot)) return false;
  if (!WriteSettings(file, m_pCondList)) return false;
  if (!WriteFlowList(file, m_aFlows)) return false;
  SaveValueList(file, m_anParams);
  return true;
}

bool ReadFlowCmdList(cDataFile& file, std::vector<cFlowCmd>& cmds) { return LoadRecordList(file, cmds); }

bool WriteFlowCmdList(cDataFile& file, std::vector<cFlowCmd>& cmds) { return SaveRecordList(file, cmds); }

void AssignFlowCmdVector(std::vector<cFlowCmd>& target, const std::vector<cFlowCmd>& source) {
  AssignVector(target, source);
}

// ---- upgrades of older files ----

namespace {
// Parameter edits of the upgrade steps. A step that reads a parameter the command does not have
// (a damaged file; well-formed files always have them) sees 0 and its writes there are dropped.
struct cParamView {
  std::vector<int32_t>& p;
  void Resize(size_t n) { p.resize(n, 0); }
  int32_t Get(size_t i) const { return i < p.size() ? p[i] : 0; }
  void Set(size_t i, int32_t v) {
    if (i < p.size()) p[i] = v;
  }
  // 32-bit wrap-around, as the values were always added: a damaged file's extreme value cannot
  // overflow.
  void Add(size_t i, int32_t d) {
    Set(i, static_cast<int32_t>(static_cast<uint32_t>(Get(i)) + static_cast<uint32_t>(d)));
  }
  // Moves P[i] .. P[n-2] up one place (the last value is lost) and leaves P[i] as it was.
  void Duplicate(size_t i) {
    if (i >= p.size()) return;
    for (size_t j = p.size() - 1; j > i; --j) p[j] = p[j - 1];
  }
  void Insert(size_t i, int32_t x) {
    Duplicate(i);
    Set(i, x);
  }
};

// The status-operation rule of gates 168 and 203: a status row was inserted at threshold.
void ShiftStatusRows(cParamView& P, int threshold) {
  if (P.Get(0) == 0 && P.Get(3) != 2 && P.Get(4) >= threshold) P.Add(4, 1);
  if (P.Get(6) == 2 && P.Get(12) != 2 && P.Get(13) >= threshold) P.Add(13, 1);
}

int8_t Plus(int8_t v, int d) { return static_cast<int8_t>(v + d); }
}  // namespace

void cFlowCmd::Upgrade(uint32_t v) {
  cParamView P{m_anParams};
  // Each step tests the kind as it stands at that moment; item kinds count as character kind + 15.
  auto K = [&] { return CharaKind(); };
  const bool item = IsItemContext();

  if (v < 145 && K() == 17) P.Resize(11);
  if (v < 166 && K() == 35) {
    P.Resize(2);
    P.Set(1, 1);
  }
  if (v < 168 && K() == 22) ShiftStatusRows(P, 10);
  if (v < 189 && K() == 21) {
    P.Resize(17);
    P.Insert(2, 0);
  }
  if (v < 194 && K() == 31) {
    P.Resize(16);
    P.Insert(6, 1);
  }
  if (v < 195 && (K() == 29 || K() == 30)) {
    P.Resize(3);
    P.Insert(1, 0);
  }
  if (v < 203) {
    if (K() == 14 || K() == 15) P.p.clear();
    if (K() == 16) P.Resize(5);
    if (K() == 22) ShiftStatusRows(P, 5);
  }
  if (v < 210 && K() == 23 && P.Get(0) != 2 && P.Get(1) >= 6) P.Add(1, 1);
  if (v < 219 && K() == 25 && P.Get(0) == 3)
    P.Set(1, static_cast<int32_t>(std::min<int64_t>(int64_t{P.Get(1)} + 1, 119)));
  if (v < 220 && K() == 11 && m_pShot)
    m_pShot->m_nGraphic = static_cast<int16_t>(std::min(m_pShot->m_nGraphic + 1, 119));
  if (v < 514 && K() == 5 && m_pMove) {
    m_pMove->m_nAngle = 0;
    m_pMove->m_nAngleStep = 0;
    m_pMove->m_bAngleMirror = 1;
  }
  if (v < 545) {
    if (K() == 19) {
      P.Resize(21);
      P.Set(10, 1);
    }
    if (K() == 31) {
      P.Resize(16);
      P.Set(11, 0);
    }
  }
  if (v < 546 && K() == 19) P.Set(10, (P.Get(0) == 0 || P.Get(0) == 7) ? 1 : 0);
  if (v < 547) {
    if (K() == 19) {
      P.Resize(21);
      P.Set(11, 0);
      P.Set(12, 0);
      P.Set(13, 0);
      P.Set(14, 1);
      P.Set(15, 0);
    }
    if (K() == 31) {
      P.Resize(16);
      P.Set(12, 0);
      P.Set(13, 0);
    }
  }
  if (v < 556 && K() == 19) {
    P.Resize(21);
    P.Set(16, 1);
  }
  if (v < 722 && K() == 17 && P.Get(0) >= 2) P.Add(0, 1);
  if (v < 723) {
    if (K() == 19) {
      P.Resize(21);
      P.Set(17, 0);
    }
    if (K() == 31) {
      P.Resize(16);
      P.Set(14, 0);
    }
  }
  if (v < 726 && K() == 37) {
    P.Resize(5);
    P.Set(0, 11);
  }
  if (v < 727 && K() == 37 && P.Get(0) == 11) {
    for (int t : {1, 2, 3, 13, 14, 15, 16})
      if (P.Get(1) > t) P.Add(1, 1);
  }
  if (v < 734) {
    // "消滅" entered the table at 24 (item context: at 9); every later kind moved up one.
    if (item ? m_nKind >= 9 : m_nKind >= 24) m_nKind = Plus(m_nKind, 1);
    if (K() == 38 && P.Get(0) >= 24) P.Add(0, 1);
  }
  if (v < 747 && K() == 21) {
    P.Resize(17);
    P.Set(10, 0);
    P.Set(11, 1);
    P.Set(14, 0);
  }
  if (v < 760 && K() == 16) {
    P.Resize(5);
    P.Set(3, 0);
  }
  if (v < 764 && K() == 16) m_pCondList = std::make_shared<cCondList>();  // conditions off
  if (v < 767) {
    if (K() == 9 && P.Get(0) >= 4) P.Add(0, 6);
    if (K() == 20 && m_pMove && m_pMove->m_nMoveKind >= 2) m_pMove->m_nMoveKind = Plus(m_pMove->m_nMoveKind, 3);
    if (K() == 21) {
      P.Resize(17);
      P.Insert(0, 0);
    }
    if (K() == 22) {
      if (P.Get(0) == 0 && P.Get(3) >= 2) P.Add(3, 3);
      if (P.Get(6) == 2 && P.Get(12) >= 2) P.Add(12, 3);
    }
    if (K() == 23 && P.Get(0) >= 2) P.Add(0, 3);
  }
  if (v < 820 && K() == 23) P.Resize(6);
  if (v < 879 && K() == 28) {
    P.Resize(2);
    P.Set(1, 0);
  }
  if (v < 882) {
    if (K() == 20 && m_pMove) {
      m_pMove->m_nM6 = 1;
      m_pMove->m_nM7 = 1;
    }
    if (K() == 22) {
      P.Resize(25);
      P.Set(18, 0);
      P.Set(19, 0);
      if (P.Get(0) == 0 && P.Get(3) != 5 && P.Get(4) >= 6) P.Add(4, 2);
      if (P.Get(6) == 2 && P.Get(12) != 5 && P.Get(13) >= 6) P.Add(13, 2);
    }
  }
  if (v < 891) {
    if (K() == 19) {
      P.Resize(21);
      if (P.Get(0) == 8) P.Set(0, 9);
    }
    if (K() == 29) {
      P.Resize(10);
      if (P.Get(1) == 4) P.Set(1, 5);
    }
    if (K() == 32) {
      P.Resize(16);
      if (P.Get(1) == 4) P.Set(1, 5);
    }
  }
  if (v < 892) {
    if (K() == 20 && m_pMove) m_pMove->m_nM14 = 2;
    if (K() == 22) {
      P.Resize(25);
      P.Set(20, 2);
      P.Set(21, 0);
    }
  }
  if (v < 898 && K() == 38 && P.Get(0) == 32 && P.Get(1) >= 0) P.Add(1, 1);
  if (v < 899 && K() == 38) {
    switch (P.Get(0)) {
      case 11:
        if (P.Get(1) >= 14) P.Add(1, 1);
        break;
      case 13:
      case 14:
      case 15:
      case 29:
        if (P.Get(1) >= 0) P.Add(1, 1);
        break;
      case 22:
        if (P.Get(1) >= 0) P.Add(1, 1);
        if (P.Get(1) >= 1) P.Add(1, 1);
        break;
      default: break;
    }
  }
  if (v < 915 && K() == 17) P.Resize(11);
  if (v < 944 && K() == 17) {
    P.Resize(11);
    P.Set(10, 1);
  }
  if (v < 965 && K() == 29) {
    P.Resize(10);
    P.Insert(6, 1);
  }
  if (v < 969) {
    if (K() == 19) {
      P.Resize(21);
      P.Set(19, 0);
    }
    if (K() == 22) {
      P.Resize(25);
      P.Insert(14, 0);
    }
  }
  if (v < 971) {
    struct cShiftRow {
      int kind;
      size_t size;
      size_t cleared;
    };
    for (const cShiftRow& r : {cShiftRow{16, 5, 4}, cShiftRow{19, 21, 20}, cShiftRow{20, 1, 0}, cShiftRow{21, 17, 16},
                               cShiftRow{22, 25, 23}, cShiftRow{23, 6, 5}, cShiftRow{24, 4, 3}}) {
      if (K() == r.kind) {
        P.Resize(r.size);
        P.Set(r.cleared, 0);
      }
    }
    if (item && m_nKind == 1) {
      P.Resize(5);
      P.Set(4, 0);
    }
  }
  if (v < 972 && item && m_nKind == 1) P.Resize(2);
  if (v < 973 && K() == 22) {
    P.Resize(25);
    P.Duplicate(5);
  }
  if (v < 983 && (K() == 13 || K() == 14)) {
    P.Resize(1);
    P.Set(0, 0);
  }
  if (v < 984 && K() == 22) {
    if (P.Get(0) == 2) P.Add(5, 1);
    if (P.Get(7) == 4) P.Add(15, 1);
  }
  if (v < 985 && K() == 22) {
    if (P.Get(5) == 0) P.Set(5, 1);
    if (P.Get(15) == 0) P.Set(15, 1);
  }
}

// ---- normalisation ----

namespace {
void ClampParam(std::vector<int32_t>& params, size_t i, eDbList list, int32_t resetTo) {
  if (i < params.size()) params[i] = ClampRef(params[i], DbCount(list), resetTo);
}

// Sum of the entry durations of a sword type, each taken as its low 16 bits, capped at 9999.
int16_t SwordUseTime(int swordType) {
  int32_t total = 0;
  for (int32_t d : DbSwordDurations(swordType)) {
    total += static_cast<int16_t>(d & 0xFFFF);
    total = std::clamp(total, -32768, 9999);
  }
  return static_cast<int16_t>(total);
}
}  // namespace

void NormaliseFlowCmd(cFlowCmd& cmd) {
  cmd.m_nAnime = static_cast<int16_t>(ClampRef(cmd.m_nAnime, DbCount(eDbList::Anime), 0));
  cmd.m_nSound = static_cast<int16_t>(ClampRef(cmd.m_nSound, DbCount(eDbList::Sound), 0));

  int count = CmdKindParamCount(cmd.m_nContext, cmd.m_nKind);
  if (count < 0) {
    ReportLogPrintf("err CmdKind[%d] ( %d )", cmd.m_nKind, cmd.m_nContext);
    cmd.m_nKind = 0;
    count = CmdKindParamCount(cmd.m_nContext, 0);
  }
  cmd.m_anParams.resize(static_cast<size_t>(std::max(count, 0)), 0);

  std::vector<int32_t>& P = cmd.m_anParams;
  switch (cmd.CharaKind()) {
    case kCmdSword:
      if (cmd.m_pShot) {
        cEdShot& shot = *cmd.m_pShot;
        shot.m_nTrajectory = static_cast<int8_t>(ClampRef(shot.m_nTrajectory, DbCount(eDbList::SwordType), 0));
        if (static_cast<uint8_t>(shot.m_nTrajectory) < static_cast<uint32_t>(DbCount(eDbList::SwordType)))
          cmd.m_nUseTime = SwordUseTime(shot.m_nTrajectory);
      }
      break;
    case 26:
      if (!P.empty() && P[0] == 4) ClampParam(P, 1, eDbList::BmpCharaExc, 1);
      break;
    case 27: ClampParam(P, 0, eDbList::AnimeSet, 0); break;
    case 28: ClampParam(P, 0, eDbList::Anime, 1); break;
    case 29: ClampParam(P, 0, eDbList::Effect, 1); break;
    case 30: ClampParam(P, 0, eDbList::CharaEffect, 1); break;
    case 31: ClampParam(P, 0, eDbList::ScrEffect, 1); break;
    case 32: ClampParam(P, 0, eDbList::Picture, 1); break;
    case 35: ClampParam(P, 0, eDbList::Sound, 1); break;
    case 36: ClampParam(P, 0, eDbList::Bgm, 1); break;
    default: break;
  }
  for (cFlow& flow : cmd.m_aFlows) ValidateFlow(flow);
}

namespace {
// An item reference (palette kind 1 common / 2 stage, index) pointing past its list: both become 0.
void ClampItemRef(int8_t& kind, int16_t& index) {
  if (kind != kPaletteCommon && kind != kPaletteStage) return;
  int size = PaletteListSize(kind, ePalList::Item);
  if (static_cast<uint32_t>(static_cast<int32_t>(index)) >= static_cast<uint32_t>(std::max(size, 0))) {
    kind = 0;
    index = 0;
  }
}

// A reference whose palette is given as 0 common / 1 stage; out of range resets the index to 1.
// Always 1, even while the list is shorter: the common palette is checked at start-up against the
// stage palette of no stage yet (one entry), and every palette holds at least two entries by the
// time a stage plays, so entry 1 is then there.
int32_t ClampIndexTo1(int32_t palette01, int32_t index, ePalList list) {
  if (palette01 != 0 && palette01 != 1) return index;
  const int size = PaletteListSize(palette01 + 1, list);
  return static_cast<uint32_t>(index) < static_cast<uint32_t>(std::max(size, 0)) ? index : 1;
}
}  // namespace

void ClampFlowCmdPaletteRefs(cFlowCmd& cmd) {
  std::vector<int32_t>& P = cmd.m_anParams;
  const int kind = cmd.m_nKind;
  if (!cmd.IsItemContext()) {
    if ((kind == kCmdShot || kind == kCmdSword) && cmd.m_pShot)
      ClampItemRef(cmd.m_pShot->m_nItemKind, cmd.m_pShot->m_nItemIndex);
    if (kind >= kCmdSummonBlock && kind <= kCmdSummonItem && cmd.m_pShot) {
      ePalList list = kind == kCmdSummonBlock   ? ePalList::Block
                      : kind == kCmdSummonChara ? ePalList::Chara
                                                : ePalList::Item;
      cEdShot& shot = *cmd.m_pShot;
      shot.m_nSummonIndex = static_cast<int16_t>(ClampIndexTo1(shot.m_nSummonPalette, shot.m_nSummonIndex, list));
    }
  }
  if ((cmd.IsItemContext() ? kind == kItemCmdItemGet : kind == kCmdItemGet) && P.size() >= 2)
    P[1] = ClampIndexTo1(P[0], P[1], ePalList::Item);
  for (cFlow& flow : cmd.m_aFlows) ClampFlowPaletteRefs(flow);
}
