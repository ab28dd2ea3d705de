#pragma once
// The per-frame trace of a stage play (qc4 --trace FILE): one JSON line per frame, written after the
// frame's logic, with the frame numbers, the hero, the object counts, score, timer, the first 16
// common and stage variables, the game thread's generator state and a hash of every object's state.
// Two plays with the same input and seed give the same lines; a replay must give the lines of its
// recording (but for the frame loop's count, which counts what ran before the play too).
//
// The play loop calls TracePlayFrame after the logic of every play frame (before drawing). Nothing
// is traced until a trace is started: in memory (tests), or into a file whose lines are written as
// they come.
#include <cstdint>
#include <string>

// The line of the current frame, without the line feed:
// {"frame":N,"play_frame":P,"hero":{"x":X,"y":Y,"vx":VX,"vy":VY,"hp":HP,"sp":SP},"chars":C,"shots":S,
//  "items":I,"score":SC,"timer":T,"vars":[V0,...,V15],"stage_vars":[W0,...,W15],"rand":R,"state":"H"}
// N is the caller's frame number, P the stage play's own count of play frames since its set-up (a
// replay's lines agree with its recording's in P, whatever came before the play). Doubles with 17
// significant digits (they read back exactly), H as 16 hex digits.
std::string PlayTraceLine(uint64_t frame);
// 64-bit FNV-1a hash of every object's position, speed, HP, SP, flow and variable state: the hero
// and the characters in list order (with their flow and command states), the items and the shots.
uint64_t PlayStateHash();

// Starts collecting trace lines in memory (dropping any collected before, ending a file trace).
void StartPlayTrace();
// Starts a trace into the file at hostPath (a path of this system): each line reaches a temporary
// file beside it as it comes, and FinishPlayTraceFile puts the lines in place. false with the
// system's reason when the file cannot be written.
bool StartPlayTraceFile(const std::string& hostPath, std::string* error);
bool IsPlayTraceOn();
// Adds the frame's line while a trace is on; the play loop's call after each frame's logic.
void TracePlayFrame(uint64_t frame);
// The lines collected in memory so far, each ending in a line feed.
const std::string& PlayTraceText();
// Stops collecting and hands the lines collected in memory over.
std::string StopPlayTrace();
// Ends a file trace: the file at its path is replaced by the lines written. false with the system's
// reason when a line or the replacement could not be written. true when no file trace runs.
bool FinishPlayTraceFile(std::string* error);
