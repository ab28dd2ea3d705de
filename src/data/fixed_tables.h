// The program's file-system vocabulary: the 56 project and player paths, the five file extensions,
// the font face names the project chooses its game font from, and the seconds labels of the replay
// message option. Paths are relative to the working folder and use the backslash as separator;
// the platform layer resolves them to real paths on disk.
#pragma once

#include <string>

constexpr int kPathCount = 56;
constexpr int kExtCount = 5;
constexpr int kFontFaceCount = 123;     // 122 names and an empty end entry
constexpr int kSecondsLabelCount = 23;  // "0.0" .. "10.0", "OFF", and an empty end entry

extern const char* const g_Paths[kPathCount];
extern const char* const g_Exts[kExtCount];
extern const char* const g_FontFaces[kFontFaceCount];
extern const char* const g_SecondsLabels[kSecondsLabelCount];

// Indexes into g_Paths that other code names.
enum : int {
  kPathData = 0,
  kPathDefault = 1,
  kPathStageFolder = 2,
  kPathStageOldFolder = 3,
  kPathWorkFolder = 4,
  kPathCommonPalette = 12,
  kPathWorldMap = 18,
  kPathAnimeSet = 20,  // the ten database files are 20, 22, ... 38; their defaults 21, 23, ... 39
  kPathAnime = 22,
  kPathBmpCharaExc = 24,
  kPathSwordType = 26,
  kPathEffect = 28,
  kPathCharaEffect = 30,
  kPathScrEffect = 32,
  kPathPicture = 34,
  kPathSound = 36,
  kPathBgm = 38,
  kPathSystemDat = 40,
  kPathNumberedStagePrefix = 42,
  kPathStoryFolder = 43,
  kPathChallengeFolder = 44,
  kPathFreeFolder = 45,
  kPathReplayFolder = 46,
  kPathStoryPrefix = 47,
  kPathChallengeDat = 48,
  kPathFreeDat = 49,
  kPathReplayDat = 50,
  kPathOptionDat = 51,
  kPathUserData = 52,
  kPathKeyConfig = 53,
  kPathBootDat = 54,
  kPathWindowDat = 55,
};

enum : int { kExtCommonPalette = 0, kExtStage = 1, kExtPalette = 2, kExtReplay = 3, kExtRanking = 4 };

constexpr int kDefaultFontFace = 60;

// Checked lookups: an index outside the table is a range error (report log and fatal stop) and
// yields entry 0.
const char* PathAt(int index);
const char* ExtAt(int index);
const char* SecondsLabelAt(int index);

// The face name for a project's font index. An index outside the face table falls back to the
// default face ("ＭＳ Ｐゴシック") with a report-log line; a bad project file never stops the game.
const char* FontFaceFor(int index);

// The default-data question.
extern const char* const kDefaultDataQuestion;
extern const char* const kDefaultDataCaption;

// Makes sure the project data folder exists. When "data\" is missing and "default\" exists, asks
// the player (owner: the main window) whether to create the data from the default data, and copies
// "default\" into a temporary folder beside it that is renamed to "data\" only when the whole copy
// succeeded, so a failed copy never leaves a half "data\" behind.
// Returns 1 when the data folder exists or has just been created, else 0.
// baseDir is the working folder ("" for the current one).
int EnsureDataFolder(const std::string& baseDir = "");
