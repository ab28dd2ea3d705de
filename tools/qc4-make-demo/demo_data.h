#pragma once
// The demo game's project files, built as the game's own records and written through their own
// Save: the project settings, the ten database files, the common palette, the stages and the world
// map; and the hand-written settings file "System.ini".
#include <string>

class cDatabase;
class cSystemData;
class cPalette;
class cStageData;

constexpr int kDemoStageCount = 3;

// Database lists the demo uses: music 1-3 (title, map, stage), sounds 1-6 (jump, goal, coin, shot,
// stomp, treasure), screen effect 1 (a shake) and one animation set with a walk.
void FillDemoDatabase(cDatabase& database);
void FillDemoSystemData(cSystemData& settings);
// Block types 1-6; character types 1 (hero), 2 (slime), 3 and 4 (lifts across and up), 5 and 6
// (beetles, the second shaking the screen when stomped) and 7 (turret); item types 1 (goal star),
// 2 (coin), 3 (gem) and 4 (heart); then the events' types (demo_events.h).
void FillDemoPalette(cPalette& palette);
// Stage number 1..kDemoStageCount from its drawn map and its event placements; uses the common
// palette's types.
void FillDemoStage(int number, const cPalette& palette, cStageData& stage);
// The game path of a numbered stage file: "data\stg4\c01-1.stg4_000".
std::string DemoStagePath(int number);
// "System.ini": a window, Direct3D, no start-up question.
std::string DemoSystemIni();

// Writes every project file under the working folder; false (with a line on stderr) at the first
// file that cannot be written.
bool WriteDemoProject();
