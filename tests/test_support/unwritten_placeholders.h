// Link placeholders for two functions that the flow and stage layers call but that are not written
// yet: Warp of the warp command (the status operation and the expression language move characters
// with it) and cCharaBase::TickInvincible of damage and invincibility (the logic sub-step counts
// every character's invincibility down with it). Each placeholder is weak, so a real definition
// linked in replaces it. Warp moves nothing, answers "not moved" and counts its calls: a test whose
// outcome depends on the real move checks WarpIsPlaceholder() after the operation and skips while
// the placeholder answered. TickInvincible counts nothing down, which no test notices while nothing
// makes a character invincible. Delete unwritten_placeholders.{h,cpp} (and their lines in
// tests/CMakeLists.txt) once both exist.
#pragma once

// Resets the count of Warp placeholder calls.
void ResetWarpPlaceholderCalls();
// The Warp placeholder answered a call since the last reset.
bool WarpIsPlaceholder();
