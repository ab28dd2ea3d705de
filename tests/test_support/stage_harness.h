// A stage for logic tests, built from an ASCII map the way stage set-up builds a stage: the map
// with its 10-cell margin on every side, the block table and the two scroll axes, the placed hero,
// characters and items, type records made in code, scripted input for player 0, the drawing and
// sound requests recorded instead of made, and stand-ins for the stage services objects and flows
// call (cStageHooks).
//
//   cStageHarness h({"..........",
//                    "..H...C...",
//                    "##########"});
//   h.Input(kDirRight, 0, 10);
//   h.Step(10);
//   EXPECT_EQ(h.Hero().m_dY, ...);
//
// Map letters: '.' empty, '#' a solid block, 'H' the hero, 'C' a computer character, 'I' an item;
// cHarnessSetup adds letters and replaces these types. Row 0 is the top row of the stage.
//
// Each harness plays a run of its own: it starts from a fresh run (the objects' context and the game
// data below it, as cFreshPlayObjects makes them) and leaves a fresh one behind. What the stage set-up
// reads of the run (project settings such as legacy switches, database entries) is set in
// cHarnessSetup::prepareRun; what the objects read later can also be set after the harness is built.
//
// This harness stands on the objects layer: its stage is a plain cStageState. The flow layer's tests
// use cFlowHarness (test_support/flow_harness.h), whose stage is a cFlowStage with the modal waits.
//
// What stage play will do and the object code does not do yet comes through plug-ins
// (cHarnessPlugins): initialising the built objects, the per-frame work before the sub-steps, one
// logic sub-step, and drawing. The object and flow code installs its real functions there; stage
// play's own loop replaces the sub-step later.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/block_type.h"
#include "data/chara_type.h"
#include "data/cond.h"
#include "data/item_type.h"
#include "media/graphics/draw_trace.h"
#include "media/sound/sound_effects.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"
#include "shell/input_state.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/hooks_guard.h"

class cStageHarness;

// An object placed on the map.
struct cHarnessPlacement {
  char cLetter = 0;
  int nColumn = 0;  // stage cell (the margin not counted)
  int nRow = 0;
  double dX = 0.0;  // the position stage set-up hands the object: (cell + 10) x 32 + 16
  double dY = 0.0;
  bool bItem = false;  // an item (else a character)
  int nIndex = 0;      // index of its record in g_StageFile's placed list of characters or items
};

// A call to one of the stage-service stand-ins.
struct cHarnessCall {
  std::string strName;  // the service: "takeItem", "summonChara", "setupGameWait", ...
  std::vector<double> adArgs;
};

// The conditions of kinds 4-7 on a character as stage play checks them (status, status flag,
// state, distance).
bool HarnessEvalCharaCond(cCond& cond, cCharaBase& chara, int32_t* flowVars);

// The objects' own initialisers as stage set-up calls them, with ids from the stage's counters:
// InitHero and SetGridPos (keeping the feet), InitChara (no carried item) and PlaceCharaOnGrid,
// InitItem and PlaceItemOnGrid.
void HarnessInitHero(cStageHarness& harness, cHero& hero, cCharaType& type, const cHarnessPlacement& at);
void HarnessInitChara(cStageHarness& harness, cChara& chara, cCharaType& type, const cHarnessPlacement& at);
void HarnessInitItem(cStageHarness& harness, cItem& item, cItemType& type, const cHarnessPlacement& at);

// What the harness calls in code that stage play and the objects provide. Tests install theirs with
// cHooksGuard(SetHarnessPlugins, plugins).
struct cHarnessPlugins {
  // Initialises a built object from its placement record; the objects' own initialisers unless a
  // test replaces them (null: the object stays as constructed).
  void (*initHero)(cStageHarness& harness, cHero& hero, cCharaType& type,
                   const cHarnessPlacement& at) = HarnessInitHero;
  void (*initChara)(cStageHarness& harness, cChara& chara, cCharaType& type,
                    const cHarnessPlacement& at) = HarnessInitChara;
  void (*initItem)(cStageHarness& harness, cItem& item, cItemType& type, const cHarnessPlacement& at) = HarnessInitItem;
  // Player 0's input of a frame in place of the scripted input (a replay's playback: the words are
  // cleared before it is called); without one the scripted input.
  void (*readInput)(cStageHarness& harness, cInputState& input) = nullptr;
  // The per-frame work of the play loop before its sub-steps (flow frame flags, ...); without one
  // there is none.
  void (*frameStart)(cStageHarness& harness) = nullptr;
  // One logic sub-step (1 .. n) of the play loop; Step fails the test without one.
  void (*subStep)(cStageHarness& harness, int subStep) = nullptr;
  // Drawing a frame (hold 0 in the play frame); Step draws after the sub-steps when one is set.
  void (*drawFrame)(cStageHarness& harness, int hold) = nullptr;
  // Conditions of kinds 4-7 for the condition-list stand-in: the objects' own unless a test
  // replaces them (null: they do not hold).
  bool (*evalCharaCond)(cCond& cond, cCharaBase& chara, int32_t* flowVars) = HarnessEvalCharaCond;
};
// Installs the plug-ins; returns the ones they replace.
cHarnessPlugins SetHarnessPlugins(const cHarnessPlugins& plugins);

