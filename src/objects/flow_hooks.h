#pragma once
// What game objects call in the flow layer: the command tables (a flow's command and a taken
// item's command), the pending arrange entries applied to a command being prepared, the hero's
// deferred change-flow commands, the effect object of a hit and the rising picture of a taken item.
// The functions below forward to the installed hooks.
#include "core/numbers.h"
#include "data/flow_cmd.h"

class cCharaBase;
class cCmdState;
class cFlowState;
class cHero;

// What objects ask of the flow layer, which installs it at start-up (InstallFlowHooks, before the
// game thread runs). Without a hook the call does nothing and answers 0.
struct cFlowHooks {
  // The character command table's entry of the state's command kind (DispatchCmd).
  void (*dispatchCharaCmd)(cCharaBase& chara, cCmdState& state) = nullptr;
  // The item command table's entry of the command's kind, run for the hero: 0, or a non-zero result
  // that ends the item's command list (1 stage clear).
  int (*runItemCmd)(cHero& hero, cFlowCmd& cmd) = nullptr;
  // The pending arrange entries of a flow state (character commands) or of the hero (item
  // commands), applied to the command being prepared and then emptied.
  void (*applyArrangeList)(cFlowCmd& cmd, cCharaBase& chara, cFlowState& state) = nullptr;
  void (*applyHeroArrangeList)(cFlowCmd& cmd, cHero& hero) = nullptr;
  // The change-flow body for a command the hero queued while its own flows ran (deferral off).
  void (*runChangeFlow)(cHero& hero, cFlowCmd& cmd) = nullptr;
  // Appends an effect object at the overlap of two rectangles, spread by the attacker's scale.
  void (*addHitEffect)(int effect, const cDblRect& a, const cDblRect& b, int scale) = nullptr;
  // Appends the rising picture of a taken item (graphic reference) over the hero.
  void (*showItemMes)(cHero& hero, int kind, int number, int pattern) = nullptr;
};

// Installs the hooks; returns the ones they replace.
cFlowHooks SetFlowHooks(const cFlowHooks& hooks);

void CallCharaCmdTable(cCharaBase& chara, cCmdState& state);
int CallItemCmdTable(cHero& hero, cFlowCmd& cmd);
void CallApplyArrangeList(cFlowCmd& cmd, cCharaBase& chara, cFlowState& state);
void CallApplyHeroArrangeList(cFlowCmd& cmd, cHero& hero);
void CallChangeFlow(cHero& hero, cFlowCmd& cmd);
void AddHitEffect(int effect, const cDblRect& a, const cDblRect& b, int scale);
void AddItemMes(cHero& hero, int kind, int number, int pattern);
