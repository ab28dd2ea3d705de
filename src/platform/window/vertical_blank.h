#pragma once
// The display's vertical blank, for presentation with vertical sync: the software display refreshes
// 60 times a second on the program clock, so waiting for the next refresh paces frames as a real
// display's synchronised present does.

// Waits (1-ms sleeps of the program clock) until the next refresh of the 60 Hz display begins.
void WaitForVerticalBlank();
