#include "flow/pending_links.h"

#include "flow/object_cmds.h"
#include "objects/chara_base.h"

namespace {
int g_nPendingCalls = 0;
}  // namespace

void ResetPendingLinkCalls() { g_nPendingCalls = 0; }
bool WaitsForPendingLink() { return g_nPendingCalls != 0; }

// Character motion.
__attribute__((weak)) int cCharaBase::ChangeHP(int, int, int) { return ++g_nPendingCalls, 0; }
__attribute__((weak)) void cCharaBase::ChangeSP(int, int) { ++g_nPendingCalls; }
__attribute__((weak)) void cCharaBase::ShowHpChange(int) { ++g_nPendingCalls; }
__attribute__((weak)) void cCharaBase::ShowSpChange(int) { ++g_nPendingCalls; }
__attribute__((weak)) int HalfBlocksToDots(int8_t) { return ++g_nPendingCalls, 0; }
__attribute__((weak)) double FrictionFromSetting(int16_t) { return ++g_nPendingCalls, 0.0; }
// The object base.
__attribute__((weak)) void cObject::UpdateScreenRect() { ++g_nPendingCalls; }
// The warp command.
__attribute__((weak)) bool Warp(cCharaBase&, const cEdMove&, int) { return ++g_nPendingCalls, false; }
