#pragma once
// The one way into stage play of a stage file: the newest numbered variant of a path, the trailer
// check, the read on the loader thread while the caller keeps its message queue answered, the placed
// hero, and the copy of the stage's settings that every set-up restores from.
#include <cstdint>
#include <string>
#include <vector>

#include "data/chara_type.h"
#include "data/stage_data.h"

// The path of the stage file read last, relative to the game folder.
extern std::string g_StagePath;
// The hero's placement as loaded; a restart puts it back.
extern cCharaType g_HeroType;

// Loads a stage for play into g_StageFile. resolveNewest: read the newest existing "_NNN" variant
// of path (extension "stg4"). settingsOut receives the stage's settings without its type lists
// (g_StageData); heroOut the hero's placement. 1 on success; 0 with the message shown (nothing is
// stopped: the caller goes back to where it was), or 0 without one when a quit reached the caller
// while the file was read (the quit stays in the caller's queue).
int LoadPlayStage(const std::string& path, bool resolveNewest, cStageData* settingsOut, cCharaType* heroOut);

// The same for the bytes of a whole stage file in memory, played as if read from path (which the
// messages name): the trailer check, the read on the calling thread, the placed hero and the copy.
int LoadPlayStageBytes(const std::vector<uint8_t>& bytes, const std::string& path, cStageData* settingsOut,
                       cCharaType* heroOut);

// 0 when a stage file of version 174 or later does not end with its trailer (reported); 1 for an
// intact file and for one that cannot be opened or is too new (the read that follows reports it).
int CheckStageTrailer(const std::string& path);

// Index of the hero among the placed characters (-1 when there is none).
int HeroTypeIndex(const cStageData& stage);
inline bool HasHero(const cStageData& stage) { return HeroTypeIndex(stage) != -1; }
