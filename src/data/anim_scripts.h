// Run-time forms of the database's animations and effects, built once at start-up right after the
// database has loaded: frame scripts for the animation sequencer, and one forward and one reversed
// prepared player per character effect and per screen effect. A character or the stage copies a
// prepared player into its own and steps it once per frame.
#pragma once

#include <cstdint>
#include <vector>

#include "data/database.h"

// One step of a frame script: a pattern shown for a number of game frames, and whether the
// sequencer refuses an unforced switch while it is current. A negative pattern ends the script:
// -4 the animation has ended, -2 start again from step 0.
struct cScriptStep {
  int32_t nPattern = 0;
  int32_t nFrames = 0;
  int32_t bLock = 0;
  bool operator==(const cScriptStep&) const = default;
};
using cFrameScript = std::vector<cScriptStep>;

constexpr int32_t kScriptEnded = -4;
constexpr int32_t kScriptRestart = -2;
constexpr int32_t kFramesPerTenth = 6;

// Both in g_GameData (data/game_data.h), like the prepared players below.
extern std::vector<cFrameScript>& g_AnimeScripts;   // one per entry of the animation list
extern std::vector<cFrameScript>& g_EffectScripts;  // one per entry of the effect list

void BuildAnimeScripts(std::vector<cFrameScript>& scripts, const cDatabase& db = g_Database);
void BuildEffectScripts(std::vector<cFrameScript>& scripts, const cDatabase& db = g_Database);

// A character effect being played.
struct cCharaEffectPlay {
  int16_t nEffect = 0;
  const cCharaEffectData* pEntry = nullptr;  // null when cleared
  int32_t nPlayMode = 0;                     // 0 forward, 1 reversed, 2 round trip
  int32_t bLoop = 0;
  int32_t bReversed = 0;
  int32_t nHandlerCounter = 0;
  int32_t nStart = 0;
  int32_t nEnd = 0;
  double dValue = 0.0;
  double dStep = 0.0;
  double dElapsed = 0.0;
  int32_t nDuration = 0;  // tenths of a second
  int32_t nWork1 = 0;
  int32_t nWork2 = 0;

  void ClearCharaEffect();
  void StartCharaEffect(int n, int mode, int loop);
  void RestartCharaEffect();
  // Advances one frame; 1 when the effect has finished.
  int StepCharaEffect();
};

// A screen effect being played.
struct cScrEffectPlay {
  int16_t nEffect = 0;
  const cScrEffectData* pEntry = nullptr;
  int32_t nPlayMode = 0;
  int32_t bLoop = 0;
  int32_t bReversed = 0;
  int32_t nHandlerCounter = 0;
  double dValue = 0.0;
  double dValue2 = 0.0;
  double dStep = 0.0;
  int32_t nWork1 = 0;
  int32_t nWork2 = 0;
  int32_t bTimeMode = 0;
  double dElapsed = 0.0;
  int32_t nDuration = 0;

  void ClearScrEffect();
  void StartScrEffect(int n, int mode, int loop);
  void RestartScrEffect();
  // Advances one frame with the values the transition handler derives; 1 when finished.
  int StepScrEffect(double start, double end, double step);
};

extern std::vector<cCharaEffectPlay>& g_CharaEffectPlays;
extern std::vector<cCharaEffectPlay>& g_CharaEffectPlaysRev;
extern std::vector<cScrEffectPlay>& g_ScrEffectPlays;
extern std::vector<cScrEffectPlay>& g_ScrEffectPlaysRev;

// Fills a prepared player for effect n, forward or reversed. The reversed entry is the database's
// reversed copy, whose start and end parameters are set from the forward entry (so preparing twice
// gives the same result).
void PrepareCharaEffect(cCharaEffectPlay& play, int n, int reversed, cDatabase& db = g_Database);
void PrepareScrEffect(cScrEffectPlay& play, int n, int reversed, cDatabase& db = g_Database);

void BuildCharaEffectPlays(std::vector<cCharaEffectPlay>& forward, std::vector<cCharaEffectPlay>& reversed,
                           cDatabase& db = g_Database);
void BuildScrEffectPlays(std::vector<cScrEffectPlay>& forward, std::vector<cScrEffectPlay>& reversed,
                         cDatabase& db = g_Database);

// The start-up sequence after the database has loaded: the reversed effect lists, the animation
// and effect scripts, and the prepared character and screen effect players.
void BuildDatabaseRuntime(cDatabase& db = g_Database);
