#pragma once
// --dump-audio of a headless run: the mix is pulled once per polled frame, 1/60 s of it each time,
// and written to a WAVE file that is put in place when the run ends.

#include <string>

// Starts the recording for hostPath (false with the system's reason). Loads the MIDI synthesiser at
// once, so that music starts at the frame it is asked for whatever the load takes.
bool StartAudioDump(const std::string& hostPath, std::string* why);
bool AudioDumpRunning();
// The sound of one frame; nothing without a recording. Called by the game thread's input step.
void PullAudioDumpFrame();
// Ends the recording and puts the file in place; true when there was none. false with the reason.
bool FinishAudioDump(std::string* why);
