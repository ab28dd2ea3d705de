// A link placeholder for a function that the flow and stage layers call but that is not written
// yet: Warp of the warp command (the status operation and the expression language move characters
// with it). The placeholder is weak, so a real definition linked in replaces it. It moves nothing,
// answers "not moved" and counts its calls: a test whose outcome depends on the real move checks
// WarpIsPlaceholder() after the operation and skips while the placeholder answered. Delete
// unwritten_placeholders.{h,cpp} (and their lines in tests/CMakeLists.txt) once Warp exists.
#pragma once

// Resets the count of Warp placeholder calls.
void ResetWarpPlaceholderCalls();
// The Warp placeholder answered a call since the last reset.
bool WarpIsPlaceholder();
