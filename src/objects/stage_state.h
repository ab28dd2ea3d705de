#pragma once
// The part of the stage being played that game objects read and write: the flow context published
// while flows run, the sub-step counter, the end and abort requests, the shots with their per-group
// index, the per-group character lists, the stage variables, the timer and the two scroll axes.
// The flow layer extends it (cFlowStage) with message windows, effects, pictures and the modal
// wait; the stage-play scene derives from that and publishes itself in g_lpSceneStage. A plain
// cStageState is the stage of the objects' own tests.
#include <cstdint>
#include <list>
#include <vector>

#include "objects/scroll_axis.h"

struct DDSURFACEDATA;
class cCharaBase;
class cCmdState;
class cFlowState;
class cShot;

// Number of per-group lists of characters and of shots.
constexpr int kStageGroupCount = 8;
constexpr int kStageVarCount = 1000;
constexpr int kActivityFlagCount = 60;
// Stage timer value of a stage without a time limit.
constexpr int32_t kStageTimerMax = 999;

// End requests of the play loop.
enum : int32_t {
  kEndNone = 0,
  kEndClear = 1,
  kEndFailure = 2,
};

class cStageState {
 public:
  cStageState();
  virtual ~cStageState();
  cStageState(const cStageState&) = delete;
  cStageState& operator=(const cStageState&) = delete;

  // Flow context: written while flows are triggered, stepped and run, cleared afterwards.
  cCharaBase* m_lpCurObject = nullptr;     // the character whose flows run
  cCharaBase* m_lpCurObject2 = nullptr;    // secondary context slot, cleared by every frame step
  cFlowState* m_lpCurFlowState = nullptr;  // the flow state running now
  cCmdState* m_lpCurCmdState = nullptr;    // the command state whose body runs now
  int32_t* m_lpFlowVars = nullptr;         // flow variables A and B of the running flow (or taken item)
  void* m_lpContext3 = nullptr;            // further context slot, cleared after the flows
  void* m_lpContext4 = nullptr;            // further context slot, cleared after the flows

  // Logic sub-steps (n, the speed scale: StageSubSteps(), StageSubStepsD()).
  int32_t m_nSubStep = 0;       // 1-based sub-step of the frame; equals n on the last one
  int32_t m_nSubStepTotal = 0;  // sub-steps run since set-up
  // Per sub-step of a frame (index sub-step - 1): 1 when shots are tested against characters on it
  // (set-up spreads the stage's shot-hit checks per frame); empty: on every sub-step.
  std::vector<int32_t> m_anSubStepFlags;
  int32_t m_bActiveOnlyHits = 0;  // the stage's rule: only active objects take part in shot and body hits

  // Requests and flags.
  int32_t m_nEndRequest = kEndNone;  // 1 stage clear (the end is decided), 2 failure
  int32_t m_bAbort = 0;              // the window closes during a modal wait: commands that wait return at once
  int32_t m_bDefeatCheck = 0;        // the next step checks the hero's life and the characters for defeat
  int32_t m_bSaveOnClear = 0;        // the end-of-stage code saves the story slot
  int32_t m_bItemMesContinue = 0;    // an item's previous command was a message
  int32_t m_bDefeatedByCmd = 0;      // a command took another character's life
  int32_t m_bDeferShotErase = 0;     // shots are flagged for erasure instead of erased (hit pass)

  // Shots and sword swings, the per-group index of them, and the id counters.
  std::list<cShot> m_ShotList;
  std::vector<std::list<cShot*>> m_aShotGroups;  // by the shot's group byte
  int32_t m_nNextShotId = 0;                     // shot serial counter
  int32_t m_nNextCharaId = 0;                    // id of the next character built or summoned
  int32_t m_nNextItemId = 0;                     // id of the next item built or summoned

  // Cells a toggling block summon has changed (block-table indexes): each toggles once per stage
  // object, so the list outlives set-up.
  std::vector<int32_t> m_anReplacedCells;

  // Characters by group byte (pointers into g_HeroList and g_CharaList; checked access).
  std::vector<std::list<cCharaBase*>> m_aCharaGroups;
  // Groups raised by the activity pass of the current sub-step.
  std::vector<uint8_t> m_abActiveGroups;

  // Values.
  std::vector<int32_t> m_anStageVars;  // the flow language's stage variables (checked access)
  int32_t m_nTimer = 0;                // stage timer, 0..999
  int32_t m_bTimerStopped = 0;         // the stage has no time limit
  int32_t m_nFrameCount = 0;           // play frames since set-up (refresh period of message windows)
  int32_t m_nBlockOriginX = 0;         // the map's first column and row (the margin), in cells
  int32_t m_nBlockOriginY = 0;

  // The display of the distance areas: the colour-cycle frame (0-31), and the 129 x 129 surface
  // large circles are drawn on and stretched from (made by stage play; none: drawn directly).
  int32_t m_nAreaFrame = 0;
  DDSURFACEDATA* m_lpAreaCircle = nullptr;

  // The view: the x axis also holds the block table's row shift.
  cScrollAxis m_ScrollX;
  cScrollAxis m_ScrollY;

  // Cells per row of the block table: 1 << BlockRowShift().
  int BlockRowShift() const { return m_ScrollX.m_nShift; }
};

// The live stage while one is played (null outside stage play).
extern cStageState* g_lpSceneStage;

// The cell of the map's first column (axis 0) or row (axis 1): the scroll axis's margin, where grid
// placement counts cells from; 0 without a stage.
int StageOriginCells(int axis);
