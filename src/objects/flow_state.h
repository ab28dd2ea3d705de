#pragma once
// The run-time state of a character's flows: one cFlowState per flow of the character (same order
// as its flow vector) and, inside it, one cCmdState per command of the flow. The states point into
// the character's own flows; RebindFlowStates points them again after the flows moved (a copy, an
// insertion or a removal).
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "data/flow.h"

class cCharaBase;

// One animation pre-roll entry: the command's animation starts early enough to end with the
// command's start.
struct cPreRollEntry {
  int32_t nStart = 0;  // the flow state's sub-steps-run value at which it starts
  int32_t nReserved = 0;
  int16_t nAnime = 0;       // animation number
  int16_t nSkipped = 0;     // frames that did not fit before the flow's start
  int16_t nFrames = 0;      // frame count
  int16_t nHoldFrames = 0;  // the command's use time x 6
  uint8_t bHold = 0;        // 0 for the jump and sword commands, else 1
};

// A remembered target point of the homing command's delay.
struct cCmdPoint {
  double dX = 0.0;
  double dY = 0.0;
};

// The running state of one command of a flow.
class cCmdState {
 public:
  const cFlowCmd* Cmd() const { return m_lpCmd; }

  cFlowCmd* m_lpCmd = nullptr;  // the command record (in the character's own flow)
  int32_t m_bDone = 0;          // finished in the current run
  int32_t m_nDuration = 0;      // sub-steps: (use-time factor x clone + use time) x n x 6
  int32_t m_nRemaining = 0;     // sub-steps still to run; set from the duration when prepared
  uint8_t m_nDirection = 0;     // the movement settings' M2
  int32_t m_nOffsetX = 0;       // movement offsets (CmdOffsets)
  int32_t m_nOffsetY = 0;
  double m_dSpeed = 0.0;      // (M25 x clone + M24) x 0.1 / n; the jump's launch speed
  int32_t m_nAngle = 0;       // current angle (CmdAngle)
  int32_t m_nRadius = 0;      // circle move: radius
  int32_t m_nStartAngle = 0;  // circle move: start and end angles
  int32_t m_nEndAngle = 0;
  int32_t m_nInterval = 0;        // homing: update interval; circle: period
  std::list<cCmdPoint> m_Points;  // homing: the remembered target points
  double m_dVelX = 0.0;           // velocity handed to ApplyCmdVelocity
  double m_dVelY = 0.0;
  int32_t m_nFacing = 0;  // facing result: 0 none, 1 left, 2 right
  // Working values, zeroed whenever the command is prepared.
  int32_t m_bStarted = 0;        // the body's first call is done
  int32_t m_nCalls = 0;          // call counter (once-per-frame bodies wrap it at n)
  int32_t m_nPrevFacing = 0;     // facing at the previous call
  int32_t m_anCounters[3] = {};  // three further counters of the bodies
  double m_dPhaseX = 0.0;        // circle move: the two phases
  double m_dPhaseY = 0.0;
  int32_t m_nHoldLimit = 0;  // jump: hold limit in sub-steps (the duration), set at install
  int32_t m_bLaunched = 0;   // jump: the state has launched (a working value)
  int32_t m_bKeyFlag = 0;    // jump: the key flag (a working value)
  double m_dSpeed2 = 0.0;    // M32 x 0.1 / n when M31 (acceleration mode) is set
};

// The running state of one flow of a character.
class cFlowState {
 public:
  int32_t m_nIndex = 0;                   // position of the state (and of its flow) in the character's vectors
  int32_t m_nSerial = 0;                  // unique per character; carried by the overlay animations it starts
  cFlow* m_lpFlow = nullptr;              // the flow in the character's flow vector
  std::vector<cKeyCond*> m_aKeySteps;     // the flow's key conditions, in order
  int32_t m_bKeyHeld = 0;                 // key repeat mode: result of the last key-sequence test
  int32_t m_bKeyLatch = 0;                // the sequence was complete at the previous test
  std::vector<cCmdState> m_aCmdStates;    // one per command of the flow
  std::vector<cPreRollEntry> m_aPreRoll;  // animation pre-roll entries
  int32_t m_bRunning = 0;
  int32_t m_bSuspended = 0;        // suspended by the flow-operation command
  int32_t m_bHalted = 0;           // neither stepped nor started until reset by the flow-operation command
  int32_t m_bRemove = 0;           // removed at the end of the owner's frame step
  int32_t m_nFrontier = 0;         // furthest command reached; commands up to it are stepped
  int32_t m_nStepsRun = 0;         // steps in which the flow ran without finishing
  int32_t m_nStartKey = 0;         // direction key held when the flow started (0-9)
  int32_t m_bTriedFrame = 0;       // considered by a trigger in this frame
  int32_t m_bStartedFrame = 0;     // started in this frame
  int32_t m_bMesWait = 0;          // the current command is a key-waiting message (the next message's continuation)
  int32_t m_bAbort = 0;            // a body ends the current step at once
  int32_t m_anFlowVars[2] = {};    // flow variables A and B
  std::list<std::string> m_Texts;  // cleared whenever a command is prepared
  int32_t m_bCondLatch = 0;        // the flow's start conditions held once (condition lists with the once flag)
  std::list<std::vector<int32_t>> m_Arrange;  // pending arrange entries for the next command
};

// Flows handed to a character while its own flows were being triggered or stepped: installed at
// the end of its frame step (InstallFlows with append 1 at nAt, or replacing every flow).
struct cDeferredFlows {
  std::vector<cFlow> aFlows;
  int32_t nAt = -1;
  int32_t bReplace = 0;
};

// How deeply the triggers and steps of a character's flows are nested right now. It belongs to the
// live character: a copy starts at 0 and copying over a character keeps the destination's depth.
class cFlowsBusy {
 public:
  cFlowsBusy() = default;
  cFlowsBusy(const cFlowsBusy&) {}
  cFlowsBusy& operator=(const cFlowsBusy&) { return *this; }

  int32_t m_nDepth = 0;
};

// Points every state of the character at its own flow of the same position: index, flow, key
// steps and the command of each command state.
void RebindFlowStates(cCharaBase& chara);
// The character's flow states become copies of source, bound to the character's own flows.
void AssignFlowStates(cCharaBase& chara, const std::vector<cFlowState>& source);
