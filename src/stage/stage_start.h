#pragma once
// Starting a stage file for play outside the numbered stages (a test play, the "FreeStage" setting,
// the free-play list), the numbered stages' paths, and how a played stage ended.
#include <string>

// The stage file of the running free or direct play, as given to StartStageFromFile.
extern std::string g_CurrentStageFile;

// Resets the progress for a free play and loads the stage (findNewest: its newest numbered
// variant). 1 on success; 0 when it did not load (the loader has said why).
int StartStageFromFile(const std::string& path, bool findNewest);

// The path of numbered stage n: "data\stg4\c" and two digits, "-1.stg4". false for a number out of
// range.
bool StagePathOfNumber(int number, std::string& path);

// The start-up's direct start of the "FreeStage" or test-play stage: true when the stage plays.
bool StartStageDirectly(const std::string& path);
// The direct start of a replay file (a game path): its stage, progress and input log are read and
// the run starts in the stage, playing it back. false (the message shown) when it does not load.
bool StartReplayDirectly(const std::string& path);
// The run plays a replay named on the command line: it ends with the replay instead of repeating it.
bool ReplayFromCommandLine();

// How the last played stage ended (eStageOutcome) and the play frames it took; a test play reports it.
void NoteStageOutcome(int outcome, int frames);
// The play frames of the attempt under way, noted after each play frame's logic.
void NotePlayFrames(int frames);
int LastStageOutcome();
// The play frames of the attempt that ended last, or of the attempt under way while none has ended.
int LastStageFrames();
