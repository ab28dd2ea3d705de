#pragma once
// The services of stage play that game objects and flows call: flow and condition checks, the
// hero taking an item, summons, removing a character, the place test, the modal waits, the screen
// colour, the view mask and the music. The functions below forward to the installed service.
#include <cstdint>
#include <list>
#include <vector>

#include "data/block_type.h"
#include "data/chara_type.h"
#include "data/cond.h"
#include "data/flow_cmd.h"
#include "data/item_type.h"
#include "data/move_shot.h"

class cChara;
class cCharaBase;
class cFlowState;
class cHero;
class cItem;
struct cChoiceEntry;

// What objects and flows ask of stage play, which installs it at start-up (before the game thread
// runs); the stage-logic test harness installs stand-ins. Without a service the call does nothing
// and answers 0 or false (removing a character: nothing is removed, the next position is returned).
struct cStageHooks {
  // The flow's start conditions for the character, with the flow's mode and latch.
  bool (*checkFlowCondition)(cFlowState& state, cCharaBase& chara) = nullptr;
  // A condition list: mode 0 all hold, 1 any holds; kinds 4-7 test the character; flowVars may be
  // null.
  bool (*evalConditionList)(std::vector<cCond>& conds, int mode, cCharaBase* chara, int32_t* flowVars) = nullptr;
  // The hero takes an item: 0, 1 stage clear, 2 failure.
  int (*takeItem)(cItem& item, cHero& hero) = nullptr;
  // The summons of the shot pattern loop at a map position.
  void (*summonChara)(double x, double y, cCharaType& type, const cEdShot& settings, cCharaBase* summoner) = nullptr;
  void (*summonItem)(double x, double y, cItemType& type, const cEdShot& settings) = nullptr;
  int (*summonBlock)(double x, double y, const cEdShot& settings, cBlockType& type) = nullptr;
  // Removes a character of g_CharaList (links, group list, the character); the next position.
  std::list<cChara>::iterator (*eraseChara)(std::list<cChara>::iterator pos) = nullptr;
  // Whether the character's rectangle at its place is blocked by map blocks (placing, warp).
  bool (*isCharaPlaceBlocked)(cCharaBase& chara) = nullptr;
  // The number of active blocks of the stage.
  int (*countActiveBlocks)() = nullptr;
  // Arms the modal wait: kind 1 message, 2 effect, 3 picture; choices may be null.
  void (*setupGameWait)(int kind, int keyWait, int frames, int noDelay,
                        const std::vector<cChoiceEntry>* choices) = nullptr;
  // Runs the modal wait's nested frame loop and returns when it has ended (postStart: the message
  // command's start message is posted to the loop first). 0 when the stage was being closed.
  int (*runModalWait)(int postStart) = nullptr;
  // Starts the screen-colour change of a command.
  void (*changeScreenColour)(const cFlowCmd& cmd) = nullptr;
  // Rebuilds the hero's view mask after its view range changed.
  void (*buildViewMask)(cHero& hero) = nullptr;
  // Plays music number n (0 stops) with a play option.
  void (*requestBgmByNumber)(int number, int option) = nullptr;
};

// Installs the hooks; returns the ones they replace.
cStageHooks SetStageHooks(const cStageHooks& hooks);

bool CheckFlowCondition(cFlowState& state, cCharaBase& chara);
bool EvalConditionList(std::vector<cCond>& conds, int mode, cCharaBase* chara, int32_t* flowVars);
int TakeItem(cItem& item, cHero& hero);
void SummonChara(double x, double y, cCharaType& type, const cEdShot& settings, cCharaBase* summoner);
void SummonItem(double x, double y, cItemType& type, const cEdShot& settings);
int SummonBlock(double x, double y, const cEdShot& settings, cBlockType& type);
// Without a stage service nothing is removed and the following position is returned.
std::list<cChara>::iterator EraseChara(std::list<cChara>::iterator pos);
bool IsCharaPlaceBlocked(cCharaBase& chara);
int CountActiveBlocks();
void SetupGameWait(int kind, int keyWait, int frames, int noDelay, const std::vector<cChoiceEntry>* choices);
int RunModalWait(int postStart);
void ChangeScreenColour(const cFlowCmd& cmd);
void BuildViewMask(cHero& hero);
void RequestBgmByNumber(int number, int option);
