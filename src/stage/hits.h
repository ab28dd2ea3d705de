#pragma once
// Hits, defeats and items of a logic sub-step. After every character and shot has moved, the play
// loop runs ResolveHits (shots against characters of other groups, bodies of different groups
// against each other, shots of different groups breaking each other), then the hero's CollectItems.
// When a flow command has changed a status or erased a character, SweepDefeatedCharas runs before
// the next character moves. Defeats go through DefeatOne and DefeatChara, which turn a defeat into
// its consequence for the stage.
//
// Results: 0 nothing further, 1 the stage ends, 2 the hero is defeated. ResolveHits and
// CollectItems only report them; the play loop carries them out (stage-clear processing, or the
// hero's defeat). The damage arithmetic, invincibility and hit triggers are the characters' own
// (cCharaBase).
#include <cstdint>
#include <list>
#include <vector>

#include "objects/chara.h"

class cCharaBase;
class cHero;
class cItem;
class cStageState;
struct cSubStepEnds;

// A player-operated character answers 2 at once; any other, unless already dead, is defeated and
// the defeat's result (1 the stage ends) returned; else 0.
int DefeatOne(cCharaBase& chara);
// DefeatOne with its consequences carried out: 1 runs clearStage (when given); 2 requests the hero's
// defeat sound and defeats the first hero, running clearStage when that ends the stage. The result
// of DefeatOne.
int DefeatChara(cCharaBase& chara, void (*clearStage)());

// The hit pass of one sub-step, in four sections: shots against characters (only on sub-steps whose
// flag in m_anSubStepFlags is set), the erasure of the shots flagged as ended, body attacks, and
// shots against shots. Shots erased by flows while it runs are only flagged (m_bDeferShotErase).
// A defeat that ends the stage or defeats the hero ends the pass at once with 1 or 2.
int ResolveHits(cStageState& stage);

// The hero's item pass: every present, untaken item it may take whose rectangle meets the hero's
// item box fires the hero's item trigger and is taken through the stage's take-item service (take
// mode 0: then removed; take mode 1: once per new touch). A non-zero take result ends the pass.
int CollectItems(cHero& hero);

// The stage's take-item service (cStageHooks::takeItem): 0 when the item cannot be taken (no
// graphic, take mode 2); else its rising picture when it has one, its sound, and the result of the
// hero running its commands (1 stage clear, 2 the hero's life is gone). Removing the item is the
// caller's business.
int TakeStageItem(cItem& item, cHero& hero);

// The character of g_CharaList that a pass of the sub-step is stepping when it runs the pending-defeat
// check. The check may remove that very character with the others (an erase command aimed at its
// group, a flow that took its life): m_Pos then moves on past every character removed there, so that
// the pass holds a valid position whatever went, and m_bRemoved tells it that its character is gone.
struct cSteppedChara {
  std::list<cChara>::iterator m_Pos;
  bool m_bRemoved = false;
};

// The pending-defeat check after flow commands changed statuses or erased characters (the stage's
// m_bDefeatCheck or m_bDefeatedByCmd, both cleared here): a hero without life is defeated and the
// frame ends (1); else erased characters are removed quietly and characters without life defeated
// through ends.defeatChara and removed (kept on show when the project keeps defeated characters).
// 1 when the frame must end. stepped: the character the calling pass holds, or null.
int SweepDefeatedCharas(cStageState& stage, const cSubStepEnds& ends, cSteppedChara* stepped = nullptr);
