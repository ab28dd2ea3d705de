#pragma once
// Drawing problems that game data causes (a picture that is missing, a number outside its list) are
// reported in the report log and the drawing goes on without the part concerned, instead of stopping
// the game. A problem drawn every frame is reported once, not once a frame: a line equal to the last
// one reported is left out.
void ReportDrawProblem(const char* format, ...) __attribute__((format(printf, 1, 2)));
