#pragma once
// The worker threads as the main window sees them: suspended around modal dialogs and the quit
// question, and stopped in order when the window closes.
#include <cstdint>

// thGame, thPause, thRanking and thLoad, in that order.
void SuspendWorkers();
void ResumeWorkers();

// Whether thPause runs (a stage's modal wait), and its thread id.
bool PauseThreadRunning();
uint32_t PauseThreadId();

// Exit on thLoad, thPause and thRanking, then on thGame.
void ExitWorkers();

// Starts thGame on GameLoop and makes sure its queue exists (the start message is posted until the
// post succeeds, with a bound). false when the thread could not start.
bool StartGameThread();
