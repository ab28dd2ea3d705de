#include "data/flow.h"

#include "core/containers.h"
#include "core/log.h"
#include "data/data_queries.h"

// ---- cKeyCond ----

cKeyCond::cKeyCond() : m_anKeyStates(kKeyStateCount, 0) {}

void cKeyCond::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_bFacingRelative);
  QC4_DECLARE(m_nMinHold);
  QC4_DECLARE(m_nMaxHold);
  QC4_DECLARE(m_bAnyHold);
  QC4_DECLARE(m_nKeyLogic);
}

bool cKeyCond::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  int32_t n = 0;
  if (!file.ReadCount(n, 1)) return false;
  if (n <= 0) return true;  // the key states stay as they are
  m_anKeyStates.assign(static_cast<size_t>(n), 0);
  return file.Read(m_anKeyStates.data(), m_anKeyStates.size());
}

bool cKeyCond::Save(cDataFile& file) {
  if (!cRecord::Save(file)) return false;
  SaveByteArray(file, m_anKeyStates);
  return true;
}

void AssignKeyCondVector(std::vector<cKeyCond>& target, const std::vector<cKeyCond>& source) {
  AssignVector(target, source);
}

// ---- cFlow ----

cFlow::cFlow() {}

void cFlow::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nGroup);
  QC4_DECLARE(m_nFlowId);
  QC4_DECLARE(m_bTestPlayOnly);
  QC4_DECLARE(m_nCondMode);
  QC4_DECLARE(m_bCondLatch);
  QC4_DECLARE(m_nTrigger);
  if (version >= 762) QC4_DECLARE(m_bPartnerToTarget);
  if (version >= 767) QC4_DECLARE(m_nTargetSlot);
  QC4_DECLARE(m_nKeyStepGap);
  QC4_DECLARE(m_bKeyRepeat);
  if (version >= 676) QC4_DECLARE(m_strName);
}

namespace {
// How deep the flow being loaded sits inside commands of other flows.
thread_local int t_nFlowDepth = 0;

struct cFlowDepthGuard {
  cFlowDepthGuard() { ++t_nFlowDepth; }
  ~cFlowDepthGuard() { --t_nFlowDepth; }
};
}  // namespace

bool cFlow::Load(cDataFile& file) {
  cFlowDepthGuard depth;
  if (t_nFlowDepth > kMaxFlowNesting) {
    ReportLogPrintf("err Flow nesting ( %d )", t_nFlowDepth);
    file.Fail();
    return false;
  }
  if (!cRecord::Load(file)) return false;
  if (!ReadCondVector(file, m_aConds)) return false;
  if (!LoadRecordList(file, m_aKeyConds)) return false;
  if (!ReadFlowCmdList(file, m_aCmds)) return false;
  if (g_nFileVersion < kDataVersion) UpgradeTrigger(g_nFileVersion);
  m_strName.clear();
  ValidateFlow(*this);
  return true;
}

void cFlow::UpgradeTrigger(uint32_t v) {
  int t = m_nTrigger;
  if (v < 132 && t >= 11) t += 1;
  if (v < 163 && t != 0) m_nFlowId = 0;
  if (v < 164 && t >= 5) t += 2;
  if (v < 762 && t >= 18) t += 3;
  if (v < 900) {
    if (t >= 2) t += 1;
    if (t >= 4) t += 1;
    if (t >= 21) t += 1;
    if (t >= 23) t += 1;
  }
  m_nTrigger = static_cast<int8_t>(t);
}

bool cFlow::Save(cDataFile& file) {
  ValidateFlow(*this);
  if (!cRecord::Save(file)) return false;
  if (!WriteCondVector(file, m_aConds)) return false;
  if (!SaveRecordList(file, m_aKeyConds)) return false;
  return WriteFlowCmdList(file, m_aCmds);
}

bool cFlow::IsEmpty() const {
  return m_nGroup == 0 && m_nFlowId == 0 && m_nTrigger == 0 && m_aConds.empty() && m_aKeyConds.empty() &&
         m_aCmds.empty();
}

void ValidateFlow(cFlow& flow) {
  for (cFlowCmd& cmd : flow.m_aCmds) NormaliseFlowCmd(cmd);
}

void ClampFlowPaletteRefs(cFlow& flow) {
  for (cFlowCmd& cmd : flow.m_aCmds) ClampFlowCmdPaletteRefs(cmd);
}

bool ReadFlowList(cDataFile& file, std::vector<cFlow>& flows) { return LoadRecordList(file, flows); }

bool WriteFlowList(cDataFile& file, std::vector<cFlow>& flows) { return SaveRecordList(file, flows); }

void AssignFlowVector(std::vector<cFlow>& target, const std::vector<cFlow>& source) { AssignVector(target, source); }

void EraseTestPlayFlows(std::vector<cFlow>& flows) {
  std::erase_if(flows, [](const cFlow& f) { return f.m_bTestPlayOnly != 0; });
}

void FilterTestPlayFlows(std::vector<cFlow>& flows) {
  if (!KeepTestPlayFlows()) EraseTestPlayFlows(flows);
}
