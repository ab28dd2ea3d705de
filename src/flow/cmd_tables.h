#pragma once
// The two command tables a flow's commands and a taken item's commands run through (indexed by the
// command's kind byte), the flow-variable result store every body shares, and the bodies on the
// main road of a stage: stage clear, game wait, message (with choices recorded for replays),
// change flow and arrange. Item kind k (2-23) runs the same body as character kind k + 15.
#include <cstdint>

#include "data/flow_cmd.h"
#include "data/vocabulary_tables.h"

class cCharaBase;
class cCmdState;
class cHero;

// A character-table entry: the executing character and the command's running state.
using CharaCmdEntry = int (*)(cCharaBase& actor, cCmdState& state);
// An item-table entry: the hero and the command; a non-zero result ends the item's command list.
using ItemCmdEntry = int (*)(cCharaBase& hero, cFlowCmd& cmd);

// One entry per kind of the command tables' vocabulary.
extern const CharaCmdEntry g_CharaCmdTable[kCharaCmdKindCount];
extern const ItemCmdEntry g_ItemCmdTable[kItemCmdKindCount];

// The table entry of the command state's kind (the character context of DispatchCmd); a kind
// outside the table runs nothing. The flow context is the same after the entry as before it.
int RunCharaCmdEntry(cCharaBase& actor, cCmdState& state);
// The item table's entry of the command's kind, run for the hero; a kind outside it gives 0. The
// flow context is the same after the entry as before it.
int RunItemCmdEntry(cHero& hero, cFlowCmd& cmd);
// A command a table cannot run (a kind outside the table, or a body not built yet) is reported to
// the report log once per table and kind, and changes nothing. table: 0 character, 1 item.
void ReportRefusedCmd(int table, int kind);

// A := result (B := 0 as well under the 981 legacy switch), into the running flow's variables.
void StoreFlowResult(int32_t result);

// "ステージクリア": the next stage and world-map place into the progress; 1.
int CmdStageClear(cCharaBase& actor, cFlowCmd& cmd);
// "ゲームウエイト": an invisible timer window and a modal wait of P0 tenths of a second.
void CmdGameWait(cCharaBase& actor, cFlowCmd& cmd);
// "メッセージ": shows, reuses or erases a message window; waits when asked; records a choice.
// continuation: the previous command was a key-waiting message.
void CmdMessage(cCharaBase& actor, cFlowCmd& cmd, int continuation);
// "フローの変更" (items): adds, replaces or removes the hero's flows; queued on the hero while its
// own flows run (deferral on).
int CmdChangeFlow(cHero& hero, cFlowCmd& cmd, int deferral);
// "アレンジ": the parameter vector becomes a pending entry for the next command that is not an
// arrange command.
void CmdArrange(cCharaBase& actor, cFlowCmd& cmd);
