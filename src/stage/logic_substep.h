#pragma once
// The stage's logic in a play frame: the work before the frame's sub-steps and one logic sub-step,
// which the play frame runs n times (n from the stage's hit-check level). A sub-step runs, in this
// order: the lifetimes of summoned characters and items, the per-sub-step bookkeeping of every
// character, the automatic scroll, then the block characters, the hero and the other characters,
// each taking its frame step, moving and meeting the map and (the hero and the other characters)
// the block characters, with the pending defeats left by flow commands checked before each one
// moves (the hero meets the effect of its floor block first, stage/floor_blocks.h); then the
// hero's item blocks, the hit pass and the hero's item pass (stage/hits.h). Not in it yet: the
// activity pass at its start, and the shots' steps and keep areas before the hit pass.
#include <list>

class cChara;
class cCharaBase;

// What the sub-step hands over to stage play's end-of-stage processing.
struct cSubStepEnds {
  // Defeats a character with the consequences carried out (for the hero: its defeat, and the
  // stage clear that may bring): 0 nothing further, 1 the stage ended, 2 the hero was defeated.
  // Without it a killed character is left as it is.
  int (*defeatChara)(cCharaBase& chara) = nullptr;
  // The stage-clear processing after a flow asked to end the stage as cleared.
  void (*clearStage)() = nullptr;
};

// Before a frame's sub-steps: the flows' per-frame flags of the hero and of every living character
// are reset, and every character's block-summon flags cleared.
void StartLogicFrame();
// One logic sub-step (the stage's current sub-step counters already advanced). 1 when the frame
// ends here (the stage ended, the hero fell, or a crushed hero was spared for this frame), else 0.
int RunLogicSubStep(const cSubStepEnds& ends);
