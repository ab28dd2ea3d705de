#pragma once
// The demo's events, made of the game's own flows: a guide in the first stage (and the bonus stage)
// who asks the hero a question with two answers, a coin count kept by code text that gives a score
// bonus at five coins and is shown on screen, and the bonus stage that the world map opens once the
// first stage is cleared.
#include <vector>

#include "demo_pictures.h"

class cPalette;
class cStageData;

// Stage variables the events use (shown in a play trace as stage_vars).
enum : int {
  kVarAnswer = 1,     // 0 not asked yet, 1 "yes" chosen, 2 "no" chosen, then 3 or 4 once answered
  kVarCoins = 3,      // coins taken in this stage
  kVarCoinBonus = 4,  // 1 once the coin count gave its bonus
  kVarCoinShown = 5,  // 1 once the coin count is on screen
};
// The answers' values after the guide has replied.
constexpr int kAnswerYesDone = 3;
constexpr int kAnswerNoDone = 4;
// Coins that give the bonus of 1000 points.
constexpr int kCoinsForBonus = 5;
// The bonus stage's number: its file is "data\stg4\c04-1.stg4_000" and it is world 4 of the map.
constexpr int kDemoBonusStage = 4;

// Appends the guide's character type to the palette and lets every coin count itself into its
// stage's coin variable. Called once the palette's own types are in.
void AddDemoEventTypes(cPalette& palette);
// Places the event characters of stage number `stage` (after its drawn map).
void PlaceDemoEvents(int stage, const cPalette& palette, cStageData& st);
// The bonus stage: a short run of coins to a goal that ends the world.
void FillDemoBonusStage(const cPalette& palette, cStageData& st);
// The pictures the events show: the guide's character sheet.
std::vector<cDemoPicture> MakeDemoEventPictures();
