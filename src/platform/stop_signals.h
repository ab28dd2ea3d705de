#pragma once
// Ctrl-C (SIGINT) and SIGTERM as a request to close: instead of ending the process where it stands,
// the signal is noted and the user-interface loop closes the game through its normal close path, so
// that what the run writes at its end is still written. A second signal before the close is done
// ends the process at once, as it would without these handlers.
//
// The handler only notes the signal (the one thing a handler may safely do); the loop asks for it.
// With a window, the window system must not turn the signals into its own quit events (see
// GameWindowInit).

// Installs the handlers for SIGINT and SIGTERM.
void InstallStopSignals();
// The signal that asked to stop (SIGINT or SIGTERM), taken once: later calls return 0 until another
// one arrives. 0 when none did.
int TakeStopSignal();
// The signal that asked this run to stop, if any (not taken away).
int StopSignalReceived();
