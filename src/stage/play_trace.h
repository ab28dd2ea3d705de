#pragma once
// The per-frame trace of a stage play (qc4 --trace FILE): one JSON line per frame, written after the
// frame's logic, with the hero, the object counts, score, timer, the first 16 common and stage
// variables, the game thread's generator state and a hash of every object's state. Two plays with
// the same input and seed give the same lines; a replay must give the lines of its recording.
//
// The play loop calls TracePlayFrame after the logic of every play frame (before drawing). Nothing
// is traced until a trace is started.
#include <cstdint>
#include <string>

// The line of the current frame, without the line feed:
// {"frame":N,"hero":{"x":X,"y":Y,"vx":VX,"vy":VY,"hp":HP,"sp":SP},"chars":C,"shots":S,"items":I,
//  "score":SC,"timer":T,"vars":[V0,...,V15],"stage_vars":[W0,...,W15],"rand":R,"state":"H"}
// Doubles with 17 significant digits (they read back exactly), H as 16 hex digits.
std::string PlayTraceLine(uint64_t frame);
// 64-bit FNV-1a hash of every object's position, speed, HP, SP, flow and variable state: the hero
// and the characters in list order (with their flow and command states), the items and the shots.
uint64_t PlayStateHash();

// Starts collecting trace lines (dropping any collected before).
void StartPlayTrace();
bool IsPlayTraceOn();
// Appends the frame's line while a trace is on; the play loop's call after each frame's logic.
void TracePlayFrame(uint64_t frame);
// The lines collected so far, each ending in a line feed.
const std::string& PlayTraceText();
// Stops collecting and hands the lines over.
std::string StopPlayTrace();
