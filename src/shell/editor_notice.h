#pragma once
// Notices to the editor about a test play (WM_COPYDATA with one int32).

// The game window exists (dwData 1, value 1).
void NotifyEditorStart();
// The game window was destroyed (value 1) or start-up failed (value 0); dwData 0.
void NotifyEditorEnd(int value);
