// The character command table (flows of characters, blocks and the stage), its dispatch, and the
// result store the bodies share.
#include <atomic>
#include <cstdint>

#include "core/log.h"
#include "data/system_data.h"
#include "data/vocabulary_tables.h"
#include "flow/action_cmds.h"
#include "flow/cmd_tables.h"
#include "flow/expression.h"
#include "flow/object_cmds.h"
#include "flow/status_op.h"
#include "objects/flow_context.h"
#include "objects/flow_state.h"
#include "objects/stage_state.h"

namespace {

// The bodies of the runner's own commands (wait, loop) and of the empty row do nothing here.
int NoBody(cCharaBase&, cCmdState&) { return 0; }

int StageClear(cCharaBase& actor, cCmdState& state) {
  const int result = CmdStageClear(actor, *state.m_lpCmd);
  if (g_lpSceneStage) g_lpSceneStage->m_nEndRequest = result;
  return result;
}

int GameWait(cCharaBase& actor, cCmdState& state) {
  CmdGameWait(actor, *state.m_lpCmd);
  return 0;
}

// The continuation of a flow's message: its previous command was a key-waiting message.
int Message(cCharaBase& actor, cCmdState& state) {
  const cFlowState* flow = g_lpSceneStage ? g_lpSceneStage->m_lpCurFlowState : nullptr;
  CmdMessage(actor, *state.m_lpCmd, flow ? flow->m_bMesWait : 0);
  return 0;
}

// On the running flow's variables.
int StatusOp(cCharaBase& actor, cCmdState& state) {
  return StatusOperation(actor, *state.m_lpCmd, g_lpSceneStage ? g_lpSceneStage->m_lpFlowVars : nullptr);
}

int EvalCodeCmd(cCharaBase& actor, cCmdState& state) { return EvalCode(state.m_lpCmd->m_strText, actor); }

int Arrange(cCharaBase& actor, cCmdState& state) {
  CmdArrange(actor, *state.m_lpCmd);
  return 0;
}

// The object, picture and effect commands (object_cmds.h) run within the call on the command alone.
template <int (*Body)(cCharaBase&, cFlowCmd&)>
int ObjectCmd(cCharaBase& actor, cCmdState& state) {
  return Body(actor, *state.m_lpCmd);
}

}  // namespace

const CharaCmdEntry g_CharaCmdTable[kCharaCmdKindCount] = {
    NoBody,                          // 0 ""
    NoBody,                          // 1 "ウエイト": the flow runner waits
    CmdStraightMove,                 // 2 "直線移動"
    CmdTurnaroundMove,               // 3 "地上折り返し移動"
    CmdCircleMove,                   // 4 "円移動"
    CmdChargeMove,                   // 5 "突撃移動"
    CmdHomingMove,                   // 6 "誘導移動"
    CmdAvoidEdgeMove,                // 7 "画面外回避移動"
    CmdDisableMove,                  // 8 "移動の無効化"
    CmdChangeDirection,              // 9 "向き変更"
    CmdJump,                         // 10 "ジャンプ"
    CmdShot,                         // 11 "ショット"
    CmdSword,                        // 12 "ソード"
    CmdSummonBlock,                  // 13 "ブロック召喚"
    CmdSummonChara,                  // 14 "キャラ召喚"
    CmdSummonItem,                   // 15 "アイテム召喚"
    CmdFlowOp,                       // 16 "フローの操作"
    StageClear,                      // 17 "ステージクリア"
    GameWait,                        // 18 "ゲームウエイト"
    Message,                         // 19 "メッセージ"
    ObjectCmd<CmdWarp>,              // 20 "ワープ"
    ObjectCmd<CmdSetTarget>,         // 21 "ターゲットの設定"
    StatusOp,                        // 22 "ステータスの操作"
    ObjectCmd<CmdStatusOp2>,         // 23 "ステータスの操作2"
    ObjectCmd<CmdVanish>,            // 24 "消滅"
    ObjectCmd<CmdItemGet>,           // 25 "アイテムの取得"
    ObjectCmd<CmdGraphicChange>,     // 26 "グラフィックの変更"
    ObjectCmd<CmdAnimeSetChange>,    // 27 "基本アニメセットの変更"
    ObjectCmd<CmdRunAnime>,          // 28 "アニメの実行"
    ObjectCmd<CmdRunEffect>,         // 29 "エフェクトの実行"
    ObjectCmd<CmdRunCharaEffect>,    // 30 "キャラエフェクトの実行"
    ObjectCmd<CmdRunScrEffect>,      // 31 "画面エフェクトの実行"
    ObjectCmd<CmdShowPicture>,       // 32 "ピクチャーの表示"
    ObjectCmd<CmdScreenColour>,      // 33 "画面の色を変更"
    ObjectCmd<CmdChangeBackground>,  // 34 "背景の変更"
    ObjectCmd<CmdPlaySound>,         // 35 "効果音の再生"
    ObjectCmd<CmdPlayBgm>,           // 36 "BGMの再生"
    EvalCodeCmd,                     // 37 "コードの実行"
    Arrange,                         // 38 "アレンジ"
    NoBody,                          // 39 "ループ": expanded when the flows are installed
};

int RunCharaCmdEntry(cCharaBase& actor, cCmdState& state) {
  if (!state.m_lpCmd) return 0;
  const int kind = state.m_lpCmd->m_nKind;
  if (kind < 0 || kind >= kCharaCmdKindCount) {
    ReportRefusedCmd(0, kind);
    return 0;
  }
  cFlowContextScope keep;
  return g_CharaCmdTable[kind](actor, state);
}

void StoreFlowResult(int32_t result) {
  cStageState* stage = g_lpSceneStage;
  if (!stage || !stage->m_lpFlowVars) return;
  stage->m_lpFlowVars[0] = result;
  if (g_SystemData.m_bLegacy981) stage->m_lpFlowVars[1] = 0;
}

void ReportRefusedCmd(int table, int kind) {
  // One bit per kind of each table, and one for the kinds outside it: each is reported once per run
  // of the program, as a broken or unfinished command would otherwise repeat every step.
  static std::atomic<uint64_t> reported[2] = {0, 0};
  const bool item = table != 0;
  const int count = item ? kItemCmdKindCount : kCharaCmdKindCount;
  const bool inside = kind >= 0 && kind < count;
  const uint64_t bit = uint64_t{1} << (inside ? kind : 63);
  if (reported[item ? 1 : 0].fetch_or(bit) & bit) return;
  const char* name = item ? "item" : "character";
  if (!inside) {
    LogPrintf("command kind %d is outside the %s command table: not run", kind, name);
    return;
  }
  const CMDKIND& row = item ? g_ItemCmdKinds[kind] : g_CharaCmdKinds[kind];
  LogPrintf("%s command %d \"%s\" has no body yet: not run", name, kind, row.name);
}
