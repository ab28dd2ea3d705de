#pragma once
// The bodies of character command kinds 2-16: the movement commands, change direction, jump,
// shot, sword, the three summons and the flow operation. They receive the command's running state
// and are called on every logic sub-step while the command is current; the flow runner decides
// from the duration when it ends. Bodies that act once per frame count calls in the state and act
// when the count (wrapping at n) is 0.
class cCharaBase;
class cCmdState;
class cFlowCmd;

int CmdStraightMove(cCharaBase& actor, cCmdState& state);     // 2 "直線移動"
int CmdTurnaroundMove(cCharaBase& actor, cCmdState& state);   // 3 "地上折り返し移動"
int CmdCircleMove(cCharaBase& actor, cCmdState& state);       // 4 "円移動"
int CmdChargeMove(cCharaBase& actor, cCmdState& state);       // 5 "突撃移動"
int CmdHomingMove(cCharaBase& actor, cCmdState& state);       // 6 "誘導移動"
int CmdAvoidEdgeMove(cCharaBase& actor, cCmdState& state);    // 7 "画面外回避移動"
int CmdDisableMove(cCharaBase& actor, cCmdState& state);      // 8 "移動の無効化"
int CmdChangeDirection(cCharaBase& actor, cCmdState& state);  // 9 "向き変更"
int CmdJump(cCharaBase& actor, cCmdState& state);             // 10 "ジャンプ"
int CmdShot(cCharaBase& actor, cCmdState& state);             // 11 "ショット"
int CmdSword(cCharaBase& actor, cCmdState& state);            // 12 "ソード"
int CmdSummonBlock(cCharaBase& actor, cCmdState& state);      // 13 "ブロック召喚"
int CmdSummonChara(cCharaBase& actor, cCmdState& state);      // 14 "キャラ召喚"
int CmdSummonItem(cCharaBase& actor, cCmdState& state);       // 15 "アイテム召喚"
int CmdFlowOp(cCharaBase& actor, cCmdState& state);           // 16 "フローの操作"

// Once-per-frame bodies act on the first of each frame's n calls: the state's call counter runs
// 0 .. n - 1 over the sub-steps; true on its 0.
bool TakeFrameTurn(cCmdState& state);

// The command's own sound: its database sound, unless it plays only on screen and the actor is off
// screen (onScreenRule 0 plays it whatever).
void PlayCmdSound(const cCharaBase& actor, const cFlowCmd& cmd, int onScreenRule);
