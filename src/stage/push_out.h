#pragma once
// A character against the block characters of the stage (moving platforms, crates, walls that walk)
// after its own move and block tests in a logic sub-step: per block character it decides whether
// that one is a wall, a floor or a ceiling, moves the character out, lets it land on and ride a
// block character, reports crushing and fires the contact flows. Flying characters follow a
// simpler rule; a character flying through blocks is never moved. The candidates are the block
// characters of the list that count for the character (stage/block_charas.h).
#include <list>

class cChara;
class cCharaBase;

// Axes of ResolveBlockCharasAxis.
enum : int {
  kPushAxisVertical = 0,
  kPushAxisHorizontal = 1,
};

// 0, or kContactFatal (stage/block_contact.h) when the character is crushed or embedded, or flies,
// dies on blocks and touched a block character.
int PushOutOfBlockCharas(cCharaBase& chara, std::list<cChara>& list);
// Pushes a flying character out of the block characters it overlaps now on one axis only.
void ResolveBlockCharasAxis(cCharaBase& chara, int axis, std::list<cChara>& list);
// Before a rider moves: it takes the movement of the character it rides since the last sub-step,
// and that character's rider flows fire.
void FollowRiddenChara(cCharaBase& chara, std::list<cChara>& list);
