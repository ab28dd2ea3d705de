#pragma once
// The one millisecond clock of the program. In play it is monotonic real time; in tests and headless
// runs it is virtual: the frame pacing's sleeps advance it instead of waiting, so paced loops run as
// fast as the machine allows and repeat exactly. A wait for another thread's work (a file read on the
// loader thread, a dialog's answer) takes real time in both modes and never moves the virtual clock:
// how long such work takes differs from run to run, and the clock would carry that into the game
// (the seed of a stage play is the time at its start).
#include <cstdint>

// Milliseconds, wrapping at 2^32 like the multimedia timer the game was written for. Differences
// must be taken unsigned.
uint32_t timeGetTime();

// Sleeps ms milliseconds of this clock (advances the virtual clock without waiting): the frame
// pacing's wait for the time a frame is due.
void QcSleep(uint32_t ms);
// Sleeps ms milliseconds of real time in both modes: a wait for another thread, which leaves the
// virtual clock alone.
void WaitRealTime(uint32_t ms);

// Switches between real (false) and virtual (true) time. The virtual clock keeps its value.
void SetVirtualClock(bool on);
bool IsVirtualClock();

// Virtual clock only: set or advance the current time.
void SetVirtualTime(uint32_t ms);
void AdvanceVirtualTime(uint32_t ms);
