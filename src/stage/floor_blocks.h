#pragma once
// What the block under the hero does to it: springs, speed and push floors, and blocks that hand
// the hero an item. Results: 0 nothing further, 1 the stage ends, 2 the hero is defeated (from the
// item taken); the play loop carries them out.
class cHero;

// Effect kinds of a floor block (cBlockType::m_nEffect).
constexpr int kFloorSpring = 1;
constexpr int kFloorKind2 = 2;
constexpr int kFloorSpeedFactor = 3;
constexpr int kFloorPushLeft = 4;
constexpr int kFloorPushRight = 5;

// Before the hero's moves: a walking hero standing on a block in contact for it, with no floor
// effect running, starts the block's effect (a spring launches it at once, a speed factor or push
// runs for one frame's sub-steps); a running factor or push then acts on the horizontal speed, and
// its end keeps the hero on the ground. A spring that holds an item also hands it at once.
int StepFloorBlock(cHero& hero);
// Before the hit pass: a walking hero on a block holding an item takes a copy of it, then waits one
// second of sub-steps before the block gives again; the wait ends early when the hero jumps or
// steps onto another block.
int StepItemBlock(cHero& hero);
