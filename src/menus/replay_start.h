#pragma once
// Playback of a replay chosen in the replay list: its stage, progress and input log are read and its
// hero taken, ready for stage play.
#include <string>

// Reads the replay at the game path for playback (play mode 4, the played stage's path = path) and
// takes its stage's hero. A replay that cannot be read, or whose stage has no hero, gives its message
// and answers false: the player stays in the list. Playback starts with the file just read, so a
// switch to another replay left over from an earlier playback is dropped.
bool StartReplayFromList(const std::string& path);
