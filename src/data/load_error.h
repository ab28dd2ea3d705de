// The message shown when a data file cannot be read.
#pragma once

#include <string>

// "%s の読み込みに失敗しました！" with the path, plus the too-new line when the last read open
// refused the file as newer than this program.
std::string LoadErrorText(const char* path);

// Writes the load error to the report log and shows it in an error box; the report log also gets why
// the file read last on this thread was refused.
void ShowLoadError(const char* path);
