#pragma once
// The bodies of character command kinds 20, 21 and 23-36 (item kinds 5, 6 and 8-21): warp, set
// target, status operation 2, vanish, item get, graphic and animation changes, effects, pictures,
// screen colour, backgrounds, sound and music. Each runs within the call, except the effect and
// picture commands with their wait parameter, which run the stage's modal wait. The int result is 0,
// but for item get: the gotten item's end decision (0 none, 1 clear, 2 failure), which it also
// writes to the stage's end request; the item table's entry still returns 0 for it.
#include "data/flow_cmd.h"
#include "data/move_shot.h"

class cCharaBase;

int CmdWarp(cCharaBase& actor, cFlowCmd& cmd);              // 20 "ワープ"
int CmdSetTarget(cCharaBase& actor, cFlowCmd& cmd);         // 21 "ターゲットの設定"
int CmdStatusOp2(cCharaBase& actor, cFlowCmd& cmd);         // 23 "ステータスの操作2"
int CmdVanish(cCharaBase& actor, cFlowCmd& cmd);            // 24 "消滅"
int CmdItemGet(cCharaBase& actor, cFlowCmd& cmd);           // 25 "アイテムの取得"
int CmdGraphicChange(cCharaBase& actor, cFlowCmd& cmd);     // 26 "グラフィックの変更"
int CmdAnimeSetChange(cCharaBase& actor, cFlowCmd& cmd);    // 27 "基本アニメセットの変更"
int CmdRunAnime(cCharaBase& actor, cFlowCmd& cmd);          // 28 "アニメの実行"
int CmdRunEffect(cCharaBase& actor, cFlowCmd& cmd);         // 29 "エフェクトの実行"
int CmdRunCharaEffect(cCharaBase& actor, cFlowCmd& cmd);    // 30 "キャラエフェクトの実行"
int CmdRunScrEffect(cCharaBase& actor, cFlowCmd& cmd);      // 31 "画面エフェクトの実行"
int CmdShowPicture(cCharaBase& actor, cFlowCmd& cmd);       // 32 "ピクチャーの表示"
int CmdScreenColour(cCharaBase& actor, cFlowCmd& cmd);      // 33 "画面の色を変更"
int CmdChangeBackground(cCharaBase& actor, cFlowCmd& cmd);  // 34 "背景の変更"
int CmdPlaySound(cCharaBase& actor, cFlowCmd& cmd);         // 35 "効果音の再生"
int CmdPlayBgm(cCharaBase& actor, cFlowCmd& cmd);           // 36 "BGMの再生"

// The warp of a command's movement settings; false when the target slot is empty or the new place
// is blocked (the actor then stays where it was). forStatusOp: the coordinate writing of the status
// operations (legacy 895).
bool Warp(cCharaBase& actor, const cEdMove& settings, int forStatusOp);
// Defeats a character as status operation 2 does ("消滅"): a non-hero is flagged vanished, the
// hero's HP becomes 0; another character than the actor raises the defeated-by-command flag.
void DefeatByCommand(cCharaBase& chara, const cCharaBase& actor);
