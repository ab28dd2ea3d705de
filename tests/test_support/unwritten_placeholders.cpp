#include "test_support/unwritten_placeholders.h"

#include "flow/object_cmds.h"
#include "objects/chara_base.h"

namespace {
int g_nWarpPlaceholderCalls = 0;
}  // namespace

void ResetWarpPlaceholderCalls() { g_nWarpPlaceholderCalls = 0; }
bool WarpIsPlaceholder() { return g_nWarpPlaceholderCalls != 0; }

__attribute__((weak)) bool Warp(cCharaBase&, const cEdMove&, int) { return ++g_nWarpPlaceholderCalls, false; }
