// The item command table (a taken item's command list, run for the hero) and its dispatch. Item
// kind k from 2 on runs the body of character kind k + 15; kind 1 changes the hero's flows.
#include "data/vocabulary_tables.h"
#include "flow/cmd_tables.h"
#include "flow/expression.h"
#include "flow/object_cmds.h"
#include "flow/status_op.h"
#include "objects/flow_context.h"
#include "objects/hero.h"
#include "objects/stage_state.h"

namespace {

int NoBody(cCharaBase&, cFlowCmd&) { return 0; }

int ChangeFlow(cCharaBase& hero, cFlowCmd& cmd) {
  if (auto* player = dynamic_cast<cHero*>(&hero)) CmdChangeFlow(*player, cmd, 1);
  return 0;
}

// Ends the item's command list with the stage clear.
int StageClear(cCharaBase& hero, cFlowCmd& cmd) { return CmdStageClear(hero, cmd); }

int GameWait(cCharaBase& hero, cFlowCmd& cmd) {
  CmdGameWait(hero, cmd);
  return 0;
}

// An item's messages continue one another: the first of the list opens with its sound and key delay.
int Message(cCharaBase& hero, cFlowCmd& cmd) {
  CmdMessage(hero, cmd, g_lpSceneStage ? g_lpSceneStage->m_bItemMesContinue : 0);
  if (g_lpSceneStage) g_lpSceneStage->m_bItemMesContinue = 1;
  return 0;
}

// On the taken item's own flow variables; the list goes on whatever the result.
int StatusOp(cCharaBase& hero, cFlowCmd& cmd) {
  StatusOperation(hero, cmd, g_lpSceneStage ? g_lpSceneStage->m_lpFlowVars : nullptr);
  return 0;
}

int EvalCodeCmd(cCharaBase& hero, cFlowCmd& cmd) {
  EvalCode(cmd.m_strText, hero);
  return 0;
}

// The gotten item's end decision goes to the stage's end request (the item get writes it); the
// taken item's own list goes on, as after every command but the stage clear.
int ItemGet(cCharaBase& hero, cFlowCmd& cmd) {
  CmdItemGet(hero, cmd);
  return 0;
}

int Arrange(cCharaBase& hero, cFlowCmd& cmd) {
  CmdArrange(hero, cmd);
  return 0;
}

}  // namespace

const ItemCmdEntry g_ItemCmdTable[kItemCmdKindCount] = {
    NoBody,               // 0 ""
    ChangeFlow,           // 1 "フローの変更"
    StageClear,           // 2 "ステージクリア" (character 17)
    GameWait,             // 3 "ゲームウエイト" (18)
    Message,              // 4 "メッセージ" (19)
    CmdWarp,              // 5 "ワープ" (20)
    CmdSetTarget,         // 6 "ターゲットの設定" (21)
    StatusOp,             // 7 "ステータスの操作" (22)
    CmdStatusOp2,         // 8 "ステータスの操作2" (23)
    CmdVanish,            // 9 "消滅" (24)
    ItemGet,              // 10 "アイテムの取得" (25)
    CmdGraphicChange,     // 11 "グラフィックの変更" (26)
    CmdAnimeSetChange,    // 12 "基本アニメセットの変更" (27)
    CmdRunAnime,          // 13 "アニメの実行" (28)
    CmdRunEffect,         // 14 "エフェクトの実行" (29)
    CmdRunCharaEffect,    // 15 "キャラエフェクトの実行" (30)
    CmdRunScrEffect,      // 16 "画面エフェクトの実行" (31)
    CmdShowPicture,       // 17 "ピクチャーの表示" (32)
    CmdScreenColour,      // 18 "画面の色を変更" (33)
    CmdChangeBackground,  // 19 "背景の変更" (34)
    CmdPlaySound,         // 20 "効果音の再生" (35)
    CmdPlayBgm,           // 21 "BGMの再生" (36)
    EvalCodeCmd,          // 22 "コードの実行" (37)
    Arrange,              // 23 "アレンジ" (38)
    NoBody,               // 24 "ループ" (39): expanded when the item is set up
};

int RunItemCmdEntry(cHero& hero, cFlowCmd& cmd) {
  const int kind = cmd.m_nKind;
  if (kind < 0 || kind >= kItemCmdKindCount) {
    ReportRefusedCmd(1, kind);
    return 0;
  }
  cFlowContextScope keep;
  return g_ItemCmdTable[kind](hero, cmd);
}
