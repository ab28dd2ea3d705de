#pragma once
// Writing the player's options when the options screen is left.

// Writes g_OptionData to "user_data\Option.dat" in place of the old file. Nothing is written after
// a fatal stop. A failed write tells the player (the old file stays whole and the values stay in
// memory until exit) and answers false.
bool SaveOptionFile();
