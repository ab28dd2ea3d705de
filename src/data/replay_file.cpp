#include "data/replay_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

#include "core/file_helpers.h"
#include "core/log.h"
#include "core/sjis.h"
#include "data/system_data.h"
#include "platform/files.h"

namespace {
constexpr int kMaxNumberedName = 999;

// A file the game made read-only cannot be replaced, as on the system the replays come from.
bool IsReadOnlyFile(const char* path) {
  std::string disk;
  struct stat st {};
  if (!FindOnDisk(path, disk) || stat(disk.c_str(), &st) != 0) return false;
  return (st.st_mode & S_IWUSR) == 0;
}

void MakeReadOnly(const char* path) {
  std::string disk;
  struct stat st {};
  if (!FindOnDisk(path, disk) || stat(disk.c_str(), &st) != 0) return;
  chmod(disk.c_str(), st.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH));
}
}  // namespace

bool WriteReplay(cDataFile& file, cInputLog& log, cStageData& stageFile, cStageData& stageCopy, cSaveData& snapshot) {
  if (!stageFile.WriteStageToReplay(file, stageCopy)) return false;
  if (!log.Save(file)) return false;
  return snapshot.Save(file);
}

std::vector<uint8_t> ReplayFileBytes(cInputLog& log, cStageData& stageFile, cStageData& stageCopy,
                                     cSaveData& snapshot) {
  auto file = cDataFile::ForWriting("");
  file->WriteUInt32(g_nDataVersion);
  WriteReplay(*file, log, stageFile, stageCopy, snapshot);
  return file->Bytes();
}

int SaveReplayFile(const char* path, cInputLog& log, cStageData& stageFile, cStageData& stageCopy,
                   cSaveData& snapshot) {
  // A replay already there is the player's, read-only or not: it is never replaced.
  if (!path || !*path || FileExists(path) || IsReadOnlyFile(path)) return 0;
  auto file = OpenDataFileW(path);
  if (!file) return 0;
  if (!WriteReplay(*file, log, stageFile, stageCopy, snapshot)) return 0;
  if (!CloseDataFile(file)) return 0;
  MakeReadOnly(path);
  return 1;
}

bool ReadReplay(cDataFile& file, cInputLog& log, cStageData& stageFile, cStageData& stageCopy, cSaveData& progress) {
  const uint32_t version = g_nFileVersion;
  // Counts of 0 keep a list as it was: a log that is not emptied first would mix the previous
  // play's input into this one.
  log.ResetInputLog();
  cStageData stage;
  cInputLog played;
  cSaveData snapshot;
  if (!stage.Load(file) || !played.Load(file)) return false;
  if (version >= kReplayProgressVersion && !snapshot.Load(file)) return false;
  if (file.Failed()) return false;
  if (!played.IsPlayable()) {
    file.Fail(eReadFault::BadValue);
    return false;
  }
  stageFile = std::move(stage);
  // The derived values of the hit-check level live on the stage as played.
  stageFile.SetHitCheckLevel(stageFile.m_nHitCheckLevel);
  CopyStageSettings(stageCopy, stageFile);
  stageCopy.m_aPalBlocks.clear();
  stageCopy.m_aPalCharas.clear();
  stageCopy.m_aPalItems.clear();
  stageCopy.m_aBlocks.clear();
  stageCopy.m_aCharas.clear();
  stageCopy.m_aItems.clear();
  log.AssignInputLog(played);
  log.RewindPlayback();
  if (version >= kReplayProgressVersion) progress = std::move(snapshot);
  return true;
}

namespace {
// Reads an opened replay file (null when it could not be opened: the log is emptied).
int LoadOpenedReplay(std::unique_ptr<cDataFile> file, cInputLog& log, cStageData& stageFile, cStageData& stageCopy,
                     cSaveData& progress, uint32_t* version) {
  if (!file) {
    log.ResetInputLog();
    return 0;
  }
  if (version) *version = g_nFileVersion;
  const bool ok = ReadReplay(*file, log, stageFile, stageCopy, progress);
  CloseDataFile(file);
  return ok ? 1 : 0;
}
}  // namespace

