#pragma once
// Replay files under "user_data\rpl4\": the stage a play was played on (its settings as played, its
// palette and placed lists as loaded), the play's input log, and the progress as it stood when the
// play began. Written in one pass and made read-only; read back by the replay list, the replay
// file dialog, the stage set-up of a replay and the command line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"
#include "data/input_log.h"
#include "data/save_data.h"
#include "data/stage_data.h"

// Replay files carry the progress snapshot from this version on.
constexpr uint32_t kReplayProgressVersion = 173;
constexpr const char* kReplayFolder = "user_data\\rpl4\\";

// Writes the replay body after the file's version header: the stage (settings from stageCopy,
// types from stageFile), the log, the progress snapshot.
bool WriteReplay(cDataFile& file, cInputLog& log, cStageData& stageFile, cStageData& stageCopy, cSaveData& snapshot);
// The bytes of a whole replay file, version header included.
std::vector<uint8_t> ReplayFileBytes(cInputLog& log, cStageData& stageFile, cStageData& stageCopy, cSaveData& snapshot);
// Writes the replay file at the game path (replaced atomically, then made read-only). 0 when it
// cannot be written, after a fatal stop, or when a file of that name exists (replays are never
// overwritten).
int SaveReplayFile(const char* path, cInputLog& log, cStageData& stageFile, cStageData& stageCopy, cSaveData& snapshot);

// Reads a replay body (the file's version in g_nFileVersion) into the four records. The log is
// reset first; the rest is read into fresh records and handed over only when the whole file reads:
// a short or damaged file (a count past its end, states and runs of different lengths, a run of 0
// or less, channels of different lengths) changes nothing but the log. The stage copy takes the
// stage's settings and no types; the progress is read only from version 173 on. On success the log
// is rewound for playback.
bool ReadReplay(cDataFile& file, cInputLog& log, cStageData& stageFile, cStageData& stageCopy, cSaveData& progress);
// Opens and reads the replay file at the game path; 1 or 0. version (may be null) takes the file's
// data version.
int LoadReplayFile(const char* path, cInputLog& log, cStageData& stageFile, cStageData& stageCopy, cSaveData& progress,
                   uint32_t* version = nullptr);
// The same from the bytes of a whole file.
int LoadReplayBytes(const std::vector<uint8_t>& bytes, cInputLog& log, cStageData& stageFile, cStageData& stageCopy,
                    cSaveData& progress, uint32_t* version = nullptr);

// A local date and time, as replay names show it.
struct cReplayTime {
  int nYear = 0;
  int nMonth = 0;
  int nDay = 0;
  int nHour = 0;
  int nMinute = 0;
  int nSecond = 0;
};
cReplayTime LocalReplayTime();

// The longest stage part of a replay's name, in bytes: the name stays well inside the 255 bytes a
// file name may have on disk, where a double-byte character takes three.
constexpr size_t kMaxReplayNamePartBytes = 100;

// Makes a stage's name or file name fit to be part of a file name: every path separator, reserved
// character (: * ? " < > |) and control byte becomes "_", as does each run of two or more dots; a
// double-byte character is kept whole (its second byte may look like "\" or "|") and a lone first
// byte is dropped; then the text is cut to kMaxReplayNamePartBytes without splitting a character.
void SanitiseReplayNamePart(std::string& part);

// The relative path of a new replay of the stage file: "user_data\rpl4\" + the time as
// "YYYY_MMDD_hhmmss_" + the stage part (the loaded stage's name when the project names replays by
// stage name, else the file's name without extension, made fit by SanitiseReplayNamePart; plus the
// progress's world-entry condition suffix) + "_CLEAR_" for a cleared play + ".rpl4_986". A name
// already taken gets " (2)", " (3)", ... up to " (999)" before the extension; when all are taken the
// name is empty (and the report log says so). An empty stage path gives an empty name.
std::string ReplayFileName(const std::string& stagePath, int cleared, const cReplayTime& time);
// name when no file has it, else its first free numbered form " (2)" ... " (999)"; empty (with a
// report-log line) when every one is taken.
std::string FreeReplayFileName(const std::string& name);
// The same as ReplayFileName with the local time, made absolute. 1, or 0 (and an empty name) when
// every numbered form of the name is taken.
int MakeReplayFileName(std::string& out, const std::string& stagePath, int cleared);
