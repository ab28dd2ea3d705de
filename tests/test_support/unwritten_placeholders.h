// Link placeholders for functions that the flow and stage layers call but that are not written
// yet: cCharaBase::TickInvincible of damage and invincibility (the logic sub-step counts every
// character's invincibility down with it) and the cEffectObj constructor of the effect objects (the
// effect command places one). Each placeholder is weak, so a real definition linked in replaces it.
// TickInvincible counts nothing down, which no test notices while nothing makes a character
// invincible; the effect constructor only copies its values, as the real one does before it starts
// the animation. Delete unwritten_placeholders.{h,cpp} (and their lines in tests/CMakeLists.txt)
// once both exist.
#pragma once