int LoadReplayFile(const char* path, cInputLog& log, cStageData& stageFile, cStageData& stageCopy, cSaveData& progress,
                   uint32_t* version) {
  return LoadOpenedReplay(OpenDataFileR(path), log, stageFile, stageCopy, progress, version);
}

int LoadReplayBytes(const std::vector<uint8_t>& bytes, cInputLog& log, cStageData& stageFile, cStageData& stageCopy,
                    cSaveData& progress, uint32_t* version) {
  return LoadOpenedReplay(OpenDataBytesR(bytes), log, stageFile, stageCopy, progress, version);
}

cReplayTime LocalReplayTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

void SanitiseReplayNamePart(std::string& part) {
  std::string clean;
  clean.reserve(part.size());
  for (size_t i = 0; i < part.size();) {
    const unsigned char c = static_cast<unsigned char>(part[i]);
    if (IsSjisLeadByte(c)) {
      // A double-byte character stays whole, whatever its second byte looks like ("\x83\x5C" is a
      // character, not a separator); a first byte without its second is dropped.
      if (i + 1 < part.size() && IsSjisTrailByte(static_cast<unsigned char>(part[i + 1]))) {
        clean.append(part, i, 2);
        i += 2;
      } else {
        ++i;
      }
      continue;
    }
    if (c == '.' && i + 1 < part.size() && part[i + 1] == '.') {
      // "..": one mark for the whole run of dots.
      while (i < part.size() && part[i] == '.') ++i;
      clean += '_';
      continue;
    }
    const bool reserved = c < 0x20 || c == 0x7F || std::strchr("\\/:*?\"<>|", c) != nullptr;
    clean += reserved ? '_' : static_cast<char>(c);
    ++i;
  }
  clean.resize(SjisFitLength(clean.data(), clean.size(), kMaxReplayNamePartBytes));
  part = std::move(clean);
}

std::string ReplayFileName(const std::string& stagePath, int cleared, const cReplayTime& time) {
  if (stagePath.empty()) return "";
  std::string stagePart;
  if (g_SystemData.m_nReplayNameBy == 1) {
    stagePart = g_StageFile.m_strName;
  } else {
    stagePart = stagePath;
    PathToFileNameStr(stagePart);
    RemoveExtensionStr(stagePart);
  }
  // A stage's name is the designer's free text: it must name one file in the replay folder.
  SanitiseReplayNamePart(stagePart);
  AppendStageCondition(stagePart, g_SaveData.m_bCondOn, g_SaveData.m_nCondVar, g_SaveData.m_nCondValue);
  char stamp[64];
  std::snprintf(stamp, sizeof(stamp), "%04d_%02d%02d_%02d%02d%02d_", time.nYear, time.nMonth, time.nDay, time.nHour,
                time.nMinute, time.nSecond);
  std::string name = std::string(kReplayFolder) + stamp + stagePart + (cleared ? "_CLEAR_." : ".");
  name += "rpl4_" + std::to_string(kDataVersion);
  return FreeReplayFileName(name);
}

std::string FreeReplayFileName(const std::string& name) {
  if (!FileExists(name)) return name;
  std::string numbered;
  for (int n = 2; n <= kMaxNumberedName; ++n) {
    MakeNumberedName(numbered, name, n);
    if (!FileExists(numbered)) return numbered;
  }
  // Every number is taken: no name, so that no replay is replaced.
  ReportLogPrintf("%s : リプレイファイル名の番号が (%d) まで全て使われているため、保存しませんでした。", name.c_str(),
                  kMaxNumberedName);
  return "";
}

int MakeReplayFileName(std::string& out, const std::string& stagePath, int cleared) {
  out = ReplayFileName(stagePath, cleared, LocalReplayTime());
  if (out.empty()) return stagePath.empty() ? 1 : 0;
  ToFullPathStr(out);
  return 1;
}
