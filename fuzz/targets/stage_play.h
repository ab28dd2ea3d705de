#pragma once
// What the stage-play and replay targets share: a fresh run of stage play, and a few frames of play.

// One input's run of stage play: starts on a fresh run (stage play's services installed once per
// process, message boxes answered at once, one input record) and leaves a fresh one behind, so that
// what an input made is gone when it ends (libFuzzer counts what an input leaves as a leak).
class cStagePlayRun {
 public:
  cStagePlayRun();
  ~cStagePlayRun();
  cStagePlayRun(const cStagePlayRun&) = delete;
  cStagePlayRun& operator=(const cStagePlayRun&) = delete;
};

// Whether the stage in g_StageFile is played: not when its block table is one that set-up accepts but
// takes long to fill (a map of millions of cells), which would slow every input made from it.
bool WorthPlaying();

// Sets up the stage in g_StageFile (loaded for play, with g_StageData and g_HeroType) and plays that
// many frames of logic and drawing, with input of its own outside replay playback.
void PlayFrames(int frames);
