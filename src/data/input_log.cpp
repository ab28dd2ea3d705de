#include "data/input_log.h"

namespace {
// One channel of a recorded frame.
void RecordChannel(std::vector<int16_t>& states, std::vector<int32_t>& runs, int16_t word) {
  if (!states.empty() && !runs.empty() && states.back() == word && runs.back() < INT32_MAX) {
    ++runs.back();
    return;
  }
  states.push_back(word);
  runs.push_back(1);
}

bool ChannelPlayable(const std::vector<int16_t>& states, const std::vector<int32_t>& runs, int64_t& frames) {
  frames = 0;
  if (states.size() != runs.size()) return false;
  for (int32_t run : runs) {
    if (run < 1) return false;
    frames += run;
  }
  return true;
}
}  // namespace

cInputLog::cInputLog() {}

void cInputLog::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nSeed);
  if (version >= kReplayClearedVersion) QC4_DECLARE(m_bCleared);
}

bool cInputLog::Load(cDataFile& file) {
  const uint32_t version = g_nFileVersion;
  if (!cRecord::Load(file)) return false;
  if (!LoadValueList(file, m_anDirStates) || !LoadValueList(file, m_anButtonStates)) return false;
  if (version >= kReplayValuesVersion && !LoadValueList(file, m_anValues)) return false;
  return LoadValueList(file, m_anDirRuns) && LoadValueList(file, m_anButtonRuns);
}

bool cInputLog::Save(cDataFile& file) {
  if (!cRecord::Save(file)) return false;
  SaveValueList(file, m_anDirStates);
  SaveValueList(file, m_anButtonStates);
  SaveValueList(file, m_anValues);
  SaveValueList(file, m_anDirRuns);
  SaveValueList(file, m_anButtonRuns);
  return true;
}

void cInputLog::RecordInputFrame(int16_t dir, int16_t button) {
  RecordChannel(m_anDirStates, m_anDirRuns, dir);
  RecordChannel(m_anButtonStates, m_anButtonRuns, button);
}

int cInputLog::PlayInputFrame(int16_t& dir, int16_t& button) {
  // A channel whose runs fall short of its states ends where its runs end: the frame count of a
  // state without a run is unknown.
  if (m_nDirIndex >= m_anDirStates.size() || m_nDirIndex >= m_anDirRuns.size()) return 1;
  if (m_nButtonIndex >= m_anButtonStates.size() || m_nButtonIndex >= m_anButtonRuns.size()) return 1;
  dir = m_anDirStates[m_nDirIndex];
  if (++m_nDirRunPos >= m_anDirRuns[m_nDirIndex]) {
    m_nDirRunPos = 0;
    ++m_nDirIndex;
  }
  button = m_anButtonStates[m_nButtonIndex];
  if (++m_nButtonRunPos >= m_anButtonRuns[m_nButtonIndex]) {
    m_nButtonRunPos = 0;
    ++m_nButtonIndex;
  }
  return 0;
}

void cInputLog::RecordInputValue(int32_t value) { m_anValues.push_back(value); }

int32_t cInputLog::PlayInputValue() {
  if (m_nValueIndex >= m_anValues.size()) return 0;
  return m_anValues[m_nValueIndex++];
}

void cInputLog::AssignInputLog(const cInputLog& source) {
  if (&source == this) return;
  m_anDirStates = source.m_anDirStates;
  m_anButtonStates = source.m_anButtonStates;
  m_anDirRuns = source.m_anDirRuns;
  m_anButtonRuns = source.m_anButtonRuns;
  m_anValues = source.m_anValues;
  m_nSeed = source.m_nSeed;
  m_bCleared = source.m_bCleared;
}

void cInputLog::ResetInputLog() {
  ResetFields();
  m_anDirStates.clear();
  m_anButtonStates.clear();
  m_anDirRuns.clear();
  m_anButtonRuns.clear();
  m_anValues.clear();
  RewindPlayback();
}

void cInputLog::RewindPlayback() {
  m_nDirIndex = 0;
  m_nButtonIndex = 0;
  m_nValueIndex = 0;
  m_nDirRunPos = 0;
  m_nButtonRunPos = 0;
}

bool cInputLog::IsPlayable() const {
  int64_t dirFrames = 0, buttonFrames = 0;
  return ChannelPlayable(m_anDirStates, m_anDirRuns, dirFrames) &&
         ChannelPlayable(m_anButtonStates, m_anButtonRuns, buttonFrames) && dirFrames == buttonFrames;
}

int64_t cInputLog::RecordedFrames() const {
  int64_t frames = 0;
  for (int32_t run : m_anDirRuns) frames += run;
  return frames;
}
