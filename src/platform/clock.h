#pragma once
// The one millisecond clock of the program. In play it is monotonic real time; in tests and headless
// runs it is virtual: sleeping advances it instead of waiting, so paced loops run as fast as the
// machine allows and repeat exactly.
#include <cstdint>

// Milliseconds, wrapping at 2^32 like the multimedia timer the game was written for. Differences
// must be taken unsigned.
uint32_t timeGetTime();

// Sleeps ms milliseconds of this clock (advances the virtual clock without waiting).
void QcSleep(uint32_t ms);

// Switches between real (false) and virtual (true) time. The virtual clock keeps its value.
void SetVirtualClock(bool on);
bool IsVirtualClock();

// Virtual clock only: set or advance the current time.
void SetVirtualTime(uint32_t ms);
void AdvanceVirtualTime(uint32_t ms);
