// The retry of a stage: what a live stage start keeps aside, and what a retry puts back.
#include <algorithm>

#include "data/save_data.h"
#include "data/system_data.h"

void cSaveData::BackupRetryState() {
  m_anCommonVarsBackup = m_anCommonVars;
  m_nBackupLives = m_nLives;
  m_nBackupScoreTotal = m_nScoreTotal;
}

namespace {
// The project's choice whether a retry also undoes the stage's changes to the common variables.
bool RetryRestoresVariables(bool directStart, int modeIndex) {
  if (directStart) return g_SystemData.m_bRetryRestore3 != 0;
  switch (modeIndex) {
    case 0: return g_SystemData.m_bRetryRestore0 != 0;
    case 1: return g_SystemData.m_bRetryRestore1 != 0;
    case 2: return g_SystemData.m_bRetryRestore2 != 0;
    default: return true;
  }
}

// The kept values over the common variables. The two lists have the same length whenever the
// backup was made by this program; one shortened by a damaged file puts back what it holds and
// never takes variables away (an empty backup, from a progress that was never kept aside, leaves
// them all), so later flows still find every variable they name.
void PutBackVariables(std::vector<int32_t>& vars, const std::vector<int32_t>& backup) {
  if (vars.size() < backup.size()) vars.resize(backup.size(), 0);
  std::copy(backup.begin(), backup.end(), vars.begin());
}
}  // namespace

int32_t cSaveData::RestoreRetryState(int force, bool directStart, int modeIndex) {
  if (force || RetryRestoresVariables(directStart, modeIndex)) PutBackVariables(m_anCommonVars, m_anCommonVarsBackup);
  if (force) m_nLives = m_nBackupLives;
  m_nScoreTotal = m_nBackupScoreTotal;
  return m_nScoreTotal;
}