// Type records the default letters use; tests adjust copies of them.
cBlockType HarnessBlockType(int contact = 1);  // graphic 1, the contact kind
cCharaType HarnessHeroType();                  // player control, graphic 1
cCharaType HarnessCharaType();                 // computer control, graphic 1
cItemType HarnessItemType();                   // graphic 1

struct cHarnessSetup {
  std::vector<std::string> map;
  int nHitCheckLevel = 1;
  double dGravity = 0.4;              // the stage's gravity setting
  uint32_t nSeed = 1;                 // the random generator's seed
  std::map<char, cBlockType> blocks;  // letters of blocks besides '#'
  std::map<char, cCharaType> charas;  // letters of characters besides 'H' and 'C' (control 0: the hero)
  std::map<char, cItemType> items;    // letters of items besides 'I'
  // Runs on the fresh run before the stage is built: project settings, database entries.
  std::function<void()> prepareRun;
  // Makes the stage state the harness plays on; without one a plain cStageState.
  std::function<std::unique_ptr<cStageState>()> makeStage;
  // Adds or replaces stand-ins before the harness installs them (cFlowHarness adds the modal waits').
  std::function<void(cStageHooks& hooks)> addStandIns;
};

class cStageHarness {
 public:
  explicit cStageHarness(const std::vector<std::string>& map);
  explicit cStageHarness(const cHarnessSetup& setup);
  virtual ~cStageHarness();
  cStageHarness(const cStageHarness&) = delete;
  cStageHarness& operator=(const cStageHarness&) = delete;

  // Player 0 holds this direction word and button word for the next frames (then nothing).
  void Input(uint16_t dir, uint16_t button, int frames = 1);
  // Runs frames: input, frame start, the n logic sub-steps, drawing.
  void Step(int frames = 1);
  // Draws one frame through the drawing plug-in (hold: outside the running play frame).
  void Draw(int hold = 0);
  // Sets the stage's hit-check level and the physics values derived from it.
  void SetHitCheckLevel(int level);

  cStageState& Stage() { return *m_lpStage; }
  cHero& Hero();
  cChara& Chara(int i);  // in list order
  cItem& Item(int i);
  // Placed objects in map order (row by row, left to right).
  const std::vector<cHarnessPlacement>& Placements() const { return m_Placements; }
  const cHarnessPlacement& Placement(char letter, int nth = 0) const;
  // A stage cell's block (the margin not counted) and its block-table index.
  cBlock& Cell(int column, int row);
  int CellIndex(int column, int row) const;
  int Columns() const { return m_nColumns; }
  int Rows() const { return m_nRows; }

  const std::vector<DDTRACECALL>& Draws() const { return m_Draws; }
  const std::vector<int>& Sounds() const { return m_Sounds; }
  const std::vector<cHarnessCall>& Calls() const { return m_Calls; }
  void ClearTraces();
  // The calls of one service.
  std::vector<cHarnessCall> CallsOf(const std::string& name) const;
  // Records a call to a stage-service stand-in (the stand-ins of add-ons such as cFlowHarness too).
  void AddCall(const std::string& name, std::vector<double> args);
  // The harness that lives, or null (one at a time).
  static cStageHarness* Active();

  // A test that makes a fatal stop on purpose says so; any other fatal stop fails the test.
  void ExpectFatalStop() { m_bFatalStopExpected = true; }

  int m_nTakeItemResult = 0;  // what the take-item stand-in answers
  int m_nFrame = 0;           // frames stepped

 private:
  friend struct cHarnessAccess;
  void Build(const cHarnessSetup& setup);
  void BuildScrollAxes();
  void BuildBlockTable();
  void BuildObjects();

  // First: the run is renewed before anything else is made and after everything else is gone.
  cFreshPlayObjects m_FreshRun;
  std::unique_ptr<cStageState> m_lpStage;
  std::vector<cHarnessPlacement> m_Placements;
  std::map<char, cCharaType> m_CharaTypes;
  std::map<char, cItemType> m_ItemTypes;
  int m_nColumns = 0;
  int m_nRows = 0;
  struct cInputRun {
    uint16_t wDir;
    uint16_t wButton;
    int nFrames;
  };
  std::vector<cInputRun> m_Input;
  std::vector<DDTRACECALL> m_Draws;
  std::vector<int> m_Sounds;
  std::vector<cHarnessCall> m_Calls;
  bool m_bFatalStopExpected = false;

  // What the harness replaces while it lives: the seams, the published stage and the input records
  // (one record for player 0, which the scripted input drives).
  cHooksGuard<cStageHooks> m_StageHooks;
  cHooksGuard<cDrawTraceHooks> m_DrawTrace;
  cHooksGuard<cSoundTraceHooks> m_SoundTrace;
  cStageState* m_lpPrevStage = nullptr;
  std::vector<cInputState> m_PrevInputStates;
};
